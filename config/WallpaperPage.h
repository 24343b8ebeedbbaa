#pragma once
// The "Wallpaper" page of the configuration dialog without its widgets: the
// wallpaper choices loaded from ScreenSaver.ini, the picture list of the
// chosen set, and the state the wallpaper setter works from (also when the
// dialog is never shown).

#include "imagesets/SetLibrary.h"

#include <random>
#include <string>
#include <vector>

namespace skyloom::config {

class WallpaperPage {
public:
    explicit WallpaperPage(const imagesets::SetLibrary& library);

    // What the page's controls show.
    bool enabled = true;             ///< optWallPaperOn
    bool stretch = false;            ///< chkFit2Screen
    bool keepAspect = true;          ///< [PrefsWP] "keepAspect": fitting keeps proportions
    bool perScreen = false;          ///< chkPerScreen: another picture on each monitor
    int changeIndex = 6;             ///< cmboAutoChange entry ("Every Day")
    bool calendarOn = true;          ///< optWPCalendarOn
    int calendarPosition = 3;        ///< position code 1-9 ("Top-Right")
    int calendarSize = 20;           ///< size code 100, 66, 33, 20 ("Small")
    std::vector<std::string> sets;   ///< cmboSets entries
    int setIndex = -1;               ///< cmboSets selection
    std::vector<std::string> images; ///< lstImages entries
    int imageIndex = -1;             ///< lstImages selection
    bool imagesEnabled = false;      ///< lstImages usable (not with the random entry)

    // State the wallpaper setter reads.
    std::string szWallpaperImage;  ///< picture path without extension
    std::string szWallpaperSetDir; ///< its set directory
    std::string currentImageName;  ///< picture name as listed
    bool bWallpaperAutoChange = false;

    /// InitLists for cmboSets: fills the list from the included sets and
    /// selects the random entry ([PrefsWP] "random" not 0) or "CurrentSet",
    /// else the first entry. Returns bRandomWPSets.
    bool InitSetList();
    /// InitWallpaperPage: fit, interval, on/off and calendar from the settings.
    void InitWallpaperPage();
    /// GetImageList: fills the pictures for the selected set entry and
    /// selects the current picture (SelectImage). With the random entry a
    /// missing or excluded "CurrentSet" is replaced by the first included set
    /// and its first picture, written back at once.
    void GetImageList();
    /// lstImages_Click: makes picture `index` current. Returns true when it
    /// differs from the stored "CurrentImage" (the page has then changed).
    bool SelectImage(int index);
    /// Selects set entry `index` and fills its pictures.
    void SelectSet(int index);
    /// The automatic pick of NextWallpaperImage: a random set when the random
    /// entry is shown, a random picture of it. The picture on show
    /// ("CurrentSet", "CurrentImage") is left out whenever its set, or all
    /// sets, hold another. False when there is none.
    bool PickRandomPicture(std::mt19937& random);

    /// The text of the selected set entry ("" none).
    std::string setEntry() const;
    /// Interval code of the selected cmboAutoChange entry.
    int changeCode() const;
    /// The preview bitmap of the current picture ("" none).
    std::string previewPath() const;

    /// The page's settings as SetWallpaper records them, in one rewrite of
    /// ScreenSaver.ini (after an automatic change only the set and picture).
    bool SaveSettings() const;

    /// Stored values that were out of range and are shown as the default.
    const std::vector<std::string>& fallbacks() const { return fallbacks_; }

private:
    void fallBack(const std::string& what);
    std::string settingsPath() const { return library_.SettingsPath(); }

    const imagesets::SetLibrary& library_;
    std::string imageSet_; ///< set whose pictures are listed
    std::vector<std::string> fallbacks_;
};

} // namespace skyloom::config
