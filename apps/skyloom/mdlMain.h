#pragma once
// Start-up of the skyloom program: reads the command line once and runs the
// saver, the configuration dialog, the password change or a wallpaper change.

namespace skyloom::app {

/// The process entry; returns the exit status.
int Main(int argc, char** argv);

} // namespace skyloom::app
