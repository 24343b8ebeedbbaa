// depthkit: JPEG <-> BMP conversions and the 256-colour reduction.

#include "BmpBuilder.h"
#include "graphics/depthkit/Depthkit.h"
#include "graphics/depthkit/Quantizer.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace skyloom;
using namespace skyloom::graphics;

namespace {

QImage photoLike(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            image.setPixel(x, y,
                           qRgb(int(255 * u), int(255 * (0.5 + 0.5 * std::sin(6 * v + u))),
                                int(255 * (1 - u) * v)));
        }
    return image;
}

bool readBmp(const std::string& path, QImage& out, BmpInfo* info = nullptr) {
    FileBytes file(path);
    std::string error;
    return file.ok() && decodeBmp(file.bytes(), out, error, {}, info);
}

double psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

TEST(Depthkit, CompressAndDecompressRoundTrip) {
    test::TempDir dir;
    const QImage picture = photoLike(120, 80);
    std::string error;
    ASSERT_TRUE(writeBmp24(dir.file("ssj.bmp"), picture, error));
    ASSERT_TRUE(depthkit::DoCompress(dir.file("ssj.bmp"), dir.file("conv.jpg")));
    ASSERT_TRUE(depthkit::DoDecompress(dir.file("conv.jpg"), dir.file("Temp.bmp")));
    QImage back;
    BmpInfo info;
    ASSERT_TRUE(readBmp(dir.file("Temp.bmp"), back, &info));
    EXPECT_EQ(info.bitsPerPixel, 24);
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_GT(psnr(back, picture), 38);
    // Scaled decoding for previews.
    ASSERT_TRUE(depthkit::DoDecompressScaled(dir.file("conv.jpg"), dir.file("tn.bmp"), 30, 20));
    ASSERT_TRUE(readBmp(dir.file("tn.bmp"), back));
    EXPECT_EQ(back.size(), QSize(30, 20));
}

TEST(Depthkit, FailureRemovesAStaleDestination) {
    test::TempDir dir;
    // An old Temp.bmp must not pass for the picture that failed to decode.
    dir.write("Temp.bmp", test::asString(test::buildBmp(
                              test::BmpSpec{1, 1, 24, 0, 40, {}, 0, {}, {1, 2, 3, 0}, -1})));
    dir.write("broken.jpg", std::string("\xff\xd8\xff\xe0 not really", 15));
    EXPECT_FALSE(depthkit::DoDecompress(dir.file("broken.jpg"), dir.file("Temp.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Temp.bmp")));
    EXPECT_FALSE(depthkit::LastError().empty());
    EXPECT_FALSE(depthkit::Do24To8(dir.file("missing.jpg"), dir.file("out.bmp")));
    EXPECT_FALSE(depthkit::DoCompress(dir.file("missing.bmp"), dir.file("out.jpg")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.jpg")));
}

TEST(Depthkit, ReducesTo256ColoursWithDithering) {
    test::TempDir dir;
    const QImage picture = photoLike(200, 150);
    std::string error;
    ASSERT_TRUE(writeJpeg(dir.file("conv.jpg"), picture, 95, error));
    ASSERT_TRUE(depthkit::Do24To8(dir.file("conv.jpg"), dir.file("ssj.bmp")));
    QImage reduced;
    BmpInfo info;
    ASSERT_TRUE(readBmp(dir.file("ssj.bmp"), reduced, &info));
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_LE(info.palette.size(), 256u);
    EXPECT_GT(info.palette.size(), 200u);
    // Any viewer: Qt's reader opens it with the same pixels.
    QImage qt(QString::fromStdString(dir.file("ssj.bmp")));
    ASSERT_EQ(qt.size(), reduced.size());
    EXPECT_EQ(qt.pixel(17, 33) | 0xff000000u, reduced.pixel(17, 33));
    // Close to the original: median cut plus error diffusion.
    EXPECT_GT(psnr(reduced, picture), 30);
}

TEST(Quantizer, FewColoursStayExact) {
    QImage art(16, 16, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(0, 255, 0), qRgb(255, 255, 255), qRgb(255, 255, 0), qRgb(1, 2, 3)};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            art.setPixel(x, y, colours[(x / 4 + y) % 4]);
    const Palettized p = reduceTo8Bits(art);
    EXPECT_EQ(p.palette.size(), 4u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(p.palette[p.indexes[y * 16 + x]], art.pixel(x, y));
    // A limit below the colour count still gives a valid palette.
    const Palettized two = reduceTo8Bits(art, 2);
    EXPECT_LE(two.palette.size(), 2u);
    std::set<int> used(two.indexes.begin(), two.indexes.end());
    EXPECT_LT(*used.rbegin(), static_cast<int>(two.palette.size()));
}
