#pragma once
// Pictures in memory as 8-bit RGB rows, and the few operations the set maker
// needs on them: turning upright by an EXIF orientation and shrinking to a
// thumbnail.

#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::mkset {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; ///< rows top to bottom, 3 bytes per pixel, no padding

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t* at(int x, int y) { return pixels.data() + (std::size_t(y) * width + x) * 3; }
    const std::uint8_t* at(int x, int y) const {
        return pixels.data() + (std::size_t(y) * width + x) * 3;
    }
};

/// Width and height of a picture once turned by EXIF orientation 1-8
/// (5-8 swap the two).
struct Size {
    int width = 0;
    int height = 0;
};
Size orientedSize(Size stored, int orientation);

/// The picture as it is meant to be seen: EXIF orientation 2-8 mirror and
/// turn it; 1 and unknown values leave it as it is.
RgbImage applyOrientation(RgbImage image, int orientation);

/// The largest size within `maxWidth` x `maxHeight` with the picture's aspect
/// ratio (never larger than the picture, never smaller than 1 x 1).
Size fitWithin(Size picture, int maxWidth, int maxHeight);

/// Shrinks by averaging the source pixels under each target pixel.
RgbImage shrink(const RgbImage& image, Size target);

} // namespace skyloom::mkset
