// Where the calendar goes: frame sizes and corners for every size and
// position code, the row count of each kind of month, leap days, dates and
// the settings that feed the overlays.

#include "calendar/CalendarClass.h"
#include "calendar/CalendarSettings.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::calendar;

namespace {

struct Frame {
    int left = -1, top = -1, width = -1, height = -1;
};

Frame bounds(int sizeCode, int pos, QDate date, int w, int h) {
    CalendarClass cal;
    cal.m_Size = sizeFraction(sizeCode);
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(date));
    Frame f;
    cal.GetBounds(w, h, f.left, f.top, f.width, f.height);
    return f;
}

const QDate kFiveWeeks(2026, 12, 7); // 31 days from a Tuesday
const QDate kSixWeeks(2026, 5, 15);  // 31 days from a Friday

} // namespace

TEST(CalendarBounds, ExamplesOnA1024By768Screen) {
    Frame f = bounds(20, 3, kFiveWeeks, 1024, 768);
    EXPECT_EQ(f.width, 197);
    EXPECT_EQ(f.height, 156); // 146 + 10
    EXPECT_EQ(f.left, 787);   // 1024 - 40 - 197
    EXPECT_EQ(f.top, 20);

    f = bounds(20, 3, kSixWeeks, 1024, 768);
    EXPECT_EQ(f.height, 177); // 146 + a row of 21 + 10

    f = bounds(20, 9, kFiveWeeks, 1024, 768);
    EXPECT_EQ(f.top, 768 - 156 - 20);

    f = bounds(100, 3, kFiveWeeks, 1024, 768);
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.width, 984);
    EXPECT_EQ(f.height, 728);

    f = bounds(20, 1, kFiveWeeks, 800, 600);
    EXPECT_EQ(f.left, 20);
    EXPECT_EQ(f.top, 20);
    EXPECT_EQ(f.width, 152);
    EXPECT_EQ(f.height, 122);
}

// Every size and position, five- and six-week months, a few screens: the
// margins (20 left, top and bottom, 40 right), centring and heights.
TEST(CalendarBounds, EverySizeAndPosition) {
    const QSize screens[] = {{1024, 768}, {800, 600}, {1920, 1080}, {3840, 2160}, {1366, 768}};
    for (QSize screen : screens)
        for (int size : kSizeCodes)
            for (QDate date : {kFiveWeeks, kSixWeeks})
                for (int pos = 1; pos <= 9; ++pos) {
                    SCOPED_TRACE(testing::Message()
                                 << screen.width() << "x" << screen.height() << " size " << size
                                 << " pos " << pos << " " << date.toString().toStdString());
                    const int W = screen.width(), H = screen.height();
                    const Frame f = bounds(size, pos, date, W, H);
                    const double frac = sizeFraction(size);
                    EXPECT_NEAR(f.width, (W - 40) * frac, 0.5);
                    const long base = std::lround((H - 40) * frac);
                    const long extra =
                        size == 20 ? 10 + (date == kSixWeeks ? std::lround(base / 7.0) : 0) : 0;
                    EXPECT_NEAR(f.height, base + extra, 1);
                    switch ((pos - 1) % 3) {
                    case 0:
                        EXPECT_EQ(f.left, 20);
                        break;
                    case 1:
                        EXPECT_LE(std::abs(2 * f.left + f.width - W), 1);
                        break;
                    case 2:
                        EXPECT_EQ(f.left + f.width, W - 40);
                        break;
                    }
                    switch ((pos - 1) / 3) {
                    case 0:
                        EXPECT_EQ(f.top, 20);
                        break;
                    case 1:
                        EXPECT_LE(std::abs(2 * f.top + f.height - H), 1);
                        break;
                    case 2:
                        EXPECT_EQ(f.top + f.height, H - 20);
                        break;
                    }
                }
}

TEST(CalendarBounds, HalvesRoundToEven) {
    // Size 0.20 on 1029 wide: 197.8 -> 198; centre (1029 - 198) / 2 = 415.5 -> 416.
    EXPECT_EQ(bounds(20, 2, kFiveWeeks, 1029, 768).left, 416);
    // On 1031 wide: 198.2 -> 198; centre 416.5 -> 416.
    EXPECT_EQ(bounds(20, 5, kFiveWeeks, 1031, 768).left, 416);
    // 25 × 0.66 is 16.5 at 32-bit precision: halves go to the even 16.
    EXPECT_EQ(bounds(66, 1, kFiveWeeks, 65, 65).width, 16);
    // Row of 146 / 7 = 20.86 -> 21 added for a six-week month (the 177 above);
    // 600 high: 112 / 7 = 16 exactly, 112 + 16 + 10.
    EXPECT_EQ(bounds(20, 1, kSixWeeks, 800, 600).height, 138);
}

TEST(CalendarBounds, MediumIsNotBelowTheSmallThreshold) {
    // 33 / 100 compared as 32-bit floats is not below 0.33: no extra height.
    const Frame f = bounds(33, 1, kSixWeeks, 1024, 768);
    EXPECT_EQ(f.height, 240); // nearest(728 × 0.33) = 240.24
}

TEST(CalendarBounds, RowsForEachKindOfMonth) {
    struct Case {
        QDate date;
        int rows;
    } cases[] = {
        {QDate(2026, 5, 1), 8},  // 31 days from a Friday
        {QDate(2026, 8, 1), 8},  // 31 days from a Saturday
        {QDate(2025, 11, 1), 8}, // 30 days from a Saturday
        {QDate(2022, 4, 1), 7},  // 30 days from a Friday
        {QDate(2026, 12, 1), 7}, // 31 days from a Tuesday
        {QDate(2026, 3, 1), 7},  // 31 days from a Sunday
        {QDate(2015, 2, 1), 7},  // 28-day February from a Sunday: last row empty
        {QDate(2020, 2, 1), 7},  // 29-day February from a Saturday
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        CalendarClass cal;
        cal.m_Size = 0.33f;
        cal.m_Pos = 1;
        ASSERT_TRUE(cal.SetDate(c.date));
        int l = 0, t = 0, w = 0, h = 0;
        cal.GetBounds(1024, 768, l, t, w, h);
        EXPECT_EQ(cal.rows(), c.rows);
    }
}

TEST(CalendarBounds, UnknownPositionKeepsTheCorner) {
    for (int pos : {0, 10, -3}) {
        CalendarClass cal;
        cal.m_Size = 0.2f;
        cal.m_Pos = pos;
        ASSERT_TRUE(cal.SetDate(kFiveWeeks));
        int l = 111, t = 222, w = 0, h = 0;
        cal.GetBounds(1024, 768, l, t, w, h);
        EXPECT_EQ(l, 111);
        EXPECT_EQ(t, 222);
        EXPECT_EQ(w, 197);
    }
}

TEST(CalendarBounds, WithoutADateNothingIsWritten) {
    CalendarClass cal;
    cal.m_Size = 0.2f;
    cal.m_Pos = 1;
    int l = 5, t = 6, w = 7, h = 8;
    cal.GetBounds(1024, 768, l, t, w, h);
    EXPECT_EQ(cal.rows(), 0);
    EXPECT_EQ(l + t + w + h, 26);
}

TEST(CalendarDate, LeapDays) {
    EXPECT_EQ(CalendarClass::GetLeapDay(2, 2000), 1);
    EXPECT_EQ(CalendarClass::GetLeapDay(2, 2024), 1);
    EXPECT_EQ(CalendarClass::GetLeapDay(2, 1900), 0);
    EXPECT_EQ(CalendarClass::GetLeapDay(2, 2100), 0);
    EXPECT_EQ(CalendarClass::GetLeapDay(2, 2023), 0);
    EXPECT_EQ(CalendarClass::GetLeapDay(3, 2024), 0);
    CalendarClass cal;
    for (auto [year, days] : {std::pair{2000, 29}, {2024, 29}, {1900, 28}, {2100, 28}}) {
        ASSERT_TRUE(cal.SetDate(QDate(year, 2, 10)));
        EXPECT_EQ(cal.daysInMonth(), days) << year;
    }
}

TEST(CalendarDate, ReadsIsoAndMonthDayYear) {
    CalendarClass cal;
    ASSERT_TRUE(cal.SetDate("2026-12-07"));
    EXPECT_EQ(cal.month(), 12);
    EXPECT_EQ(cal.day(), 7);
    EXPECT_EQ(cal.year(), 2026);
    EXPECT_EQ(cal.firstDay(), 3); // 1 December 2026 is a Tuesday
    EXPECT_EQ(cal.date(), "2026-12-07");

    ASSERT_TRUE(cal.SetDate("3/15/2002 10:30:00 AM"));
    EXPECT_EQ(cal.month(), 3);
    EXPECT_EQ(cal.day(), 15);
    EXPECT_EQ(cal.year(), 2002);
    EXPECT_EQ(cal.firstDay(), 6); // 1 March 2002 is a Friday

    ASSERT_TRUE(cal.SetDate("2026-03-01"));
    EXPECT_EQ(cal.firstDay(), 1); // a Sunday
}

TEST(CalendarDate, BadDatesKeepThePreviousOne) {
    CalendarClass cal;
    ASSERT_TRUE(cal.SetDate("2024-02-29"));
    for (const char* bad : {"", "hello", "2026-02-30", "2023-02-29", "13/1/2026", "0/5/2026",
                            "2026-00-10", "12/7/0", "10000-01-01", "7.12.2026"}) {
        EXPECT_FALSE(cal.SetDate(bad)) << bad;
        EXPECT_EQ(cal.date(), "2024-02-29");
        EXPECT_EQ(cal.daysInMonth(), 29);
    }
    EXPECT_FALSE(cal.SetDate(QDate()));
}

TEST(CalendarSettings, SaverDefaultsAndCodes) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    SaverCalendarSettings s = readSaverCalendarSettings(ini); // no file: defaults
    EXPECT_TRUE(s.bCalender);
    EXPECT_EQ(s.CalSize, 20);
    EXPECT_EQ(s.CalPos, 1);
    EXPECT_TRUE(s.bStretch2Fit);

    dir.write("ScreenSaver.ini",
              "[CalendarSS]\nenable=0\nsize=66\nposition=9\n[PrefsSS]\nstretch=0\n");
    s = readSaverCalendarSettings(ini);
    EXPECT_FALSE(s.bCalender);
    EXPECT_EQ(s.CalSize, 66);
    EXPECT_EQ(s.CalPos, 9);
    EXPECT_FALSE(s.bStretch2Fit);

    dir.write("ScreenSaver.ini", "[CalendarSS]\nsize=3\nposition=12\n");
    s = readSaverCalendarSettings(ini);
    EXPECT_EQ(s.CalSize, 33); // old index
    EXPECT_EQ(s.CalPos, 1);   // out of range: default

    dir.write("ScreenSaver.ini", "[CalendarSS]\nsize=50\nposition=0\n");
    s = readSaverCalendarSettings(ini);
    EXPECT_EQ(s.CalSize, 20);
    EXPECT_EQ(s.CalPos, 1);
}

TEST(CalendarSettings, WallpaperDefaultsAndCodes) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    WallpaperCalendarSettings s = readWallpaperCalendarSettings(ini);
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.position, 3);
    EXPECT_EQ(s.size, 20);

    dir.write("ScreenSaver.ini", "[CalendarWP]\nEnable=0\nposition=5\nSize=2\n");
    s = readWallpaperCalendarSettings(ini);
    EXPECT_FALSE(s.enabled);
    EXPECT_EQ(s.position, 5);
    EXPECT_EQ(s.size, 66); // old code 2

    dir.write("ScreenSaver.ini", "[CalendarWP]\nposition=0\nsize=7\n");
    s = readWallpaperCalendarSettings(ini);
    EXPECT_EQ(s.position, 3);
    EXPECT_EQ(s.size, 20);
}
