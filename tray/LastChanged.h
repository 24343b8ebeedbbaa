#pragma once
// Local civil date and time as the tray changer compares them, and the
// reading of [PrefsWP] "LastChanged", which skyloom writes as month/day/year,
// a blank and the time of day ("6/7/2000 3:04:05 PM").

#include <cstdint>
#include <optional>
#include <string_view>

namespace skyloom::tray {

/// A local date and time; month 1-12, day 1-31, hour 0-23.
struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const LocalDateTime&) const = default;
};

bool isLeapYear(int year);
/// Days in a month of a year (February 29 in leap years); 0 for a month
/// outside 1-12.
int daysInMonth(int year, int month);
/// Consecutive day number of a date (0 = 1 January 1970), so the number of
/// days between two dates is a plain difference, across months and years.
std::int64_t dayNumber(int year, int month, int day);
/// 0 = Sunday ... 6 = Saturday.
int weekday(int year, int month, int day);
inline bool sameDate(const LocalDateTime& a, const LocalDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

/// Reads a "LastChanged" text: month/day/four-digit year (leading zeros
/// allowed), optionally followed by a time of day in 12-hour form
/// ("3:04:05 PM", "12:30 am", "3:04 p.m.") or 24-hour form ("15:04:05",
/// "15:04"). A date alone means midnight. Blanks around the text are
/// ignored. Anything else, including impossible dates such as 2/30/2001 or
/// "13:00 PM", gives nullopt.
std::optional<LocalDateTime> parseLastChanged(std::string_view text);

} // namespace skyloom::tray
