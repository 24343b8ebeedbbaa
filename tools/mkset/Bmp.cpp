#include "tools/mkset/Bmp.h"

#include <cstdint>

namespace skyloom::mkset {
namespace {

void put16(std::string& out, std::uint32_t v) {
    out.push_back(char(v & 0xFF));
    out.push_back(char((v >> 8) & 0xFF));
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::string encodeBmp24(const RgbImage& image) {
    if (image.empty())
        return {};
    const std::uint32_t stride = (std::uint32_t(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * std::uint32_t(image.height);
    const std::uint32_t offset = 14 + 40;
    std::string out;
    out.reserve(offset + dataSize);
    // BITMAPFILEHEADER
    out += "BM";
    put32(out, offset + dataSize);
    put32(out, 0);
    put32(out, offset);
    // BITMAPINFOHEADER
    put32(out, 40);
    put32(out, std::uint32_t(image.width));
    put32(out, std::uint32_t(image.height)); // positive: rows bottom-up
    put16(out, 1);                           // planes
    put16(out, 24);                          // bits per pixel
    put32(out, 0);                           // BI_RGB
    put32(out, dataSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* p = image.at(0, y);
        for (int x = 0; x < image.width; ++x, p += 3) {
            out.push_back(char(p[2])); // blue, green, red
            out.push_back(char(p[1]));
            out.push_back(char(p[0]));
        }
        out.append(stride - std::uint32_t(image.width) * 3, '\0');
    }
    return out;
}

} // namespace skyloom::mkset
