#pragma once
// The EXIF orientation of a photo: how the camera was held, as the number
// 1-8 of the TIFF "Orientation" tag. Cameras store the pixels as the sensor
// saw them and say with this tag how to turn them for showing; decoders
// apply it so that every picture comes out upright.

#include <QImage>
#include <QSize>
#include <cstdint>
#include <span>

namespace skyloom::graphics {

/// The orientation in the payload of a JPEG APP1 segment ("Exif\0\0" and a
/// TIFF header); 1 (as stored) when there is none or it cannot be read.
int exifOrientation(std::span<const std::uint8_t> app1);

/// Size of the picture as shown: width and height change places for
/// orientations 5-8 (turned by a quarter).
QSize orientedSize(QSize stored, int orientation);

/// The stored pixels turned and mirrored as the orientation says.
QImage applyOrientation(const QImage& stored, int orientation);

} // namespace skyloom::graphics
