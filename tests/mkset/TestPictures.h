#pragma once
// Pictures made at test time: JPEGs with EXIF, IPTC and XMP segments, PNGs
// with text chunks, damaged files.

#include "graphics/io/JpegCodec.h"

#include <QImage>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::test {

/// Plain colours of the test pictures, 0xRRGGBB.
constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

using graphics::JpegMarker;

/// Left half `left`, right half `right` (RGB colours 0xRRGGBB).
inline QImage twoHalves(int w, int h, std::uint32_t left, std::uint32_t right) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xFF000000u | (x < w / 2 ? left : right));
    return img;
}

/// Sets the green channel of one pixel.
inline void setGreen(QImage& img, int x, int y, int green) {
    const QRgb c = img.pixel(x, y);
    img.setPixel(x, y, qRgb(qRed(c), green, qBlue(c)));
}

inline std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

/// An EXIF APP1 segment (little-endian TIFF) with IFD0 entries for the
/// orientation (0: none) and, when not empty, ImageDescription, Make and the
/// Windows XPTitle (given as UTF-16LE bytes).
inline JpegMarker exifSegment(int orientation, const std::string& description,
                              const std::string& make = "", const std::string& xpTitleUtf16 = "") {
    struct Entry {
        std::uint16_t tag, type;
        std::string data; // value bytes
        std::uint32_t count;
    };
    std::vector<Entry> entries;
    if (!description.empty())
        entries.push_back({0x010E, 2, description + '\0', std::uint32_t(description.size() + 1)});
    if (!make.empty())
        entries.push_back({0x010F, 2, make + '\0', std::uint32_t(make.size() + 1)});
    if (orientation)
        entries.push_back({0x0112, 3, std::string{char(orientation), '\0', '\0', '\0'}, 1});
    if (!xpTitleUtf16.empty())
        entries.push_back({0x9C9B, 1, xpTitleUtf16 + std::string(2, '\0'),
                           std::uint32_t(xpTitleUtf16.size() + 2)});
    std::string tiff = std::string("II*\0", 4) + std::string("\x08\0\0\0", 4);
    auto put16 = [](std::string& s, std::uint32_t v) {
        s.push_back(char(v & 0xFF));
        s.push_back(char((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::string& s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    std::string ifd, extra;
    const std::uint32_t dataStart = 8 + 2 + 12 * std::uint32_t(entries.size()) + 4;
    put16(ifd, std::uint32_t(entries.size()));
    for (const auto& e : entries) {
        put16(ifd, e.tag);
        put16(ifd, e.type);
        put32(ifd, e.count);
        if (e.data.size() <= 4) {
            ifd += e.data + std::string(4 - e.data.size(), '\0');
        } else {
            put32(ifd, dataStart + std::uint32_t(extra.size()));
            extra += e.data;
            if (extra.size() % 2)
                extra.push_back('\0');
        }
    }
    put32(ifd, 0);
    return {0xE1, bytesOf(std::string("Exif\0\0", 6) + tiff + ifd + extra)};
}

/// An XMP APP1 segment with dc:title (x-default) and dc:description.
inline JpegMarker xmpSegment(const std::string& title, const std::string& description) {
    std::string xml = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><rdf:Description>";
    if (!title.empty())
        xml += "<dc:title><rdf:Alt><rdf:li xml:lang=\"de\">Anders</rdf:li>"
               "<rdf:li xml:lang=\"x-default\">" +
               title + "</rdf:li></rdf:Alt></dc:title>";
    if (!description.empty())
        xml += "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + description +
               "</rdf:li></rdf:Alt></dc:description>";
    xml += "</rdf:Description></rdf:RDF></x:xmpmeta>";
    return {0xE1, bytesOf(std::string("http://ns.adobe.com/xap/1.0/\0", 29) + xml)};
}

/// A Photoshop APP13 segment with IPTC Object Name (2:05) and Caption (2:120).
inline JpegMarker iptcSegment(const std::string& objectName, const std::string& caption) {
    std::string iim;
    auto dataset = [&](int set, const std::string& v) {
        iim += std::string{'\x1C', '\x02', char(set), char(v.size() >> 8), char(v.size() & 0xFF)};
        iim += v;
    };
    if (!objectName.empty())
        dataset(5, objectName);
    if (!caption.empty())
        dataset(120, caption);
    std::string res = std::string("8BIM\x04\x04\0\0", 8);
    const auto n = std::uint32_t(iim.size());
    res += std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    res += iim;
    if (res.size() % 2)
        res.push_back('\0');
    return {0xED, bytesOf(std::string("Photoshop 3.0\0", 14) + res)};
}

inline std::string jpegOf(const QImage& img, const std::vector<JpegMarker>& markers = {},
                          bool progressive = false) {
    graphics::JpegEncodeOptions options;
    options.quality = 90;
    options.chroma = graphics::ChromaSampling::Quarter;
    options.optimizeCoding = true;
    options.progressive = progressive;
    options.markers = markers;
    std::vector<std::uint8_t> bytes;
    std::string error;
    graphics::encodeJpeg(img, options, bytes, error);
    return {bytes.begin(), bytes.end()};
}

/// A PNG (RGBA when `alpha` is given: that opacity everywhere), with tEXt
/// chunks (keyword, text) after the header.
inline std::string pngOf(const QImage& img, int alpha = -1,
                         const std::vector<std::pair<std::string, std::string>>& texts = {}) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(img.width());
    image.height = png_uint_32(img.height());
    image.format = alpha >= 0 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::vector<std::uint8_t> px;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            px.insert(px.end(),
                      {std::uint8_t(qRed(c)), std::uint8_t(qGreen(c)), std::uint8_t(qBlue(c))});
            if (alpha >= 0)
                px.push_back(std::uint8_t(alpha));
        }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, px.data(), 0, nullptr);
    std::string out(size, '\0');
    png_image_write_to_memory(&image, out.data(), &size, 0, px.data(), 0, nullptr);
    out.resize(size);
    png_image_free(&image);
    std::string chunks;
    for (const auto& [key, text] : texts) {
        const std::string body = "tEXt" + key + '\0' + text;
        const auto len = std::uint32_t(body.size() - 4);
        const auto crc =
            std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size())));
        chunks += std::string{char(len >> 24), char(len >> 16), char(len >> 8), char(len)} + body +
                  std::string{char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    }
    return out.insert(33, chunks); // after the signature and IHDR
}

/// The colour of a pixel as 0xRRGGBB.
inline std::uint32_t colourAt(const QImage& img, int x, int y) {
    return img.pixel(x, y) & 0xFFFFFFu;
}

/// True when two colours differ by at most `tolerance` in every channel.
inline bool near(std::uint32_t a, std::uint32_t b, int tolerance = 24) {
    for (int shift : {16, 8, 0}) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d > tolerance || d < -tolerance)
            return false;
    }
    return true;
}

} // namespace skyloom::test
