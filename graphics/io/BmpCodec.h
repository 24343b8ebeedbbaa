#pragma once
// Windows BMP files: our own reader (1, 4, 8, 16, 24 and 32 bits per pixel,
// RLE4/RLE8, bit fields, bottom-up and top-down) and writer (24-bit and
// 8-bit palettized, bottom-up, BITMAPINFOHEADER, which every viewer opens).

#include "graphics/io/FileIO.h"
#include "graphics/io/Limits.h"

#include <QImage>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

struct BmpInfo {
    int width = 0;
    int height = 0; // always positive; topDown tells the row order in the file
    int bitsPerPixel = 0;
    int compression = 0;
    bool topDown = false;
    std::vector<QRgb> palette; // only for 1, 4 and 8 bits per pixel
};

/// Decodes a BMP file held in memory into a Format_RGB32 picture. Returns
/// false with a reason for anything malformed, truncated or over the limits.
bool decodeBmp(std::span<const std::uint8_t> data, QImage& out, std::string& error,
               const DecodeLimits& limits = {}, BmpInfo* info = nullptr);

/// Bytes of a bottom-up 24-bit BMP of the picture.
std::vector<std::uint8_t> encodeBmp24(const QImage& image);
/// Writes a bottom-up 24-bit BMP file, replacing any old one atomically.
bool writeBmp24(const std::string& path, const QImage& image, std::string& error);
/// The same into a file being replaced; the caller commits it.
bool writeBmp24(AtomicFile& file, const QImage& image, std::string& error);
/// Writes an 8-bit palettized BMP: indexes is width × height bytes, row by
/// row from the top; palette has 1 to 256 entries.
bool writeBmp8(const std::string& path, int width, int height,
               std::span<const std::uint8_t> indexes, std::span<const QRgb> palette,
               std::string& error);

} // namespace skyloom::graphics
