#include "tools/mkset/Png.h"

#include "tools/mkset/Jpeg.h"

#include <png.h>

#include <cstdint>
#include <cstring>

namespace skyloom::mkset {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t be32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

// The simplified libpng interface keeps its own error handling (no longjmp
// reaches this code); this owner frees what it allocated.
struct PngReader {
    png_image image{};
    PngReader() { image.version = PNG_IMAGE_VERSION; }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
    ~PngReader() { png_image_free(&image); }
};

// libpng's message, said as what it means for the file.
std::string damaged(const char* message) {
    const std::string m = message;
    if (m.find("beyond end of data") != std::string::npos)
        return "the file is truncated (" + m + ")";
    return "damaged PNG data (" + m + ")";
}

// libpng allocates the length a chunk declares for every chunk it keeps
// whole (texts, profiles): a chunk other than picture data that runs past
// the end of the file is refused first, so a few hundred bytes cannot make
// it ask for gigabytes. Picture data cut short is left to libpng.
bool chunksFit(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 8;
    while (i + 8 <= bytes.size()) {
        const std::uint64_t length = be32(p + i);
        if (length > 0x7FFFFFFF)
            return false;
        if (i + 12 + length > bytes.size())
            return std::memcmp(p + i + 4, "IDAT", 4) == 0;
        if (std::memcmp(p + i + 4, "IEND", 4) == 0)
            return true;
        i += 12 + length;
    }
    return true;
}

} // namespace

bool readPngSize(std::string_view bytes, int& width, int& height) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (bytes.size() < 24 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4))
        return false;
    width = int(be32(p + 16) & 0x7FFFFFFF);
    height = int(be32(p + 20) & 0x7FFFFFFF);
    return true;
}

RgbImage decodePng(std::string_view bytes, std::string& error) {
    if (bytes.size() >= 8 && !chunksFit(bytes)) {
        error = "damaged PNG data (a chunk is longer than the file)";
        return {};
    }
    PngReader r;
    if (!png_image_begin_read_from_memory(&r.image, bytes.data(), bytes.size())) {
        error = damaged(r.image.message);
        return {};
    }
    const std::int64_t w = r.image.width, h = r.image.height;
    if (w * h > kMaxPixels) {
        error = "the picture is too large (" + std::to_string(w) + " x " + std::to_string(h) +
                " pixels)";
        return {};
    }
    r.image.format = PNG_FORMAT_RGB;
    RgbImage out;
    out.width = int(w);
    out.height = int(h);
    out.pixels.resize(std::size_t(w) * std::size_t(h) * 3);
    png_color black{0, 0, 0};
    if (!png_image_finish_read(&r.image, &black, out.pixels.data(), 0, nullptr)) {
        error = damaged(r.image.message);
        return {};
    }
    return out;
}

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
