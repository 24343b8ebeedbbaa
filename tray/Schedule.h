#pragma once
// When the tray changer asks skyloom for a new wallpaper or a calendar
// refresh. Plain logic without widgets: the time comes from an injectable
// clock and the settings from the settings file, read afresh at every check
// because skyloom and the configuration dialog write them at any time.

#include "LastChanged.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace skyloom::tray {

/// Returns the current local date and time.
using Clock = std::function<LocalDateTime()>;
/// The machine's clock in the local time zone.
LocalDateTime systemClock();

/// Auto-change interval codes: the item data of the Wallpaper page's list
/// ("Manually" ... "Every Week"); 10 is not offered there.
enum IntervalCode : int {
    kManually = 1,
    kEveryHalfHour = 2,
    kEveryHour = 3,
    kEvery2Hours = 4,
    kEvery4Hours = 5,
    kEvery8Hours = 6,
    kEveryDay = 7,
    kEvery2ndDay = 8,
    kEveryWeek = 9,
    kEveryQuarterHour = 10,
};

/// h1 - h0, or h1 + 24 - h0 when h1 < h0: hours of the day only.
int hourDifference(int lastHour, int nowHour);
/// Calendar days from the date of `last` to the date of `now` (negative
/// when `last` lies in the future).
std::int64_t dayDifference(const LocalDateTime& last, const LocalDateTime& now);
/// Whether interval `code` asks for a new wallpaper at a check made at
/// `now`, the last change having been made at `last`. Unknown codes never do.
bool changeDue(int code, const LocalDateTime& last, const LocalDateTime& now);
/// Whether a wallpaper calendar drawn at `last` is out of date at `now`.
bool newDay(const LocalDateTime& last, const LocalDateTime& now);
/// The later of two times (`b` when `a` is unknown).
LocalDateTime later(const std::optional<LocalDateTime>& a, const LocalDateTime& b);

/// The schedule check of `Timer1` with the timer's state. The intervals count
/// from [PrefsWP] "LastChanged", the last new picture; the calendar is due
/// on the first check of a day on which neither a picture nor a calendar
/// ([PrefsWP] "LastCalendar") was drawn. With the wallpaper switched off
/// ([PrefsWP] "enable" 0) nothing is ever asked for. The owner runs a
/// real timer with `timerPeriod()` while `timerEnabled()`, calls
/// `Timer1_Timer()` at each tick and carries out what it returns.
class Schedule {
public:
    struct Requests {
        bool nextWallpaper = false;
        bool calendarRefresh = false;
    };

    static constexpr std::int16_t kFirstPeriod = 100; // ms before the first check
    /// Ticks from a request to the next check (90 s).
    static constexpr std::int16_t kTicksAfterRequest = 6;

    /// `szIniFile` is the settings file ("ScreenSaver.ini" in the program
    /// directory).
    Schedule(std::string szIniFile, Clock clock);

    /// One tick of `Timer1`.
    Requests Timer1_Timer();

    /// The pause toggle: paused, the timer stops; active again, it resumes
    /// with the period and countdown it had.
    void setActive(bool active);
    bool active() const { return active_; }

    bool timerEnabled() const { return timerEnabled_; }
    int timerPeriod() const { return timerPeriod_; }
    const std::string& iniFile() const { return szIniFile; }

    const std::int16_t nCheckInterval = 15000; // ms between ticks after the first
    std::int16_t nCountdown = 1;               // ticks left until the next check

private:
    std::string szIniFile;
    Clock clock_;
    int timerPeriod_ = kFirstPeriod;
    bool timerEnabled_ = true;
    bool active_ = true;
    std::string reportedText_; // last unreadable "LastChanged" that was logged
};

} // namespace skyloom::tray
