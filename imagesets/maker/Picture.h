#pragma once
// One source photo turned into what a set holds: the picture to store, its
// preview bitmap and the texts of its information file.

#include "imagesets/maker/Metadata.h"

#include <QImage>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace skyloom::mkset {

/// Largest preview bitmap.
inline constexpr int kPreviewWidth = 160;
inline constexpr int kPreviewHeight = 120;
/// Quality of pictures that have to be encoded (PNG, turned JPEG).
inline constexpr int kJpegQuality = 92;
/// Larger files are not read.
inline constexpr std::size_t kMaxFileBytes = 512u * 1024 * 1024;
/// Pictures with more pixels than this are refused (memory for decoding).
inline constexpr std::int64_t kMaxPixels = 200'000'000;

/// The largest size within `maxWidth` x `maxHeight` with the picture's aspect
/// ratio (never larger than the picture, never smaller than 1 x 1).
QSize fitWithin(QSize picture, int maxWidth, int maxHeight);

/// Decodes a JPEG as stored (the maker turns it by its own reading of the
/// EXIF orientation) at the smallest of the scales 1/8, 1/4, 1/2 and 1 that
/// is still at least `least` (use a huge size for full size). A progressive
/// picture decoded at 1/8 is read only up to its DC coefficients. Data
/// warnings are tolerated, data that ends early is not. Null with `error`
/// set on failure.
QImage decodeJpegAtLeast(std::string_view bytes, QSize least, std::string& error);

enum class PictureKind { Unknown, Jpeg, Png };
/// The kind from the first bytes of the file (not from its name).
PictureKind sniffKind(std::string_view head);

struct PreparedPicture {
    PictureKind kind = PictureKind::Unknown;
    QSize size; ///< upright size of the picture
    PictureTitle title;
    std::string preview; ///< 24-bit BMP, at most 160 x 120
    /// The picture as JPEG when it had to be encoded (PNG source, or a JPEG
    /// that is turned or not in RGB colours); empty: store the source as is.
    std::string encoded;
};

/// Checks and decodes the source bytes and makes the preview (and the
/// encoded picture when needed). nullopt with `error` saying why the picture
/// cannot be used.
std::optional<PreparedPicture> preparePicture(std::string_view bytes, std::string_view fileStem,
                                              std::string& error);

/// Pan direction and origin for a panorama: "LeftToRight" for pictures at
/// least twice as wide as high, "TopToBottom" for at least twice as high as
/// wide, else no direction.
struct Panorama {
    std::string direction;
    int origin = 0;
};
Panorama panoramaFor(QSize upright);

/// The picture's information file: its [Panoramic] section when it is a
/// panorama, then the English title line and the description paragraph.
std::string nfoText(const PictureTitle& title, const Panorama& panorama);

} // namespace skyloom::mkset
