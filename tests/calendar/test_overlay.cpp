// The overlays: where the saver's calendar sits, the darkened panel, the
// work buffer's content afterwards, and the wallpaper's key-coloured copy
// that leaves every picture pixel outside the calendar alone.

#include "GuiApp.h"
#include "calendar/CalendarOverlay.h"
#include "graphics/WorkBuff.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::calendar;

namespace {

const auto* const gui = ::testing::AddGlobalTestEnvironment(new test::GuiEnvironment);

constexpr QRgb kGreen = 0xff00ff00u, kYellow = 0xffffff00u, kWhite = 0xffffffffu;
const QDate kDay(2026, 12, 7); // a Monday; December 2026 starts on a Tuesday

int count(const QImage& img, QRect r, QRgb colour) {
    int n = 0;
    r &= img.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += (img.pixel(x, y) | 0xff000000u) == colour;
    return n;
}

// Pixels outside `keep` that differ from `colour`.
int changedOutside(const QImage& img, QRect keep, QRgb colour) {
    return img.width() * img.height() - count(img, img.rect(), colour) -
           ((keep & img.rect()).width() * (keep & img.rect()).height() - count(img, keep, colour));
}

SaverCalendarSettings saver(int size, int pos, bool stretch = true) {
    SaverCalendarSettings s;
    s.CalSize = size;
    s.CalPos = pos;
    s.bStretch2Fit = stretch;
    return s;
}

CalendarFrame frameOn(int W, int H, int size, int pos) {
    CalendarClass cal;
    cal.m_Size = sizeFraction(size);
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(kDay));
    CalendarFrame f;
    cal.GetBounds(W, H, f.nLeft, f.nTop, f.nWidth, f.nHeight);
    return f;
}

// Today's cell of the face pass for a calendar in frame f.
QRect todayCell(const CalendarFrame& f, int sizeCode, int pos, int W, int H) {
    CalendarClass cal;
    cal.m_Size = sizeFraction(sizeCode);
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(kDay));
    int l = 0, t = 0, w = 0, h = 0;
    cal.GetBounds(W, H, l, t, w, h); // the row count
    QImage scratch(1, 1, QImage::Format_RGB32);
    QImageCanvas canvas(scratch);
    cal.BeginDraw(canvas, true, f.nLeft, f.nTop, f.nWidth, f.nHeight); // the frame
    int x = 0, y = 0, cw = 0, ch = 0;
    cal.dayCell(kDay.day(), x, y, cw, ch);
    return QRect(x - 2, y - 2, cw, ch);
}

QImage grey(int w, int h, int level) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(level, level, level));
    return img;
}

} // namespace

TEST(SaverCalendar, FrameOnDisplayOrInsideTheCentredPicture) {
    CalendarClass cal;
    ASSERT_TRUE(cal.SetDate(kDay));
    cal.m_Size = 0.2f;
    cal.m_Pos = 1;
    CalendarFrame f = saverFrame(cal, saver(20, 1, false), {1024, 768}, {800, 600});
    EXPECT_EQ(f.nLeft, 132);
    EXPECT_EQ(f.nTop, 104);
    EXPECT_EQ(f.nWidth, 152);
    EXPECT_EQ(f.nHeight, 122);

    f = saverFrame(cal, saver(20, 1, true), {1024, 768}, {800, 600});
    EXPECT_EQ(f.nLeft, 20);
    EXPECT_EQ(f.nTop, 20);
    EXPECT_EQ(f.nWidth, 197);

    // No picture size known: the display's.
    f = saverFrame(cal, saver(20, 1, false), {1024, 768}, {0, 0});
    EXPECT_EQ(f.nWidth, 197);
}

TEST(SaverCalendar, DarkPanelTextAndNothingElse) {
    QImage canvas = grey(1024, 768, 150);
    CalendarClass cal;
    ASSERT_TRUE(DispCalender(cal, canvas, saver(33, 1), canvas.size(), kDay));
    const CalendarFrame f = frameOn(1024, 768, 33, 1);
    EXPECT_EQ(changedOutside(canvas, f.rect().adjusted(-2, -2, 0, 0), qRgb(150, 150, 150)), 0);

    // An empty cell after the 31st (row 6, Saturday column): darkened, no text.
    const int colW = (f.nWidth + 3) / 7, rowH = f.nHeight / 7;
    const QPoint empty(f.nLeft + 6 * colW + colW / 2, f.nTop + 6 * rowH + rowH / 2);
    EXPECT_NEAR(qRed(canvas.pixel(empty)), 150 * 0.33, 2);
    EXPECT_GT(count(canvas, todayCell(f, 33, 1, 1024, 768), kYellow), 20);
    EXPECT_GT(count(canvas, f.rect(), kWhite), 200);
}

TEST(SaverCalendar, WorkBufferKeepsThePanelWithoutText) {
    const QImage start = grey(1024, 768, 150);
    CalendarClass cal;

    QImage plain = start;
    ASSERT_TRUE(DispCalender(cal, plain, saver(20, 9), plain.size(), kDay));

    // The transition engine's buffer, as large as the canvas, holding something else.
    graphics::WorkBuff big;
    ASSERT_TRUE(big.InitWorkBuff(1024, 768, 0));
    rasterkit::pixels(big.hBMP())->fill(qRgb(200, 0, 0));
    QImage withBuffer = start;
    ASSERT_TRUE(DispCalender(cal, withBuffer, saver(20, 9), start.size(), kDay, big.hBMP()));
    EXPECT_TRUE(withBuffer == plain);

    const QImage& buffer = *rasterkit::pixels(big.hBMP());
    const CalendarFrame f = frameOn(1024, 768, 20, 9);
    EXPECT_EQ(changedOutside(buffer, f.rect(), qRgb(200, 0, 0)), 0);
    EXPECT_EQ(count(buffer, f.rect(), kWhite) + count(buffer, f.rect(), kYellow), 0);
    EXPECT_NEAR(qRed(buffer.pixel(f.nLeft + 1, f.nTop + 1)), 150 * 0.33, 2);

    // Too small a buffer is not used; the canvas looks the same.
    graphics::WorkBuff small;
    ASSERT_TRUE(small.InitWorkBuff(100, 100, 0));
    QImage withSmall = start;
    ASSERT_TRUE(DispCalender(cal, withSmall, saver(20, 9), start.size(), kDay, small.hBMP()));
    EXPECT_TRUE(withSmall == plain);
}

TEST(SaverCalendar, SettingsFromTheFile) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    CalendarClass cal;
    dir.write("ScreenSaver.ini", "[CalendarSS]\nenable=0\n");
    QImage canvas = grey(1024, 768, 150);
    EXPECT_FALSE(DispCalender(cal, canvas, ini, canvas.size()));
    EXPECT_TRUE(canvas == grey(1024, 768, 150));

    dir.write("ScreenSaver.ini", "[CalendarSS]\nposition=9\nsize=33\n");
    ASSERT_TRUE(DispCalender(cal, canvas, ini, canvas.size()));
    EXPECT_EQ(count(canvas, QRect(0, 0, 500, 400), qRgb(150, 150, 150)), 500 * 400);
    EXPECT_LT(count(canvas, QRect(700, 500, 300, 240), qRgb(150, 150, 150)), 300 * 240);
}

TEST(SaverCalendar, BadInputDrawsNothing) {
    CalendarClass cal;
    QImage none;
    EXPECT_FALSE(DispCalender(cal, none, saver(20, 1), {}, kDay));
    for (QSize tiny : {QSize(1, 1), QSize(20, 20), QSize(45, 45), QSize(60, 48)}) {
        QImage canvas = grey(tiny.width(), tiny.height(), 150);
        const QImage before = canvas;
        EXPECT_FALSE(DispCalender(cal, canvas, saver(20, 5), tiny, kDay)) << tiny.width();
        EXPECT_TRUE(canvas == before);
    }
    QImage canvas = grey(640, 480, 150);
    EXPECT_FALSE(DispCalender(cal, canvas, saver(20, 1), canvas.size(), QDate()));
    // Codes the lists do not offer fall back to the defaults (Small, Top-Left).
    QImage odd = grey(640, 480, 150), normal = grey(640, 480, 150);
    EXPECT_TRUE(DispCalender(cal, odd, saver(500, 42), odd.size(), kDay));
    EXPECT_TRUE(DispCalender(cal, normal, saver(20, 1), normal.size(), kDay));
    EXPECT_TRUE(odd == normal);
    // A picture larger than the display, not stretched: clipped, no crash.
    QImage big = grey(640, 480, 150);
    DispCalender(cal, big, saver(100, 9, false), {4000, 3000}, kDay);
}

TEST(WallpaperCalendar, GreenPictureUntouchedOutsideTheCalendar) {
    graphics::WorkBuff picture;
    ASSERT_TRUE(picture.InitWorkBuff(1024, 768, 0));
    QImage& pixels = *rasterkit::pixels(picture.hBMP());
    pixels.fill(kGreen);
    CalendarClass cal;
    WallpaperCalendarSettings s;
    s.position = 3;
    s.size = 33;
    ASSERT_TRUE(DispCalendar(cal, picture.hBMP(), 1024, 768, s, kDay));

    const CalendarFrame f = frameOn(1024, 768, 33, 3);
    // Tiles may run up to 2 pixels past the right and bottom edges.
    EXPECT_EQ(changedOutside(pixels, f.rect().adjusted(0, 0, 2, 2), kGreen), 0);
    // ...or stop up to 2 pixels short of them.
    EXPECT_EQ(count(pixels, f.rect().adjusted(0, 0, -2, -2), kGreen), 0);
    EXPECT_GT(count(pixels, f.rect(), qRgb(0, 84, 0)), f.nWidth * f.nHeight / 2); // darkened
    EXPECT_GT(count(pixels, todayCell(f, 33, 3, 1024, 768), kYellow), 20);
    EXPECT_GT(count(pixels, f.rect(), kWhite), 200);
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

    const CalendarFrame f = frameOn(1280, 1024, 20, 3);
    const rasterkit::Handle art = rasterkit::LoadBitMap(dir.file("cal.bmp"));
    ASSERT_GE(art, 0);
    EXPECT_EQ(rasterkit::GetGCBitmapWidth(art), f.nWidth);
    EXPECT_EQ(rasterkit::GetGCBitmapHeight(art), f.nHeight);
    EXPECT_EQ(rasterkit::pixels(art)->pixel(f.nWidth - 1, f.nHeight - 1) | 0xff000000u, kGreen);
    rasterkit::UnloadBitMap(art);

    // A folder that cannot take the file: the calendar still appears.
    EXPECT_TRUE(render(dir.file("missing/folder")) == inMemory);
}

TEST(WallpaperCalendar, OffOrBadInputLeavesThePicture) {
    test::TempDir dir;
    graphics::WorkBuff picture;
    ASSERT_TRUE(picture.InitWorkBuff(800, 600, 0));
    rasterkit::pixels(picture.hBMP())->fill(kGreen);
    const QImage before = rasterkit::pixels(picture.hBMP())->copy();
    CalendarClass cal;

    dir.write("ScreenSaver.ini", "[CalendarWP]\nenable=0\n");
    EXPECT_FALSE(
        DispCalendar(cal, picture.hBMP(), 800, 600, dir.file("ScreenSaver.ini"), dir.path()));
    EXPECT_FALSE(std::filesystem::exists(dir.file("cal.bmp")));

    const WallpaperCalendarSettings on;
    EXPECT_FALSE(DispCalendar(cal, -1, 800, 600, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, 987654, 800, 600, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 0, 600, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 30, 30, on, kDay));
    EXPECT_FALSE(DispCalendar(cal, picture.hBMP(), 800, 600, on, QDate()));
    EXPECT_TRUE(*rasterkit::pixels(picture.hBMP()) == before);

    // Sizes larger than the buffer: the calendar is clipped to the picture.
    WallpaperCalendarSettings bottomRight;
    bottomRight.position = 9;
    EXPECT_TRUE(DispCalendar(cal, picture.hBMP(), 1600, 1200, bottomRight, kDay));
    EXPECT_TRUE(*rasterkit::pixels(picture.hBMP()) == before);
}
