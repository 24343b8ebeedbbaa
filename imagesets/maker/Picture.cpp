#include "imagesets/maker/Picture.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/Orientation.h"
#include "graphics/io/PngCodec.h"
#include "graphics/io/Resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace skyloom::mkset {
namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string textOf(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::string tooLarge(std::int64_t w, std::int64_t h) {
    return "the picture is too large (" + std::to_string(w) + " x " + std::to_string(h) +
           " pixels)";
}

// The saver's limits (sides, scans, libjpeg memory), so that a picture the
// maker accepts is one the saver shows; the pixel count is the maker's own
// kMaxPixels where that is smaller.
graphics::DecodeLimits makerLimits() {
    graphics::DecodeLimits limits;
    limits.maxPixels = std::min(limits.maxPixels, kMaxPixels);
    return limits;
}

std::string encodeForSet(const QImage& image, std::string& error) {
    graphics::JpegEncodeOptions options;
    options.quality = kJpegQuality;
    options.chroma = graphics::ChromaSampling::Quarter;
    options.optimizeCoding = true;
    std::vector<std::uint8_t> bytes;
    if (!graphics::encodeJpeg(image, options, bytes, error))
        return {};
    return textOf(bytes);
}

std::string previewOf(const QImage& upright, QSize preview) {
    // Lanczos-3: a plain mean over whole pixels aliases fine detail.
    QImage small(preview, QImage::Format_RGB32);
    const QImage source = upright.convertToFormat(QImage::Format_RGB32);
    graphics::resampleRect(source, 0, 0, source.width(), source.height(), small, 0, 0,
                           preview.width(), preview.height());
    return textOf(graphics::encodeBmp24(small));
}

std::string previewOf(const QImage& upright) {
    return previewOf(upright, fitWithin(upright.size(), kPreviewWidth, kPreviewHeight));
}

std::optional<PreparedPicture> prepareJpeg(std::string_view bytes, std::string_view stem,
                                           std::string& error) {
    const graphics::DecodeLimits limits = makerLimits();
    error = graphics::checkJpegStructure(bytesOf(bytes), limits.maxScans);
    if (!error.empty())
        return std::nullopt;
    graphics::JpegHeader info;
    if (!graphics::readJpegHeader(bytesOf(bytes), info, error)) {
        error = "damaged JPEG data (" + error + ")";
        return std::nullopt;
    }
    if (!graphics::sizeAllowed(info.width, info.height, limits)) {
        error = tooLarge(info.width, info.height);
        return std::nullopt;
    }
    PreparedPicture out;
    out.kind = PictureKind::Jpeg;
    const PictureMetadata meta = readJpegMetadata(info.markers);
    out.title = chooseTitle(meta, stem);
    out.size = graphics::orientedSize({info.width, info.height}, meta.orientation);
    if (meta.orientation != 1 || !info.plainColour) {
        // The picture is stored upright in RGB: decode it whole once and make
        // the preview from the same pixels.
        QImage full = decodeJpegAtLeast(bytes, {INT_MAX, INT_MAX}, error);
        if (full.isNull())
            return std::nullopt;
        full = graphics::applyOrientation(full, meta.orientation);
        out.preview = previewOf(full);
        out.encoded = encodeForSet(full, error);
        if (out.encoded.empty())
            return std::nullopt;
        return out;
    }
    // Decode only as much as the preview needs (scaled decoding).
    const QSize preview = fitWithin(out.size, kPreviewWidth, kPreviewHeight);
    const QImage small = decodeJpegAtLeast(bytes, preview, error);
    if (small.isNull())
        return std::nullopt;
    out.preview = previewOf(small, preview);
    return out;
}

std::optional<PreparedPicture> preparePng(std::string_view bytes, std::string_view stem,
                                          std::string& error) {
    PreparedPicture out;
    out.kind = PictureKind::Png;
    const PngMetadata png = readPngMetadata(bytes);
    PictureMetadata meta;
    if (!png.exif.empty())
        readExif(png.exif, meta);
    if (!png.xmp.empty())
        readXmp(png.xmp, meta);
    meta.pngTitle = png.title;
    meta.pngDescription = png.description;
    out.title = chooseTitle(meta, stem);
    QImage full;
    if (!graphics::decodePngOnBlack(bytesOf(bytes), full, error, kMaxPixels))
        return std::nullopt;
    full = graphics::applyOrientation(full, meta.orientation);
    out.size = full.size();
    out.preview = previewOf(full);
    out.encoded = encodeForSet(full, error);
    if (out.encoded.empty())
        return std::nullopt;
    return out;
}

} // namespace

QSize fitWithin(QSize picture, int maxWidth, int maxHeight) {
    if (picture.width() <= 0 || picture.height() <= 0)
        return {0, 0};
    if (picture.width() <= maxWidth && picture.height() <= maxHeight)
        return picture;
    const double scale =
        std::min(double(maxWidth) / picture.width(), double(maxHeight) / picture.height());
    const int w = std::clamp(int(std::lround(picture.width() * scale)), 1, maxWidth);
    const int h = std::clamp(int(std::lround(picture.height() * scale)), 1, maxHeight);
    return {w, h};
}

QImage decodeJpegAtLeast(std::string_view bytes, QSize least, std::string& error) {
    graphics::JpegDecodeOptions options;
    options.minWidth = least.width();
    options.minHeight = least.height();
    options.limits = makerLimits();
    options.upright = false;
    options.halveProgressive = true;
    options.dcOnlyAtEighth = true;
    // Damaged data is refused as the saver refuses it: a picture the maker
    // makes is one the saver shows.
    options.corruptDataFails = true;
    QImage out;
    if (graphics::decodeJpeg(bytesOf(bytes), out, error, options))
        return out;
    if (error == "premature end of JPEG data")
        error = "the file is truncated (premature end of JPEG data)";
    else if (error == "JPEG picture is too large")
        error = "the picture is too large (more than " + std::to_string(kMaxPixels / 1'000'000) +
                " megapixels)";
    else
        error = "damaged JPEG data (" + error + ")";
    return {};
}

PictureKind sniffKind(std::string_view head) {
    if (head.size() >= 3 && static_cast<unsigned char>(head[0]) == 0xFF &&
        static_cast<unsigned char>(head[1]) == 0xD8 && static_cast<unsigned char>(head[2]) == 0xFF)
        return PictureKind::Jpeg;
    if (head.size() >= 8 && head.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8))
        return PictureKind::Png;
    return PictureKind::Unknown;
}

std::optional<PreparedPicture> preparePicture(std::string_view bytes, std::string_view fileStem,
                                              std::string& error) {
    switch (sniffKind(bytes.substr(0, 8))) {
    case PictureKind::Jpeg:
        return prepareJpeg(bytes, fileStem, error);
    case PictureKind::Png:
        return preparePng(bytes, fileStem, error);
    case PictureKind::Unknown:
        break;
    }
    error = "not a JPEG or PNG picture";
    return std::nullopt;
}

Panorama panoramaFor(QSize upright) {
    // The origin is where a still panorama is cut (in picture pixels). It
    // centres the cut for a 16:9 screen, the widest common shape: narrower
    // screens cut less and stay inside the picture.
    Panorama p;
    const std::int64_t w = upright.width(), h = upright.height();
    if (w <= 0 || h <= 0)
        return p;
    if (w >= 2 * h) {
        p.direction = "LeftToRight";
        p.origin = int(std::max<std::int64_t>(0, (w - h * 16 / 9) / 2));
    } else if (h >= 2 * w) {
        // Vertical panoramas are cut to the screen's height for its width; a
        // 4:3 screen needs the tallest cut.
        p.direction = "TopToBottom";
        p.origin = int(std::max<std::int64_t>(0, (h - w * 3 / 4) / 2));
    }
    return p;
}

std::string nfoText(const PictureTitle& title, const Panorama& panorama) {
    // Sections come first: the saver takes the lines after the title line as
    // the description, up to the first empty paragraph line.
    std::string out;
    if (!panorama.direction.empty())
        out += "[Panoramic]\nPanDirection=" + panorama.direction +
               "\nPanoramicOrigin=" + std::to_string(panorama.origin) + "\n\n";
    out += "English=" + title.title + "\n";
    if (!title.description.empty())
        out += "\n" + title.description + "\n";
    return out;
}

} // namespace skyloom::mkset
