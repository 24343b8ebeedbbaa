#pragma once
// How the skyloom program presents itself to the desktop: its name, the
// desktop entry its windows belong to (docks and task bars find the icon
// through it) and the window icon.

namespace skyloom::app {

/// The desktop entry of the configuration dialog, without ".desktop".
inline constexpr const char* kDesktopEntry = "moonfield-screensaver";

/// Names the running QApplication and, unless `withIcon` is false, gives
/// every window the program's icon (setApplicationIcon).
void identifyApplication(bool withIcon = true);

/// The windows' icon: the icon theme's "skyloom" when installed, else the
/// copy compiled in. Without the SVG image plugin the icon stays empty, which
/// is harmless. Set once; later calls do nothing. The wallpaper modes, which
/// mostly show no window, set it only before a message box: the theme lookup
/// and the SVG plugin cost a few milliseconds.
void setApplicationIcon();

} // namespace skyloom::app
