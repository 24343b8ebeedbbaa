#pragma once
// In-memory form of a Windows-style private profile (INI) file.
//
// The document keeps every line byte for byte, including its own line ending,
// so that a rewrite only touches the lines that were edited: comments, unknown
// lines, binary garbage and the file's CR LF or LF style all survive.
// Section and key names are matched without regard to (ASCII) case; the first
// section and the first key of a name win, as with the Windows profile API.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace skyloom {

/// ASCII lower-case copy, used as the lookup key of section and key names.
std::string asciiLower(std::string_view s);
/// Removes leading and trailing blanks (spaces only, as VB's Trim does).
std::string trimBlanks(std::string_view s);
/// Without blanks, tabs and carriage returns at either end.
std::string_view trimWhite(std::string_view s);
/// The section name of a header line "[name]" (blanks allowed around; the
/// name ends at the first "]"), nullopt for any other line.
std::optional<std::string_view> headerName(std::string_view line);

class IniDocument {
public:
    IniDocument() = default;
    static IniDocument parse(std::string_view bytes);
    std::string serialize() const;

    bool hasSection(std::string_view section) const;
    /// The value of a key: text after the first "=", trimmed of blanks and
    /// tabs, with one pair of matching surrounding quotes removed.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    /// Key names of a section in file order (first occurrence of each name).
    std::vector<std::string> keys(std::string_view section) const;
    /// Section names in file order.
    std::vector<std::string> sections() const;

    /// Rewrites an existing key in place or appends it to its section; a
    /// missing section is appended to the end of the document.
    void set(std::string_view section, std::string_view key, std::string_view value);
    /// Removes every line of the named key in the named section.
    bool removeKey(std::string_view section, std::string_view key);
    /// Removes the first section of that name with all its lines.
    bool removeSection(std::string_view section);

    /// Line ending used for lines this document adds ("\r\n" when the file
    /// already used CR LF, else "\n").
    const std::string& lineEnding() const { return eol_; }

private:
    struct Line {
        std::string text; // without line ending
        std::string end;  // "\r\n", "\n" or "" (last line without newline)
    };
    struct Section {
        std::string name;         // as written in the header ("" for the preamble)
        bool hasHeader = false;   // false only for lines before the first header
        std::vector<Line> lines;  // header line first when hasHeader
        std::unordered_map<std::string, std::size_t> keyIndex; // lower key -> line
        void reindex();
    };

    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    void reindexSections();
    void terminateLastLine();

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower name -> first
    std::string eol_ = "\n";
};

} // namespace skyloom
