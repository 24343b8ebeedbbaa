#pragma once
// JPEG pictures through libjpeg-turbo: structure check, header, scaled
// decoding and encoding. Every libjpeg error comes back as a message; none
// ends the program.

#include "tools/mkset/Raster.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skyloom::mkset {

/// Pictures with more pixels than this are refused (memory for decoding).
inline constexpr std::int64_t kMaxPixels = 200'000'000;

struct JpegMarker {
    int code = 0; ///< JPEG_APP0 + n, JPEG_COM
    std::vector<std::uint8_t> data;
};

struct JpegInfo {
    int width = 0;
    int height = 0;
    bool progressive = false;
    bool plainColour = true;         ///< YCbCr, RGB or grey (not CMYK/YCCK)
    std::vector<JpegMarker> markers; ///< APP1 (EXIF, XMP) and APP13 (IPTC)
};

/// Empty when the bytes form a complete JPEG stream (start marker, segments,
/// entropy-coded data and end marker all present); otherwise why not, e.g.
/// "the file is truncated (no end-of-image marker)".
std::string checkJpegStructure(std::string_view bytes);

/// Reads the header and the metadata segments. nullopt with `error` set when
/// the stream is not a readable JPEG.
std::optional<JpegInfo> readJpegInfo(std::string_view bytes, std::string& error);

/// Decodes the picture at the smallest of the scales 1/8, 1/4, 1/2 and 1 that
/// is still at least `minWidth` x `minHeight` (0 x 0: the smallest scale;
/// use a huge value for full size). A progressive picture decoded at 1/8
/// needs only its DC coefficients, so decoding stops as soon as the scans
/// that carry them have been read. Returns an empty image with `error` set on
/// failure; a stream that ends early is a failure.
RgbImage decodeJpeg(std::string_view bytes, int minWidth, int minHeight, std::string& error);

/// Encodes at `quality` (1-100), baseline or progressive, with `markers`
/// written after the JFIF header. Empty with `error` set on failure.
std::string encodeJpeg(const RgbImage& image, int quality, const std::vector<JpegMarker>& markers,
                       std::string& error, bool progressive = false);

} // namespace skyloom::mkset
