// The readers and writers the set maker stores pictures with: JPEG headers
// with their metadata segments, in-memory JPEG encoding, decoding as stored
// and with tolerated data warnings, PNG flattened on black, and the
// averaging shrink of previews.

#include "graphics/io/JpegCodec.h"
#include "graphics/io/JpegHeader.h"
#include "graphics/io/PngCodec.h"
#include "graphics/io/Resample.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyloom::graphics;

namespace {

// Red left half, blue right half.
QImage halves(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, x < w / 2 ? 0xffff0000u : 0xff0000ffu);
    return img;
}

std::vector<std::uint8_t> jpegOf(const QImage& img, JpegEncodeOptions options = {}) {
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(encodeJpeg(img, options, out, error)) << error;
    return out;
}

// An APP1 segment with only an EXIF orientation (little-endian TIFF).
JpegMarker orientationSegment(int orientation) {
    const char exif[] = "Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0";
    std::vector<std::uint8_t> data(exif, exif + sizeof exif - 1);
    data.insert(data.end(), {std::uint8_t(orientation), 0, 0, 0, 0, 0, 0, 0});
    return {0xE1, data};
}

std::vector<std::uint8_t> pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return {bytes.begin(), bytes.end()};
}

// Pseudo-random pixels: the entropy-coded data is most of the file.
QImage noise(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    std::uint32_t seed = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xff000000u | ((seed = seed * 1664525u + 1013904223u) >> 8));
    return img;
}

// Where the first scan's entropy-coded data starts.
std::size_t scanData(const std::vector<std::uint8_t>& jpeg) {
    for (std::size_t i = 0; i + 3 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            return i + 2 + (std::size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    return jpeg.size();
}

bool near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

TEST(StoredJpeg, EncodedBytesCarryTheirSegmentsAndHeaderTellsSizeAndScans) {
    JpegEncodeOptions options;
    options.quality = 92;
    options.chroma = ChromaSampling::Quarter;
    options.markers = {orientationSegment(6), {0xED, {'P', 'S', '3'}}};
    const std::vector<std::uint8_t> plain = jpegOf(halves(120, 80), options);
    options.optimizeCoding = true;
    const std::vector<std::uint8_t> optimized = jpegOf(halves(120, 80), options);
    EXPECT_LT(optimized.size(), plain.size()); // tables made for the picture are smaller
    options.progressive = true;
    const std::vector<std::uint8_t> progressive = jpegOf(halves(120, 80), options);

    JpegHeader header;
    std::string error;
    ASSERT_TRUE(readJpegHeader(optimized, header, error)) << error;
    EXPECT_EQ(header.width, 120);
    EXPECT_EQ(header.height, 80);
    EXPECT_FALSE(header.progressive);
    EXPECT_TRUE(header.plainColour);
    ASSERT_EQ(header.markers.size(), 2u); // APP1 and APP13, in file order
    EXPECT_EQ(header.markers[0].code, 0xE1);
    EXPECT_EQ(header.markers[0].data, options.markers[0].data);
    EXPECT_EQ(header.markers[1].code, 0xED);
    ASSERT_TRUE(readJpegHeader(progressive, header, error));
    EXPECT_TRUE(header.progressive);
    EXPECT_EQ(checkJpegStructure(progressive), "");
    EXPECT_FALSE(readJpegHeader(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF}, header, error));
    EXPECT_NE(error, "");
}

TEST(StoredJpeg, DecodingAsStoredIgnoresTheOrientationAndItsMinimum) {
    JpegEncodeOptions options;
    options.markers = {orientationSegment(6)};
    const std::vector<std::uint8_t> jpeg = jpegOf(halves(200, 100), options);
    QImage shown, stored;
    std::string error;
    ASSERT_TRUE(decodeJpeg(jpeg, shown, error));
    EXPECT_EQ(shown.size(), QSize(100, 200));
    JpegDecodeOptions asStored;
    asStored.upright = false;
    asStored.minWidth = 50; // at 1/2: 100 x 50, meant for the stored picture
    asStored.minHeight = 50;
    asStored.halveProgressive = true;
    ASSERT_TRUE(decodeJpeg(jpeg, stored, error, asStored)) << error;
    EXPECT_EQ(stored.size(), QSize(100, 50));
    EXPECT_TRUE(near(stored.pixel(10, 25), 0xffff0000u, 24));
}

TEST(StoredJpeg, TolerantDecodeAcceptsAScanCutShortButNotDataThatEndsEarly) {
    const std::vector<std::uint8_t> good = jpegOf(noise(128, 128));
    // The scan stops halfway at an end marker: libjpeg warns and fills the
    // rest; the file as such is complete.
    std::vector<std::uint8_t> shortScan(good.begin(),
                                        good.begin() + long((scanData(good) + good.size()) / 2));
    if (shortScan.back() == 0xFF)
        shortScan.pop_back();
    shortScan.insert(shortScan.end(), {0xFF, 0xD9});
    EXPECT_EQ(checkJpegStructure(shortScan), "");
    QImage image;
    std::string error;
    EXPECT_FALSE(decodeJpeg(shortScan, image, error)); // strict: the rest would be grey
    EXPECT_NE(error, "");
    JpegDecodeOptions tolerant;
    tolerant.corruptDataFails = false;
    EXPECT_TRUE(decodeJpeg(shortScan, image, error, tolerant)) << error;
    EXPECT_EQ(image.size(), QSize(128, 128));

    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(good.size() * 2 / 3));
    EXPECT_FALSE(decodeJpeg(cut, image, error, tolerant));
    EXPECT_EQ(error, "premature end of JPEG data");
}

TEST(StoredJpeg, ProgressiveEighthFromTheDcScansMatchesTheFullDecode) {
    JpegEncodeOptions options;
    options.progressive = true;
    const std::vector<std::uint8_t> jpeg = jpegOf(halves(320, 240), options);
    JpegDecodeOptions dc;
    dc.minWidth = 40;
    dc.minHeight = 30;
    dc.dcOnlyAtEighth = true;
    QImage small, full;
    std::string error;
    ASSERT_TRUE(decodeJpeg(jpeg, small, error, dc)) << error;
    ASSERT_EQ(small.size(), QSize(40, 30));
    ASSERT_TRUE(decodeJpeg(jpeg, full, error));
    const QImage reference = shrinkByAveraging(full, {40, 30});
    int far = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            far += !near(small.pixel(x, y), reference.pixel(x, y), 40);
    EXPECT_LT(far, 40 * 30 / 50);
}

TEST(StoredPng, TransparencyLiesOnBlackAndLimitsAndDamageAreRefused) {
    QImage glass(8, 4, QImage::Format_ARGB32);
    glass.fill(0x00ffffffu);                     // fully transparent white
    glass.setPixel(1, 1, 0xff00ff00u);           // one opaque green pixel
    glass.setPixel(2, 1, qRgba(255, 0, 0, 128)); // half red
    const std::vector<std::uint8_t> png = pngOf(glass);
    QImage out;
    std::string error;
    ASSERT_TRUE(decodePngOnBlack(png, out, error, 1000)) << error;
    EXPECT_EQ(out.format(), QImage::Format_RGB32);
    EXPECT_EQ(out.pixel(0, 0), 0xff000000u);
    EXPECT_EQ(out.pixel(1, 1), 0xff00ff00u);
    EXPECT_TRUE(near(out.pixel(2, 1), qRgb(128, 0, 0), 64)); // composed in linear light or not
    EXPECT_EQ(qGreen(out.pixel(2, 1)), 0);

    EXPECT_FALSE(decodePngOnBlack(png, out, error, 31)); // 32 pixels
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    const std::vector<std::uint8_t> cut(png.begin(), png.end() - 20);
    EXPECT_FALSE(decodePngOnBlack(cut, out, error, 1000));
    EXPECT_NE(error, "");
    // A text chunk that claims gigabytes is refused before libpng sees it.
    std::vector<std::uint8_t> bomb(png.begin(), png.begin() + 33);
    bomb.insert(bomb.end(), {0x7f, 0xff, 0xff, 0xf0, 't', 'E', 'X', 't', 'a'});
    EXPECT_FALSE(pngChunksFit(bomb));
    EXPECT_FALSE(decodePngOnBlack(bomb, out, error, 1000));
    EXPECT_NE(error.find("longer than the file"), std::string::npos) << error;
}

TEST(ShrinkByAveraging, EachTargetPixelIsTheRoundedMeanOfItsWholeSourceBlock) {
    // 5 x 1 onto 2 x 1: blocks [0, 2) and [2, 5).
    QImage row(5, 1, QImage::Format_RGB32);
    const int values[5] = {10, 11, 100, 101, 103};
    for (int x = 0; x < 5; ++x)
        row.setPixel(x, 0, qRgb(values[x], 0, 255 - values[x]));
    const QImage out = shrinkByAveraging(row, {2, 1});
    ASSERT_EQ(out.size(), QSize(2, 1));
    EXPECT_EQ(qRed(out.pixel(0, 0)), 11);  // 10.5 rounds up
    EXPECT_EQ(qRed(out.pixel(1, 0)), 101); // 101.33
    EXPECT_EQ(qBlue(out.pixel(1, 0)), 154);
    // Growing repeats pixels; empty input or target gives a null picture.
    EXPECT_EQ(shrinkByAveraging(row, {10, 2}).pixel(9, 1), row.pixel(4, 0));
    EXPECT_TRUE(shrinkByAveraging(QImage(), {2, 2}).isNull());
    EXPECT_TRUE(shrinkByAveraging(row, {0, 1}).isNull());
}
