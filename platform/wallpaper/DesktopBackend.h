#pragma once
// Installing a finished wallpaper picture on the user's desktop. The desktop
// is recognised from the session's environment; each kind of desktop has its
// own way of being told (settings keys, a command, the X root window).

#include "platform/wallpaper/CommandRunner.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skyloom::platform::wallpaper {

enum class BackendKind { Gnome, Cinnamon, Mate, Xfce, Kde, Lxqt, Sway, X11Root, File };

/// "gnome", "cinnamon", "mate", "xfce", "kde", "lxqt", "sway", "x11root", "file".
std::string backendName(BackendKind kind);
std::optional<BackendKind> backendFromName(const std::string& name);

/// Reads one environment variable ("" when unset).
using Environment = std::function<std::string(const std::string&)>;
Environment processEnvironment();

/// The backend for this session: SKYLOOM_WALLPAPER_BACKEND when it names
/// one; else the desktop from XDG_CURRENT_DESKTOP (a colon list, matched
/// without regard to case), KDE_FULL_SESSION, GNOME_DESKTOP_SESSION_ID,
/// MATE_DESKTOP_SESSION_ID, DESKTOP_SESSION; else, for an unknown desktop,
/// sway's swaybg on Wayland (WAYLAND_DISPLAY), the X root window on X11
/// (DISPLAY), and the file alone without either. sway without
/// WAYLAND_DISPLAY gives the file alone too.
BackendKind detectBackend(const Environment& env);

/// The names now owned on the session bus (none without a bus).
using BusNames = std::function<std::vector<std::string>()>;
BusNames sessionBusNames();

/// The same, and when the environment names no desktop and no display (a
/// cron job, a systemd user timer) the desktop whose service owns its name
/// on the session bus, for the desktops told through settings commands that
/// need no display (GNOME, Cinnamon, MATE, Xfce). `busNames` is only asked
/// then.
BackendKind detectBackend(const Environment& env, const BusNames& busNames);

/// One monitor's part of a wallpaper composed for several monitors.
struct MonitorPicture {
    std::string name;    ///< the monitor's output name ("DP-1")
    QRect geometry;      ///< its place in root coordinates (device pixels)
    std::string bmpPath; ///< its part alone, when the backend asked for parts
    std::string pngPath; ///< the same as PNG, when the backend wants PNGs
};

/// What to install.
struct WallpaperPicture {
    std::string bmpPath;           ///< "Skyloom.bmp"
    std::string pngPath;           ///< the same pixels as PNG, when the backend asked for one
    const QImage* image = nullptr; ///< the pixels (the X root window draws them itself)
    bool fit = false;              ///< fitted to the screen (else shown at its own size, centred)
    /// Two or more: the picture is composed of one part per monitor, the
    /// primary first, and covers their bounding box, whose top-left corner
    /// is `origin` in root coordinates. Desktops that span one picture over
    /// all monitors take it as it is; the others each monitor's part.
    std::vector<MonitorPicture> monitors;
    QPoint origin;
    /// The X screen whose root window shows it (-1: the display's default
    /// screen). Only the X root window backend has other screens.
    int screenNumber = -1;
};

struct InstallResult {
    bool ok = false;
    std::string message; ///< the reason when not ok; where the file is for "file"
};

/// One setting of the desktop as it was found: a settings key, a property or
/// a desktop's picture, with the value in the form the desktop's own tool
/// prints and takes back.
struct SavedSetting {
    std::string key;
    std::optional<std::string> value; ///< none: the setting did not exist
    bool operator==(const SavedSetting&) const = default;
};

/// What a desktop showed before Skyloom changed it.
struct SavedWallpaper {
    std::string backend; ///< backendName() of the desktop it was read from
    /// False when the desktop cannot be asked: taking Skyloom's picture away
    /// is then all a restore can do.
    bool known = false;
    std::vector<SavedSetting> settings;
    bool operator==(const SavedWallpaper&) const = default;
};

struct ReadResult {
    bool ok = false;
    std::string message; ///< the reason when not ok
    SavedWallpaper wallpaper;
};

class DesktopBackend {
public:
    virtual ~DesktopBackend() = default;
    virtual BackendKind kind() const = 0;
    /// True when the desktop needs a PNG beside the BMP.
    virtual bool wantsPng() const { return false; }
    /// True when the desktop takes one picture file per monitor (the parts
    /// of a composed wallpaper are then written beside it).
    virtual bool wantsMonitorParts() const { return false; }
    /// Makes the picture the desktop wallpaper.
    virtual InstallResult install(const WallpaperPicture& picture) = 0;
    /// Takes away what install set (the wallpaper "(none)").
    virtual InstallResult remove() = 0;
    /// Reads the desktop's wallpaper setting as it is now, in the keys that
    /// install changes. Desktops that cannot be asked answer "not known".
    virtual ReadResult current();
    /// Puts back what current() read; an unknown record takes Skyloom's
    /// picture away (remove()).
    virtual InstallResult restore(const SavedWallpaper& saved);
};

/// A backend of the given kind. Command backends start their commands
/// through `runner` (which must outlive the backend); `stateDir` keeps the
/// process id of the running swaybg between runs.
std::unique_ptr<DesktopBackend> makeBackend(BackendKind kind, CommandRunner& runner,
                                            const std::string& stateDir);

/// sway's swaybg backend on its own.
std::unique_ptr<DesktopBackend> makeSwayBackend(CommandRunner& runner, const std::string& stateDir);

/// The X root window backend on its own (DISPLAY, or `display` when given).
std::unique_ptr<DesktopBackend> makeX11RootBackend(const std::string& display = {});

/// "file:///path" with the path percent-encoded.
std::string fileUri(const std::string& path);

} // namespace skyloom::platform::wallpaper
