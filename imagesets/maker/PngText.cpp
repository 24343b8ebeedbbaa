#include "imagesets/maker/Metadata.h"

#include <cstdint>
#include <cstring>

namespace skyloom::mkset {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

} // namespace

PngMetadata readPngMetadata(std::string_view bytes) {
    PngMetadata meta;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    if (n < 8 || std::memcmp(p, kSignature, 8) != 0)
        return meta;
    std::size_t i = 8;
    while (i + 12 <= n) {
        const std::size_t len = be32(p + i);
        const std::string_view type(bytes.data() + i + 4, 4);
        if (len > n - i - 12)
            break;
        const std::string_view data(bytes.data() + i + 8, len);
        i += 12 + len;
        if (type == "IEND")
            break;
        std::string_view keyword = data.substr(0, data.find('\0'));
        if (keyword.size() == data.size())
            keyword = {};
        std::string text;
        if (type == "tEXt" && !keyword.empty()) {
            text = std::string(data.substr(keyword.size() + 1));
        } else if (type == "iTXt" && !keyword.empty()) {
            // keyword NUL, compression flag, method, language NUL,
            // translated keyword NUL, text; compressed text is left alone.
            std::string_view rest = data.substr(keyword.size() + 1);
            if (rest.size() < 2 || rest[0] != 0)
                continue;
            rest.remove_prefix(2);
            for (int skip = 0; skip < 2; ++skip) {
                auto nul = rest.find('\0');
                if (nul == std::string_view::npos) {
                    rest = {};
                    break;
                }
                rest.remove_prefix(nul + 1);
            }
            text = std::string(rest);
        } else if (type == "eXIf") {
            meta.exif = std::string(data);
            continue;
        } else {
            continue;
        }
        if (keyword == "Title")
            meta.title = text;
        else if (keyword == "Description")
            meta.description = text;
        else if (keyword == "XML:com.adobe.xmp")
            meta.xmp = text;
    }
    return meta;
}

} // namespace skyloom::mkset
