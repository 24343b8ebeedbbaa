#include "IniDocument.h"

#include <algorithm>
#include <utility>

namespace skyloom {

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return std::string(s.substr(b, e - b));
}

std::string_view trimWhite(std::string_view s) {
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && white(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && white(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<std::string_view> headerName(std::string_view text) {
    std::string_view t = trimWhite(text);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    auto close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trimWhite(t.substr(1, close - 1));
}

namespace {

// Key of a "key=value" line; comments (";") and lines without "=" have none.
std::optional<std::string_view> keyName(std::string_view text) {
    std::string_view t = trimWhite(text);
    if (t.empty() || t.front() == ';')
        return std::nullopt;
    auto eq = t.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    return trimWhite(t.substr(0, eq));
}

std::string valueOf(std::string_view text) {
    auto eq = text.find('=');
    std::string_view v = trimWhite(text.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

} // namespace

void IniDocument::Section::reindex() {
    keyIndex.clear();
    for (std::size_t i = hasHeader ? 1 : 0; i < lines.size(); ++i) {
        if (auto k = keyName(lines[i].text))
            keyIndex.emplace(asciiLower(*k), i);
    }
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument doc;
    doc.sections_.push_back(Section{});
    bool eolChosen = false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        auto nl = bytes.find('\n', pos);
        Line line;
        if (nl == std::string_view::npos) {
            line.text = std::string(bytes.substr(pos));
            pos = bytes.size();
        } else {
            std::size_t end = nl;
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.end = "\r\n";
            } else {
                line.end = "\n";
            }
            line.text = std::string(bytes.substr(pos, end - pos));
            if (!eolChosen) {
                doc.eol_ = line.end;
                eolChosen = true;
            }
            pos = nl + 1;
        }
        // A byte-order mark (files saved by Windows editors) is kept in the
        // text but does not hide the first section's header.
        std::string_view headerText = line.text;
        const bool firstLine = doc.sections_.size() == 1 && doc.sections_[0].lines.empty();
        if (firstLine && headerText.substr(0, 3) == "\xEF\xBB\xBF")
            headerText.remove_prefix(3);
        if (auto name = headerName(headerText)) {
            Section s;
            s.name = std::string(*name);
            s.hasHeader = true;
            doc.sections_.push_back(std::move(s));
        }
        doc.sections_.back().lines.push_back(std::move(line));
    }
    for (auto& s : doc.sections_)
        s.reindex();
    doc.reindexSections();
    return doc;
}

std::string IniDocument::serialize() const {
    std::size_t total = 0;
    for (const auto& s : sections_)
        for (const auto& l : s.lines)
            total += l.text.size() + l.end.size();
    std::string out;
    out.reserve(total);
    for (const auto& s : sections_)
        for (const auto& l : s.lines) {
            out += l.text;
            out += l.end;
        }
    return out;
}

void IniDocument::reindexSections() {
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i)
        if (sections_[i].hasHeader)
            sectionIndex_.emplace(asciiLower(sections_[i].name), i);
}

const IniDocument::Section* IniDocument::findSection(std::string_view name) const {
    auto it = sectionIndex_.find(asciiLower(trimWhite(name)));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniDocument::Section* IniDocument::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

bool IniDocument::hasSection(std::string_view section) const {
    return findSection(section) != nullptr;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    auto it = s->keyIndex.find(asciiLower(trimWhite(key)));
    if (it == s->keyIndex.end())
        return std::nullopt;
    return valueOf(s->lines[it->second].text);
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
    std::vector<std::string> out;
    const Section* s = findSection(section);
    if (!s)
        return out;
    for (std::size_t i = 1; i < s->lines.size(); ++i) {
        if (auto k = keyName(s->lines[i].text)) {
            auto it = s->keyIndex.find(asciiLower(*k));
            if (it != s->keyIndex.end() && it->second == i)
                out.emplace_back(*k);
        }
    }
    return out;
}

std::vector<std::string> IniDocument::sections() const {
    std::vector<std::string> out;
    for (const auto& s : sections_)
        if (s.hasHeader)
            out.push_back(s.name);
    return out;
}

void IniDocument::terminateLastLine() {
    for (auto s = sections_.rbegin(); s != sections_.rend(); ++s) {
        if (!s->lines.empty()) {
            if (s->lines.back().end.empty())
                s->lines.back().end = eol_;
            return;
        }
    }
}

void IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    std::string k = trimBlanks(key);
    std::string lineText = k + "=" + std::string(value);
    Section* s = findSection(section);
    if (!s) {
        terminateLastLine();
        bool nonEmpty = false;
        const Line* last = nullptr;
        for (const auto& sec : sections_)
            if (!sec.lines.empty()) {
                nonEmpty = true;
                last = &sec.lines.back();
            }
        Section ns;
        ns.name = trimBlanks(section);
        ns.hasHeader = true;
        if (nonEmpty && last && !trimWhite(last->text).empty())
            sections_.back().lines.push_back(Line{"", eol_});
        ns.lines.push_back(Line{"[" + ns.name + "]", eol_});
        ns.lines.push_back(Line{lineText, eol_});
        sections_.push_back(std::move(ns));
        sections_.back().reindex();
        reindexSections();
        return;
    }
    auto it = s->keyIndex.find(asciiLower(k));
    if (it != s->keyIndex.end()) {
        // Keep the key as it was spelled in the file; only the value changes.
        Line& l = s->lines[it->second];
        auto eq = l.text.find('=');
        l.text = l.text.substr(0, eq + 1) + std::string(value);
        return;
    }
    // Append after the section's last non-blank line, so that blank lines
    // separating it from the next section stay where they are.
    std::size_t at = s->lines.size();
    while (at > 1 && trimWhite(s->lines[at - 1].text).empty())
        --at;
    if (at == s->lines.size())
        terminateLastLine();
    if (s->lines[at - 1].end.empty())
        s->lines[at - 1].end = eol_;
    s->lines.insert(s->lines.begin() + static_cast<std::ptrdiff_t>(at), Line{lineText, eol_});
    // Only blank lines follow the new one, and they hold no keys, so no
    // other key moves: the index takes the new key alone (rebuilding it for
    // every added key made registering a large set quadratic).
    s->keyIndex.emplace(asciiLower(k), at);
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    Section* s = findSection(section);
    if (!s)
        return false;
    std::string lk = asciiLower(trimWhite(key));
    auto before = s->lines.size();
    std::size_t first = s->hasHeader ? 1 : 0;
    std::vector<Line> kept(s->lines.begin(), s->lines.begin() + static_cast<std::ptrdiff_t>(first));
    for (std::size_t i = first; i < s->lines.size(); ++i) {
        auto k = keyName(s->lines[i].text);
        if (k && asciiLower(*k) == lk)
            continue;
        kept.push_back(std::move(s->lines[i]));
    }
    s->lines = std::move(kept);
    s->reindex();
    return s->lines.size() != before;
}

bool IniDocument::removeSection(std::string_view section) {
    auto it = sectionIndex_.find(asciiLower(trimWhite(section)));
    if (it == sectionIndex_.end())
        return false;
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
    reindexSections();
    return true;
}

} // namespace skyloom
