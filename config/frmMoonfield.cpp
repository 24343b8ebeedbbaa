#include "frmMoonfield.h"

#include "AboutPageWidget.h"
#include "DialogKeys.h"
#include "EditSetsWidget.h"
#include "FormControls.h"
#include "ScreenSaverPageWidget.h"
#include "SessionNotices.h"
#include "WallpaperPageWidget.h"
#include "frmPleaseWait.h"

#include "common/Log.h"
#include "common/Startup.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace skyloom::config {

using namespace controls;

namespace {

// Restarts the thumbnails at once when the dialog is shown.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QObject* parent, std::function<void()> shown)
        : QObject(parent), shown_(std::move(shown)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent())
            shown_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> shown_;
};

} // namespace

frmMoonfield::frmMoonfield(QWidget* parent)
    : QWidget(parent), notices_(std::make_unique<SessionNotices>(session_)),
      pageChanged_(PageCount, false) {
    setObjectName("frmMoonfield");
    setWindowTitle(tr("Moonfield Configuration"));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    SSTabPages_ = named(new QTabWidget(this), "SSTabPages");
    screenSaverWidget_ = new ScreenSaverPageWidget(session_);
    SSTabPages_->addTab(screenSaverWidget_, tr("Screen Saver"));
    wallpaperWidget_ = new WallpaperPageWidget(session_);
    SSTabPages_->addTab(wallpaperWidget_, tr("Wallpaper"));
    auto* editSetsPage = named(new QWidget, "pageEditSets");
    editSets_ = new EditSetsWidget(session_.library(), editSetsPage);
    SSTabPages_->addTab(editSetsPage, tr("Edit Sets"));
    aboutWidget_ = new AboutPageWidget(session_.aboutPage());
    SSTabPages_->addTab(aboutWidget_, tr("About"));
    layout->addWidget(SSTabPages_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOk_ = named(new QPushButton(tr("OK"), this), "cmdOk");
    cmdCancel_ = named(new QPushButton(tr("Cancel"), this), "cmdCancel");
    cmdApply_ = named(new QPushButton(tr("Apply"), this), "cmdApply");
    cmdApply_->setEnabled(false);
    for (QPushButton* b : {cmdOk_, cmdCancel_, cmdApply_})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(cmdOk_, &QPushButton::clicked, this, &frmMoonfield::okClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
    connect(cmdApply_, &QPushButton::clicked, this, &frmMoonfield::applyClicked);
    connect(SSTabPages_, &QTabWidget::currentChanged, this, &frmMoonfield::pageSelected);
    connectPages();
    // Return presses OK and Escape Cancel (while offered), as in any dialog.
    installDialogKeys(this, cmdOk_, cmdCancel_);
}

frmMoonfield::~frmMoonfield() = default;

void frmMoonfield::connectPages() {
    screenSaverWidget_->edited = [this] { SetApply(); };
    screenSaverWidget_->pageCurrent = [this] { return currentPage() == ScreenSaver; };
    screenSaverWidget_->previewRequested = [this] {
        screenSaverWidget_->cmdSSPreview_Click(editSets_->previewTimer());
    };
    wallpaperWidget_->edited = [this] { SetApply(); };
    wallpaperWidget_->creditsLanguage = [this] { return screenSaverWidget_->languageIndex(); };
    session_.wallpaperJob().picturePicked = [this] { wallpaperWidget_->showImageList(); };
    connect(editSets_, &EditSetsWidget::setsChanged, this, [this] {
        UpdateLists();
        SetApply();
    });
    connect(editSets_, &EditSetsWidget::edited, this, &frmMoonfield::SetApply);
    installEventFilter(new ShowWatcher(this, [this] { screenSaverWidget_->restartThumbnail(); }));
}

// ---------------------------------------------------------------------------
// Set lists

void frmMoonfield::InitLists() {
    wallpaperWidget_->showImageList();
    editSets_->InitLists();
    // The set preview starts with the page, not with the dialog.
    editSets_->previewTimer()->stop();
    screenSaverWidget_->cmboSS_SetsToUse_Click();
    aboutWidget_->showPage();
}

void frmMoonfield::UpdateLists() {
    session_.UpdateLists();
    wallpaperWidget_->showImageList();
    screenSaverWidget_->showSetList();
    editSets_->UpdateLists();
    if (currentPage() != EditSets)
        editSets_->pageHidden();
    screenSaverWidget_->cmboSS_SetsToUse_Click();
    aboutWidget_->showPage();
}

// ---------------------------------------------------------------------------
// Frame

void frmMoonfield::setStartingTab(int tab) {
    if (tab >= 0 && tab < SSTabPages_->count())
        SSTabPages_->setCurrentIndex(tab);
    screenSaverWidget_->firstInnerTab();
    wallpaperWidget_->firstInnerTab();
}

int frmMoonfield::currentPage() const {
    return SSTabPages_->currentIndex();
}

bool frmMoonfield::PageChanged(int page) const {
    return page >= 0 && page < PageCount && pageChanged_[static_cast<std::size_t>(page)];
}

void frmMoonfield::pageSelected(int page) {
    cmdApply_->setEnabled(PageChanged(page));
    editSetsPageSelected(page);
    aboutWidget_->pageSelected(page == About);
}

void frmMoonfield::editSetsPageSelected(int page) {
    if (page == EditSets)
        editSets_->pageShown();
    else
        editSets_->pageHidden();
    screenSaverWidget_->updateThumbnailTimer();
}

void frmMoonfield::SetApply() {
    if (!isVisible())
        return;
    cmdApply_->setEnabled(true);
    const int page = currentPage();
    if (page >= 0 && page < PageCount)
        pageChanged_[static_cast<std::size_t>(page)] = true;
}

void frmMoonfield::SetScreenSaverInfo() {
    const bool saved = session_.SetScreenSaverInfo(
        isVisible(), [this] { screenSaverWidget_->showPasswordProblem(); });
    if (!saved) {
        pageChanged_[ScreenSaver] = true;
        if (isVisible())
            cmdApply_->setEnabled(true);
    }
}

void frmMoonfield::SavePage(int page) {
    if (page < 0 || page >= PageCount)
        return;
    pageChanged_[static_cast<std::size_t>(page)] = false;
    switch (page) {
    case ScreenSaver:
        SetScreenSaverInfo();
        break;
    case Wallpaper: {
        frmPleaseWait notice;
        notice.show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        SetWallpaper();
        notice.hide();
        break;
    }
    case EditSets:
        if (!session_.library().SaveSetsInfo()) {
            logWarning("config", "the image-set choices could not be saved");
            pageChanged_[EditSets] = true;
            platform::MessageBox(tr("The image-set choices could not be saved.").toStdString());
        }
        break;
    default:
        break;
    }
}

void frmMoonfield::okClicked() {
    for (int page = 0; page < PageCount; ++page)
        if (PageChanged(page))
            SavePage(page);
    close();
}

void frmMoonfield::applyClicked() {
    cmdApply_->setEnabled(false);
    SavePage(currentPage());
}

// ---------------------------------------------------------------------------
// The session's work, with the pages kept in step

bool frmMoonfield::initialise() {
    if (pagesLoaded_)
        return true;
    if (!session_.initialised())
        session_.startedFromProps = m_bStartedFromProps;
    if (!session_.initialise())
        return false;
    pagesLoaded_ = true;
    InitLists();
    wallpaperWidget_->showPage();
    screenSaverWidget_->showPage();
    // The first run saved the defaults the pages show; Cancel has nothing
    // to go back to, and a Screen Saver page that was not saved stays marked.
    if (bFirstRun()) {
        pageChanged_[ScreenSaver] = !session_.firstRunSaverSaved();
        cmdApply_->setEnabled(true);
        cmdCancel_->setEnabled(false);
    }
    // The built-in caption speaks the user's language; one from config.ini
    // stands as written.
    const std::string title = LoadWindowTitles(session_.programPath());
    setWindowTitle(title == "Screen Saver Configuration" ? tr("Screen Saver Configuration")
                                                         : QString::fromStdString(title));
    return true;
}

wallpaper::Outcome frmMoonfield::NextWallpaperImage() {
    if (!initialise())
        return {false, "no image set is installed"};
    return session_.wallpaperJob().NextWallpaperImage();
}

wallpaper::Outcome frmMoonfield::SetWallpaper(WallpaperRun run) {
    if (!initialise())
        return {false, "no image set is installed"};
    return session_.wallpaperJob().SetWallpaper(run);
}

wallpaper::Outcome frmMoonfield::SetCalendar() {
    return SetWallpaper(WallpaperRun::CalendarRefresh);
}

void frmMoonfield::cmdImageCredits_Click() {
    wallpaperWidget_->cmdImageCredits_Click();
}

const ThumbnailCycle& frmMoonfield::thumbnailList() const {
    return screenSaverWidget_->thumbnailList();
}

QTimer* frmMoonfield::thumbnailTimer() const {
    return screenSaverWidget_->thumbnailTimer();
}

void frmMoonfield::tmrThumbnailChanger_Timer() {
    screenSaverWidget_->tmrThumbnailChanger_Timer();
}

} // namespace skyloom::config
