#include "SkyloomStarter.h"

#include "common/Log.h"
#include "platform/Process.h"

#include <QCoreApplication>

#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::tray {
namespace {

// A regular file (after following links) that we may execute.
bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string skyloomProgram(const std::string& windowsDir, const std::string& besideDir) {
    std::string link = windowsDir + "/Skyloom.scr";
    if (!windowsDir.empty() && isExecutableFile(link))
        return link;
    return besideDir + "/skyloom";
}

bool startDetached(const std::string& program, const std::vector<std::string>& args,
                   std::string& error) {
    platform::Command command{program};
    command.insert(command.end(), args.begin(), args.end());
    return platform::startDetached(command, &error) != 0;
}

SkyloomStarter::SkyloomStarter(std::string windowsDir, std::string besideDir, Launcher launcher)
    : windowsDir_(std::move(windowsDir)), besideDir_(std::move(besideDir)),
      launcher_(launcher ? std::move(launcher) : Launcher(startDetached)) {}

std::optional<std::string> SkyloomStarter::start(const std::string& sw) {
    const std::string program = skyloomProgram(windowsDir_, besideDir_);
    std::string error;
    bool ok = false;
    if (!isExecutableFile(program))
        error = "neither " + windowsDir_ + "/Skyloom.scr nor " + program + " is a program";
    else
        ok = launcher_(program, {sw}, error);
    if (ok) {
        if (failing_)
            logInfo("tray", "started " + program + " again");
        failing_ = false;
        return std::nullopt;
    }
    const std::string reason = error.empty() ? program + " did not start" : error;
    if (failing_)
        return std::nullopt;
    failing_ = true;
    logWarning("tray", "Cannot start skyloom " + sw + ": " + reason);
    // The user reads it in their language; the reason is the system's own.
    return QCoreApplication::translate("skyloom::tray::SkyloomStarter",
                                       "Cannot start skyloom %1: %2")
        .arg(QString::fromStdString(sw), QString::fromStdString(reason))
        .toStdString();
}

} // namespace skyloom::tray
