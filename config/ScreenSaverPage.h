#pragma once
// The "Screen Saver" page of the configuration dialog without its widgets:
// what the page shows, loaded from ScreenSaver.ini and the system's saver
// settings, and saved back to them.
//
// A stored value that no control can show (a transition number past the
// list, a calendar position of 0, a bare "change" index outside the time
// table ...) is shown as the default and noted; the file keeps the stored
// value until the user saves the page.

#include <string>
#include <vector>

namespace skyloom::config {

/// Everything the page's controls show.
struct ScreenSaverSettings {
    bool saverOn = true;           ///< optSS_State: the system saver is active
    int delayMinutes = 10;         ///< nbsSaverDelay
    int imageDelay = 60;           ///< nbsImageDelay
    bool minutes = false;          ///< optSSMinutes (else optSSSeconds)
    int setIndex = -1;             ///< cmboSS_SetsToUse entry, -1 none
    int transition = 1;            ///< cmboTransitions position
    int language = 0;              ///< cmboSSLanguage position
    bool showText = false;         ///< chkShowDescriptive
    bool showTitle = false;        ///< chkShowTitles
    int infoTime = 20;             ///< nbsInfoPanelShows, seconds
    int panSlider = 250;           ///< sldrPanSpeed (speed = 255 - value)
    bool panEnable = true;         ///< optPanaMotionOn
    bool stretch = true;           ///< chkSSFit2Screen
    bool sameOnAllScreens = false; ///< chkSameOnAllScreens
    bool calendarOn = true;        ///< optCalendarOn
    int calendarSize = 3;          ///< cmboCalendarSize position ("Small")
    int calendarPosition = 0;      ///< cmboCalendarPosition position ("Top-Left")
    bool webLinkOn = true;         ///< optWebLinkOn (shown, never saved here)
    bool webLinkUserControl = true;
    bool passwordProtected = false; ///< chkPasswordProtected

    bool operator==(const ScreenSaverSettings&) const = default;
};

class ScreenSaverPage {
public:
    // Ranges of the spin boxes and the slider.
    static constexpr int kDelayMin = 1, kDelayMax = 1440;
    static constexpr int kImageDelayMin = 1, kImageDelayMax = 9999;
    static constexpr int kInfoTimeMin = 1, kInfoTimeMax = 3600;
    static constexpr int kSliderMin = 0, kSliderMax = 255;

    /// `settingsPath`: ScreenSaver.ini; `saverFile`: the installed saver
    /// (system folder + "Skyloom.scr") that system.ini names.
    ScreenSaverPage(std::string settingsPath, std::string saverFile);

    /// LoadScreenSaverPage. `setEntries` are the entries of the set list.
    void LoadScreenSaverPage(bool startedFromProps, const std::vector<std::string>& setEntries);

    /// SetScreenSaverInfo: writes system.ini [boot] "SCRNSAVE.EXE", the
    /// system's saver switch and delay, the password switch, and every saver
    /// key of ScreenSaver.ini in one rewrite. False when ScreenSaver.ini could
    /// not be written.
    /// "Password protected" is switched on only when some password could
    /// end the lock; otherwise the stored switch is kept as it was.
    bool SetScreenSaverInfo() const;

    /// Why "Password protected" cannot be applied as shown ("" when it
    /// can: it is off, or a password could end the lock).
    std::string passwordProblem() const;

    ScreenSaverSettings& values() { return values_; }
    const ScreenSaverSettings& values() const { return values_; }
    const std::vector<std::string>& setEntries() const { return setEntries_; }
    void setSetEntries(std::vector<std::string> entries) { setEntries_ = std::move(entries); }

    /// [ScreenSaver] Setup was not 1 at load.
    bool bFirstRun() const { return firstRun_; }
    /// The set list shows "Randomize From All Image Sets".
    bool bRandomSets = false;
    /// Started with "/c": the On/Off and delay frames are hidden.
    bool systemFramesHidden() const { return framesHidden_; }
    /// Stored values that were out of range and are shown as the default.
    const std::vector<std::string>& fallbacks() const { return fallbacks_; }

private:
    void fallBack(const std::string& what);

    std::string settingsPath_;
    std::string saverFile_;
    std::vector<std::string> setEntries_;
    ScreenSaverSettings values_;
    bool firstRun_ = false;
    bool framesHidden_ = false;
    std::vector<std::string> fallbacks_;
};

} // namespace skyloom::config
