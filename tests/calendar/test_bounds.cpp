// Where the calendar goes: frames for every size and position code, the row
// count of each kind of month, leap days, dates and the overlays' settings.

#include "calendar/CalendarClass.h"
#include "calendar/CalendarSettings.h"
#include "tests/support/TempDir.h"

#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

using namespace skyloom;
using namespace skyloom::calendar;

namespace {

struct Frame {
    int left = 20, top = 20, width = 0, height = 0;
    bool operator==(const Frame&) const = default;
};
[[maybe_unused]] std::ostream& operator<<(std::ostream& os, const Frame& f) {
    return os << f.left << "," << f.top << " " << f.width << "x" << f.height;
}

Frame bounds(int sizeCode, int pos, QDate date, int w, int h, int* rows = nullptr) {
    CalendarClass cal;
    cal.m_Size = sizeFraction(sizeCode);
    cal.m_Pos = pos;
    EXPECT_TRUE(cal.SetDate(date));
    Frame f;
    cal.GetBounds(w, h, f.left, f.top, f.width, f.height);
    if (rows)
        *rows = cal.rows();
    return f;
}

const QDate kFiveWeeks(2026, 12, 7); // 31 days from a Tuesday
const QDate kSixWeeks(2026, 5, 15);  // 31 days from a Friday

} // namespace

TEST(CalendarBounds, Examples) {
    // Size 0.20 on 1024 × 768: 197 wide, 146 + 10 high, + a row of 21 for six weeks.
    EXPECT_EQ(bounds(20, 3, kFiveWeeks, 1024, 768), (Frame{787, 20, 197, 156}));
    EXPECT_EQ(bounds(20, 3, kSixWeeks, 1024, 768), (Frame{787, 20, 197, 177}));
    EXPECT_EQ(bounds(20, 9, kFiveWeeks, 1024, 768), (Frame{787, 768 - 156 - 20, 197, 156}));
    EXPECT_EQ(bounds(100, 3, kFiveWeeks, 1024, 768), (Frame{0, 20, 984, 728}));
    EXPECT_EQ(bounds(20, 1, kFiveWeeks, 800, 600), (Frame{20, 20, 152, 122}));
    // Medium (33 / 100 as a 32-bit float) is not below 0.33: no extra height.
    EXPECT_EQ(bounds(33, 1, kSixWeeks, 1024, 768).height, 240);
    // Halves to even: centre 415.5 -> 416 and 416.5 -> 416; 25 × 0.66f = 16.5 -> 16.
    EXPECT_EQ(bounds(20, 2, kFiveWeeks, 1029, 768).left, 416);
    EXPECT_EQ(bounds(20, 5, kFiveWeeks, 1031, 768).left, 416);
    EXPECT_EQ(bounds(66, 1, kFiveWeeks, 65, 65).width, 16);
}

// Every size and position on a few screens: margins 20 left, top and
// bottom, 40 right; centring; the heights of five- and six-week months.
TEST(CalendarBounds, EverySizeAndPosition) {
    for (QSize screen : {QSize(1024, 768), QSize(800, 600), QSize(1366, 768), QSize(3840, 2160)})
        for (int size : kSizeCodes)
            for (QDate date : {kFiveWeeks, kSixWeeks})
                for (int pos = 1; pos <= 9; ++pos) {
                    SCOPED_TRACE(testing::Message() << screen.width() << "x" << screen.height()
                                                    << " size " << size << " pos " << pos);
                    const int W = screen.width(), H = screen.height();
                    const Frame f = bounds(size, pos, date, W, H);
                    const double frac = sizeFraction(size);
                    const long base = std::lround((H - 40) * frac);
                    const long extra =
                        size == 20 ? 10 + (date == kSixWeeks ? std::lround(base / 7.0) : 0) : 0;
                    EXPECT_NEAR(f.width, (W - 40) * frac, 0.5);
                    EXPECT_NEAR(f.height, base + extra, 1);
                    const int column = (pos - 1) % 3, row = (pos - 1) / 3;
                    const int expectLeft[] = {20, (W - f.width) / 2, W - 40 - f.width};
                    const int expectTop[] = {20, (H - f.height) / 2, H - 20 - f.height};
                    EXPECT_NEAR(f.left, expectLeft[column], column == 1 ? 1 : 0);
                    EXPECT_NEAR(f.top, expectTop[row], row == 1 ? 1 : 0);
                }
}

TEST(CalendarBounds, RowsForEachKindOfMonth) {
    const std::pair<QDate, int> cases[] = {
        {QDate(2026, 5, 1), 8},  // 31 days from a Friday
        {QDate(2026, 8, 1), 8},  // 31 days from a Saturday
        {QDate(2025, 11, 1), 8}, // 30 days from a Saturday
        {QDate(2022, 4, 1), 7},  // 30 days from a Friday
        {QDate(2026, 3, 1), 7},  // 31 days from a Sunday
        {QDate(2015, 2, 1), 7},  // 28-day February from a Sunday: last row empty
        {QDate(2020, 2, 1), 7},  // 29-day February from a Saturday
    };
    for (auto [date, rows] : cases) {
        int got = 0;
        bounds(33, 1, date, 1024, 768, &got);
        EXPECT_EQ(got, rows) << date.toString(Qt::ISODate).toStdString();
    }
    // An unknown position leaves the corner alone.
    CalendarClass cal;
    cal.m_Size = 0.2f;
    cal.m_Pos = 10;
    ASSERT_TRUE(cal.SetDate(kFiveWeeks));
    Frame f{111, 222};
    cal.GetBounds(1024, 768, f.left, f.top, f.width, f.height);
    EXPECT_EQ(f, (Frame{111, 222, 197, 156}));
}

TEST(CalendarDate, LeapDaysAndDateTexts) {
    EXPECT_EQ(CalendarClass::GetLeapDay(3, 2024), 0);
    CalendarClass cal;
    for (auto [year, days] : {std::pair{2000, 29}, {2024, 29}, {1900, 28}, {2100, 28}}) {
        EXPECT_EQ(CalendarClass::GetLeapDay(2, year), days - 28);
        ASSERT_TRUE(cal.SetDate(QDate(year, 2, 10)));
        EXPECT_EQ(cal.daysInMonth(), days) << year;
    }
    ASSERT_TRUE(cal.SetDate("2026-12-07"));
    EXPECT_EQ(cal.firstDay(), 3); // 1 December 2026 is a Tuesday
    ASSERT_TRUE(cal.SetDate("3/15/2002 10:30:00 AM"));
    EXPECT_EQ(QDate(cal.year(), cal.month(), cal.day()), QDate(2002, 3, 15));
    EXPECT_EQ(cal.firstDay(), 6); // a Friday

    // Unreadable or impossible dates are refused and the last good one stays.
    ASSERT_TRUE(cal.SetDate("2024-02-29"));
    for (const char* bad : {"", "hello", "2026-02-30", "2023-02-29", "13/1/2026", "2026-00-10",
                            "12/7/0", "10000-01-01", "7.12.2026"}) {
        EXPECT_FALSE(cal.SetDate(bad)) << bad;
        EXPECT_EQ(cal.date(), "2024-02-29");
    }
}

TEST(CalendarSettings, DefaultsOldCodesAndOutOfRange) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    SaverCalendarSettings s = readSaverCalendarSettings(ini); // no file: defaults
    WallpaperCalendarSettings w = readWallpaperCalendarSettings(ini);
    EXPECT_TRUE(s.bCalender && s.bStretch2Fit && w.enabled);
    EXPECT_EQ(s.CalSize, 20);
    EXPECT_EQ(s.CalPos, 1);
    EXPECT_EQ(w.size, 20); // old code 4
    EXPECT_EQ(w.position, 3);

    dir.write("ScreenSaver.ini", "[CalendarSS]\nenable=0\nsize=3\nposition=9\n[PrefsSS]\n"
                                 "stretch=0\n[CalendarWP]\nEnable=0\nposition=0\nSize=2\n");
    s = readSaverCalendarSettings(ini);
    w = readWallpaperCalendarSettings(ini);
    EXPECT_FALSE(s.bCalender || s.bStretch2Fit || w.enabled);
    EXPECT_EQ(s.CalSize, 33); // old index 3
    EXPECT_EQ(s.CalPos, 9);
    EXPECT_EQ(w.size, 66);    // old code 2
    EXPECT_EQ(w.position, 3); // 0 is no position

    dir.write("ScreenSaver.ini", "[CalendarSS]\nsize=50\nposition=12\n[CalendarWP]\nsize=7\n");
    s = readSaverCalendarSettings(ini);
    EXPECT_EQ(s.CalSize, 20);
    EXPECT_EQ(s.CalPos, 1);
    EXPECT_EQ(readWallpaperCalendarSettings(ini).size, 20);
}
