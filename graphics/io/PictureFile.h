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

/// Loads a BMP, JPEG or PNG file into a Format_RGB32 picture.
/// jpegOptions may ask for DCT-scaled decoding of JPEG files.
bool loadPicture(const std::string& path, QImage& out, std::string& error,
                 const JpegDecodeOptions& jpegOptions = {});

/// The same for bytes already in memory.
bool decodePicture(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                   const JpegDecodeOptions& jpegOptions = {});

} // namespace skyloom::graphics
