#include "Locations.h"

#include "common/Folders.h"
#include "common/Log.h"
#include "common/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::platform {

std::string homeDirectory() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

namespace {

std::string xdgDir(const char* var, const char* fallbackBelowHome) {
    const char* v = std::getenv(var);
    // The XDG rules ignore relative paths.
    if (v && v[0] == '/')
        return v;
    return homeDirectory() + "/" + fallbackBelowHome;
}

} // namespace

std::string xdgConfigHome() {
    return xdgDir("XDG_CONFIG_HOME", ".config");
}

std::vector<std::string> xdgConfigDirs() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= list.size()) {
        const auto end = std::min(list.find(':', start), list.size());
        const std::string dir = list.substr(start, end - start);
        if (!dir.empty() && dir[0] == '/')
            out.push_back(dir);
        start = end + 1;
    }
    return out;
}

std::string cacheDirectory() {
    return xdgDir("XDG_CACHE_HOME", ".cache") + "/skyloom";
}

std::string autostartDirectory() {
    return xdgConfigHome() + "/autostart";
}

std::string currentExecutable() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string firstRunPhotoFolder() {
    if (const char* dir = std::getenv("SKYLOOM_FIRST_SET_SOURCE"); dir && *dir)
        return dir;
    return "/usr/share/backgrounds/mate";
}

std::string configDirectory() {
    return xdgConfigHome() + "/skyloom";
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
    if (!makeFolders(dir))
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
        makeFolders(base);
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
