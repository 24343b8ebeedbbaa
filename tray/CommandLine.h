#pragma once
// The command line of paperwheel. Without arguments it runs in the tray;
// "--autostart on|off" switches starting at login and exits,
// "--autostart status" prints "on" or "off"; "--next", "--pause",
// "--resume", "--status" and "--quit" are sent to the copy that runs.

#include <string>
#include <vector>

namespace skyloom::tray {

struct CommandLine {
    enum class Action {
        RunTray,
        AutostartOn,
        AutostartOff,
        AutostartStatus,
        Control,
        Help,
        Invalid
    };
    Action action = Action::RunTray;
    std::string control; // for Control: "next", "pause", "resume", "status" or "quit"
    std::string error;   // for Invalid
};

CommandLine parseCommandLine(const std::vector<std::string>& args);

/// The usage text printed for --help and after an invalid command line.
std::string usageText();

} // namespace skyloom::tray
