#include "LastChanged.h"

#include <cctype>

namespace skyloom::tray {
namespace {

// A small cursor over the text; every reader leaves the position unchanged
// when it fails.
class Scanner {
public:
    explicit Scanner(std::string_view text) : s_(text) {}

    bool atEnd() const { return pos_ == s_.size(); }
    void skipBlanks() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t'))
            ++pos_;
    }
    bool blank() const { return pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t'); }

    // An unsigned number of minDigits to maxDigits digits.
    std::optional<int> number(std::size_t minDigits, std::size_t maxDigits) {
        std::size_t start = pos_;
        int value = 0;
        while (pos_ < s_.size() && pos_ - start < maxDigits &&
               std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
            value = value * 10 + (s_[pos_] - '0');
            ++pos_;
        }
        std::size_t digits = pos_ - start;
        // A further digit means the number is longer than allowed.
        if (digits < minDigits ||
            (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])))) {
            pos_ = start;
            return std::nullopt;
        }
        return value;
    }

    bool literal(char c) {
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // "AM", "pm", "a.m.", "P.M." ...: 'A' for before noon, 'P' after, 0 for none.
    char designator() {
        std::size_t start = pos_;
        if (pos_ >= s_.size())
            return 0;
        char c = static_cast<char>(std::toupper(static_cast<unsigned char>(s_[pos_])));
        if (c != 'A' && c != 'P')
            return 0;
        ++pos_;
        literal('.');
        if (pos_ < s_.size() && std::toupper(static_cast<unsigned char>(s_[pos_])) == 'M') {
            ++pos_;
            literal('.');
            return c;
        }
        pos_ = start;
        return 0;
    }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

// Days from 1 January 1970 to a proleptic Gregorian date (the well-known
// civil-calendar algorithm that counts in 400-year eras).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

} // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::int64_t dayNumber(int year, int month, int day) {
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
}

int weekday(int year, int month, int day) {
    // 1 January 1970 was a Thursday (4).
    std::int64_t n = dayNumber(year, month, day);
    return static_cast<int>((n % 7 + 7 + 4) % 7);
}

std::optional<LocalDateTime> parseLastChanged(std::string_view text) {
    Scanner in(text);
    in.skipBlanks();
    LocalDateTime t;
    auto month = in.number(1, 2);
    if (!month || !in.literal('/'))
        return std::nullopt;
    auto day = in.number(1, 2);
    if (!day || !in.literal('/'))
        return std::nullopt;
    auto year = in.number(4, 4);
    if (!year)
        return std::nullopt;
    if (*year < 1000 || *month < 1 || *month > 12 || *day < 1 || *day > daysInMonth(*year, *month))
        return std::nullopt;
    t.year = *year;
    t.month = *month;
    t.day = *day;

    bool separated = in.blank();
    in.skipBlanks();
    if (in.atEnd())
        return t; // a date alone: midnight
    if (!separated)
        return std::nullopt;

    auto hour = in.number(1, 2);
    if (!hour || !in.literal(':'))
        return std::nullopt;
    auto minute = in.number(2, 2);
    if (!minute || *minute > 59)
        return std::nullopt;
    int second = 0;
    if (in.literal(':')) {
        auto s = in.number(2, 2);
        if (!s || *s > 60) // 60: a leap second
            return std::nullopt;
        second = *s;
    }
    in.skipBlanks();
    char half = in.designator();
    in.skipBlanks();
    if (!in.atEnd())
        return std::nullopt;
    if (half) {
        if (*hour > 12)
            return std::nullopt;
        int h = *hour % 12; // 12 AM is midnight, 12 PM noon
        t.hour = half == 'P' ? h + 12 : h;
    } else {
        if (*hour > 23)
            return std::nullopt;
        t.hour = *hour;
    }
    t.minute = *minute;
    t.second = second;
    return t;
}

} // namespace skyloom::tray
