#include "SkyloomStarter.h"

#include "common/Log.h"

#include <QProcess>
#include <QString>
#include <QStringList>

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
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(list);
    if (process.startDetached())
        return true;
    error = program + ": " + process.errorString().toStdString();
    return false;
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
    const std::string message =
        "Cannot start skyloom " + sw + ": " + (error.empty() ? program + " did not start" : error);
    if (failing_)
        return std::nullopt;
    failing_ = true;
    logWarning("tray", message);
    return message;
}

} // namespace skyloom::tray
