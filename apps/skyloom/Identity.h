#pragma once
// How the skyloom program presents itself to the desktop: its name, the
// desktop entry its windows belong to (docks and task bars find the icon
// through it) and the window icon.

namespace skyloom::app {

/// The desktop entry of the configuration dialog, without ".desktop".
inline constexpr const char* kDesktopEntry = "moonfield-screensaver";

/// Names the running QApplication and gives every window the program's icon:
/// the icon theme's "skyloom" when installed, else the copy compiled in.
/// Without the SVG image plugin the icon stays empty, which is harmless.
void identifyApplication();

} // namespace skyloom::app
