#include "graphics/io/PictureFile.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

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

bool decodePicture(std::span<const std::uint8_t> data, QImage& out, std::string& error,
                   const JpegDecodeOptions& jpegOptions) {
    switch (sniffFormat(data)) {
    case PictureFormat::Bmp:
        return decodeBmp(data, out, error, jpegOptions.limits);
    case PictureFormat::Jpeg:
        return decodeJpeg(data, out, error, jpegOptions);
    case PictureFormat::Png: {
        QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data.data()),
                                                   static_cast<qsizetype>(data.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!sizeAllowed(size.width(), size.height(), jpegOptions.limits)) {
            error = "PNG picture is too large or unreadable";
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

} // namespace skyloom::graphics
