// Building the prepared picture from real picture files.

#include "graphics/io/BmpCodec.h"
#include "graphics/io/JpegCodec.h"
#include "graphics/io/PictureFile.h"
#include "saver/PrepImage.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <filesystem>

using namespace skyloom;
using namespace skyloom::saver;

namespace {

class PrepImageTest : public ::testing::Test {
protected:
    std::string program() const { return dir.path() + "/"; }

    // A JPEG of w × h: left half red, right half blue.
    std::string halves(const std::string& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        QPainter p(&image);
        p.fillRect(0, 0, w / 2, h, Qt::red);
        p.fillRect(w / 2, 0, w - w / 2, h, Qt::blue);
        p.end();
        std::string error;
        const std::string path = dir.file(name);
        EXPECT_TRUE(graphics::writeJpeg(path, image, 95, error)) << error;
        return path;
    }

    PrepRequest request(const std::string& picture, Size display) {
        PrepRequest rq;
        rq.programPath = program();
        rq.picturePath = picture;
        rq.display = display;
        return rq;
    }

    static bool near(QRgb a, QRgb b, int tolerance = 24) {
        return std::abs(qRed(a) - qRed(b)) <= tolerance &&
               std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
               std::abs(qBlue(a) - qBlue(b)) <= tolerance;
    }

    test::TempDir dir;
};

} // namespace

TEST_F(PrepImageTest, StretchedOrCentredAndPublishedAsTheWorkFile) {
    const std::string pic = halves("pic.jpg", 640, 480);
    PrepRequest rq = request(pic, {1024, 768});
    PrepResult r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
    EXPECT_EQ(r.picture.size(), QSize(1024, 768));
    EXPECT_EQ(r.pictureSize, (Size{640, 480}));
    EXPECT_TRUE(near(r.picture.pixel(0, 0), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(1023, 767), qRgb(0, 0, 255)));
    EXPECT_TRUE(std::filesystem::exists(dir.file(kPreparedFile)));
    EXPECT_FALSE(std::filesystem::exists(dir.file(kWorkFile)));
    QImage published;
    std::string error;
    ASSERT_TRUE(graphics::loadPicture(dir.file(kPreparedFile), published, error));
    EXPECT_EQ(published, r.picture);

    rq.stretch = false;
    r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready);
    EXPECT_EQ(r.picture.pixel(191, 143), qRgb(0, 0, 0));
    EXPECT_TRUE(near(r.picture.pixel(192, 144), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(192 + 639, 144 + 479), qRgb(0, 0, 255)));
    EXPECT_EQ(r.picture.pixel(192 + 640, 144 + 480), qRgb(0, 0, 0));
}

TEST_F(PrepImageTest, ScaledDecodingKeepsTheFullSizeGeometryOfAStillPanorama) {
    // 6000 × 1600 panorama, red up to column 3000, shown still: the cut-out
    // is CInt(1600 × 1024 / 768) = 2133 wide, shrunk to 1024, so the picture
    // is decoded at half size; the cut must still sit where the full size says.
    const std::string pic = halves("pano.jpg", 6000, 1600);
    PrepRequest rq = request(pic, {1024, 768});
    rq.panDirection = "LeftToRight";
    rq.panEnabled = false;
    rq.panoramicOrigin = 3100;
    PrepResult r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
    EXPECT_EQ(r.pictureSize, (Size{2133, 1600}));
    EXPECT_FALSE(r.keepsPanDirection);
    for (int x : {0, 2, 512, 1023})
        EXPECT_TRUE(near(r.picture.pixel(x, 384), qRgb(0, 0, 255))) << x;
    // Cut at 2500: the red part is 500 of 2133 columns, 240 display columns.
    rq.panoramicOrigin = 2500;
    r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready);
    EXPECT_TRUE(near(r.picture.pixel(230, 384), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(250, 384), qRgb(0, 0, 255)));
    // A "panorama" narrower than the display's shape: the cut-out reaches
    // past its right edge, which stays black instead of smearing the edge.
    const std::string narrow = halves("narrow.jpg", 400, 600);
    rq.picturePath = narrow;
    rq.panoramicOrigin = 0;
    r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready);
    EXPECT_TRUE(near(r.picture.pixel(100, 384), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(400, 384), qRgb(0, 0, 255)));
    EXPECT_EQ(r.picture.pixel(700, 384), qRgb(0, 0, 0));
    rq.picturePath = pic;
    // With motion the panorama keeps its direction and the display height.
    rq.panEnabled = true;
    r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready);
    EXPECT_TRUE(r.keepsPanDirection);
    EXPECT_EQ(r.picture.size(), QSize(2880, 768));
}

TEST_F(PrepImageTest, LayerIsBlendedTwentyPixelsFromTheCornerOfTheFirstView) {
    const std::string pic = halves("pic.jpg", 1024, 768);
    QImage layer(10, 10, QImage::Format_RGB32);
    layer.fill(Qt::white);
    std::string error;
    ASSERT_TRUE(graphics::writeBmp24(dir.file("layer.bmp"), layer, error));
    PrepRequest rq = request(pic, {1024, 768});
    rq.layerPath = dir.file("layer.bmp");
    rq.layerTranslucency = 0;
    PrepResult r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready);
    EXPECT_EQ(r.picture.pixel(1024 - 30, 768 - 30), qRgb(255, 255, 255));
    EXPECT_EQ(r.picture.pixel(1024 - 21, 768 - 21), qRgb(255, 255, 255));
    EXPECT_TRUE(near(r.picture.pixel(1024 - 20, 768 - 20), qRgb(0, 0, 255)));
    // A layer that is not a picture is skipped, the picture still shows.
    dir.write("broken.bmp", "BM not really");
    rq.layerPath = dir.file("broken.bmp");
    EXPECT_EQ(preparePicture(rq).status, PrepResult::Status::Ready);
}

TEST_F(PrepImageTest, BrokenOrMissingPicturesFailWithAReason) {
    dir.write("broken.jpg", std::string("\xff\xd8\xff\xe0", 4) + "garbage");
    PrepResult r = preparePicture(request(dir.file("broken.jpg"), {320, 240}));
    EXPECT_EQ(r.status, PrepResult::Status::LoadFailed);
    EXPECT_FALSE(r.error.empty());
    r = preparePicture(request(dir.file("missing.jpg"), {320, 240}));
    EXPECT_EQ(r.status, PrepResult::Status::LoadFailed);
    EXPECT_FALSE(std::filesystem::exists(dir.file(kPreparedFile)));
    // A one-pixel picture is fine.
    QImage dot(1, 1, QImage::Format_RGB32);
    dot.fill(Qt::green);
    std::string error;
    ASSERT_TRUE(graphics::writeBmp24(dir.file("dot.bmp"), dot, error));
    PrepRequest rq = request(dir.file("dot.bmp"), {320, 240});
    rq.panDirection = "TopToBottom";
    rq.panEnabled = false;
    r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
    EXPECT_EQ(r.picture.size(), QSize(320, 240));
}

TEST_F(PrepImageTest, LowColourDisplaysGetAnEightBitPicture) {
    const std::string pic = halves("pic.jpg", 320, 240);
    PrepRequest rq = request(pic, {320, 240});
    rq.bitsPerPixel = 16;
    PrepResult r = preparePicture(rq);
    ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
    const std::string bmp = test::TempDir::readPath(dir.file(kPreparedFile));
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(static_cast<unsigned char>(bmp[28]), 8); // bits per pixel of the header
    EXPECT_FALSE(std::filesystem::exists(dir.file(kConvertFile)));
    EXPECT_TRUE(near(r.picture.pixel(10, 120), qRgb(255, 0, 0), 40));
}

TEST_F(PrepImageTest, AbortDuringSmoothingPublishesNothing) {
    const std::string pic = halves("small.jpg", 64, 48);
    PrepRequest rq = request(pic, {1024, 768});
    rq.aborted = [] { return true; };
    EXPECT_EQ(preparePicture(rq).status, PrepResult::Status::Aborted);
    EXPECT_FALSE(std::filesystem::exists(dir.file(kPreparedFile)));
}

// Stretch keeps proportions: a 16:9 photo on a 4:3 display is fitted inside
// on black (the red and blue halves keep their width: the split stays in the
// middle and each half is as wide as it is tall in the photo's shape); a
// photo only a little wider covers the display, its sides cut; with
// "keepAspect" off the old stretch fills the display, distorting.
TEST_F(PrepImageTest, StretchKeepsProportions) {
    for (bool jpeg : {true, false}) {
        SCOPED_TRACE(jpeg ? "JPEG" : "BMP");
        std::string wide = halves("wide.jpg", 1600, 900);
        if (!jpeg) {
            QImage image;
            std::string error;
            ASSERT_TRUE(graphics::loadPicture(wide, image, error));
            wide = dir.file("wide.bmp");
            ASSERT_TRUE(graphics::writeBmp24(wide, image, error)) << error;
        }
        PrepRequest rq = request(wide, {1024, 768});
        PrepResult r = preparePicture(rq);
        ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
        ASSERT_EQ(r.picture.size(), QSize(1024, 768));
        // 1024 x 576, 96 rows of black above and below.
        EXPECT_EQ(r.picture.pixel(512, 95), qRgb(0, 0, 0));
        EXPECT_TRUE(near(r.picture.pixel(10, 97), qRgb(255, 0, 0)));
        EXPECT_TRUE(near(r.picture.pixel(1013, 670), qRgb(0, 0, 255)));
        EXPECT_EQ(r.picture.pixel(512, 672), qRgb(0, 0, 0));

        rq.keepAspect = false;
        r = preparePicture(rq);
        ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
        EXPECT_TRUE(near(r.picture.pixel(10, 2), qRgb(255, 0, 0)));
        EXPECT_TRUE(near(r.picture.pixel(1013, 765), qRgb(0, 0, 255)));
    }
    // 1100 x 768 on 1024 x 768: 38 columns cut from each side.
    const std::string wider = halves("wider.jpg", 1100, 768);
    PrepResult r = preparePicture(request(wider, {1024, 768}));
    ASSERT_EQ(r.status, PrepResult::Status::Ready) << r.error;
    EXPECT_EQ(r.pictureSize, (Size{1024, 768}));
    EXPECT_TRUE(near(r.picture.pixel(0, 384), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(1023, 384), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(r.picture.pixel(505, 384), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(r.picture.pixel(518, 384), qRgb(0, 0, 255)));
}

// A moving panorama too large to hold goes row by row to its work file and
// is smoothed and given its layer there: the published file, the whole
// picture read back and the window handed on are the same pixels as when
// the picture is held whole, for panoramas enlarged (and so smoothed) and
// fitted at their own height, in every direction, from PNG, BMP and JPEG.
// Low-colour displays show such a panorama still, and so does a full disk;
// a stop publishes nothing.
TEST_F(PrepImageTest, PanoramasTooLargeToHoldAreTheSamePicturesFromTheirFile) {
    auto noisy = [](int w, int h) {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb((x * 7) & 255, (y * 5 + x) & 255, ((x ^ y) * 37) & 255));
        return image;
    };
    std::string error;
    ASSERT_TRUE(graphics::writeBmp24(dir.file("layer.bmp"), noisy(12, 9), error)) << error;
    auto save = [&](const std::string& name, const QImage& image) {
        const std::string path = dir.file(name);
        const bool ok = name.ends_with(".jpg") ? graphics::writeJpeg(path, image, 90, error)
                                               : image.save(QString::fromStdString(path));
        EXPECT_TRUE(ok) << name;
        return path;
    };
    struct Case {
        std::string file;
        std::string direction;
        bool down;
    };
    const std::string wide = save("wide.png", noisy(1500, 100));
    const std::string own = save("own.bmp", noisy(2000, 240));
    const std::string tall = save("tall.png", noisy(100, 900));
    const std::string photo = save("photo.jpg", noisy(1200, 160));
    const Case cases[] = {{wide, "LeftToRight", false}, {wide, "RightToLeft", false},
                          {own, "RightToLeft", false},  {own, "LeftToRight", false},
                          {tall, "TopToBottom", true},  {tall, "BottomToTop", true},
                          {photo, "LeftToRight", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.direction);
        PrepRequest rq = request(c.file, {320, 240});
        rq.panDirection = c.direction;
        rq.layerPath = dir.file("layer.bmp");
        rq.layerTranslucency = 40;
        const PrepResult held = preparePicture(rq);
        ASSERT_EQ(held.status, PrepResult::Status::Ready) << held.error;
        ASSERT_FALSE(held.strips);
        const std::string heldFile = test::TempDir::readPath(dir.file(kPreparedFile));

        rq.inMemoryPixels = 1000;
        rq.windowAhead = 30;
        const PrepResult streamed = preparePicture(rq);
        ASSERT_EQ(streamed.status, PrepResult::Status::Ready) << streamed.error;
        ASSERT_TRUE(streamed.strips);
        EXPECT_TRUE(streamed.keepsPanDirection);
        EXPECT_EQ(streamed.pictureSize, held.pictureSize);
        EXPECT_EQ(streamed.preparedSize(), held.preparedSize());
        EXPECT_TRUE(test::TempDir::readPath(dir.file(kPreparedFile)) == heldFile);
        EXPECT_FALSE(std::filesystem::exists(dir.file(kWorkFile)));
        const Size whole = held.preparedSize();
        EXPECT_EQ(streamed.strips->read(QRect(0, 0, whole.width, whole.height)), held.picture);
        // The window with the first view: at the far end for the modes that start there.
        const int along = c.down ? whole.height : whole.width;
        EXPECT_EQ(streamed.windowLength, (c.down ? 240 : 320) + 30);
        const bool fromEnd = c.direction == "RightToLeft" || c.direction == "BottomToTop";
        EXPECT_EQ(streamed.windowOrigin, fromEnd ? along - streamed.windowLength : 0);
        const QRect window =
            c.down ? QRect(0, streamed.windowOrigin, whole.width, streamed.windowLength)
                   : QRect(streamed.windowOrigin, 0, streamed.windowLength, whole.height);
        EXPECT_EQ(streamed.picture, held.picture.copy(window));

        rq.bitsPerPixel = 16;
        const PrepResult low = preparePicture(rq);
        ASSERT_EQ(low.status, PrepResult::Status::Ready) << low.error;
        EXPECT_FALSE(low.keepsPanDirection);
        EXPECT_FALSE(low.strips);
        EXPECT_EQ(low.picture.size(), QSize(320, 240));
    }
    std::filesystem::remove(dir.file(kPreparedFile));
    PrepRequest rq = request(wide, {320, 240});
    rq.panDirection = "LeftToRight";
    rq.inMemoryPixels = 1000;
    rq.aborted = [] { return true; };
    EXPECT_EQ(preparePicture(rq).status, PrepResult::Status::Aborted);
    EXPECT_FALSE(std::filesystem::exists(dir.file(kPreparedFile)));
    EXPECT_FALSE(std::filesystem::exists(dir.file(kWorkFile)));
    // A work file that cannot take the panorama (a full disk): shown still.
    const test::FileSizeLimit limit(512 * 1024);
    rq.aborted = {};
    const PrepResult still = preparePicture(rq);
    ASSERT_EQ(still.status, PrepResult::Status::Ready) << still.error;
    EXPECT_FALSE(still.keepsPanDirection);
    EXPECT_FALSE(still.strips);
    EXPECT_EQ(still.picture.size(), QSize(320, 240));
}
