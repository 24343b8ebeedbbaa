#include "graphics/rasterkit/DeviceContext.h"

#include "graphics/io/Resample.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace skyloom::graphics {
namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_map<HDC, DeviceContext*> surfaces;
    HDC next = 1;
};

Registry& registry() {
    static Registry r;
    return r;
}

HDC registerSurface(DeviceContext* dc) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    while (r.next <= 0 || r.surfaces.count(r.next))
        r.next = r.next <= 0 ? 1 : r.next + 1;
    const HDC id = r.next++;
    r.surfaces.emplace(id, dc);
    return id;
}

QImage blank(int width, int height) {
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(qRgb(0, 0, 0));
    return image;
}

} // namespace

DeviceContext::DeviceContext(int width, int height)
    : image_(blank(width, height)), hdc_(registerSurface(this)) {}

DeviceContext::DeviceContext(QImage image) : hdc_(registerSurface(this)) {
    setImage(std::move(image));
}

DeviceContext::~DeviceContext() {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.surfaces.erase(hdc_);
}

void DeviceContext::setImage(QImage image) {
    image_ = image.format() == QImage::Format_RGB32 ? std::move(image)
                                                    : image.convertToFormat(QImage::Format_RGB32);
}

bool DeviceContext::resize(int width, int height) {
    image_ = blank(width, height);
    return !image_.isNull();
}

DeviceContext* deviceContext(HDC hdc) {
    if (hdc == 0)
        return nullptr;
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.surfaces.find(hdc);
    return it == r.surfaces.end() ? nullptr : it->second;
}

bool BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, std::uint32_t rop) {
    DeviceContext* d = deviceContext(dst);
    DeviceContext* s = deviceContext(src);
    if (!d || !s || rop != SRCCOPY || w <= 0 || h <= 0)
        return false;
    QImage& to = d->image();
    const QImage& from = s->image();
    if (to.isNull() || from.isNull())
        return false;
    // Clip against the source, then against the destination, moving both
    // rectangles together.
    auto clip = [](int& pos, int& other, int& len, int limit) {
        if (pos < 0) {
            other -= pos;
            len += pos;
            pos = 0;
        }
        len = std::min(len, limit - pos);
    };
    clip(sx, x, w, from.width());
    clip(sy, y, h, from.height());
    clip(x, sx, w, to.width());
    clip(y, sy, h, to.height());
    if (w <= 0 || h <= 0)
        return true; // nothing visible to copy
    const std::size_t bytes = static_cast<std::size_t>(w) * 4;
    if (d == s && y > sy) {
        // Moving down on the same surface: copy bottom rows first.
        for (int r = h - 1; r >= 0; --r)
            std::memmove(to.scanLine(y + r) + x * 4, to.constScanLine(sy + r) + sx * 4, bytes);
    } else {
        for (int r = 0; r < h; ++r)
            std::memmove(to.scanLine(y + r) + x * 4, from.constScanLine(sy + r) + sx * 4, bytes);
    }
    return true;
}

bool StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                std::uint32_t rop) {
    if (sw == w && sh == h)
        return BitBlt(dst, x, y, w, h, src, sx, sy, rop);
    DeviceContext* d = deviceContext(dst);
    DeviceContext* s = deviceContext(src);
    if (!d || !s || rop != SRCCOPY || w <= 0 || h <= 0 || sw <= 0 || sh <= 0)
        return false;
    if (d->image().isNull() || s->image().isNull())
        return false;
    // Reading and writing one surface at once would read changed pixels.
    const QImage from = d == s ? s->image().copy() : s->image();
    QImage& to = d->image();
    if (d->stretchMode() == HALFTONE) {
        resampleRect(from, sx, sy, sw, sh, to, x, y, w, h);
        return true;
    }
    const int x0 = std::max(0, -x), x1 = std::min(w, to.width() - x);
    const int y0 = std::max(0, -y), y1 = std::min(h, to.height() - y);
    for (int r = y0; r < y1; ++r) {
        const int srow = std::clamp(sy + static_cast<int>((static_cast<std::int64_t>(r) * sh) / h),
                                    0, from.height() - 1);
        const QRgb* in = reinterpret_cast<const QRgb*>(from.constScanLine(srow));
        QRgb* out = reinterpret_cast<QRgb*>(to.scanLine(y + r));
        for (int c = x0; c < x1; ++c) {
            const int scol =
                std::clamp(sx + static_cast<int>((static_cast<std::int64_t>(c) * sw) / w), 0,
                           from.width() - 1);
            out[x + c] = in[scol];
        }
    }
    return true;
}

int SetStretchBltMode(HDC hdc, int mode) {
    DeviceContext* d = deviceContext(hdc);
    if (!d || mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    const int previous = d->stretchMode();
    d->setStretchMode(mode);
    return previous;
}

} // namespace skyloom::graphics
