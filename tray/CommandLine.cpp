#include "CommandLine.h"

namespace skyloom::tray {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (args.empty())
        return cl;
    const std::string& first = args[0];
    if ((first == "--help" || first == "-h") && args.size() == 1) {
        cl.action = CommandLine::Action::Help;
        return cl;
    }
    std::string value;
    bool autostart = false;
    if (first == "--autostart" && args.size() == 2) {
        autostart = true;
        value = args[1];
    } else if (first.rfind("--autostart=", 0) == 0 && args.size() == 1) {
        autostart = true;
        value = first.substr(12);
    }
    if (autostart) {
        if (value == "on")
            cl.action = CommandLine::Action::AutostartOn;
        else if (value == "off")
            cl.action = CommandLine::Action::AutostartOff;
        else if (value == "status")
            cl.action = CommandLine::Action::AutostartStatus;
        else {
            cl.action = CommandLine::Action::Invalid;
            cl.error = "--autostart takes on, off or status, not \"" + value + "\"";
        }
        return cl;
    }
    cl.action = CommandLine::Action::Invalid;
    cl.error = first == "--autostart" ? "--autostart takes on, off or status"
                                      : "unknown argument \"" + first + "\"";
    return cl;
}

std::string usageText() {
    return "Usage: paperwheel                 change the wallpaper on schedule from the tray\n"
           "       paperwheel --autostart on  start the wallpaper changer when you log in\n"
           "       paperwheel --autostart off do not start it when you log in\n"
           "       paperwheel --autostart status\n"
           "       paperwheel --help | --version\n";
}

} // namespace skyloom::tray
