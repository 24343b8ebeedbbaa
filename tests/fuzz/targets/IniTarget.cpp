// The INI reader every settings and set file goes through.

#include "../FuzzTargets.h"
#include "common/IniDocument.h"

namespace skyloom::fuzz {

void runIni(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = asText(data, size);
    IniDocument doc = IniDocument::parse(bytes);
    // The document keeps every byte: an unedited document writes the file back as it was.
    check(doc.serialize() == bytes, "an unedited document serialises to its input");

    const std::vector<std::string> sections = doc.sections();
    std::size_t keysSeen = 0;
    for (const std::string& section : sections) {
        check(doc.hasSection(section), "every listed section is found");
        for (const std::string& key : doc.keys(section)) {
            check(doc.value(section, key).has_value(), "every listed key has a value");
            if (++keysSeen > 2000)
                break; // reads of huge files cost time, not coverage
        }
    }

    // Edits: rewrite a key of every few sections, add a key and a section,
    // then check the result reads back and parses to the same document.
    IniDocument edited = doc;
    std::size_t edits = 0;
    for (const std::string& section : sections) {
        if (edits++ >= 8)
            break;
        const std::vector<std::string> keys = edited.keys(section);
        if (!keys.empty()) {
            edited.set(section, keys.front(), "rewritten");
            check(edited.value(section, keys.front()) == "rewritten", "a rewritten key reads back");
        }
        edited.set(section, "fuzzAdded", "added value");
        check(edited.value(section, "fuzzAdded") == "added value", "an added key reads back");
    }
    edited.set("fuzz new section", "key", "value");
    check(edited.value("fuzz new section", "key") == "value", "a key of a new section reads back");

    const std::string written = edited.serialize();
    const IniDocument reread = IniDocument::parse(written);
    check(reread.serialize() == written, "a written document serialises unchanged");
    check(reread.value("fuzz new section", "key") == "value",
          "a key of a new section survives writing");
    edits = 0;
    for (const std::string& section : sections) {
        if (edits++ >= 8)
            break;
        check(reread.value(section, "fuzzAdded") == edited.value(section, "fuzzAdded"),
              "an added key survives writing");
        for (const std::string& key : edited.keys(section))
            check(reread.value(section, key) == edited.value(section, key),
                  "every value survives writing");
    }

    // Removal takes exactly the named key or section.
    if (!sections.empty()) {
        IniDocument removed = doc;
        const std::string& first = sections.front();
        for (const std::string& key : removed.keys(first)) {
            removed.removeKey(first, key);
            check(!removed.value(first, key).has_value(), "a removed key is gone");
            break;
        }
        removed.removeSection(sections.back());
        IniDocument::parse(removed.serialize());
    }
}

} // namespace skyloom::fuzz
