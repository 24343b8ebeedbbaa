#include "graphics/WorkBuff.h"

#include "common/Log.h"
#include "common/SetFileAccess.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <utility>

namespace skyloom::graphics {
namespace {

bool isJpegFile(const std::string& path) {
    std::uint8_t head[3] = {};
    std::string error;
    const SetFileStream file = openSetFileStream(path, error);
    if (!file)
        return false;
    const std::size_t n = std::fread(head, 1, sizeof head, file.get());
    return sniffFormat(std::span(head, n)) == PictureFormat::Jpeg;
}

} // namespace

WorkBuff::~WorkBuff() {
    release();
}

WorkBuff::WorkBuff(const WorkBuff& other) {
    *this = other;
}

WorkBuff& WorkBuff::operator=(const WorkBuff& other) {
    rasterkit::Handle fresh = -1;
    if (other.handle_.valid()) {
        fresh = rasterkit::CreateWorkBuff(other.Width(), other.Height(), other.hDC(), 0);
        const HDC target = rasterkit::GetWorkBuffHDC(fresh);
        if (target != 0)
            BitBlt(target, 0, 0, other.Width(), other.Height(), other.hDC(), 0, 0, SRCCOPY);
    }
    handle_.reset(fresh);
    return *this;
}

WorkBuff::WorkBuff(WorkBuff&& other) noexcept = default;

WorkBuff& WorkBuff::operator=(WorkBuff&& other) noexcept = default;

void WorkBuff::release() {
    handle_.reset();
}

bool WorkBuff::InitWorkBuff(int width, int height, HDC reference, int options) {
    release();
    handle_.reset(rasterkit::CreateWorkBuff(width, height, reference, options));
    return handle_.valid();
}

bool WorkBuff::adopt(const std::string& path, const JpegDecodeOptions& options) {
    release();
    // The picture is decoded straight into memory: no temporary BMP file.
    QImage image;
    std::string error;
    if (!loadPicture(path, image, error, options)) {
        logWarning("graphics", error);
        return false;
    }
    handle_.reset(rasterkit::adoptWorkBuffer(std::move(image)));
    return handle_.valid();
}

bool WorkBuff::InitWorkBuffFromFile(const std::string& path, HDC) {
    return adopt(path, {});
}

bool WorkBuff::InitWorkBuffFromFileScaled(const std::string& path, HDC, int minWidth,
                                          int minHeight) {
    JpegDecodeOptions options;
    options.minWidth = minWidth;
    options.minHeight = minHeight;
    return adopt(path, options);
}

bool WorkBuff::InitWorkBuffFitted(const std::string& path, int width, int height, FitMode mode) {
    release();
    if (width <= 0 || height <= 0 || !sizeAllowed(width, height, DecodeLimits{}))
        return false;
    QImage fitted;
    std::string error;
    if (isJpegFile(path)) {
        if (!decodeJpegFittedFile(path, QSize(width, height), mode, fitted, error)) {
            logWarning("graphics", error);
            return false;
        }
    } else {
        QImage whole;
        if (!loadPicture(path, whole, error)) {
            logWarning("graphics", error);
            return false;
        }
        // Cover: the middle part with the target's shape; Stretch: all of it.
        double sx = 0, sy = 0, sw = whole.width(), sh = whole.height();
        if (mode == FitMode::Cover) {
            const double scale = std::max(width / sw, height / sh);
            sx = (sw - width / scale) / 2;
            sy = (sh - height / scale) / 2;
            sw = width / scale;
            sh = height / scale;
        }
        fitted = QImage(width, height, QImage::Format_RGB32);
        if (fitted.isNull())
            return false;
        resampleRect(whole, static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)),
                     static_cast<int>(std::lround(sw)), static_cast<int>(std::lround(sh)), fitted,
                     0, 0, width, height);
    }
    handle_.reset(rasterkit::adoptWorkBuffer(std::move(fitted)));
    return handle_.valid();
}

int WorkBuff::Width() const {
    return handle_ ? rasterkit::GetGCBitmapWidth(handle_.get()) : 0;
}
int WorkBuff::Height() const {
    return handle_ ? rasterkit::GetGCBitmapHeight(handle_.get()) : 0;
}
HDC WorkBuff::hDC() const {
    return handle_ ? rasterkit::GetWorkBuffHDC(handle_.get()) : 0;
}

bool WorkBuff::SavePicture(const std::string& path) const {
    return handle_ && rasterkit::SaveBitmap(path, handle_.get()) == 0;
}

} // namespace skyloom::graphics
