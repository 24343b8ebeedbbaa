#include "tools/mkset/Raster.h"

#include <algorithm>
#include <cmath>

namespace skyloom::mkset {

Size orientedSize(Size stored, int orientation) {
    if (orientation >= 5 && orientation <= 8)
        return {stored.height, stored.width};
    return stored;
}

RgbImage applyOrientation(RgbImage image, int orientation) {
    if (orientation < 2 || orientation > 8 || image.empty())
        return image;
    const int w = image.width;
    const int h = image.height;
    const Size out = orientedSize({w, h}, orientation);
    RgbImage turned;
    turned.width = out.width;
    turned.height = out.height;
    turned.pixels.resize(image.pixels.size());
    // For every stored pixel (x, y), where it lands in the upright picture.
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int tx = x, ty = y;
            switch (orientation) {
            case 2:
                tx = w - 1 - x;
                ty = y;
                break; // mirrored left-right
            case 3:
                tx = w - 1 - x;
                ty = h - 1 - y;
                break; // upside down
            case 4:
                tx = x;
                ty = h - 1 - y;
                break; // mirrored top-bottom
            case 5:
                tx = y;
                ty = x;
                break; // transposed
            case 6:
                tx = h - 1 - y;
                ty = x;
                break; // turn clockwise
            case 7:
                tx = h - 1 - y;
                ty = w - 1 - x;
                break; // transversed
            case 8:
                tx = y;
                ty = w - 1 - x;
                break; // turn anticlockwise
            default:
                break;
            }
            const std::uint8_t* s = image.at(x, y);
            std::uint8_t* d = turned.at(tx, ty);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
    return turned;
}

Size fitWithin(Size picture, int maxWidth, int maxHeight) {
    if (picture.width <= 0 || picture.height <= 0)
        return {0, 0};
    if (picture.width <= maxWidth && picture.height <= maxHeight)
        return picture;
    const double scale =
        std::min(double(maxWidth) / picture.width, double(maxHeight) / picture.height);
    const int w = std::clamp(int(std::lround(picture.width * scale)), 1, maxWidth);
    const int h = std::clamp(int(std::lround(picture.height * scale)), 1, maxHeight);
    return {w, h};
}

RgbImage shrink(const RgbImage& image, Size target) {
    RgbImage out;
    if (image.empty() || target.width <= 0 || target.height <= 0)
        return out;
    out.width = target.width;
    out.height = target.height;
    out.pixels.resize(std::size_t(out.width) * out.height * 3);
    for (int ty = 0; ty < out.height; ++ty) {
        const int y0 = int(std::int64_t(ty) * image.height / out.height);
        const int y1 = std::max(y0 + 1, int(std::int64_t(ty + 1) * image.height / out.height));
        for (int tx = 0; tx < out.width; ++tx) {
            const int x0 = int(std::int64_t(tx) * image.width / out.width);
            const int x1 = std::max(x0 + 1, int(std::int64_t(tx + 1) * image.width / out.width));
            std::uint64_t sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* p = image.at(x0, y);
                for (int x = x0; x < x1; ++x, p += 3) {
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
            const std::uint64_t n = std::uint64_t(x1 - x0) * (y1 - y0);
            std::uint8_t* d = out.at(tx, ty);
            for (int c = 0; c < 3; ++c)
                d[c] = std::uint8_t((sum[c] + n / 2) / n);
        }
    }
    return out;
}

} // namespace skyloom::mkset
