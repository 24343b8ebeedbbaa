#include "RegistryText.h"

#include "imagesets/SetFiles.h"

#include <algorithm>

namespace skyloom::imagesets {

std::string rawSection(const IniDocument& doc, std::string_view section) {
    if (doc.hasSection(section) || isAscii(section))
        return std::string(section);
    const std::string want = foldKey(section);
    for (const auto& name : doc.sections())
        if (foldKey(name) == want)
            return name;
    return std::string(section);
}

std::string rawKey(const IniDocument& doc, std::string_view rawSectionName, std::string_view key) {
    // An ASCII name found by the document's own lookup is spelled as needed;
    // a non-ASCII one may be stored in the other encoding.
    if (isAscii(key) || doc.value(rawSectionName, key))
        return std::string(key);
    const std::string want = foldKey(key);
    for (const auto& name : doc.keys(rawSectionName))
        if (foldKey(name) == want)
            return name;
    return std::string(key);
}

std::vector<std::string> RegistryView::keys(std::string_view section) const {
    auto raw = doc_->keys(rawSection(*doc_, section));
    for (auto& k : raw)
        k = fromIniText(k);
    return raw;
}

std::string RegistryView::keyList(std::string_view section) const {
    std::string list;
    for (const auto& k : keys(section)) {
        list += k;
        list.push_back('\0');
    }
    return list;
}

std::optional<std::string> RegistryView::value(std::string_view section,
                                               std::string_view key) const {
    std::string sec = rawSection(*doc_, section);
    auto v = doc_->value(sec, rawKey(*doc_, sec, key));
    if (!v)
        return std::nullopt;
    return fromIniText(*v);
}

} // namespace skyloom::imagesets
