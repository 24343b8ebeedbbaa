// The schedule over days and weeks: the tray changer ticks every 15 seconds
// against a settings file that a stand-in for skyloom updates as skyloom
// does ("LastChanged" after a new picture, "LastCalendar" after a calendar
// refresh). The clock runs in real time zones, so midnight, month and year
// ends and daylight-saving changes come as they come on a real machine.

#include "common/DateText.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"
#include "tray/LastChanged.h"
#include "tray/Schedule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace skyloom;
using namespace skyloom::tray;

namespace {

// Sets TZ for the life of the object and puts the old value back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ"))
            old_ = old;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (old_)
            ::setenv("TZ", old_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> old_;
};

std::tm localTm(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

LocalDateTime local(std::time_t t) {
    const std::tm tm = localTm(t);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// The instant of a local time (the first one when the hour repeats).
std::time_t instant(int y, int mo, int d, int h, int mi = 0) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

std::string dateOf(const LocalDateTime& t) {
    return std::to_string(t.year) + "-" + std::to_string(t.month) + "-" + std::to_string(t.day);
}

class ScheduleDaysTest : public ::testing::Test {
protected:
    void SetUp() override { profile::clearCache(); }

    void settings(const std::string& prefs, int calendar = 1) {
        dir.write("ScreenSaver.ini", "[PrefsWP]\n" + prefs + "\n[CalendarWP]\nenable=" +
                                         std::to_string(calendar) + "\n");
        profile::clearCache();
    }
    std::string ini() const { return dir.file("ScreenSaver.ini"); }

    // A paperwheel started now (at login, or again after it ended).
    void startPaperwheel() {
        schedule = std::make_unique<Schedule>(ini(), [this] { return local(clock); });
    }

    // What skyloom does for a request, at the time of the clock.
    void carryOut(const Schedule::Requests& r) {
        const std::string now = formatDateText(localTm(clock));
        if (r.nextWallpaper) {
            pictures.push_back(local(clock));
            drawnOn[dateOf(local(clock))] += 1;
            WriteIniString("PrefsWP", "LastChanged", now, ini());
        } else if (r.calendarRefresh) {
            calendars.push_back(local(clock));
            drawnOn[dateOf(local(clock))] += 1;
            WriteIniString("PrefsWP", "LastCalendar", now, ini());
        }
    }

    // Ticks every 15 seconds until `end` (the first tick at once).
    void runUntil(std::time_t end) {
        if (!schedule)
            startPaperwheel();
        while (clock < end) {
            carryOut(schedule->Timer1_Timer());
            clock += 15;
        }
    }

    test::TempDir dir;
    std::time_t clock = 0;
    std::unique_ptr<Schedule> schedule;
    std::vector<LocalDateTime> pictures;
    std::vector<LocalDateTime> calendars;
    std::map<std::string, int> drawnOn; // date -> pictures and calendars drawn
};

LocalDateTime when(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return {y, mo, d, h, mi, s};
}

} // namespace

TEST_F(ScheduleDaysTest, EveryWeekChangesOnceInEightDaysAndTheCalendarFollowsEachDay) {
    TimeZone zone("Europe/Berlin");
    // Monday 28 December 2026, across the year's end to Tuesday 5 January.
    settings("change=9\nLastChanged=12/28/2026 10:00:00 AM");
    clock = instant(2026, 12, 28, 10, 0);
    runUntil(instant(2027, 1, 5, 12, 0));
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0], when(2027, 1, 4, 0, 0, 0));
    EXPECT_EQ(calendars.size(), 7u); // 29, 30, 31 December, 1, 2, 3, 5 January
    for (const auto& c : calendars)
        EXPECT_EQ(c.hour * 60 + c.minute, 0) << dateOf(c);
    // Each new day got exactly one new drawing: its date is on the wallpaper.
    EXPECT_EQ(drawnOn.size(), 8u);
    for (const auto& [date, count] : drawnOn)
        EXPECT_EQ(count, 1) << date;
}

TEST_F(ScheduleDaysTest, EverySecondDayIsNotPostponedByTheCalendarAcrossMonthEnds) {
    TimeZone zone("UTC");
    settings("change=8\nLastChanged=1/30/2026 8:00:00 PM");
    clock = instant(2026, 1, 30, 20, 0);
    runUntil(instant(2026, 2, 7, 12, 0));
    // 1, 3, 5, 7 February: 31 January and the odd days only refresh.
    ASSERT_EQ(pictures.size(), 4u);
    EXPECT_EQ(pictures[0], when(2026, 2, 1));
    EXPECT_EQ(pictures[3], when(2026, 2, 7));
    EXPECT_EQ(calendars.size(), 4u);
    EXPECT_EQ(calendars[0], when(2026, 1, 31));
}

TEST_F(ScheduleDaysTest, HourCodesCountFromTheLastPictureNotFromMidnight) {
    TimeZone zone("UTC");
    settings("change=4\nLastChanged=3/31/2026 11:10:00 PM"); // every 2 hours
    clock = instant(2026, 3, 31, 23, 30);
    runUntil(instant(2026, 4, 1, 5, 30));
    // Midnight brings the calendar of 1 April; the pictures keep their
    // two-hour rhythm from 23:10 (hours of the day: 1:00, 3:00, 5:00).
    ASSERT_EQ(calendars.size(), 1u);
    EXPECT_EQ(calendars[0], when(2026, 4, 1));
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0], when(2026, 4, 1, 1, 0));
    EXPECT_EQ(pictures[1], when(2026, 4, 1, 3, 0));
    EXPECT_EQ(pictures[2], when(2026, 4, 1, 5, 0));

    // Every 8 hours likewise, from a change in the evening.
    pictures.clear();
    calendars.clear();
    settings("change=6\nLastChanged=4/1/2026 6:00:00 PM");
    clock = instant(2026, 4, 1, 18, 0);
    startPaperwheel();
    runUntil(instant(2026, 4, 2, 12, 0));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0], when(2026, 4, 2, 2, 0));
    EXPECT_EQ(pictures[1], when(2026, 4, 2, 10, 0));
    EXPECT_EQ(calendars.size(), 1u);
}

TEST_F(ScheduleDaysTest, DaylightSavingChangesGiveOneDrawingPerDay) {
    struct Span {
        const char* zone;
        int month;
        int day; // five days from here hold a change of the clock
    };
    for (const Span& span : {Span{"Europe/Berlin", 3, 26}, Span{"Europe/Berlin", 10, 22},
                             Span{"America/Santiago", 9, 3}, Span{"America/Santiago", 4, 2},
                             Span{"America/New_York", 3, 6}, Span{"America/New_York", 10, 30}}) {
        SCOPED_TRACE(std::string(span.zone) + " " + std::to_string(span.month) + "/" +
                     std::to_string(span.day));
        TimeZone zone(span.zone);
        pictures.clear();
        calendars.clear();
        drawnOn.clear();
        clock = instant(2026, span.month, span.day, 21, 0);
        settings("change=7\nLastChanged=" + formatDateText(localTm(clock)));
        // The span really holds a change of the UTC offset.
        EXPECT_NE(localTm(clock).tm_gmtoff, localTm(clock + 5 * 86400).tm_gmtoff);
        startPaperwheel();
        runUntil(clock + 5 * 86400);
        // "Every Day": one new picture on each of the five new days,
        // whatever the clock did in between; no extra calendar.
        EXPECT_EQ(pictures.size(), 5u);
        EXPECT_TRUE(calendars.empty());
        for (const auto& [date, count] : drawnOn)
            EXPECT_EQ(count, 1) << date;
    }
}

TEST_F(ScheduleDaysTest, TheCalendarOfAMissingMidnightComesAtTheFirstCheck) {
    // Santiago: on 6 September 2026 the clock goes from 23:59:59 to 1:00.
    TimeZone zone("America/Santiago");
    settings("change=1\nLastChanged=9/5/2026 9:00:00 AM");
    clock = instant(2026, 9, 5, 22, 0);
    runUntil(instant(2026, 9, 6, 3, 0));
    ASSERT_EQ(calendars.size(), 1u);
    EXPECT_EQ(calendars[0], when(2026, 9, 6, 1, 0));
    EXPECT_TRUE(pictures.empty());
}

TEST_F(ScheduleDaysTest, SuspendLateLoginAndRestartsCatchUpOncePerDay) {
    TimeZone zone("UTC");
    settings("change=1\nLastChanged=6/1/2026 9:00:00 AM");
    clock = instant(2026, 6, 1, 9, 0);
    runUntil(instant(2026, 6, 1, 18, 0));
    EXPECT_TRUE(calendars.empty());

    // Suspended over three nights: no ticks, then one refresh on waking.
    clock = instant(2026, 6, 4, 7, 30);
    runUntil(instant(2026, 6, 4, 12, 0));
    ASSERT_EQ(calendars.size(), 1u);
    EXPECT_EQ(calendars[0], when(2026, 6, 4, 7, 30));

    // paperwheel ends and is started again the same day: nothing new.
    startPaperwheel();
    runUntil(instant(2026, 6, 4, 13, 0));
    EXPECT_EQ(calendars.size(), 1u);

    // A late login the next day: the first check (at once) refreshes.
    clock = instant(2026, 6, 5, 14, 45);
    startPaperwheel();
    runUntil(instant(2026, 6, 5, 15, 0));
    ASSERT_EQ(calendars.size(), 2u);
    EXPECT_EQ(calendars[1], when(2026, 6, 5, 14, 45));
    EXPECT_TRUE(pictures.empty());
}

TEST_F(ScheduleDaysTest, FilesWithoutLastCalendarCountFromLastChanged) {
    TimeZone zone("UTC");
    // A file of an older skyloom: only "LastChanged", today.
    settings("change=1\nLastChanged=6/1/2026 9:00:00 AM");
    clock = instant(2026, 6, 1, 10, 0);
    runUntil(instant(2026, 6, 1, 11, 0));
    EXPECT_TRUE(calendars.empty());
    // Yesterday: refreshed once.
    settings("change=1\nLastChanged=5/31/2026 9:00:00 AM");
    runUntil(instant(2026, 6, 1, 12, 0));
    EXPECT_EQ(calendars.size(), 1u);
    // A calendar older than the last picture does not count.
    settings("change=1\nLastChanged=6/1/2026 9:00:00 AM\nLastCalendar=5/20/2026 0:00:05 AM");
    runUntil(instant(2026, 6, 1, 13, 0));
    EXPECT_EQ(calendars.size(), 1u);
    // An unreadable "LastCalendar" is as good as none.
    settings("change=1\nLastChanged=5/31/2026 9:00:00 AM\nLastCalendar=soon");
    runUntil(instant(2026, 6, 1, 14, 0));
    EXPECT_EQ(calendars.size(), 2u);
}

TEST_F(ScheduleDaysTest, WallpaperOffAsksForNothing) {
    TimeZone zone("UTC");
    for (const char* last : {"", "5/1/2026 9:00:00 AM"}) {
        SCOPED_TRACE(last);
        settings(std::string("enable=0\nchange=3\nLastChanged=") + last);
        clock = instant(2026, 6, 1, 9, 0);
        startPaperwheel();
        runUntil(instant(2026, 6, 2, 9, 0));
        EXPECT_TRUE(pictures.empty());
        EXPECT_TRUE(calendars.empty());
        EXPECT_TRUE(schedule->timerEnabled());
    }
    // Switched on again: the next check asks.
    settings("enable=1\nchange=7\nLastChanged=5/1/2026 9:00:00 AM");
    runUntil(clock + 15);
    EXPECT_EQ(pictures.size(), 1u);
}
