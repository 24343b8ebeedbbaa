// BMP reading and writing: every bit depth and compression, and the
// malformed files that real BMP readers have crashed on.

#include "BmpBuilder.h"
#include "graphics/WorkBuff.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::graphics;
using skyloom::test::BmpLayout;
using skyloom::test::buildBmp;

namespace {

bool decode(const std::vector<std::uint8_t>& bytes, QImage& out, std::string* why = nullptr,
            BmpInfo* info = nullptr) {
    std::string error;
    const bool ok = decodeBmp(bytes, out, error, {}, info);
    if (why)
        *why = error;
    return ok;
}

void expectSame(const QImage& a, const QImage& b) {
    ASSERT_EQ(a.size(), b.size());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            ASSERT_EQ(a.pixel(x, y) | 0xff000000u, b.pixel(x, y) | 0xff000000u)
                << "pixel " << x << "," << y;
}

const std::vector<QRgb> kPalette = {qRgb(0, 0, 0),     qRgb(255, 0, 0),    qRgb(0, 255, 0),
                                    qRgb(0, 0, 255),   qRgb(255, 255, 0),  qRgb(9, 99, 199),
                                    qRgb(128, 64, 32), qRgb(255, 255, 255)};

// A picture of palette indexes and the RGB picture it stands for.
struct Indexed {
    std::vector<std::vector<int>> rows;
    QImage rgb;
};

Indexed indexedPicture(int colours, int width = 9, int height = 4) {
    Indexed p;
    p.rgb = QImage(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        p.rows.emplace_back();
        for (int x = 0; x < width; ++x) {
            const int i = (x * 3 + y) % colours;
            p.rows.back().push_back(i);
            p.rgb.setPixel(x, y, kPalette[i]);
        }
    }
    return p;
}

// Decodes the file, goes through a work buffer and writes it out again as
// 24 bits; the re-read file must hold the same pixels.
void roundTrip(const std::vector<std::uint8_t>& bytes, const QImage& expected) {
    QImage decoded;
    std::string why;
    ASSERT_TRUE(decode(bytes, decoded, &why)) << why;
    expectSame(decoded, expected);
    test::TempDir dir;
    dir.write("in.bmp", test::asString(bytes));
    WorkBuff buffer;
    ASSERT_TRUE(buffer.InitWorkBuffFromFile(dir.file("in.bmp"), 0));
    ASSERT_TRUE(buffer.SavePicture(dir.file("out.bmp")));
    FileBytes again(dir.file("out.bmp"));
    QImage reread;
    BmpInfo info;
    ASSERT_TRUE(decodeBmp(again.bytes(), reread, why, {}, &info)) << why;
    EXPECT_EQ(info.bitsPerPixel, 24);
    expectSame(reread, expected);
}

} // namespace

TEST(BmpRead, PalettizedDepthsRoundTrip) {
    for (int bpp : {1, 4, 8}) {
        SCOPED_TRACE(bpp);
        const int colours = bpp == 1 ? 2 : 8;
        const Indexed p = indexedPicture(colours);
        BmpLayout layout;
        layout.width = 9;
        layout.height = 4;
        layout.bpp = bpp;
        layout.palette.assign(kPalette.begin(), kPalette.begin() + colours);
        layout.pixels = test::packIndexes(p.rows, bpp);
        roundTrip(buildBmp(layout), p.rgb);
        // Top-down storage of the same picture.
        layout.height = -4;
        layout.pixels = test::packIndexes(p.rows, bpp, true);
        roundTrip(buildBmp(layout), p.rgb);
    }
}

namespace {

// What a picture looks like after storing each channel in fewer bits and
// widening it back to the full 0-255 range.
QImage narrowed(const QImage& picture, int redBits, int greenBits, int blueBits) {
    QImage out = picture.copy();
    auto cut = [](int v, int bits) {
        const int max = (1 << bits) - 1;
        return ((v >> (8 - bits)) * 255 + max / 2) / max;
    };
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            out.setPixel(
                x, y,
                qRgb(cut(qRed(c), redBits), cut(qGreen(c), greenBits), cut(qBlue(c), blueBits)));
        }
    return out;
}

} // namespace

TEST(BmpRead, TrueColourDepthsRoundTrip) {
    const QImage original = test::testPicture();
    for (int bpp : {16, 24, 32}) {
        SCOPED_TRACE(bpp);
        const QImage picture = bpp == 16 ? narrowed(original, 5, 5, 5) : original;
        BmpLayout layout;
        layout.width = picture.width();
        layout.height = picture.height();
        layout.bpp = bpp;
        layout.pixels = test::packPixels(original, bpp);
        roundTrip(buildBmp(layout), picture);
        layout.height = -picture.height();
        layout.pixels = test::packPixels(original, bpp, true);
        roundTrip(buildBmp(layout), picture);
    }
}

TEST(BmpRead, BitFieldsAndOldHeaders) {
    const QImage picture = test::testPicture();
    // 16 bits as 5-6-5 through masks after a 40-byte header.
    BmpLayout layout;
    layout.width = picture.width();
    layout.height = picture.height();
    layout.bpp = 16;
    layout.compression = 3;
    layout.masks = {0xf800, 0x07e0, 0x001f};
    std::vector<std::uint8_t> pixels;
    const std::size_t stride = ((picture.width() * 16 + 31) / 32) * 4;
    for (int n = 0; n < picture.height(); ++n) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, picture.height() - 1 - n);
            test::put(row, 2 * x,
                      ((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3), 2);
        }
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    layout.pixels = pixels;
    QImage out;
    std::string why;
    ASSERT_TRUE(decode(buildBmp(layout), out, &why)) << why;
    expectSame(out, narrowed(picture, 5, 6, 5));

    // 32 bits with swapped masks in a V4 (108-byte) header.
    BmpLayout v4;
    v4.headerSize = 108;
    v4.width = 2;
    v4.height = 1;
    v4.bpp = 32;
    v4.compression = 3;
    v4.masks = {0x000000ff, 0x0000ff00, 0x00ff0000};
    v4.pixels = {10, 20, 30, 0, 40, 50, 60, 0};
    ASSERT_TRUE(decode(buildBmp(v4), out, &why)) << why;
    EXPECT_EQ(out.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(out.pixel(1, 0), qRgb(40, 50, 60));

    // OS/2 core header with a 3-byte palette.
    const Indexed p = indexedPicture(4, 5, 2);
    BmpLayout core;
    core.headerSize = 12;
    core.width = 5;
    core.height = 2;
    core.bpp = 4;
    core.palette = kPalette;
    core.palette.resize(16, qRgb(0, 0, 0));
    core.pixels = test::packIndexes(p.rows, 4);
    ASSERT_TRUE(decode(buildBmp(core), out, &why)) << why;
    expectSame(out, p.rgb);
}

TEST(BmpRead, RunLengthEncoded) {
    // RLE8, 4 × 3: row 0 (bottom) = run of 4 × index 1; row 1 = literal 2,3,1
    // then one skipped pixel; delta over row 2's first two pixels, then index 2 twice.
    BmpLayout layout;
    layout.width = 4;
    layout.height = 3;
    layout.bpp = 8;
    layout.compression = 1;
    layout.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    layout.pixels = {4, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 2, 2, 0, 1};
    QImage out;
    std::string why;
    ASSERT_TRUE(decode(buildBmp(layout), out, &why)) << why;
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(out.pixel(x, 2), kPalette[1]);
    EXPECT_EQ(out.pixel(0, 1), kPalette[2]);
    EXPECT_EQ(out.pixel(2, 1), kPalette[1]);
    EXPECT_EQ(out.pixel(3, 1), qRgb(0, 0, 0)); // skipped pixels stay black
    EXPECT_EQ(out.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(out.pixel(2, 0), kPalette[2]);
    EXPECT_EQ(out.pixel(3, 0), kPalette[2]);

    // RLE4: run of 5 alternating 1,2 then literal 3,0,1.
    BmpLayout four;
    four.width = 8;
    four.height = 1;
    four.bpp = 4;
    four.compression = 2;
    four.palette.assign(kPalette.begin(), kPalette.begin() + 4);
    four.pixels = {5, 0x12, 0, 3, 0x30, 0x10, 0, 1};
    ASSERT_TRUE(decode(buildBmp(four), out, &why)) << why;
    const int want[] = {1, 2, 1, 2, 1, 3, 0, 1};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(out.pixel(x, 0), kPalette[want[x]]) << x;
}

TEST(BmpRead, RefusesMalformedFiles) {
    const Indexed p = indexedPicture(8);
    BmpLayout good;
    good.width = 9;
    good.height = 4;
    good.bpp = 8;
    good.palette = kPalette;
    good.pixels = test::packIndexes(p.rows, 8);
    QImage out;
    ASSERT_TRUE(decode(buildBmp(good), out));

    struct Case {
        const char* name;
        BmpLayout layout;
    };
    std::vector<Case> cases;
    auto with = [&](const char* name, auto change) {
        BmpLayout s = good;
        change(s);
        cases.push_back({name, s});
    };
    with("zero width", [](BmpLayout& s) { s.width = 0; });
    with("negative width", [](BmpLayout& s) { s.width = -9; });
    with("zero height", [](BmpLayout& s) { s.height = 0; });
    with("INT_MIN height", [](BmpLayout& s) { s.height = INT_MIN; });
    with("absurd width", [](BmpLayout& s) { s.width = 30001; });
    with("over 256 megapixels", [](BmpLayout& s) {
        s.width = 20000;
        s.height = 20000;
    });
    with("height lies about the data", [](BmpLayout& s) { s.height = 400; });
    with("offset inside the header", [](BmpLayout& s) { s.offsetOverride = 20; });
    with("offset inside the palette", [](BmpLayout& s) { s.offsetOverride = 14 + 40 + 8; });
    with("offset past the end", [](BmpLayout& s) { s.offsetOverride = 100000; });
    with("more than 256 palette entries", [](BmpLayout& s) { s.colorsUsed = 257; });
    with("palette larger than the file", [](BmpLayout& s) { s.colorsUsed = 200; });
    with("index past the palette", [](BmpLayout& s) {
        s.palette.resize(4);
        s.pixels[0] = 7;
    });
    with("bit depth 7", [](BmpLayout& s) { s.bpp = 7; });
    with("unknown compression", [](BmpLayout& s) { s.compression = 4; });
    with("RLE8 on 24 bits", [](BmpLayout& s) {
        s.bpp = 24;
        s.compression = 1;
    });
    with("top-down RLE", [](BmpLayout& s) {
        s.compression = 1;
        s.height = -4;
        s.pixels = {0, 1};
    });
    with("RLE run past the row", [](BmpLayout& s) {
        s.compression = 1;
        s.pixels = {10, 1, 0, 1};
    });
    with("RLE literal past the row", [](BmpLayout& s) {
        s.compression = 1;
        s.pixels = {0, 10, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1};
    });
    with("RLE delta past the last row", [](BmpLayout& s) {
        s.compression = 1;
        s.pixels = {0, 2, 0, 4, 1, 1, 0, 1};
    });
    with("RLE delta past the row end", [](BmpLayout& s) {
        s.compression = 1;
        s.pixels = {0, 2, 10, 0, 0, 1};
    });
    with("RLE rows past the last row", [](BmpLayout& s) {
        s.compression = 1;
        s.pixels = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1};
    });
    with("RLE index past the palette", [](BmpLayout& s) {
        s.compression = 1;
        s.palette.resize(2);
        s.pixels = {2, 5, 0, 1};
    });
    with("non-contiguous masks", [](BmpLayout& s) {
        s.bpp = 32;
        s.palette.clear();
        s.compression = 3;
        s.masks = {0xff00ff, 0xff00, 0xff};
        s.pixels.assign(9 * 4 * 4, 0);
    });
    with("unknown header size", [](BmpLayout& s) { s.headerSize = 44; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(decode(buildBmp(c.layout), out, &why));
        EXPECT_FALSE(why.empty());
        EXPECT_TRUE(out.isNull());
    }
}

TEST(BmpRead, TruncatedAtEveryByteNeverCrashes) {
    std::vector<std::vector<std::uint8_t>> files;
    const Indexed p = indexedPicture(8);
    BmpLayout pal;
    pal.width = 9;
    pal.height = 4;
    pal.bpp = 8;
    pal.palette = kPalette;
    pal.pixels = test::packIndexes(p.rows, 8);
    files.push_back(buildBmp(pal));
    BmpLayout rle = pal;
    rle.compression = 1;
    rle.pixels = {9, 1, 0, 0, 9, 2, 0, 0, 0, 9, 1, 2, 3, 4, 5, 6, 7, 0, 1, 0, 0, 0, 9, 3, 0, 1};
    files.push_back(buildBmp(rle));
    BmpLayout rgb;
    rgb.width = 7;
    rgb.height = 5;
    rgb.pixels = test::packPixels(test::testPicture(), 24);
    files.push_back(buildBmp(rgb));
    for (const auto& file : files) {
        QImage full;
        std::string why;
        ASSERT_TRUE(decode(file, full, &why)) << why;
        for (std::size_t n = 0; n < file.size(); ++n) {
            std::vector<std::uint8_t> cut(file.begin(), file.begin() + n);
            QImage out;
            if (decode(cut, out)) {
                // Only an RLE file cut after its last row may still load, and then completely.
                EXPECT_EQ(full, out) << "cut at " << n;
            }
        }
    }
}

TEST(BmpWrite, EightBitFileIsStandard) {
    test::TempDir dir;
    const std::vector<std::uint8_t> indexes = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1};
    std::string error;
    ASSERT_TRUE(writeBmp8(dir.file("p.bmp"), 5, 2, indexes, kPalette, error)) << error;
    FileBytes file(dir.file("p.bmp"));
    QImage out;
    BmpInfo info;
    ASSERT_TRUE(decodeBmp(file.bytes(), out, error, {}, &info)) << error;
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_FALSE(info.topDown);
    EXPECT_EQ(info.palette.size(), kPalette.size());
    EXPECT_EQ(out.pixel(0, 0), kPalette[0]);
    EXPECT_EQ(out.pixel(4, 1), kPalette[1]);
    // Qt's own reader agrees.
    QImage qt(QString::fromStdString(dir.file("p.bmp")));
    ASSERT_FALSE(qt.isNull());
    EXPECT_EQ(qt.pixel(3, 1) | 0xff000000u, kPalette[0]);
    EXPECT_FALSE(writeBmp8(dir.file("q.bmp"), 5, 2, indexes, {}, error));
}

// The 24-bit writer packs rows eight and four pixels at a time where the
// processor can: every width (every length of the plain tail), checked
// byte by byte, bottom-up with zero padding, the file the same as the bytes.
TEST(BmpWrite, TwentyFourBitRowsForEveryWidth) {
    test::TempDir dir;
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int w : {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                  15, 16, 17, 19, 23, 24, 27, 31, 32, 33, 64, 257}) {
        const int h = 3;
        QImage picture(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.setPixel(x, y, 0xff000000u | (next() >> 8));
        const std::vector<std::uint8_t> bytes = encodeBmp24(picture);
        const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
        ASSERT_EQ(bytes.size(), 54 + stride * h) << w;
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* row = bytes.data() + 54 + stride * std::size_t(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                const QRgb c = picture.pixel(x, y);
                ASSERT_EQ(row[3 * x], qBlue(c)) << w << " " << x << "," << y;
                ASSERT_EQ(row[3 * x + 1], qGreen(c)) << w << " " << x << "," << y;
                ASSERT_EQ(row[3 * x + 2], qRed(c)) << w << " " << x << "," << y;
            }
            for (std::size_t i = std::size_t(w) * 3; i < stride; ++i)
                ASSERT_EQ(row[i], 0) << "padding of width " << w;
        }
        std::string error;
        ASSERT_TRUE(writeBmp24(dir.file("p.bmp"), picture, error)) << error;
        FileBytes file(dir.file("p.bmp"));
        EXPECT_TRUE(
            std::equal(bytes.begin(), bytes.end(), file.bytes().begin(), file.bytes().end()))
            << w;
    }
    // Pictures of several 1 MB pieces, whose rows cross the pieces' edges:
    // one whose last piece holds only the end of its last row, one of odd
    // width with padding in every row, and one large enough to be shared
    // by two threads.
    std::vector<std::uint8_t> bytes;
    for (const QSize size : {QSize(1024, 342), QSize(1001, 900), QSize(2001, 1400)}) {
        QImage large(size, QImage::Format_RGB32);
        for (int y = 0; y < large.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(large.scanLine(y));
            for (int x = 0; x < large.width(); ++x)
                row[x] = 0xff000000u | (next() >> 8);
        }
        std::string error;
        ASSERT_TRUE(writeBmp24(dir.file("large.bmp"), large, error)) << error;
        bytes = encodeBmp24(large);
        FileBytes file(dir.file("large.bmp"));
        EXPECT_TRUE(
            std::equal(bytes.begin(), bytes.end(), file.bytes().begin(), file.bytes().end()))
            << size.width() << "x" << size.height();
    }

    // A file the disk has no room for fails before anything is written, and
    // is not put in place: the old file stays, with nothing left beside it.
    {
        const skyloom::test::FileSizeLimit limit(1 << 20);
        std::string error;
        QImage large(1001, 900, QImage::Format_RGB32);
        large.fill(0xff102030u);
        EXPECT_FALSE(writeBmp24(dir.file("large.bmp"), large, error));
        EXPECT_NE(error.find("cannot write"), std::string::npos) << error;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2)
        << "p.bmp and large.bmp only";
    EXPECT_EQ(FileBytes(dir.file("large.bmp")).bytes().size(), bytes.size());
}

// A picture too large for memory goes to its file a row at a time and comes
// back a rectangle at a time: rows in any order and parts written over give
// the same file as the whole picture's, readable before it is finished and
// after its name is gone; outside rectangles are cut, writes after the end
// are refused.
TEST(BmpStrips, RowsInAnyOrderGiveTheWholePicturesFile) {
    test::TempDir dir;
    std::uint32_t seed = 99;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    QImage picture(1001, 37, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, 0xff000000u | (next() >> 8));
    const std::string path = dir.file("strips.bmp");
    BmpStripFile file(path, picture.size());
    ASSERT_TRUE(file.ok()) << file.error();
    for (int k = 0; k < 37; ++k) {
        const int y = (k * 17) % 37;
        ASSERT_TRUE(file.writeRow(y, reinterpret_cast<const QRgb*>(picture.constScanLine(y))));
    }
    QImage patch(50, 5, QImage::Format_RGB32);
    patch.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(file.write(patch, QPoint(951, 32)));
    EXPECT_EQ(file.read(QRect(951, 32, 50, 5)), patch);
    ASSERT_TRUE(file.write(picture.copy(951, 32, 50, 5), QPoint(951, 32)));
    EXPECT_FALSE(file.write(patch, QPoint(952, 32))) << "a part reaching past the picture";
    EXPECT_EQ(file.read(QRect(3, 4, 200, 20)), picture.copy(3, 4, 200, 20));
    EXPECT_FALSE(std::filesystem::exists(path));

    // The refused part made the file fail: a new one is written.
    BmpStripFile again(path, picture.size());
    for (int y = 0; y < 37; ++y)
        ASSERT_TRUE(again.writeRow(y, reinterpret_cast<const QRgb*>(picture.constScanLine(y))));
    EXPECT_FALSE(file.finish());
    ASSERT_TRUE(again.finish()) << again.error();
    const std::vector<std::uint8_t> bytes = encodeBmp24(picture);
    FileBytes written(path);
    EXPECT_TRUE(
        std::equal(bytes.begin(), bytes.end(), written.bytes().begin(), written.bytes().end()));
    std::filesystem::remove(path);
    EXPECT_EQ(again.read(QRect(0, 0, 1001, 37)), picture);
    EXPECT_EQ(again.read(QRect(990, 30, 50, 50)), picture.copy(990, 30, 11, 7));
    EXPECT_TRUE(again.read(QRect(2000, 0, 5, 5)).isNull());
    EXPECT_FALSE(again.writeRow(0, reinterpret_cast<const QRgb*>(picture.constScanLine(0))));
}

TEST(BmpStrips, UnnamedFilesAndFailedWrites) {
    test::TempDir dir;
    QImage picture(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            picture.setPixel(x, y, qRgb(x & 255, y, (x * y) & 255));
    {
        BmpStripFile unnamed("", picture.size());
        for (int y = 0; y < 200; ++y)
            ASSERT_TRUE(
                unnamed.writeRow(y, reinterpret_cast<const QRgb*>(picture.constScanLine(y))));
        ASSERT_TRUE(unnamed.finish()) << unnamed.error();
        EXPECT_EQ(unnamed.read(QRect(10, 20, 280, 170)), picture.copy(10, 20, 280, 170));
    }
    // Rows past a file-size limit fail the file, which is not put in place
    // over the old one.
    dir.write("old.bmp", "old");
    const std::string path = dir.file("old.bmp");
    {
        const skyloom::test::FileSizeLimit limit(1 << 20);
        BmpStripFile big(path, QSize(2000, 1000));
        std::vector<QRgb> row(2000, qRgb(9, 9, 9));
        bool refused = false;
        for (int y = 0; y < 1000 && !refused; ++y)
            refused = !big.writeRow(y, row.data());
        EXPECT_TRUE(refused);
        EXPECT_FALSE(big.ok());
        EXPECT_NE(big.error().find("cannot write"), std::string::npos) << big.error();
        EXPECT_FALSE(big.finish());
    }
    EXPECT_EQ(FileBytes(path).bytes().size(), 3u);
    BmpStripFile empty(dir.file("e.bmp"), QSize(0, 5));
    EXPECT_FALSE(empty.ok());
}
