#pragma once
// Drawing surfaces ("device contexts") and the block transfers between them.
// A DeviceContext owns a Format_RGB32 picture; work buffers have one each,
// and the saver's visible canvas is one too. Surfaces are named by HDC
// numbers: a stale or unknown HDC makes a transfer fail instead of touching
// freed memory. Text and shapes are drawn with a QPainter on image().

#include <QImage>
#include <cstdint>

namespace skyloom::graphics {

using HDC = std::int32_t; ///< 0 = no surface

inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4; ///< area-averaging resampling in StretchBlt

class DeviceContext {
public:
    /// A black surface of width × height (an empty one when either is not positive).
    DeviceContext(int width, int height);
    explicit DeviceContext(QImage image);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    HDC hdc() const { return hdc_; }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    /// Replaces the picture (for instance when a window is resized).
    void setImage(QImage image);
    /// Resizes to width × height; the new surface is black.
    bool resize(int width, int height);
    void fill(QRgb colour) { image_.fill(colour); }

    int stretchMode() const { return stretchMode_; }
    void setStretchMode(int mode) { stretchMode_ = mode; }

private:
    QImage image_;
    HDC hdc_ = 0;
    int stretchMode_ = COLORONCOLOR;
};

/// The surface behind an HDC, or nullptr.
DeviceContext* deviceContext(HDC hdc);

/// Copies a w × h rectangle from (sx, sy) of src to (x, y) of dst (SRCCOPY).
/// Both rectangles are clipped to their surfaces; src and dst may be the same
/// surface, overlapping rectangles copy as if through a temporary.
bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, std::uint32_t rop);

/// Stretches the (sx, sy, sw, sh) rectangle of src onto (x, y, w, h) of dst.
/// HALFTONE mode averages areas (and interpolates when enlarging); other
/// modes take the nearest pixel. Source reads outside src repeat its edge.
bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                std::uint32_t rop);

/// Sets the stretch mode of a surface; returns the previous mode, 0 on failure.
int SetStretchBltMode(HDC hdc, int mode);

} // namespace skyloom::graphics
