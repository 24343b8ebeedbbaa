// WorkBuff: ownership, independent copies, saving and empty buffers.

#include "BmpBuilder.h"
#include "graphics/WorkBuff.h"
#include "graphics/io/BmpCodec.h"
#include "tests/support/TempDir.h"

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
