#include "Description.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/SetFileAccess.h"
#include "imagesets/SetFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace skyloom::saver {
namespace {

/// Files are read up to this size; description files are a few kilobytes.
constexpr std::size_t kMaxDescriptionFileBytes = 4 * 1024 * 1024;

bool validUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int n = c < 0x80             ? 0
                : (c & 0xE0) == 0xC0 ? 1
                : (c & 0xF0) == 0xE0 ? 2
                : (c & 0xF8) == 0xF0 ? 3
                                     : -1;
        if (n < 0 || (n == 1 && c < 0xC2) || i + static_cast<std::size_t>(n) >= s.size() + (n == 0))
            return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

/// Shift-JIS (with the Windows extensions) to UTF-8; false when the bytes
/// are not Shift-JIS.
bool fromShiftJis(std::string_view bytes, std::string& out) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        cd = iconv_open("UTF-8", "SHIFT_JIS");
        if (cd == reinterpret_cast<iconv_t>(-1))
            return false;
    }
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
    out.assign(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    if (iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    out.resize(out.size() - outLeft);
    return true;
}

/// Reads a file line by line without ever holding more than the kept part
/// of a line; line ends are LF or CR LF.
class LineReader {
public:
    explicit LineReader(const std::string& path) : f_(open(path)) {}
    bool open() const { return f_ != nullptr; }

    /// The next line (at most kMaxDescriptionLineBytes kept); false at the end.
    bool next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ == len_ && !fill())
                break;
            any = true;
            const char* start = buf_ + pos_;
            const auto* nl = static_cast<const char*>(std::memchr(start, '\n', len_ - pos_));
            const std::size_t n = nl ? static_cast<std::size_t>(nl - start) : len_ - pos_;
            const std::size_t room =
                kMaxDescriptionLineBytes - std::min(kMaxDescriptionLineBytes, line.size());
            line.append(start, std::min(n, room));
            pos_ += n;
            if (nl) {
                ++pos_;
                break;
            }
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return any;
    }

private:
    static SetFileStream open(const std::string& path) {
        std::string error;
        SetFileStream f = openSetFileStream(path, error);
        if (!f)
            logWarning("saver", error);
        return f;
    }

    bool fill() {
        if (!f_ || total_ >= kMaxDescriptionFileBytes)
            return false;
        len_ =
            std::fread(buf_, 1, std::min(sizeof buf_, kMaxDescriptionFileBytes - total_), f_.get());
        pos_ = 0;
        total_ += len_;
        if (total_ >= kMaxDescriptionFileBytes)
            logInfo("saver", "description file read only up to its first 4 MB");
        return len_ > 0;
    }

    SetFileStream f_;
    char buf_[64 * 1024];
    std::size_t pos_ = 0, len_ = 0, total_ = 0;
};

bool isTitleLine(const std::string& line, const std::string& language) {
    return line.find(language + "=") != std::string::npos;
}

QString titleOf(const std::string& line, bool japanese) {
    const std::string text = decodeDescriptionText(line.substr(line.find('=') + 1), japanese);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isFullStop(char32_t c) {
    return c == U'\u3002' || c == U'\uFF0E' || c == U'.';
}

} // namespace

std::string decodeDescriptionText(std::string_view bytes, bool japanese) {
    if (japanese && !validUtf8(bytes)) {
        std::string out;
        if (fromShiftJis(bytes, out))
            return out;
    }
    return imagesets::fromIniText(bytes);
}

std::string descriptionNfoFor(const std::string& programPath, const std::string& relativePath) {
    imagesets::PathResolver resolver;
    return resolver.resolve(programPath, relativePath + ".nfo").value_or(std::string());
}

std::string descriptionFileFor(const std::string& programPath, const std::string& relativePath,
                               const std::string& language) {
    imagesets::PathResolver resolver;
    const std::string nfo =
        resolver.resolve(programPath, relativePath + ".nfo").value_or(std::string());
    if (nfo.empty())
        return {};
    const std::string other = imagesets::fromIniText(ReadIniString(language, "File", "", nfo));
    if (other.empty())
        return nfo;
    const auto sep = relativePath.find_first_of("/\\");
    const std::string setFolder =
        sep == std::string::npos ? std::string() : relativePath.substr(0, sep + 1);
    const auto file = resolver.resolve(programPath, setFolder + other);
    if (!file)
        logInfo("saver", "description file missing or outside its set: " + setFolder + other);
    return file.value_or(std::string());
}

std::vector<QString> WrapText(const QString& text, int maxWidth, const TextWidth& width,
                              bool japanese) {
    std::vector<QString> lines;
    QString line;
    auto store = [&] {
        lines.push_back(line);
        line.clear();
        return static_cast<int>(lines.size()) >= kMaxWrappedLines;
    };
    if (japanese) {
        for (char32_t c : text.toStdU32String()) {
            // Built from UTF-16 units: QString::fromUcs4 would drop a
            // U+FEFF (zero-width no-break space) as a byte-order mark.
            QString unit;
            if (QChar::requiresSurrogates(c)) {
                unit += QChar(QChar::highSurrogate(c));
                unit += QChar(QChar::lowSurrogate(c));
            } else {
                unit = QChar(static_cast<char16_t>(c));
            }
            const QString joined = line + unit;
            if (line.isEmpty() || width(joined) < maxWidth) {
                line = joined;
            } else if (isFullStop(c)) {
                // The full stop stays with its sentence.
                line = joined;
                if (store())
                    return lines;
            } else {
                if (store())
                    return lines;
                line = unit;
            }
        }
    } else {
        for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
            const QString joined = line.isEmpty() ? word : line + u' ' + word;
            if (line.isEmpty() || width(joined) < maxWidth) {
                line = joined;
            } else {
                if (store())
                    return lines;
                line = word;
            }
        }
    }
    if (!line.isEmpty())
        lines.push_back(line);
    return lines;
}

Description ReadDescription(const std::string& path, const std::string& language, int maxWidth,
                            const TextWidth& width, int maxLines) {
    Description d;
    LineReader in(path);
    if (!in.open() || language.empty())
        return d;
    const bool japanese = language == "Japanese";
    std::string line;
    bool titled = false;
    while (in.next(line)) {
        if (isTitleLine(line, language)) {
            titled = true;
            break;
        }
    }
    if (!titled)
        return d;
    d.title = titleOf(line, japanese);
    if (d.title.isEmpty())
        return d;
    d.found = true;
    d.lines = {d.title, QString()};
    maxLines = std::max(maxLines, 1);
    while (static_cast<int>(d.lines.size()) < maxLines) {
        if (!in.next(line)) // the separator before the paragraph
            break;
        if (!in.next(line) || line.empty())
            break;
        const std::string text = decodeDescriptionText(line, japanese);
        for (QString& l :
             WrapText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), maxWidth,
                      width, japanese))
            d.lines.push_back(std::move(l));
        d.lines.emplace_back();
    }
    if (!d.lines.empty() && d.lines.back().isEmpty())
        d.lines.pop_back();
    if (static_cast<int>(d.lines.size()) > maxLines)
        d.lines.resize(static_cast<std::size_t>(maxLines));
    return d;
}

QString GetTitle(const std::string& nfoPath, const std::string& language,
                 const QString& descriptionTitle) {
    if (!descriptionTitle.isEmpty())
        return descriptionTitle;
    LineReader in(nfoPath);
    if (!in.open() || language.empty())
        return {};
    std::string line;
    while (in.next(line))
        if (isTitleLine(line, language))
            return titleOf(line, language == "Japanese");
    return {};
}

} // namespace skyloom::saver
