#pragma once
// Whole-picture pixel work for the smooth transitions: a weighted blend of
// two 32-bit pictures (a cross fade frame) and a bilinear view of a
// fractional window of a picture (a zoom frame). Both write a rectangle of
// the target and touch nothing outside it.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QRgb>

#include <cstddef>

namespace skyloom::rasterkit {

/// The weights of a blend: 0 gives the first picture exactly, this the second.
inline constexpr int kBlendWeightMax = 256;

/// out[i] = (from[i] × (256 − w) + to[i] × w) >> 8 per channel, w clamped to
/// 0 … 256 (the alpha byte is 0xff). `out` may be `from` or `to`.
void blendPixels(const QRgb* from, const QRgb* to, QRgb* out, std::size_t count, int weight);

/// Blends `area` of `from` (at `area`'s place) and `to` (at `toOffset` +
/// the place in `area`) into `out` at `area`; all 32 bits a pixel. The area
/// is cut to what the three pictures hold.
void blendImages(const QImage& from, const QImage& to, QPoint toOffset, QImage& out,
                 const QRect& area, int weight);

/// Fills `area` of `out` with the window `window` (picture pixels, any
/// fraction) of `picture`, grown or shrunk bilinearly to the area's size.
/// The window is kept inside the picture.
void drawWindowBilinear(const QImage& picture, const QRectF& window, QImage& out,
                        const QRect& area);

} // namespace skyloom::rasterkit
