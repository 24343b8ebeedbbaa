// Print-ready JPEGs store inks (CMYK, or YCCK: CMYK with the colour part as
// YCbCr). They are written here with libjpeg itself, inverted as Photoshop
// stores them (with Adobe's marker) and plain, and must come out in their
// colours on every decoding path: full, scaled, fitted from memory and from
// a file, with one and with several decoders.

#include "RawJpeg.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "tests/support/TempDir.h"

#include <QColor>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <string>
#include <vector>

using namespace skyloom;
using namespace skyloom::graphics;

namespace {

struct Ink {
    int c, m, y, k;
};

// Four bands: red, green, blue and a dark grey, as ink amounts 0-255.
constexpr Ink kBands[4] = {{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 180}};
constexpr QRgb kColours[4] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xff4b4b4b};

// Writes a 64 x 48 picture of the bands (16 columns each), as CMYK or YCCK;
// Adobe-inverted samples when `inverted` (libjpeg writes the marker either
// way; the flag tells how the samples are meant, as a reader sees it from
// the marker's presence, so the plain case leaves the marker out).
std::string writeInks(const std::string& path, J_COLOR_SPACE space, bool inverted,
                      bool progressive) {
    test::RawJpeg picture;
    picture.width = 64;
    picture.height = 48;
    picture.components = 4;
    picture.input = JCS_CMYK;
    picture.setUp = [&](jpeg_compress_struct& c) {
        jpeg_set_colorspace(&c, space);
        c.write_Adobe_marker = inverted ? TRUE : FALSE;
        if (progressive)
            jpeg_simple_progression(&c);
    };
    picture.row = [&](int, JSAMPLE* row) {
        for (int x = 0; x < 64; ++x) {
            const Ink ink = kBands[x / 16];
            const int v[4] = {ink.c, ink.m, ink.y, ink.k};
            for (int i = 0; i < 4; ++i)
                row[x * 4 + i] = static_cast<JSAMPLE>(inverted ? 255 - v[i] : v[i]);
        }
    };
    return test::writeRawJpeg(path, picture);
}

// The middle of each band has its colour, within JPEG's few levels.
void expectBands(const QImage& image, const std::string& what) {
    ASSERT_FALSE(image.isNull()) << what;
    for (int band = 0; band < 4; ++band) {
        const QColor seen(image.pixel(image.width() * (2 * band + 1) / 8, image.height() / 2));
        const QColor want(kColours[band]);
        EXPECT_NEAR(seen.red(), want.red(), 6) << what << ", band " << band;
        EXPECT_NEAR(seen.green(), want.green(), 6) << what << ", band " << band;
        EXPECT_NEAR(seen.blue(), want.blue(), 6) << what << ", band " << band;
    }
}

} // namespace

TEST(JpegInks, CmykAndYcckShowTheirColoursOnEveryPath) {
    test::TempDir dir;
    for (J_COLOR_SPACE space : {JCS_CMYK, JCS_YCCK}) {
        for (bool inverted : {true, false}) {
            // YCCK is only told by Adobe's marker; without it a reader sees CMYK.
            if (space == JCS_YCCK && !inverted)
                continue;
            for (bool progressive : {false, true}) {
                const std::string what = std::string(space == JCS_CMYK ? "CMYK" : "YCCK") +
                                         (inverted ? " inverted" : " plain") +
                                         (progressive ? " progressive" : "");
                const std::string path = dir.file("inks.jpg");
                ASSERT_EQ(writeInks(path, space, inverted, progressive), "") << what;
                QImage full;
                std::string error;
                ASSERT_TRUE(loadPicture(path, full, error)) << what << ": " << error;
                EXPECT_EQ(full.size(), QSize(64, 48));
                expectBands(full, what + ", full size");

                JpegDecodeOptions half;
                half.minWidth = 16;
                half.minHeight = 12;
                QImage scaled;
                ASSERT_TRUE(loadPicture(path, scaled, error, half)) << what << ": " << error;
                EXPECT_EQ(scaled.size(), QSize(16, 12));
                expectBands(scaled, what + ", scaled");

                for (JpegThreads threads : {JpegThreads::One, JpegThreads::Several}) {
                    QImage fitted;
                    ASSERT_TRUE(decodeJpegFittedFile(path, QSize(40, 30), FitMode::Stretch, fitted,
                                                     error, {}, threads))
                        << what << ": " << error;
                    expectBands(fitted, what + ", fitted from the file");
                }
            }
        }
    }
}
