#include "WallpaperRender.h"

#include "WallpaperLayer.h"

#include "calendar/CalendarOverlay.h"
#include "common/AtomicFile.h"
#include "common/Folders.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/SetFileAccess.h"
#include "common/Timing.h"
#include "graphics/Proportions.h"
#include "graphics/depthkit/Depthkit.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/LargeBuffer.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "imagesets/SetFiles.h"
#include "platform/Locations.h"

#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::wallpaper {

namespace fs = std::filesystem;

QRect panoramaCut(QSize picture, const std::string& panDirection, int origin, QSize reference) {
    const int w = picture.width();
    const int h = picture.height();
    QRect cut(0, 0, w, h);
    if (reference.width() <= 0 || reference.height() <= 0)
        return cut;
    const double ratio = static_cast<double>(reference.width()) / reference.height();
    if (panDirection == "LeftToRight" || panDirection == "RightToLeft") {
        const auto sw = roundHalfEven(h * ratio);
        cut.setWidth(static_cast<int>(std::clamp<std::int64_t>(sw, 1, w)));
        cut.moveLeft(std::clamp(origin, 0, w - cut.width()));
    } else if (panDirection == "TopToBottom" || panDirection == "BottomToTop") {
        const auto sh = roundHalfEven(w / ratio);
        cut.setHeight(static_cast<int>(std::clamp<std::int64_t>(sh, 1, h)));
        cut.moveTop(std::clamp(origin, 0, h - cut.height()));
    }
    return cut;
}

namespace {

// Decodes the cut of the picture at the target size. JPEG pictures are
// decoded at a reduced DCT scale where that still gives at least the target's
// detail; the whole picture fitted to the screen is decoded and resampled in
// one streaming pass, a progressive file by several decoders at once (the
// user is waiting for the new wallpaper).
bool loadTarget(const std::string& file, QSize picture, QRect cut, QSize target, QImage& out,
                std::string& error, bool cover = false) {
    if (graphics::decodesRowByRow(file)) {
        // PNG and BMP: the cut resampled onto the target row by row as the
        // file is read, the whole picture never held.
        graphics::FitRequest fit;
        fit.target = target;
        fit.area = QRectF(cut);
        return graphics::decodeFittedFile(file, fit, out, error);
    }
    if ((cover || cut == QRect(QPoint(0, 0), picture)) && target != picture) {
        std::string why;
        if (graphics::decodeJpegFittedFile(
                file, target, cover ? graphics::FitMode::Cover : graphics::FitMode::Stretch, out,
                why, {}, graphics::JpegThreads::Several))
            return true;
        // Not a JPEG (or damaged): the general path says why.
    }
    graphics::JpegDecodeOptions options;
    if (target.width() < cut.width() && target.height() < cut.height()) {
        options.minWidth = static_cast<int>(
            std::ceil(static_cast<double>(picture.width()) * target.width() / cut.width()));
        options.minHeight = static_cast<int>(
            std::ceil(static_cast<double>(picture.height()) * target.height() / cut.height()));
    }
    QImage source;
    if (!graphics::loadPicture(file, source, error, options))
        return false;
    // The cut in decoded pixels, fractions kept: rounding it to whole
    // pixels of a picture decoded at 1/8 would shift it by up to 4 pixels.
    const double scale = graphics::decodedScale(picture, source.size());
    const QRectF area(cut.x() * scale, cut.y() * scale, cut.width() * scale, cut.height() * scale);
    if (area == QRectF(QPointF(0, 0), QSizeF(target)) && source.size() == target) {
        out = std::move(source);
        return true;
    }
    if (area.size() == QSizeF(target) && area.x() == std::floor(area.x()) &&
        area.y() == std::floor(area.y())) {
        out = source.copy(area.toRect());
        return true;
    }
    out = QImage(target, QImage::Format_RGB32);
    if (out.isNull()) {
        error = "not enough memory for a " + std::to_string(target.width()) + " x " +
                std::to_string(target.height()) + " wallpaper";
        return false;
    }
    graphics::resampleArea(source, area, out);
    return true;
}

// The decoded and fitted picture of the last render, kept for the next one:
// the daily calendar refresh renders the same picture again, and decoding a
// large photo is by far the costliest step. The file holds a key (picture
// file identity, cut and size) and the pixels, and is replaced atomically, so
// a reader gets either a whole matching entry or none.
class SourceCache {
public:
    SourceCache(const std::string& folder, const std::string& file, QRect cut, QSize target,
                QRect placed) {
        if (folder.empty())
            return;
        struct stat st {};
        if (::stat(file.c_str(), &st) != 0)
            return;
        path_ = folder + "/" + kCacheFileName;
        key_ = "skyloom wallpaper source 1\n" + file + "\n" + std::to_string(st.st_dev) + " " +
               std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
               std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + "\n" +
               std::to_string(cut.x()) + " " + std::to_string(cut.y()) + " " +
               std::to_string(cut.width()) + " " + std::to_string(cut.height()) + " " +
               std::to_string(target.width()) + " " + std::to_string(target.height()) + " " +
               std::to_string(placed.x()) + " " + std::to_string(placed.y()) + " " +
               std::to_string(placed.width()) + " " + std::to_string(placed.height()) + "\n";
        target_ = target;
    }

    bool load(QImage& out) const {
        if (path_.empty())
            return false;
        std::ifstream in(path_, std::ios::binary);
        std::string key(key_.size(), '\0');
        if (!in.read(key.data(), static_cast<std::streamsize>(key.size())) || key != key_)
            return false;
        QImage image(target_, QImage::Format_RGB32);
        if (image.isNull())
            return false;
        graphics::mapInAtOnce(image);
        const auto rowBytes = static_cast<std::streamsize>(target_.width()) * 4;
        if (image.bytesPerLine() == rowBytes) {
            if (!in.read(reinterpret_cast<char*>(image.bits()), rowBytes * image.height()))
                return false;
        } else {
            for (int y = 0; y < image.height(); ++y)
                if (!in.read(reinterpret_cast<char*>(image.scanLine(y)), rowBytes))
                    return false;
        }
        if (in.peek() != std::ifstream::traits_type::eof())
            return false;
        out = std::move(image);
        return true;
    }

    void store(const QImage& image) const {
        if (path_.empty() || image.size() != target_ || image.format() != QImage::Format_RGB32)
            return;
        makeFolders(fs::path(path_).parent_path().string());
        AtomicFile file(path_, graphics::kWorkFile);
        file.write(key_);
        // Rows without padding go out in one write.
        const auto rowBytes = static_cast<std::size_t>(image.width()) * 4;
        if (static_cast<std::size_t>(image.bytesPerLine()) == rowBytes)
            file.write(image.constBits(), rowBytes * static_cast<std::size_t>(image.height()));
        else
            for (int y = 0; y < image.height(); ++y)
                file.write(image.constScanLine(y), rowBytes);
        if (!file.commit())
            logInfo("wallpaper",
                    "could not keep the decoded picture in " + path_ + ": " + file.error());
    }

private:
    std::string path_;
    std::string key_;
    QSize target_;
};

// The smoothing filter, leaving the top four pixel rows as they were.
void smoothKeepingTopRows(rasterkit::Handle buffer) {
    QImage* pixels = rasterkit::pixels(buffer);
    if (!pixels)
        return;
    const QImage top = pixels->copy(0, 0, pixels->width(), std::min(4, pixels->height()));
    rasterkit::SetFilterParameters(1, 1, 0, 0);
    rasterkit::FilterBitmap(buffer);
    pixels = rasterkit::pixels(buffer);
    if (!pixels)
        return;
    for (int row = 0; row < top.height(); ++row)
        std::copy_n(top.constScanLine(row), top.bytesPerLine(), pixels->scanLine(row));
}

// "Skyloom.bmp" and, when asked for, its PNG copy: both are written to
// temporaries and put in place only when both could be made.
bool writeOutputs(const RenderRequest& r, rasterkit::Handle target, const QImage& image,
                  std::string& error) {
    AtomicFile bmp(r.outputPath, graphics::kWorkFile);
    if (r.bitsPerPixel >= 24) {
        if (!graphics::writeBmp24(bmp, image, error))
            return false;
    } else {
        // Low-colour displays get an 8-bit palettized picture, made through a
        // JPEG of the render as the colour reducer expects.
        const std::string prep = r.workFolder + "/" + kPrepFileName;
        const std::string jpeg = r.workFolder + "/" + kJpegFileName;
        const bool made = bmp.ok() && rasterkit::SaveBitmap(prep, target) == 0 &&
                          depthkit::DoCompress(prep, jpeg) &&
                          depthkit::Do24To8(jpeg, bmp.temporaryPath());
        if (!made)
            error = "the 8-bit wallpaper could not be made: " + bmp.error() +
                    depthkit::LastError() + rasterkit::LastError();
        std::error_code ec;
        fs::remove(jpeg, ec);
        fs::remove(prep, ec);
        if (!made)
            return false;
    }
    std::optional<AtomicFile> png;
    if (!r.pngPath.empty()) {
        png.emplace(r.pngPath, graphics::kWorkFile);
        QImageWriter writer(QString::fromStdString(png->temporaryPath()), "png");
        writer.setCompression(1); // fast: the file is read once by the desktop
        if (!png->ok() || !writer.write(image)) {
            error = "cannot write " + r.pngPath + ": " +
                    (png->ok() ? writer.errorString().toStdString() : png->error());
            return false;
        }
        if (!png->commit()) {
            error = png->error();
            return false;
        }
    }
    if (!bmp.commit()) {
        error = bmp.error();
        return false;
    }
    return true;
}

// The finished picture: written out, and kept in `result`.
bool finishRender(const RenderRequest& r, rasterkit::Handle buffer, RenderResult& result) {
    const QImage* pixels = rasterkit::pixels(buffer);
    if (!pixels) {
        result.error = "the wallpaper picture was lost";
        return false;
    }
    if (!writeOutputs(r, buffer, *pixels, result.error))
        return false;
    result.image = *pixels;
    result.ok = true;
    return true;
}

} // namespace

std::string defaultCacheFolder() {
    return platform::cacheDirectory();
}

QRect visiblePart(QSize picture, QSize screen) {
    if (!screen.isValid() || screen.isEmpty() || picture.isEmpty())
        return {};
    const int w = std::min(picture.width(), screen.width());
    const int h = std::min(picture.height(), screen.height());
    return {(picture.width() - w) / 2, (picture.height() - h) / 2, w, h};
}

namespace {

// Fitting that keeps proportions: a cut whose shape nearly agrees with the
// screen's (less than 15 % of a side over) is trimmed to the screen's shape,
// centred, and covers it; one that differs more is fitted inside, centred
// on black.
void shapeToScreen(QRect& cut, QSize screen, QRect& placed, bool& cover) {
    const graphics::ProportionFit f =
        graphics::keepProportions(cut.width(), cut.height(), screen.width(), screen.height());
    if (f.inside) {
        placed = QRect(f.x, f.y, f.width, f.height);
        cover = false;
        return;
    }
    cover = f.cutWidth != cut.width() || f.cutHeight != cut.height();
    cut = QRect(cut.x() + f.cutX, cut.y() + f.cutY, f.cutWidth, f.cutHeight);
}

// The picture's information file and the panorama settings it holds. The
// file is read only when it is a set file that may be read (a regular file
// inside the program directory); else `info` is empty.
struct PictureInfo {
    std::string info;
    std::string panDirection;
    int origin = 0;
};

PictureInfo readPictureInfo(const std::string& pictureBase) {
    PictureInfo p;
    p.info = imagesets::setFilePath(pictureBase, ".nfo");
    std::string infoError;
    if (!isReadableSetFile(p.info, setFileRoot(), &infoError)) {
        if (std::filesystem::exists(std::filesystem::symlink_status(p.info)))
            logWarning("wallpaper", infoError);
        p.info.clear();
    }
    p.panDirection =
        p.info.empty() ? std::string() : ReadIniString("Panoramic", "PanDirection", "", p.info);
    p.origin = p.info.empty() ? 0 : ReadIniInt("Panoramic", "PanoramicOrigin", 0, p.info);
    return p;
}

// The part of the picture used, the size of the wallpaper, where the picture
// goes in it, and whether its cut is trimmed to the screen's shape.
struct Placement {
    QRect cut;
    QSize target;
    QRect placed;
    bool cover = false;
};

Placement placePicture(const RenderRequest& r, QSize picture, const PictureInfo& p) {
    const bool onScreen = r.fit && r.screen.isValid() && !r.screen.isEmpty();
    const bool shaped = onScreen && r.keepAspect;
    Placement m;
    m.cut = panoramaCut(picture, p.panDirection, p.origin, shaped ? r.screen : r.reference);
    m.target = onScreen ? r.screen : m.cut.size();
    m.placed = QRect(QPoint(0, 0), m.target);
    if (shaped) {
        const bool wholePicture = m.cut == QRect(QPoint(0, 0), picture);
        shapeToScreen(m.cut, m.target, m.placed, m.cover);
        // The decoder's own cover cut is of the whole picture; a trimmed
        // panorama cut goes the general way.
        m.cover = m.cover && wholePicture;
    }
    return m;
}

// The placed picture at the wallpaper's size, from the cache when it holds
// it, else decoded (and framed on black) and cached. False with `error`.
bool loadPlaced(const std::string& file, QSize picture, const Placement& m,
                const std::string& cacheFolder, QImage& image, std::string& error) {
    const SourceCache cache(cacheFolder, file, m.cut, m.target, m.placed);
    if (cache.load(image))
        return true;
    if (!loadTarget(file, picture, m.cut, m.placed.size(), image, error, m.cover)) {
        error = "cannot read the picture " + file + ": " + error;
        return false;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    if (m.placed.size() != m.target) {
        QImage framed(m.target, QImage::Format_RGB32);
        if (framed.isNull()) {
            error = "not enough memory for the wallpaper";
            return false;
        }
        framed.fill(qRgb(0, 0, 0));
        for (int y = 0; y < image.height() && y < m.placed.height(); ++y)
            std::memcpy(framed.scanLine(m.placed.y() + y) + 4 * m.placed.x(),
                        image.constScanLine(y),
                        4 * std::size_t(std::min(image.width(), m.placed.width())));
        image = std::move(framed);
    }
    cache.store(image);
    return true;
}

// A part fitted to its monitor: decoded, placed and smoothed when enlarged.
// False with `error`.
bool renderPart(const RenderRequest& r, const PictureInfo& info, QImage& image,
                std::string& error) {
    const std::string file = r.pictureBase + ".jpg";
    QSize picture;
    std::string sizeError;
    if (!graphics::readPictureSize(file, picture, sizeError)) {
        error = "cannot read the picture " + file + " (" + sizeError + ")";
        return false;
    }
    const Placement placement = placePicture(r, picture, info);
    if (!loadPlaced(file, picture, placement, r.cacheFolder, image, error))
        return false;
    if (!enlarged(placement.target, picture))
        return true;
    const rasterkit::OwnedHandle buffer(rasterkit::adoptWorkBuffer(std::move(image)));
    if (buffer.get() < 0) {
        error = "no work buffer for the wallpaper: " + rasterkit::LastError();
        return false;
    }
    smoothKeepingTopRows(buffer.get());
    const QImage* pixels = rasterkit::pixels(buffer.get());
    if (!pixels) {
        error = "the wallpaper picture was lost";
        return false;
    }
    image = *pixels;
    return true;
}

// Several monitors: each part is made as the wallpaper of a screen of the
// monitor's size, then put on the monitor's place in a picture of the
// monitors' bounding box (one at its own size centred on its monitor, cut to
// it). The calendar goes into the primary monitor's part, every part gets
// its own layer.
RenderResult renderComposed(const RenderRequest& r, calendar::CalendarClass& calendar) {
    RenderResult result;
    QRect bounds;
    for (const MonitorPart& m : r.monitors)
        bounds = bounds.united(m.geometry);
    QImage canvas(bounds.size(), QImage::Format_RGB32);
    if (canvas.isNull()) {
        result.error = "not enough memory for the wallpaper";
        return result;
    }
    canvas.fill(qRgb(0, 0, 0));
    std::vector<PictureInfo> infos;
    std::vector<QRect> shownAreas; // where each part's picture is on the canvas
    QRect calendarArea;
    for (std::size_t i = 0; i < r.monitors.size(); ++i) {
        const MonitorPart& m = r.monitors[i];
        RenderRequest part = r;
        part.monitors.clear();
        part.screen = m.geometry.size();
        part.reference = m.geometry.size();
        if (!m.pictureBase.empty()) {
            part.pictureBase = m.pictureBase;
            part.setDirectory = m.setDirectory;
        }
        // Each monitor keeps its own decoded picture for the next render.
        if (i > 0 && !part.cacheFolder.empty())
            part.cacheFolder += "/monitor-" + std::to_string(i);
        infos.push_back(readPictureInfo(part.pictureBase));
        QImage image;
        if (!renderPart(part, infos.back(), image, result.error))
            return result;
        const QRect shown = visiblePart(image.size(), m.geometry.size());
        const QRect local = m.geometry.translated(-bounds.topLeft());
        const QPoint at = local.topLeft() + QPoint((local.width() - shown.width()) / 2,
                                                   (local.height() - shown.height()) / 2);
        for (int y = 0; y < shown.height(); ++y)
            std::memcpy(canvas.scanLine(at.y() + y) + 4 * at.x(),
                        image.constScanLine(shown.y() + y) + 4 * shown.x(),
                        4 * std::size_t(shown.width()));
        result.parts.push_back(local);
        shownAreas.push_back(QRect(at, shown.size()));
        if (m.primary || (i == 0 && calendarArea.isNull()))
            calendarArea = QRect(at, shown.size());
    }
    const rasterkit::OwnedHandle buffer(rasterkit::adoptWorkBuffer(std::move(canvas)));
    if (buffer.get() < 0) {
        result.error = "no work buffer for the wallpaper: " + rasterkit::LastError();
        return result;
    }
    const int w = bounds.width(), h = bounds.height();
    calendar::DispCalendar(calendar, buffer.get(), w, h, r.calendar, r.today, r.workFolder,
                           calendarArea);
    for (std::size_t i = 0; i < r.monitors.size(); ++i) {
        const MonitorPart& m = r.monitors[i];
        const std::string& setDirectory = m.pictureBase.empty() ? r.setDirectory : m.setDirectory;
        DisplayWPLayer(buffer.get(), w, h,
                       {infos[i].info, setDirectory, r.settingsFile, shownAreas[i]});
    }
    if (finishRender(r, buffer.get(), result))
        result.origin = bounds.topLeft();
    return result;
}

} // namespace

RenderResult renderWallpaper(const RenderRequest& r, calendar::CalendarClass& calendar) {
    if (r.monitors.size() >= 2)
        return renderComposed(r, calendar);
    RenderResult result;
    const std::string file = imagesets::setFilePath(r.pictureBase, ".jpg");
    const PictureInfo info = readPictureInfo(r.pictureBase);

    QSize picture;
    std::string sizeError;
    if (!graphics::readPictureSize(file, picture, sizeError)) {
        result.error = "cannot read the picture " + file + " (" + sizeError + ")";
        return result;
    }
    const Placement placement = placePicture(r, picture, info);
    const QSize target = placement.target;

    QImage image;
    if (!loadPlaced(file, picture, placement, r.cacheFolder, image, result.error))
        return result;
    timingMark("picture decoded");
    const rasterkit::OwnedHandle buffer(rasterkit::adoptWorkBuffer(std::move(image)));
    if (buffer.get() < 0) {
        result.error = "no work buffer for the wallpaper: " + rasterkit::LastError();
        return result;
    }
    if (enlarged(target, picture))
        smoothKeepingTopRows(buffer.get());

    // Not fitted, the desktop centres the picture at its own size: calendar
    // and layer go inside the part the screen shows.
    const QRect visible = r.fit ? QRect() : visiblePart(target, r.screen);
    calendar::DispCalendar(calendar, buffer.get(), target.width(), target.height(), r.calendar,
                           r.today, r.workFolder, visible);
    timingMark("calendar drawn");
    DisplayWPLayer(buffer.get(), target.width(), target.height(),
                   {info.info, r.setDirectory, r.settingsFile, visible});

    if (finishRender(r, buffer.get(), result))
        timingMark("wallpaper file written");
    return result;
}

} // namespace skyloom::wallpaper
