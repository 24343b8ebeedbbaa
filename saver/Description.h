#pragma once
// The texts shown over a picture: its title and descriptive paragraphs in
// the chosen language, read from its description file, and the wrapping of
// the paragraphs into the lines of the description panel.
//
// In a description file the first line that contains the language followed
// by "=" (for example "English=") is the title line: the title is the text
// after its first "=". The paragraphs follow on every second line (the line
// before each is a separator and is skipped); an empty paragraph line or
// the end of the file ends the description.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::saver {

/// At most this many lines come out of one paragraph.
inline constexpr int kMaxWrappedLines = 20;
/// Lines of a description file are kept up to this many bytes; the rest of
/// a longer line is skipped unread (it could never be shown).
inline constexpr std::size_t kMaxDescriptionLineBytes = 64 * 1024;

/// Text of a description file as UTF-8: valid UTF-8 as it is; otherwise
/// Shift-JIS for Japanese (when it decodes as such) and Windows-1252 for
/// every other language.
std::string decodeDescriptionText(std::string_view bytes, bool japanese);

/// The picture's description file (program folder + play-list path +
/// ".nfo", found whatever the letter case); "" when there is none.
std::string descriptionNfoFor(const std::string& programPath, const std::string& relativePath);

/// The file that holds the picture's texts for `language`: the file named
/// by key "File" of the section named after the language in the picture's
/// description file, inside the picture's set folder; the description file
/// itself when there is no such key. "" when the file is missing or the
/// name would lead outside the program folder.
std::string descriptionFileFor(const std::string& programPath, const std::string& relativePath,
                               const std::string& language);

/// Measures the width of a text in pixels.
using TextWidth = std::function<int(const QString&)>;

/// Splits one paragraph into the panel's lines, at most 20, each narrower
/// than `maxWidth` where the text allows (a single word wider than that
/// gets a line of its own). Words are separated by spaces; for Japanese the
/// units are single characters joined without spaces, and a full stop that
/// does not fit still ends the current line, so that no line starts with it.
std::vector<QString> WrapText(const QString& text, int maxWidth, const TextWidth& width,
                              bool japanese);

/// What ReadDescription gathered.
struct Description {
    bool found = false;         ///< a title was found (false: no panel)
    QString title;              ///< the description title
    std::vector<QString> lines; ///< title, "", each paragraph's lines and ""
};

/// Reads the title and paragraphs of `language` from `path` into panel
/// lines: the title, an empty line, and for each paragraph its wrapped
/// lines followed by an empty line; the trailing empty line is dropped.
/// Reading stops once `maxLines` lines are gathered, so a huge file costs
/// no more than the panel can show. A missing or unreadable file, or a
/// title line without a title, gives found = false.
Description ReadDescription(const std::string& path, const std::string& language, int maxWidth,
                            const TextWidth& width, int maxLines = 1000);

/// The title: `descriptionTitle` when one was read for this picture, else
/// the text after the first "=" of the first line of `nfoPath` that holds
/// the language followed by "="; empty when there is none.
QString GetTitle(const std::string& nfoPath, const std::string& language,
                 const QString& descriptionTitle = {});

} // namespace skyloom::saver
