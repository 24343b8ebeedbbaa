#pragma once
// High-quality resampling ("HALFTONE"), separately per axis, in fixed
// point: where a picture shrinks, each destination pixel is a weighted
// average of the source area around it (a Lanczos-3 window stretched over
// the reduction, or a plain box over exactly the covered area); where it
// grows, bilinear interpolation. Works row by row so that a decoder can feed it scanlines
// without holding the whole source picture.

#include <QImage>
#include <cstdint>
#include <vector>

namespace skyloom::graphics {

/// Which source pixels, with which weights, make each destination pixel of one axis.
enum class ShrinkKernel {
    Lanczos3, ///< sharp, close to what photo tools do
    Box,      ///< exact mean of the covered area
};

class ResampleAxis {
public:
    static constexpr int kWeightBits = 12;

    /// Destination positions [0, dstLength) cover source positions
    /// [srcStart, srcStart + srcLength), which may be fractional;
    /// contributors are clamped to [0, srcLimit).
    ResampleAxis(double srcStart, double srcLength, int dstLength, int srcLimit,
                 ShrinkKernel kernel = ShrinkKernel::Lanczos3);

    int first(int d) const { return first_[d]; }
    int count(int d) const { return count_[d]; }
    const std::int32_t* weights(int d) const {
        return &weights_[static_cast<std::size_t>(d) * stride_];
    }
    /// The same weights in 14-bit fixed point (for the 16-bit vertical pass).
    const std::int16_t* weights14(int d) const {
        return &weights14_[static_cast<std::size_t>(d) * stride_];
    }
    /// The 12-bit weights as 16-bit numbers, padded with zeros to a multiple of 4 taps.
    const std::int16_t* weights12(int d) const {
        return &weights12_[static_cast<std::size_t>(d) * stride4_];
    }
    int maxCount() const { return stride_; }
    /// The lowest and highest source positions any destination pixel reads.
    int lowest() const { return lowest_; }
    int highest() const { return highest_; }

private:
    std::vector<int> first_;
    std::vector<int> count_;
    std::vector<std::int32_t> weights_;
    std::vector<std::int16_t> weights14_;
    std::vector<std::int16_t> weights12_;
    int stride_ = 1;
    int stride4_ = 4;
    int lowest_ = 0;
    int highest_ = 0;
};

/// Resamples one destination row from the source rows that the vertical
/// axis names. Rows are Format_RGB32 pixels; only the colour channels are
/// computed, the alpha byte is set to 0xff.
class RowResampler {
public:
    RowResampler(const ResampleAxis& horizontal, const ResampleAxis& vertical, int dstWidth);

    /// rows[k] is the source row vertical.first(dy) + k, k < vertical.count(dy).
    /// Writes destination columns [x0, x1).
    void resampleRow(int dy, const QRgb* const* rows, QRgb* out, int x0, int x1);

private:
    const ResampleAxis& h_;
    const ResampleAxis& v_;
    int srcX0_, srcX1_;                // source columns the horizontal axis reads
    std::vector<std::int16_t> column_; // vertically combined row, 4 channels, 8.6 fixed point
};

/// Turns the AVX2 code paths off or on (for tests: both must give the same pixels).
void setVectorPathsEnabled(bool enabled);

/// Resamples src rectangle (sx, sy, sw, sh) onto dst rectangle (dx, dy, dw, dh)
/// of dst, clipping the destination and clamping source reads to src.
void resampleRect(const QImage& src, int sx, int sy, int sw, int sh, QImage& dst, int dx, int dy,
                  int dw, int dh, ShrinkKernel kernel = ShrinkKernel::Lanczos3);

/// Resamples the part `area` of src (fractional positions allowed) onto the
/// whole of dst.
void resampleArea(const QImage& src, const QRectF& area, QImage& dst,
                  ShrinkKernel kernel = ShrinkKernel::Lanczos3);
/// The same onto a picture of `size`, of which only the part under dst,
/// with dst's corner at `at`, is made (and nothing else is computed).
void resampleArea(const QImage& src, const QRectF& area, QSize size, QPoint at, QImage& dst,
                  ShrinkKernel kernel = ShrinkKernel::Lanczos3);

/// Shrinks by the plain mean of the whole source pixels under each target
/// pixel (edges at whole pixels, rounded to nearest): a small preview with
/// no ringing. The result is Format_RGB32; a null picture when either is empty.
QImage shrinkByAveraging(const QImage& image, QSize target);

} // namespace skyloom::graphics
