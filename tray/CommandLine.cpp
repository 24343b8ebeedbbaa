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
    for (const char* word : {"next", "pause", "resume", "status", "quit"}) {
        if (first == std::string("--") + word) {
            if (args.size() != 1)
                break;
            cl.action = CommandLine::Action::Control;
            cl.control = word;
            return cl;
        }
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
    if (first == "--autostart")
        cl.error = "--autostart takes on, off or status";
    else if (args.size() > 1 && first.rfind("--", 0) == 0 && first.find('=') == std::string::npos)
        cl.error = first + " takes no arguments";
    else
        cl.error = "unknown argument \"" + first + "\"";
    return cl;
}

std::string usageText() {
    return "Usage: paperwheel                 change the wallpaper on schedule from the tray\n"
           "       paperwheel --next          ask the running paperwheel for the next wallpaper\n"
           "       paperwheel --pause         pause its automatic changes\n"
           "       paperwheel --resume        resume them\n"
           "       paperwheel --status        say whether it runs, and whether it is paused\n"
           "       paperwheel --quit          close it\n"
           "       paperwheel --autostart on  start the wallpaper changer when you log in\n"
           "       paperwheel --autostart off do not start it when you log in\n"
           "       paperwheel --autostart status\n"
           "       paperwheel --help | --version\n"
           "Exit status: 0 done; 1 failed, or no paperwheel runs (for the commands to\n"
           "it); 2 a wrong command line. A second paperwheel says so and ends with 0.\n";
}

} // namespace skyloom::tray
