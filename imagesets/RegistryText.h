#pragma once
// Name lookups in INI documents whose names may be stored in another
// encoding than the one the program uses (Windows-1252 from sets written on
// Windows, UTF-8 from this program).
//
// Readers get every name and value as UTF-8. Writers look up the name as it
// is spelled in the file, so that rewriting an entry changes it in place
// instead of adding a second spelling of the same key.

#include "common/IniDocument.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::imagesets {

/// The section name as spelled in `doc` for the (UTF-8) name `section`;
/// `section` itself when the document has no such section.
std::string rawSection(const IniDocument& doc, std::string_view section);
/// The key name as spelled in section `rawSectionName` of `doc`; `key`
/// itself when the section has no such key.
std::string rawKey(const IniDocument& doc, std::string_view rawSectionName, std::string_view key);

/// Read access with UTF-8 names and values.
class RegistryView {
public:
    explicit RegistryView(std::shared_ptr<const IniDocument> doc) : doc_(std::move(doc)) {}
    /// Key names of a section in file order, as UTF-8.
    std::vector<std::string> keys(std::string_view section) const;
    /// The NUL-terminated key list of a section (no length limit).
    std::string keyList(std::string_view section) const;
    /// A value as UTF-8, nullopt when the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

private:
    std::shared_ptr<const IniDocument> doc_;
};

} // namespace skyloom::imagesets
