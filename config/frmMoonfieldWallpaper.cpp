// The configuration form's wallpaper routines: the next picture, the
// calendar of a new day and the Wallpaper page applied, for the dialog and
// for the unattended runs of " /wall" and " /kalendar".

#include "frmMoonfield.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

#include <chrono>

namespace skyloom::config {

namespace {

constexpr const char* kWallpaperOff =
    "the wallpaper is switched off on the Wallpaper page; nothing was changed";

} // namespace

wallpaper::Outcome frmMoonfield::NextWallpaperImage() {
    if (!initialise())
        return {false, "no image set is installed"};
    if (!wallpaper_.enabled)
        return {true, kWallpaperOff};
    random_.seed(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    if (!wallpaper_.PickRandomPicture(random_)) {
        // Counted as a change, so the tray changer does not ask again at once.
        logInfo("wallpaper", "no wallpaper picture to choose from");
        WriteIniString("PrefsWP", kLastChangedKey, currentDateText(), library_.SettingsPath());
        return {true, "there is no wallpaper picture to choose from"};
    }
    wallpaper_.bWallpaperAutoChange = true;
    showImageList();
    return SetWallpaper(WallpaperRun::NextPicture);
}

wallpaper::Outcome frmMoonfield::SetCalendar() {
    return SetWallpaper(WallpaperRun::CalendarRefresh);
}

wallpaper::WallpaperSetter& frmMoonfield::wallpaperSetter() {
    if (!wallpaperSetter_)
        wallpaperSetter_ = std::make_unique<wallpaper::WallpaperSetter>();
    return *wallpaperSetter_;
}

QSize frmMoonfield::screenPixels() const {
    if (screenOverride_.isValid())
        return screenOverride_;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size() * screen->devicePixelRatio();
    return {};
}

wallpaper::Outcome frmMoonfield::SetWallpaper(WallpaperRun run) {
    if (!initialise())
        return {false, "no image set is installed"};
    wallpaper::Outcome outcome;
    if (!wallpaper_.enabled) {
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
    } else if (wallpaper_.szWallpaperImage.empty()) {
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
    if (!wallpaper_.SaveSettings())
        logWarning("wallpaper", "could not record the wallpaper settings");
    // Last, so that the tray changer counts from a finished change. A new
    // day's calendar is not a new picture: the intervals keep counting from
    // the last picture.
    const char* key = run == WallpaperRun::CalendarRefresh ? kLastCalendarKey : kLastChangedKey;
    if (!WriteIniString("PrefsWP", key, currentDateText(), library_.SettingsPath()))
        logWarning("wallpaper", "could not record the time of the wallpaper change");
    return outcome;
}

wallpaper::RenderRequest frmMoonfield::renderRequest() const {
    wallpaper::RenderRequest request;
    request.pictureBase = wallpaper_.szWallpaperImage;
    request.setDirectory = wallpaper_.szWallpaperSetDir;
    request.reference = QSize(maxWidth_, maxHeight_);
    request.screen = screenPixels();
    request.fit = wallpaper_.stretch;
    request.keepAspect = wallpaper_.keepAspect;
    request.bitsPerPixel = platform::displayBitsPerPixel();
    request.calendar = {wallpaper_.calendarOn, wallpaper_.calendarPosition,
                        wallpaper_.calendarSize};
    request.today = QDate::currentDate();
    request.settingsFile = library_.SettingsPath();
    request.workFolder = platform::runtimeDirectory();
    request.cacheFolder = wallpaper::defaultCacheFolder();
    request.outputPath = windowsDir_ + wallpaper::kBmpFileName;
    return request;
}

} // namespace skyloom::config
