#include "SaverLogic.h"

#include "calendar/CalendarSettings.h"
#include "common/Profile.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

#include <QCoreApplication>

#include <cstdlib>

namespace skyloom::saver {

std::string languageName(int defaultLanguage) {
    if (defaultLanguage < 1 || defaultLanguage > 5)
        return kLanguages[0];
    return kLanguages[defaultLanguage - 1];
}

SaverSettings loadSaverSettings(const std::string& programPath) {
    SaverSettings s;
    s.szImagePath = programPath;
    s.szINI = programPath + "Skyloom.ini";
    s.szScrIni = programPath + "ScreenSaver.ini";
    const std::string& ini = s.szScrIni;

    s.bSetUp = ReadIniInt("ScreenSaver", "Setup", 0, ini) != 0;

    // No desktop settings dialog hosts the saver on Linux, so the password
    // setting always applies.
    if (platform::registryUnreadable()) {
        platform::MessageBox(
            QCoreApplication::translate("skyloom::platform", "Unable to open registry key %1")
                .arg(QStringLiteral("Control Panel\\desktop"))
                .toStdString());
        s.bUsePassword = false;
    } else {
        s.bUsePassword = platform::screenSaveUsePassword();
    }

    s.nTimeBetween = changeSeconds(ReadIniString("PrefsSS", "change", "60s", ini));
    s.bUseAll = ReadIniInt("PrefsSS", "Random", 1, ini) != 0;
    s.szCurrentSet = ReadIniString("PrefsSS", "CurrentSet", "", ini);

    s.nTransition = ReadIniInt("Transition", "defaultTransition", 1, ini);
    s.szLanguage = languageName(ReadIniInt("InfoPanel", "defaultLanguage", 1, ini));
    s.bDescriptive = ReadIniInt("InfoPanel", "showText", 0, ini);
    s.bTitles = ReadIniInt("InfoPanel", "showTitle", 0, ini);
    s.nDescriptiveDelay = ReadIniInt("InfoPanel", "defaultTime", 20, ini);
    s.nPanSpeed = ReadIniInt("Panoramic", "speed", 250, ini);
    s.Panamotion = ReadIniInt("Panoramic", "enable", 1, ini) != 0;
    s.bKeepAspect = ReadIniInt("PrefsSS", "keepAspect", 1, ini) != 0;
    s.bSameOnAllScreens = ReadIniInt("PrefsSS", "sameOnAllScreens", 0, ini) != 0;
    // The calendar's keys (and [PrefsSS] "stretch") are read where the
    // calendar's are, with the same defaults and codes.
    const calendar::SaverCalendarSettings c = calendar::readSaverCalendarSettings(ini);
    s.bStretch2Fit = c.bStretch2Fit;
    s.bCalender = c.bCalender;
    s.CalSize = c.CalSize;
    s.CalPos = c.CalPos;
    return s;
}

calendar::SaverCalendarSettings calendarSettings(const SaverSettings& s) {
    calendar::SaverCalendarSettings c;
    c.bCalender = s.bCalender;
    c.CalSize = s.CalSize;
    c.CalPos = s.CalPos;
    c.bStretch2Fit = s.bStretch2Fit;
    return c;
}

SaverClock::Action SaverClock::tick() {
    requestedInterval_ = 0;
    if (nTickStep == 0) {
        nTickStep = 1;
        if (setUp_)
            return Action::DoTrans;
    }
    nTickCount += nTickStep;
    if (setUp_) {
        if (nTickCount >= timeBetween_) {
            nTickCount = 0;
            return Action::DoTrans;
        }
        return Action::None;
    }
    requestedInterval_ = 25;
    if (nTickCount >= 255)
        nTickStep = -1;
    else if (nTickCount <= 64)
        nTickStep = 1;
    return Action::DrawNotice;
}

bool MouseTracker::moved(int x, int y) {
    if (nLastMouseX < 1 || nLastMouseY < 1 ||
        (std::abs(x - nLastMouseX) <= 5 && std::abs(y - nLastMouseY) <= 5)) {
        nLastMouseX = static_cast<std::int16_t>(x);
        nLastMouseY = static_cast<std::int16_t>(y);
        return false;
    }
    return true;
}

std::string urlForKey(int key, const WebLinks& l) {
    if (key == kKeyEsc)
        return l.saverWebLinkEnabled ? l.saverUrl : std::string();
    if (key == kKeyTab && l.webLinkEnabled) {
        for (const std::string* u : {&l.pictureUrl, &l.setUrl, &l.companyUrl})
            if (!u->empty())
                return *u;
        return l.saverUrl;
    }
    return {};
}

SaverLayout computeLayout(int innerWidth, int innerHeight, bool stretchToFit) {
    SaverLayout l;
    l.nCanvasWidth = kNominalCanvasWidth;
    l.nCanvasHeight = kNominalCanvasHeight;
    if (stretchToFit) {
        l.picDisp = {0, 0, innerWidth, innerHeight};
    } else if (kNominalCanvasWidth > innerWidth || kNominalCanvasHeight > innerHeight) {
        l.picDisp = {0, 0, innerWidth, innerHeight};
        l.nCanvasWidth = innerWidth;
        l.nCanvasHeight = innerHeight;
    } else {
        l.picDisp = {(innerWidth - l.nCanvasWidth) / 2, (innerHeight - l.nCanvasHeight) / 2,
                     l.nCanvasWidth, l.nCanvasHeight};
    }
    const auto n = roundHalfEven(l.picDisp.width / 4.0);
    const int panelWidth = static_cast<int>(roundHalfEven(static_cast<double>(n) * 3.5));
    l.panelNominalWidth = panelWidth;
    l.picDesc = {static_cast<int>(roundHalfEven((l.picDisp.width - panelWidth) / 2.0)), 0,
                 panelWidth, l.nCanvasHeight};
    l.blindSize = static_cast<int>(roundHalfEven(l.picDisp.width / 10.0));
    return l;
}

std::string startMemoryText(std::uint64_t total, std::uint64_t available) {
    return "Total Physical:" + std::to_string(total) +
           "\r\nTotal Physical Available:" + std::to_string(available);
}

} // namespace skyloom::saver
