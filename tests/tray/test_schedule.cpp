// The schedule of paperwheel: reading "LastChanged" back, the interval
// rules at any date and time, and the timer's countdown.

#include "common/DateText.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"
#include "tray/LastChanged.h"
#include "tray/Schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyloom;
using namespace skyloom::tray;

namespace {

LocalDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {y, mo, d, h, mi, s};
}

std::string text(const LocalDateTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    return formatDateText(tm); // exactly what skyloom writes
}

} // namespace

TEST(LastChanged, ReadsBackWhatSkyloomWritesAtEveryHour) {
    for (int h = 0; h < 24; ++h) {
        LocalDateTime t = at(2000, 6, 7, h, 4, 5);
        auto parsed = parseLastChanged(text(t));
        ASSERT_TRUE(parsed) << text(t);
        EXPECT_EQ(*parsed, t) << text(t);
    }
    EXPECT_EQ(text(at(2000, 6, 7, 15, 4, 5)), "6/7/2000 3:04:05 PM");
    EXPECT_EQ(parseLastChanged("12/31/1999 11:59:59 PM"), at(1999, 12, 31, 23, 59, 59));
    EXPECT_EQ(parseLastChanged("1/1/2000 12:00:00 AM"), at(2000, 1, 1, 0, 0, 0));
    EXPECT_EQ(parseLastChanged("1/1/2000 12:00:00 PM"), at(2000, 1, 1, 12, 0, 0));
}

TEST(LastChanged, AcceptsOtherTimeFormsOfThePlatform) {
    EXPECT_EQ(parseLastChanged("6/7/2000 15:04:05"), at(2000, 6, 7, 15, 4, 5));
    EXPECT_EQ(parseLastChanged("6/7/2000 15:04"), at(2000, 6, 7, 15, 4, 0));
    EXPECT_EQ(parseLastChanged("6/7/2000 0:00:00"), at(2000, 6, 7, 0, 0, 0));
    EXPECT_EQ(parseLastChanged("06/07/2000 03:04:05 pm"), at(2000, 6, 7, 15, 4, 5));
    EXPECT_EQ(parseLastChanged("6/7/2000 3:04 p.m."), at(2000, 6, 7, 15, 4, 0));
    EXPECT_EQ(parseLastChanged("6/7/2000 3:04:05PM"), at(2000, 6, 7, 15, 4, 5));
    EXPECT_EQ(parseLastChanged("  6/7/2000   9:04:05 A.M.  "), at(2000, 6, 7, 9, 4, 5));
    // A date alone is midnight.
    EXPECT_EQ(parseLastChanged("6/7/2000"), at(2000, 6, 7));
    EXPECT_EQ(parseLastChanged("2/29/2000 1:00"), at(2000, 2, 29, 1));
}

TEST(LastChanged, RejectsWhatItCannotReadInsteadOfGuessing) {
    for (const char* bad : {"",
                            " ",
                            "yesterday",
                            "6/7/00 3:04:05 PM",
                            "2000-06-07 15:04:05",
                            "7.6.2000 15:04",
                            "13/7/2000",
                            "0/7/2000",
                            "6/0/2000",
                            "2/30/2001",
                            "2/29/2001",
                            "4/31/2000",
                            "6/7/2000 24:00",
                            "6/7/2000 13:00 PM",
                            "6/7/2000 0:60",
                            "6/7/2000 3:4",
                            "6/7/2000 3:04:05 XM",
                            "6/7/2000 3:04:05 PM later",
                            "6/7/2000x",
                            "6/7/2000 15.04.05",
                            "6/7/20000",
                            "-6/7/2000",
                            "6//2000",
                            "99999999999/7/2000"})
        EXPECT_FALSE(parseLastChanged(bad)) << '"' << bad << '"';
}

TEST(CalendarArithmetic, DayNumbersAndWeekdaysAcrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(dayNumber(1970, 1, 1), 0);
    EXPECT_EQ(dayNumber(2000, 3, 1) - dayNumber(2000, 2, 28), 2);
    EXPECT_EQ(dayNumber(2100, 3, 1) - dayNumber(2100, 2, 28), 1);
    EXPECT_EQ(dayNumber(2026, 1, 1) - dayNumber(2025, 12, 31), 1);
    EXPECT_EQ(dayNumber(2026, 1, 1) - dayNumber(2025, 1, 1), 365);
    EXPECT_EQ(weekday(1970, 1, 1), 4);   // Thursday
    EXPECT_EQ(weekday(2000, 2, 29), 2);  // Tuesday
    EXPECT_EQ(weekday(2026, 12, 7), 1);  // Monday
    EXPECT_EQ(weekday(1969, 12, 28), 0); // Sunday, before day 0
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2024, 13), 0);
}

TEST(Rules, ClockBoundCodesFireInTheirMinutesOnly) {
    const LocalDateTime last = at(2020, 5, 5, 3, 0);
    EXPECT_TRUE(changeDue(kEveryHalfHour, last, at(2020, 5, 5, 9, 0, 5)));
    EXPECT_TRUE(changeDue(kEveryHalfHour, last, at(2020, 5, 5, 9, 30, 59)));
    EXPECT_FALSE(changeDue(kEveryHalfHour, last, at(2020, 5, 5, 9, 15)));
    EXPECT_TRUE(changeDue(kEveryHour, last, at(2020, 5, 5, 10, 0, 5)));
    EXPECT_FALSE(changeDue(kEveryHour, last, at(2020, 5, 5, 9, 59, 50)));
    EXPECT_FALSE(changeDue(kEveryHour, last, at(2020, 5, 5, 10, 30)));
    for (int m : {0, 15, 30, 45})
        EXPECT_TRUE(changeDue(kEveryQuarterHour, last, at(2020, 5, 5, 10, m)));
    EXPECT_FALSE(changeDue(kEveryQuarterHour, last, at(2020, 5, 5, 10, 44)));
}

TEST(Rules, HourCodesCompareHoursOfTheDayAcrossMidnight) {
    EXPECT_EQ(hourDifference(23, 1), 2);
    EXPECT_EQ(hourDifference(10, 10), 0);
    EXPECT_TRUE(changeDue(kEvery2Hours, at(2020, 5, 5, 23, 10), at(2020, 5, 6, 1, 5)));
    EXPECT_FALSE(changeDue(kEvery2Hours, at(2020, 5, 5, 23, 10), at(2020, 5, 6, 0, 59)));
    EXPECT_TRUE(changeDue(kEvery4Hours, at(2020, 5, 5, 8, 59), at(2020, 5, 5, 12, 0)));
    EXPECT_FALSE(changeDue(kEvery4Hours, at(2020, 5, 5, 8, 0), at(2020, 5, 5, 11, 59)));
    EXPECT_TRUE(changeDue(kEvery8Hours, at(2020, 5, 5, 20, 0), at(2020, 5, 6, 4, 0)));
    EXPECT_FALSE(changeDue(kEvery8Hours, at(2020, 5, 5, 20, 0), at(2020, 5, 6, 3, 0)));
    // Dates play no part: 10:xx yesterday is due again at 12:00 today.
    EXPECT_FALSE(changeDue(kEvery2Hours, at(2020, 5, 4, 10, 30), at(2020, 5, 5, 11, 0)));
    EXPECT_TRUE(changeDue(kEvery2Hours, at(2020, 5, 4, 10, 30), at(2020, 5, 5, 12, 0)));
}

TEST(Rules, EveryDayAndTheCalendarFollowTheRealDate) {
    EXPECT_FALSE(changeDue(kEveryDay, at(2020, 5, 5, 0, 0), at(2020, 5, 5, 23, 59)));
    EXPECT_TRUE(changeDue(kEveryDay, at(2020, 5, 5, 23, 59), at(2020, 5, 6, 0, 0)));
    // Monday 5 March and Monday 5 November 2018 share weekday and day of
    // month, but are different days: the wallpaper and its calendar change.
    ASSERT_EQ(weekday(2018, 3, 5), 1);
    ASSERT_EQ(weekday(2018, 11, 5), 1);
    EXPECT_TRUE(changeDue(kEveryDay, at(2018, 3, 5, 9), at(2018, 11, 5, 9)));
    EXPECT_TRUE(newDay(at(2018, 3, 5, 9), at(2018, 11, 5, 9)));
    EXPECT_TRUE(changeDue(kEveryDay, at(2019, 11, 5), at(2020, 11, 5)));
}

TEST(Rules, EverySecondDayCountsRealDaysAcrossMonthsAndYears) {
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2021, 1, 30, 12), at(2021, 2, 1, 8)));
    EXPECT_FALSE(changeDue(kEvery2ndDay, at(2021, 1, 30, 12), at(2021, 1, 31, 23)));
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2025, 12, 31), at(2026, 1, 2)));
    EXPECT_FALSE(changeDue(kEvery2ndDay, at(2025, 12, 31), at(2026, 1, 1)));
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2024, 2, 28), at(2024, 3, 1))); // leap day between
    EXPECT_FALSE(changeDue(kEvery2ndDay, at(2024, 2, 29), at(2024, 3, 1)));
    // Same month a year later: one month's arithmetic gave 5 - 20 < 0 for
    // weeks; it is 350 days.
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2025, 1, 20), at(2026, 1, 5)));
    // Two months later, likewise.
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2025, 1, 31), at(2025, 3, 1)));
    // A last change in the future (the clock was wrong) does not block.
    EXPECT_TRUE(changeDue(kEvery2ndDay, at(2030, 1, 1), at(2026, 6, 1)));
}

TEST(Rules, EveryWeekOnTheSameWeekdayOfAnotherWeek) {
    const LocalDateTime monday = at(2018, 2, 5, 10);
    EXPECT_TRUE(changeDue(kEveryWeek, monday, at(2018, 2, 12, 0, 0)));
    EXPECT_TRUE(changeDue(kEveryWeek, monday, at(2018, 2, 19, 0, 0)));
    EXPECT_FALSE(changeDue(kEveryWeek, monday, at(2018, 2, 11, 23, 59)));
    EXPECT_FALSE(changeDue(kEveryWeek, monday, at(2018, 2, 13)));
    EXPECT_FALSE(changeDue(kEveryWeek, monday, at(2018, 2, 5, 23)));
    // Four weeks later lands on the same day of month (February 2018 has
    // 28 days): still a new week.
    EXPECT_TRUE(changeDue(kEveryWeek, monday, at(2018, 3, 5, 9)));
}

TEST(Rules, ManualAndUnknownCodesNeverChange) {
    for (int code : {1, 0, 11, -1, 32767})
        EXPECT_FALSE(changeDue(code, at(2000, 1, 1), at(2030, 6, 15, 0, 0))) << code;
}

namespace {

// A schedule over a settings file in a temporary folder, with a clock the
// test sets. `skyloom()` does what skyloom does after a request: it writes
// "LastChanged" with the time of the clock.
class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override { profile::clearCache(); }

    void settings(const std::string& lastChanged, int code, int calendar = 0) {
        dir.write("ScreenSaver.ini",
                  "[PrefsWP]\nchange=" + std::to_string(code) + "\nLastChanged=" + lastChanged +
                      "\n[CalendarWP]\nenable=" + std::to_string(calendar) + "\n");
        profile::clearCache();
    }
    void skyloom() {
        std::string value = text(now);
        WriteIniString("PrefsWP", "LastChanged", value, ini());
    }
    // Advances the clock by one timer period and ticks.
    Schedule::Requests tickAfter(int seconds) {
        addSeconds(seconds);
        return schedule.Timer1_Timer();
    }
    void addSeconds(int seconds) {
        int total = now.hour * 3600 + now.minute * 60 + now.second + seconds;
        if (total >= 86400) {
            total -= 86400;
            ++now.day; // tests stay within one month
        }
        now.hour = total / 3600;
        now.minute = total / 60 % 60;
        now.second = total % 60;
    }
    std::string ini() const { return dir.file("ScreenSaver.ini"); }

    test::TempDir dir;
    LocalDateTime now = at(2021, 3, 10, 9, 0, 0);
    Schedule schedule{ini(), [this] { return now; }};
};

} // namespace

TEST_F(ScheduleTest, EmptyOrUnreadableLastChangedAsksAtOnceThenEveryNinetySeconds) {
    for (const char* value : {"", "garbage", "2/30/2021 10:00:00 AM"}) {
        SCOPED_TRACE(value);
        settings(value, kManually);
        schedule.nCountdown = 1;
        EXPECT_TRUE(schedule.Timer1_Timer().nextWallpaper);
        EXPECT_EQ(schedule.timerPeriod(), 15000);
        for (int i = 0; i < 5; ++i)
            EXPECT_FALSE(tickAfter(15).nextWallpaper);
        EXPECT_TRUE(tickAfter(15).nextWallpaper);
        EXPECT_TRUE(schedule.timerEnabled());
    }
}

TEST_F(ScheduleTest, MissingSettingsFileAsksForAWallpaper) {
    Schedule lost(dir.file("absent/ScreenSaver.ini"), [this] { return now; });
    EXPECT_TRUE(lost.Timer1_Timer().nextWallpaper);
    Schedule noFolder("ScreenSaver.ini", [this] { return now; }); // no program directory
    EXPECT_TRUE(noFolder.Timer1_Timer().nextWallpaper);
}

TEST_F(ScheduleTest, EveryHourChangesOnceInMinuteZeroThenWaitsNinetySeconds) {
    settings("3/10/2021 9:00:00 AM", kEveryHour);
    now = at(2021, 3, 10, 9, 59, 35);
    schedule.Timer1_Timer();                   // first tick
    EXPECT_FALSE(tickAfter(15).nextWallpaper); // 9:59:50
    EXPECT_TRUE(tickAfter(15).nextWallpaper);  // 10:00:05
    EXPECT_EQ(schedule.nCountdown, 6);
    skyloom();
    std::vector<LocalDateTime> checks;
    int changes = 0;
    while (now.minute < 3) { // 10:00:20 ... 10:02:50
        bool isCheck = schedule.nCountdown == 1;
        changes += tickAfter(15).nextWallpaper;
        if (isCheck)
            checks.push_back(now);
    }
    EXPECT_EQ(changes, 0);
    ASSERT_FALSE(checks.empty());
    EXPECT_EQ(checks.front(), at(2021, 3, 10, 10, 1, 35));
}

TEST_F(ScheduleTest, SettingsAreReadAtEveryCheck) {
    settings("3/10/2021 9:00:00 AM", kManually);
    schedule.Timer1_Timer();
    now = at(2021, 3, 10, 11, 30);
    EXPECT_FALSE(tickAfter(15).nextWallpaper);
    settings("3/10/2021 9:00:00 AM", kEvery2Hours);
    EXPECT_TRUE(tickAfter(15).nextWallpaper);
    settings("3/10/2021 11:30:20 AM", kEvery2Hours); // skyloom has done it
    EXPECT_FALSE(tickAfter(15).nextWallpaper);
}

TEST_F(ScheduleTest, ARequestSkyloomHasNotAnsweredIsRepeatedAfterNinetySecondsNotEveryTick) {
    for (int calendar : {0, 1}) {
        SCOPED_TRACE(calendar);
        // Due by "Every Day" (or, with "Manually", by the calendar): skyloom
        // is slow or fails and "LastChanged" stays old.
        settings("3/9/2021 8:00:00 AM", calendar ? kManually : kEveryDay, calendar);
        schedule.nCountdown = 1;
        auto wanted = [&](const Schedule::Requests& r) {
            return calendar ? r.calendarRefresh : r.nextWallpaper;
        };
        EXPECT_TRUE(wanted(tickAfter(15)));
        for (int i = 0; i < 5; ++i)
            EXPECT_FALSE(wanted(tickAfter(15)));
        EXPECT_TRUE(wanted(tickAfter(15)));
    }
}

TEST_F(ScheduleTest, CalendarRefreshOnceAfterMidnightWithManualChanges) {
    settings("3/10/2021 8:00:00 PM", kManually, 1);
    now = at(2021, 3, 10, 23, 59, 30);
    int refreshes = 0;
    int changes = 0;
    for (int i = 0; i < 12; ++i) { // to 00:02:15
        auto r = tickAfter(15);
        refreshes += r.calendarRefresh;
        changes += r.nextWallpaper;
        if (r.calendarRefresh) {
            EXPECT_EQ(now, at(2021, 3, 11, 0, 0, 0));
            skyloom();
        }
    }
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(changes, 0);
}

TEST_F(ScheduleTest, CalendarRefreshNeedsEnableExactlyOneAndNoChangeInTheSameCheck) {
    now = at(2021, 3, 11, 9, 0);
    settings("3/10/2021 8:00:00 PM", kManually, 2);
    EXPECT_FALSE(schedule.Timer1_Timer().calendarRefresh);
    settings("3/10/2021 8:00:00 PM", kEveryDay, 1);
    auto r = tickAfter(15);
    EXPECT_TRUE(r.nextWallpaper);
    EXPECT_FALSE(r.calendarRefresh);
    settings("3/11/2021 8:00:00 AM", kManually, 1);
    EXPECT_FALSE(tickAfter(15).calendarRefresh);
}

TEST_F(ScheduleTest, PauseAndResumeKeepPeriodAndCountdown) {
    settings("3/10/2021 9:00:00 AM", kEveryHour);
    now = at(2021, 3, 10, 10, 0, 0);
    schedule.Timer1_Timer();
    ASSERT_EQ(schedule.nCountdown, 6);
    tickAfter(15);
    tickAfter(15);
    ASSERT_EQ(schedule.nCountdown, 4);
    schedule.setActive(false);
    EXPECT_FALSE(schedule.timerEnabled());
    EXPECT_FALSE(schedule.active());
    schedule.setActive(true);
    EXPECT_TRUE(schedule.timerEnabled());
    EXPECT_EQ(schedule.timerPeriod(), 15000);
    EXPECT_EQ(schedule.nCountdown, 4);

    // Paused before the first tick: resuming keeps the short first period.
    Schedule fresh(ini(), [this] { return now; });
    fresh.setActive(false);
    fresh.setActive(true);
    EXPECT_EQ(fresh.timerPeriod(), 100);
    EXPECT_EQ(fresh.nCountdown, 1);
}
