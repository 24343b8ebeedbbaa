#pragma once
// Whether the process can reach a display, and the screen size to draw for
// when it cannot (a cron job, an ssh login, a systemd user timer).

#include <QSize>

namespace skyloom::platform {

/// True when DISPLAY or WAYLAND_DISPLAY names a display.
bool hasDisplay();

/// True when QT_QPA_PLATFORM chooses a Qt platform that needs no window
/// system (offscreen, minimal, vnc, a framebuffer).
bool platformNeedsNoDisplay();

/// Makes Qt use its offscreen platform, so that a QGuiApplication can be made
/// without a display. Call it before the application object exists. A
/// platform chosen in QT_QPA_PLATFORM that needs no display is kept.
void useOffscreenPlatform();

/// Records the size of the screen a wallpaper was last made for, for the
/// runs that have no display.
void rememberScreenSize(QSize size);
/// The size recorded by rememberScreenSize(); invalid when none was.
QSize rememberedScreenSize();

} // namespace skyloom::platform
