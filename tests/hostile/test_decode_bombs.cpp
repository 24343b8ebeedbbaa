// Pictures that declare far more pixels than they hold: a PNG of a few
// hundred bytes claiming 15,000 x 15,000 pixels, a 16-bit PNG whose pixels
// would need gigabytes, an RLE bitmap of a kilobyte claiming 16,000 x 16,000.
// They are refused with a reason before any pixel memory is taken, while
// pictures of ordinary size still decode.

#include "graphics/io/PictureFile.h"

#include <QImage>
#include <array>
#include <cstdint>
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
std::vector<std::uint8_t> pngClaiming(std::uint32_t width, std::uint32_t height, int depth) {
    std::vector<std::uint8_t> d{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, width);
    put32(ihdr, height);
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(depth), 2, 0, 0, 0});
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
        {"16-bit 6000 x 5000 PNG", pngClaiming(6000, 5000, 16)},
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
