#include "UserWallpaperRecord.h"

#include "common/Folders.h"
#include "common/IniDocument.h"
#include "common/ProfileFile.h"
#include "platform/Locations.h"

#include <filesystem>
#include <fstream>

namespace skyloom::wallpaper {

namespace pw = platform::wallpaper;

namespace {

constexpr const char* kStateKey = "state";
constexpr const char* kKnown = "known";
constexpr const char* kUnknown = "unknown";
constexpr const char* kAbsent = "absent";
constexpr const char* kValuePrefix = "v:";

// Settings values are kept byte for byte: the profile format trims blanks,
// strips quotes and ends a value at the line's end, so '%', blanks, control
// characters, '=' and the header and comment marks are written as %XX.
std::string escape(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c == '%' || c == '=' || c == '[' || c == ';' || c == 0x7f) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xf];
        } else {
            out += ch;
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text[i + 1]);
        const int low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

} // namespace

UserWallpaperRecord::UserWallpaperRecord(std::string path) : path_(std::move(path)) {}

std::string UserWallpaperRecord::defaultPath() {
    return platform::configDirectory() + "/" + kUserWallpaperFileName;
}

UserWallpaperRecord::Loaded UserWallpaperRecord::load(const std::string& backend) const {
    Loaded loaded;
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec))
        return loaded;
    const auto damaged = [&](const std::string& why) {
        loaded.state = State::Damaged;
        loaded.message = "the record of the desktop's own wallpaper in " + path_ + " " + why;
        return loaded;
    };
    if (!std::filesystem::is_regular_file(path_, ec))
        return damaged("is not a file");
    if (!std::ifstream(path_))
        return damaged("cannot be read");
    const auto doc = profile::load(path_);
    if (!doc->hasSection(backend))
        return loaded;
    loaded.wallpaper.backend = backend;
    const auto state = doc->value(backend, kStateKey);
    if (!state || (*state != kKnown && *state != kUnknown))
        return damaged("is damaged: [" + backend +
                       "] has no \"state\" of \"known\" or \"unknown\"");
    loaded.wallpaper.known = *state == kKnown;
    for (const std::string& rawKey : doc->keys(backend)) {
        if (asciiLower(rawKey) == kStateKey)
            continue;
        const auto key = unescape(rawKey);
        const std::string raw = doc->value(backend, rawKey).value_or("");
        if (!key || key->empty())
            return damaged("is damaged: [" + backend + "] has the bad key \"" + rawKey + "\"");
        pw::SavedSetting setting{*key, std::nullopt};
        if (raw.rfind(kValuePrefix, 0) == 0) {
            setting.value = unescape(raw.substr(2));
            if (!setting.value)
                return damaged("is damaged: \"" + rawKey + "\" has a bad value");
        } else if (raw != kAbsent) {
            return damaged("is damaged: \"" + rawKey + "\" has neither a value nor \"absent\"");
        }
        loaded.wallpaper.settings.push_back(std::move(setting));
    }
    if (loaded.wallpaper.known && loaded.wallpaper.settings.empty())
        return damaged("is damaged: [" + backend + "] holds no setting");
    loaded.state = State::Present;
    return loaded;
}

bool UserWallpaperRecord::keep(const pw::SavedWallpaper& saved, std::string* error) {
    const std::string dir = std::filesystem::path(path_).parent_path().string();
    if (!dir.empty() && !makeFolders(dir, error))
        return false;
    const bool ok = profile::update(path_, [&](IniDocument& doc) {
        if (doc.hasSection(saved.backend))
            return false;
        doc.set(saved.backend, kStateKey, saved.known ? kKnown : kUnknown);
        for (const auto& setting : saved.settings)
            doc.set(saved.backend, escape(setting.key),
                    setting.value ? kValuePrefix + escape(*setting.value) : kAbsent);
        return true;
    });
    if (!ok && error)
        *error = "cannot write " + path_;
    return ok;
}

bool UserWallpaperRecord::forget(const std::string& backend, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec))
        return true;
    const bool ok = profile::update(path_, [&](IniDocument& doc) {
        bool removed = false;
        while (doc.removeSection(backend))
            removed = true;
        return removed;
    });
    if (!ok && error)
        *error = "cannot write " + path_;
    return ok;
}

} // namespace skyloom::wallpaper
