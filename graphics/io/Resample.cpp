#include "graphics/io/Resample.h"

#include <algorithm>
#include <cmath>

namespace skyloom::graphics {

namespace {

double sinc(double x) {
    if (std::abs(x) < 1e-9)
        return 1.0;
    const double px = M_PI * x;
    return std::sin(px) / px;
}

double lanczos3(double x) { return std::abs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0; }

} // namespace

ResampleAxis::ResampleAxis(double srcStart, double srcLength, int dstLength, int srcLimit,
                           ShrinkKernel kernel) {
    if (dstLength <= 0 || !(srcLength > 0) || srcLimit <= 0)
        return;
    constexpr std::int32_t one = 1 << kWeightBits;
    const double scale = srcLength / dstLength;
    std::vector<std::vector<std::pair<int, double>>> taps(dstLength);
    for (int d = 0; d < dstLength; ++d) {
        auto& t = taps[d];
        if (scale > 1.0 && kernel == ShrinkKernel::Lanczos3) {
            // The window is stretched by the reduction, so it averages the
            // area each destination pixel stands for.
            const double centre = srcStart + (d + 0.5) * scale;
            const double support = 3.0 * scale;
            for (int s = static_cast<int>(std::floor(centre - support));
                 s <= static_cast<int>(std::ceil(centre + support)); ++s) {
                const double w = lanczos3((s + 0.5 - centre) / scale);
                if (std::abs(w) > 1e-9)
                    t.emplace_back(s, w);
            }
        } else if (scale > 1.0) {
            // Area averaging: the destination pixel covers [a, b) of the source.
            const double a = srcStart + d * scale, b = srcStart + (d + 1) * scale;
            for (int s = static_cast<int>(std::floor(a)); s < b; ++s) {
                const double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
                if (w > 1e-9)
                    t.emplace_back(s, w);
            }
        } else {
            // Bilinear between the two nearest source pixel centres.
            const double c = srcStart + (d + 0.5) * scale - 0.5;
            const int s = static_cast<int>(std::floor(c));
            const double f = c - s;
            t.emplace_back(s, 1.0 - f);
            if (f > 1e-9)
                t.emplace_back(s + 1, f);
        }
    }
    for (const auto& t : taps)
        stride_ = std::max(stride_, static_cast<int>(t.size()));
    first_.resize(dstLength);
    count_.resize(dstLength);
    weights_.assign(static_cast<std::size_t>(dstLength) * stride_, 0);
    for (int d = 0; d < dstLength; ++d) {
        // Clamp to the picture and merge taps that land on the same pixel.
        std::vector<std::pair<int, double>> merged;
        double total = 0;
        for (auto [s, w] : taps[d]) {
            const int clamped = std::clamp(s, 0, srcLimit - 1);
            total += w;
            if (!merged.empty() && merged.back().first == clamped)
                merged.back().second += w;
            else
                merged.emplace_back(clamped, w);
        }
        first_[d] = merged.front().first;
        count_[d] = static_cast<int>(merged.size());
        std::int32_t* out = &weights_[static_cast<std::size_t>(d) * stride_];
        std::int32_t sum = 0;
        int largest = 0;
        for (std::size_t k = 0; k < merged.size(); ++k) {
            out[k] = static_cast<std::int32_t>(std::lround(merged[k].second / total * one));
            sum += out[k];
            if (std::abs(out[k]) > std::abs(out[largest]))
                largest = static_cast<int>(k);
        }
        out[largest] += one - sum; // weights add up to exactly one
    }
}

RowResampler::RowResampler(const ResampleAxis& horizontal, const ResampleAxis& vertical,
                           int dstWidth)
    : h_(horizontal), v_(vertical), srcX0_(horizontal.lowest()), srcX1_(horizontal.highest() + 1) {
    (void)dstWidth;
    column_.resize(static_cast<std::size_t>(std::max(0, srcX1_ - srcX0_)) * 4);
}

namespace {

// The two inner loops, compiled for AVX2 as well as for plain x86-64; the
// loader picks what the processor has.
#if defined(__x86_64__) && defined(__GNUC__)
#define SKYLOOM_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SKYLOOM_CLONES
#endif

// Vertical pass over the source columns in use: 8-bit channels times
// 12-bit weights, kept with 4 extra bits of precision. Weights may be
// negative (the window's side lobes).
SKYLOOM_CLONES void verticalPass(std::int32_t* __restrict col, std::size_t n,
                                 const std::uint8_t* const* rows, const std::int32_t* weights,
                                 int count) {
    {
        const std::uint8_t* __restrict src = rows[0];
        const std::int32_t w = weights[0];
        for (std::size_t i = 0; i < n; ++i)
            col[i] = w * src[i];
    }
    for (int k = 1; k < count; ++k) {
        const std::uint8_t* __restrict src = rows[k];
        const std::int32_t w = weights[k];
        for (std::size_t i = 0; i < n; ++i)
            col[i] += w * src[i];
    }
    for (std::size_t i = 0; i < n; ++i)
        col[i] = (col[i] + 128) >> 8; // 8.12 fixed point down to 8.4
}

SKYLOOM_CLONES void horizontalPass(const std::int32_t* __restrict col, int srcX0,
                                   const ResampleAxis& axis, QRgb* __restrict out, int x0, int x1) {
    constexpr int shift = ResampleAxis::kWeightBits + 4;
    constexpr std::int32_t half = 1 << (shift - 1);
    for (int x = x0; x < x1; ++x) {
        const int c = axis.count(x);
        const std::int32_t* wh = axis.weights(x);
        const std::int32_t* p = col + static_cast<std::size_t>(axis.first(x) - srcX0) * 4;
        std::int32_t acc[4] = {half, half, half, half};
        for (int k = 0; k < c; ++k, p += 4)
            for (int ch = 0; ch < 4; ++ch)
                acc[ch] += wh[k] * p[ch];
        QRgb pixel = 0xff000000u;
        for (int ch = 0; ch < 3; ++ch)
            pixel |= static_cast<QRgb>(std::clamp(acc[ch] >> shift, 0, 255)) << (8 * ch);
        out[x] = pixel;
    }
}

} // namespace

void RowResampler::resampleRow(int dy, const QRgb* const* rows, QRgb* out, int x0, int x1) {
    const int count = v_.count(dy);
    const std::uint8_t* starts[64];
    std::vector<const std::uint8_t*> many;
    const std::uint8_t** bytes = starts;
    if (count > 64) {
        many.resize(count);
        bytes = many.data();
    }
    for (int k = 0; k < count; ++k)
        bytes[k] = reinterpret_cast<const std::uint8_t*>(rows[k] + srcX0_);
    verticalPass(column_.data(), column_.size(), bytes, v_.weights(dy), count);
    horizontalPass(column_.data(), srcX0_, h_, out, x0, x1);
}

void resampleRect(const QImage& src, int sx, int sy, int sw, int sh, QImage& dst, int dx, int dy,
                  int dw, int dh, ShrinkKernel kernel) {
    if (src.isNull() || dst.isNull() || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    // Destination columns and rows that fall inside dst.
    const int x0 = std::max(0, -dx), x1 = std::min(dw, dst.width() - dx);
    const int y0 = std::max(0, -dy), y1 = std::min(dh, dst.height() - dy);
    if (x0 >= x1 || y0 >= y1)
        return;
    const ResampleAxis horizontal(sx, sw, dw, src.width(), kernel);
    const ResampleAxis vertical(sy, sh, dh, src.height(), kernel);
    RowResampler resampler(horizontal, vertical, dw);
    std::vector<const QRgb*> rows(vertical.maxCount());
    std::vector<QRgb> line(dw);
    for (int y = y0; y < y1; ++y) {
        for (int k = 0; k < vertical.count(y); ++k)
            rows[k] = reinterpret_cast<const QRgb*>(src.constScanLine(vertical.first(y) + k));
        resampler.resampleRow(y, rows.data(), line.data(), x0, x1);
        std::copy(line.begin() + x0, line.begin() + x1,
                  reinterpret_cast<QRgb*>(dst.scanLine(y + dy)) + dx + x0);
    }
}

} // namespace skyloom::graphics
