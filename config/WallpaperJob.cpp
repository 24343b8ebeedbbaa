#include "WallpaperJob.h"

#include "ConfigSession.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "common/Timing.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QDate>

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace skyloom::config {

namespace {

constexpr const char* kWallpaperOff =
    "the wallpaper is switched off on the Wallpaper page; nothing was changed";

} // namespace

WallpaperJob::WallpaperJob(ConfigSession& session) : session_(session) {}
WallpaperJob::~WallpaperJob() = default;

wallpaper::Outcome WallpaperJob::NextWallpaperImage() {
    if (!session_.initialise())
        return {false, "no image set is installed"};
    WallpaperPage& page = session_.wallpaperPage();
    if (!page.enabled)
        return {true, kWallpaperOff};
    random_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    if (!page.PickRandomPicture(random_)) {
        // Counted as a change, so the tray changer does not ask again at once.
        logInfo("wallpaper", "no wallpaper picture to choose from");
        WriteIniString("PrefsWP", kLastChangedKey, currentDateText(),
                       session_.library().SettingsPath());
        return {true, "there is no wallpaper picture to choose from"};
    }
    page.bWallpaperAutoChange = true;
    if (picturePicked)
        picturePicked();
    return SetWallpaper(WallpaperRun::NextPicture);
}

wallpaper::Outcome WallpaperJob::SetCalendar() {
    return SetWallpaper(WallpaperRun::CalendarRefresh);
}

wallpaper::WallpaperSetter& WallpaperJob::wallpaperSetter() {
    if (!setter_)
        setter_ = std::make_unique<wallpaper::WallpaperSetter>();
    return *setter_;
}

wallpaper::Outcome WallpaperJob::SetWallpaper(WallpaperRun run) {
    if (!session_.initialise())
        return {false, "no image set is installed"};
    const WallpaperPage& page = session_.wallpaperPage();
    wallpaper::Outcome outcome;
    if (!page.enabled) {
        // Only the user's Apply may take the wallpaper away; the schedule and
        // the tray's requests leave an Off wallpaper alone and ask nothing.
        if (run != WallpaperRun::Apply)
            return {true, kWallpaperOff};
        if (platform::MessageBox(tr("Are you sure you want to remove the Wallpaper?").toStdString(),
                                 platform::MsgButtons::YesNo,
                                 tr("Wallpaper Configuration").toStdString()) !=
            platform::MsgResult::Yes)
            return {true, "the wallpaper was left as it was"};
        outcome = wallpaperSetter().RemoveWallpaper();
    } else if (page.szWallpaperImage.empty()) {
        outcome.reason = "no wallpaper picture is chosen";
    } else {
        wallpaper::RenderRequest request = renderRequest();
        addMonitors(request);
        const wallpaper::RenderRequest first = request;
        outcome = wallpaperSetter().SetWallpaper(std::move(request));
        timingMark("wallpaper installed");
        if (outcome.ok)
            setOtherScreens(first);
    }
    if (!outcome.ok) {
        logWarning("wallpaper", outcome.reason);
        platform::MessageBox(
            QCoreApplication::translate(wallpaper::kMessageContext, wallpaper::kWallpaperError)
                .toStdString(),
            platform::MsgButtons::Ok, tr("Error").toStdString());
        return outcome;
    }
    timingMark("other screens done");
    if (!page.SaveSettings())
        logWarning("wallpaper", "could not record the wallpaper settings");
    // Last, so that the tray changer counts from a finished change. A new
    // day's calendar is not a new picture: the intervals keep counting from
    // the last picture.
    const char* key = run == WallpaperRun::CalendarRefresh ? kLastCalendarKey : kLastChangedKey;
    if (!WriteIniString("PrefsWP", key, currentDateText(), session_.library().SettingsPath()))
        logWarning("wallpaper", "could not record the time of the wallpaper change");
    return outcome;
}

wallpaper::RenderRequest WallpaperJob::renderRequest() const {
    const WallpaperPage& page = session_.wallpaperPage();
    wallpaper::RenderRequest request;
    request.pictureBase = page.szWallpaperImage;
    request.setDirectory = page.szWallpaperSetDir;
    request.reference = QSize(session_.nMaxWidth(), session_.nMaxHeight());
    request.screen = session_.screenPixels();
    request.fit = page.stretch;
    request.keepAspect = page.keepAspect;
    request.bitsPerPixel = platform::displayBitsPerPixel();
    request.calendar = {page.calendarOn, page.calendarPosition, page.calendarSize};
    request.today = QDate::currentDate();
    request.settingsFile = session_.library().SettingsPath();
    request.workFolder = platform::runtimeDirectory();
    request.cacheFolder = wallpaper::defaultCacheFolder();
    request.outputPath = session_.windowsDirectory() + wallpaper::kBmpFileName;
    return request;
}

void WallpaperJob::setOtherScreens(const wallpaper::RenderRequest& first) {
    const std::vector<platform::Monitor> monitors =
        monitorList ? monitorList() : std::vector<platform::Monitor>{};
    if (monitors.empty())
        return;
    std::vector<int> screens;
    std::size_t others = 0; // monitors that are not the primary
    for (const platform::Monitor& m : monitors) {
        if (m.deviceGeometry.isEmpty())
            continue;
        others += m.primary ? 0 : 1;
        if (m.screenNumber != monitors.front().screenNumber &&
            std::find(screens.begin(), screens.end(), m.screenNumber) == screens.end())
            screens.push_back(m.screenNumber);
    }
    if (screens.empty())
        return;
    // With a picture per screen the other X screens' monitors continue the
    // primary screen's row of pictures.
    const std::vector<Picture> pictures = otherPictures(others);
    std::size_t next = first.monitors.empty() ? 0 : first.monitors.size() - 1;
    for (const int screen : screens) {
        // Fitted to that screen's monitors, without the calendar (it belongs
        // to the primary monitor), in a file of its own.
        wallpaper::RenderRequest request = first;
        request.monitors.clear();
        request.calendar.enabled = false;
        request.outputPath =
            session_.windowsDirectory() + "Skyloom-screen" + std::to_string(screen) + ".bmp";
        for (const platform::Monitor& m : monitors) {
            if (m.screenNumber != screen || m.deviceGeometry.isEmpty())
                continue;
            wallpaper::MonitorPart part{m.name.toStdString(), m.deviceGeometry, false, {}, {}};
            if (next < pictures.size()) {
                part.pictureBase = pictures[next].first;
                part.setDirectory = pictures[next].second;
            }
            ++next;
            request.monitors.push_back(std::move(part));
        }
        if (request.monitors.size() == 1) {
            // One monitor: the screen's own wallpaper.
            const wallpaper::MonitorPart only = request.monitors.front();
            request.screen = only.geometry.size();
            if (!only.pictureBase.empty()) {
                request.pictureBase = only.pictureBase;
                request.setDirectory = only.setDirectory;
            }
            request.monitors.clear();
        }
        const wallpaper::Outcome o = wallpaperSetter().SetScreenWallpaper(request, screen);
        if (!o.ok)
            logWarning("wallpaper", o.reason);
    }
}

void WallpaperJob::addMonitors(wallpaper::RenderRequest& request) const {
    const std::vector<platform::Monitor> monitors =
        monitorList ? monitorList() : std::vector<platform::Monitor>{};
    if (monitors.empty())
        return;
    // The primary comes first; its X screen is the one the desktop shows
    // the wallpaper on.
    const int screen = monitors.front().screenNumber;
    std::vector<wallpaper::MonitorPart> parts;
    for (const platform::Monitor& m : monitors)
        if (m.screenNumber == screen && !m.deviceGeometry.isEmpty())
            parts.push_back({m.name.toStdString(), m.deviceGeometry, m.primary, {}, {}});
    if (parts.size() < 2)
        return;
    const std::vector<Picture> pictures = otherPictures(parts.size() - 1);
    for (std::size_t i = 1; i < parts.size() && i - 1 < pictures.size(); ++i) {
        parts[i].pictureBase = pictures[i - 1].first;
        parts[i].setDirectory = pictures[i - 1].second;
    }
    request.monitors = std::move(parts);
}

std::vector<WallpaperJob::Picture> WallpaperJob::otherPictures(std::size_t count) const {
    const WallpaperPage& page = session_.wallpaperPage();
    std::vector<Picture> pictures;
    if (!page.perScreen)
        return pictures;
    // They follow from the primary's picture: a new day's calendar keeps
    // them, a new picture brings new ones.
    std::uint32_t seed = 2166136261u;
    for (const unsigned char c : page.szWallpaperImage)
        seed = (seed ^ c) * 16777619u;
    std::mt19937 random(seed);
    std::vector<std::string> used{page.szWallpaperImage};
    WallpaperPage pick = page;
    while (pictures.size() < count) {
        // Another picture than those shown, while the set has one.
        for (int tries = 0;; ++tries) {
            if (!pick.PickRandomPicture(random))
                return pictures;
            const bool repeated =
                std::find(used.begin(), used.end(), pick.szWallpaperImage) != used.end();
            if (!repeated || tries == 7)
                break;
        }
        used.push_back(pick.szWallpaperImage);
        pictures.emplace_back(pick.szWallpaperImage, pick.szWallpaperSetDir);
    }
    return pictures;
}

} // namespace skyloom::config
