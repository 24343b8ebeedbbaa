#pragma once
// depthkit: conversions between picture files. Each call names a source and
// a destination; the destination is created or replaced atomically. When a
// conversion fails the destination is removed, so that a caller who loads
// it afterwards fails instead of picking up an older file of that name.
// The results report success for callers that want to know.

#include <string>

namespace skyloom::depthkit {

/// A JPEG (or any picture recognised by its content) to a 24-bit BMP.
bool DoDecompress(const std::string& source, const std::string& destination);
/// The same, decoding at the strongest fast DCT scale that still gives at
/// least minWidth × minHeight (for previews and thumbnails).
bool DoDecompressScaled(const std::string& source, const std::string& destination, int minWidth,
                        int minHeight);
/// A BMP (or other picture) to a JPEG file.
bool DoCompress(const std::string& source, const std::string& destination);
/// A JPEG (or other picture) to an 8-bit palettized BMP: median-cut palette
/// of 256 colours and Floyd–Steinberg dithering.
bool Do24To8(const std::string& source, const std::string& destination);

/// JPEG quality DoCompress writes.
inline constexpr int kJpegQuality = 95;

/// The reason of the last failure on this thread ("" after success).
const std::string& LastError();

} // namespace skyloom::depthkit
