// The row-by-row fitted decode of PNG and BMP files against decoding the
// whole picture and resampling it: the same pixels for every kind of file,
// shrunk, enlarged, covered and cut, interlaced or not; PNG colours against
// Qt's reader; stopped between rows.

#include "BmpBuilder.h"
#include "PngBuilder.h"

#include "graphics/io/BmpCodec.h"
#include "graphics/io/FitStream.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "graphics/io/Resample.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace skyloom::graphics;
using skyloom::test::BmpLayout;
using skyloom::test::buildBmp;
using skyloom::test::buildPng;
using skyloom::test::PngLayout;

namespace {

std::uint8_t noise(std::uint32_t x, std::uint32_t y, std::uint32_t k) {
    std::uint32_t h = x * 73856093u ^ y * 19349663u ^ k * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return static_cast<std::uint8_t>(h >> 15);
}

// Largest difference of any channel; -1 when the sizes differ.
int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return -1;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            worst = std::max({worst, std::abs(qRed(p[x]) - qRed(q[x])),
                              std::abs(qGreen(p[x]) - qGreen(q[x])),
                              std::abs(qBlue(p[x]) - qBlue(q[x]))});
        }
    }
    return worst;
}

struct Fit {
    const char* what;
    QSize target;
    FitMode mode = FitMode::Stretch;
    bool cut = false; // an area inside the picture instead of the whole
};

const Fit kFits[] = {
    {"shrunk", QSize(101, 67)},
    {"enlarged", QSize(450, 320)},
    {"covered", QSize(90, 90), FitMode::Cover},
    {"cut", QSize(64, 40), FitMode::Stretch, true},
};

// The whole picture decoded and resampled as the programs did before.
QImage wholeThenResampled(const std::vector<std::uint8_t>& bytes, QSize picture, const Fit& f) {
    QImage whole;
    std::string error;
    if (!decodePicture(bytes, whole, error))
        return QImage();
    const QRectF area = f.cut ? QRectF(7.5, 5.25, picture.width() / 2.0, picture.height() / 3.0)
                        : f.mode == FitMode::Cover ? coverArea(picture, f.target)
                                                   : QRectF(QPointF(0, 0), QSizeF(picture));
    QImage out(f.target, QImage::Format_RGB32);
    resampleArea(whole, area, out);
    return out;
}

QImage fitted(const std::vector<std::uint8_t>& bytes, QSize picture, const Fit& f,
              std::string& error) {
    FitRequest rq;
    rq.target = f.target;
    rq.mode = f.mode;
    if (f.cut)
        rq.area = QRectF(7.5, 5.25, picture.width() / 2.0, picture.height() / 3.0);
    QImage out;
    decodeFitted(bytes, rq, out, error);
    return out;
}

void expectSameAsWhole(const std::vector<std::uint8_t>& bytes, QSize picture, int tolerance,
                       const std::string& what) {
    for (const Fit& f : kFits) {
        std::string error;
        const QImage streamed = fitted(bytes, picture, f, error);
        ASSERT_FALSE(streamed.isNull()) << what << ", " << f.what << ": " << error;
        const QImage reference = wholeThenResampled(bytes, picture, f);
        ASSERT_FALSE(reference.isNull()) << what;
        EXPECT_LE(largestDifference(streamed, reference), tolerance) << what << ", " << f.what;
    }
}

PngLayout noisePng(std::uint32_t w, std::uint32_t h, int colorType, int depth) {
    PngLayout p;
    p.width = w;
    p.height = h;
    p.colorType = colorType;
    p.depth = depth;
    const int channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
    const int bits = channels * depth;
    p.row = [=](std::uint32_t y, std::uint8_t* row) {
        const std::size_t bytes = (std::size_t(w) * bits + 7) / 8;
        for (std::size_t i = 0; i < bytes; ++i)
            row[i] = noise(static_cast<std::uint32_t>(i), y, 1);
        if (colorType == 3) // indexes within a palette of 16
            for (std::size_t i = 0; i < bytes; ++i)
                row[i] = depth == 8 ? row[i] & 15 : row[i];
    };
    if (colorType == 3) {
        const int entries = depth == 8 ? 16 : 1 << depth;
        for (int i = 0; i < entries * 3; ++i)
            p.palette.push_back(noise(i, 0, 2));
        for (int i = 0; i < entries; i += 2)
            p.trns.push_back(noise(i, 0, 3));
    }
    return p;
}

} // namespace

TEST(FitStream, PngKindsGiveTheWholeDecodesPixels) {
    struct Case {
        const char* what;
        PngLayout layout;
    };
    PngLayout greyKey = noisePng(203, 151, 0, 8);
    greyKey.trns = {0, 40};
    // The whole decode ignores the transparency of palettes below 8 bits
    // (see LowDepthPaletteTransparencyIsLaidOnBlack).
    PngLayout lowPalette = noisePng(257, 129, 3, 2);
    lowPalette.trns.clear();
    PngLayout rgbKey = noisePng(203, 151, 2, 16);
    rgbKey.trns = {0x12, 0x34, 0, 0, 0, 0};
    std::vector<Case> cases = {
        {"RGB 8-bit", noisePng(317, 211, 2, 8)},
        {"RGB 16-bit", noisePng(317, 211, 2, 16)},
        {"RGBA 8-bit on black", noisePng(211, 317, 6, 8)},
        {"RGBA 16-bit on black", noisePng(199, 143, 6, 16)},
        {"grey 8-bit", noisePng(317, 211, 0, 8)},
        {"grey 16-bit", noisePng(301, 157, 0, 16)},
        {"grey 1-bit", noisePng(301, 157, 0, 1)},
        {"grey 4-bit", noisePng(301, 157, 0, 4)},
        {"grey and alpha", noisePng(301, 157, 4, 8)},
        {"grey with a transparent value", greyKey},
        {"16-bit RGB with a transparent colour", rgbKey},
        {"palette 8-bit with transparency", noisePng(257, 129, 3, 8)},
        {"palette 2-bit", lowPalette},
    };
    for (Case c : cases) {
        expectSameAsWhole(buildPng(c.layout), QSize(c.layout.width, c.layout.height), 0, c.what);
        c.layout.interlaced = true;
        expectSameAsWhole(buildPng(c.layout), QSize(c.layout.width, c.layout.height), 0,
                          std::string(c.what) + ", interlaced");
    }
}

TEST(FitStream, PngColoursAgreeWithQtsReader) {
    // Qt's reader laid on black, for the kinds it reads right (it drops the
    // transparency of low-depth palettes and misreads 16-bit colour keys).
    PngLayout palette = noisePng(257, 129, 3, 8);
    palette.trns.clear();
    const PngLayout layouts[] = {noisePng(317, 211, 2, 8), noisePng(317, 211, 2, 16),
                                 noisePng(211, 317, 6, 8), noisePng(199, 143, 6, 16),
                                 noisePng(317, 211, 0, 8), noisePng(301, 157, 0, 16),
                                 noisePng(301, 157, 0, 1), noisePng(301, 157, 0, 4),
                                 noisePng(301, 157, 4, 8), palette,
                                 noisePng(257, 129, 3, 8)};
    for (const PngLayout& layout : layouts) {
        const std::vector<std::uint8_t> bytes = buildPng(layout);
        QImage ours;
        std::string error;
        ASSERT_TRUE(decodePicture(bytes, ours, error)) << error;
        QImage qt = QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "PNG");
        ASSERT_FALSE(qt.isNull());
        qt = qt.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        qt.reinterpretAsFormat(QImage::Format_RGB32);
        EXPECT_LE(largestDifference(ours, qt), 1)
            << "colour type " << layout.colorType << ", depth " << layout.depth;
    }
}

TEST(FitStream, LowDepthPaletteTransparencyIsLaidOnBlack) {
    // Two of four entries partly or fully transparent; pixels 0 1 2 3.
    PngLayout p;
    p.width = 4;
    p.height = 1;
    p.colorType = 3;
    p.depth = 2;
    p.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    p.trns = {128, 0};
    p.row = [](std::uint32_t, std::uint8_t* row) { row[0] = 0x1b; };
    FitRequest rq;
    rq.target = QSize(4, 1);
    QImage out;
    std::string error;
    ASSERT_TRUE(decodeFitted(buildPng(p), rq, out, error)) << error;
    EXPECT_EQ(out.pixel(0, 0), qRgb(5, 10, 15));
    EXPECT_EQ(out.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(2, 0), qRgb(70, 80, 90));
    EXPECT_EQ(out.pixel(3, 0), qRgb(100, 110, 120));
}

namespace {

BmpLayout noiseBmp(int w, int h, int bpp, bool topDown) {
    BmpLayout b;
    b.width = w;
    b.height = topDown ? -h : h;
    b.bpp = bpp;
    if (bpp <= 8)
        for (int i = 0; i < (1 << bpp); ++i)
            b.palette.push_back(qRgb(noise(i, 0, 4), noise(i, 1, 4), noise(i, 2, 4)));
    if (bpp == 16 || bpp == 32)
        b.compression = 0;
    const std::size_t stride = ((std::size_t(w) * bpp + 31) / 32) * 4;
    b.pixels.resize(stride * h);
    for (std::size_t i = 0; i < b.pixels.size(); ++i)
        b.pixels[i] = noise(static_cast<std::uint32_t>(i % stride),
                            static_cast<std::uint32_t>(i / stride), 5);
    return b;
}

// RLE data with runs, literals, a delta over rows and an end of bitmap
// before the top row.
BmpLayout rleBmp(int w, int h, bool four) {
    BmpLayout b;
    b.width = w;
    b.height = h;
    b.bpp = four ? 4 : 8;
    b.compression = four ? 2 : 1;
    for (int i = 0; i < (four ? 16 : 256); ++i)
        b.palette.push_back(qRgb(noise(i, 0, 6), noise(i, 1, 6), noise(i, 2, 6)));
    std::vector<std::uint8_t>& d = b.pixels;
    for (int y = 0; y < h - 3; ++y) {
        if (y == h / 2) { // skip three rows and ten columns
            d.insert(d.end(), {0, 2, 10, 3});
            y += 3;
        }
        int x = y == h / 2 + 3 ? 10 : 0;
        while (x < w) {
            const int n = std::min(w - x, 3 + noise(x, y, 7) % 40);
            if (noise(x, y, 8) & 1 || n < 3) {
                d.push_back(static_cast<std::uint8_t>(n));
                d.push_back(noise(x, y, 9));
            } else {
                d.push_back(0);
                d.push_back(static_cast<std::uint8_t>(n));
                const int bytes = four ? (n + 1) / 2 : n;
                for (int i = 0; i < bytes; ++i)
                    d.push_back(noise(x + i, y, 10));
                if (bytes & 1)
                    d.push_back(0);
            }
            x += n;
        }
        d.insert(d.end(), {0, 0});
    }
    d.insert(d.end(), {0, 1});
    return b;
}

} // namespace

TEST(FitStream, BmpKindsGiveTheWholeDecodesPixels) {
    for (int bpp : {1, 4, 8, 16, 24, 32})
        for (bool topDown : {false, true}) {
            const std::string what =
                std::to_string(bpp) + " bpp " + (topDown ? "top-down" : "bottom-up");
            expectSameAsWhole(buildBmp(noiseBmp(203, 147, bpp, topDown)), QSize(203, 147), 0, what);
        }
    BmpLayout fields = noiseBmp(203, 147, 16, false);
    fields.compression = 3;
    fields.masks = {0xf800, 0x07e0, 0x001f};
    expectSameAsWhole(buildBmp(fields), QSize(203, 147), 0, "16 bpp 5-6-5 bit fields");
    expectSameAsWhole(buildBmp(rleBmp(211, 149, false)), QSize(211, 149), 0, "RLE8");
    expectSameAsWhole(buildBmp(rleBmp(211, 149, true)), QSize(211, 149), 0, "RLE4");
}

TEST(FitStream, DamagedRowsFailWithAReason) {
    // A PNG cut in its picture data, an RLE run past its row.
    std::vector<std::uint8_t> png = buildPng(noisePng(300, 200, 2, 8));
    png.resize(png.size() / 2);
    BmpLayout rle = rleBmp(64, 40, false);
    rle.pixels.insert(rle.pixels.begin(), {200, 1});
    for (const auto& bytes : {png, buildBmp(rle)}) {
        FitRequest rq;
        rq.target = QSize(30, 20);
        QImage out;
        std::string error;
        EXPECT_FALSE(decodeFitted(bytes, rq, out, error));
        EXPECT_TRUE(out.isNull());
        EXPECT_FALSE(error.empty());
    }
}

TEST(FitStream, AStopRequestEndsTheDecodeBetweenRows) {
    // Asked between rows: the decode ends at the first row after the request.
    for (const auto& bytes :
         {buildPng(noisePng(300, 400, 2, 8)), buildBmp(noiseBmp(300, 400, 24, false)),
          buildBmp(rleBmp(300, 400, false))}) {
        int asked = 0;
        FitRequest rq;
        rq.target = QSize(30, 40);
        rq.aborted = [&] { return ++asked > 10; };
        QImage out;
        std::string error;
        FitStats stats;
        EXPECT_FALSE(decodeFitted(bytes, rq, out, error, &stats));
        EXPECT_TRUE(stats.aborted);
        EXPECT_LE(stats.rowsDecoded, 11);
        EXPECT_TRUE(out.isNull());
    }
}

// Rows handed on one at a time instead of a picture (for targets larger
// than memory): the picture's own rows, for PNG, BMP both ways up and
// baseline and progressive JPEG, shrunk and enlarged; a row that cannot be
// stored stops the decode with the reason.
TEST(FitStream, RowsHandedOnAreThePicturesRows) {
    QImage photo(203, 147, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 5 + y) & 255, (y * 3) & 255, noise(x / 4, y / 4, 7)));
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"PNG", buildPng(noisePng(203, 147, 2, 8))},
        {"bottom-up BMP", buildBmp(noiseBmp(203, 147, 24, false))},
        {"top-down BMP", buildBmp(noiseBmp(203, 147, 24, true))}};
    for (bool progressive : {false, true}) {
        JpegEncodeOptions options;
        options.progressive = progressive;
        options.chroma = ChromaSampling::Quarter;
        std::vector<std::uint8_t> jpeg;
        std::string error;
        ASSERT_TRUE(encodeJpeg(photo, options, jpeg, error)) << error;
        files.emplace_back(progressive ? "progressive JPEG" : "baseline JPEG", std::move(jpeg));
    }
    for (const auto& [what, bytes] : files) {
        for (QSize target : {QSize(101, 73), QSize(406, 300)}) {
            FitRequest rq;
            rq.target = target;
            QImage whole;
            std::string error;
            ASSERT_TRUE(decodeFitted(bytes, rq, whole, error)) << what << ": " << error;
            QImage handed(target, QImage::Format_RGB32);
            handed.fill(0);
            std::vector<int> seen(static_cast<std::size_t>(target.height()));
            rq.rows = [&](int y, const QRgb* row) {
                std::memcpy(handed.scanLine(y), row, 4 * std::size_t(target.width()));
                ++seen[static_cast<std::size_t>(y)];
                return true;
            };
            QImage none;
            ASSERT_TRUE(decodeFitted(bytes, rq, none, error)) << what << ": " << error;
            EXPECT_TRUE(none.isNull()) << what;
            EXPECT_EQ(handed, whole) << what << " at " << target.width();
            EXPECT_EQ(std::count(seen.begin(), seen.end(), 0), 0) << what;

            rq.rows = [](int y, const QRgb*) { return y != 40; };
            EXPECT_FALSE(decodeFitted(bytes, rq, none, error)) << what;
            EXPECT_NE(error.find("could not be stored"), std::string::npos)
                << what << ": " << error;
        }
    }
}
