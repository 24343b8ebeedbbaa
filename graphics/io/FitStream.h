#pragma once
// Decoding a picture straight onto its target size: rows are resampled as
// the decoder gives them, so memory is bounded by the target and a band of
// source rows, never by the size a file declares. JPEG is decoded at a DCT
// scale (decodeJpegFitted), PNG and BMP row by row.

#include "graphics/io/JpegCodec.h"
#include "graphics/io/Limits.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace skyloom::graphics {

/// Interlaced PNGs need their whole picture before any row is final; they
/// are decoded whole when their pixels fit in this many bytes and refused
/// beyond it. The same bound applies to every decode of a whole picture.
inline constexpr std::int64_t kWholePictureBytes = 300LL * 1024 * 1024;

struct FitRequest {
    QSize target;
    FitMode mode = FitMode::Stretch;
    /// The part of the full-size picture stretched onto the target
    /// (fractions allowed; JPEG files do not take it). Unset: the whole
    /// picture, fitted as `mode` says.
    std::optional<QRectF> area;
    DecodeLimits limits;
    /// Asked between rows; true stops the decode (the result is then false).
    std::function<bool()> aborted;
    JpegThreads threads = JpegThreads::One;
    /// When set, the target's rows go here (each once it is final, in any
    /// order, a row possibly twice) and `out` stays null: a target far
    /// larger than memory can be made. JPEGs are then decoded on one thread.
    TargetRows rows;
};

/// What a streamed decode held and did (for tests and measurements).
struct FitStats {
    std::int64_t bandBytes = 0;   ///< source rows held for the resampler
    std::int64_t bufferBytes = 0; ///< every pixel buffer of the decode but the result
    int rowsDecoded = 0;          ///< source rows the decoder produced
    bool aborted = false;         ///< stopped because `aborted` said so
    bool whole = false;           ///< decoded whole first (interlaced PNG)
};

/// Decodes a BMP, JPEG or PNG file (by content) onto request.target.
/// False with a reason when the file is damaged, over the limits or the
/// decode was stopped.
bool decodeFittedFile(const std::string& path, const FitRequest& request, QImage& out,
                      std::string& error, FitStats* stats = nullptr);

/// The same for bytes in memory.
bool decodeFitted(std::span<const std::uint8_t> data, const FitRequest& request, QImage& out,
                  std::string& error, FitStats* stats = nullptr);

/// True for a file that is a PNG or BMP by its content (decoded row by row).
bool decodesRowByRow(const std::string& path);

/// The part of a picture of the given size that FitMode::Cover puts on the
/// target (rounded like image tools scale, overflow cut equally both sides).
QRectF coverArea(QSize picture, QSize target);

} // namespace skyloom::graphics
