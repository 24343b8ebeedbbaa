#include "graphics/io/PictureFile.h"
#include "graphics/io/PngCodec.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"

#include "common/Log.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace skyloom::graphics {

PictureFormat sniffFormat(std::span<const std::uint8_t> h) {
    if (h.size() >= 2 && h[0] == 'B' && h[1] == 'M')
        return PictureFormat::Bmp;
    if (h.size() >= 3 && h[0] == 0xff && h[1] == 0xd8 && h[2] == 0xff)
        return PictureFormat::Jpeg;
    static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (h.size() >= 8 && std::equal(png, png + 8, h.begin()))
        return PictureFormat::Png;
    return PictureFormat::Unknown;
}

namespace {

// BMP and PNG pictures are decoded whole, so their memory is bounded by
// their size: pictures that would need more than this for their pixels are
// refused (a 1 KB RLE bitmap or a 700 KB PNG can declare 15,000 x 15,000
// pixels). JPEGs are decoded at a DCT scale instead and keep their own limit.
constexpr std::int64_t kWholePictureBytes = 300LL * 1024 * 1024;

std::string tooLarge(const char* kind, QSize size) {
    return std::string(kind) + " picture of " + std::to_string(size.width()) + " x " +
           std::to_string(size.height()) + " pixels is too large to show (more than " +
           std::to_string(kWholePictureBytes >> 20) + " MB to decode)";
}

} // namespace

bool decodePicture(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                   const JpegDecodeOptions& jpegOptions) {
    switch (sniffFormat(data)) {
    case PictureFormat::Bmp: {
        DecodeLimits limits = jpegOptions.limits;
        limits.maxPixels = std::min(limits.maxPixels, kWholePictureBytes / 4);
        return decodeBmp(data, out, error, limits);
    }
    case PictureFormat::Jpeg:
        return decodeJpeg(data, out, error, jpegOptions);
    case PictureFormat::Png: {
        if (!pngChunksFit(data)) {
            error = "damaged PNG data (a chunk is longer than the file)";
            return false;
        }
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                   static_cast<qsizetype>(data.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!sizeAllowed(size.width(), size.height(), jpegOptions.limits)) {
            error = "PNG picture is too large or unreadable";
            return false;
        }
        // Qt reads 16-bit PNGs as 8 bytes a pixel, others as 4; the copy in
        // the picture format adds 4 more.
        const QImage::Format read = reader.imageFormat();
        const bool deep = read == QImage::Format_RGBA64 || read == QImage::Format_RGBX64 ||
                          read == QImage::Format_RGBA64_Premultiplied ||
                          read == QImage::Format_Grayscale16;
        if (std::int64_t(size.width()) * size.height() * (deep ? 12 : 8) > kWholePictureBytes) {
            error = tooLarge("PNG", size);
            return false;
        }
        // Our own pixel limit applies; Qt's default of 128 MB would refuse
        // large photos that the limit allows.
        reader.setAllocationLimit(0);
        QImage image;
        if (!reader.read(&image)) {
            error = reader.errorString().toStdString();
            return false;
        }
        out = image.convertToFormat(QImage::Format_RGB32);
        return !out.isNull();
    }
    case PictureFormat::Unknown:
        break;
    }
    error = "not a BMP, JPEG or PNG picture";
    return false;
}

namespace {

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::int32_t littleEndian32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                     std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}

} // namespace

bool readPictureSize(const std::string& path, QSize& size, std::string& error,
                     PictureFormat* format) {
    constexpr std::size_t kHead = 256 * 1024;
    std::vector<std::uint8_t> head(kHead);
    {
        const SetFileStream file = openSetFileStream(path, error);
        if (!file)
            return false;
        head.resize(std::fread(head.data(), 1, kHead, file.get()));
    }
    const PictureFormat kind = sniffFormat(head);
    if (format)
        *format = kind;
    const auto bad = [&](const char* what) {
        error = path + ": " + what;
        return false;
    };
    switch (kind) {
    case PictureFormat::Jpeg:
        if (readJpegSize(head, size, error))
            return true;
        if (head.size() < kHead)
            return bad("unreadable JPEG header");
        {
            const FileBytes whole(path);
            if (!whole.ok()) {
                error = whole.error();
                return false;
            }
            if (!readJpegSize(whole.bytes(), size, error))
                return bad("unreadable JPEG header");
        }
        return true;
    case PictureFormat::Png:
        // The IHDR chunk comes first: width and height at bytes 16 and 20.
        if (head.size() < 24 || std::memcmp(head.data() + 12, "IHDR", 4) != 0)
            return bad("unreadable PNG header");
        size = QSize(static_cast<int>(std::min<std::uint32_t>(bigEndian32(&head[16]), INT_MAX)),
                     static_cast<int>(std::min<std::uint32_t>(bigEndian32(&head[20]), INT_MAX)));
        return size.width() > 0 && size.height() > 0 ? true : bad("unreadable PNG header");
    case PictureFormat::Bmp: {
        if (head.size() < 26)
            return bad("unreadable BMP header");
        const std::int32_t headerSize = littleEndian32(&head[14]);
        if (headerSize == 12) { // the old OS/2 header: 16-bit sizes
            size = QSize(head[18] | head[19] << 8, head[20] | head[21] << 8);
        } else {
            const std::int32_t h = littleEndian32(&head[22]);
            size = QSize(littleEndian32(&head[18]), h == INT32_MIN ? 0 : (h < 0 ? -h : h));
        }
        return size.width() > 0 && size.height() > 0 ? true : bad("unreadable BMP header");
    }
    case PictureFormat::Unknown:
        break;
    }
    return bad("not a BMP, JPEG or PNG picture");
}

bool loadPicture(const std::string& path, QImage& out, std::string& error,
                 const JpegDecodeOptions& jpegOptions) {
    out = QImage();
    FileBytes file(path);
    if (!file.ok()) {
        error = file.error();
        return false;
    }
    if (!decodePicture(file.bytes(), out, error, jpegOptions)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

QImage loadSetImage(const std::string& path) {
    QImage image;
    std::string error;
    const FileBytes file(path, std::size_t(64) << 20);
    if (!file.ok()) {
        logInfo("graphics", file.error());
        return {};
    }
    if (sniffFormat(file.bytes()) != PictureFormat::Unknown) {
        if (!decodePicture(file.bytes(), image, error))
            logInfo("graphics", path + ": " + error);
        return image;
    }
    if (!image.loadFromData(file.bytes().data(), static_cast<int>(file.bytes().size())))
        logInfo("graphics", path + ": not a picture that can be read");
    return image;
}

} // namespace skyloom::graphics
