#include "WallpaperJob.h"

#include "ConfigSession.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
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
    for (const platform::Monitor& m : monitors)
        if (m.screenNumber != monitors.front().screenNumber &&
            std::find(screens.begin(), screens.end(), m.screenNumber) == screens.end())
            screens.push_back(m.screenNumber);
    for (const int screen : screens) {
        // The same picture fitted to that screen's monitors, without the
        // calendar (it belongs to the primary monitor), in a file of its own.
        wallpaper::RenderRequest request = first;
        request.monitors.clear();
        request.calendar.enabled = false;
        request.outputPath =
            session_.windowsDirectory() + "Skyloom-screen" + std::to_string(screen) + ".bmp";
        for (const platform::Monitor& m : monitors)
            if (m.screenNumber == screen && !m.deviceGeometry.isEmpty())
                request.monitors.push_back({m.name.toStdString(), m.deviceGeometry, false, {}, {}});
        if (request.monitors.size() == 1) {
            request.screen = request.monitors.front().geometry.size();
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
    const WallpaperPage& page = session_.wallpaperPage();
    if (page.perScreen) {
        // The other monitors' pictures follow from the primary's: a new day's
        // calendar keeps them, a new picture brings new ones.
        std::uint32_t seed = 2166136261u;
        for (const unsigned char c : page.szWallpaperImage)
            seed = (seed ^ c) * 16777619u;
        std::mt19937 random(seed);
        std::vector<std::string> used{page.szWallpaperImage};
        WallpaperPage pick = page;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            for (int tries = 0; tries < 8; ++tries) {
                if (!pick.PickRandomPicture(random))
                    break;
                const bool repeated =
                    std::find(used.begin(), used.end(), pick.szWallpaperImage) != used.end();
                if (!repeated || tries == 7) {
                    parts[i].pictureBase = pick.szWallpaperImage;
                    parts[i].setDirectory = pick.szWallpaperSetDir;
                    used.push_back(pick.szWallpaperImage);
                    break;
                }
            }
        }
    }
    request.monitors = std::move(parts);
}

} // namespace skyloom::config
