#include "imagesets/maker/Metadata.h"

#include "imagesets/SetFiles.h"

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <memory>

namespace skyloom::mkset {
namespace {

struct ExifDataFree {
    void operator()(ExifData* d) const { exif_data_unref(d); }
};

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// Windows' XP* tags: UCS-2 little-endian text, NUL-terminated.
std::string fromUtf16le(const unsigned char* p, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        std::uint32_t u = p[i] | (std::uint32_t(p[i + 1]) << 8);
        if (u == 0)
            break;
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < n) {
            std::uint32_t lo = p[i + 2] | (std::uint32_t(p[i + 3]) << 8);
            if (lo >= 0xDC00 && lo < 0xE000) {
                u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
                i += 2;
            }
        }
        if (u >= 0xD800 && u < 0xE000)
            u = 0xFFFD;
        appendUtf8(out, u);
    }
    return out;
}

std::string asciiEntry(ExifData* ed, ExifIfd ifd, ExifTag tag) {
    ExifEntry* e = exif_content_get_entry(ed->ifd[ifd], tag);
    if (!e || !e->data || e->format != EXIF_FORMAT_ASCII)
        return {};
    const char* p = reinterpret_cast<const char*>(e->data);
    return std::string(p, strnlen(p, e->size));
}

// XML character references and the five predefined entities.
std::string decodeXmlText(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out.push_back(s[i]);
            continue;
        }
        const std::size_t semi = s.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) {
            out.push_back('&');
            continue;
        }
        const std::string_view ent = s.substr(i + 1, semi - i - 1);
        static constexpr std::array<std::pair<std::string_view, char>, 5> named{
            {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}}};
        bool done = false;
        for (const auto& [name, c] : named)
            if (ent == name) {
                out.push_back(c);
                done = true;
            }
        if (!done && ent.size() > 1 && ent[0] == '#') {
            const bool hex = ent[1] == 'x' || ent[1] == 'X';
            const std::string digits(ent.substr(hex ? 2 : 1));
            char* end = nullptr;
            const unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
            if (!digits.empty() && end && *end == '\0' && cp > 0 && cp < 0x110000) {
                appendUtf8(out, std::uint32_t(cp));
                done = true;
            }
        }
        if (!done) {
            out.push_back('&');
            continue;
        }
        i = semi;
    }
    return out;
}

// The text of a language alternative (dc:title, dc:description): the
// "x-default" item, else the first one.
std::string xmpAlt(std::string_view xml, std::string_view element) {
    const std::string open = "<" + std::string(element);
    const std::string close = "</" + std::string(element) + ">";
    std::size_t start = xml.find(open);
    while (start != std::string_view::npos) {
        const char after = start + open.size() < xml.size() ? xml[start + open.size()] : '\0';
        if (after == '>' || after == ' ' || after == '\t' || after == '\n' || after == '\r')
            break;
        start = xml.find(open, start + 1);
    }
    if (start == std::string_view::npos)
        return {};
    const std::size_t end = xml.find(close, start);
    if (end == std::string_view::npos)
        return {};
    const std::string_view body = xml.substr(start, end - start);
    std::string first;
    for (std::size_t li = body.find("<rdf:li"); li != std::string_view::npos;
         li = body.find("<rdf:li", li + 1)) {
        const std::size_t tagEnd = body.find('>', li);
        const std::size_t liEnd = body.find("</rdf:li>", li);
        if (tagEnd == std::string_view::npos || liEnd == std::string_view::npos || liEnd < tagEnd)
            break;
        const std::string_view attrs = body.substr(li, tagEnd - li);
        std::string text = decodeXmlText(body.substr(tagEnd + 1, liEnd - tagEnd - 1));
        if (attrs.find("x-default") != std::string_view::npos)
            return text;
        if (first.empty())
            first = std::move(text);
    }
    return first;
}

std::string firstLine(std::string_view s) {
    const auto nl = s.find_first_of("\r\n");
    return std::string(s.substr(0, nl));
}

// Cuts a long title at a word, with an ellipsis.
std::string shorten(std::string text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    std::size_t cut = text.rfind(' ', limit);
    if (cut == std::string::npos || cut < limit / 2) {
        cut = limit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut; // not inside a UTF-8 sequence
    }
    text.resize(cut);
    return text + "\xE2\x80\xA6";
}

} // namespace

void readExif(std::string_view data, PictureMetadata& meta) {
    std::string withHeader;
    if (data.substr(0, 6) != std::string_view("Exif\0\0", 6)) {
        withHeader = std::string("Exif\0\0", 6) + std::string(data);
        data = withHeader;
    }
    std::unique_ptr<ExifData, ExifDataFree> ed(exif_data_new());
    if (!ed)
        return;
    exif_data_unset_option(ed.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(ed.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<unsigned int>(std::min<std::size_t>(data.size(), 0xFFFFFFFF)));
    const ExifByteOrder order = exif_data_get_byte_order(ed.get());
    if (ExifEntry* e = exif_content_get_entry(ed->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        e && e->data && e->format == EXIF_FORMAT_SHORT && e->size >= 2) {
        const int o = exif_get_short(e->data, order);
        meta.orientation = (o >= 1 && o <= 8) ? o : 1;
    }
    meta.make = asciiEntry(ed.get(), EXIF_IFD_0, EXIF_TAG_MAKE);
    meta.model = asciiEntry(ed.get(), EXIF_IFD_0, EXIF_TAG_MODEL);
    meta.exifDescription = asciiEntry(ed.get(), EXIF_IFD_0, EXIF_TAG_IMAGE_DESCRIPTION);
    if (ExifEntry* e = exif_content_get_entry(ed->ifd[EXIF_IFD_0], EXIF_TAG_XP_TITLE);
        e && e->data && e->format == EXIF_FORMAT_BYTE)
        meta.exifXpTitle = fromUtf16le(e->data, e->size);
}

void readIptc(std::string_view app13, PictureMetadata& meta) {
    constexpr std::string_view kHeader("Photoshop 3.0\0", 14);
    if (app13.substr(0, kHeader.size()) != kHeader)
        return;
    const auto* p = reinterpret_cast<const unsigned char*>(app13.data());
    const std::size_t n = app13.size();
    std::size_t i = kHeader.size();
    while (i + 12 <= n && std::memcmp(p + i, "8BIM", 4) == 0) {
        const unsigned id = (unsigned(p[i + 4]) << 8) | p[i + 5];
        std::size_t j = i + 6;
        const std::size_t nameLen = p[j];
        j += (nameLen + 2) & ~std::size_t(1); // Pascal string padded to even
        if (j + 4 > n)
            return;
        const std::size_t size = (std::size_t(p[j]) << 24) | (std::size_t(p[j + 1]) << 16) |
                                 (std::size_t(p[j + 2]) << 8) | p[j + 3];
        j += 4;
        if (size > n - j)
            return;
        if (id == 0x0404) {
            // IPTC-IIM datasets: 0x1C, record, dataset, 16-bit length, data.
            std::size_t k = j;
            const std::size_t end = j + size;
            while (k + 5 <= end && p[k] == 0x1C) {
                const unsigned record = p[k + 1], dataset = p[k + 2];
                const std::size_t len = (std::size_t(p[k + 3]) << 8) | p[k + 4];
                if (len & 0x8000)
                    break; // extended length: not used for texts
                k += 5;
                if (len > end - k)
                    break;
                const std::string value(app13.substr(k, len));
                if (record == 2 && dataset == 5)
                    meta.iptcObjectName = value;
                else if (record == 2 && dataset == 120)
                    meta.iptcCaption = value;
                k += len;
            }
        }
        i = j + size + (size & 1);
    }
}

void readXmp(std::string_view xml, PictureMetadata& meta) {
    meta.xmpTitle = xmpAlt(xml, "dc:title");
    meta.xmpDescription = xmpAlt(xml, "dc:description");
}

PictureMetadata readJpegMetadata(const std::vector<JpegMarker>& markers) {
    PictureMetadata meta;
    constexpr std::string_view kXmp("http://ns.adobe.com/xap/1.0/\0", 29);
    for (const auto& m : markers) {
        const std::string_view data(reinterpret_cast<const char*>(m.data.data()), m.data.size());
        if (m.code == 0xE1 && data.substr(0, 6) == std::string_view("Exif\0\0", 6))
            readExif(data, meta);
        else if (m.code == 0xE1 && data.substr(0, kXmp.size()) == kXmp)
            readXmp(data.substr(kXmp.size()), meta);
        else if (m.code == 0xED)
            readIptc(data, meta);
    }
    return meta;
}

std::string cleanText(std::string_view text) {
    const std::string utf8 = imagesets::fromIniText(text.substr(0, text.find('\0')));
    std::string out;
    bool space = false;
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == ' ') {
            space = !out.empty();
            continue;
        }
        if (space)
            out.push_back(' ');
        space = false;
        out.push_back(ch);
    }
    return out;
}

bool isPlaceholderText(std::string_view text, std::string_view make, std::string_view model) {
    const std::string t = cleanText(text);
    if (std::none_of(t.begin(), t.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || (c & 0x80);
        }))
        return true;
    const std::string up = asciiUpper(t);
    static constexpr std::array<std::string_view, 9> known{
        "SONY DSC", "DSC",     "DCIM",  "UNTITLED",      "NO DESCRIPTION",
        "IMAGE",    "PICTURE", "PHOTO", "DIGITAL CAMERA"};
    if (std::find(known.begin(), known.end(), up) != known.end())
        return true;
    for (std::string_view suffix : {"DIGITAL CAMERA", "CAMERA PICTURES", "DIGITAL STILL CAMERA"})
        if (up.size() >= suffix.size() &&
            up.compare(up.size() - suffix.size(), suffix.size(), suffix.data(), suffix.size()) == 0)
            return true;
    const std::string mk = asciiUpper(cleanText(make)), md = asciiUpper(cleanText(model));
    return (!mk.empty() && up == mk) || (!md.empty() && up == md) ||
           (!mk.empty() && !md.empty() && up == mk + " " + md);
}

std::string readableFileName(std::string_view stem) {
    std::string spaced;
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    auto isLower = [](char c) { return std::islower(static_cast<unsigned char>(c)) != 0; };
    auto isUpper = [](char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t i = 0; i < stem.size(); ++i) {
        const char c = stem[i];
        const char prev = i > 0 ? stem[i - 1] : '\0';
        const char next = i + 1 < stem.size() ? stem[i + 1] : '\0';
        if (c == '_' || c == '.' || c == '+' || (c == '-' && !(isDigit(prev) && isDigit(next)))) {
            spaced.push_back(' ');
            continue;
        }
        // Word boundaries inside "CamelCase" and "HTMLPage".
        if (isUpper(c) && (isLower(prev) || (isUpper(prev) && isLower(next))))
            spaced.push_back(' ');
        spaced.push_back(c);
    }
    std::string out = cleanText(spaced);
    if (out.empty())
        out = cleanText(stem);
    if (out.empty())
        return "Picture";
    if (isLower(out[0]))
        out[0] = char(std::toupper(static_cast<unsigned char>(out[0])));
    return out;
}

PictureTitle chooseTitle(const PictureMetadata& meta, std::string_view fileStem) {
    auto usable = [&](const std::string& s) {
        return !isPlaceholderText(s, meta.make, meta.model);
    };
    PictureTitle result;
    for (const std::string* s :
         {&meta.xmpTitle, &meta.iptcObjectName, &meta.exifXpTitle, &meta.pngTitle})
        if (usable(*s)) {
            result.title = cleanText(firstLine(*s));
            break;
        }
    const std::string* description = nullptr;
    for (const std::string* s :
         {&meta.xmpDescription, &meta.iptcCaption, &meta.exifDescription, &meta.pngDescription})
        if (usable(*s)) {
            description = s;
            break;
        }
    if (result.title.empty() && description)
        result.title = cleanText(firstLine(*description));
    if (result.title.empty())
        result.title = readableFileName(fileStem);
    if (description) {
        std::string text = cleanText(*description);
        if (text != result.title)
            result.description = std::move(text);
    }
    result.title = shorten(std::move(result.title), 100);
    return result;
}

} // namespace skyloom::mkset
