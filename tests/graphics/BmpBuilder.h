#pragma once
// Builds BMP files byte by byte for the tests and the fuzz seed corpus,
// including ones whose headers lie.

#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::test {

struct BmpSpec {
    std::int32_t width = 4;
    std::int32_t height = 3; // negative = top-down
    int bpp = 24;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::vector<QRgb> palette;        // written as it is
    std::uint32_t colorsUsed = 0;     // header field; 0 = palette.size() when bpp <= 8
    std::vector<std::uint32_t> masks; // written after a 40-byte header for bit fields
    std::vector<std::uint8_t> pixels; // pixel data exactly as stored in the file
    std::int64_t offsetOverride = -1; // pixel-data offset field, -1 = correct
};

inline void put(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        v[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::vector<std::uint8_t> buildBmp(const BmpSpec& s) {
    std::vector<std::uint8_t> out(14 + s.headerSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    put(out, 14, s.headerSize, 4);
    if (s.headerSize == 12) {
        put(out, 18, static_cast<std::uint32_t>(s.width), 2);
        put(out, 20, static_cast<std::uint32_t>(s.height), 2);
        put(out, 22, 1, 2);
        put(out, 24, static_cast<std::uint32_t>(s.bpp), 2);
    } else {
        put(out, 18, static_cast<std::uint32_t>(s.width), 4);
        put(out, 22, static_cast<std::uint32_t>(s.height), 4);
        put(out, 26, 1, 2);
        put(out, 28, static_cast<std::uint32_t>(s.bpp), 2);
        put(out, 30, s.compression, 4);
        const std::uint32_t used =
            s.colorsUsed ? s.colorsUsed
                         : (s.bpp <= 8 ? static_cast<std::uint32_t>(s.palette.size()) : 0);
        put(out, 46, used, 4);
        if (s.headerSize >= 52)
            for (std::size_t i = 0; i < s.masks.size() && i < 4; ++i)
                put(out, 54 + 4 * i, s.masks[i], 4);
    }
    if (s.headerSize < 52)
        for (std::uint32_t m : s.masks) {
            out.resize(out.size() + 4);
            put(out, out.size() - 4, m, 4);
        }
    for (QRgb c : s.palette) {
        out.push_back(static_cast<std::uint8_t>(qBlue(c)));
        out.push_back(static_cast<std::uint8_t>(qGreen(c)));
        out.push_back(static_cast<std::uint8_t>(qRed(c)));
        if (s.headerSize != 12)
            out.push_back(0);
    }
    const std::size_t offset =
        s.offsetOverride >= 0 ? static_cast<std::size_t>(s.offsetOverride) : out.size();
    put(out, 10, static_cast<std::uint32_t>(offset), 4);
    out.insert(out.end(), s.pixels.begin(), s.pixels.end());
    put(out, 2, static_cast<std::uint32_t>(out.size()), 4);
    return out;
}

/// Packs rows of palette indexes (top row first) bottom-up at 1, 4 or 8 bits.
inline std::vector<std::uint8_t> packIndexes(const std::vector<std::vector<int>>& rows, int bpp,
                                             bool topDown = false) {
    std::vector<std::uint8_t> out;
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    const std::size_t stride = ((width * bpp + 31) / 32) * 4;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const auto& row = rows[topDown ? n : rows.size() - 1 - n];
        std::vector<std::uint8_t> bytes(stride, 0);
        for (std::size_t x = 0; x < width; ++x) {
            const std::size_t bit = x * bpp;
            bytes[bit / 8] |= static_cast<std::uint8_t>(row[x] << (8 - bpp - bit % 8));
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

/// Packs an RGB32 picture bottom-up (or top-down) at 16 (5-5-5), 24 or 32 bits.
inline std::vector<std::uint8_t> packPixels(const QImage& image, int bpp, bool topDown = false) {
    std::vector<std::uint8_t> out;
    const std::size_t stride = ((static_cast<std::size_t>(image.width()) * bpp + 31) / 32) * 4;
    for (int n = 0; n < image.height(); ++n) {
        const int y = topDown ? n : image.height() - 1 - n;
        std::vector<std::uint8_t> bytes(stride, 0);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (bpp == 16) {
                const std::uint32_t v =
                    ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
                put(bytes, 2 * x, v, 2);
            } else {
                const std::size_t at = static_cast<std::size_t>(x) * (bpp / 8);
                bytes[at] = static_cast<std::uint8_t>(qBlue(c));
                bytes[at + 1] = static_cast<std::uint8_t>(qGreen(c));
                bytes[at + 2] = static_cast<std::uint8_t>(qRed(c));
            }
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

/// A small colourful test picture whose channels are multiples of 8 (exact in 5-5-5).
inline QImage testPicture(int width = 7, int height = 5) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 40) & 0xf8, (y * 56) & 0xf8, ((x + y) * 24) & 0xf8));
    return image;
}

inline std::string asString(const std::vector<std::uint8_t>& v) {
    return {v.begin(), v.end()};
}

} // namespace skyloom::test
