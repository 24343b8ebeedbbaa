#include "ConfigSession.h"

#include "FirstRunSet.h"
#include "PageLists.h"

#include "imagesets/Startup.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QString>

#include <algorithm>

namespace skyloom::config {

ConfigSession::ConfigSession() = default;
ConfigSession::~ConfigSession() = default;

QSize ConfigSession::screenPixels() const {
    if (screenOverride_.isValid())
        return screenOverride_;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return screen->size() * screen->devicePixelRatio();
    return {};
}

bool ConfigSession::initialise() {
    if (initialised_)
        return initResult_;
    initialised_ = true;
    windowsDir_ = platform::GetWindowsDir() + "/";
    if (const QSize pixels = screenPixels(); pixels.isValid()) {
        maxWidth_ = std::min(1024, pixels.width());
        maxHeight_ = std::min(768, pixels.height());
    }
    makeFirstRunSet(platform::GetProgramPath(), firstRunProgress_);
    initResult_ = imagesets::RefreshImageSets(library_);
    programPath_ = library_.ProgramPath();
    if (!initResult_)
        return false;
    screenSaver_ =
        std::make_unique<ScreenSaverPage>(library_.SettingsPath(), windowsDir_ + "Skyloom.scr");
    InitLists();
    wallpaper_.InitWallpaperPage();
    screenSaver_->LoadScreenSaverPage(startedFromProps, screenSaver_->setEntries());
    // First run: the defaults the pages show become the stored settings, so
    // the saver and the wallpaper setter find them (the About page has
    // nothing to save).
    if (bFirstRun())
        saveFirstRunDefaults();
    return true;
}

void ConfigSession::saveFirstRunDefaults() {
    firstRunSaverSaved_ = SetScreenSaverInfo(false);
    if (wallpaperBusy)
        wallpaperBusy(true);
    job_.SetWallpaper();
    if (wallpaperBusy)
        wallpaperBusy(false);
}

void ConfigSession::InitLists() {
    randomWPSets_ = wallpaper_.InitSetList();
    screenSaver_->setSetEntries(setListEntries(library_.Sets()));
    about_.InitSetList();
}

void ConfigSession::UpdateLists() {
    const auto entries = setListEntries(library_.Sets());
    const std::string wallpaperSet = wallpaper_.setEntry();
    wallpaper_.sets = entries;
    wallpaper_.SelectSet(restoredSetIndex(entries, wallpaperSet, randomWPSets_));
    if (screenSaver_) {
        ScreenSaverSettings& v = screenSaver_->values();
        const auto& old = screenSaver_->setEntries();
        const std::string saverSet = v.setIndex >= 0 && v.setIndex < static_cast<int>(old.size())
                                         ? old[static_cast<std::size_t>(v.setIndex)]
                                         : std::string();
        screenSaver_->setSetEntries(entries);
        v.setIndex = restoredSetIndex(entries, saverSet, screenSaver_->bRandomSets);
    }
    about_.UpdateSetList();
}

bool ConfigSession::SetScreenSaverInfo(bool tellFailure,
                                       const std::function<void()>& beforeProblemMessage) {
    if (!screenSaver_)
        return true;
    bool saved = true;
    // The rest of the page is saved; the switch stays as it was stored.
    if (const std::string problem = screenSaver_->passwordProblem(); !problem.empty()) {
        saved = false;
        if (beforeProblemMessage)
            beforeProblemMessage();
        platform::MessageBox(
            tr("\"Password protected\" was not switched on. %1 Set a saver password first.")
                .arg(QString::fromStdString(problem))
                .toStdString());
    }
    if (!screenSaver_->SetScreenSaverInfo()) {
        // Nothing is lost: the page stays changed so it can be saved again.
        saved = false;
        if (tellFailure)
            platform::MessageBox(tr("The screen saver settings could not be saved to %1.")
                                     .arg(QString::fromStdString(library_.SettingsPath()))
                                     .toStdString());
    }
    return saved;
}

} // namespace skyloom::config
