// rasterkit: handles, keyed and translucent blits, clipping, surfaces,
// the smoothing filter and palette remapping.

#include "BmpBuilder.h"
#include "graphics/io/BmpCodec.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/Resample.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "tests/support/TempDir.h"
#include "tests/support/Wait.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace skyloom;
using namespace skyloom::rasterkit;
using graphics::BitBlt;
using graphics::DeviceContext;
using graphics::SRCCOPY;

namespace {

// Frees a handle at the end of a test.
struct Owned {
    Handle h;
    bool buffer;
    ~Owned() {
        if (buffer)
            DestroyWorkBuff(h);
        else
            UnloadBitMap(h);
    }
};

QRgb at(Handle h, int x, int y) {
    return pixels(h)->pixel(x, y) | 0xff000000u;
}

} // namespace

TEST(RasterHandles, FailureIsMinusOneAndFreedHandlesAreDead) {
    EXPECT_EQ(CreateBitMap(0, 5, 0, 0, 0), -1);
    EXPECT_EQ(CreateWorkBuff(5, -1, 0, 0), -1);
    EXPECT_EQ(CreateWorkBuff(70000, 10, 0, 0), -1);
    EXPECT_EQ(LoadBitMap("/nonexistent/picture.bmp"), -1);
    EXPECT_FALSE(LastError().empty());

    const Handle bmp = CreateBitMap(3, 2, 10, 20, 30);
    const Handle buf = CreateWorkBuff(4, 5, 0, 0);
    ASSERT_GE(bmp, 0);
    ASSERT_GE(buf, 0);
    EXPECT_NE(bmp, buf); // one handle space
    EXPECT_EQ(GetGCBitmapWidth(bmp), 3);
    EXPECT_EQ(GetGCBitmapHeight(buf), 5);
    EXPECT_EQ(at(bmp, 2, 1), qRgb(10, 20, 30));
    EXPECT_EQ(at(buf, 3, 4), qRgb(0, 0, 0));
    EXPECT_EQ(GetWorkBuffHDC(bmp), 0); // bitmaps have no surface
    const graphics::HDC hdc = GetWorkBuffHDC(buf);
    EXPECT_NE(hdc, 0);
    // Freeing with the wrong routine does nothing.
    DestroyWorkBuff(bmp);
    UnloadBitMap(buf);
    EXPECT_EQ(GetGCBitmapWidth(bmp), 3);
    EXPECT_EQ(GetGCBitmapWidth(buf), 4);
    UnloadBitMap(bmp);
    DestroyWorkBuff(buf);
    EXPECT_EQ(GetGCBitmapWidth(bmp), 0);
    EXPECT_EQ(GetWorkBuffHDC(buf), 0);
    EXPECT_EQ(graphics::deviceContext(hdc), nullptr); // the stale surface is gone
    EXPECT_FALSE(BitBlt(hdc, 0, 0, 1, 1, hdc, 0, 0, SRCCOPY));
    EXPECT_EQ(DoBlitToWork(buf, 0, 0, bmp, 0, 0, 0, 0, 0, 0, 0), -1);
    EXPECT_EQ(SaveBitmap("/tmp/never-written.bmp", buf), -1);
    EXPECT_EQ(FilterBitmap(-1), -1);
}

TEST(RasterBlits, TranslucencyMatchesHandComputedPixels) {
    // bitmap (200, 40, 0) over target (100, 240, 60):
    // (s × (100 − t) + d × t + 50) / 100, rounded down.
    struct Case {
        int t;
        QRgb want;
    };
    for (const Case& c : {Case{0, qRgb(200, 40, 0)}, Case{33, qRgb(167, 106, 20)},
                          Case{50, qRgb(150, 140, 30)}, Case{99, qRgb(101, 238, 59)}}) {
        SCOPED_TRACE(c.t);
        Owned target{CreateWorkBuff(4, 4, 0, 0), true};
        Owned fill{CreateBitMap(4, 4, 100, 240, 60), false};
        Owned top{CreateBitMap(2, 2, 200, 40, 0), false};
        ASSERT_EQ(DoBlitToWork(target.h, 0, 0, fill.h, 0, 0, 0, 0, 0, 0, 0), 0);
        ASSERT_EQ(DoBlitToWorkWOP(target.h, 1, 1, top.h, 0, 0, 0, 0, 1, 0, c.t, 0), 0);
        EXPECT_EQ(at(target.h, 1, 1), c.want);
        EXPECT_EQ(at(target.h, 2, 2), c.want);
        EXPECT_EQ(at(target.h, 0, 0), qRgb(100, 240, 60));
        EXPECT_EQ(at(target.h, 3, 3), qRgb(100, 240, 60));
        // DoBlitWOP takes the translucency one argument earlier.
        Owned bitmap{CreateBitMap(4, 4, 100, 240, 60), false};
        ASSERT_EQ(DoBlitWOP(bitmap.h, 0, 0, top.h, 0, 0, 0, 0, 1, c.t, 0), 0);
        EXPECT_EQ(at(bitmap.h, 1, 1), c.want);
        EXPECT_EQ(at(bitmap.h, 2, 2), qRgb(100, 240, 60));
    }
    // The panel: black at 33 keeps a third of the picture.
    Owned target{CreateWorkBuff(2, 1, 0, 0), true};
    Owned white{CreateBitMap(2, 1, 255, 255, 255), false};
    Owned black{CreateBitMap(8, 8, 0, 0, 0), false};
    DoBlitToWork(target.h, 0, 0, white.h, 0, 0, 0, 0, 0, 0, 0);
    // Only the top-left 1 × 1 part of the black tile.
    DoBlitToWorkWOP(target.h, 0, 0, black.h, 0, 0, 1, 1, 1, 0, 33, 0);
    EXPECT_EQ(at(target.h, 0, 0), qRgb(84, 84, 84));
    EXPECT_EQ(at(target.h, 1, 0), qRgb(255, 255, 255));
}

TEST(RasterBlits, KeyColourPixelsAreSkippedExactly) {
    test::TempDir dir;
    // Green key pixels, a nearly-green pixel and two others.
    QImage art(4, 1, QImage::Format_RGB32);
    art.setPixel(0, 0, qRgb(0, 255, 0));
    art.setPixel(1, 0, qRgb(0, 254, 0));
    art.setPixel(2, 0, qRgb(255, 255, 255));
    art.setPixel(3, 0, qRgb(0, 255, 0));
    std::string error;
    ASSERT_TRUE(graphics::writeBmp24(dir.file("cal.bmp"), art, error));
    Owned keyed{LoadBitMapEx(dir.file("cal.bmp"), 0, 255, 0), false};
    Owned plain{LoadBitMap(dir.file("cal.bmp")), false};
    Owned red{CreateBitMap(4, 1, 255, 0, 0), false};
    Owned target{CreateWorkBuff(4, 1, 0, 0), true};

    DoBlitToWork(target.h, 0, 0, red.h, 0, 0, 0, 0, 0, 0, 0);
    DoBlitToWork(target.h, 0, 0, keyed.h, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(at(target.h, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(at(target.h, 1, 0), qRgb(0, 254, 0));
    EXPECT_EQ(at(target.h, 2, 0), qRgb(255, 255, 255));
    EXPECT_EQ(at(target.h, 3, 0), qRgb(255, 0, 0));
    // Flag 0 copies everything; a bitmap without key colour ignores the flag.
    for (Handle source : {keyed.h, plain.h}) {
        DoBlitToWork(target.h, 0, 0, red.h, 0, 0, 0, 0, 0, 0, 0);
        DoBlitToWork(target.h, 0, 0, source, 0, 0, 0, 0, source == plain.h ? 1 : 0, 0, 0);
        EXPECT_EQ(at(target.h, 0, 0), qRgb(0, 255, 0));
    }
    // A keyed translucent blit also leaves key pixels alone.
    DoBlitToWork(target.h, 0, 0, red.h, 0, 0, 0, 0, 0, 0, 0);
    DoBlitToWorkWOP(target.h, 0, 0, keyed.h, 0, 0, 0, 0, 1, 0, 50, 0);
    EXPECT_EQ(at(target.h, 0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(at(target.h, 2, 0), qRgb(255, 128, 128));
}

TEST(RasterBlits, ClippedAgainstBothPictures) {
    Owned target{CreateWorkBuff(10, 10, 0, 0), true};
    QImage source(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.setPixel(x, y, qRgb(x * 10 + 1, y * 10 + 1, 7));
    Owned bmp{adoptBitmap(source), false};
    // Partly off the top-left corner: source (2, 3) lands on (0, 0).
    ASSERT_EQ(DoBlitToWork(target.h, -2, -3, bmp.h, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(at(target.h, 0, 0), qRgb(21, 31, 7));
    EXPECT_EQ(at(target.h, 1, 0), qRgb(31, 31, 7));
    EXPECT_EQ(at(target.h, 2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(at(target.h, 0, 1), qRgb(0, 0, 0));
    // Partly off the bottom-right corner.
    ASSERT_EQ(DoBlitToWork(target.h, 8, 9, bmp.h, 0, 0, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(at(target.h, 9, 9), qRgb(11, 1, 7));
    // Wholly outside: nothing changes, no failure.
    const QImage before = pixels(target.h)->copy();
    const std::pair<int, int> outside[] = {{10, 0}, {0, 10}, {-4, 0}, {0, -4}, {-30000, 30000}};
    for (auto [x, y] : outside)
        EXPECT_EQ(DoBlitToWorkWOP(target.h, x, y, bmp.h, 0, 0, 0, 0, 1, 0, 33, 0), 0);
    EXPECT_EQ(*pixels(target.h), before);
    // A part rectangle larger than the bitmap is cut to it; a source offset selects the part.
    ASSERT_EQ(DoBlitToWork(target.h, 5, 5, bmp.h, 3, 3, 9, 9, 0, 0, 0), 0);
    EXPECT_EQ(at(target.h, 5, 5), qRgb(31, 31, 7));
    EXPECT_EQ(at(target.h, 6, 6), qRgb(0, 0, 0));
    // Blitting a buffer onto itself reads the pixels from before the copy.
    ASSERT_EQ(DoBlitToWork(target.h, 1, 0, target.h, 0, 0, 2, 1, 0, 0, 0), 0);
    EXPECT_EQ(at(target.h, 1, 0), qRgb(21, 31, 7));
    EXPECT_EQ(at(target.h, 2, 0), qRgb(31, 31, 7));
}

TEST(Surfaces, BitBltClipsAndHandlesOverlap) {
    DeviceContext screen(6, 1);
    for (int x = 0; x < 6; ++x)
        screen.image().setPixel(x, 0, qRgb(x, 0, 0));
    // Scrolling right by one on the same surface (panoramic motion).
    ASSERT_TRUE(BitBlt(screen.hdc(), 1, 0, 5, 1, screen.hdc(), 0, 0, SRCCOPY));
    for (int x = 1; x < 6; ++x)
        EXPECT_EQ(qRed(screen.image().pixel(x, 0)), x - 1);
    // Scrolling left.
    ASSERT_TRUE(BitBlt(screen.hdc(), 0, 0, 5, 1, screen.hdc(), 1, 0, SRCCOPY));
    EXPECT_EQ(qRed(screen.image().pixel(0, 0)), 0);
    EXPECT_EQ(qRed(screen.image().pixel(4, 0)), 4);
    DeviceContext tall(1, 4);
    for (int y = 0; y < 4; ++y)
        tall.image().setPixel(0, y, qRgb(0, y, 0));
    ASSERT_TRUE(BitBlt(tall.hdc(), 0, 1, 1, 3, tall.hdc(), 0, 0, SRCCOPY));
    EXPECT_EQ(qGreen(tall.image().pixel(0, 3)), 2);
    EXPECT_EQ(qGreen(tall.image().pixel(0, 1)), 0);
    // Source and destination clipping.
    DeviceContext small(2, 2);
    ASSERT_TRUE(BitBlt(small.hdc(), -1, 0, 10, 10, screen.hdc(), 0, 0, SRCCOPY));
    EXPECT_EQ(qRed(small.image().pixel(1, 0)), 2);
    EXPECT_EQ(qRed(small.image().pixel(1, 1)), 0); // below the one-row source
    EXPECT_FALSE(BitBlt(small.hdc(), 0, 0, 1, 1, screen.hdc(), 0, 0, 0x00EE0086));

    // UpdateRect copies the same rectangle from a buffer to a surface.
    Owned buf{CreateWorkBuff(6, 1, 0, 0), true};
    Owned white{CreateBitMap(6, 1, 255, 255, 255), false};
    DoBlitToWork(buf.h, 0, 0, white.h, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(UpdateRect(2, 0, 2, 1, screen.hdc(), buf.h), 0);
    EXPECT_EQ(screen.image().pixel(1, 0) | 0xff000000u, qRgb(1, 0, 0));
    EXPECT_EQ(screen.image().pixel(2, 0) | 0xff000000u, qRgb(255, 255, 255));
    EXPECT_EQ(screen.image().pixel(4, 0) | 0xff000000u, qRgb(4, 0, 0));
    EXPECT_EQ(UpdateRect(0, 0, 1, 1, 0, buf.h), -1);
}

TEST(Surfaces, HalftoneStretchAveragesAreas) {
    // A 1-pixel checkerboard shrunk by 2 becomes flat grey in HALFTONE mode.
    DeviceContext checker(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            checker.image().setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    DeviceContext half(4, 4);
    EXPECT_EQ(graphics::SetStretchBltMode(half.hdc(), graphics::HALFTONE), graphics::COLORONCOLOR);
    ASSERT_TRUE(graphics::StretchBlt(half.hdc(), 0, 0, 4, 4, checker.hdc(), 0, 0, 8, 8, SRCCOPY));
    // Inside, the window's symmetric taps balance exactly; at the border the
    // repeated edge pixels tip the balance a little.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_NEAR(qRed(half.image().pixel(x, y)), 127.5,
                        (x == 0 || y == 0 || x == 3 || y == 3) ? 8 : 1);
    // A flat picture stays exactly flat (the weights add up to one).
    DeviceContext flat(37, 23);
    flat.fill(qRgb(77, 150, 3));
    DeviceContext small(10, 7);
    graphics::SetStretchBltMode(small.hdc(), graphics::HALFTONE);
    ASSERT_TRUE(graphics::StretchBlt(small.hdc(), 0, 0, 10, 7, flat.hdc(), 0, 0, 37, 23, SRCCOPY));
    EXPECT_EQ(small.image().pixel(0, 0) | 0xff000000u, qRgb(77, 150, 3));
    EXPECT_EQ(small.image().pixel(9, 6) | 0xff000000u, qRgb(77, 150, 3));
    // The box kernel keeps exact thirds: columns 0,0,255 average to 85.
    QImage stripes(6, 1, QImage::Format_RGB32);
    for (int x = 0; x < 6; ++x)
        stripes.setPixel(x, 0, x % 3 == 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    QImage two(2, 1, QImage::Format_RGB32);
    graphics::resampleRect(stripes, 0, 0, 6, 1, two, 0, 0, 2, 1, graphics::ShrinkKernel::Box);
    EXPECT_EQ(qRed(two.pixel(0, 0)), 85);
    // Enlarging interpolates between neighbours and keeps the ends.
    DeviceContext pair(2, 1);
    pair.image().setPixel(0, 0, qRgb(0, 0, 0));
    pair.image().setPixel(1, 0, qRgb(200, 200, 200));
    DeviceContext wide(4, 1);
    graphics::SetStretchBltMode(wide.hdc(), graphics::HALFTONE);
    ASSERT_TRUE(graphics::StretchBlt(wide.hdc(), 0, 0, 4, 1, pair.hdc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(qRed(wide.image().pixel(0, 0)), 0);
    EXPECT_EQ(qRed(wide.image().pixel(1, 0)), 50);
    EXPECT_EQ(qRed(wide.image().pixel(2, 0)), 150);
    EXPECT_EQ(qRed(wide.image().pixel(3, 0)), 200);
    // The default mode takes nearest pixels: the checkerboard survives.
    DeviceContext nearest(4, 4);
    ASSERT_TRUE(
        graphics::StretchBlt(nearest.hdc(), 0, 0, 4, 4, checker.hdc(), 0, 0, 8, 8, SRCCOPY));
    EXPECT_EQ(qRed(nearest.image().pixel(0, 0)), 0);
    // A destination partly outside is clipped.
    ASSERT_TRUE(graphics::StretchBlt(half.hdc(), 2, 2, 8, 8, checker.hdc(), 0, 0, 4, 4, SRCCOPY));
    EXPECT_FALSE(graphics::StretchBlt(half.hdc(), 0, 0, 0, 4, checker.hdc(), 0, 0, 4, 4, SRCCOPY));
}

TEST(Surfaces, ShrinkingARampKeepsItsValues) {
    // At 5:3 the window's zeros fall exactly on source pixels; every tap
    // must still line up with its own pixel.
    QImage ramp(300, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 300; ++x)
            ramp.setPixel(x, y, qRgb(x * 255 / 299, 0, 255 - x * 255 / 299));
    QImage small(180, 4, QImage::Format_RGB32);
    graphics::resampleRect(ramp, 0, 0, 300, 4, small, 0, 0, 180, 4);
    for (int x = 10; x < 170; ++x) {
        const double centre = (x + 0.5) * 300.0 / 180.0 - 0.5;
        EXPECT_NEAR(qRed(small.pixel(x, 1)), centre * 255 / 299, 1.5) << x;
    }
}

TEST(Surfaces, VectorAndPlainResamplingAgree) {
    // Noise exercises every weight and the clamping; odd sizes exercise the tails.
    QImage noise(203, 61, QImage::Format_RGB32);
    std::uint32_t state = 12345;
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            noise.setPixel(x, y, state >> 8);
        }
    struct Case {
        QSize to;
        graphics::ShrinkKernel kernel;
    };
    for (const Case& c : {Case{{67, 19}, graphics::ShrinkKernel::Lanczos3},
                          Case{{97, 131}, graphics::ShrinkKernel::Lanczos3},
                          Case{{50, 20}, graphics::ShrinkKernel::Box},
                          Case{{411, 122}, graphics::ShrinkKernel::Lanczos3}}) {
        QImage vector(c.to, QImage::Format_RGB32), plain(c.to, QImage::Format_RGB32);
        graphics::resampleRect(noise, 3, 2, 190, 57, vector, 0, 0, c.to.width(), c.to.height(),
                               c.kernel);
        graphics::setVectorPathsEnabled(false);
        graphics::resampleRect(noise, 3, 2, 190, 57, plain, 0, 0, c.to.width(), c.to.height(),
                               c.kernel);
        graphics::setVectorPathsEnabled(true);
        EXPECT_EQ(vector, plain) << c.to.width() << "x" << c.to.height();
    }
}

TEST(Filter, SmoothsInPlace) {
    QImage dot(5, 5, QImage::Format_RGB32);
    dot.fill(qRgb(0, 0, 0));
    dot.setPixel(2, 2, qRgb(160, 160, 160));
    Owned bmp{adoptBitmap(dot), false};
    SetFilterParameters(1, 1, 0, 0);
    ASSERT_EQ(FilterBitmap(bmp.h), 1);
    // 3 × 3 binomial kernel: centre 4/16, edges 2/16, corners 1/16.
    EXPECT_EQ(qRed(at(bmp.h, 2, 2)), 40);
    EXPECT_EQ(qRed(at(bmp.h, 1, 2)), 20);
    EXPECT_EQ(qRed(at(bmp.h, 1, 1)), 10);
    EXPECT_EQ(qRed(at(bmp.h, 0, 0)), 0);
    // A flat picture stays flat, edges included.
    Owned flat{CreateBitMap(7, 3, 90, 91, 92), false};
    ASSERT_EQ(FilterBitmap(flat.h), 1);
    EXPECT_EQ(at(flat.h, 0, 0), qRgb(90, 91, 92));
    EXPECT_EQ(at(flat.h, 6, 2), qRgb(90, 91, 92));
}

TEST(Filter, KillFilterStopsARunningFilter) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name};
    QGuiApplication app(argc, argv);
    SetFilterParameters(8, 8, 0, 0);
    // Stripes one pixel wide: every pass changes every row, so a stopped
    // filter leaves a picture that differs from the finished one.
    auto striped = [] {
        const Handle h = CreateWorkBuff(2000, 2000, 0, 0);
        QImage& image = *pixels(h);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                row[x] = (x & 1) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
        return h;
    };
    Owned finished{striped(), true};
    ASSERT_EQ(FilterBitmap(finished.h), 1);

    // An input handler (a timer here) stops it from inside the event loop:
    // the first time the filter lets events through.
    Owned byEvent{striped(), true};
    bool killed = false;
    QTimer::singleShot(0, [&] {
        killed = true;
        KillFilter();
    });
    EXPECT_EQ(FilterBitmap(byEvent.h), 0);
    EXPECT_TRUE(killed);
    EXPECT_NE(*pixels(byEvent.h), *pixels(finished.h)) << "stopped only after the last pass";

    // Another thread may stop it too. It asks until the filter has stopped:
    // a request made before the filter starts does not count.
    Owned byThread{striped(), true};
    std::atomic<bool> done{false};
    std::thread stopper([&done] {
        test::waitUntil([&done] {
            KillFilter();
            return done.load();
        });
    });
    EXPECT_EQ(FilterBitmap(byThread.h), 0);
    done = true;
    stopper.join();
    EXPECT_NE(*pixels(byThread.h), *pixels(finished.h));
    // A stop request does not carry over into the next filter.
    SetFilterParameters(1, 1, 0, 0);
    Owned small{CreateBitMap(8, 8, 1, 2, 3), false};
    EXPECT_EQ(FilterBitmap(small.h), 1);
}

TEST(Palette, RemapBmpUsesThePaletteInUse) {
    test::TempDir dir;
    const std::vector<QRgb> own = {qRgb(250, 5, 5), qRgb(5, 5, 250), qRgb(128, 128, 128)};
    const std::vector<std::uint8_t> idx = {0, 1, 2, 0, 1, 2};
    std::string error;
    ASSERT_TRUE(graphics::writeBmp8(dir.file("tn.bmp"), 3, 2, idx, own, error));
    const std::vector<QRgb> inUse = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255),
                                     qRgb(127, 127, 127)};
    const std::vector<QRgb> saved = paletteInUse();
    setPaletteInUse(inUse);
    ASSERT_EQ(RemapBMP(dir.file("tn.bmp"), dir.file("tn.bmp")), 0) << LastError();
    setPaletteInUse(saved);
    graphics::FileBytes file(dir.file("tn.bmp"));
    QImage out;
    graphics::BmpInfo info;
    ASSERT_TRUE(graphics::decodeBmp(file.bytes(), out, error, {}, &info)) << error;
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_EQ(info.palette, inUse);
    EXPECT_EQ(out.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(out.pixel(2, 0), qRgb(127, 127, 127));
    // The default palette is the 256-colour halftone palette.
    EXPECT_EQ(saved.size(), 256u);
    // True-colour and broken files are refused, and left alone.
    Owned rgb{CreateBitMap(2, 2, 1, 2, 3), false};
    ASSERT_EQ(SaveBitmap(dir.file("rgb.bmp"), rgb.h), 0);
    const std::string before = dir.read("rgb.bmp");
    EXPECT_EQ(RemapBMP(dir.file("rgb.bmp"), dir.file("rgb.bmp")), -1);
    EXPECT_EQ(dir.read("rgb.bmp"), before);
    EXPECT_EQ(RemapBMP(dir.file("missing.bmp"), dir.file("missing.bmp")), -1);

    EXPECT_EQ(DispPropUp(), 0);
    setDispPropUp(true);
    EXPECT_NE(DispPropUp(), 0);
    setDispPropUp(false);
}
