#pragma once
// Calendar settings of the saver ([CalendarSS], [PrefsSS] "stretch") and of
// the wallpaper ([CalendarWP]) in ScreenSaver.ini, read with their defaults
// and kept to the codes the size and position lists offer.

#include <string>
#include <string_view>

namespace skyloom::calendar {

/// Size codes of the size lists: "Extra Large", "Large", "Medium", "Small".
inline constexpr int kSizeCodes[] = {100, 66, 33, 20};

/// The renderer's m_Size for a size code: code / 100 as a 32-bit float.
inline float sizeFraction(int sizeCode) {
    return static_cast<float>(sizeCode) / 100.0f;
}

/// One of the four size codes. An older settings format stored 1-4 for
/// them; those are translated. Anything else is logged and gives `fallback`.
int normaliseSizeCode(int code, int fallback, std::string_view where);
/// A position code 1-9, else (logged) `fallback`.
int normalisePosition(int code, int fallback, std::string_view where);

/// The saver's calendar settings (names as the saver window keeps them).
struct SaverCalendarSettings {
    bool bCalender = true;    ///< [CalendarSS] "enable", default 1
    int CalSize = 20;         ///< [CalendarSS] "size", default 20 ("Small")
    int CalPos = 1;           ///< [CalendarSS] "position", default 1 ("Top-Left")
    bool bStretch2Fit = true; ///< [PrefsSS] "stretch", default 1
};
SaverCalendarSettings readSaverCalendarSettings(const std::string& settingsFile);

/// The wallpaper's calendar settings, as the Wallpaper page loads them.
struct WallpaperCalendarSettings {
    bool enabled = true; ///< [CalendarWP] "enable", default 1
    int position = 3;    ///< [CalendarWP] "position", default 3 ("Top-Right")
    int size = 20;       ///< [CalendarWP] "size", default 4 (old code of "Small")
};
WallpaperCalendarSettings readWallpaperCalendarSettings(const std::string& settingsFile);

} // namespace skyloom::calendar
