#pragma once
// rasterkit: bitmaps and work buffers behind signed 32-bit handles.
//
// Bitmaps come from picture files or are made blank; work buffers are
// off-screen surfaces with a device context (see DeviceContext.h). Both
// share one handle space, -1 meaning failure; the caller owns each handle
// and frees it with UnloadBitMap or DestroyWorkBuff. Every operation
// accepts any handle and fails cleanly on an unknown or freed one.
//
// Translucency runs from 0 (the bitmap covers the target) to 99 (almost
// all target shows through), per channel:
// result = (bitmap × (100 − t) + target × t + 50) / 100, rounded down.

#include "graphics/rasterkit/DeviceContext.h"

#include <QImage>
#include <QRect>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace skyloom::rasterkit {

using graphics::HDC;
using Handle = std::int32_t;

/// Loads a picture file (BMP; JPEG and PNG are recognised by content too).
Handle LoadBitMap(const std::string& path);
/// Loads a picture whose pixels of colour (red, green, blue) are skipped by keyed blits.
Handle LoadBitMapEx(const std::string& path, int red, int green, int blue);
/// A width × height bitmap filled with the colour; -1 for a size that is not positive.
Handle CreateBitMap(int width, int height, int red, int green, int blue);
void UnloadBitMap(Handle bitmap);

/// A black work buffer; the reference context and options are accepted for
/// compatibility (every surface has the same pixel format).
Handle CreateWorkBuff(int width, int height, HDC reference, int options);
void DestroyWorkBuff(Handle buffer);
/// The buffer's drawing surface for BitBlt/StretchBlt; 0 for anything but a live work buffer.
HDC GetWorkBuffHDC(Handle buffer);

/// Size in pixels of a bitmap or work buffer; 0 for an unknown handle.
int GetGCBitmapWidth(Handle handle);
int GetGCBitmapHeight(Handle handle);

/// Copies the (srcX, srcY, width, height) part of bitmap (width and height
/// 0: all of it) to (x, y) of the target; keyed 1 skips the bitmap's key
/// colour. Clipped to both pictures. 0 on success, -1 for a bad handle.
int DoBlitToWork(Handle buffer, int x, int y, Handle bitmap, int srcX, int srcY, int width,
                 int height, int keyed, int reserved1, int reserved2);
/// The same with translucency (0–99) blending.
int DoBlitToWorkWOP(Handle buffer, int x, int y, Handle bitmap, int srcX, int srcY, int width,
                    int height, int keyed, int reserved1, int translucency, int reserved2);
/// Translucent blit into a bitmap; note translucency sits one place earlier.
int DoBlitWOP(Handle target, int x, int y, Handle bitmap, int srcX, int srcY, int width, int height,
              int keyed, int translucency, int reserved);

/// Blends `colour` over the `area` of a 32-bit picture at translucency 0–99
/// (clipped to the picture), by the same rule as the translucent blits: the
/// text panels darken what lies under them with black at 33.
void blendColour(QImage& image, const QRect& area, QRgb colour, int translucency);

/// Copies the (x, y, width, height) rectangle of the buffer to the same place on the surface.
int UpdateRect(int x, int y, int width, int height, HDC target, Handle buffer);

/// Writes a bitmap or work buffer as a 24-bit BMP file, replacing any old one.
/// 0 on success, -1 on failure.
int SaveBitmap(const std::string& path, Handle handle);

/// Smoothing strength for the next FilterBitmap: horizontal and vertical
/// radius in pixels (1, 1 = a 3 × 3 binomial kernel); the last two are unused.
void SetFilterParameters(int radiusX, int radiusY, int reserved1, int reserved2);
/// Smooths in place, in slices, letting pending window events run between
/// them. Returns 1 when done, 0 when KillFilter stopped it, -1 on a bad handle.
int FilterBitmap(Handle handle);
/// Makes a running FilterBitmap return early; safe from any thread and from
/// event handlers that run inside FilterBitmap.
void KillFilter();
/// FilterBitmap's passes for pictures held a few rows at a time: one
/// horizontal pass over a row in place, and one vertical pass making `out`
/// from three horizontally smoothed rows (at the picture's top and bottom
/// edges the row itself stands in for the missing neighbour).
void smoothAcross(QRgb* row, int width);
void smoothDown(const QRgb* above, const QRgb* row, const QRgb* below, QRgb* out, int width);

/// Rewrites an 8-bit (or smaller) palettized BMP so that it uses the palette
/// in use, each colour mapped to the nearest entry. 0 on success, -1 on failure.
int RemapBMP(const std::string& source, const std::string& destination);
/// The palette RemapBMP maps onto: 256 colours, by default the standard
/// halftone palette (a 6 × 6 × 6 colour cube, grey steps and the 16 VGA colours).
std::vector<QRgb> paletteInUse();
void setPaletteInUse(std::span<const QRgb> palette);

/// Non-zero while the display settings show a live preview of the saver.
int DispPropUp();
void setDispPropUp(bool up);

/// The reason of the last failure on this thread ("" after success).
const std::string& LastError();

/// The one owner of a bitmap or work-buffer handle: frees it (with
/// UnloadBitMap or DestroyWorkBuff, whichever it is) when it goes or is
/// given another handle. Move-only; -1 means it owns nothing.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(Handle h) : h_(h) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(OwnedHandle&& o) noexcept : h_(o.release()) {}
    OwnedHandle& operator=(OwnedHandle&& o) noexcept {
        if (this != &o)
            reset(o.release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Handle get() const { return h_; }
    bool valid() const { return h_ >= 0; }
    explicit operator bool() const { return valid(); }
    /// Frees the handle held and takes `h`.
    void reset(Handle h = -1);
    /// Gives the handle up without freeing it.
    Handle release() {
        const Handle h = h_;
        h_ = -1;
        return h;
    }

private:
    Handle h_ = -1;
};

/// Direct access for code that needs the pixels (tests, previews): the
/// picture behind a handle, or nullptr.
QImage* pixels(Handle handle);
/// Takes over a picture as a new bitmap.
Handle adoptBitmap(QImage image, std::optional<QRgb> key = std::nullopt);
/// Takes over a picture as a new work buffer (no copy).
Handle adoptWorkBuffer(QImage image);

} // namespace skyloom::rasterkit
