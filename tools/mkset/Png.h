#pragma once
// PNG pictures through libpng: decoding to RGB (transparent parts laid on
// black, the saver's background) and the metadata chunks that can name the
// picture.

#include "tools/mkset/Raster.h"

#include <string>
#include <string_view>

namespace skyloom::mkset {

/// Width and height from the header; false when the bytes are not a PNG.
bool readPngSize(std::string_view bytes, int& width, int& height);

/// Decodes the whole picture. Empty with `error` set on failure (damaged or
/// truncated data, or more than kMaxPixels pixels).
RgbImage decodePng(std::string_view bytes, std::string& error);

/// Metadata of a PNG found in its uncompressed text chunks (tEXt, iTXt) and
/// its eXIf chunk.
struct PngMetadata {
    std::string title;       ///< "Title" text
    std::string description; ///< "Description" text
    std::string xmp;         ///< "XML:com.adobe.xmp" text
    std::string exif;        ///< eXIf chunk (TIFF data)
};
PngMetadata readPngMetadata(std::string_view bytes);

} // namespace skyloom::mkset
