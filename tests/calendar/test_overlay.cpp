// The overlays: where the saver's calendar sits, the darkened panel cut to
// its frame, and the wallpaper's key-coloured copy
// that leaves every picture pixel outside the calendar alone.

#include "CalendarTestSupport.h"
#include "calendar/CalendarOverlay.h"
#include "graphics/WorkBuff.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::calendar;
using skyloom::test::count;
using skyloom::test::kGreen;
using skyloom::test::kWhite;
using skyloom::test::kYellow;

namespace {

const QDate kDay(2026, 12, 7); // December 2026 starts on a Tuesday

// Pixels outside `keep` that are not `colour`.
int changedOutside(const QImage& img, QRect keep, QRgb colour) {
    keep &= img.rect();
    return img.width() * img.height() - count(img, img.rect(), colour) -
           (keep.width() * keep.height() - count(img, keep, colour));
}

SaverCalendarSettings saver(int size, int pos, bool stretch = true) {
    SaverCalendarSettings s;
    s.CalSize = size;
    s.CalPos = pos;
    s.bStretch2Fit = stretch;
    return s;
}

// The frame on a W × H picture and today's cell of the face pass in it.
struct Placed {
    CalendarFrame f;
    QRect today;
};
Placed placed(int W, int H, int sizeCode, int pos) {
    CalendarClass cal;
    cal.m_Size = sizeFraction(sizeCode);
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(kDay));
    Placed p;
    cal.GetBounds(W, H, p.f.nLeft, p.f.nTop, p.f.nWidth, p.f.nHeight);
    QImage scratch(1, 1, QImage::Format_RGB32);
    QImageCanvas canvas(scratch);
    cal.BeginDraw(canvas, true, p.f.nLeft, p.f.nTop, p.f.nWidth, p.f.nHeight);
    int x = 0, y = 0, w = 0, h = 0;
    cal.dayCell(kDay.day(), x, y, w, h);
    p.today = QRect(x - 2, y - 2, w, h);
    return p;
}

QImage grey(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(150, 150, 150));
    return img;
}

} // namespace

TEST(SaverCalendar, FrameOnDisplayOrInsideTheCentredPicture) {
    CalendarClass cal;
    ASSERT_TRUE(cal.SetDate(kDay));
    cal.m_Size = 0.2f;
    cal.m_Pos = 1;
    CalendarFrame f = saverFrame(cal, saver(20, 1, false), {1024, 768}, {800, 600});
    EXPECT_EQ(f.rect(), QRect(132, 104, 152, 122)); // 20 inside the picture's corner
    f = saverFrame(cal, saver(20, 1, true), {1024, 768}, {800, 600});
    EXPECT_EQ(f.rect(), QRect(20, 20, 197, 156));
    // Size unknown, or larger than the display: the display's frame.
    for (QSize picture : {QSize(0, 0), QSize(4000, 3000)}) {
        f = saverFrame(cal, saver(20, 1, false), {1024, 768}, picture);
        EXPECT_EQ(f.rect(), QRect(20, 20, 197, 156));
    }
    cal.m_Pos = 3;
    f = saverFrame(cal, saver(20, 3, false), {1024, 768}, {3000, 600}); // a wide panorama
    EXPECT_EQ(f.rect(), QRect(1024 - 40 - 197, 104, 197, 122));
}

TEST(SaverCalendar, PanelAndTextOnlyInTheFrame) {
    const QImage start = grey(1024, 768);
    CalendarClass cal;
    QImage plain = start;
    ASSERT_TRUE(DispCalender(cal, plain, saver(33, 9), plain.size(), kDay));
    const Placed p = placed(1024, 768, 33, 9);
    EXPECT_EQ(changedOutside(plain, p.f.rect().adjusted(-2, -2, 0, 0), qRgb(150, 150, 150)), 0);
    EXPECT_NEAR(qRed(plain.pixel(p.f.nLeft + 1, p.f.nTop + 1)), 150 * 0.33, 2); // darkened
    EXPECT_GT(count(plain, p.today, kYellow), 20);
    EXPECT_GT(count(plain, p.f.rect(), kWhite), 200);

    // A high-density canvas is drawn in its own pixels all the same.
    QImage dense = start;
    dense.setDevicePixelRatio(2.0);
    ASSERT_TRUE(DispCalender(cal, dense, saver(33, 9), start.size(), kDay));
    EXPECT_EQ(dense.devicePixelRatio(), 2.0);
    dense.setDevicePixelRatio(1.0);
    EXPECT_TRUE(dense == plain);
}

TEST(SaverCalendar, SettingsFileAndBadInput) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    CalendarClass cal;
    QImage canvas = grey(1024, 768);
    dir.write("ScreenSaver.ini", "[CalendarSS]\nenable=0\n");
    EXPECT_FALSE(DispCalender(cal, canvas, readSaverCalendarSettings(ini), canvas.size(), kDay));
    EXPECT_TRUE(canvas == grey(1024, 768));
    dir.write("ScreenSaver.ini", "[CalendarSS]\nposition=9\nsize=33\n");
    QRect drawn;
    ASSERT_TRUE(
        DispCalender(cal, canvas, readSaverCalendarSettings(ini), canvas.size(), kDay, &drawn));
    EXPECT_EQ(drawn, placed(1024, 768, 33, 9).f.rect());
    EXPECT_EQ(changedOutside(canvas, QRect(600, 400, 424, 368), qRgb(150, 150, 150)), 0);

    QImage none;
    EXPECT_FALSE(DispCalender(cal, none, saver(20, 1), {}, kDay));
    for (QSize tiny : {QSize(1, 1), QSize(45, 45), QSize(60, 48)}) {
        QImage small = grey(tiny.width(), tiny.height());
        EXPECT_FALSE(DispCalender(cal, small, saver(20, 5), tiny, kDay)) << tiny.width();
        EXPECT_TRUE(small == grey(tiny.width(), tiny.height()));
    }
    EXPECT_FALSE(DispCalender(cal, canvas, saver(20, 1), canvas.size(), QDate()));
}

TEST(WallpaperCalendar, GreenPictureUntouchedOutsideTheCalendar) {
    graphics::WorkBuff picture;
    ASSERT_TRUE(picture.InitWorkBuff(1024, 768, 0));
    QImage& pixels = *rasterkit::pixels(picture.hBMP());
    pixels.fill(kGreen);
    CalendarClass cal;
    WallpaperCalendarSettings s;
    s.size = 33;
    ASSERT_TRUE(DispCalendar(cal, picture.hBMP(), 1024, 768, s, kDay));

    const Placed p = placed(1024, 768, 33, 3);
    // Tiles run or stop up to 2 pixels past or short of the right and bottom edges.
    EXPECT_EQ(changedOutside(pixels, p.f.rect().adjusted(0, 0, 2, 2), kGreen), 0);
    EXPECT_EQ(count(pixels, p.f.rect().adjusted(0, 0, -2, -2), kGreen), 0);
    EXPECT_GT(count(pixels, p.f.rect(), qRgb(0, 84, 0)), p.f.nWidth * p.f.nHeight / 2);
    EXPECT_GT(count(pixels, p.today, kYellow), 20);
    EXPECT_GT(count(pixels, p.f.rect(), kWhite), 200);
}

TEST(WallpaperCalendar, CalendarFileMatchesTheInMemoryPicture) {
    test::TempDir dir;
    auto render = [&](const std::string& folder) {
        graphics::WorkBuff picture;
        EXPECT_TRUE(picture.InitWorkBuff(1280, 1024, 0));
        rasterkit::pixels(picture.hBMP())->fill(qRgb(30, 120, 200));
        CalendarClass cal;
        EXPECT_TRUE(DispCalendar(cal, picture.hBMP(), 1280, 1024, WallpaperCalendarSettings{}, kDay,
                                 folder));
        return rasterkit::pixels(picture.hBMP())->copy();
    };
    const QImage inMemory = render("");
    EXPECT_FALSE(std::filesystem::exists(dir.file("cal.bmp")));
    EXPECT_TRUE(render(dir.path()) == inMemory);

    const CalendarFrame f = placed(1280, 1024, 20, 3).f;
    const rasterkit::Handle art = rasterkit::LoadBitMap(dir.file("cal.bmp"));
    ASSERT_GE(art, 0);
    EXPECT_EQ(rasterkit::pixels(art)->size(), QSize(f.nWidth, f.nHeight));
    EXPECT_EQ(rasterkit::pixels(art)->pixel(f.nWidth - 1, f.nHeight - 1) | 0xff000000u, kGreen);
    rasterkit::UnloadBitMap(art);

    // A folder that cannot take the file: the calendar still appears.
    EXPECT_TRUE(render(dir.file("missing/folder")) == inMemory);
}

TEST(WallpaperCalendar, OffOrBadInputLeavesThePicture) {
    test::TempDir dir;
    graphics::WorkBuff picture;
    ASSERT_TRUE(picture.InitWorkBuff(800, 600, 0));
    const QImage before = rasterkit::pixels(picture.hBMP())->copy();
    CalendarClass cal;
    dir.write("ScreenSaver.ini", "[CalendarWP]\nenable=0\n");
    EXPECT_FALSE(
        DispCalendar(cal, picture.hBMP(), 800, 600, dir.file("ScreenSaver.ini"), dir.path()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("cal.bmp")));

    const WallpaperCalendarSettings on;
    EXPECT_FALSE(DispCalendar(cal, -1, 800, 600, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 0, 600, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 30, 30, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 800, 600, on, QDate()));
    EXPECT_TRUE(*rasterkit::pixels(picture.hBMP()) == before);
}
