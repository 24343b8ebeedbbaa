#pragma once
// The configuration dialog: the frame of four pages ("Screen Saver",
// "Wallpaper", "Edit Sets", "About") with OK, Cancel and Apply.
//
// The pages are widgets of their own over the page models of a
// ConfigSession, which loads and saves them and does the wallpaper work. A
// page the user changes is marked in PageChanged; Apply saves the current
// page, OK every changed page, Cancel nothing.

#include "config/ConfigSession.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QTabWidget;
class QPushButton;
class QTimer;

namespace skyloom::config {

class AboutPageWidget;
class EditSetsWidget;
class ScreenSaverPageWidget;
class SessionNotices;
class ThumbnailCycle;
class WallpaperPageWidget;

class frmMoonfield : public QWidget {
    Q_OBJECT
public:
    enum Page { ScreenSaver = 0, Wallpaper = 1, EditSets = 2, About = 3, PageCount = 4 };
    using WallpaperRun = config::WallpaperRun;

    explicit frmMoonfield(QWidget* parent = nullptr);
    ~frmMoonfield() override;

    /// Page to open: 0 "Screen Saver", 1 "Wallpaper", 2 "Edit Sets", 3 "About".
    /// Also puts the inner tab strips of the first two pages on their first tab.
    void setStartingTab(int tab);
    int currentPage() const;
    /// True when started by the desktop's display settings ("/c").
    bool m_bStartedFromProps = false;

    /// Initialises the session (see ConfigSession::initialise) and shows its
    /// pages. Runs once, shown or not. False when no image set exists.
    bool initialise();
    bool initialised() const { return session_.initialised(); }
    /// The pages show the session's models (after a successful initialise()).
    bool pagesLoaded() const { return pagesLoaded_; }

    /// The wallpaper job's routines, with the Wallpaper page kept in step.
    wallpaper::Outcome NextWallpaperImage();
    wallpaper::Outcome SetWallpaper(WallpaperRun run = WallpaperRun::Apply);
    wallpaper::Outcome SetCalendar();

    /// Marks the current page changed and enables Apply (only while shown,
    /// so loading the controls marks nothing). Every page's controls call it.
    void SetApply();
    /// Saves one page and clears its mark.
    void SavePage(int page);
    bool PageChanged(int page) const;
    /// True when [ScreenSaver] Setup was not 1 when the dialog loaded.
    bool bFirstRun() const { return session_.bFirstRun(); }

    /// Refills the dialog's set lists after the sets changed, keeping their
    /// selections.
    void UpdateLists();
    /// "Image Info..." on the Wallpaper page.
    void cmdImageCredits_Click();

    ConfigSession& session() { return session_; }
    imagesets::SetLibrary& library() { return session_.library(); }
    const std::string& windowsDirectory() const { return session_.windowsDirectory(); }
    ScreenSaverPage* screenSaverPage() { return session_.screenSaverPage(); }
    WallpaperPage& wallpaperPage() { return session_.wallpaperPage(); }

    /// Edit Sets page (its widgets and model).
    EditSetsWidget* editSetsPage() const { return editSets_; }
    /// The Screen Saver page's rotating thumbnail: its list and one step.
    const ThumbnailCycle& thumbnailList() const;
    QTimer* thumbnailTimer() const;
    void tmrThumbnailChanger_Timer();

private:
    void InitLists();
    void SetScreenSaverInfo();
    void pageSelected(int page);
    void editSetsPageSelected(int page);
    void connectPages();
    void okClicked();
    void applyClicked();

    ConfigSession session_;
    std::unique_ptr<SessionNotices> notices_;

    QTabWidget* SSTabPages_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
    ScreenSaverPageWidget* screenSaverWidget_ = nullptr;
    WallpaperPageWidget* wallpaperWidget_ = nullptr;
    EditSetsWidget* editSets_ = nullptr;
    AboutPageWidget* aboutWidget_ = nullptr;

    std::vector<bool> pageChanged_;
    bool pagesLoaded_ = false;
};

} // namespace skyloom::config
