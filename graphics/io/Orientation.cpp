#include "graphics/io/Orientation.h"

#include <cstring>

namespace skyloom::graphics {

int exifOrientation(std::span<const std::uint8_t> app1) {
    constexpr std::size_t kTiff = 6; // after "Exif\0\0"
    if (app1.size() < kTiff + 8 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0)
        return 1;
    const std::span<const std::uint8_t> tiff = app1.subspan(kTiff);
    bool little;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (tiff[0] == 'M' && tiff[1] == 'M')
        little = false;
    else
        return 1;
    const auto u16 = [&](std::size_t at) -> std::uint32_t {
        return little ? tiff[at] | tiff[at + 1] << 8 : tiff[at] << 8 | tiff[at + 1];
    };
    const auto u32 = [&](std::size_t at) -> std::uint32_t {
        return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2);
    };
    if (u16(2) != 42)
        return 1;
    const std::size_t ifd = u32(4);
    if (ifd > tiff.size() || tiff.size() - ifd < 2)
        return 1;
    const std::size_t count = u16(ifd);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = ifd + 2 + 12 * i;
        if (entry > tiff.size() || tiff.size() - entry < 12)
            return 1;
        if (u16(entry) != 0x0112)
            continue;
        // SHORT, one value, held in the first two bytes of the value field.
        if (u16(entry + 2) != 3 || u32(entry + 4) != 1)
            return 1;
        const std::uint32_t value = u16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

QSize orientedSize(QSize stored, int orientation) {
    return orientation >= 5 && orientation <= 8 ? stored.transposed() : stored;
}

QImage applyOrientation(const QImage& stored, int orientation) {
    if (orientation < 2 || orientation > 8 || stored.isNull())
        return stored;
    const QImage source = stored.convertToFormat(QImage::Format_RGB32);
    const int w = source.width(), h = source.height();
    const QSize size = orientedSize(source.size(), orientation);
    QImage out(size, QImage::Format_RGB32);
    if (out.isNull())
        return stored;
    // Which stored pixel shows at (x, y): orientations 5-8 exchange the
    // axes, then some mirror across, down, or both.
    const bool swap = orientation >= 5;
    const bool mirrorX =
        orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
    const bool mirrorY =
        orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int a = swap ? y : x, b = swap ? x : y;
            const int sx = mirrorX ? w - 1 - a : a, sy = mirrorY ? h - 1 - b : b;
            row[x] = reinterpret_cast<const QRgb*>(source.constScanLine(sy))[sx];
        }
    }
    return out;
}

} // namespace skyloom::graphics
