// Pictures that declare far more pixels than they hold: a PNG of a few
// hundred bytes claiming 15,000 x 15,000 pixels, a 16-bit PNG whose pixels
// would need gigabytes, an RLE bitmap of a kilobyte claiming 16,000 x 16,000.
// Decoded whole they are refused with a reason before any pixel memory is
// taken, while pictures of ordinary size still decode; decoded onto a
// screen they are read row by row through a band of a few rows.

#include "PngBuilder.h"

#include "graphics/io/FitStream.h"
#include "graphics/io/PictureFile.h"
#include "saver/PrepImage.h"

#include <QTemporaryDir>
#include <fstream>

#include <QImage>
#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace skyloom::graphics;

namespace {

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return c ^ 0xffffffffu;
}

void put32(std::vector<std::uint8_t>& d, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        d.push_back(static_cast<std::uint8_t>(v >> s));
}

void chunk(std::vector<std::uint8_t>& d, const char* type, const std::vector<std::uint8_t>& body) {
    put32(d, static_cast<std::uint32_t>(body.size()));
    const std::size_t start = d.size();
    d.insert(d.end(), type, type + 4);
    d.insert(d.end(), body.begin(), body.end());
    put32(d, crc32(&d[start], d.size() - start));
}

// A PNG header for width x height RGB at the given bit depth, with a token
// of picture data (never reached when the size is refused).
std::vector<std::uint8_t> pngClaiming(std::uint32_t width, std::uint32_t height, int depth,
                                      bool interlaced = false) {
    std::vector<std::uint8_t> d{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, width);
    put32(ihdr, height);
    ihdr.insert(ihdr.end(),
                {static_cast<std::uint8_t>(depth), 2, 0, 0, static_cast<std::uint8_t>(interlaced)});
    chunk(d, "IHDR", ihdr);
    chunk(d, "IDAT", {0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    chunk(d, "IEND", {});
    return d;
}

// An RLE8 bitmap of width x height whose data is one "end of bitmap".
std::vector<std::uint8_t> rleBitmapClaiming(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> d(54 + 256 * 4 + 2, 0);
    const auto le32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    d[0] = 'B';
    d[1] = 'M';
    le32(2, static_cast<std::uint32_t>(d.size()));
    le32(10, 54 + 256 * 4);
    le32(14, 40);
    le32(18, static_cast<std::uint32_t>(width));
    le32(22, static_cast<std::uint32_t>(height));
    d[26] = 1;
    d[28] = 8;
    le32(30, 1); // BI_RLE8
    le32(34, 2);
    d[d.size() - 2] = 0;
    d[d.size() - 1] = 1; // end of bitmap
    return d;
}

} // namespace

TEST(DecodeBombs, HugeDeclaredSizesAreRefusedWithAReason) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"15000 x 15000 PNG", pngClaiming(15000, 15000, 8)},
        {"16-bit 9000 x 9000 PNG", pngClaiming(9000, 9000, 16)},
        {"16000 x 16000 RLE bitmap", rleBitmapClaiming(16000, 16000)},
    };
    for (const Case& c : cases) {
        QImage out;
        std::string error;
        EXPECT_FALSE(decodePicture(c.bytes, out, error)) << c.what;
        EXPECT_TRUE(out.isNull()) << c.what;
        EXPECT_NE(error.find("too large"), std::string::npos) << c.what << ": " << error;
    }
}

TEST(DecodeBombs, OrdinarySizesStillDecode) {
    // The same kinds at sizes a set really holds: the RLE bitmap decodes
    // (to black), the PNG header passes the size check (its token data is
    // then reported as damaged, not as too large).
    QImage out;
    std::string error;
    EXPECT_TRUE(decodePicture(rleBitmapClaiming(640, 480), out, error)) << error;
    EXPECT_EQ(out.size(), QSize(640, 480));
    error.clear();
    decodePicture(pngClaiming(3000, 2000, 16), out, error);
    EXPECT_EQ(error.find("too large"), std::string::npos) << error;
}

namespace {

// A real picture of the given size, each row one shade: a few hundred
// kilobytes whatever its size.
std::vector<std::uint8_t> shadedPng(std::uint32_t width, std::uint32_t height, int colorType,
                                    int depth) {
    skyloom::test::PngLayout p;
    p.width = width;
    p.height = height;
    p.colorType = colorType;
    p.depth = depth;
    const std::size_t bytes = std::size_t(width) * (colorType == 2 ? 3 : 1) * depth / 8;
    p.row = [=](std::uint32_t y, std::uint8_t* row) {
        std::fill(row, row + bytes, static_cast<std::uint8_t>(y * 255 / height));
    };
    return skyloom::test::buildPng(p);
}

// What the fitted decode onto a 1920 x 1080 screen gives and holds.
struct Fitted {
    bool ok = false;
    QImage picture;
    std::string error;
    FitStats stats;
};

Fitted fitToScreen(const std::vector<std::uint8_t>& bytes, std::function<bool()> aborted = {}) {
    Fitted f;
    FitRequest rq;
    rq.target = QSize(1920, 1080);
    rq.aborted = std::move(aborted);
    f.ok = decodeFitted(bytes, rq, f.picture, f.error, &f.stats);
    return f;
}

// Far below the whole-picture bound of 300 MB: a band of rows is all the
// decoder holds besides the screen-sized result.
constexpr std::int64_t kBandBound = 32LL << 20;

} // namespace

TEST(DecodeBombs, PngBombsFittedToTheScreenHoldOnlyABand) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"15000 x 15000 grey PNG", shadedPng(15000, 15000, 0, 8)},
        {"16-bit 9000 x 9000 RGB PNG", shadedPng(9000, 9000, 2, 16)},
    };
    for (const Case& c : cases) {
        QImage whole;
        std::string error;
        EXPECT_FALSE(decodePicture(c.bytes, whole, error)) << c.what;
        const Fitted f = fitToScreen(c.bytes);
        ASSERT_TRUE(f.ok) << c.what << ": " << f.error;
        EXPECT_EQ(f.picture.size(), QSize(1920, 1080));
        EXPECT_GT(f.stats.bandBytes, 0);
        EXPECT_LT(f.stats.bufferBytes, kBandBound) << c.what;
        // The shades run from black at the top to white at the bottom.
        EXPECT_NEAR(qGray(f.picture.pixel(960, 540)), 127, 3) << c.what;
        EXPECT_LT(qGray(f.picture.pixel(960, 2)), 4) << c.what;
    }
}

TEST(DecodeBombs, RleBombFittedToTheScreenHoldsOnlyABand) {
    // Bottom row first: the band is filled from the bottom of the picture.
    const Fitted f = fitToScreen(rleBitmapClaiming(16000, 16000));
    ASSERT_TRUE(f.ok) << f.error;
    EXPECT_EQ(f.picture.size(), QSize(1920, 1080));
    EXPECT_EQ(f.picture.pixel(1919, 1079), qRgb(0, 0, 0));
    EXPECT_LT(f.stats.bufferBytes, kBandBound);
    EXPECT_EQ(f.stats.rowsDecoded, 16000);
}

TEST(DecodeBombs, AKeyStopsABombsDecodeAtTheNextRow) {
    for (const auto& bytes : {shadedPng(15000, 15000, 0, 8), rleBitmapClaiming(16000, 16000)}) {
        int asked = 0;
        const Fitted f = fitToScreen(bytes, [&] { return ++asked > 100; });
        EXPECT_FALSE(f.ok);
        EXPECT_TRUE(f.stats.aborted);
        EXPECT_LE(f.stats.rowsDecoded, 101);
        EXPECT_NE(f.error.find("stopped"), std::string::npos) << f.error;
    }
}

TEST(DecodeBombs, BombsBeyondTheDecodeLimitsAreRefusedWithAReason) {
    // Interlaced rows are final only after the last pass, so such a PNG is
    // decoded whole, up to a bound; sides and pixel counts have their limits.
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"interlaced 15000 x 15000 PNG", pngClaiming(15000, 15000, 8, true), "interlaced"},
        {"70000 x 100 PNG", pngClaiming(70000, 100, 8), "too large"},
        {"20000 x 20000 PNG", pngClaiming(20000, 20000, 8), "too large"},
        {"70000 x 100 RLE bitmap", rleBitmapClaiming(70000, 100), "too large"},
    };
    for (const Case& c : cases) {
        const Fitted f = fitToScreen(c.bytes);
        EXPECT_FALSE(f.ok) << c.what;
        EXPECT_NE(f.error.find(c.reason), std::string::npos) << c.what << ": " << f.error;
        EXPECT_LT(f.stats.bufferBytes, kBandBound) << c.what;
    }
}

TEST(DecodeBombs, ATargetFarSmallerThanABombIsRefusedBeforeItsBand) {
    // 16000 x 16000 onto 4 x 2: one target row would average 8000 full rows.
    FitRequest rq;
    rq.target = QSize(4, 2);
    QImage out;
    std::string error;
    FitStats stats;
    EXPECT_FALSE(decodeFitted(rleBitmapClaiming(16000, 16000), rq, out, error, &stats));
    EXPECT_NE(error.find("cannot be shrunk"), std::string::npos) << error;
    EXPECT_EQ(stats.rowsDecoded, 0);
}

TEST(DecodeBombs, TheSaverPreparesABombForTheDisplayOrStopsOnAKey) {
    // Before, such a picture was refused as too large; now it is read row
    // by row onto the display, and the saver's stop request ends the read.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath("bomb.png").toStdString();
    {
        const std::vector<std::uint8_t> bytes = shadedPng(15000, 15000, 0, 8);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    skyloom::saver::PrepRequest rq;
    rq.picturePath = path;
    rq.display = {1920, 1080};
    const skyloom::saver::PrepResult shown = skyloom::saver::preparePicture(rq);
    ASSERT_EQ(shown.status, skyloom::saver::PrepResult::Status::Ready) << shown.error;
    EXPECT_EQ(shown.picture.size(), QSize(1920, 1080));

    int asked = 0;
    rq.aborted = [&] { return ++asked > 50; };
    const skyloom::saver::PrepResult stopped = skyloom::saver::preparePicture(rq);
    EXPECT_EQ(stopped.status, skyloom::saver::PrepResult::Status::Aborted) << stopped.error;
    EXPECT_LT(asked, 60);
}
