#include "Credits.h"

#include "common/IniDocument.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/SetFileAccess.h"
#include "imagesets/SetFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace skyloom::config {

namespace {

constexpr const char* kCreditsLog = "credits";
/// Larger information files are not credits; they are left unread.
constexpr std::uintmax_t kMaxFileBytes = 1 << 20;

// Text of an INI value as UTF-8, without NUL characters (as in
// readTextLines: they show as nothing and would cut the text in the widgets)
// nor the line break they may have hidden from the INI reader's trimming.
std::string iniText(std::string_view section, std::string_view key, std::string_view def,
                    const std::string& file) {
    std::string text = ReadIniString(section, key, def, file);
    std::erase(text, '\0');
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return imagesets::fromIniText(text);
}

// Continuation lines add line breaks; a value that ends in blank lines does
// not show them as empty space under its label.
std::string withoutTrailingBreaks(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool contains(std::string_view line, std::string_view what) {
    return line.find(what) != std::string_view::npos;
}

} // namespace

std::string existingFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (path.empty())
        return {};
    if (fs::is_regular_file(path, ec))
        return path;
    const fs::path p(path);
    imagesets::PathResolver resolver;
    const std::string folder = p.parent_path().string() + "/";
    auto found = resolver.resolve(folder, p.filename().string());
    if (found && fs::is_regular_file(*found, ec))
        return *found;
    return {};
}

std::vector<std::string> readTextLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text, error;
    if (!readSetFile(path, kMaxFileBytes, text, error)) {
        logWarning(kCreditsLog, "information file not read: " + error);
        return lines;
    }
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        // NUL characters are dropped (they show as nothing and would cut
        // the text in the widgets), before the line's CR: one hidden behind
        // NULs would otherwise stay at its end.
        std::erase(line, '\0');
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = imagesets::fromIniText(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

void Credits::InitCredits(const std::string& folder, const std::string& path,
                          const std::string& name, const std::string& language) {
    lines_.clear();
    position_ = 0;
    const std::string nfo = existingFile(path + ".nfo");
    const std::string version = trimBlanks(iniText("info", "version", "1", nfo));
    if (version == "1")
        GetVersion1Info(folder, path, name);
    else if (version == "2")
        GetVersion2Info(path, language);
    else
        logInfo(kCreditsLog, "unknown credits version \"" + version + "\" in " + nfo);
}

void Credits::GetVersion1Info(const std::string& folder, const std::string& path,
                              const std::string& name) {
    const std::string nfo = existingFile(path + ".nfo");
    const std::string photoNfo = existingFile(folder + "photo.nfo");
    imageTitle = iniText(name, "PictureInfo", kNotAvailable, nfo);
    imageInfo = iniText(name, "ImageNumber", kNotAvailable, nfo);
    printOrder = iniText("Info", "PrintOrder", kNotAvailable, photoNfo);
    const std::string more = iniText("Info", "Photo", "", photoNfo);
    if (!more.empty()) {
        photoEnabled = true;
        photo = more;
    } else {
        photoEnabled = false;
        photo = kNoAdditionalInfo;
    }
    webButtonVisible = false;
}

void Credits::GetVersion2Info(const std::string& path, const std::string& language) {
    const std::string nfo = existingFile(path + ".nfo");
    readVersion2(nfo.empty() ? std::vector<std::string>{} : readTextLines(nfo), language);
}

void Credits::readVersion2(std::vector<std::string> lines, std::string_view language) {
    lines_ = std::move(lines);
    position_ = 0;
    const std::string header = "[" + std::string(language) + "]";
    std::size_t start = 0;
    while (start < lines_.size() && !contains(lines_[start], header))
        ++start;
    if (start >= lines_.size())
        return;
    // Every line after the header up to the last one is looked at once; a
    // continuation line consumed by a key moves the position past it.
    for (position_ = start + 1; position_ < lines_.size(); ++position_) {
        const std::string& line = lines_[position_];
        if (contains(line, "["))
            break;
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        ApplyCreditKey(std::string_view(line).substr(0, eq), line.substr(eq + 1));
    }
}

std::string Credits::ReadContinuationLine() {
    const std::size_t next = position_ + 1;
    if (next >= lines_.size())
        return {};
    const std::string& line = lines_[next];
    if (contains(line, "=") || contains(line, "["))
        return {};
    position_ = next;
    return "\n" + line;
}

void Credits::ApplyCreditKey(std::string_view key, const std::string& value) {
    if (key == "imageTitle") {
        imageTitle = withoutTrailingBreaks(value + ReadContinuationLine());
    } else if (key == "imageTitlePrompt") {
        imageTitlePrompt = value;
    } else if (key == "imageCredit") {
        imageInfo = withoutTrailingBreaks(value + ReadContinuationLine());
    } else if (key == "imageCreditPrompt") {
        // The dialog's layout keeps the credit 5 pixels right of its
        // prompt, so a longer prompt moves it along.
        imageCreditPrompt = value;
    } else if (key == "imageInfo") {
        // Every continuation line belongs to the text; the first line that is
        // not one ends it (asking again would give the same answer).
        std::string text = value;
        for (std::string more = ReadContinuationLine(); !more.empty();
             more = ReadContinuationLine())
            text += more;
        photo = withoutTrailingBreaks(text);
        photoEnabled = true;
    } else if (key == "imageInfoPrompt") {
        additInfoPrompt = value;
    } else if (key == "imageMore") {
        std::string text = value + ReadContinuationLine();
        text += ReadContinuationLine();
        printOrder = withoutTrailingBreaks(text);
    } else if (key == "imageMorePrompt") {
        moreInfoPrompt = value;
    } else if (key == "URL") {
        url = value;
    } else if (key == "webButton") {
        webButton = value;
        webButtonVisible = true;
    }
}

} // namespace skyloom::config
