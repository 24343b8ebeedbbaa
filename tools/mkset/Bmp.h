#pragma once
// Preview bitmaps: uncompressed 24-bit BMP files (BITMAPINFOHEADER,
// bottom-up rows padded to four bytes), as every BMP reader accepts them.

#include "tools/mkset/Raster.h"

#include <string>

namespace skyloom::mkset {

std::string encodeBmp24(const RgbImage& image);

} // namespace skyloom::mkset
