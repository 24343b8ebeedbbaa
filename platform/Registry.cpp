#include "Registry.h"

#include "Locations.h"
#include "MessageBox.h"
#include "common/Folders.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "common/SetFileAccess.h"

#include <QCoreApplication>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::platform {
namespace {

// Keys are relative to HKEY_CURRENT_USER; a caller that spells the hive out
// ("HKEY_CURRENT_USER\..." or "HKCU\...") means the same key.
std::string sectionFor(const std::string& key) {
    std::string_view rest = key;
    for (std::string_view hive :
         {std::string_view("HKEY_CURRENT_USER\\"), std::string_view("HKCU\\")}) {
        if (rest.size() >= hive.size() &&
            std::equal(hive.begin(), hive.end(), rest.begin(), [](char a, char b) {
                return std::toupper((unsigned char)a) == std::toupper((unsigned char)b);
            })) {
            rest.remove_prefix(hive.size());
            break;
        }
    }
    return "HKEY_CURRENT_USER\\" + std::string(rest);
}
std::string nameFor(const std::string& name) {
    return name.empty() ? "@" : name;
}

std::string runningFlagPath() {
    return runtimeDirectory() + "/saver-running";
}

} // namespace

bool registryUnreadable() {
    std::string path = registryFilePath();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    return !S_ISREG(st.st_mode) || ::access(path.c_str(), R_OK) != 0;
}

std::optional<std::string> readRegistryValue(const std::string& key, const std::string& name) {
    auto doc = profile::load(registryFilePath());
    return doc->value(sectionFor(key), nameFor(name));
}

bool writeRegistryValue(const std::string& key, const std::string& name, const std::string& value) {
    if (!makeFolders(configDirectory()))
        return false;
    return WriteIniString(sectionFor(key), nameFor(name), value, registryFilePath());
}

std::string GetProgramPath() {
    if (registryUnreadable()) {
        MessageBox(
            QCoreApplication::translate("skyloom::platform", "Unable to open registry key %1")
                .arg(QString::fromStdString(kProgramPathKey))
                .toStdString(),
            MsgButtons::Ok);
        return {};
    }
    auto doc = profile::load(registryFilePath());
    std::string section = sectionFor(kProgramPathKey);
    std::optional<std::string> value = doc->value(section, "@");
    if (!value && !doc->hasSection(section)) {
        std::string dir = defaultProgramDirectory();
        makeFolders(dir);
        if (!writeRegistryValue(kProgramPathKey, "", dir))
            logWarning("platform", "cannot record the program directory in " + registryFilePath());
        setSetFileRoot(dir);
        return dir;
    }
    if (!value || value->empty()) {
        MessageBox(QCoreApplication::translate("skyloom::platform", "Error getting Registry Data")
                       .toStdString(),
                   MsgButtons::Ok);
        return {};
    }
    std::string path = *value;
    // Paths recorded on Windows use backslashes.
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.back() != '/')
        path += '/';
    setSetFileRoot(path);
    return path;
}

int screenSaveTimeOut() {
    auto v = readRegistryValue(kDesktopKey, "ScreenSaveTimeOut");
    return v ? static_cast<int>(leadingNumber(*v)) : 600;
}

void setScreenSaveTimeOut(int seconds) {
    writeRegistryValue(kDesktopKey, "ScreenSaveTimeOut", std::to_string(seconds));
}

bool screenSaveActive() {
    auto v = readRegistryValue(kDesktopKey, "ScreenSaveActive");
    return v && leadingNumber(*v) != 0;
}

void setScreenSaveActive(bool active) {
    writeRegistryValue(kDesktopKey, "ScreenSaveActive", active ? "1" : "0");
}

bool screenSaveUsePassword() {
    auto v = readRegistryValue(kDesktopKey, "ScreenSaveUsePassword");
    return v && leadingNumber(*v) != 0;
}

void setScreenSaverRunning(bool running) {
    std::string path = runningFlagPath();
    if (running) {
        std::ofstream(path, std::ios::trunc) << ::getpid() << "\n";
    } else {
        // Only clear our own declaration: another saver may have taken over.
        std::ifstream in(path);
        long pid = 0;
        if (in >> pid && pid == ::getpid())
            ::unlink(path.c_str());
    }
}

std::int64_t screenSaverProcess() {
    std::ifstream in(runningFlagPath());
    long pid = 0;
    if (!(in >> pid) || pid <= 0)
        return 0;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM ? pid : 0;
}

bool screenSaverRunning() {
    return screenSaverProcess() != 0;
}

std::int64_t screenSaverRunningSeconds() {
    struct stat st {};
    if (screenSaverProcess() == 0 || ::stat(runningFlagPath().c_str(), &st) != 0)
        return 0;
    const std::int64_t age = static_cast<std::int64_t>(std::time(nullptr)) - st.st_mtime;
    return age > 0 ? age : 0;
}

} // namespace skyloom::platform
