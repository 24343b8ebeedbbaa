// The blending effects frame by frame: each begins exactly on the old
// picture and ends exactly on the new one, a cross fade is half way at
// half time, the slide pushes the old picture out to the right; the blend
// itself (its vector and plain paths agree), the slow zoom's window and
// pace, and which effect each setting chooses.

#include "graphics/rasterkit/Blend.h"
#include "saver/SmoothTransition.h"
#include "saver/Transition.h"
#include "tests/support/NoiseImage.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <random>
#include <vector>

using namespace skyloom;
using namespace skyloom::saver;

using skyloom::test::noise;

namespace {

// The first pixel of `area` where `a` differs from `b` at `offset`, or "".
std::string firstDifference(const QImage& a, const QRect& area, const QImage& b,
                            QPoint offset = {}) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (a.pixel(x, y) != b.pixel(x + offset.x(), y + offset.y()))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return {};
}

int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

TEST(SmoothTransition, EachEffectStartsOnTheOldPictureAndEndsOnTheNewOne) {
    // A source larger than the area, taken from an offset (a panorama's first view).
    const QImage old = noise(96, 64, 1), source = noise(140, 80, 2);
    const QPoint offset(30, 7);
    for (int type : {kCrossFade, kSlide, kSlowZoom}) {
        SCOPED_TRACE(kTransitionNames[type]);
        QImage canvas = old.copy();
        SmoothTransition t;
        t.begin(type, canvas, source, QRect(0, 0, 96, 64), offset);
        EXPECT_EQ(t.durationMs(), type == kSlide ? kSlideMs : kCrossFadeMs);
        EXPECT_FALSE(t.drawFrame(canvas, 0.0));
        EXPECT_EQ(firstDifference(canvas, canvas.rect(), old), "");
        EXPECT_FALSE(t.drawFrame(canvas, 0.6));
        EXPECT_TRUE(t.drawFrame(canvas, 1.0));
        EXPECT_EQ(firstDifference(canvas, canvas.rect(), source, offset), "");
        // Past its time the effect still ends on the new picture.
        EXPECT_TRUE(t.drawFrame(canvas, 7.0));
        EXPECT_EQ(firstDifference(canvas, canvas.rect(), source, offset), "");
        // A canvas made smaller in the middle (a screen changed) gets what fits.
        QImage smaller(40, 30, QImage::Format_RGB32);
        smaller.fill(Qt::black);
        EXPECT_FALSE(t.drawFrame(smaller, 0.5));
        EXPECT_TRUE(t.drawFrame(smaller, 1.0));
        EXPECT_EQ(firstDifference(smaller, smaller.rect(), source, offset), "");
    }
}

TEST(SmoothTransition, CrossFadeIsHalfWayAtHalfTimeAndDrawsOnlyItsArea) {
    const QImage old = noise(80, 60, 3), fresh = noise(50, 40, 4);
    QImage canvas = old.copy();
    SmoothTransition t;
    const QRect area(0, 0, 50, 40); // a small picture on a larger canvas
    t.begin(kCrossFade, canvas, fresh, area, {});
    t.drawFrame(canvas, 0.5);
    int worst = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const QRgb a = old.pixel(x, y), b = fresh.pixel(x, y);
            const QRgb half = qRgb((qRed(a) + qRed(b)) / 2, (qGreen(a) + qGreen(b)) / 2,
                                   (qBlue(a) + qBlue(b)) / 2);
            worst = std::max(worst, channelDistance(canvas.pixel(x, y), half));
        }
    EXPECT_LE(worst, 2);
    // Outside the area the old picture stays.
    EXPECT_EQ(firstDifference(canvas, QRect(50, 0, 30, 60), old), "");
    EXPECT_EQ(firstDifference(canvas, QRect(0, 40, 80, 20), old), "");
    // A quarter of the way the old picture weighs three times the new one.
    t.drawFrame(canvas, 0.25);
    const QRgb a = old.pixel(10, 10), b = fresh.pixel(10, 10);
    EXPECT_NEAR(qRed(canvas.pixel(10, 10)), (3 * qRed(a) + qRed(b)) / 4, 2);
}

TEST(SmoothTransition, SlideMiddleFrameIsHalfNewHalfOld) {
    const QImage old = noise(100, 30, 5), fresh = noise(100, 30, 6);
    QImage canvas = old.copy();
    SmoothTransition t;
    t.begin(kSlide, canvas, fresh, canvas.rect(), {});
    t.drawFrame(canvas, 0.5);
    // Left: the new picture's right half, moving in; right: the old one's
    // left half, pushed out.
    EXPECT_EQ(firstDifference(canvas, QRect(0, 0, 50, 30), fresh, {50, 0}), "");
    EXPECT_EQ(firstDifference(canvas, QRect(50, 0, 50, 30), old, {-50, 0}), "");
    // The slide only moves forwards: columns coded by colour, the new
    // picture blue, so the number of blue columns is how far it came.
    QImage oldCoded(100, 1, QImage::Format_RGB32), newCoded(100, 1, QImage::Format_RGB32);
    for (int x = 0; x < 100; ++x) {
        oldCoded.setPixel(x, 0, qRgb(x, 0, 0));
        newCoded.setPixel(x, 0, qRgb(x, 0, 255));
    }
    QImage line = oldCoded.copy();
    SmoothTransition coded;
    coded.begin(kSlide, line, newCoded, line.rect(), {});
    int before = 0;
    for (int step = 1; step < 20; ++step) {
        coded.drawFrame(line, step / 20.0);
        int shift = 0;
        while (shift < 100 && qBlue(line.pixel(shift, 0)) == 255)
            ++shift;
        EXPECT_GE(shift, before) << step;
        // Whatever the shift, both pictures lie unbroken side by side.
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(qRed(line.pixel(x, 0)), x < shift ? 100 - shift + x : x - shift) << step;
        before = shift;
    }
}

TEST(Blend, VectorAndPlainPathsGiveTheSameExactBlend) {
    const QImage a = noise(37, 3, 7), b = noise(37, 3, 8); // 37: not a multiple of 4
    std::vector<QRgb> out(37);
    for (int w : {-5, 0, 1, 64, 128, 200, 255, 256, 300}) {
        SCOPED_TRACE(w);
        const auto* pa = reinterpret_cast<const QRgb*>(a.constBits());
        const auto* pb = reinterpret_cast<const QRgb*>(b.constBits());
        rasterkit::blendPixels(pa, pb, out.data(), out.size(), w);
        const int cw = std::clamp(w, 0, 256);
        for (std::size_t i = 0; i < out.size(); ++i) {
            auto ch = [&](int shift) {
                return ((((pa[i] >> shift) & 0xff) * (256 - cw) + ((pb[i] >> shift) & 0xff) * cw) >>
                        8);
            };
            const QRgb expected = 0xff000000u | (ch(16) << 16) | (ch(8) << 8) | ch(0);
            ASSERT_EQ(out[i], expected) << "pixel " << i;
        }
    }
}

TEST(Blend, BilinearWindowCopiesAWholePictureAndInterpolatesBetweenPixels) {
    const QImage picture = noise(40, 30, 9);
    QImage out(40, 30, QImage::Format_RGB32);
    rasterkit::drawWindowBilinear(picture, QRectF(0, 0, 40, 30), out, out.rect());
    EXPECT_EQ(firstDifference(out, out.rect(), picture), "");
    // Two pixels black and white grown to four: the middle two lie between.
    QImage two(2, 1, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(0, 0, 0));
    two.setPixel(1, 0, qRgb(200, 200, 200));
    QImage four(4, 1, QImage::Format_RGB32);
    rasterkit::drawWindowBilinear(two, QRectF(0, 0, 2, 1), four, four.rect());
    EXPECT_EQ(qRed(four.pixel(0, 0)), 0);
    EXPECT_NEAR(qRed(four.pixel(1, 0)), 50, 1);
    EXPECT_NEAR(qRed(four.pixel(2, 0)), 150, 1);
    EXPECT_EQ(qRed(four.pixel(3, 0)), 200);
    // A window reaching past the picture is kept inside it.
    rasterkit::drawWindowBilinear(picture, QRectF(-10, 25, 20, 20), out, QRect(0, 0, 20, 20));
    EXPECT_EQ(out.pixel(0, 0), picture.pixel(0, 10));
}

TEST(SlowZoom, GrowsTenPercentTowardsItsCornerAndKeepsThePanels) {
    const QImage picture = noise(200, 100, 10);
    QImage canvas = picture.copy();
    const QRect title(60, 90, 80, 10);
    canvas.fill(Qt::black);
    SlowZoom zoom;
    zoom.begin(picture, canvas, canvas.rect(), QPointF(1, -1), {title});
    ASSERT_TRUE(zoom.active());
    EXPECT_EQ(zoom.window(0), QRectF(0, 0, 200, 100));
    const QRectF end = zoom.window(1);
    EXPECT_NEAR(end.width(), 200 / 1.1, 1e-9);
    EXPECT_NEAR(end.height(), 100 / 1.1, 1e-9);
    EXPECT_NEAR(end.right(), 200, 1e-9); // towards the top-right corner
    EXPECT_NEAR(end.top(), 0, 1e-9);
    EXPECT_EQ(zoom.window(3), end);
    zoom.drawFrame(canvas, 0);
    EXPECT_EQ(firstDifference(canvas, QRect(0, 0, 200, 90), picture), "");
    zoom.drawFrame(canvas, 1);
    // The title strip stays as it was drawn (black here); the picture moved.
    EXPECT_EQ(canvas.pixel(100, 95), qRgb(0, 0, 0));
    EXPECT_NE(firstDifference(canvas, QRect(0, 0, 200, 90), picture), "");
    EXPECT_NEAR(zoom.travel(), 0.1 * std::hypot(200, 100), 1e-9);
}

TEST(SlowZoom, FramesComeAtHalfAPixelOfMovementWithinTheScreenAndTheCostBudget) {
    // 220 px over 60 s: a frame every 136 ms, on whole 16 ms screen frames.
    EXPECT_EQ(zoomFrameInterval(220, 60000, 16, 0), 144);
    // Fast movement is held to the screen's rate.
    EXPECT_EQ(zoomFrameInterval(2000, 1000, 16, 0), 16);
    // A frame costing 20 ms comes at most every 200 ms (a tenth of a core).
    EXPECT_EQ(zoomFrameInterval(2000, 1000, 16, 20), 208);
    // No movement, or a very long time: at most half a second apart.
    EXPECT_EQ(zoomFrameInterval(0, 60000, 16, 0), 496);
    EXPECT_LE(zoomFrameInterval(10, 3600000, 16, 0), 500);
    EXPECT_EQ(screenFrameInterval(60), 16);
    EXPECT_EQ(screenFrameInterval(144), 6);
    EXPECT_EQ(screenFrameInterval(0), 16);
    EXPECT_EQ(screenFrameInterval(-1), 16);
}

TEST(TransitionChoice, BothCyclesAndStraySettings) {
    int cycle = 0;
    std::vector<int> all;
    for (int i = 0; i < 10; ++i)
        all.push_back(nextTransitionType(kAllTransitions, cycle));
    EXPECT_EQ(all, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 2, 3}));
    cycle = 0;
    std::vector<int> smooth;
    for (int i = 0; i < 5; ++i)
        smooth.push_back(nextTransitionType(kAllSmoothTransitions, cycle));
    EXPECT_EQ(smooth, (std::vector<int>{11, 12, 13, 11, 12}));
    for (int setting : {0, 2, 9, 10, 11, 12, 13}) {
        int c = 0;
        EXPECT_EQ(nextTransitionType(setting, c), setting);
        EXPECT_EQ(c, 0);
    }
    // Values no list position has show the picture at once.
    for (int setting : {15, 99, -1, 70000}) {
        int c = 5;
        EXPECT_EQ(nextTransitionType(setting, c), kNoTransitions) << setting;
    }
    EXPECT_TRUE(isSmoothTransition(kCrossFade) && isSmoothTransition(kSlide) &&
                isSmoothTransition(kSlowZoom));
    EXPECT_FALSE(isSmoothTransition(kFastBlockOut) || isSmoothTransition(kAllSmoothTransitions));
}
