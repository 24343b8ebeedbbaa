#pragma once
// PNG through libpng's simplified reader: the whole picture flattened to
// colours, transparent parts laid on black (the saver's background), with
// libpng's colour and gamma handling. (Previews of any format go through
// Qt's reader in PictureFile; this one is for pictures that are converted
// and stored.)

#include <QImage>
#include <cstdint>
#include <span>
#include <string>

namespace skyloom::graphics {

/// False when a chunk other than picture data claims to run past the end
/// of the data: libpng allocates a chunk's declared length for every chunk
/// it keeps whole (texts, profiles), so a few hundred bytes could make it
/// ask for gigabytes. Picture data cut short is left to the reader.
bool pngChunksFit(std::span<const std::uint8_t> data);

/// Decodes to Format_RGB32, refusing pictures of more than maxPixels pixels
/// before their pixels are allocated. False with a reason on failure
/// (damaged or truncated data).
bool decodePngOnBlack(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                      std::int64_t maxPixels);

} // namespace skyloom::graphics
