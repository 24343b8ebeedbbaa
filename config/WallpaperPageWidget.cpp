// The dialog's Wallpaper page: its controls, their wiring, the picture list
// and preview, and the image credits.

#include "WallpaperPageWidget.h"

#include "ConfigSession.h"
#include "FormControls.h"
#include "Syncing.h"
#include "frmCredits.h"

#include "common/Log.h"
#include "graphics/io/PictureFile.h"
#include "platform/MessageBox.h"
#include "platform/Monitors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstddef>
#include <string>

namespace skyloom::config {

using namespace controls;

WallpaperPageWidget::WallpaperPageWidget(ConfigSession& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName("pageWallpaper");
    QWidget* page = this;
    auto* layout = new QVBoxLayout(page);

    auto* Frame1 = frame("Frame1", tr("Wallpaper"), page);
    Frame1->setToolTip(tr("Click these to turn your wallpaper on and off."));
    auto* onOff = new QHBoxLayout(Frame1);
    optWallPaperOn_ =
        option("optWallPaperOn", tr("On"), tr("Click here to turn your wallpaper on."), Frame1);
    optWallPaperOff_ =
        option("optWallPaperOff", tr("Off"), tr("Click here to turn your wallpaper off."), Frame1);
    onOff->addWidget(optWallPaperOn_);
    onOff->addWidget(optWallPaperOff_);
    onOff->addStretch();
    layout->addWidget(Frame1);

    SSTabWallPaper_ = named(new QTabWidget(page), "SSTabWallPaper");
    layout->addWidget(SSTabWallPaper_, 1);
    SSTabWallPaper_->addTab(buildBasicTab(), tr("Basic Settings"));
    SSTabWallPaper_->addTab(buildCalendarTab(), tr("Calendar"));
    connectControls();
}

WallpaperPage& WallpaperPageWidget::model() const {
    return session_.wallpaperPage();
}

QWidget* WallpaperPageWidget::buildBasicTab() {
    auto* basic = named(new QWidget, "tabWPBasic");
    auto* grid = new QGridLayout(basic);
    auto* Label20 = label("Label20", tr("Image set:"), basic);
    Label20->setToolTip(tr("This selects the image set to use for the wallpaper."));
    cmboSets_ = named(new QComboBox(basic), "cmboSets");
    cmboSets_->setToolTip(tr("Click here to select a set of images  to get your wallpaper from."));
    standsFor(Label20, cmboSets_);
    grid->addWidget(Label20, 0, 0);
    grid->addWidget(cmboSets_, 0, 1, 1, 2);
    auto* Label21 = label("Label21", tr("&Wallpaper Images"), basic);
    lstImages_ = named(new QListWidget(basic), "lstImages");
    lstImages_->setToolTip(tr("Click here to select the image to use for your wallpaper."));
    standsFor(Label21, lstImages_);
    grid->addWidget(Label21, 1, 0, 1, 2);
    grid->addWidget(lstImages_, 2, 0, 3, 2);
    picThumbNail_ = named(new QLabel(basic), "picThumbNail");
    picThumbNail_->setToolTip(tr("This is the image that will be set as your wallpaper."));
    picThumbNail_->setAccessibleName(tr("Thumbnail"));
    picThumbNail_->setMinimumSize(160, 120);
    picThumbNail_->setFrameShape(QFrame::StyledPanel);
    picThumbNail_->setAlignment(Qt::AlignCenter);
    grid->addWidget(picThumbNail_, 2, 2);
    cmdImageCredits_ = named(new QPushButton(tr("Image Info..."), basic), "cmdImageCredits");
    cmdImageCredits_->setToolTip(tr("Find out more about this image."));
    grid->addWidget(cmdImageCredits_, 3, 2);
    chkFit2Screen_ = named(new QCheckBox(tr("&Size to fit screen"), basic), "chkFit2Screen");
    chkFit2Screen_->setToolTip(tr("Check this to make the image fill the screen."));
    grid->addWidget(chkFit2Screen_, 5, 0, 1, 2);
    chkPerScreen_ =
        named(new QCheckBox(tr("Different picture on each screen"), basic), "chkPerScreen");
    chkPerScreen_->setToolTip(
        tr("Check this to show another picture of the set on each of your monitors."));
    grid->addWidget(chkPerScreen_, 5, 2);
    // Only a desktop with several monitors has a choice here.
    const auto showPerScreen = [this] {
        chkPerScreen_->setVisible(platform::listMonitors().size() > 1);
    };
    showPerScreen();
    connect(new platform::MonitorWatch(this), &platform::MonitorWatch::changed, this,
            showPerScreen);
    frmAutoChange_ = frame("frmAutoChange", tr("Change Wallpaper"), basic);
    frmAutoChange_->setToolTip(tr("This controls how often the wallpaper changes.  If you select "
                                  "Manual,  the wallpaper calendar will still update."));
    auto* change = new QHBoxLayout(frmAutoChange_);
    cmboAutoChange_ = named(new QComboBox(frmAutoChange_), "cmboAutoChange");
    cmboAutoChange_->setToolTip(tr("Click here to set how often your wallpaper changes.  If you "
                                   "select Manual,  the wallpaper calendar will still updates at "
                                   "midnight."));
    cmboAutoChange_->setAccessibleName(tr("Change Wallpaper"));
    fill(cmboAutoChange_, autoChangeIntervals());
    change->addWidget(cmboAutoChange_, 1);
    grid->addWidget(frmAutoChange_, 6, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    return basic;
}

QWidget* WallpaperPageWidget::buildCalendarTab() {
    auto* calendarTab = named(new QWidget, "tabWPCalendar");
    auto* calendarLayout = new QVBoxLayout(calendarTab);
    auto* frmCalendarWP = frame("frmCalendarWP", tr("Calendar"), calendarTab);
    frmCalendarWP->setToolTip(tr("Use these to control the wallpaper calendar."));
    auto* cal = new QGridLayout(frmCalendarWP);
    optWPCalendarOn_ = option("optWPCalendarOn", tr("On"),
                              tr("Click here to turn the wallpaper calendar on."), frmCalendarWP);
    optWPCalendarOff_ = option("optWPCalendarOff", tr("Off"),
                               tr("Click here to turn the wallpaper calendar off."), frmCalendarWP);
    cal->addWidget(optWPCalendarOn_, 0, 0);
    cal->addWidget(optWPCalendarOff_, 0, 1);
    const CalendarLists lists = calendarLists(
        cal, frmCalendarWP, {"Label2", "cmboWPCalendarSize", "Label1", "cmboWPCalendarPosition"},
        tr("Size:"), tr("Position:"));
    cmboWPCalendarSize_ = lists.size;
    cmboWPCalendarPosition_ = lists.position;
    calendarLayout->addWidget(frmCalendarWP);
    calendarLayout->addStretch();
    return calendarTab;
}

void WallpaperPageWidget::connectControls() {
    connect(optWallPaperOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        model().enabled = on;
        edited();
        frmAutoChange_->setEnabled(on);
        WallpaperControlsSetEnable(on);
    });
    connect(cmboSets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_)
            return;
        model().SelectSet(index);
        showImageList();
        edited();
        if (lstImages_->isVisible() && lstImages_->isEnabled())
            lstImages_->setFocus();
    });
    connect(lstImages_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_)
            return;
        const bool changed = model().SelectImage(row);
        showWallpaperPreview();
        if (changed)
            edited();
    });
    connect(chkFit2Screen_, &QCheckBox::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        model().stretch = on;
        edited();
    });
    connect(chkPerScreen_, &QCheckBox::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        model().perScreen = on;
        edited();
    });
    connect(cmboAutoChange_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_)
            return;
        model().changeIndex = index;
        edited();
    });
    connect(optWPCalendarOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        model().calendarOn = on;
        edited();
    });
    connect(cmboWPCalendarPosition_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || index < 0)
            return;
        model().calendarPosition = cmboWPCalendarPosition_->itemData(index).toInt();
        edited();
    });
    connect(cmboWPCalendarSize_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || index < 0)
            return;
        model().calendarSize = cmboWPCalendarSize_->itemData(index).toInt();
        edited();
    });
    connect(cmdImageCredits_, &QPushButton::clicked, this,
            &WallpaperPageWidget::cmdImageCredits_Click);
}

void WallpaperPageWidget::showPage() {
    {
        Syncing guard(syncing_);
        (model().enabled ? optWallPaperOn_ : optWallPaperOff_)->setChecked(true);
        chkFit2Screen_->setChecked(model().stretch);
        chkPerScreen_->setChecked(model().perScreen);
        cmboAutoChange_->setCurrentIndex(model().changeIndex);
        (model().calendarOn ? optWPCalendarOn_ : optWPCalendarOff_)->setChecked(true);
        cmboWPCalendarPosition_->setCurrentIndex(
            indexOfValue(calendarPositions(), model().calendarPosition));
        cmboWPCalendarSize_->setCurrentIndex(indexOfValue(calendarSizes(), model().calendarSize));
    }
    showImageList();
    frmAutoChange_->setEnabled(model().enabled);
    WallpaperControlsSetEnable(model().enabled);
}

void WallpaperPageWidget::showImageList() {
    Syncing guard(syncing_);
    if (comboEntries(cmboSets_) != model().sets)
        fillSets(cmboSets_, model().sets);
    cmboSets_->setCurrentIndex(model().setIndex);
    lstImages_->clear();
    for (const auto& name : model().images)
        lstImages_->addItem(QString::fromStdString(name));
    lstImages_->setCurrentRow(model().imageIndex);
    lstImages_->setEnabled(model().imagesEnabled && model().enabled);
    showWallpaperPreview();
}

void WallpaperPageWidget::showWallpaperPreview() {
    const std::string path = model().previewPath();
    if (path.empty()) {
        picThumbNail_->clear();
        return;
    }
    // A preview that cannot be read leaves the previous one in place.
    const QPixmap preview = QPixmap::fromImage(graphics::loadSetImage(path));
    if (!preview.isNull())
        picThumbNail_->setPixmap(preview.scaled(picThumbNail_->minimumSize(), Qt::KeepAspectRatio,
                                                Qt::SmoothTransformation));
}

void WallpaperPageWidget::WallpaperControlsSetEnable(bool enable) {
    cmboAutoChange_->setEnabled(enable);
    cmboSets_->setEnabled(enable);
    if (model().setIndex < 0 && !model().sets.empty()) {
        model().SelectSet(0);
        showImageList();
    }
    const bool realSet = model().setEntry() != kRandomSetsEntry;
    if (realSet && enable) {
        const std::string path = model().previewPath();
        if (path.empty() || graphics::loadSetImage(path).isNull()) {
            if (window()->isVisible())
                platform::MessageBox(tr("WallpaperControlsSetEnable Failed").toStdString());
            else
                logInfo("config", "no preview for the wallpaper picture " + path);
        }
    }
    chkFit2Screen_->setEnabled(enable);
    chkPerScreen_->setEnabled(enable);
    cmdImageCredits_->setEnabled(enable);
    lstImages_->setEnabled(enable && model().imagesEnabled);
}

void WallpaperPageWidget::cmdImageCredits_Click() {
    // The credits of the picture the page shows, which with "Randomize From
    // All Image Sets" is the current picture of the stored set.
    if (model().szWallpaperImage.empty())
        return;
    frmCredits credits(this);
    // The set files name their languages in English, whatever the dialog shows.
    const int languageIndex = creditsLanguage ? creditsLanguage() : -1;
    const std::string language =
        languageIndex >= 0 && languageIndex < static_cast<int>(languageNames().size())
            ? languageNames()[static_cast<std::size_t>(languageIndex)]
            : std::string("English");
    credits.InitCredits(model().szWallpaperSetDir, model().szWallpaperImage,
                        model().currentImageName, language);
    credits.ThumbNail(picThumbNail_->pixmap());
    credits.exec();
}

void WallpaperPageWidget::firstInnerTab() {
    SSTabWallPaper_->setCurrentIndex(0);
}

} // namespace skyloom::config
