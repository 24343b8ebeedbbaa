#include "Profile.h"

#include "IniDocument.h"
#include "Log.h"
#include "ProfileFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace skyloom {
namespace {

std::mutex systemDirMutex;
std::string systemDir;

constexpr std::size_t kMaxReadBuffer = 32256;
constexpr int kTimeTable[] = {15, 30, 60, 120, 300, 600, 900, 1200, 1500, 1800, 2700, 3600, 7200};

bool hasLineBreak(std::string_view s) {
    return s.find('\n') != std::string_view::npos || s.find('\r') != std::string_view::npos;
}

// What GetPrivateProfileString copies into a buffer of `size` characters,
// and the length it returns.
std::string profileRead(const IniDocument& doc, std::string_view section, std::string_view key,
                        std::string_view def, std::size_t size) {
    if (!key.empty()) {
        std::string v = doc.value(section, key).value_or(std::string(def));
        if (v.size() > size - 1)
            v.resize(size - 1);
        return v;
    }
    if (!doc.hasSection(section)) {
        std::string v(def);
        if (v.size() > size - 1)
            v.resize(size - 1);
        return v;
    }
    std::string list;
    for (const auto& k : doc.keys(section)) {
        list += k;
        list.push_back('\0');
    }
    // The list and its final extra NUL must fit; otherwise it is cut to the
    // buffer size minus two.
    if (list.size() + 1 > size)
        list.resize(size - 2);
    return list;
}

} // namespace

void setSystemDirectory(std::string dir) {
    std::lock_guard lock(systemDirMutex);
    systemDir = std::move(dir);
}

std::string resolveProfilePath(std::string_view file) {
    if (file.find('/') != std::string_view::npos)
        return std::string(file);
    std::string lower = asciiLower(file);
    if (lower == "system.ini" || lower == "win.ini") {
        std::lock_guard lock(systemDirMutex);
        if (!systemDir.empty())
            return systemDir + "/" + std::string(file);
    }
    return {};
}

std::int32_t ReadIniInt(std::string_view section, std::string_view key, std::int16_t def,
                        std::string_view file) {
    std::string path = resolveProfilePath(file);
    if (path.empty())
        return def;
    auto doc = profile::load(path);
    auto v = doc->value(section, key);
    if (!v)
        return def;
    std::string_view t = *v;
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        negative = t[i++] == '-';
    std::int64_t n = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        n = std::min<std::int64_t>(n * 10 + (t[i] - '0'), std::int64_t{1} << 32);
        ++i;
    }
    if (negative)
        n = -n;
    n = std::clamp<std::int64_t>(n, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(n);
}

std::string ReadIniString(std::string_view section, std::string_view key, std::string_view def,
                          std::string_view file) {
    std::string path = resolveProfilePath(file);
    auto doc = path.empty() ? std::make_shared<const IniDocument>() : profile::load(path);
    std::size_t size = 512;
    std::string got = profileRead(*doc, section, key, def, size);
    while (got.size() >= size - 10 && size < kMaxReadBuffer) {
        size += 512;
        got = profileRead(*doc, section, key, def, size);
    }
    return got;
}

bool isValidIniKey(std::string_view key) {
    std::string t = trimBlanks(key);
    return !t.empty() && t.front() != ';' && t.front() != '[' &&
           t.find_first_of("=[]\r\n") == std::string::npos && t.find('\0') == std::string::npos;
}

bool isValidIniSection(std::string_view section) {
    std::string t = trimBlanks(section);
    return !t.empty() && t.find_first_of("]\r\n") == std::string::npos &&
           t.find('\0') == std::string::npos;
}

bool WriteIniString(std::string_view section, std::string_view key, std::string& value,
                    std::string_view file) {
    value = trimBlanks(value);
    std::string path = resolveProfilePath(file);
    if (path.empty()) {
        logWarning("settings", "refusing to write [" + std::string(section) + "] " +
                                   std::string(key) + " without a program directory (file \"" +
                                   std::string(file) + "\")");
        return false;
    }
    if (!isValidIniSection(section) || !isValidIniKey(key) || hasLineBreak(value) ||
        value.find('\0') != std::string::npos) {
        logWarning("settings", "refusing to write an entry that would break " + path + ": [" +
                                   std::string(section) + "] " + std::string(key));
        return false;
    }
    bool ok = profile::update(path, [&](IniDocument& doc) {
        doc.set(section, key, value);
        return true;
    });
    if (!ok)
        logWarning("settings", "could not write " + path);
    return ok;
}

bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                    std::string_view file) {
    std::string v(value);
    return WriteIniString(section, key, v, file);
}

bool RemoveIniEntry(std::string_view setName, std::string_view registryPath) {
    std::string path = resolveProfilePath(registryPath);
    if (path.empty())
        return false;
    return profile::update(path, [&](IniDocument& doc) {
        bool a = doc.removeSection(setName);
        bool b = doc.removeKey("SetDescriptions", setName);
        return a || b;
    });
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        sign = text[i++] == '-' ? -1 : 1;
    double v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        v = v * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10)
            v += (text[i] - '0') * scale;
    }
    return sign * v;
}

std::int64_t roundHalfEven(double v) {
    return static_cast<std::int64_t>(std::nearbyint(v)); // default mode: to nearest even
}

int timeTableSeconds(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kTimeTable)))
        return 60;
    return kTimeTable[index];
}

int changeSeconds(std::string_view change) {
    std::string t = trimBlanks(change);
    double n = leadingNumber(t);
    std::int64_t secs;
    if (!t.empty() && t.back() == 's')
        secs = roundHalfEven(n);
    else if (!t.empty() && t.back() == 'm')
        secs = roundHalfEven(n * 60);
    else
        secs = timeTableSeconds(static_cast<int>(std::floor(n)));
    // The picture time is a 16-bit count of seconds.
    return static_cast<int>(std::clamp<std::int64_t>(secs, 0, 32767));
}

} // namespace skyloom
