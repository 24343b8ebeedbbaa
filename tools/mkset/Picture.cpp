#include "tools/mkset/Picture.h"

#include "tools/mkset/Bmp.h"
#include "tools/mkset/Jpeg.h"
#include "tools/mkset/Png.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace skyloom::mkset {
namespace {

RgbImage previewOf(const RgbImage& upright) {
    return shrink(upright,
                  fitWithin({upright.width, upright.height}, kPreviewWidth, kPreviewHeight));
}

std::optional<PreparedPicture> prepareJpeg(std::string_view bytes, std::string_view stem,
                                           std::string& error) {
    error = checkJpegStructure(bytes);
    if (!error.empty())
        return std::nullopt;
    auto info = readJpegInfo(bytes, error);
    if (!info)
        return std::nullopt;
    if (std::int64_t(info->width) * info->height > kMaxPixels) {
        error = "the picture is too large (" + std::to_string(info->width) + " x " +
                std::to_string(info->height) + " pixels)";
        return std::nullopt;
    }
    PreparedPicture out;
    out.kind = PictureKind::Jpeg;
    const PictureMetadata meta = readJpegMetadata(info->markers);
    out.title = chooseTitle(meta, stem);
    out.size = orientedSize({info->width, info->height}, meta.orientation);
    const bool encode = meta.orientation != 1 || !info->plainColour;
    if (encode) {
        // The picture is stored upright in RGB: decode it whole once and make
        // the preview from the same pixels.
        RgbImage full = decodeJpeg(bytes, INT_MAX, INT_MAX, error);
        if (full.empty())
            return std::nullopt;
        full = applyOrientation(std::move(full), meta.orientation);
        out.preview = encodeBmp24(previewOf(full));
        out.encoded = encodeJpeg(full, kJpegQuality, {}, error);
        if (out.encoded.empty())
            return std::nullopt;
        return out;
    }
    // Decode only as much as the preview needs (scaled decoding).
    const Size preview = fitWithin(out.size, kPreviewWidth, kPreviewHeight);
    RgbImage small = decodeJpeg(bytes, preview.width, preview.height, error);
    if (small.empty())
        return std::nullopt;
    out.preview = encodeBmp24(shrink(small, preview));
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
    RgbImage full = decodePng(bytes, error);
    if (full.empty())
        return std::nullopt;
    full = applyOrientation(std::move(full), meta.orientation);
    out.size = {full.width, full.height};
    out.preview = encodeBmp24(previewOf(full));
    out.encoded = encodeJpeg(full, kJpegQuality, {}, error);
    if (out.encoded.empty())
        return std::nullopt;
    return out;
}

} // namespace

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

Panorama panoramaFor(Size upright) {
    // The origin is where a still panorama is cut (in picture pixels). It
    // centres the cut for a 16:9 screen, the widest common shape: narrower
    // screens cut less and stay inside the picture.
    Panorama p;
    const std::int64_t w = upright.width, h = upright.height;
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
