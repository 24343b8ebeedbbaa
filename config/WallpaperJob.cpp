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

#include <chrono>

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
        outcome = wallpaperSetter().SetWallpaper(renderRequest());
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

} // namespace skyloom::config
