// EXIF orientation: the tag is read from APP1 (both byte orders, damaged
// segments read as "as stored"), each of the eight orientations turns the
// pixels the way the camera was held, and a JPEG that says "turn a quarter
// clockwise" comes out upright on every decoding path, reporting its upright
// size.

#include "RawJpeg.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/Orientation.h"
#include "graphics/io/PictureFile.h"
#include "tests/support/TempDir.h"

#include <QColor>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <string>
#include <vector>

using namespace skyloom;
using namespace skyloom::graphics;

namespace {

// "Exif\0\0", a TIFF header and an IFD0 with one or two entries.
std::vector<std::uint8_t> app1(int orientation, bool little, bool other = true) {
    std::vector<std::uint8_t> d{'E', 'x', 'i', 'f', 0, 0};
    const auto put16 = [&](unsigned v) {
        if (little) {
            d.push_back(v & 0xff);
            d.push_back(v >> 8);
        } else {
            d.push_back(v >> 8);
            d.push_back(v & 0xff);
        }
    };
    const auto put32 = [&](unsigned v) {
        if (little) {
            put16(v & 0xffff);
            put16(v >> 16);
        } else {
            put16(v >> 16);
            put16(v & 0xffff);
        }
    };
    d.push_back(little ? 'I' : 'M');
    d.push_back(little ? 'I' : 'M');
    put16(42);
    put32(8);
    put16(other ? 2 : 1);
    if (other) { // ImageWidth, LONG, before the orientation
        put16(0x0100);
        put16(4);
        put32(1);
        put32(640);
    }
    put16(0x0112);
    put16(3);
    put32(1);
    put16(orientation);
    put16(0);
    put32(0);
    return d;
}

// A picture whose four corners differ: red, green, blue, white.
QImage corners(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(w - 1, 0, qRgb(0, 255, 0));
    image.setPixel(0, h - 1, qRgb(0, 0, 255));
    image.setPixel(w - 1, h - 1, qRgb(255, 255, 255));
    return image;
}

std::string writeTurnedJpeg(const std::string& path, const QImage& picture, int orientation) {
    test::RawJpeg raw;
    raw.width = picture.width();
    raw.height = picture.height();
    const std::vector<std::uint8_t> exif = app1(orientation, true);
    raw.markers = [&](jpeg_compress_struct& c) {
        jpeg_write_marker(&c, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    };
    raw.row = [&](int y, JSAMPLE* row) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            row[x * 3] = static_cast<JSAMPLE>(qRed(p));
            row[x * 3 + 1] = static_cast<JSAMPLE>(qGreen(p));
            row[x * 3 + 2] = static_cast<JSAMPLE>(qBlue(p));
        }
    };
    return test::writeRawJpeg(path, raw);
}

bool reddish(QRgb p) {
    return qRed(p) > 180 && qGreen(p) < 80 && qBlue(p) < 80;
}

} // namespace

TEST(Orientation, TagIsReadInBothByteOrdersAndDamageMeansAsStored) {
    for (int o = 1; o <= 8; ++o) {
        EXPECT_EQ(exifOrientation(app1(o, true)), o);
        EXPECT_EQ(exifOrientation(app1(o, false)), o);
        EXPECT_EQ(exifOrientation(app1(o, false, false)), o);
    }
    EXPECT_EQ(exifOrientation(app1(9, true)), 1); // no such orientation
    EXPECT_EQ(exifOrientation(app1(0, true)), 1);
    std::vector<std::uint8_t> cut = app1(6, true);
    for (std::size_t n = 0; n < cut.size() - 4; ++n) // every truncation
        EXPECT_EQ(exifOrientation(std::span(cut.data(), n)), 1) << n;
    std::vector<std::uint8_t> far = app1(6, true);
    far[10] = 0xff; // IFD0 beyond the segment
    EXPECT_EQ(exifOrientation(far), 1);
    std::vector<std::uint8_t> many = app1(6, true);
    many[14] = 0xff; // more entries than the segment holds: read up to its end
    many[15] = 0xff;
    EXPECT_EQ(exifOrientation(many), 6);
    many.resize(many.size() - 6); // and the orientation entry cut short
    EXPECT_EQ(exifOrientation(many), 1);
    const std::uint8_t xmp[] = {'h', 't', 't', 'p', ':', '/', '/'};
    EXPECT_EQ(exifOrientation(xmp), 1);
}

// Where the stored top-left pixel (red) ends up, for each orientation.
TEST(Orientation, EachOrientationTurnsAsTheCameraWasHeld) {
    const QImage stored = corners(4, 2);
    struct Case {
        int orientation;
        QSize size;
        QPoint red, green; // stored top-left and top-right as shown
    };
    const Case cases[] = {
        {1, {4, 2}, {0, 0}, {3, 0}}, {2, {4, 2}, {3, 0}, {0, 0}}, {3, {4, 2}, {3, 1}, {0, 1}},
        {4, {4, 2}, {0, 1}, {3, 1}}, {5, {2, 4}, {0, 0}, {0, 3}}, {6, {2, 4}, {1, 0}, {1, 3}},
        {7, {2, 4}, {1, 3}, {1, 0}}, {8, {2, 4}, {0, 3}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        const QImage shown = applyOrientation(stored, c.orientation);
        ASSERT_EQ(shown.size(), c.size);
        EXPECT_EQ(orientedSize(stored.size(), c.orientation), c.size);
        EXPECT_EQ(shown.pixel(c.red), qRgb(255, 0, 0));
        EXPECT_EQ(shown.pixel(c.green), qRgb(0, 255, 0));
    }
}

// Stored 64 x 32, left half red, right half blue, tagged "turn a quarter
// clockwise": shown 32 x 64, red on top.
TEST(Orientation, TurnedPhotoComesOutUprightOnEveryPath) {
    test::TempDir dir;
    QImage stored(64, 32, QImage::Format_RGB32);
    stored.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    const std::string path = dir.file("turned.jpg");
    ASSERT_EQ(writeTurnedJpeg(path, stored, 6), "");
    const auto upright = [](const QImage& image, QSize size, const char* what) {
        ASSERT_EQ(image.size(), size) << what;
        EXPECT_TRUE(reddish(image.pixel(size.width() / 2, size.height() / 4))) << what;
        EXPECT_FALSE(reddish(image.pixel(size.width() / 2, size.height() * 3 / 4))) << what;
    };

    std::string error;
    QSize size;
    ASSERT_TRUE(readPictureSize(path, size, error)) << error;
    EXPECT_EQ(size, QSize(32, 64));
    QImage full;
    ASSERT_TRUE(loadPicture(path, full, error)) << error;
    upright(full, {32, 64}, "full size");
    JpegDecodeOptions half;
    half.minWidth = 16;
    half.minHeight = 32;
    QImage scaled;
    ASSERT_TRUE(loadPicture(path, scaled, error, half)) << error;
    upright(scaled, {16, 32}, "scaled");
    for (FitMode mode : {FitMode::Stretch, FitMode::Cover}) {
        for (JpegThreads threads : {JpegThreads::One, JpegThreads::Several}) {
            QImage fitted;
            ASSERT_TRUE(decodeJpegFittedFile(path, {20, 30}, mode, fitted, error, {}, threads))
                << error;
            upright(fitted, {20, 30}, "fitted");
        }
    }
    // Rows handed on one at a time cannot be turned: refused with the reason.
    const TargetRows rows = [](int, const QRgb*) { return true; };
    EXPECT_FALSE(decodeJpegFittedFileRows(path, {20, 30}, FitMode::Stretch, rows, error));
    EXPECT_NE(error.find("turned"), std::string::npos) << error;
}
