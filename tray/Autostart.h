#pragma once
// Starting paperwheel when the user logs in: a desktop entry
// "paperwheel.desktop" in the user's XDG autostart folder
// ($XDG_CONFIG_HOME/autostart, default ~/.config/autostart). It is written
// only when the user asks for it (the Wallpaper page's check box "Start the
// wallpaper changer when I log in", or `paperwheel --autostart on|off`).

#include <string>

namespace skyloom::tray {

inline constexpr const char* kAutostartFileName = "paperwheel.desktop";

/// $XDG_CONFIG_HOME/autostart (an absolute XDG_CONFIG_HOME only, as the XDG
/// rules say), else ~/.config/autostart.
std::string autostartDirectory();
/// The user's entry: autostartDirectory() + "/paperwheel.desktop".
std::string autostartFilePath();

/// The paperwheel program beside the running program (skyloom's dialog and
/// paperwheel itself live in the same folder).
std::string paperwheelBesideThisProgram();

/// Quotes a program path for the Exec key of a desktop entry (quoting and
/// escaping rules of freedesktop desktop entry files). Empty for a path that
/// cannot be written there (not absolute, or holding control characters).
std::string desktopExecValue(const std::string& programPath);
/// The whole entry that starts `programPath` at login.
std::string autostartEntryText(const std::string& programPath);

/// True when the user's entry exists and is not switched off with
/// "Hidden=true" (the user's folder overrides the system-wide ones).
bool autostartEnabled();

/// Turns starting at login on (writes the entry for `programPath`, replacing
/// any earlier one in one step) or off (removes the user's entry; when a
/// system-wide entry of the same name exists in $XDG_CONFIG_DIRS, writes one
/// with "Hidden=true" that masks it). `programPath` must be an absolute
/// path to an executable file. Returns false with a reason in `error`.
bool setAutostart(bool on, const std::string& programPath, std::string& error);

} // namespace skyloom::tray
