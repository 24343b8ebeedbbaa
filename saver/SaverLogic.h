#pragma once
// The saver's decisions, kept apart from the window so they can be tested
// without a display: the settings it loads, its main clock, the layout of
// its drawing surfaces and what input ends it.

#include "calendar/CalendarSettings.h"

#include <cstdint>
#include <string>

namespace skyloom::saver {

inline constexpr int kNominalCanvasWidth = 1024;
inline constexpr int kNominalCanvasHeight = 768;
inline constexpr const char* kLanguages[] = {"English", "French", "German", "Spanish", "Japanese"};

/// The settings the saver window holds while it runs.
struct SaverSettings {
    std::string szImagePath; // program directory, ends in "/"
    std::string szINI;       // image-set registry
    std::string szScrIni;    // settings file
    std::string szCurrentSet;
    bool bUseAll = true;
    int nTimeBetween = 60; // seconds a picture stays
    std::string szLanguage = "English";
    int bTitles = 0;
    int bDescriptive = 0;
    int nDescriptiveDelay = 20;
    int nTransition = 1;
    int nPanSpeed = 250;
    bool Panamotion = true;
    bool bStretch2Fit = true;
    bool bKeepAspect = true;        // [PrefsSS] "keepAspect": stretch keeps proportions
    bool bSameOnAllScreens = false; // [PrefsSS] "sameOnAllScreens": one picture everywhere
    bool bCalender = true;
    int CalSize = 20;
    int CalPos = 1;

    bool bSetUp = false;       // settings saved at least once (or preset)
    bool bUsePassword = false; // ask for the password when ending
    bool bPreset = false;      // settings came from the dialog's preview
    bool bListFromAllSets = false;
};

/// "English" ... "Japanese" for [InfoPanel] "defaultLanguage" 1-5; any other
/// number gives "English".
std::string languageName(int defaultLanguage);

/// Reads every setting from the program directory `programPath` (which ends
/// in "/"; "" when it is unknown, then every value takes its default). The
/// play list is chosen separately. Reports an unreadable registry file with
/// "Unable to open registry key Control Panel\desktop".
SaverSettings loadSaverSettings(const std::string& programPath);
/// The calendar's part of the settings.
calendar::SaverCalendarSettings calendarSettings(const SaverSettings& settings);

/// The main clock (`tmrTrans`). Each tick says what the window must do.
class SaverClock {
public:
    enum class Action { None, DoTrans, DrawNotice };

    SaverClock(bool setUp, int timeBetween) : setUp_(setUp), timeBetween_(timeBetween) {}

    Action tick();
    /// Grey level of the not-set-up notice (1-255).
    int grey() const { return static_cast<int>(nTickCount); }
    /// Interval the clock asks for after this tick (ms), 0 when unchanged.
    int requestedInterval() const { return requestedInterval_; }
    /// The display time of the picture on show (a title page has its own).
    void setTimeBetween(int seconds) { timeBetween_ = seconds; }
    int timeBetween() const { return timeBetween_; }

    std::int32_t nTickCount = 0;
    std::int16_t nTickStep = 0;

private:
    bool setUp_;
    int timeBetween_;
    int requestedInterval_ = 0;
};

/// Mouse movement: the first event, positions on the top or left edge and
/// moves of at most 5 pixels only record the position.
class MouseTracker {
public:
    /// True when this movement should end the saver.
    bool moved(int x, int y);
    void reset() { nLastMouseX = nLastMouseY = 0; }

    std::int16_t nLastMouseX = 0;
    std::int16_t nLastMouseY = 0;
};

/// The web addresses of the picture on show.
struct WebLinks {
    std::string pictureUrl, setUrl, companyUrl, saverUrl;
    bool webLinkEnabled = false;
    bool saverWebLinkEnabled = false;
};

/// What a character key opens before the saver closes ("" for nothing):
/// Esc the saver's page, Tab the picture's (else its set's, else its
/// company's, else the saver's) page.
std::string urlForKey(int key, const WebLinks& links);
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyEsc = 27;

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};

/// Where the canvas and the info panel go in a window of the given size.
struct SaverLayout {
    Rect picDisp;         // the visible canvas
    int nCanvasWidth = 0; // nominal canvas size the pictures are fitted to
    int nCanvasHeight = 0;
    Rect picDesc;              // info panel, relative to the canvas
    int panelNominalWidth = 0; // stored in the panel's tag
    int blindSize = 0;         // transition blind size
    bool operator==(const SaverLayout&) const = default;
};
SaverLayout computeLayout(int innerWidth, int innerHeight, bool stretchToFit);

/// "Total Physical:N\r\nTotal Physical Available:M".
std::string startMemoryText(std::uint64_t total, std::uint64_t available);

} // namespace skyloom::saver
