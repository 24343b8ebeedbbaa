#include "graphics/rasterkit/Rasterkit.h"

#include "common/Log.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/rasterkit/HandleTable.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace skyloom::rasterkit {
namespace detail {
namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<Handle, std::shared_ptr<Raster>> rasters;
    Handle next = 1;
};

Table& table() {
    static Table t;
    return t;
}

thread_local std::string lastError;

} // namespace

Handle add(std::shared_ptr<Raster> raster) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    if (t.rasters.size() >= 0x7ffffff0u)
        return -1;
    while (t.next <= 0 || t.rasters.count(t.next))
        t.next = t.next <= 0 ? 1 : t.next + 1;
    const Handle h = t.next++;
    t.rasters.emplace(h, std::move(raster));
    return h;
}

std::shared_ptr<Raster> find(Handle handle) {
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.rasters.find(handle);
    return it == t.rasters.end() ? nullptr : it->second;
}

bool remove(Handle handle, bool workBuffer) {
    std::shared_ptr<Raster> gone; // destroyed outside the lock
    Table& t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.rasters.find(handle);
    if (it == t.rasters.end() || it->second->workBuffer != workBuffer)
        return false;
    gone = std::move(it->second);
    t.rasters.erase(it);
    return true;
}

int failure(std::string reason) {
    lastError = std::move(reason);
    return -1;
}

void succeeded() {
    lastError.clear();
}

} // namespace detail

using detail::failure;
using detail::find;
using detail::Raster;

const std::string& LastError() {
    return detail::lastError;
}

namespace {

Handle addRaster(QImage image, bool workBuffer, std::optional<QRgb> key = std::nullopt) {
    if (image.isNull())
        return failure("out of memory");
    auto raster = std::make_shared<Raster>(std::move(image), workBuffer);
    raster->key = key;
    const Handle h = detail::add(std::move(raster));
    if (h < 0)
        return failure("no free handles");
    detail::succeeded();
    return h;
}

Handle load(const std::string& path, std::optional<QRgb> key) {
    QImage image;
    std::string error;
    if (!graphics::loadPicture(path, image, error)) {
        logWarning("graphics", error);
        return failure(error);
    }
    return addRaster(std::move(image), false, key);
}

QImage blank(int width, int height, QRgb colour) {
    if (!graphics::sizeAllowed(width, height, graphics::DecodeLimits{}))
        return {};
    QImage image(width, height, QImage::Format_RGB32);
    if (!image.isNull())
        image.fill(colour);
    return image;
}

// One channel of a translucent blend: the bitmap's `a` over the target's `b`.
inline int mix(int a, int b, int t) {
    return (a * (100 - t) + b * t + 50) / 100;
}

inline QRgb mixPixel(QRgb s, QRgb d, int t) {
    return qRgb(mix(qRed(s), qRed(d), t), mix(qGreen(s), qGreen(d), t), mix(qBlue(s), qBlue(d), t));
}

// Copies or blends part of `from` onto `to`, clipped to both pictures.
void blit(QImage& to, int x, int y, const QImage& from, int sx, int sy, int w, int h, bool keyed,
          QRgb keyColour, int translucency) {
    if (w == 0)
        w = from.width() - sx;
    if (h == 0)
        h = from.height() - sy;
    if (sx < 0) { // the part left of the picture does not exist
        x -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        y -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min(w, from.width() - sx);
    h = std::min(h, from.height() - sy);
    if (x < 0) {
        sx -= x;
        w += x;
        x = 0;
    }
    if (y < 0) {
        sy -= y;
        h += y;
        y = 0;
    }
    w = std::min(w, to.width() - x);
    h = std::min(h, to.height() - y);
    if (w <= 0 || h <= 0)
        return;
    const int t = std::clamp(translucency, 0, 100);
    if (t == 100)
        return;
    keyColour |= 0xff000000u;
    for (int r = 0; r < h; ++r) {
        const QRgb* in = reinterpret_cast<const QRgb*>(from.constScanLine(sy + r)) + sx;
        QRgb* out = reinterpret_cast<QRgb*>(to.scanLine(y + r)) + x;
        if (!keyed && t == 0) {
            std::memmove(out, in, static_cast<std::size_t>(w) * 4);
            continue;
        }
        for (int c = 0; c < w; ++c) {
            const QRgb s = in[c] | 0xff000000u;
            if (keyed && s == keyColour)
                continue;
            if (t == 0) {
                out[c] = s;
                continue;
            }
            out[c] = mixPixel(s, out[c], t);
        }
    }
}

int blitHandles(Handle target, int x, int y, Handle bitmap, int srcX, int srcY, int width,
                int height, int keyed, int translucency) {
    auto to = find(target);
    auto from = find(bitmap);
    if (!to || !from)
        return failure("unknown handle");
    if (width < 0 || height < 0)
        return failure("negative size");
    const bool useKey = keyed != 0 && from->key.has_value();
    const QRgb keyColour = from->key.value_or(0);
    QImage& dst = to->surface.image();
    if (to == from) {
        const QImage copy = from->surface.image().copy();
        blit(dst, x, y, copy, srcX, srcY, width, height, useKey, keyColour, translucency);
    } else {
        blit(dst, x, y, from->surface.image(), srcX, srcY, width, height, useKey, keyColour,
             translucency);
    }
    detail::succeeded();
    return 0;
}

} // namespace

void blendColour(QImage& image, const QRect& area, QRgb colour, int translucency) {
    const QRect r = area.intersected(image.rect());
    if (r.isEmpty() || image.depth() != 32)
        return;
    const int t = std::clamp(translucency, 0, 100);
    colour |= 0xff000000u;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y)) + r.x();
        for (int c = 0; c < r.width(); ++c)
            out[c] = mixPixel(colour, out[c], t);
    }
}

Handle LoadBitMap(const std::string& path) {
    return load(path, std::nullopt);
}

Handle LoadBitMapEx(const std::string& path, int red, int green, int blue) {
    return load(path,
                qRgb(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)));
}

Handle CreateBitMap(int width, int height, int red, int green, int blue) {
    if (width <= 0 || height <= 0)
        return failure("bitmap size must be positive");
    return addRaster(
        blank(width, height,
              qRgb(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255))),
        false);
}

void UnloadBitMap(Handle bitmap) {
    detail::remove(bitmap, false);
}

Handle CreateWorkBuff(int width, int height, HDC, int) {
    if (width <= 0 || height <= 0)
        return failure("work buffer size must be positive");
    return addRaster(blank(width, height, qRgb(0, 0, 0)), true);
}

void DestroyWorkBuff(Handle buffer) {
    detail::remove(buffer, true);
}

void OwnedHandle::reset(Handle h) {
    if (h_ >= 0 && h_ != h && !detail::remove(h_, false))
        detail::remove(h_, true);
    h_ = h;
}

HDC GetWorkBuffHDC(Handle buffer) {
    auto r = find(buffer);
    return r && r->workBuffer ? r->surface.hdc() : 0;
}

int GetGCBitmapWidth(Handle handle) {
    auto r = find(handle);
    return r ? r->surface.width() : 0;
}

int GetGCBitmapHeight(Handle handle) {
    auto r = find(handle);
    return r ? r->surface.height() : 0;
}

int DoBlitToWork(Handle buffer, int x, int y, Handle bitmap, int srcX, int srcY, int width,
                 int height, int keyed, int, int) {
    return blitHandles(buffer, x, y, bitmap, srcX, srcY, width, height, keyed, 0);
}

int DoBlitToWorkWOP(Handle buffer, int x, int y, Handle bitmap, int srcX, int srcY, int width,
                    int height, int keyed, int, int translucency, int) {
    return blitHandles(buffer, x, y, bitmap, srcX, srcY, width, height, keyed, translucency);
}

int DoBlitWOP(Handle target, int x, int y, Handle bitmap, int srcX, int srcY, int width, int height,
              int keyed, int translucency, int) {
    return blitHandles(target, x, y, bitmap, srcX, srcY, width, height, keyed, translucency);
}

int UpdateRect(int x, int y, int width, int height, HDC target, Handle buffer) {
    auto r = find(buffer);
    if (!r)
        return failure("unknown handle");
    if (!graphics::BitBlt(target, x, y, width, height, r->surface.hdc(), x, y, graphics::SRCCOPY))
        return failure("cannot copy to that surface");
    detail::succeeded();
    return 0;
}

int SaveBitmap(const std::string& path, Handle handle) {
    auto r = find(handle);
    if (!r)
        return failure("unknown handle");
    std::string error;
    if (!graphics::writeBmp24(path, r->surface.image(), error)) {
        logWarning("graphics", error);
        return failure(error);
    }
    detail::succeeded();
    return 0;
}

QImage* pixels(Handle handle) {
    auto r = find(handle);
    // The table keeps the raster alive until its handle is freed.
    return r ? &r->surface.image() : nullptr;
}

Handle adoptBitmap(QImage image, std::optional<QRgb> key) {
    if (image.isNull())
        return failure("no picture");
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return addRaster(std::move(image), false, key);
}

Handle adoptWorkBuffer(QImage image) {
    if (image.isNull())
        return failure("no picture");
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return addRaster(std::move(image), true);
}

} // namespace skyloom::rasterkit
