#include "SetFiles.h"

#include "common/IniDocument.h"
#include "common/Log.h"
#include "common/SetFileAccess.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace skyloom::imagesets {
namespace {

// Code points of the Windows-1252 bytes 0x80-0x9F; the five unassigned bytes
// map to the control character of the same number, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        std::uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(extra) >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are invalid.
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto nl = text.find('\n', pos);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

} // namespace

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string fromIniText(std::string_view bytes) {
    if (isAscii(bytes) || isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out.push_back(ch);
        else if (c < 0xA0)
            appendUtf8(out, kCp1252High[c - 0x80]);
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    return path;
}

std::string withoutMark(std::string_view value) {
    if (!value.empty() && value.front() == '*')
        value.remove_prefix(1);
    return std::string(value);
}

std::string foldKey(std::string_view name) {
    if (isAscii(name))
        return asciiLower(name);
    std::string text = fromIniText(name);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toCaseFolded()
        .toStdString();
}

bool isUsableName(std::string_view name) {
    std::string t = trimBlanks(name);
    return !t.empty() && t.front() != ';' && t.find_first_of("=[]\r\n") == std::string::npos &&
           t.find('\0') == std::string::npos;
}

bool isUsableSetName(std::string_view name) {
    return isUsableName(name) && foldKey(trimBlanks(name)) != "setdescriptions";
}

std::vector<std::string> pathComponents(std::string_view rel) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= rel.size()) {
        auto sep = rel.find_first_of("/\\", pos);
        std::size_t end = sep == std::string_view::npos ? rel.size() : sep;
        std::string_view part = rel.substr(pos, end - pos);
        if (!part.empty() && part != ".")
            parts.emplace_back(part);
        pos = end + 1;
    }
    return parts;
}

bool isSafeRelativePath(std::string_view rel) {
    if (rel.empty() || rel.front() == '/' || rel.front() == '\\')
        return false;
    if (rel.size() >= 2 && rel[1] == ':')
        return false; // "C:..." names a drive
    if (rel.find('\0') != std::string_view::npos)
        return false;
    auto parts = pathComponents(rel);
    if (parts.empty())
        return false;
    return std::none_of(parts.begin(), parts.end(), [](const std::string& p) { return p == ".."; });
}

namespace {

// The folder a file below `base` must stay in: the program directory when
// `base` lies in it, else `base` itself.
std::string confinementRoot(const std::string& base) {
    const std::string root = setFileRoot();
    if (!root.empty() && base.compare(0, root.size(), root) == 0)
        return root;
    return base;
}

// A folder, or a regular file that openSetFile() accepts, inside `root`
// once links are resolved.
bool isSetEntry(const std::string& path, const std::string& root, std::string& why) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::error_code ec;
        const auto real = std::filesystem::canonical(path, ec);
        const auto realRoot = std::filesystem::canonical(root, ec);
        if (!ec && pathIsInside(real.string(), realRoot.string()))
            return true;
        why = path + " leads outside " + root + "; not read";
        return false;
    }
    return static_cast<bool>(openSetFile(path, root, why));
}

} // namespace

const std::unordered_map<std::string, std::string>& PathResolver::listing(const std::string& dir) {
    auto it = listings_.find(dir);
    if (it != listings_.end())
        return it->second;
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator d(dir, ec), end; !ec && d != end; d.increment(ec))
        names.push_back(d->path().filename().string());
    std::sort(names.begin(), names.end());
    std::unordered_map<std::string, std::string> byKey;
    for (auto& n : names)
        byKey.emplace(foldKey(n), n); // the first name in order wins
    return listings_.emplace(dir, std::move(byKey)).first->second;
}

std::optional<std::string> PathResolver::resolve(const std::string& base, std::string_view rel,
                                                 std::string* error) {
    if (base.empty() || !isSafeRelativePath(rel)) {
        if (error)
            *error = "\"" + std::string(rel) + "\" is not a path inside " + base;
        return std::nullopt;
    }
    std::string cur = base;
    if (cur.back() != '/')
        cur.push_back('/');
    auto parts = pathComponents(rel);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::error_code ec;
        std::string candidate = cur + parts[i];
        if (!std::filesystem::exists(candidate, ec)) {
            const auto& names = listing(cur);
            auto hit = names.find(foldKey(parts[i]));
            if (hit == names.end()) {
                if (error)
                    *error = "cannot find " + base + std::string(rel) + " (no such file)";
                return std::nullopt;
            }
            candidate = cur + hit->second;
        }
        cur = std::move(candidate);
        if (i + 1 < parts.size())
            cur.push_back('/');
    }
    std::string why;
    if (!isSetEntry(cur, confinementRoot(base), why)) {
        logWarning(kLogCategory, why);
        if (error)
            *error = why;
        return std::nullopt;
    }
    return cur;
}

std::string setFilePath(std::string_view base, std::string_view extension) {
    std::string joined = std::string(base) + std::string(extension);
    const std::size_t slash = base.rfind('/');
    if (slash == std::string_view::npos || slash + 1 >= base.size())
        return joined;
    const std::string folder(base.substr(0, slash + 1));
    const std::string_view rest = base.substr(slash + 1);
    std::error_code ec;
    if (rest.find('\\') == std::string_view::npos && std::filesystem::is_regular_file(joined, ec))
        return joined;
    PathResolver resolver;
    return resolver.resolve(folder, std::string(rest) + std::string(extension)).value_or(joined);
}

namespace {

// Far more than any set's images.ini holds; a larger file is not one.
constexpr std::size_t kMaxIniBytes = 16u << 20;

struct NamedDescriptor {
    std::string bytes;   // the file without a leading byte-order mark
    std::string rawName; // the set name as written
    std::string name;    // the set name in UTF-8
};

std::optional<NamedDescriptor> readNamed(const std::string& path) {
    NamedDescriptor d;
    std::string error;
    if (!readSetFile(path, kMaxIniBytes, d.bytes, error)) {
        logWarning(kLogCategory, error);
        return std::nullopt;
    }
    if (d.bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) // byte-order mark of editors on Windows
        d.bytes.erase(0, 3);
    auto keys = IniDocument::parse(d.bytes).keys("SetDescriptions");
    if (keys.empty()) {
        logWarning(kLogCategory, path + " has no [SetDescriptions] key; not a usable set");
        return std::nullopt;
    }
    if (keys.size() > 1)
        logWarning(kLogCategory, path + " names more than one set; using \"" + keys.front() + "\"");
    d.rawName = keys.front();
    d.name = fromIniText(d.rawName);
    if (!isUsableSetName(d.name)) {
        logWarning(kLogCategory,
                   path + ": \"" + d.name + "\" cannot be a set name; not a usable set");
        return std::nullopt;
    }
    return d;
}

} // namespace

std::optional<std::string> readSetName(const std::string& path) {
    auto d = readNamed(path);
    if (!d)
        return std::nullopt;
    return d->name;
}

std::optional<SetDescriptor> readSetDescriptor(const std::string& path) {
    auto named = readNamed(path);
    if (!named)
        return std::nullopt;
    std::string_view text = named->bytes;
    const std::string& rawName = named->rawName;
    SetDescriptor set;
    set.name = named->name;

    // The set's section is the last one: every line after its header belongs
    // to it. The header is normally written exactly as "[name]"; a header that
    // differs only in blanks or letter case is accepted too.
    auto lines = splitLines(text);
    const std::string exact = "[" + rawName + "]";
    std::size_t header = lines.size();
    for (std::size_t i = 0; i < lines.size() && header == lines.size(); ++i)
        if (lines[i] == exact)
            header = i;
    for (std::size_t i = 0; i < lines.size() && header == lines.size(); ++i) {
        auto name = headerName(lines[i]);
        if (name && foldKey(*name) == foldKey(rawName))
            header = i;
    }
    if (header == lines.size()) {
        logWarning(kLogCategory, path + " has no [" + set.name + "] section; set not registered");
        return std::nullopt;
    }

    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        std::string_view t = trimWhite(line);
        const std::string where = path + " line " + std::to_string(i + 1);
        if (t.empty())
            continue;
        if (t.front() == ';') {
            logWarning(kLogCategory, where + ": comment skipped");
            continue;
        }
        auto eq = line.find('=');
        if (eq == std::string_view::npos) {
            logWarning(kLogCategory,
                       where + " has no \"=\" after [" + set.name + "]; set not registered");
            return std::nullopt;
        }
        std::string key = fromIniText(trimWhite(line.substr(0, eq)));
        std::string value = fromIniText(trimWhite(line.substr(eq + 1)));
        if (!isUsableName(key)) {
            logWarning(kLogCategory, where + ": \"" + key + "\" cannot be an image name; skipped");
            continue;
        }
        std::string_view base = value;
        if (!base.empty() && base.front() == '*')
            base.remove_prefix(1);
        if (!isSafeRelativePath(base)) {
            logWarning(kLogCategory,
                       where + ": file \"" + value + "\" is not a path inside the set; skipped");
            continue;
        }
        set.images.emplace_back(std::move(key), std::move(value));
    }
    return set;
}

} // namespace skyloom::imagesets
