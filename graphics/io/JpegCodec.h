#pragma once
// JPEG through libjpeg(-turbo): decoding with DCT-domain scaling, a
// streaming decode-and-fit path, and encoding. Every libjpeg error comes
// back as a failure with a reason; the library never ends the program.

#include "graphics/io/JpegHeader.h"
#include "graphics/io/JpegScans.h"
#include "graphics/io/Limits.h"

#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

struct JpegDecodeOptions {
    /// The smallest picture the caller needs. When both are positive the
    /// decoder picks the strongest fast DCT scale (1/2, 1/4 or 1/8) whose
    /// result is still at least this large in both directions; 0 = full size.
    int minWidth = 0;
    int minHeight = 0;
    DecodeLimits limits;
    /// Turn the pixels upright by the file's EXIF orientation (false: as stored,
    /// and the minimum is then meant for the stored picture).
    bool upright = true;
    /// Halve progressive pictures too (normally only 1/4 and 1/8 are used for them).
    bool halveProgressive = false;
    /// A progressive picture decoded at 1/8 needs only its DC coefficients:
    /// stop reading once every component's DC has arrived.
    bool dcOnlyAtEighth = false;
    /// Warnings about corrupt data fail the decode (the rest of the picture
    /// would be grey). When false they are ignored and only data that ends
    /// early fails, with "premature end of JPEG data".
    bool corruptDataFails = true;
};

/// Decoded pixels per full-size pixel of a picture decoded with
/// minWidth/minHeight: exactly 1/2, 1/4 or 1/8 when `decoded` is that scale
/// of `picture` rounded up (as the DCT scaling gives), else the ratio of the
/// widths. Mapping by the rounded-up size instead squeezes the picture.
double decodedScale(QSize picture, QSize decoded);

/// Size of the JPEG picture (before any scaling); false if the header is bad.
bool readJpegSize(std::span<const std::uint8_t> data, QSize& size, std::string& error);

/// Decodes to Format_RGB32. Warnings about corrupt data count as errors, so
/// a damaged picture fails instead of showing a grey lower half.
bool decodeJpeg(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                const JpegDecodeOptions& options = {});

enum class FitMode {
    Stretch, ///< the whole picture onto the whole target, aspect not kept
    Cover,   ///< scaled to fill the target, the overflow cut off equally on both sides
};

/// How many threads decode one picture. Several helps progressive colour
/// files only: a chroma decoder and one or two luma decoders work through
/// their scans at the same time (about 30 % less time on two cores, for
/// about a third more memory). Other files are decoded as with One.
enum class JpegThreads { One, Several };

/// Decodes and fits a JPEG to width × height with area-averaging quality,
/// decoding at the smallest fast DCT scale that keeps full detail and
/// resampling the scanlines as they arrive (the full picture is never held).
/// With One thread (the saver) a baseline file is DCT-scaled only where the
/// resampler still reduces the result by two or more, which keeps fine
/// detail free of aliasing; Several (the wallpaper) takes the strongest
/// scale that keeps full size, for speed.
/// `aborted`, when given, is asked as each row of input is decoded (in a
/// progressive file: of every scan); true stops the decode with an error.
bool decodeJpegFitted(std::span<const std::uint8_t> data, QSize target, FitMode mode, QImage& out,
                      std::string& error, const DecodeLimits& limits = {},
                      JpegThreads threads = JpegThreads::One,
                      const std::function<bool()>& aborted = {});

/// Where a fitted decode can hand its rows instead of making a picture:
/// called once for each target row (0 at the top, target width pixels),
/// from any one thread; false stops the decode. A decode that meets damage
/// may start again from the top, so a row can come twice.
using TargetRows = std::function<bool(int y, const QRgb* row)>;
/// decodeJpegFitted with the rows going to `rows` (`out` stays null). A
/// photo that its orientation turns or mirrors is refused: its rows are
/// only final once the whole picture is there.
bool decodeJpegFittedRows(std::span<const std::uint8_t> data, QSize target, FitMode mode,
                          const TargetRows& rows, std::string& error,
                          const DecodeLimits& limits = {},
                          const std::function<bool()>& aborted = {});

enum class ChromaSampling {
    Full,    ///< 4:4:4
    Across,  ///< 4:2:2: chroma at half the width
    Quarter, ///< 4:2:0: chroma at half the width and height (as most cameras write)
};

struct JpegEncodeOptions {
    int quality = 95;         ///< 1–100
    bool progressive = false; ///< progressive scans instead of one baseline scan
    ChromaSampling chroma = ChromaSampling::Full;
    bool optimizeCoding = false;     ///< Huffman tables made for the picture (smaller, slower)
    std::vector<JpegMarker> markers; ///< segments written after the JFIF header
};

/// Encodes a picture as JPEG bytes. False with a reason on failure.
bool encodeJpeg(const QImage& image, const JpegEncodeOptions& options,
                std::vector<std::uint8_t>& out, std::string& error);

/// The same reading the file a buffer at a time, so that a large file is
/// never held in memory as a whole (with JpegThreads::Several it is read whole).
bool decodeJpegFittedFile(const std::string& path, QSize target, FitMode mode, QImage& out,
                          std::string& error, const DecodeLimits& limits = {},
                          JpegThreads threads = JpegThreads::One,
                          const std::function<bool()>& aborted = {});
/// The same with the rows going to `rows`.
bool decodeJpegFittedFileRows(const std::string& path, QSize target, FitMode mode,
                              const TargetRows& rows, std::string& error,
                              const DecodeLimits& limits = {},
                              const std::function<bool()>& aborted = {});

/// Encodes a picture as a JPEG file, replacing any old one atomically.
bool writeJpeg(const std::string& path, const QImage& image, const JpegEncodeOptions& options,
               std::string& error);
/// A baseline 4:4:4 JPEG of the given quality.
bool writeJpeg(const std::string& path, const QImage& image, int quality, std::string& error);

} // namespace skyloom::graphics
