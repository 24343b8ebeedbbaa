#pragma once
// Reading picture files by their content, whatever their names say.

#include "graphics/io/JpegCodec.h"
#include "graphics/io/Limits.h"

#include <QImage>
#include <cstdint>
#include <span>
#include <string>

namespace skyloom::graphics {

enum class PictureFormat { Unknown, Bmp, Jpeg, Png };

/// Recognises BMP ("BM"), JPEG (FF D8 FF) and PNG signatures.
PictureFormat sniffFormat(std::span<const std::uint8_t> head);

/// The size a BMP, JPEG or PNG file declares, read from its start (a JPEG
/// whose headers reach further is read whole); the file is opened as a set
/// file (openSetFile). `format` (when given) receives what was found.
bool readPictureSize(const std::string& path, QSize& size, std::string& error,
                     PictureFormat* format = nullptr);

/// Loads a BMP, JPEG or PNG file into a Format_RGB32 picture.
/// jpegOptions may ask for DCT-scaled decoding of JPEG files.
bool loadPicture(const std::string& path, QImage& out, std::string& error,
                 const JpegDecodeOptions& jpegOptions = {});

/// A picture of any format Qt reads (previews, logos), read through
/// openSetFile() so that pipes and links out of the program directory are
/// refused; BMP, JPEG and PNG go through loadPicture(). Null on failure,
/// with the reason logged.
QImage loadSetImage(const std::string& path);

/// The same for bytes already in memory.
bool decodePicture(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                   const JpegDecodeOptions& jpegOptions = {});

} // namespace skyloom::graphics
