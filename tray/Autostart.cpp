#include "Autostart.h"

#include "common/AtomicFile.h"
#include "common/Folders.h"
#include "common/IniDocument.h"
#include "platform/Locations.h"

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

bool writeEntry(const std::string& path, const std::string& text, std::string& error) {
    return writeFileAtomically(path, text, &error);
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
    for (const std::string& dir : platform::xdgConfigDirs())
        if (fileExists(dir + "/autostart/" + std::string(kAutostartFileName)))
            return true;
    return false;
}

} // namespace

std::string autostartDirectory() {
    return platform::autostartDirectory();
}

std::string autostartFilePath() {
    return autostartDirectory() + "/" + kAutostartFileName;
}

std::string paperwheelBesideThisProgram() {
    const std::string self = platform::currentExecutable();
    if (self.empty())
        return "paperwheel";
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
        return makeFolders(dir, &error) && writeEntry(path, autostartEntryText(programPath), error);
    }
    if (systemEntryExists())
        return makeFolders(dir, &error) &&
               writeEntry(path,
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
