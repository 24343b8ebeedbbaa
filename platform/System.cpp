#include "System.h"

#include "common/IniDocument.h"
#include "common/Log.h"
#include "platform/Process.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace skyloom::platform {

bool isOpenableUrl(const std::string& url) {
    std::string lower = asciiLower(url);
    bool scheme = lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0 ||
                  lower.rfind("mailto:", 0) == 0;
    if (!scheme)
        return false;
    for (unsigned char c : url)
        if (c <= 0x20 || c == 0x7f)
            return false;
    return url.size() <= 4096;
}

bool openUrl(const std::string& url) {
    if (!isOpenableUrl(url)) {
        logWarning("platform", "refusing to open \"" + url +
                                   "\": only http, https and mailto "
                                   "addresses are opened");
        return false;
    }
    const char* opener = std::getenv("SKYLOOM_URL_OPENER");
    std::string program = opener && *opener ? opener : "xdg-open";
    return startProgram(program, {url});
}

bool startProgram(const std::string& program, const std::vector<std::string>& args) {
    Command command{program};
    command.insert(command.end(), args.begin(), args.end());
    std::string error;
    if (startDetached(command, &error) != 0)
        return true;
    logWarning("platform", "cannot start " + error);
    return false;
}

MemoryStatus parseMemInfo(const std::string& text) {
    MemoryStatus m;
    std::istringstream in(text);
    std::string name;
    std::uint64_t kb = 0;
    std::string unit;
    while (in >> name >> kb) {
        std::getline(in, unit);
        if (name == "MemTotal:")
            m.totalPhysical = kb * 1024;
        else if (name == "MemAvailable:")
            m.availablePhysical = kb * 1024;
    }
    return m;
}

MemoryStatus globalMemoryStatus() {
    std::ifstream f("/proc/meminfo");
    std::stringstream ss;
    ss << f.rdbuf();
    return parseMemInfo(ss.str());
}

int displayBitsPerPixel() {
    if (const char* v = std::getenv("SKYLOOM_DISPLAY_DEPTH"); v && *v) {
        int d = std::atoi(v);
        if (d == 1 || d == 4 || d == 8 || d == 15 || d == 16 || d == 24 || d == 32)
            return d;
        logWarning("platform", std::string("ignoring SKYLOOM_DISPLAY_DEPTH=") + v);
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = QGuiApplication::primaryScreen())
            return s->depth();
    }
    return 24;
}

} // namespace skyloom::platform
