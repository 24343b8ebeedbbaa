#pragma once
// What the program does for a command line, and the wallpaper requests that a
// second copy leaves for the running one in [PrefsWP] "DelayedChange".

#include <string>
#include <string_view>
#include <vector>

namespace skyloom {

/// The modes of the program, in the order their switches are tested.
enum class StartMode {
    Saver,           // "/s"
    ConfigFromProps, // "/c": dialog started by the desktop's display settings
    ChangePassword,  // "/a"
    Config,          // no arguments
    WallpaperNext,   // "/wall"
    CalendarRefresh, // "/kalendar"
    ConfigWallpaper, // "/-ConfigWall": dialog on the Wallpaper page
    ConfigDebug,     // "/debug" alone
    Exit,            // anything else
};

/// The arguments after the program name joined by single blanks.
std::string joinCommandLine(const std::vector<std::string>& args);

/// Switches are found by a case-sensitive search anywhere in the command
/// line; the first mode whose switch is present wins.
StartMode chooseStartMode(std::string_view commandLine);
bool isDebugCommandLine(std::string_view commandLine);

/// Whether a start is a second copy, which records a wallpaper request
/// (below) and exits without a window. A saver start ("/s") gives way only
/// to another saver, so that an open dialog or password dialog never keeps
/// the screen from locking; every other start gives way to any running copy
/// (`programRunning`: a dialog, "/a" or a wallpaper sequence;
/// `saverRunning`: a saver).
bool isSecondCopy(StartMode mode, bool programRunning, bool saverRunning);

/// What a second copy records before it exits: "WallPaper", "Calendar" or
/// "" (nothing; it just exits).
std::string delayedChangeFor(std::string_view commandLine);

/// [PrefsWP] key of the time of the last picture change (a new wallpaper
/// picture, or the Wallpaper page applied). The tray changer's intervals
/// count from it.
inline constexpr const char* kLastChangedKey = "LastChanged";
/// [PrefsWP] key of the time the wallpaper's calendar was last drawn for a
/// new day without a new picture. Files without it count from
/// "LastChanged" alone.
inline constexpr const char* kLastCalendarKey = "LastCalendar";

/// Records a request of a second copy in `scrIni`: the time of the request
/// ("LastChanged" for a new picture, "LastCalendar" for a calendar refresh,
/// so that the tray changer does not ask again at once), then
/// "DelayedChange" = `change`.
bool recordDelayedChange(const std::string& scrIni, const std::string& change);
/// Reads "DelayedChange" and writes it back empty; returns what was read.
std::string takeDelayedChange(const std::string& scrIni);

/// Caption of the configuration dialog: [config] "ConfigWinTitle" of the
/// program directory's "config.ini".
std::string LoadWindowTitles(const std::string& programDir);

} // namespace skyloom
