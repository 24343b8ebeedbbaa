#include "Autostart.h"

#include "common/IniDocument.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::tray {
namespace {

std::string homeDirectory() {
    if (const char* h = std::getenv("HOME"); h && *h)
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool makeFolders(const std::string& dir, std::string& error) {
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        std::string partial = dir.substr(0, pos);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            error = "cannot create " + partial + ": " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

// Writes a complete new file beside the old one and renames it over it, so
// the entry is never seen half written.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error) {
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            error = "cannot write " + temp + ": " + std::strerror(errno);
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot replace " + path + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// "Hidden=true" in the [Desktop Entry] group switches an entry off.
bool hiddenEntry(const std::string& text) {
    IniDocument doc = IniDocument::parse(text);
    std::string v = asciiLower(doc.value("Desktop Entry", "Hidden").value_or(""));
    return v == "true";
}

// A system-wide entry of the same name, which a missing user entry would
// leave in force.
bool systemEntryExists() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    std::string list = dirs && *dirs ? dirs : "/etc/xdg";
    std::stringstream ss(list);
    std::string dir;
    while (std::getline(ss, dir, ':')) {
        if (!dir.empty() && dir[0] == '/' &&
            fileExists(dir + "/autostart/" + std::string(kAutostartFileName)))
            return true;
    }
    return false;
}

} // namespace

std::string autostartDirectory() {
    const char* v = std::getenv("XDG_CONFIG_HOME");
    std::string base = v && v[0] == '/' ? std::string(v) : homeDirectory() + "/.config";
    return base + "/autostart";
}

std::string autostartFilePath() {
    return autostartDirectory() + "/" + kAutostartFileName;
}

std::string paperwheelBesideThisProgram() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return "paperwheel";
    std::string self(buf, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/') + 1) + "paperwheel";
}

std::string desktopExecValue(const std::string& programPath) {
    if (programPath.empty() || programPath[0] != '/')
        return {};
    bool quote = false;
    std::string inner;
    for (char c : programPath) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f)
            return {};
        // Characters that the Exec rules reserve need the argument quoted;
        // inside quotes '"', '`', '$' and '\' are escaped with a backslash.
        if (std::strchr(" \t'\"`$\\><~|&;*?#()", c))
            quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            inner += '\\';
        // "%" starts a field code; a literal one is written twice.
        inner += c == '%' ? std::string("%%") : std::string(1, c);
    }
    std::string arg = quote ? "\"" + inner + "\"" : inner;
    // The Exec value is also a string value, whose own escape rules turn
    // every backslash into two.
    std::string value;
    for (char c : arg) {
        if (c == '\\')
            value += '\\';
        value += c;
    }
    return value;
}

std::string autostartEntryText(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Wallpaper Changer\n"
           "Comment=Changes the desktop wallpaper on a schedule\n"
           "Exec=" +
           desktopExecValue(programPath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool autostartEnabled() {
    const std::string path = autostartFilePath();
    return fileExists(path) && !hiddenEntry(readFile(path));
}

bool setAutostart(bool on, const std::string& programPath, std::string& error) {
    const std::string dir = autostartDirectory();
    const std::string path = autostartFilePath();
    if (on) {
        if (desktopExecValue(programPath).empty()) {
            error = "cannot start \"" + programPath + "\" at login: not an absolute path";
            return false;
        }
        if (!fileExists(programPath) || ::access(programPath.c_str(), X_OK) != 0) {
            error = "cannot start " + programPath + " at login: no such program";
            return false;
        }
        return makeFolders(dir, error) &&
               writeFileAtomically(path, autostartEntryText(programPath), error);
    }
    if (systemEntryExists())
        return makeFolders(dir, error) &&
               writeFileAtomically(path,
                                   "[Desktop Entry]\nType=Application\nName=Wallpaper "
                                   "Changer\nHidden=true\n",
                                   error);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        error = "cannot remove " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace skyloom::tray
