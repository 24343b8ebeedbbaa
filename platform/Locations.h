#pragma once
// Where Skyloom keeps its files on a Linux desktop (XDG base directories).

#include <string>
#include <vector>

namespace skyloom::platform {

/// $HOME, else the password database's home folder, else /tmp.
std::string homeDirectory();
/// $XDG_CONFIG_HOME (default ~/.config).
std::string xdgConfigHome();
/// The folders of $XDG_CONFIG_DIRS (default /etc/xdg), absolute ones only.
std::vector<std::string> xdgConfigDirs();
/// $XDG_CONFIG_HOME/skyloom (default ~/.config/skyloom).
std::string configDirectory();
/// $XDG_DATA_HOME/skyloom (default ~/.local/share/skyloom).
std::string dataDirectory();
/// $XDG_CACHE_HOME/skyloom (default ~/.cache/skyloom); not created.
std::string cacheDirectory();
/// $XDG_CONFIG_HOME/autostart: the desktop's login-start entries.
std::string autostartDirectory();
/// The file of the program now running (from /proc/self/exe); empty when
/// it cannot be told.
std::string currentExecutable();
/// The folder whose photographs make the first image set of a new user:
/// SKYLOOM_FIRST_SET_SOURCE when set, else the desktop's backgrounds.
std::string firstRunPhotoFolder();
/// The file that stands in for the HKEY_CURRENT_USER registry values.
std::string registryFilePath();
/// The system folder: system.ini, the installed wallpaper "Skyloom.bmp" and
/// the "Skyloom.scr" link. Created on first use. No trailing slash.
std::string GetWindowsDir();
/// Program directory used when the registry names none:
/// $XDG_DATA_HOME/skyloom/program/ (with trailing slash).
std::string defaultProgramDirectory();
/// A private folder for locks and run-time state: $XDG_RUNTIME_DIR/skyloom,
/// else /tmp/skyloom-UID (mode 0700, checked to be ours).
std::string runtimeDirectory();
/// Short (8.3) form of a path: Linux has none, the path is returned as is.
std::string GetShortPathName(const std::string& path);

/// Prepares the profile routines (system folder for bare file names).
/// Every program calls it once at start-up.
void initialise();

} // namespace skyloom::platform
