#include "PrepImage.h"

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "graphics/WorkBuff.h"
#include "graphics/depthkit/Depthkit.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "saver/Pan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace skyloom::saver {
namespace {

using graphics::WorkBuff;

// The picture's full size without decoding it.
bool pictureSize(const std::string& path, Size& size, bool& isJpeg, std::string& error) {
    QSize s;
    graphics::PictureFormat format = graphics::PictureFormat::Unknown;
    if (!graphics::readPictureSize(path, s, error, &format))
        return false;
    isJpeg = format == graphics::PictureFormat::Jpeg;
    size = {s.width(), s.height()};
    return true;
}

// Stretches the (sx, sy, sw, sh) part of src, given in fractional source
// pixels, onto the (dx, dy, dw, dh) rectangle of dst with the
// area-averaging resampler.
void stretchRegion(const QImage& src, double sx, double sy, double sw, double sh, QImage& dst,
                   int dx, int dy, int dw, int dh) {
    if (src.isNull() || dst.isNull() || !(sw > 0) || !(sh > 0) || dw <= 0 || dh <= 0)
        return;
    const graphics::ResampleAxis horizontal(sx, sw, dw, src.width());
    const graphics::ResampleAxis vertical(sy, sh, dh, src.height());
    graphics::RowResampler resampler(horizontal, vertical, dw);
    std::vector<const QRgb*> rows(static_cast<std::size_t>(vertical.maxCount()));
    for (int y = 0; y < dh; ++y) {
        for (int k = 0; k < vertical.count(y); ++k)
            rows[static_cast<std::size_t>(k)] =
                reinterpret_cast<const QRgb*>(src.constScanLine(vertical.first(y) + k));
        resampler.resampleRow(y, rows.data(), reinterpret_cast<QRgb*>(dst.scanLine(dy + y)) + dx, 0,
                              dw);
    }
}

// The fitted part of the source (the cut-out of a still panorama, or the
// whole picture) stretched onto the whole target. Where a cut-out reaches
// past the picture's edge the target stays black there, as a copy would
// leave it, instead of repeating the edge. `f` maps full-size source pixels
// onto the decoded ones.
void stretchFitted(const QImage& src, const FitPlan& plan, Size full, double fx, double fy,
                   QImage& dst) {
    const int x1 = std::min(plan.cutX + plan.fitted.width, full.width);
    const int y1 = std::min(plan.cutY + plan.fitted.height, full.height);
    if (x1 <= plan.cutX || y1 <= plan.cutY)
        return;
    // Onto the whole target, or onto its centred part that keeps proportions.
    const bool inside = plan.inside.width > 0;
    const Size area = inside ? plan.inside : plan.target;
    const double kx = double(area.width) / plan.fitted.width;
    const double ky = double(area.height) / plan.fitted.height;
    const int dw = std::min(area.width, int(std::lround((x1 - plan.cutX) * kx)));
    const int dh = std::min(area.height, int(std::lround((y1 - plan.cutY) * ky)));
    stretchRegion(src, plan.cutX * fx, plan.cutY * fy, (x1 - plan.cutX) * fx, (y1 - plan.cutY) * fy,
                  dst, inside ? plan.insideX : 0, inside ? plan.insideY : 0, dw, dh);
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// The 8-bit path: through a JPEG to a palettized BMP in the palette in use.
bool reduceTo8Bits(const std::string& work, const std::string& convert) {
    const bool ok = depthkit::DoCompress(work, convert) && depthkit::Do24To8(convert, work);
    removeQuietly(convert);
    if (!ok) {
        logWarning("saver", "8-bit reduction failed: " + depthkit::LastError());
        return false;
    }
    return rasterkit::RemapBMP(work, work) == 0;
}

} // namespace

namespace {

// The layer picture and where its corner goes: 20 pixels from the right and
// bottom edges of the first view.
struct Layer {
    rasterkit::OwnedHandle picture;
    QRect area;
};

Layer loadLayer(int xShift, int yShift, Size display, const std::string& layerPath) {
    Layer layer;
    if (layerPath.empty())
        return layer;
    layer.picture.reset(rasterkit::LoadBitMap(layerPath));
    if (!layer.picture) {
        logWarning("saver",
                   "layer picture not loaded: " + layerPath + ": " + rasterkit::LastError());
        return layer;
    }
    const int w = rasterkit::GetGCBitmapWidth(layer.picture.get());
    const int h = rasterkit::GetGCBitmapHeight(layer.picture.get());
    layer.area = QRect(display.width - w - 20 + xShift, display.height - h - 20 + yShift, w, h);
    return layer;
}

void blendLayer(std::int32_t target, const Layer& layer, QPoint at, std::int32_t translucency) {
    rasterkit::DoBlitWOP(target, at.x(), at.y(), layer.picture.get(), 0, 0, 0, 0, 1,
                         std::clamp(translucency, 0, 99), 0);
}

} // namespace

void DrawLayer(std::int32_t target, int xShift, int yShift, Size display,
               const std::string& layerPath, std::int32_t translucency) {
    const Layer layer = loadLayer(xShift, yShift, display, layerPath);
    if (layer.picture)
        blendLayer(target, layer, layer.area.topLeft(), translucency);
}

namespace {

// The picture decoded as its fit needs it: either fitted at once (a JPEG
// stretched whole) or a source to fit from.
struct Decoded {
    Size full;
    FitPlan plan;
    WorkBuff source;
    QImage fittedAtOnce;
};

// The whole picture onto the whole target (or its centred part, or
// covering it), decoded and fitted in one pass: JPEGs at a DCT scale, PNG
// and BMP row by row, so that memory follows the display, not the file.
bool decodeFittedAtOnce(const PrepRequest& rq, Decoded& d, bool isJpeg, std::string& error) {
    const FitPlan& plan = d.plan;
    const bool inside = plan.inside.width > 0;
    const Size size = inside ? plan.inside : plan.target;
    graphics::FitRequest fit;
    fit.target = QSize(size.width, size.height);
    fit.mode = plan.cover ? graphics::FitMode::Cover : graphics::FitMode::Stretch;
    // PNG and BMP take the plan's own cut, as when stretched from the whole picture.
    if (!isJpeg)
        fit.area = QRectF(plan.cutX, plan.cutY, plan.fitted.width, plan.fitted.height);
    fit.aborted = rq.aborted;
    if (!graphics::decodeFittedFile(rq.picturePath, fit, d.fittedAtOnce, error))
        return false;
    if (!inside)
        return true;
    QImage framed(plan.target.width, plan.target.height, QImage::Format_RGB32);
    if (framed.isNull()) {
        error = "out of memory for the prepared picture";
        return false;
    }
    framed.fill(qRgb(0, 0, 0));
    for (int y = 0; y < d.fittedAtOnce.height(); ++y)
        std::memcpy(framed.scanLine(plan.insideY + y) + 4 * plan.insideX,
                    d.fittedAtOnce.constScanLine(y), 4 * std::size_t(size.width));
    d.fittedAtOnce = std::move(framed);
    return true;
}

// A JPEG stretched whole is decoded and fitted in one pass; otherwise only
// as many pixels as the fit needs are decoded.
bool decodeJpeg(const PrepRequest& rq, Decoded& d, std::string& error) {
    const FitPlan& plan = d.plan;
    if (plan.copy == FitPlan::Copy::Stretch && !plan.cut)
        return decodeFittedAtOnce(rq, d, true, error);
    // The geometry stays that of the full size.
    int needW = d.full.width, needH = d.full.height;
    if (plan.copy == FitPlan::Copy::Stretch) {
        needW = static_cast<int>(
            std::ceil(double(d.full.width) * plan.target.width / plan.fitted.width));
        needH = static_cast<int>(
            std::ceil(double(d.full.height) * plan.target.height / plan.fitted.height));
    }
    const bool loaded = needW < d.full.width && needH < d.full.height
                            ? d.source.InitWorkBuffFromFileScaled(rq.picturePath, 0, needW, needH)
                            : d.source.InitWorkBuffFromFile(rq.picturePath, 0);
    if (!loaded)
        error = "cannot decode the picture";
    return loaded;
}

bool decodePicture(const PrepRequest& rq, Decoded& d, bool isJpeg, std::string& error) {
    if (isJpeg)
        return decodeJpeg(rq, d, error);
    if (d.plan.copy == FitPlan::Copy::Stretch && !d.plan.cut)
        return decodeFittedAtOnce(rq, d, false, error);
    // Copied, centred or cut: decoded whole (bounded by the whole-picture limit).
    if (!d.source.InitWorkBuffFromFile(rq.picturePath, 0)) {
        error = "cannot decode the picture";
        return false;
    }
    if (d.source.Width() != d.full.width || d.source.Height() != d.full.height) {
        error = "the picture's size differs from its header's";
        return false;
    }
    return true;
}

// The prepared picture as a work buffer: the one fitted at once, or the
// source copied, stretched or centred onto a new one as the plan says.
rasterkit::OwnedHandle fitPicture(Decoded& d, std::string& error) {
    const FitPlan& plan = d.plan;
    const bool atOnce = !d.fittedAtOnce.isNull();
    rasterkit::OwnedHandle target(
        atOnce ? rasterkit::adoptWorkBuffer(std::move(d.fittedAtOnce))
               : rasterkit::CreateWorkBuff(plan.target.width, plan.target.height, 0, 0));
    if (!target) {
        error = "out of memory for the prepared picture";
        return target;
    }
    if (atOnce)
        return target;
    const graphics::HDC targetDC = rasterkit::GetWorkBuffHDC(target.get());
    // The source may be decoded smaller than its full size: scale the
    // full-size geometry into its pixels, by the decoder's exact scale (its
    // size is that scale rounded up).
    const double fx = graphics::decodedScale(QSize(d.full.width, d.full.height),
                                             QSize(d.source.Width(), d.source.Height()));
    switch (plan.copy) {
    case FitPlan::Copy::Same:
        graphics::BitBlt(targetDC, 0, 0, plan.target.width, plan.target.height, d.source.hDC(),
                         plan.cutX, plan.cutY, graphics::SRCCOPY);
        break;
    case FitPlan::Copy::Stretch:
        stretchFitted(*rasterkit::pixels(d.source.hBMP()), plan, d.full, fx, fx,
                      *rasterkit::pixels(target.get()));
        break;
    case FitPlan::Copy::Centre:
        graphics::BitBlt(targetDC, plan.centreX, plan.centreY, plan.fitted.width,
                         plan.fitted.height, d.source.hDC(), plan.cutX, plan.cutY,
                         graphics::SRCCOPY);
        break;
    }
    d.source = WorkBuff(); // the decoded picture is not needed any more
    return target;
}

// Writes the work file, reduces it to 8 bits on low-colour displays and
// publishes it as "ssprep.bmp" (not when the saver was ended meanwhile).
void publishPicture(const PrepRequest& rq, rasterkit::Handle target, PrepResult& result) {
    if (rq.programPath.empty())
        return;
    const std::string work = rq.programPath + kWorkFile;
    if (rq.aborted && rq.aborted())
        return; // the saver has ended and taken its work files away
    if (rasterkit::SaveBitmap(work, target) != 0) {
        logWarning("saver", "cannot write " + work + ": " + rasterkit::LastError());
        return;
    }
    if (rq.bitsPerPixel < 24) {
        QImage reduced;
        std::string error;
        if (reduceTo8Bits(work, rq.programPath + kConvertFile) &&
            graphics::loadPicture(work, reduced, error))
            result.picture = std::move(reduced);
    }
    std::string error;
    if (!(rq.aborted && rq.aborted()) &&
        !replaceFile(work, rq.programPath + kPreparedFile, graphics::kWorkFile, &error))
        logWarning("saver", error);
}

// ---------------------------------------------------------------- streamed

// FitPicture's smoothing (one pass across, one down) over a picture in a
// file, a row at a time: each row is written back only after the one below
// it was read, so every row is smoothed from its neighbours' old values.
bool smoothFile(graphics::BmpStripFile& file, const std::function<bool()>& aborted) {
    const int w = file.size().width(), h = file.size().height();
    auto smoothedRow = [&](int y) {
        QImage row = file.read(QRect(0, y, w, 1));
        if (!row.isNull())
            rasterkit::smoothAcross(reinterpret_cast<QRgb*>(row.scanLine(0)), w);
        return row;
    };
    QImage out(w, 1, QImage::Format_RGB32);
    QImage above, row = smoothedRow(0);
    for (int y = 0; y < h; ++y) {
        if ((y & 15) == 0 && aborted && aborted())
            return false;
        const QImage below = y + 1 < h ? smoothedRow(y + 1) : row;
        if (out.isNull() || row.isNull() || below.isNull())
            return false;
        rasterkit::smoothDown(
            reinterpret_cast<const QRgb*>((y == 0 ? row : above).constScanLine(0)),
            reinterpret_cast<const QRgb*>(row.constScanLine(0)),
            reinterpret_cast<const QRgb*>(below.constScanLine(0)),
            reinterpret_cast<QRgb*>(out.scanLine(0)), w);
        if (!file.write(out, QPoint(0, y)))
            return false;
        above = row;
        row = below;
    }
    return true;
}

// The layer blended into the part of the file under it.
void drawLayerInto(graphics::BmpStripFile& file, const FitPlan& plan, const PrepRequest& rq) {
    const Layer layer = loadLayer(plan.layerShiftX, plan.layerShiftY, rq.display, rq.layerPath);
    const QRect area = layer.area & QRect(QPoint(0, 0), file.size());
    if (!layer.picture || area.isEmpty())
        return;
    const rasterkit::OwnedHandle part(rasterkit::adoptWorkBuffer(file.read(area)));
    if (!part) {
        logWarning("saver", "layer picture not drawn: " + rasterkit::LastError());
        return;
    }
    blendLayer(part.get(), layer, layer.area.topLeft() - area.topLeft(), rq.layerTranslucency);
    file.write(*rasterkit::pixels(part.get()), area.topLeft());
}

// A moving panorama too large to hold: fitted row by row into the work
// file, smoothed and given its layer there, published, and handed on as
// the file and the window of it with the first view.
PrepResult prepareStreamed(const PrepRequest& rq, const Decoded& d, bool isJpeg) {
    PrepResult result;
    const FitPlan& plan = d.plan;
    const Size t = plan.target;
    auto stopped = [&] { return rq.aborted && rq.aborted(); };
    auto failed = [&](const std::string& why) {
        result.error = why;
        result.status = stopped() ? PrepResult::Status::Aborted : PrepResult::Status::LoadFailed;
        return result;
    };
    const std::string work = rq.programPath.empty() ? std::string() : rq.programPath + kWorkFile;
    auto file = std::make_shared<graphics::BmpStripFile>(work, QSize(t.width, t.height));
    if (!file->ok())
        return failed(file->error());
    graphics::FitRequest fit;
    fit.target = QSize(t.width, t.height);
    if (!isJpeg)
        fit.area = QRectF(0, 0, d.full.width, d.full.height);
    fit.aborted = rq.aborted;
    fit.rows = [&file](int y, const QRgb* row) { return file->writeRow(y, row); };
    QImage none;
    std::string error;
    if (!graphics::decodeFittedFile(rq.picturePath, fit, none, error))
        return failed(file->ok() ? error : file->error());
    if (plan.smooth && !smoothFile(*file, rq.aborted))
        return failed(file->ok() ? "the smoothing was stopped" : file->error());
    drawLayerInto(*file, plan, rq);
    if (!file->finish())
        return failed(file->error());

    const FirstView v = planFirstView(rq.panDirection, t, rq.display);
    const bool down = v.panMode == kPanTopToBottom || v.panMode == kPanBottomToTop;
    // The first view: the display, or for a panorama not as high (or wide)
    // as the display a window of the display's shape, which may be longer.
    const int view = v.letterbox ? (down ? v.windowHeight : v.windowWidth)
                                 : (down ? rq.display.height : rq.display.width);
    const int length = std::max(1, view) + std::max(1, rq.windowAhead);
    const PanWindow w = firstPanWindow(v.panMode, down ? t.height : t.width, length);
    result.picture = file->read(panWindowArea(w, t, down));
    if (result.picture.isNull())
        return failed("cannot read back the prepared picture: " + work);
    result.strips = std::move(file);
    result.windowOrigin = w.origin;
    result.windowLength = w.length;
    result.pictureSize = plan.fitted;
    result.keepsPanDirection = true;
    if (!work.empty() && !stopped() &&
        !replaceFile(work, rq.programPath + kPreparedFile, graphics::kWorkFile, &error))
        logWarning("saver", error);
    result.status = stopped() ? PrepResult::Status::Aborted : PrepResult::Status::Ready;
    return result;
}

} // namespace

PrepResult preparePicture(const PrepRequest& rq) {
    PrepResult result;
    Decoded d;
    bool isJpeg = false;
    if (!pictureSize(rq.picturePath, d.full, isJpeg, result.error)) {
        if (rq.aborted && rq.aborted())
            result.status = PrepResult::Status::Aborted;
        return result;
    }
    d.plan = planFit(d.full, rq.display, rq.panDirection, rq.panEnabled, rq.stretch,
                     rq.panoramicOrigin, rq.keepAspect);
    const Size t = d.plan.target;
    if (d.plan.keepsPanDirection && std::int64_t(t.width) * t.height > rq.inMemoryPixels) {
        // Low-colour displays reduce whole pictures: such a panorama is shown
        // still there, and so is one whose file could not be written (a full
        // disk) or whose rows only come whole (a turned photo).
        if (rq.bitsPerPixel >= 24) {
            PrepResult streamed = prepareStreamed(rq, d, isJpeg);
            if (streamed.status != PrepResult::Status::LoadFailed)
                return streamed;
            logWarning("saver", "panorama shown still: " + streamed.error);
        }
        d.plan = planFit(d.full, rq.display, rq.panDirection, false, rq.stretch, rq.panoramicOrigin,
                         rq.keepAspect);
    }
    if (!decodePicture(rq, d, isJpeg, result.error)) {
        if (rq.aborted && rq.aborted())
            result.status = PrepResult::Status::Aborted;
        return result;
    }
    result.pictureSize = d.plan.fitted;
    result.keepsPanDirection = d.plan.keepsPanDirection;
    const rasterkit::OwnedHandle target = fitPicture(d, result.error);
    if (!target)
        return result;

    if (d.plan.smooth) {
        rasterkit::SetFilterParameters(1, 1, 0, 0);
        const int filtered = rasterkit::FilterBitmap(target.get());
        if (filtered == 0 || (rq.aborted && rq.aborted())) {
            result.status = PrepResult::Status::Aborted;
            return result;
        }
    }
    DrawLayer(target.get(), d.plan.layerShiftX, d.plan.layerShiftY, rq.display, rq.layerPath,
              rq.layerTranslucency);
    result.picture = *rasterkit::pixels(target.get());
    publishPicture(rq, target.get(), result);
    result.status =
        (rq.aborted && rq.aborted()) ? PrepResult::Status::Aborted : PrepResult::Status::Ready;
    return result;
}

} // namespace skyloom::saver
