#include "Blend.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skyloom::rasterkit {
namespace {

// Two channels at a time (blue and red, then green and alpha), 8 bits of weight.
inline QRgb mix(QRgb a, QRgb b, std::uint32_t w) {
    const std::uint32_t iw = 256 - w;
    const std::uint32_t rb = ((a & 0x00ff00ffu) * iw + (b & 0x00ff00ffu) * w) >> 8;
    const std::uint32_t ag = ((a >> 8) & 0x00ff00ffu) * iw + ((b >> 8) & 0x00ff00ffu) * w;
    return (rb & 0x00ff00ffu) | (ag & 0xff00ff00u);
}

bool usable(const QImage& image) {
    return !image.isNull() && image.depth() == 32;
}

} // namespace

void blendPixels(const QRgb* from, const QRgb* to, QRgb* out, std::size_t count, int weight) {
    const auto w = static_cast<std::uint32_t>(std::clamp(weight, 0, kBlendWeightMax));
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four pixels a step: the bytes widened to 16 bits, weighted, narrowed.
    const __m128i wt = _mm_set1_epi16(static_cast<short>(w));
    const __m128i iwt = _mm_set1_epi16(static_cast<short>(256 - w));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= count; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to + i));
        // 255 × 256 overflows a signed 16-bit lane but not an unsigned one:
        // the products are added and shifted as unsigned.
        const __m128i lo =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), iwt),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), wt)),
                           8);
        const __m128i hi =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), iwt),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), wt)),
                           8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
#endif
    for (; i < count; ++i)
        out[i] = mix(from[i], to[i], w);
}

void blendImages(const QImage& from, const QImage& to, QPoint toOffset, QImage& out,
                 const QRect& area, int weight) {
    if (!usable(from) || !usable(to) || !usable(out))
        return;
    const QRect r = area.intersected(from.rect())
                        .intersected(out.rect())
                        .intersected(to.rect().translated(-toOffset));
    if (r.isEmpty())
        return;
    const auto n = static_cast<std::size_t>(r.width());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(from.constScanLine(y)) + r.x();
        const QRgb* b = reinterpret_cast<const QRgb*>(to.constScanLine(y + toOffset.y())) + r.x() +
                        toOffset.x();
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y)) + r.x();
        blendPixels(a, b, o, n, weight);
    }
}

void drawWindowBilinear(const QImage& picture, const QRectF& window, QImage& out,
                        const QRect& area) {
    const QRect r = area.intersected(out.rect());
    if (!usable(picture) || !usable(out) || r.isEmpty() || window.width() <= 0 ||
        window.height() <= 0)
        return;
    const int pw = picture.width(), ph = picture.height();
    // The window inside the picture, so that no sample reaches past it.
    const double ww = std::min(window.width(), double(pw));
    const double wh = std::min(window.height(), double(ph));
    const double wx = std::clamp(window.x(), 0.0, pw - ww);
    const double wy = std::clamp(window.y(), 0.0, ph - wh);
    const double stepX = ww / r.width(), stepY = wh / r.height();
    // Per output column: the left source column and the weight of its right neighbour.
    std::vector<int> column(static_cast<std::size_t>(r.width()));
    std::vector<std::uint32_t> weightX(column.size());
    int firstColumn = pw, lastColumn = 0;
    for (int x = 0; x < r.width(); ++x) {
        const double s = std::clamp(wx + (x + 0.5) * stepX - 0.5, 0.0, pw - 1.0);
        const int c = std::min(static_cast<int>(s), pw - 1);
        column[static_cast<std::size_t>(x)] = c;
        weightX[static_cast<std::size_t>(x)] = static_cast<std::uint32_t>((s - c) * 256);
        firstColumn = std::min(firstColumn, c);
        lastColumn = std::max(lastColumn, std::min(c + 1, pw - 1));
    }
    // One source row blended between its two neighbours, then sampled across.
    const int span = lastColumn - firstColumn + 2;
    std::vector<QRgb> row(static_cast<std::size_t>(span));
    for (int y = 0; y < r.height(); ++y) {
        const double s = std::clamp(wy + (y + 0.5) * stepY - 0.5, 0.0, ph - 1.0);
        const int top = std::min(static_cast<int>(s), ph - 1);
        const int bottom = std::min(top + 1, ph - 1);
        const auto fy = static_cast<int>((s - top) * 256);
        const QRgb* a = reinterpret_cast<const QRgb*>(picture.constScanLine(top)) + firstColumn;
        const QRgb* b = reinterpret_cast<const QRgb*>(picture.constScanLine(bottom)) + firstColumn;
        blendPixels(a, b, row.data(), static_cast<std::size_t>(span - 1), fy);
        row[static_cast<std::size_t>(span - 1)] = row[static_cast<std::size_t>(span - 2)];
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(r.y() + y)) + r.x();
        for (int x = 0; x < r.width(); ++x) {
            const auto i =
                static_cast<std::size_t>(column[static_cast<std::size_t>(x)] - firstColumn);
            o[x] = mix(row[i], row[i + 1], weightX[static_cast<std::size_t>(x)]);
        }
    }
}

} // namespace skyloom::rasterkit
