// WorkBuff: ownership, independent copies, saving and empty buffers.

#include "BmpBuilder.h"
#include "graphics/WorkBuff.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/LargeBuffer.h"
#include "tests/support/TempDir.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::graphics;

TEST(WorkBuff, MissingFileLeavesItEmpty) {
    test::TempDir dir;
    WorkBuff buffer;
    ASSERT_TRUE(buffer.InitWorkBuff(10, 10, 0));
    EXPECT_FALSE(buffer.InitWorkBuffFromFile(dir.file("nothing.jpg"), 0));
    EXPECT_EQ(buffer.hBMP(), -1);
    EXPECT_EQ(buffer.Width(), 0);
    EXPECT_EQ(buffer.Height(), 0);
    EXPECT_EQ(buffer.hDC(), 0);
    EXPECT_FALSE(buffer.SavePicture(dir.file("out.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));
    EXPECT_FALSE(buffer.InitWorkBuff(0, 10, 0));
}

TEST(WorkBuff, FittedLoadingForFullScreenPictures) {
    test::TempDir dir;
    // Left half red, right half blue, 400 × 200.
    QImage picture(400, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            picture.setPixel(x, y, x < 200 ? qRgb(250, 0, 0) : qRgb(0, 0, 250));
    std::string error;
    ASSERT_TRUE(writeJpeg(dir.file("p.jpg"), picture, 95, error));
    ASSERT_TRUE(writeBmp24(dir.file("p.bmp"), picture, error));
    for (const char* name : {"p.jpg", "p.bmp"}) {
        SCOPED_TRACE(name);
        WorkBuff buffer;
        // Cover 100 × 100: the middle 200 × 200, half red and half blue.
        ASSERT_TRUE(buffer.InitWorkBuffFitted(dir.file(name), 100, 100, FitMode::Cover));
        EXPECT_EQ(buffer.Width(), 100);
        const QImage& fitted = *rasterkit::pixels(buffer.hBMP());
        EXPECT_GT(qRed(fitted.pixel(10, 50)), 240);
        EXPECT_GT(qBlue(fitted.pixel(90, 50)), 240);
        // Stretch keeps all of it: a quarter of the width is still red.
        ASSERT_TRUE(buffer.InitWorkBuffFitted(dir.file(name), 80, 60, FitMode::Stretch));
        EXPECT_EQ(buffer.Height(), 60);
        EXPECT_GT(qRed(rasterkit::pixels(buffer.hBMP())->pixel(30, 30)), 240);
        EXPECT_FALSE(buffer.InitWorkBuffFitted(dir.file(name), 0, 60, FitMode::Stretch));
        EXPECT_EQ(buffer.hBMP(), -1);
    }
    WorkBuff missing;
    EXPECT_FALSE(missing.InitWorkBuffFitted(dir.file("none.jpg"), 10, 10, FitMode::Cover));
}

TEST(FileBytes, RefusesFilesOverTheLimit) {
    test::TempDir dir;
    dir.write("big.bmp", std::string(5000, 'x'));
    graphics::FileBytes ok(dir.file("big.bmp"), 5000);
    EXPECT_TRUE(ok.ok());
    EXPECT_EQ(ok.bytes().size(), 5000u);
    graphics::FileBytes tooBig(dir.file("big.bmp"), 4999);
    EXPECT_FALSE(tooBig.ok());
    EXPECT_NE(tooBig.error().find("too large"), std::string::npos);
    EXPECT_FALSE(graphics::FileBytes(dir.path()).ok()); // a folder
    // Empty files and files larger than their first read are read whole.
    dir.write("empty.bmp", "");
    graphics::FileBytes empty(dir.file("empty.bmp"));
    EXPECT_TRUE(empty.ok());
    EXPECT_TRUE(empty.bytes().empty());
    std::string large(3 << 20, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    dir.write("large.bmp", large);
    graphics::FileBytes whole(dir.file("large.bmp"));
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(std::string(whole.bytes().begin(), whole.bytes().end()), large);
}

TEST(LargeBuffer, ZeroedResizedAndMoved) {
    LargeBuffer buffer(10000);
    ASSERT_NE(buffer.data(), nullptr);
    EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + 10000, [](auto b) { return b == 0; }));
    std::fill_n(buffer.data(), 10000, std::uint8_t{7});
    // Shrinking and growing within the mapping: what comes back reads as zero.
    ASSERT_TRUE(buffer.resize(100));
    ASSERT_TRUE(buffer.resize(5000));
    EXPECT_EQ(buffer.data()[99], 7);
    EXPECT_EQ(buffer.data()[100], 0);
    // Growing past it moves the contents to a new mapping.
    ASSERT_TRUE(buffer.resize(5 << 20));
    EXPECT_EQ(buffer.data()[99], 7);
    EXPECT_EQ(buffer.data()[(5 << 20) - 1], 0);
    LargeBuffer moved = std::move(buffer);
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(moved.size(), std::size_t(5) << 20);
    EXPECT_EQ(moved.data()[99], 7);
    // Sizes the system cannot give leave it empty rather than failing later.
    EXPECT_EQ(LargeBuffer(SIZE_MAX - 10).data(), nullptr);
    EXPECT_FALSE(moved.resize(SIZE_MAX - 10));
    EXPECT_EQ(moved.data()[99], 7);

    // In huge pages where the system has them: the same zeroed, writable
    // memory, and it grows like any other.
    LargeBuffer huge((3 << 20) + 5, LargeBuffer::Pages::Huge);
    ASSERT_NE(huge.data(), nullptr);
    EXPECT_EQ(huge.size(), std::size_t(3 << 20) + 5);
    EXPECT_TRUE(std::all_of(huge.data(), huge.data() + huge.size(), [](auto b) { return b == 0; }));
    std::fill_n(huge.data(), huge.size(), std::uint8_t{9});
    ASSERT_TRUE(huge.resize(std::size_t(4) << 20));
    EXPECT_EQ(huge.data()[(3 << 20) + 4], 9);
    EXPECT_EQ(huge.data()[(3 << 20) + 5], 0);
    ASSERT_TRUE(huge.resize(std::size_t(5) << 20));
    EXPECT_EQ(huge.data()[(3 << 20) + 4], 9);
    EXPECT_EQ(huge.data()[(5 << 20) - 1], 0);
    EXPECT_EQ(LargeBuffer(SIZE_MAX - 10, LargeBuffer::Pages::Huge).data(), nullptr);
}

TEST(WorkBuff, CopiesAreIndependent) {
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writeBmp24(dir.file("p.bmp"), test::testPicture(9, 6), error));
    WorkBuff a;
    ASSERT_TRUE(a.InitWorkBuffFromFile(dir.file("p.bmp"), 0));
    EXPECT_EQ(a.Width(), 9);
    EXPECT_EQ(a.Height(), 6);
    WorkBuff b;
    b = a;
    ASSERT_NE(b.hBMP(), -1);
    EXPECT_NE(b.hBMP(), a.hBMP());
    EXPECT_EQ(*rasterkit::pixels(a.hBMP()), *rasterkit::pixels(b.hBMP()));
    // Drawing into one leaves the other alone.
    rasterkit::pixels(b.hBMP())->setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_NE(rasterkit::pixels(a.hBMP())->pixel(0, 0), qRgb(1, 2, 3));
    {
        WorkBuff c(a);
        EXPECT_EQ(c.Width(), 9);
    } // releasing the copy
    EXPECT_EQ(a.Width(), 9);
    const rasterkit::Handle old = b.hBMP();
    b = b; // self-assignment keeps the pixels in a new buffer
    EXPECT_EQ(b.Width(), 9);
    EXPECT_EQ(rasterkit::GetGCBitmapWidth(old), 0);
    // Assigning an empty buffer empties this one; moving transfers ownership.
    b = WorkBuff();
    EXPECT_EQ(b.hBMP(), -1);
    WorkBuff moved(std::move(a));
    EXPECT_EQ(a.hBMP(), -1);
    EXPECT_EQ(moved.Width(), 9);
    ASSERT_TRUE(moved.SavePicture(dir.file("again.bmp")));
    const rasterkit::Handle h = moved.hBMP();
    moved = WorkBuff();
    EXPECT_EQ(rasterkit::GetGCBitmapWidth(h), 0); // freed with its owner
}
