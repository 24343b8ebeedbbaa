// Picture decoders: BMP, JPEG (whole, DCT-scaled, fitted with one and with
// several decoders) and PNG (the programs' reader and the set maker's).

#include "../FuzzTargets.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/JpegProgressive.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/PngCodec.h"
#include "imagesets/maker/Metadata.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace skyloom::fuzz {
namespace {

// Small limits keep each run fast; the checks are the same as in the programs.
graphics::DecodeLimits fuzzLimits() {
    graphics::DecodeLimits limits;
    limits.maxSide = 4096;
    limits.maxPixels = 4 * 1024 * 1024;
    limits.maxJpegMemory = 64 << 20;
    return limits;
}

// A decoded picture must be fully addressable and of a format the drawing
// code takes.
void checkDecoded(const QImage& image, const char* what) {
    check(!image.isNull() && image.format() == QImage::Format_RGB32, what);
    volatile QRgb sink = image.pixel(image.width() - 1, image.height() - 1);
    (void)sink;
}

// The row-by-row fitted decode: shrunk onto a small target, enlarged from
// a cut, and stopped part way; whatever it gives has the target's size.
void checkFitted(std::span<const std::uint8_t> bytes, const char* what) {
    graphics::FitRequest rq;
    rq.limits = fuzzLimits();
    QImage out;
    std::string error;
    graphics::FitStats stats;
    rq.target = QSize(23, 17);
    const bool fitted = graphics::decodeFitted(bytes, rq, out, error, &stats);
    if (fitted) {
        checkDecoded(out, what);
        check(out.size() == rq.target, "a fitted picture has the target size");
    } else {
        check(!error.empty() && out.isNull(), "a fitted decode that fails says why");
    }
    // The same rows handed on one at a time (the last of a row that comes twice counts).
    QImage handed(rq.target, QImage::Format_RGB32);
    handed.fill(0);
    std::vector<int> seen(static_cast<std::size_t>(rq.target.height()));
    rq.rows = [&](int y, const QRgb* row) {
        check(y >= 0 && y < handed.height(), "a handed row lies in the target");
        std::memcpy(handed.scanLine(y), row, 4 * std::size_t(handed.width()));
        ++seen[static_cast<std::size_t>(y)];
        return true;
    };
    QImage none;
    if (graphics::decodeFitted(bytes, rq, none, error, &stats)) {
        check(none.isNull(), "rows handed on make no picture");
        check(std::count(seen.begin(), seen.end(), 0) == 0, "every row is handed on");
        check(fitted && handed == out, "the rows handed on are the fitted picture's");
    }
    rq.rows = {};
    rq.target = QSize(64, 48);
    rq.mode = graphics::FitMode::Cover;
    rq.area = QRectF(1.5, 0.25, 3, 2);
    if (graphics::decodeFitted(bytes, rq, out, error, &stats))
        check(out.size() == rq.target, "a fitted cut has the target size");
    int rows = 0;
    rq.area.reset();
    rq.aborted = [&] { return ++rows > 3; };
    if (!graphics::decodeFitted(bytes, rq, out, error, &stats) && stats.aborted)
        check(stats.rowsDecoded <= 4 && out.isNull(), "a stopped decode ends at the next row");
}

} // namespace

void runBmp(const std::uint8_t* data, std::size_t size) {
    QImage image;
    std::string error;
    graphics::BmpInfo info;
    if (graphics::decodeBmp(std::span(data, size), image, error, fuzzLimits(), &info))
        checkDecoded(image, "a decoded BMP is an RGB32 picture");
    else
        check(!error.empty(), "a BMP that fails to decode says why");
    checkFitted(std::span(data, size), "a fitted BMP is an RGB32 picture");
}

void runJpeg(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    QImage image;
    std::string error;
    graphics::JpegDecodeOptions options;
    options.limits = fuzzLimits();
    QSize declared;
    const bool sized = graphics::readJpegSize(bytes, declared, error);
    if (graphics::decodeJpeg(bytes, image, error, options)) {
        checkDecoded(image, "a decoded JPEG is an RGB32 picture");
        check(sized && image.size() == declared, "a JPEG decodes at the size its header declares");
    }
    options.minWidth = 16;
    options.minHeight = 16;
    if (graphics::decodeJpeg(bytes, image, error, options))
        checkDecoded(image, "a DCT-scaled JPEG is an RGB32 picture");
    QImage one, several;
    const bool oneOk = graphics::decodeJpegFitted(bytes, QSize(40, 30), graphics::FitMode::Cover,
                                                  one, error, fuzzLimits());
    const bool severalOk =
        graphics::decodeJpegFitted(bytes, QSize(40, 30), graphics::FitMode::Cover, several, error,
                                   fuzzLimits(), graphics::JpegThreads::Several);
    if (oneOk) {
        checkDecoded(one, "a fitted JPEG is an RGB32 picture");
        check(one.size() == QSize(40, 30), "a fitted JPEG has the target size");
    }
    if (severalOk)
        check(several.size() == QSize(40, 30), "a fitted JPEG has the target size");

    // Our progressive decoder, a row of blocks at a time, gives the rows it
    // gives when it holds the whole picture.
    for (int denom : {1, 8}) {
        graphics::detail::ProgressiveJpeg whole, banded;
        banded.setBandBytes(1);
        if (!whole.open(bytes) || !banded.open(bytes))
            break;
        const QSize picture = whole.pictureSize();
        if (!graphics::sizeAllowed(picture.width(), picture.height(), fuzzLimits()))
            break;
        std::string wholeError, bandedError;
        if (!whole.decode(denom, fuzzLimits(), {}, wholeError))
            continue;
        check(banded.decode(denom, fuzzLimits(), {}, bandedError),
              "the first band decodes where the whole picture does");
        const auto width = static_cast<std::size_t>(whole.outputSize().width());
        std::vector<QRgb> a(width), b(width);
        for (int y = 0; y < whole.outputSize().height(); ++y) {
            check(whole.row(y, a.data()), "a decoded picture gives its rows");
            check(banded.row(y, b.data()), "every band decodes where the whole picture does");
            check(a == b, "bands give the rows of the whole picture");
        }
    }
}

void runPng(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    QImage image;
    std::string error;
    graphics::JpegDecodeOptions options;
    options.limits = fuzzLimits();
    if (graphics::decodePicture(bytes, image, error, options))
        checkDecoded(image, "a decoded PNG is an RGB32 picture");
    checkFitted(bytes, "a fitted PNG is an RGB32 picture");

    // Pictures that are stored (the set maker's PNG sources) are read with
    // libpng; its pixel limit is passed small here.
    QImage flat;
    if (graphics::decodePngOnBlack(bytes, flat, error, 1 << 20))
        checkDecoded(flat, "a flattened PNG is an RGB32 picture");
    else
        check(!error.empty(), "a PNG that fails to decode says why");
    const std::string_view text = asText(data, size);
    const mkset::PngMetadata png = mkset::readPngMetadata(text);
    mkset::PictureMetadata meta;
    if (!png.exif.empty())
        mkset::readExif(png.exif, meta);
    if (!png.xmp.empty())
        mkset::readXmp(png.xmp, meta);
    meta.pngTitle = png.title;
    meta.pngDescription = png.description;
    const mkset::PictureTitle title = mkset::chooseTitle(meta, "png");
    check(!title.title.empty() && isUtf8(title.title), "a PNG's title is non-empty UTF-8");
}

} // namespace skyloom::fuzz
