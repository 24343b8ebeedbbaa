#include "graphics/io/Resample.h"

#include <algorithm>
#include <cmath>

namespace skyloom::graphics {

ResampleAxis::ResampleAxis(int srcStart, int srcLength, int dstLength, int srcLimit) {
    if (dstLength <= 0 || srcLength <= 0 || srcLimit <= 0)
        return;
    constexpr std::int32_t one = 1 << kWeightBits;
    const double scale = static_cast<double>(srcLength) / dstLength;
    std::vector<std::vector<std::pair<int, double>>> taps(dstLength);
    for (int d = 0; d < dstLength; ++d) {
        auto& t = taps[d];
        if (scale > 1.0) {
            // Area averaging: the destination pixel covers [a, b) of the source.
            const double a = d * scale, b = (d + 1) * scale;
            for (int s = static_cast<int>(std::floor(a)); s < b; ++s) {
                const double w = std::min<double>(b, s + 1) - std::max<double>(a, s);
                if (w > 1e-9)
                    t.emplace_back(s, w);
            }
        } else {
            // Bilinear between the two nearest source pixel centres.
            const double c = (d + 0.5) * scale - 0.5;
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
            const int clamped = std::clamp(srcStart + s, 0, srcLimit - 1);
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
            if (out[k] > out[largest])
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

void RowResampler::resampleRow(int dy, const QRgb* const* rows, QRgb* out, int x0, int x1) {
    // Vertical pass over the source columns in use: 8-bit channels times
    // 12-bit weights, kept with 4 extra bits of precision.
    const int count = v_.count(dy);
    const std::int32_t* wv = v_.weights(dy);
    const std::size_t n = column_.size();
    std::uint32_t* col = column_.data();
    {
        const auto* src = reinterpret_cast<const std::uint8_t*>(rows[0] + srcX0_);
        const std::uint32_t w = static_cast<std::uint32_t>(wv[0]);
        for (std::size_t i = 0; i < n; ++i)
            col[i] = w * src[i];
    }
    for (int k = 1; k < count; ++k) {
        const auto* src = reinterpret_cast<const std::uint8_t*>(rows[k] + srcX0_);
        const std::uint32_t w = static_cast<std::uint32_t>(wv[k]);
        for (std::size_t i = 0; i < n; ++i)
            col[i] += w * src[i];
    }
    for (std::size_t i = 0; i < n; ++i)
        col[i] = (col[i] + 128) >> 8; // 8.12 fixed point down to 8.4
    // Horizontal pass.
    constexpr int shift = ResampleAxis::kWeightBits + 4;
    constexpr std::uint32_t half = 1u << (shift - 1);
    for (int x = x0; x < x1; ++x) {
        const int c = h_.count(x);
        const std::int32_t* wh = h_.weights(x);
        const std::uint32_t* p = col + static_cast<std::size_t>(h_.first(x) - srcX0_) * 4;
        std::uint32_t b = 0, g = 0, r = 0;
        for (int k = 0; k < c; ++k, p += 4) {
            const std::uint32_t w = static_cast<std::uint32_t>(wh[k]);
            b += w * p[0];
            g += w * p[1];
            r += w * p[2];
        }
        out[x] = 0xff000000u | (std::min<std::uint32_t>((r + half) >> shift, 255) << 16) |
                 (std::min<std::uint32_t>((g + half) >> shift, 255) << 8) |
                 std::min<std::uint32_t>((b + half) >> shift, 255);
    }
}

void resampleRect(const QImage& src, int sx, int sy, int sw, int sh, QImage& dst, int dx, int dy,
                  int dw, int dh) {
    if (src.isNull() || dst.isNull() || sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    // Destination columns and rows that fall inside dst.
    const int x0 = std::max(0, -dx), x1 = std::min(dw, dst.width() - dx);
    const int y0 = std::max(0, -dy), y1 = std::min(dh, dst.height() - dy);
    if (x0 >= x1 || y0 >= y1)
        return;
    const ResampleAxis horizontal(sx, sw, dw, src.width());
    const ResampleAxis vertical(sy, sh, dh, src.height());
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
