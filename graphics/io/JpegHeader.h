#pragma once
// What a JPEG says before its pixels: whether its marker structure is
// complete, its size and colour model, and the metadata segments (EXIF,
// XMP, IPTC) that name and turn the picture.

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

/// One marker segment as stored in the file, without its length.
struct JpegMarker {
    int code = 0; ///< 0xE0 + n for APPn (JPEG_APP0 + n), 0xFE for a comment
    std::vector<std::uint8_t> data;
};

struct JpegHeader {
    int width = 0;
    int height = 0;
    bool progressive = false;
    bool plainColour = true;         ///< YCbCr, RGB or grey (not CMYK/YCCK)
    std::vector<JpegMarker> markers; ///< APP1 (EXIF, XMP) and APP13 (IPTC), in file order
};

/// Empty when the bytes form a complete JPEG stream (start marker, segments,
/// entropy-coded data and end marker all present); otherwise why not, e.g.
/// "the file is truncated (no end-of-image marker)". A stream of more than
/// maxScans scans is refused as the decoders refuse it ("JPEG has more than
/// N scans"), even by a reader that stops after the first scans.
std::string checkJpegStructure(std::span<const std::uint8_t> bytes,
                               int maxScans = std::numeric_limits<int>::max());

/// Reads the header and the metadata segments without decoding pixels.
/// False with libjpeg's reason in `error` when the stream is not readable.
bool readJpegHeader(std::span<const std::uint8_t> bytes, JpegHeader& header, std::string& error);

} // namespace skyloom::graphics
