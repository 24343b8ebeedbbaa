#pragma once
// The monitors of the desktop: their geometry, names and which one is the
// primary. One list for the saver, the wallpaper and the dialog.
//
// With a Qt GUI application running the list comes from Qt's screens (RandR
// monitors of every X screen on X11, outputs on Wayland); without one (a
// wallpaper run before the application object exists) from RandR directly
// on $DISPLAY. No display gives an empty list.

#include <QObject>
#include <QRect>
#include <QString>

#include <vector>

class QScreen;

namespace skyloom::platform {

struct Monitor {
    QString name;         // "DP-1", "HDMI-A-2", or the RandR monitor's name
    QRect geometry;       // logical pixels, in its X screen's root coordinates
    QRect deviceGeometry; // the same in device pixels (geometry x ratio)
    qreal devicePixelRatio = 1;
    bool primary = false; // exactly one monitor of a non-empty list is primary
    int screenNumber = 0; // the X screen (0 on Wayland and single-screen X)
    // The monitors one top-level window can cover together share a group:
    // on X11 those of one X screen ("screen 0"); on Wayland, where the
    // compositor places windows and a full-screen window fills one output,
    // each output is a group of its own ("output DP-1").
    QString windowGroup;
    QScreen* screen = nullptr; // Qt's screen for it, when a GUI application runs
};

/// True where the compositor, not the program, places top-level windows
/// (Wayland): a window cannot be moved to a position or span outputs, but a
/// full-screen window fills the output of the screen it was given.
bool compositorPlacesWindows();

/// Every monitor, the primary first, then by screen number and position
/// (left to right, top to bottom).
std::vector<Monitor> listMonitors();

/// The monitors read from the X server of $DISPLAY itself (RandR 1.5
/// monitors of every X screen, the whole screen where RandR has none),
/// whether or not a GUI application runs; empty without a display. Sorted as
/// listMonitors(); `screen` stays null.
std::vector<Monitor> listDisplayMonitors();

/// The bounding rectangle of the monitors of one X screen (device pixels):
/// the size of that screen's root window as the monitors cover it.
QRect screenBounds(const std::vector<Monitor>& monitors, int screenNumber);

/// Tells when monitors are added, removed, moved, resized or the primary one
/// changes. Needs a running QGuiApplication.
class MonitorWatch : public QObject {
    Q_OBJECT
public:
    explicit MonitorWatch(QObject* parent = nullptr);

signals:
    void changed();
};

} // namespace skyloom::platform
