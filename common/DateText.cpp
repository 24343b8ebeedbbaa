#include "DateText.h"

#include <cctype>
#include <cstdio>

namespace skyloom {

std::string formatDateText(const std::tm& t) {
    int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d %d:%02d:%02d %s", t.tm_mon + 1, t.tm_mday,
                  t.tm_year + 1900, hour12, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "AM" : "PM");
    return buf;
}

std::string currentDateText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return formatDateText(local);
}

std::optional<std::tm> parseDateText(std::string_view text) {
    std::string s(text);
    int mon = 0, day = 0, year = 0, h = 0, m = 0, sec = 0;
    int used = 0;
    if (std::sscanf(s.c_str(), "%d/%d/%d%n", &mon, &day, &year, &used) != 3)
        return std::nullopt;
    if (mon < 1 || mon > 12 || day < 1 || day > 31 || year < 1900 || year > 9999)
        return std::nullopt;
    std::tm t{};
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_year = year - 1900;
    t.tm_isdst = -1;
    std::string rest = s.substr(static_cast<std::size_t>(used));
    int n = std::sscanf(rest.c_str(), " %d:%d:%d", &h, &m, &sec);
    if (n >= 2 && h >= 0 && h < 24 && m >= 0 && m < 60 && sec >= 0 && sec < 61) {
        bool pm = false, am = false;
        for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
            char a = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[i])));
            char b = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[i + 1])));
            if (b == 'M' && a == 'P')
                pm = true;
            if (b == 'M' && a == 'A')
                am = true;
        }
        if (pm && h < 12)
            h += 12;
        if (am && h == 12)
            h = 0;
        t.tm_hour = h;
        t.tm_min = m;
        t.tm_sec = n == 3 ? sec : 0;
    }
    return t;
}

} // namespace skyloom
