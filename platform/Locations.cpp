#include "Locations.h"

#include "common/Log.h"
#include "common/Profile.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::platform {
namespace {

std::string homeDirectory() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

std::string xdgDir(const char* var, const char* fallbackBelowHome) {
    const char* v = std::getenv(var);
    // The XDG rules ignore relative paths.
    if (v && v[0] == '/')
        return v;
    return homeDirectory() + "/" + fallbackBelowHome;
}

} // namespace

bool makePath(const std::string& dir) {
    if (dir.empty())
        return false;
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string configDirectory() {
    return xdgDir("XDG_CONFIG_HOME", ".config") + "/skyloom";
}
std::string dataDirectory() {
    return xdgDir("XDG_DATA_HOME", ".local/share") + "/skyloom";
}
std::string registryFilePath() {
    return configDirectory() + "/registry.ini";
}
std::string defaultProgramDirectory() {
    return dataDirectory() + "/program/";
}

std::string GetWindowsDir() {
    std::string dir = dataDirectory() + "/system";
    if (!makePath(dir))
        logWarning("platform", "cannot create " + dir);
    return dir;
}

std::string runtimeDirectory() {
    std::string base;
    const char* rt = std::getenv("XDG_RUNTIME_DIR");
    if (rt && rt[0] == '/')
        base = std::string(rt) + "/skyloom";
    else
        base = "/tmp/skyloom-" + std::to_string(::getuid());
    if (::mkdir(base.c_str(), 0700) != 0 && errno != EEXIST)
        logWarning("platform", "cannot create " + base);
    struct stat st {};
    if (::lstat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        // Someone else's folder (or a link) in /tmp: use a private one below
        // the data folder instead of trusting it.
        base = dataDirectory() + "/run";
        makePath(base);
    }
    return base;
}

std::string GetShortPathName(const std::string& path) {
    return path;
}

void initialise() {
    setSystemDirectory(GetWindowsDir());
}

} // namespace skyloom::platform
