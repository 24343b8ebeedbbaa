#include "calendar/CalendarSettings.h"

#include "common/Log.h"
#include "common/Profile.h"

#include <algorithm>

namespace skyloom::calendar {

int normaliseSizeCode(int code, int fallback, std::string_view where) {
    if (code >= 1 && code <= 4)
        return kSizeCodes[code - 1];
    if (std::find(std::begin(kSizeCodes), std::end(kSizeCodes), code) != std::end(kSizeCodes))
        return code;
    logWarning("calendar", std::string(where) + " size " + std::to_string(code) +
                               " is not a calendar size, using " + std::to_string(fallback));
    return fallback;
}

int normalisePosition(int code, int fallback, std::string_view where) {
    if (code >= 1 && code <= 9)
        return code;
    logWarning("calendar", std::string(where) + " position " + std::to_string(code) +
                               " is not a calendar position, using " + std::to_string(fallback));
    return fallback;
}

SaverCalendarSettings readSaverCalendarSettings(const std::string& settingsFile) {
    SaverCalendarSettings s;
    s.bCalender = ReadIniInt("CalendarSS", "enable", 1, settingsFile) != 0;
    s.CalSize =
        normaliseSizeCode(ReadIniInt("CalendarSS", "size", 20, settingsFile), 20, "[CalendarSS]");
    s.CalPos =
        normalisePosition(ReadIniInt("CalendarSS", "position", 1, settingsFile), 1, "[CalendarSS]");
    s.bStretch2Fit = ReadIniInt("PrefsSS", "stretch", 1, settingsFile) != 0;
    return s;
}

WallpaperCalendarSettings readWallpaperCalendarSettings(const std::string& settingsFile) {
    WallpaperCalendarSettings s;
    s.enabled = ReadIniInt("CalendarWP", "enable", 1, settingsFile) != 0;
    s.position =
        normalisePosition(ReadIniInt("CalendarWP", "position", 3, settingsFile), 3, "[CalendarWP]");
    s.size =
        normaliseSizeCode(ReadIniInt("CalendarWP", "size", 4, settingsFile), 20, "[CalendarWP]");
    return s;
}

} // namespace skyloom::calendar
