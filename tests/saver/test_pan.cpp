// The panoramic motion without a display: the set-up of each mode and the
// picture that ends on screen after every step has run.

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/Pan.h"

#include <gtest/gtest.h>

#include <QImage>

#include <optional>
#include <string>

using namespace skyloom;
using namespace skyloom::saver;
using graphics::DeviceContext;

namespace {

// A picture whose every pixel tells where it lies: red and green carry the
// column, blue the row (each modulo 256, with the high bits in alpha-free
// places they do not collide over the sizes used here).
QRgb mark(int x, int y) {
    return qRgb(x & 0xFF, (x >> 8) * 16 + (y >> 8), y & 0xFF);
}

QImage marked(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = mark(x, y);
    }
    return img;
}

constexpr QRgb kOutside = 0xFF0000FFu; // what the transition left beside the view

struct PanRun {
    int steps = 0;
    bool outsideUntouched = true;
};

// Shows the first view as the transition would (the view's picture part at
// `first`), then runs every step.
PanRun runPan(PanState& pan, DeviceContext& display, DeviceContext& picture, int firstX,
              int firstY) {
    display.fill(kOutside);
    const Rect& v = pan.view;
    graphics::BitBlt(display.hdc(), v.x, v.y, v.width, v.height, picture.hdc(), firstX, firstY,
                     graphics::SRCCOPY);
    PanRun run;
    const int expected = pan.stepsLeft();
    while (panStep(pan, display.hdc(), picture.hdc())) {
        if (++run.steps > expected + 1)
            break; // a pan that would not end
    }
    const QImage& d = display.image();
    for (int y = 0; y < d.height(); y += 7)
        for (int x = 0; x < d.width(); x += 7)
            if (!QRect(v.x, v.y, v.width, v.height).contains(x, y) && d.pixel(x, y) != kOutside)
                run.outsideUntouched = false;
    return run;
}

// True when the view shows the picture's part at (px, py).
bool showsPicturePart(const DeviceContext& display, const Rect& v, int px, int py) {
    const QImage& d = display.image();
    for (int y = 0; y < v.height; y += 5)
        for (int x = 0; x < v.width; x += 5)
            if (d.pixel(v.x + x, v.y + y) != mark(px + x, py + y))
                return false;
    // The far edges exactly.
    return d.pixel(v.x + v.width - 1, v.y + v.height - 1) ==
           mark(px + v.width - 1, py + v.height - 1);
}

} // namespace

TEST(PanSetUp, WidePanoramaLeftToRightOnA1024By768Display) {
    const PanState p = planPan(kPanLeftToRight, {1024, 768}, {2048, 768});
    EXPECT_EQ(p.view, (Rect{0, 0, 1024, 768}));
    EXPECT_EQ(p.source, 1024); // the column just right of the first view
    EXPECT_EQ(p.strip, (Rect{1023, 0, 1, 768}));
    EXPECT_EQ(p.end, 2048);
    EXPECT_EQ(p.stepsLeft(), 1024); // E - V
    EXPECT_FALSE(p.done);

    DeviceContext display(1024, 768), picture(marked(2048, 768));
    PanState run = p;
    const PanRun r = runPan(run, display, picture, 0, 0);
    EXPECT_EQ(r.steps, 1024);
    EXPECT_TRUE(run.done);
    EXPECT_TRUE(showsPicturePart(display, run.view, 1024, 0)); // columns 1024 … 2047
}

TEST(PanSetUp, EachModeStartsWhereTheTransitionLeftTheViewAndEndsAtTheFarEnd) {
    struct Case {
        int mode;
        Size picture;
        int source, direction;
        Rect strip;
        int firstX, firstY, lastX, lastY;
    };
    const Case cases[] = {
        {kPanTopToBottom, {320, 700}, 240, 1, {0, 239, 320, 1}, 0, 0, 0, 460},
        {kPanBottomToTop, {320, 700}, 700 - 240 - 1, -1, {0, 0, 320, 1}, 0, 460, 0, 0},
        {kPanLeftToRight, {900, 240}, 320, 1, {319, 0, 1, 240}, 0, 0, 580, 0},
        {kPanRightToLeft, {900, 240}, 900 - 320 - 1, -1, {0, 0, 1, 240}, 580, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        PanState p = planPan(c.mode, {320, 240}, c.picture);
        EXPECT_EQ(p.view, (Rect{0, 0, 320, 240}));
        EXPECT_EQ(p.source, c.source);
        EXPECT_EQ(p.direction, c.direction);
        EXPECT_EQ(p.strip, c.strip);
        const int along =
            c.mode <= kPanBottomToTop ? c.picture.height - 240 : c.picture.width - 320;
        EXPECT_EQ(p.stepsLeft(), along);
        DeviceContext display(320, 240), picture(marked(c.picture.width, c.picture.height));
        const PanRun r = runPan(p, display, picture, c.firstX, c.firstY);
        EXPECT_EQ(r.steps, along);
        EXPECT_TRUE(showsPicturePart(display, p.view, c.lastX, c.lastY));
    }
}

TEST(PanSetUp, NarrowPanoramaMovesInACentredWindowOfTheDisplaysShape) {
    // 160 wide on 320 x 240: a 160 x 120 window at (80, 60).
    PanState p = planPan(kPanBottomToTop, {320, 240}, {160, 500});
    EXPECT_EQ(p.view, (Rect{80, 60, 160, 120}));
    EXPECT_EQ(p.source, 500 - 120 - 1);
    EXPECT_EQ(p.strip, (Rect{80, 60, 160, 1}));
    DeviceContext display(320, 240), picture(marked(160, 500));
    const PanRun r = runPan(p, display, picture, 0, 380);
    EXPECT_EQ(r.steps, 380);
    EXPECT_TRUE(r.outsideUntouched); // the rest stays as the transition left it
    EXPECT_TRUE(showsPicturePart(display, p.view, 0, 0));

    // Horizontal: 120 high on 320 x 240 -> a 160 x 120 window.
    PanState h = planPan(kPanLeftToRight, {320, 240}, {600, 120});
    EXPECT_EQ(h.view, (Rect{80, 60, 160, 120}));
    EXPECT_EQ(h.strip, (Rect{239, 60, 1, 120}));
}

TEST(PanSetUp, AViewLargerThanTheDisplayIsCutToItAndNeverDrawsOutside) {
    // An unstretched 1200 x 300 picture on 320 x 240: the 400 x 300 view of
    // the display's shape is cut to the display; it shows picture rows 30 …
    // 269 and, along the motion, columns from 40 on.
    PanState p = planPan(kPanLeftToRight, {320, 240}, {1200, 300});
    EXPECT_EQ(p.view, (Rect{0, 0, 320, 240}));
    EXPECT_EQ(p.across, 30);
    EXPECT_EQ(p.source, 40 + 320);
    DeviceContext display(320, 240), picture(marked(1200, 300));
    const PanRun r = runPan(p, display, picture, 40, 30);
    EXPECT_EQ(r.steps, 1200 - 360);
    EXPECT_TRUE(showsPicturePart(display, p.view, 880, 30));

    PanState back = planPan(kPanRightToLeft, {320, 240}, {1200, 300});
    EXPECT_EQ(back.source, 1200 - 400 + 40 - 1);
    const PanRun rb = runPan(back, display, picture, 1200 - 400 + 40, 30);
    EXPECT_EQ(rb.steps, 1200 - 400 + 40);
    EXPECT_TRUE(showsPicturePart(display, back.view, 0, 30));
}

TEST(PanSetUp, NothingToMoveIsDoneAtOnceWithoutTouchingTheDisplay) {
    DeviceContext display(320, 240);
    DeviceContext shortPicture(marked(320, 200)), same(marked(320, 240)), narrow(marked(120, 100));
    struct Case {
        int mode;
        DeviceContext* picture;
    };
    const Case cases[] = {
        {kPanTopToBottom, &shortPicture}, // shorter than the view along the motion
        {kPanBottomToTop, &shortPicture},
        {kPanTopToBottom, &same},
        {kPanLeftToRight, &same},
        {kPanRightToLeft, &narrow},
        {kPanNone, &same},
        {3, &same},
        {16, &same},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        display.fill(kOutside);
        PanState p = planPan(c.mode, {320, 240}, {c.picture->width(), c.picture->height()});
        EXPECT_TRUE(p.done);
        EXPECT_EQ(p.stepsLeft(), 0);
        EXPECT_FALSE(panStep(p, display.hdc(), c.picture->hdc()));
        EXPECT_EQ(display.image().pixel(160, 120), kOutside);
    }
    EXPECT_TRUE(planPan(kPanLeftToRight, {0, 0}, {100, 100}).done);
    EXPECT_TRUE(planPan(kPanLeftToRight, {100, 100}, {0, 0}).done);
}

TEST(PanSetUp, SpeedsBelowOneMillisecondAreOneMillisecond) {
    EXPECT_EQ(panInterval(250), 250);
    EXPECT_EQ(panInterval(1), 1);
    EXPECT_EQ(panInterval(0), 1);
    EXPECT_EQ(panInterval(-250), 1);
    EXPECT_EQ(panInterval(-32768), 1);
}

// A picture too large to hold moves through windows of it, as the saver
// runs it: the next window is asked for once half of the held one is
// passed and taken when the pan leaves the held one. Every mode, windows of
// several lengths: no step ever finds its row or column missing, and the
// far end ends on screen as with the whole picture.
TEST(PanWindows, EveryStepFindsItsRowInTheWindowHeld) {
    struct Case {
        int mode;
        Size picture;
        int firstX, firstY, lastX, lastY;
    };
    const Case cases[] = {
        {kPanTopToBottom, {320, 2000}, 0, 0, 0, 1760},
        {kPanBottomToTop, {320, 2000}, 0, 1760, 0, 0},
        {kPanLeftToRight, {2500, 240}, 0, 0, 2180, 0},
        {kPanRightToLeft, {2500, 240}, 2180, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const bool down = c.mode <= kPanBottomToTop;
        const QImage whole = marked(c.picture.width, c.picture.height);
        const int end = down ? c.picture.height : c.picture.width;
        for (int ahead : {1, 2, 7, 100, 1024}) {
            SCOPED_TRACE(std::to_string(c.mode) + " ahead " + std::to_string(ahead));
            auto part = [&](PanWindow w) {
                return down ? whole.copy(0, w.origin, whole.width(), w.length)
                            : whole.copy(w.origin, 0, w.length, whole.height());
            };
            PanWindow held = firstPanWindow(c.mode, end, (down ? 240 : 320) + ahead);
            DeviceContext display(320, 240), picture(part(held));
            PanState p = planPan(c.mode, {320, 240}, c.picture);
            p.offset = held.origin;
            display.fill(kOutside);
            graphics::BitBlt(display.hdc(), 0, 0, 320, 240, picture.hdc(),
                             c.firstX - (down ? 0 : held.origin),
                             c.firstY - (down ? held.origin : 0), graphics::SRCCOPY);
            std::optional<PanWindow> asked;
            int steps = 0, reads = 0;
            bool missing = false;
            for (;;) {
                if (!windowHolds(p, held)) {
                    if (!asked || !windowHolds(p, *asked)) {
                        missing = true;
                        asked = panWindowAt(p, held.length);
                    }
                    EXPECT_LE(asked->length, held.length);
                    held = *asked;
                    asked.reset();
                    picture.setImage(part(held));
                    p.offset = held.origin;
                    ++reads;
                }
                if (!asked)
                    asked = nextPanWindow(p, held);
                if (!panStep(p, display.hdc(), picture.hdc()) || ++steps > end)
                    break;
            }
            EXPECT_FALSE(missing);
            EXPECT_EQ(steps, end - (down ? 240 : 320));
            EXPECT_GE(reads, ahead < 1024 ? 2 : 1);
            EXPECT_TRUE(showsPicturePart(display, p.view, c.lastX, c.lastY));
        }
    }
}
