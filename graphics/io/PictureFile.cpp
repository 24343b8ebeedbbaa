#include "graphics/io/PictureFile.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/PngCodec.h"
#include "graphics/io/StreamInternal.h"

#include "common/Log.h"

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

// BMP and PNG pictures decoded whole have their memory bounded by their
// size: pictures that would need more than kWholePictureBytes for their
// pixels are refused (a 1 KB RLE bitmap or a 700 KB PNG can declare
// 15,000 x 15,000 pixels). Decoded onto a known target (FitStream.h) they
// are read row by row instead; JPEGs are decoded at a DCT scale and keep
// their own limit.
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
        // The same row reader as the fitted decode, into a whole picture
        // of 4 bytes a pixel.
        detail::MemorySource source(data);
        detail::PngRowReader reader(source);
        if (!reader.open(jpegOptions.limits, error))
            return false;
        const QSize size = reader.size();
        if (std::int64_t(size.width()) * size.height() * 4 > kWholePictureBytes) {
            error = tooLarge("PNG", size);
            return false;
        }
        QImage image(size, QImage::Format_RGB32);
        if (image.isNull()) {
            error = "out of memory for the PNG picture";
            return false;
        }
        detail::ImageSink sink(image);
        if (!reader.run(sink, error))
            return false;
        out = std::move(image);
        return true;
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
