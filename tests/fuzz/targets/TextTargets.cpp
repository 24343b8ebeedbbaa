// A picture's description file (the saver's title and paragraphs) and its
// information file with the set's photo.nfo (the credits dialog).

#include "../FuzzTargets.h"
#include "common/SetFileAccess.h"
#include "config/Credits.h"
#include "saver/Description.h"

#include <filesystem>

namespace skyloom::fuzz {
namespace {

constexpr const char* kLanguages[] = {"English", "French", "German", "Spanish", "Japanese"};

// Every character 7 pixels wide: no fonts needed.
int fixedWidth(const QString& text) {
    return 7 * static_cast<int>(text.toStdU32String().size());
}

// What WrapText promises: at most 20 lines, none empty, the words (or for
// Japanese the characters) in order, and every line narrower than the
// width unless it is a single unit (or ends in a full stop kept with its sentence).
void checkWrapped(const QString& text, const std::vector<QString>& lines, int width,
                  bool japanese) {
    check(lines.size() <= static_cast<std::size_t>(saver::kMaxWrappedLines),
          "a paragraph gives at most 20 lines");
    QString joined;
    for (const QString& line : lines) {
        check(!line.isEmpty(), "a wrapped line is never empty");
        if (japanese) {
            joined += line;
            const std::u32string units = line.toStdU32String();
            if (units.size() > 1) {
                const char32_t last = units.back();
                const bool stop = last == U'\u3002' || last == U'\uFF0E' || last == U'.';
                const int w = stop ? 7 * static_cast<int>(units.size() - 1) : fixedWidth(line);
                check(w < width || (stop && units.size() == 2), "a wrapped line fits its width");
            }
        } else {
            if (!joined.isEmpty())
                joined += u' ';
            joined += line;
            check(!line.contains(u' ') || fixedWidth(line) < width,
                  "a line of several words fits its width");
        }
    }
    if (japanese) {
        check(text.startsWith(joined), "wrapping keeps the characters in order");
    } else {
        const QString words = text.split(u' ', Qt::SkipEmptyParts).join(u' ');
        check(words.startsWith(joined), "wrapping keeps the words in order");
        check(lines.size() == static_cast<std::size_t>(saver::kMaxWrappedLines) || words == joined,
              "wrapping loses no words below the line limit");
    }
}

} // namespace

void runNfo(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = asText(data, size);
    const std::string program = freshScratchFolder();
    std::filesystem::create_directories(program + "Set");
    const std::string nfo = program + "Set/pic.nfo";
    writeFile(nfo, input);
    setSetFileRoot(program);

    for (const char* language : kLanguages) {
        for (int width : {1, 90, 600}) {
            const saver::Description d =
                saver::ReadDescription(nfo, language, width, fixedWidth, width == 90 ? 7 : 1000);
            if (d.found) {
                check(!d.title.isEmpty() && !d.lines.empty() && d.lines.front() == d.title,
                      "a found description starts with its title");
                check(d.lines.size() <= (width == 90 ? 7u : 1000u),
                      "a description stops at its line limit");
            } else {
                check(d.lines.empty(), "no description has no lines");
            }
        }
        const QString title = saver::GetTitle(nfo, language);
        const saver::Description d = saver::ReadDescription(nfo, language, 600, fixedWidth);
        check(title == d.title || !d.found, "the title is the description's title");
        saver::descriptionFileFor(program, "Set/pic", language);
    }

    // The wrapping itself, on the input taken as one paragraph.
    const std::string text = saver::decodeDescriptionText(input.substr(0, 4096), size % 2 == 1);
    check(isUtf8(text), "decoded description text is UTF-8");
    const QString paragraph = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (int width : {1, 50, 300})
        for (bool japanese : {false, true})
            checkWrapped(paragraph, saver::WrapText(paragraph, width, fixedWidth, japanese), width,
                         japanese);
}

void runCredits(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = asText(data, size);
    const std::size_t ff = input.find('\f');
    const std::string_view picture = input.substr(0, ff);
    const std::string_view photo =
        ff == std::string_view::npos ? std::string_view() : input.substr(ff + 1);

    const std::string program = freshScratchFolder();
    const std::string folder = program + "Set/";
    std::filesystem::create_directories(folder);
    writeFile(folder + "pic.nfo", picture);
    if (!photo.empty())
        writeFile(folder + "Photo.NFO", photo);
    setSetFileRoot(program);

    for (const char* language : kLanguages) {
        config::Credits credits;
        credits.InitCredits(folder, folder + "pic", "Pic", language);
        for (const std::string* text :
             {&credits.imageTitlePrompt, &credits.imageTitle, &credits.imageCreditPrompt,
              &credits.imageInfo, &credits.additInfoPrompt, &credits.photo, &credits.moreInfoPrompt,
              &credits.printOrder, &credits.webButton, &credits.url})
            check(isUtf8(*text) && text->find('\0') == std::string::npos,
                  "every credits text is UTF-8 without NUL characters");
        for (const std::string* text :
             {&credits.imageTitle, &credits.imageInfo, &credits.photo, &credits.printOrder})
            check(text->empty() || (text->back() != '\n' && text->back() != '\r'),
                  "a credits text does not end in a line break");
    }

    // Version 2 from lines read elsewhere: any lines, also with a header
    // repeated or missing.
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= picture.size() && lines.size() < 4000) {
        const std::size_t nl = picture.find('\n', start);
        lines.emplace_back(picture.substr(start, nl == std::string_view::npos ? nl : nl - start));
        if (nl == std::string_view::npos)
            break;
        start = nl + 1;
    }
    for (const char* language : kLanguages) {
        config::Credits credits;
        credits.readVersion2(lines, language);
    }
}

} // namespace skyloom::fuzz
