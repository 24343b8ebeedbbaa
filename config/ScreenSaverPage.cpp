#include "ScreenSaverPage.h"

#include "LockReadiness.h"
#include "PageLists.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "platform/Locations.h"
#include "platform/Registry.h"

#include <cmath>

namespace skyloom::config {

namespace {

bool inRange(long long v, long long lo, long long hi) {
    return v >= lo && v <= hi;
}

} // namespace

ScreenSaverPage::ScreenSaverPage(std::string settingsPath, std::string saverFile)
    : settingsPath_(std::move(settingsPath)), saverFile_(std::move(saverFile)) {}

void ScreenSaverPage::fallBack(const std::string& what) {
    fallbacks_.push_back(what);
    logInfo("config", what + ": shown as the default until the page is saved");
}

void ScreenSaverPage::LoadScreenSaverPage(bool startedFromProps,
                                          const std::vector<std::string>& setEntries) {
    const std::string& f = settingsPath_;
    ScreenSaverSettings v;
    fallbacks_.clear();
    setEntries_ = setEntries;

    bool active = platform::screenSaveActive();
    const int timeout = platform::screenSaveTimeOut();
    framesHidden_ = startedFromProps;
    if (startedFromProps)
        active = true;
    const auto minutes = roundHalfEven(timeout / 60.0);
    v.delayMinutes = static_cast<int>(std::clamp<std::int64_t>(minutes, kDelayMin, kDelayMax));

    firstRun_ = ReadIniInt("ScreenSaver", "Setup", 0, f) != 1;
    if (firstRun_)
        active = true;
    v.saverOn = active;

    // Time between pictures: "60s", "5m", or a bare index into the time table.
    const std::string change = trimBlanks(ReadIniString("PrefsSS", "change", "60s", f));
    const double number = leadingNumber(change);
    bool changeOk = true;
    if (!change.empty() && (change.back() == 's' || change.back() == 'm')) {
        const auto n = roundHalfEven(number);
        changeOk = inRange(n, kImageDelayMin, kImageDelayMax);
        v.imageDelay = static_cast<int>(n);
        v.minutes = change.back() == 'm';
    } else {
        const double i = std::floor(number);
        changeOk = !change.empty() && i >= 0 && i <= 12;
        if (changeOk) {
            const int secs = timeTableSeconds(static_cast<int>(i));
            v.minutes = i >= 2;
            v.imageDelay = v.minutes ? secs / 60 : secs;
        }
    }
    if (!changeOk) {
        fallBack("[PrefsSS] change \"" + change + "\" is no time the page can show");
        v.imageDelay = 60;
        v.minutes = false;
    }

    // Set list: the random entry, or the stored set.
    const bool random = ReadIniInt("PrefsSS", "Random", 1, f) != 0;
    bRandomSets = random;
    if (random) {
        v.setIndex = setEntries.empty() ? -1 : 0;
    } else {
        const std::string current = ReadIniString("PrefsSS", "CurrentSet", "0", f);
        v.setIndex = FindItemIndex(setEntries, current);
        if (v.setIndex < 0 && !setEntries.empty()) {
            fallBack("[PrefsSS] CurrentSet \"" + current + "\" is not an included set");
            v.setIndex = 0;
        }
    }

    const int transition = ReadIniInt("Transition", "defaultTransition", 1, f);
    if (inRange(transition, 0, static_cast<int>(transitionNames().size()) - 1))
        v.transition = transition;
    else
        fallBack("[Transition] defaultTransition " + std::to_string(transition) +
                 " is past the list");

    const int language = ReadIniInt("InfoPanel", "defaultLanguage", 1, f);
    if (inRange(language, 1, static_cast<int>(languageNames().size())))
        v.language = language - 1;
    else
        fallBack("[InfoPanel] defaultLanguage " + std::to_string(language) + " is no language");

    v.showText = ReadIniInt("InfoPanel", "showText", 0, f) != 0;
    v.showTitle = ReadIniInt("InfoPanel", "showTitle", 0, f) != 0;
    const int infoTime = ReadIniInt("InfoPanel", "defaultTime", 20, f);
    if (inRange(infoTime, kInfoTimeMin, kInfoTimeMax))
        v.infoTime = infoTime;
    else
        fallBack("[InfoPanel] defaultTime " + std::to_string(infoTime) + " is out of range");

    const int speed = ReadIniInt("Panoramic", "speed", 5, f);
    if (inRange(255 - static_cast<long long>(speed), kSliderMin, kSliderMax))
        v.panSlider = 255 - speed;
    else
        fallBack("[Panoramic] speed " + std::to_string(speed) + " is out of range");
    v.panEnable = ReadIniInt("Panoramic", "enable", 1, f) == 1;
    v.stretch = ReadIniInt("PrefsSS", "stretch", 1, f) != 0;
    v.sameOnAllScreens = ReadIniInt("PrefsSS", "sameOnAllScreens", 0, f) != 0;
    v.calendarOn = ReadIniInt("CalendarSS", "enable", 1, f) == 1;

    const int position = ReadIniInt("CalendarSS", "position", 1, f);
    const int positionIndex = indexOfValue(calendarPositions(), position);
    if (positionIndex >= 0)
        v.calendarPosition = positionIndex;
    else
        fallBack("[CalendarSS] position " + std::to_string(position) + " is no position");

    // Sizes below 20 are the index form of older settings.
    int size = ReadIniInt("CalendarSS", "size", 20, f);
    const int stored = size;
    if (size < 20)
        size = oldCalendarSize(size);
    const int sizeIndex = indexOfValue(calendarSizes(), size);
    if (sizeIndex >= 0)
        v.calendarSize = sizeIndex;
    else
        fallBack("[CalendarSS] size " + std::to_string(stored) + " is no size");

    v.webLinkOn = ReadIniInt("WebLinker", "Enable", 1, f) == 1;
    v.webLinkUserControl = ReadIniInt("WebLinker", "userControl", 1, f) != 0;
    v.passwordProtected = platform::screenSaveUsePassword();
    values_ = v;
}

std::string ScreenSaverPage::passwordProblem() const {
    return values_.passwordProtected ? lockProblem() : std::string();
}

bool ScreenSaverPage::SetScreenSaverInfo() const {
    const ScreenSaverSettings& v = values_;
    if (v.saverOn) {
        WriteIniString("boot", "SCRNSAVE.EXE", platform::GetShortPathName(saverFile_),
                       "system.ini");
        platform::setScreenSaveActive(true);
        platform::setScreenSaveTimeOut(v.delayMinutes * 60);
    } else {
        platform::setScreenSaveActive(false);
    }
    if (platform::screenSaveUsePassword() != v.passwordProtected && passwordProblem().empty())
        platform::writeRegistryValue(platform::kDesktopKey, "ScreenSaveUsePassword",
                                     v.passwordProtected ? "1" : "0");

    std::string setEntry;
    if (v.setIndex >= 0 && v.setIndex < static_cast<int>(setEntries_.size()))
        setEntry = setEntries_[static_cast<std::size_t>(v.setIndex)];
    const auto flag = [](bool b) { return b ? "1" : "0"; };
    // Positions outside the lists store the default's value.
    const auto valueAt = [](const std::vector<ListItem>& items, int index, int def) {
        return index >= 0 && index < static_cast<int>(items.size())
                   ? items[static_cast<std::size_t>(index)].value
                   : def;
    };
    const int size = valueAt(calendarSizes(), v.calendarSize, 20);
    const int position = valueAt(calendarPositions(), v.calendarPosition, 1);
    const bool ok = profile::update(settingsPath_, [&](IniDocument& doc) {
        if (v.saverOn)
            doc.set("ScreenSaver", "LastImage", "0");
        doc.set("ScreenSaver", "Setup", "1");
        doc.set("PrefsSS", "change", std::to_string(v.imageDelay) + (v.minutes ? "m" : "s"));
        if (setEntry == kRandomSetsEntry) {
            doc.set("PrefsSS", "random", "1");
        } else if (!setEntry.empty()) {
            doc.set("PrefsSS", "random", "0");
            doc.set("PrefsSS", "CurrentSet", trimBlanks(setEntry));
        }
        doc.set("Transition", "defaultTransition", std::to_string(v.transition));
        doc.set("InfoPanel", "defaultLanguage", std::to_string(v.language + 1));
        doc.set("InfoPanel", "showText", flag(v.showText));
        doc.set("InfoPanel", "showTitle", flag(v.showTitle));
        doc.set("InfoPanel", "defaultTime", std::to_string(v.infoTime));
        doc.set("Panoramic", "speed", std::to_string(255 - v.panSlider));
        doc.set("Panoramic", "enable", flag(v.panEnable));
        doc.set("PrefsSS", "stretch", flag(v.stretch));
        doc.set("PrefsSS", "sameOnAllScreens", flag(v.sameOnAllScreens));
        doc.set("CalendarSS", "size", std::to_string(size));
        doc.set("CalendarSS", "position", std::to_string(position));
        doc.set("CalendarSS", "enable", flag(v.calendarOn));
        return true;
    });
    if (!ok)
        logWarning("config", "could not write the saver settings to " + settingsPath_);
    return ok;
}

} // namespace skyloom::config
