#include "Schedule.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"

#include <ctime>
#include <tuple>

namespace skyloom::tray {

LocalDateTime systemClock() {
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

int hourDifference(int lastHour, int nowHour) {
    return nowHour < lastHour ? nowHour + 24 - lastHour : nowHour - lastHour;
}

std::int64_t dayDifference(const LocalDateTime& last, const LocalDateTime& now) {
    return dayNumber(now.year, now.month, now.day) - dayNumber(last.year, last.month, last.day);
}

bool newDay(const LocalDateTime& last, const LocalDateTime& now) {
    // The whole date, not only weekday and day of month: a change four
    // weeks later (Monday 5 February, Monday 5 March) is a new day too.
    return !sameDate(last, now);
}

LocalDateTime later(const std::optional<LocalDateTime>& a, const LocalDateTime& b) {
    if (!a)
        return b;
    const auto key = [](const LocalDateTime& t) {
        return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
    };
    return key(*a) > key(b) ? *a : b;
}

bool changeDue(int code, const LocalDateTime& last, const LocalDateTime& now) {
    switch (code) {
    case kManually:
        return false;
    case kEveryHalfHour:
        return now.minute == 0 || now.minute == 30;
    case kEveryHour:
        return now.minute == 0;
    case kEvery2Hours:
        return hourDifference(last.hour, now.hour) >= 2;
    case kEvery4Hours:
        return hourDifference(last.hour, now.hour) >= 4;
    case kEvery8Hours:
        return hourDifference(last.hour, now.hour) >= 8;
    case kEveryDay:
        return newDay(last, now);
    case kEvery2ndDay: {
        // A last change in the future comes from a clock that was wrong;
        // waiting for that date could take weeks, so change now.
        std::int64_t days = dayDifference(last, now);
        return days >= 2 || days < 0;
    }
    case kEveryWeek:
        return weekday(now.year, now.month, now.day) == weekday(last.year, last.month, last.day) &&
               newDay(last, now);
    case kEveryQuarterHour:
        return now.minute % 15 == 0;
    default:
        return false;
    }
}

Schedule::Schedule(std::string iniFile, Clock clock)
    : szIniFile(std::move(iniFile)), clock_(clock ? std::move(clock) : Clock(systemClock)) {}

Schedule::Requests Schedule::Timer1_Timer() {
    Requests requests;
    timerEnabled_ = false;
    timerPeriod_ = nCheckInterval;
    // The wallpaper is switched off: nothing to change or refresh, and
    // nothing to ask (skyloom would only do nothing).
    if (ReadIniInt("PrefsWP", "enable", 1, szIniFile) == 0) {
        nCountdown = 1;
        timerEnabled_ = active_;
        return requests;
    }
    const std::string text = ReadIniString("PrefsWP", kLastChangedKey, "", szIniFile);
    const std::optional<LocalDateTime> last = parseLastChanged(text);

    if (!last) {
        // No wallpaper was ever set (or the time cannot be read): ask for
        // one at once, then every six ticks while the time stays unknown.
        if (!text.empty() && text != reportedText_) {
            logWarning("tray", "cannot read [PrefsWP] LastChanged \"" + text +
                                   "\"; asking for a new wallpaper");
            reportedText_ = text;
        }
        if (--nCountdown <= 0) {
            nCountdown = kTicksAfterRequest;
            requests.nextWallpaper = true;
        }
        timerEnabled_ = active_;
        return requests;
    }

    if (--nCountdown > 0) {
        timerEnabled_ = active_;
        return requests;
    }
    nCountdown = 1; // the next tick checks again
    const LocalDateTime now = clock_();
    const int code = ReadIniInt("PrefsWP", "change", kEvery2Hours, szIniFile);
    if (changeDue(code, *last, now)) {
        requests.nextWallpaper = true;
    } else if (ReadIniInt("CalendarWP", "Enable", 0, szIniFile) == 1) {
        // Every picture change draws the calendar too, so the calendar is as
        // new as the later of the two.
        const auto calendar =
            parseLastChanged(ReadIniString("PrefsWP", kLastCalendarKey, "", szIniFile));
        requests.calendarRefresh = newDay(later(calendar, *last), now);
    }
    // After a request, wait six ticks (90 s) before the next check: a change
    // due in a given minute then fires once, and while skyloom is still
    // drawing (it writes "LastChanged" only at the end) or has failed, the
    // same request is not repeated every tick. A repeat that reached a
    // skyloom still at work would be recorded as a delayed change and give
    // an extra wallpaper change later.
    if (requests.nextWallpaper || requests.calendarRefresh)
        nCountdown = kTicksAfterRequest;
    timerEnabled_ = active_;
    return requests;
}

void Schedule::setActive(bool active) {
    active_ = active;
    timerEnabled_ = active;
}

} // namespace skyloom::tray
