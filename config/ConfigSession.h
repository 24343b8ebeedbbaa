#pragma once
// The configuration without its widgets: the image-set registry, the page
// models loaded from the stored settings, and the wallpaper job. The dialog
// shows and edits it; the saver and the unattended wallpaper runs use it
// alone, so they construct no window.

#include "config/AboutPage.h"
#include "config/ScreenSaverPage.h"
#include "config/WallpaperJob.h"
#include "config/WallpaperPage.h"
#include "imagesets/SetLibrary.h"

#include <QSize>

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <string>

namespace skyloom::mkset {
class Progress;
}

namespace skyloom::config {

class ConfigSession {
    // The texts keep the dialog's translation context, where they have always been.
    Q_DECLARE_TR_FUNCTIONS(skyloom::config::frmMoonfield)
public:
    ConfigSession();
    ~ConfigSession();
    ConfigSession(const ConfigSession&) = delete;
    ConfigSession& operator=(const ConfigSession&) = delete;

    /// Makes the first-run set when there is none, refreshes the image-set
    /// registry, fills the set lists, loads the pages and, on the first run,
    /// saves the default settings (the Screen Saver page, then the
    /// wallpaper). Runs once. False when no image set exists (after saying
    /// so): the program ends.
    bool initialise();
    bool initialised() const { return initialised_; }

    /// Shows how far the first-run set has got (none: nothing is shown).
    void setFirstRunProgress(mkset::Progress* progress) { firstRunProgress_ = progress; }
    /// Called with true before the first run's wallpaper is made and with
    /// false after it, so that a notice can show meanwhile.
    std::function<void(bool busy)> wallpaperBusy;

    /// True when started by the desktop's display settings ("/c").
    bool startedFromProps = false;

    /// Saves the Screen Saver page. A password that cannot protect the lock
    /// is said at once (`beforeProblemMessage` runs first); a failed write
    /// only when `tellFailure`. False when the page is not saved as shown.
    bool SetScreenSaverInfo(bool tellFailure,
                            const std::function<void()>& beforeProblemMessage = {});
    /// False after the first run when its Screen Saver page was not saved.
    bool firstRunSaverSaved() const { return firstRunSaverSaved_; }
    /// True when [ScreenSaver] Setup was not 1 when the pages loaded.
    bool bFirstRun() const { return screenSaver_ && screenSaver_->bFirstRun(); }

    /// Refills the page models' set lists after the sets changed, keeping
    /// their selections.
    void UpdateLists();

    /// Screen size to render for instead of the primary screen's (no display:
    /// the offscreen screen's size means nothing).
    void setScreenSize(QSize size) { screenOverride_ = size; }
    /// The screen's size in pixels (invalid without a screen).
    QSize screenPixels() const;

    imagesets::SetLibrary& library() { return library_; }
    const imagesets::SetLibrary& library() const { return library_; }
    /// Null until initialise() found image sets.
    ScreenSaverPage* screenSaverPage() { return screenSaver_.get(); }
    WallpaperPage& wallpaperPage() { return wallpaper_; }
    const WallpaperPage& wallpaperPage() const { return wallpaper_; }
    AboutPage& aboutPage() { return about_; }
    WallpaperJob& wallpaperJob() { return job_; }

    const std::string& programPath() const { return programPath_; }
    const std::string& windowsDirectory() const { return windowsDir_; }
    /// Reference display size of the wallpaper: 1024 x 768, each reduced to
    /// the screen's size in pixels when the screen is smaller.
    int nMaxWidth() const { return maxWidth_; }
    int nMaxHeight() const { return maxHeight_; }

private:
    void InitLists();
    void saveFirstRunDefaults();

    imagesets::SetLibrary library_;
    std::unique_ptr<ScreenSaverPage> screenSaver_;
    WallpaperPage wallpaper_{library_};
    AboutPage about_{library_};
    WallpaperJob job_{*this};
    mkset::Progress* firstRunProgress_ = nullptr;
    std::string programPath_;
    std::string windowsDir_;
    QSize screenOverride_;
    int maxWidth_ = 1024;
    int maxHeight_ = 768;
    bool randomWPSets_ = false;
    bool initialised_ = false;
    bool initResult_ = false;
    bool firstRunSaverSaved_ = true;
};

} // namespace skyloom::config
