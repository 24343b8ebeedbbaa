#include "graphics/io/PngCodec.h"

#include <png.h>

#include <cstring>

namespace skyloom::graphics {
namespace {

std::uint32_t be32(const std::uint8_t* p) {
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

} // namespace

bool pngChunksFit(std::span<const std::uint8_t> data) {
    std::size_t i = 8;
    while (i + 8 <= data.size()) {
        const std::uint64_t length = be32(&data[i]);
        const std::uint8_t* type = &data[i + 4];
        if (length > 0x7fffffffu)
            return false;
        if (i + 12 + length > data.size())
            return std::memcmp(type, "IDAT", 4) == 0;
        if (std::memcmp(type, "IEND", 4) == 0)
            return true;
        i += 12 + length;
    }
    return true;
}

bool decodePngOnBlack(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                      std::int64_t maxPixels) {
    out = QImage();
    if (data.size() >= 8 && !pngChunksFit(data)) {
        error = "damaged PNG data (a chunk is longer than the file)";
        return false;
    }
    PngReader r;
    if (!png_image_begin_read_from_memory(&r.image, data.data(), data.size())) {
        error = damaged(r.image.message);
        return false;
    }
    const std::int64_t w = r.image.width, h = r.image.height;
    if (w * h > maxPixels) {
        error = "the picture is too large (" + std::to_string(w) + " x " + std::to_string(h) +
                " pixels)";
        return false;
    }
    // Decoded as packed RGB rows (row stride in bytes, as QImage pads them),
    // then widened to the 32-bit format every other decoder gives.
    r.image.format = PNG_FORMAT_RGB;
    QImage rgb(int(w), int(h), QImage::Format_RGB888);
    if (rgb.isNull()) {
        error = "out of memory for the PNG picture";
        return false;
    }
    png_color black{0, 0, 0};
    if (!png_image_finish_read(&r.image, &black, rgb.bits(), png_int_32(rgb.bytesPerLine()),
                               nullptr)) {
        error = damaged(r.image.message);
        return false;
    }
    out = rgb.convertToFormat(QImage::Format_RGB32);
    return !out.isNull();
}

} // namespace skyloom::graphics
