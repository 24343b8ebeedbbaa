#pragma once
// Reduction of a true-colour picture to at most 256 colours: a median-cut
// palette built from a 5-bit-per-channel histogram, then Floyd–Steinberg
// error diffusion in serpentine order.

#include <QImage>
#include <cstdint>
#include <vector>

namespace skyloom::graphics {

struct Palettized {
    int width = 0;
    int height = 0;
    std::vector<QRgb> palette;         // 1 to 256 colours
    std::vector<std::uint8_t> indexes; // width × height, top row first
};

/// Builds a palette of at most maxColours for the picture. A picture with
/// that few distinct colours gets exactly its own colours.
std::vector<QRgb> buildPalette(const QImage& image, int maxColours = 256);

/// Maps every pixel onto the palette with error diffusion (or exactly when
/// the palette holds every colour of the picture).
Palettized reduceTo8Bits(const QImage& image, int maxColours = 256);

} // namespace skyloom::graphics
