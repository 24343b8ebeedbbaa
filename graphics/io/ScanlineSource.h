#pragma once
// The rows a fitted JPEG decode resamples, from whichever decoder makes them.
// For the files of graphics/io only.

#include "graphics/io/JpegScans.h"
#include "graphics/io/Limits.h"

#include <QRgb>
#include <QSize>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace skyloom::graphics::detail {

// Where the rows of the fitted decode come from: one libjpeg decoder, or
// several decoding the scans of a progressive file at once, or our own
// progressive decoder.
class ScanlineSource {
public:
    virtual ~ScanlineSource() = default;
    /// Reads the header; false with a reason when it is bad or too large.
    virtual bool readHeader(const DecodeLimits& limits, std::string& error) = 0;
    virtual QSize pictureSize() const = 0;
    /// The EXIF orientation (1-8), once the header is read.
    virtual int orientation() const = 0;
    /// Chooses the DCT scale giving at least needW × needH and starts decoding.
    virtual bool start(int needW, int needH, std::string& error) = 0;
    virtual QSize outputSize() const = 0;
    /// Decoded pixels per full-size pixel: the DCT scale itself. The output
    /// size is that scale rounded up, so it cannot be used for the mapping.
    virtual double scale() const = 0;
    /// Skips rows at the top; skipped says how many really were.
    virtual bool skip(int rows, int& skipped, std::string& error) = 0;
    /// The next row as BGRX (QImage::Format_RGB32).
    virtual bool readRow(QRgb* row, std::string& error) = 0;
    /// True when the decode failed because it was asked to stop.
    virtual bool stopped() const { return false; }
};

/// Rows from our own progressive decoder (ProgressiveJpeg), for files it
/// takes, at full size or scaled by 1/2, 1/4 or 1/8. For any other file, or
/// damage, fitting with it fails (not stopped()).
std::unique_ptr<ScanlineSource> ownProgressiveSource(std::span<const std::uint8_t> data,
                                                     const DecodeLimits& limits,
                                                     const std::function<bool()>& aborted);

class Decompressor;

/// Rows from one libjpeg decoder, which the caller owns and has set up. With
/// `sharp`, a baseline file is DCT-scaled only where the resampler still
/// reduces the result by two or more.
std::unique_ptr<ScanlineSource> libjpegSource(Decompressor& dc, bool sharp);

/// Rows from two or three libjpeg decoders sharing out the scans of a
/// progressive colour file as `split` (planProgressiveSplit) says.
std::unique_ptr<ScanlineSource> splitProgressiveSource(std::span<const std::uint8_t> data,
                                                       ProgressiveSplit split,
                                                       const DecodeLimits& limits);

} // namespace skyloom::graphics::detail
