#include "graphics/io/Resample.h"
#include "graphics/io/LargeBuffer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define SKYLOOM_HAVE_AVX2_PATH 1
#endif

namespace skyloom::graphics {

namespace {

double sinc(double x) {
    if (std::abs(x) < 1e-9)
        return 1.0;
    const double px = M_PI * x;
    return std::sin(px) / px;
}

double lanczos3(double x) {
    return std::abs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
}

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
                // Zero weights inside the window are kept: taps must be contiguous.
                t.emplace_back(s, lanczos3((s + 0.5 - centre) / scale));
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
    weights14_.assign(weights_.size(), 0);
    stride4_ = (stride_ + 3) / 4 * 4;
    weights12_.assign(static_cast<std::size_t>(dstLength) * stride4_, 0);
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
        lowest_ = d == 0 ? first_[d] : std::min(lowest_, first_[d]);
        highest_ =
            d == 0 ? first_[d] + count_[d] - 1 : std::max(highest_, first_[d] + count_[d] - 1);
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
        std::int16_t* out14 = &weights14_[static_cast<std::size_t>(d) * stride_];
        std::int32_t sum14 = 0;
        for (std::size_t k = 0; k < merged.size(); ++k) {
            out14[k] = static_cast<std::int16_t>(std::lround(merged[k].second / total * 16384));
            sum14 += out14[k];
        }
        out14[largest] = static_cast<std::int16_t>(out14[largest] + 16384 - sum14);
        for (std::size_t k = 0; k < merged.size(); ++k)
            weights12_[static_cast<std::size_t>(d) * stride4_ + k] =
                static_cast<std::int16_t>(out[k]);
    }
}

RowResampler::RowResampler(const ResampleAxis& horizontal, const ResampleAxis& vertical,
                           int dstWidth)
    : h_(horizontal), v_(vertical), srcX0_(horizontal.lowest()), srcX1_(horizontal.highest() + 1) {
    (void)dstWidth;
    // Four spare pixels: the vector horizontal pass reads whole groups of four taps.
    column_.assign(static_cast<std::size_t>(std::max(0, srcX1_ - srcX0_) + 4) * 4, 0);
}

namespace {

// Vertical pass over the source columns in use, in 16-bit fixed point:
// each channel (shifted up 7 bits) times a 14-bit weight, rounded to 6
// fractional bits, so a result is the channel value × 64. Weights may be
// negative (the window's side lobes); the sums stay within 16 bits.
// The plain version computes exactly what the AVX2 version does.
inline std::int16_t mulRound(std::uint8_t pixel, std::int16_t weight) {
    return static_cast<std::int16_t>((static_cast<std::int32_t>(pixel << 7) * weight + 16384) >>
                                     15);
}

void verticalPlain(std::int16_t* col, std::size_t n, const std::uint8_t* const* rows,
                   const std::int16_t* weights, int count) {
    for (std::size_t i = 0; i < n; ++i) {
        std::int16_t acc = 0;
        for (int k = 0; k < count; ++k)
            acc = static_cast<std::int16_t>(acc + mulRound(rows[k][i], weights[k]));
        col[i] = acc;
    }
}

#ifdef SKYLOOM_HAVE_AVX2_PATH
__attribute__((target("avx2"))) void verticalAvx2(std::int16_t* col, std::size_t n,
                                                  const std::uint8_t* const* rows,
                                                  const std::int16_t* weights, int count) {
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i acc = _mm256_setzero_si256();
        for (int k = 0; k < count; ++k) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i));
            const __m256i pixels = _mm256_slli_epi16(_mm256_cvtepu8_epi16(bytes), 7);
            acc = _mm256_add_epi16(acc, _mm256_mulhrs_epi16(pixels, _mm256_set1_epi16(weights[k])));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(col + i), acc);
    }
    if (i < n) {
        const std::uint8_t* tail[64];
        for (int k = 0; k < count && k < 64; ++k)
            tail[k] = rows[k] + i;
        verticalPlain(col + i, n - i, tail, weights, std::min(count, 64));
    }
}

std::atomic<bool> vectorPathsEnabled{true};

bool haveAvx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes && vectorPathsEnabled.load(std::memory_order_relaxed);
}
#endif

void verticalPass(std::int16_t* col, std::size_t n, const std::uint8_t* const* rows,
                  const std::int16_t* weights, int count) {
#ifdef SKYLOOM_HAVE_AVX2_PATH
    if (haveAvx2())
        return verticalAvx2(col, n, rows, weights, count);
#endif
    verticalPlain(col, n, rows, weights, count);
}

// Horizontal pass: 12-bit weights times the 8.6 fixed-point columns.
void horizontalPlain(const std::int16_t* col, int srcX0, const ResampleAxis& axis, QRgb* out,
                     int x0, int x1) {
    constexpr int shift = ResampleAxis::kWeightBits + 6;
    constexpr std::int32_t half = 1 << (shift - 1);
    for (int x = x0; x < x1; ++x) {
        const int c = axis.count(x);
        const std::int32_t* wh = axis.weights(x);
        const std::int16_t* p = col + static_cast<std::size_t>(axis.first(x) - srcX0) * 4;
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

#ifdef SKYLOOM_HAVE_AVX2_PATH
// Four taps per step: the channels of two neighbouring taps are paired
// so that one multiply-add handles both. Reads up to three pixels past
// the last tap; the column buffer is padded for that.
__attribute__((target("avx2"))) void horizontalAvx2(const std::int16_t* col, int srcX0,
                                                    const ResampleAxis& axis, QRgb* out, int x0,
                                                    int x1) {
    constexpr int shift = ResampleAxis::kWeightBits + 6;
    const __m256i order = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0,
                                           1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
    const __m128i half = _mm_set1_epi32(1 << (shift - 1));
    auto pair = [](std::int16_t a, std::int16_t b) {
        return static_cast<int>(static_cast<std::uint16_t>(a) |
                                (static_cast<std::uint32_t>(static_cast<std::uint16_t>(b)) << 16));
    };
    for (int x = x0; x < x1; ++x) {
        const int taps = (axis.count(x) + 3) & ~3;
        const std::int16_t* w = axis.weights12(x);
        const std::int16_t* p = col + static_cast<std::size_t>(axis.first(x) - srcX0) * 4;
        __m256i acc = _mm256_setzero_si256();
        for (int k = 0; k < taps; k += 4) {
            const __m256i v = _mm256_shuffle_epi8(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + k * 4)), order);
            const __m256i wv = _mm256_set_m128i(_mm_set1_epi32(pair(w[k + 2], w[k + 3])),
                                                _mm_set1_epi32(pair(w[k], w[k + 1])));
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(v, wv));
        }
        __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
        sum = _mm_srai_epi32(_mm_add_epi32(sum, half), shift);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(sum, sum), sum);
        out[x] = static_cast<QRgb>(_mm_cvtsi128_si32(bytes)) | 0xff000000u;
    }
}
#endif

void horizontalPass(const std::int16_t* col, int srcX0, const ResampleAxis& axis, QRgb* out, int x0,
                    int x1) {
#ifdef SKYLOOM_HAVE_AVX2_PATH
    if (haveAvx2())
        return horizontalAvx2(col, srcX0, axis, out, x0, x1);
#endif
    horizontalPlain(col, srcX0, axis, out, x0, x1);
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
    verticalPass(column_.data(), column_.size() - 16, bytes, v_.weights14(dy), count);
    horizontalPass(column_.data(), srcX0_, h_, out, x0, x1);
}

void setVectorPathsEnabled(bool enabled) {
#ifdef SKYLOOM_HAVE_AVX2_PATH
    vectorPathsEnabled = enabled;
#else
    (void)enabled;
#endif
}

namespace {

void resampleInto(const QImage& src, double sx, double sy, double sw, double sh, QImage& dst,
                  int dx, int dy, int dw, int dh, ShrinkKernel kernel) {
    if (src.isNull() || dst.isNull() || !(sw > 0) || !(sh > 0) || dw <= 0 || dh <= 0)
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

} // namespace

void resampleRect(const QImage& src, int sx, int sy, int sw, int sh, QImage& dst, int dx, int dy,
                  int dw, int dh, ShrinkKernel kernel) {
    resampleInto(src, sx, sy, sw, sh, dst, dx, dy, dw, dh, kernel);
}

void resampleArea(const QImage& src, const QRectF& area, QImage& dst, ShrinkKernel kernel) {
    resampleArea(src, area, dst.size(), QPoint(0, 0), dst, kernel);
}

void resampleArea(const QImage& src, const QRectF& area, QSize size, QPoint at, QImage& dst,
                  ShrinkKernel kernel) {
    resampleInto(src, area.x(), area.y(), area.width(), area.height(), dst, -at.x(), -at.y(),
                 size.width(), size.height(), kernel);
}

QImage shrinkByAveraging(const QImage& source, QSize target) {
    if (source.isNull() || target.width() <= 0 || target.height() <= 0)
        return QImage();
    const QImage image = source.format() == QImage::Format_RGB32
                             ? source
                             : source.convertToFormat(QImage::Format_RGB32);
    QImage out(target, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    mapInAtOnce(out);
    const std::int64_t sw = image.width(), sh = image.height();
    const int tw = target.width(), th = target.height();
    for (int ty = 0; ty < th; ++ty) {
        const int y0 = int(ty * sh / th);
        const int y1 = std::max(y0 + 1, int((ty + 1) * sh / th));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(ty));
        for (int tx = 0; tx < tw; ++tx) {
            const int x0 = int(tx * sw / tw);
            const int x1 = std::max(x0 + 1, int((tx + 1) * sw / tw));
            std::uint64_t r = 0, g = 0, b = 0;
            for (int y = y0; y < y1; ++y) {
                const auto* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = x0; x < x1; ++x) {
                    r += qRed(p[x]);
                    g += qGreen(p[x]);
                    b += qBlue(p[x]);
                }
            }
            const std::uint64_t n = std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0);
            dst[tx] = qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
        }
    }
    return out;
}

} // namespace skyloom::graphics
