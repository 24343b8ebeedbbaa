#pragma once
// The configuration dialog: four pages ("Screen Saver", "Wallpaper", "Edit
// Sets", "About") and OK, Cancel and Apply. Start-up also creates it hidden
// to run its initialisation before the saver or a wallpaper change.
//
// The widgets only show and edit the page models (ScreenSaverPage,
// WallpaperPage); loading and saving live there. A page the user changes is
// marked in PageChanged; Apply saves the current page, OK every changed page,
// Cancel nothing.

#include "config/AboutPage.h"
#include "config/EditSetsPage.h"
#include "config/ScreenSaverPage.h"
#include "config/WallpaperPage.h"
#include "imagesets/SetLibrary.h"
#include "wallpaper/WallpaperSetter.h"

#include <QWidget>

#include <memory>
#include <random>
#include <string>
#include <vector>

class QTabWidget;
class QPushButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTimer;

namespace skyloom::config {

class EditSetsWidget;

class frmMoonfield : public QWidget {
    Q_OBJECT
public:
    enum Page { ScreenSaver = 0, Wallpaper = 1, EditSets = 2, About = 3, PageCount = 4 };

    explicit frmMoonfield(QWidget* parent = nullptr);
    ~frmMoonfield() override;

    /// Page to open: 0 "Screen Saver", 1 "Wallpaper", 2 "Edit Sets", 3 "About".
    /// Also puts the inner tab strips of the first two pages on their first tab.
    void setStartingTab(int tab);
    void StartingTab(int tab) { setStartingTab(tab); }
    int currentPage() const;
    /// True when started by the desktop's display settings ("/c").
    bool m_bStartedFromProps = false;

    /// Refreshes the image-set registry, fills the set lists, loads the pages
    /// and, on the first run, saves the default settings. Runs once, shown or
    /// not. False when no image set exists (after saying so): the program ends.
    bool initialise();
    bool initialised() const { return initialised_; }

    /// Who asks for a wallpaper: the Wallpaper page applied, or one of the
    /// unattended runs (a new picture, the calendar of a new day).
    enum class WallpaperRun { Apply, NextPicture, CalendarRefresh };

    /// Picks the next wallpaper picture (never the one on show when there
    /// is another) and sets it.
    wallpaper::Outcome NextWallpaperImage();
    /// Makes the wallpaper for the Wallpaper page and records its settings.
    /// When the page says Off, only an Apply asks whether to take the
    /// wallpaper away; an unattended run then does nothing. A picture change
    /// records "LastChanged", a calendar refresh "LastCalendar". On failure
    /// the reason is in the outcome (and the user has been told); nothing
    /// is recorded then.
    wallpaper::Outcome SetWallpaper(WallpaperRun run = WallpaperRun::Apply);
    /// Renders the current wallpaper again (for a new day's calendar).
    wallpaper::Outcome SetCalendar();
    /// Screen size to render for instead of the primary screen's (no display:
    /// the offscreen screen's size means nothing).
    void setScreenSize(QSize size) { screenOverride_ = size; }
    /// The renderer and the desktop's backend, made on first use.
    wallpaper::WallpaperSetter& wallpaperSetter();

    /// Marks the current page changed and enables Apply (only while shown,
    /// so loading the controls marks nothing). Every page's controls call it.
    void SetApply();
    /// Saves one page and clears its mark.
    void SavePage(int page);
    bool PageChanged(int page) const;
    /// True when [ScreenSaver] Setup was not 1 when the dialog loaded.
    bool bFirstRun() const { return screenSaver_ && screenSaver_->bFirstRun(); }

    /// Screen Saver page: load from the settings / save to them.
    void LoadScreenSaverPage();
    void SetScreenSaverInfo();
    /// Enables or disables the Screen Saver page's controls.
    void EnableSaverControls(bool on);

    /// Wallpaper page.
    void InitWallpaperPage();
    void WallpaperControlsSetEnable(bool enable);

    /// Fill the dialog's set lists at start / refill them after the sets
    /// changed, keeping their selections.
    void InitLists();
    void UpdateLists();

    /// About page: a set was chosen in its list / refill it from the model.
    void cmboAboutSets_Click(int index);
    void LoadAboutPage();
    AboutPage& aboutPage() { return about_; }
    /// "Image Info...": the credits of the Wallpaper page's picture, with
    /// the page's preview, in a modal dialog.
    void cmdImageCredits_Click();

    const std::string& programPath() const { return programPath_; }
    imagesets::SetLibrary& library() { return library_; }
    const std::string& windowsDirectory() const { return windowsDir_; }
    ScreenSaverPage* screenSaverPage() { return screenSaver_.get(); }
    WallpaperPage& wallpaperPage() { return wallpaper_; }
    /// Reference display size of the wallpaper: 1024 x 768, each reduced to
    /// the screen's size in pixels when the screen is smaller.
    int nMaxWidth() const { return maxWidth_; }
    int nMaxHeight() const { return maxHeight_; }
    /// The wallpaper set list started on "Randomize From All Image Sets".
    bool bRandomWPSets() const { return randomWPSets_; }

    /// Edit Sets page (its widgets and model).
    EditSetsWidget* editSetsPage() const { return editSets_; }
    /// The Screen Saver page's rotating thumbnail: its list and one step.
    const ThumbnailCycle& thumbnailList() const { return *thumbnails_; }
    QTimer* thumbnailTimer() const { return tmrThumbnailChanger_; }
    void tmrThumbnailChanger_Timer();
    /// Runs the saver full screen with the page's current values.
    void cmdSSPreview_Click();

signals:
    /// "&Preview" on the Screen Saver page was pressed.
    void previewRequested();
    /// "Image Info..." on the Wallpaper page was pressed.
    void imageCreditsRequested();

private:
    void makeFirstRunSetWithNotice();
    QSize screenPixels() const;
    wallpaper::RenderRequest renderRequest() const;
    QWidget* buildScreenSaverPage();
    QWidget* buildWallpaperPage();
    void connectScreenSaverPage();
    void connectWallpaperPage();
    void showScreenSaverPage();
    void showWallpaperPage();
    void showImageList();
    void showWallpaperPreview();
    void pageSelected(int page);
    void setSaverState(bool on);
    void setPanoramic(bool on);
    void okClicked();
    // Edit Sets page and the thumbnails (frmMoonfieldEditSets.cpp)
    QWidget* buildEditSetsPage();
    void connectEditSetsPage();
    void editSetsPageSelected(int page);
    void cmboSS_SetsToUse_Click();
    void updateThumbnailTimer();
    void editSetsInitLists();
    void editSetsUpdateLists();
    void applyClicked();
    QWidget* buildAboutPage();
    void showAboutPage();
    void aboutThumbnailStep();

    // Frame
    QTabWidget* SSTabPages_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;

    // Screen Saver page
    QGroupBox* SSFrame1_ = nullptr;
    QRadioButton* optSSOn_ = nullptr;
    QRadioButton* optSSOff_ = nullptr;
    QCheckBox* chkPasswordProtected_ = nullptr;
    QPushButton* cmdChangePassword_ = nullptr;
    QLabel* lblPasswordProblem_ = nullptr; ///< why no password could end the lock
    void showPasswordProblem();
    QGroupBox* frmSaverDelay_ = nullptr;
    QSpinBox* nbsSaverDelay_ = nullptr;
    QTabWidget* SSTabScreenSaver_ = nullptr;
    QComboBox* cmboSS_SetsToUse_ = nullptr;
    QSpinBox* nbsImageDelay_ = nullptr;
    QRadioButton* optSSSeconds_ = nullptr;
    QRadioButton* optSSMinutes_ = nullptr;
    QComboBox* cmboTransitions_ = nullptr;
    QCheckBox* chkShowTitles_ = nullptr;
    QCheckBox* chkShowDescriptive_ = nullptr;
    QComboBox* cmboSSLanguage_ = nullptr;
    QSpinBox* nbsInfoPanelShows_ = nullptr;
    QCheckBox* chkSSFit2Screen_ = nullptr;
    QRadioButton* optCalendarOn_ = nullptr;
    QRadioButton* optCalendarOff_ = nullptr;
    QComboBox* cmboCalendarSize_ = nullptr;
    QComboBox* cmboCalendarPosition_ = nullptr;
    QRadioButton* optPanaMotionOn_ = nullptr;
    QRadioButton* optPanaMotionOff_ = nullptr;
    QGroupBox* SSFrame5_ = nullptr;
    QSlider* sldrPanSpeed_ = nullptr;
    QGroupBox* frmWebLinker_ = nullptr;
    QRadioButton* optWebLinkOn_ = nullptr;
    QRadioButton* optWebLinkOff_ = nullptr;
    QPushButton* cmdSSPreview_ = nullptr;
    QLabel* picSSThumbNail_ = nullptr;
    std::vector<QWidget*> saverControls_; ///< what EnableSaverControls switches

    // Wallpaper page
    QRadioButton* optWallPaperOn_ = nullptr;
    QRadioButton* optWallPaperOff_ = nullptr;
    QTabWidget* SSTabWallPaper_ = nullptr;
    QComboBox* cmboSets_ = nullptr;
    QListWidget* lstImages_ = nullptr;
    QLabel* picThumbNail_ = nullptr;
    QPushButton* cmdImageCredits_ = nullptr;
    QCheckBox* chkFit2Screen_ = nullptr;
    QGroupBox* frmAutoChange_ = nullptr;
    QComboBox* cmboAutoChange_ = nullptr;
    QRadioButton* optWPCalendarOn_ = nullptr;
    QRadioButton* optWPCalendarOff_ = nullptr;
    QComboBox* cmboWPCalendarSize_ = nullptr;
    QComboBox* cmboWPCalendarPosition_ = nullptr;

    // Edit Sets page and thumbnails
    EditSetsWidget* editSets_ = nullptr;
    QTimer* tmrThumbnailChanger_ = nullptr;
    std::unique_ptr<ThumbnailCycle> thumbnails_;
    // About page
    QComboBox* cmboAboutSets_ = nullptr;
    QLabel* imgLogo_ = nullptr;
    QLabel* picSkyloomLogo_ = nullptr;
    QLabel* lblMoreInfo_ = nullptr;
    QLabel* lblWebAddress_ = nullptr;
    QLabel* lblCompanyName_ = nullptr;
    QLabel* lblAddress_ = nullptr;
    QLabel* lblCityStateZip_ = nullptr;
    QLabel* lblPhone_ = nullptr;
    QLabel* Label4_ = nullptr;
    QLabel* lblSupport_ = nullptr;
    QLabel* lblPhoneSupport_ = nullptr;
    QLabel* lblBitDepth_ = nullptr;
    QPushButton* cmdVisitUs_ = nullptr;
    QLabel* picAboutThumbnail_ = nullptr;
    QTimer* aboutThumbnailTimer_ = nullptr; ///< rotates the set's pictures while page 3 shows

    std::vector<bool> pageChanged_;
    std::string programPath_;
    std::string windowsDir_;
    bool initialised_ = false;
    bool initResult_ = false;
    bool randomWPSets_ = false;
    int maxWidth_ = 1024;
    int maxHeight_ = 768;
    int syncing_ = 0; ///< >0 while the widgets are being set from a model
    imagesets::SetLibrary library_;
    std::unique_ptr<ScreenSaverPage> screenSaver_;
    WallpaperPage wallpaper_{library_};
    AboutPage about_{library_};
    std::mt19937 random_{std::random_device{}()};
    std::unique_ptr<wallpaper::WallpaperSetter> wallpaperSetter_;
    QSize screenOverride_;
};

} // namespace skyloom::config
