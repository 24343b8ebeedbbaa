#include "frmMoonfield.h"

#include "AboutPageLogo.h"
#include "DialogKeys.h"
#include "FirstRunSet.h"
#include "PageLists.h"
#include "Syncing.h"
#include "frmChangePassword.h"
#include "frmCredits.h"
#include "frmPleaseWait.h"
#include "tools/mkset/SetMaker.h"

#include "common/DateText.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "common/Startup.h"
#include "graphics/io/PictureFile.h"
#include "imagesets/Startup.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/System.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace skyloom::config {

namespace {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

QGroupBox* frame(const char* name, const QString& title, QWidget* parent) {
    return named(new QGroupBox(title, parent), name);
}

QRadioButton* option(const char* name, const QString& text, const QString& tip, QWidget* parent) {
    auto* b = named(new QRadioButton(text, parent), name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QLabel* label(const char* name, const QString& text, QWidget* parent) {
    return named(new QLabel(text, parent), name);
}

// A list, combo box, spin box or slider is named after the label that stands
// for it, so screen readers (and the dialog tests) find it by that text.
void standsFor(QLabel* caption, QWidget* control) {
    caption->setBuddy(control);
    control->setAccessibleName(caption->text().remove('&'));
}

QString listText(const char* text) {
    return QCoreApplication::translate(kListContext, text);
}

// A fixed list: translated texts; the position is the value.
void fill(QComboBox* box, const std::vector<std::string>& texts) {
    box->clear();
    for (const auto& t : texts)
        box->addItem(listText(t.c_str()));
}

// A fixed list whose items carry the stored number.
void fill(QComboBox* box, const std::vector<ListItem>& items) {
    box->clear();
    for (const auto& item : items)
        box->addItem(listText(item.text), item.value);
}

// A set list: the sets' own names, the random entry translated; every item
// carries its entry, which is what the code compares.
void fillSets(QComboBox* box, const std::vector<std::string>& entries) {
    box->clear();
    for (const auto& e : entries)
        box->addItem(e == kRandomSetsEntry ? listText(kRandomSetsEntry) : QString::fromStdString(e),
                     QString::fromStdString(e));
}

std::vector<std::string> comboEntries(const QComboBox* box) {
    std::vector<std::string> entries;
    for (int i = 0; i < box->count(); ++i)
        entries.push_back(box->itemData(i).toString().toStdString());
    return entries;
}

} // namespace

frmMoonfield::frmMoonfield(QWidget* parent) : QWidget(parent), pageChanged_(PageCount, false) {
    setObjectName("frmMoonfield");
    setWindowTitle(tr("Moonfield Configuration"));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto* layout = new QVBoxLayout(this);
    SSTabPages_ = named(new QTabWidget(this), "SSTabPages");
    SSTabPages_->addTab(buildScreenSaverPage(), tr("Screen Saver"));
    SSTabPages_->addTab(buildWallpaperPage(), tr("Wallpaper"));
    SSTabPages_->addTab(buildEditSetsPage(), tr("Edit Sets"));
    SSTabPages_->addTab(buildAboutPage(), tr("About"));
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
    connectScreenSaverPage();
    connectWallpaperPage();
    connectEditSetsPage();
    // Return presses OK and Escape Cancel (while offered), as in any dialog.
    installDialogKeys(this, cmdOk_, cmdCancel_);
}

frmMoonfield::~frmMoonfield() = default;

// ---------------------------------------------------------------------------
// Screen Saver page

QWidget* frmMoonfield::buildScreenSaverPage() {
    auto* page = named(new QWidget, "pageScreenSaver");
    auto* layout = new QVBoxLayout(page);

    // The saver's on/off switch with the password controls: Linux has no
    // desktop dialog where password protection is switched on, so it lives
    // here. Only X11 sessions can be locked, so elsewhere those two go.
    auto* top = new QHBoxLayout;
    SSFrame1_ = frame("SSFrame1", tr("Screen Saver"), page);
    auto* onOff = new QHBoxLayout(SSFrame1_);
    optSSOn_ = option("optSS_State", tr("On"), tr("This turns the screen saver on."), SSFrame1_);
    optSSOn_->setProperty("index", 1);
    optSSOff_ = option("optSS_State", tr("Off"), tr("This turns the screen saver off."), SSFrame1_);
    optSSOff_->setProperty("index", 0);
    chkPasswordProtected_ =
        named(new QCheckBox(tr("Password protected"), SSFrame1_), "chkPasswordProtected");
    cmdChangePassword_ =
        named(new QPushButton(tr("Change password..."), SSFrame1_), "cmdChangePassword");
    onOff->addWidget(optSSOn_);
    onOff->addWidget(optSSOff_);
    onOff->addSpacing(12);
    onOff->addWidget(chkPasswordProtected_);
    onOff->addWidget(cmdChangePassword_);
    onOff->addStretch();
    const bool canLock = QGuiApplication::platformName() == "xcb";
    chkPasswordProtected_->setVisible(canLock);
    cmdChangePassword_->setVisible(canLock);
    top->addWidget(SSFrame1_, 1);

    frmSaverDelay_ = frame("frmSaverDelay", QString(), page);
    auto* delay = new QHBoxLayout(frmSaverDelay_);
    auto* startAfter = label("Label15", tr("Start After"), frmSaverDelay_);
    nbsSaverDelay_ = named(new QSpinBox(frmSaverDelay_), "nbsSaverDelay");
    nbsSaverDelay_->setRange(ScreenSaverPage::kDelayMin, ScreenSaverPage::kDelayMax);
    standsFor(startAfter, nbsSaverDelay_);
    delay->addWidget(startAfter);
    delay->addWidget(nbsSaverDelay_);
    delay->addWidget(label("Label16", tr("Minutes"), frmSaverDelay_));
    top->addWidget(frmSaverDelay_);
    layout->addLayout(top);

    SSTabScreenSaver_ = named(new QTabWidget(page), "SSTabScreenSaver");
    layout->addWidget(SSTabScreenSaver_, 1);

    // Basic Settings: the pictures and their captions.
    auto* basic = named(new QWidget, "tabSSBasic");
    auto* basicLayout = new QHBoxLayout(basic);
    auto* left = new QVBoxLayout;
    auto* SSFrame2 = frame("SSFrame2", tr("Configuration"), basic);
    auto* config = new QGridLayout(SSFrame2);
    auto* SSLabel1 = label("SSLabel1", tr("Image set:"), SSFrame2);
    cmboSS_SetsToUse_ = named(new QComboBox(SSFrame2), "cmboSS_SetsToUse");
    standsFor(SSLabel1, cmboSS_SetsToUse_);
    config->addWidget(SSLabel1, 0, 0);
    config->addWidget(cmboSS_SetsToUse_, 0, 1);
    auto* framSSTimeBetween = frame("framSSTimeBetween", tr("Time between images"), SSFrame2);
    auto* between = new QHBoxLayout(framSSTimeBetween);
    nbsImageDelay_ = named(new QSpinBox(framSSTimeBetween), "nbsImageDelay");
    nbsImageDelay_->setRange(ScreenSaverPage::kImageDelayMin, ScreenSaverPage::kImageDelayMax);
    nbsImageDelay_->setAccessibleName(tr("Time between images"));
    optSSSeconds_ = option("optSSSeconds", tr("S&econds"), QString(), framSSTimeBetween);
    optSSMinutes_ = option("optSSMinutes", tr("&Minutes"), QString(), framSSTimeBetween);
    between->addWidget(nbsImageDelay_);
    between->addWidget(optSSSeconds_);
    between->addWidget(optSSMinutes_);
    between->addStretch();
    config->addWidget(framSSTimeBetween, 1, 0, 1, 2);
    auto* SSLabel5 = label("SSLabel5", tr("Transition effects:"), SSFrame2);
    cmboTransitions_ = named(new QComboBox(SSFrame2), "cmboTransitions");
    fill(cmboTransitions_, transitionNames());
    standsFor(SSLabel5, cmboTransitions_);
    config->addWidget(SSLabel5, 2, 0);
    config->addWidget(cmboTransitions_, 2, 1);
    chkSSFit2Screen_ = named(new QCheckBox(tr("&Size to fit screen"), SSFrame2), "chkSSFit2Screen");
    config->addWidget(chkSSFit2Screen_, 3, 0, 1, 2);
    config->setColumnStretch(1, 1);
    left->addWidget(SSFrame2);

    auto* SSFrame3 = frame("SSFrame3", tr("Image Information"), basic);
    auto* info = new QGridLayout(SSFrame3);
    chkShowTitles_ = named(new QCheckBox(tr("Show Titles"), SSFrame3), "chkShowTitles");
    chkShowDescriptive_ =
        named(new QCheckBox(tr("Show info panel"), SSFrame3), "chkShowDescriptive");
    info->addWidget(chkShowTitles_, 0, 0, 1, 3);
    info->addWidget(chkShowDescriptive_, 1, 0, 1, 3);
    auto* SSLabel4 = label("SSLabel4", tr("Info panel language:"), SSFrame3);
    cmboSSLanguage_ = named(new QComboBox(SSFrame3), "cmboSSLanguage");
    fill(cmboSSLanguage_, languageNames());
    standsFor(SSLabel4, cmboSSLanguage_);
    info->addWidget(SSLabel4, 2, 0);
    info->addWidget(cmboSSLanguage_, 2, 1, 1, 2);
    auto* Label17 = label("Label17", tr("Info panel shows for:"), SSFrame3);
    nbsInfoPanelShows_ = named(new QSpinBox(SSFrame3), "nbsInfoPanelShows");
    nbsInfoPanelShows_->setRange(ScreenSaverPage::kInfoTimeMin, ScreenSaverPage::kInfoTimeMax);
    standsFor(Label17, nbsInfoPanelShows_);
    auto* seconds = label("lblInfoSeconds", tr("seconds"), SSFrame3);
    info->addWidget(Label17, 3, 0);
    info->addWidget(nbsInfoPanelShows_, 3, 1);
    info->addWidget(seconds, 3, 2);
    info->setColumnStretch(2, 1);
    left->addWidget(SSFrame3);
    left->addStretch();
    basicLayout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    picSSThumbNail_ = named(new QLabel(basic), "picSSThumbNail");
    picSSThumbNail_->setMinimumSize(160, 120);
    picSSThumbNail_->setFrameShape(QFrame::StyledPanel);
    picSSThumbNail_->setAlignment(Qt::AlignCenter);
    picSSThumbNail_->setAccessibleName(tr("Thumbnail"));
    cmdSSPreview_ = named(new QPushButton(tr("&Preview"), basic), "cmdSSPreview");
    right->addWidget(picSSThumbNail_);
    right->addWidget(cmdSSPreview_);
    right->addStretch();
    basicLayout->addLayout(right);
    SSTabScreenSaver_->addTab(basic, tr("Basic Settings"));

    // Calendar.
    auto* calendarTab = named(new QWidget, "tabSSCalendar");
    auto* calendarLayout = new QVBoxLayout(calendarTab);
    auto* frmCalendar = frame("frmCalendar", tr("Calendar"), calendarTab);
    auto* cal = new QGridLayout(frmCalendar);
    optCalendarOn_ = option("optCalendarOn", tr("On"), QString(), frmCalendar);
    optCalendarOff_ = option("optCalendarOff", tr("Off"), QString(), frmCalendar);
    cal->addWidget(optCalendarOn_, 0, 0);
    cal->addWidget(optCalendarOff_, 0, 1);
    auto* sizeLabel = label("lblCalendarSize", tr("Size:"), frmCalendar);
    cmboCalendarSize_ = named(new QComboBox(frmCalendar), "cmboCalendarSize");
    fill(cmboCalendarSize_, calendarSizes());
    standsFor(sizeLabel, cmboCalendarSize_);
    auto* positionLabel = label("lblCalendarPosition", tr("Position:"), frmCalendar);
    cmboCalendarPosition_ = named(new QComboBox(frmCalendar), "cmboCalendarPosition");
    fill(cmboCalendarPosition_, calendarPositions());
    standsFor(positionLabel, cmboCalendarPosition_);
    cal->addWidget(sizeLabel, 1, 0);
    cal->addWidget(cmboCalendarSize_, 1, 1);
    cal->addWidget(positionLabel, 2, 0);
    cal->addWidget(cmboCalendarPosition_, 2, 1);
    cal->setColumnStretch(2, 1);
    calendarLayout->addWidget(frmCalendar);
    calendarLayout->addStretch();
    SSTabScreenSaver_->addTab(calendarTab, tr("Calendar"));

    // PanaMotion: panoramic pictures pan across the screen.
    auto* panTab = named(new QWidget, "tabSSPanaMotion");
    auto* panLayout = new QVBoxLayout(panTab);
    auto* frmPanaMotion = frame("frmPanaMotion", tr("PanaMotion"), panTab);
    auto* pan = new QHBoxLayout(frmPanaMotion);
    optPanaMotionOn_ = option("optPanaMotionOn", tr("On"), QString(), frmPanaMotion);
    optPanaMotionOff_ = option("optPanaMotionOff", tr("Off"), QString(), frmPanaMotion);
    pan->addWidget(optPanaMotionOn_);
    pan->addWidget(optPanaMotionOff_);
    pan->addStretch();
    SSFrame5_ = frame("SSFrame5", tr("Panoramic Speed"), panTab);
    auto* speed = new QHBoxLayout(SSFrame5_);
    auto* SSLabel6 = label("SSLabel6", tr("Slow"), SSFrame5_);
    sldrPanSpeed_ = named(new QSlider(Qt::Horizontal, SSFrame5_), "sldrPanSpeed");
    sldrPanSpeed_->setRange(ScreenSaverPage::kSliderMin, ScreenSaverPage::kSliderMax);
    sldrPanSpeed_->setPageStep(16);
    sldrPanSpeed_->setAccessibleName(tr("Panoramic Speed"));
    auto* SSLabel7 = label("SSLabel7", tr("Fast"), SSFrame5_);
    speed->addWidget(SSLabel6);
    speed->addWidget(sldrPanSpeed_, 1);
    speed->addWidget(SSLabel7);
    panLayout->addWidget(frmPanaMotion);
    panLayout->addWidget(SSFrame5_);
    panLayout->addStretch();
    SSTabScreenSaver_->addTab(panTab, tr("PanaMotion"));

    // Skyloom: the web-launch key.
    auto* webTab = named(new QWidget, "tabSSSkyloom");
    auto* webLayout = new QVBoxLayout(webTab);
    frmWebLinker_ = frame("frmWebLinker", tr("Skyloom"), webTab);
    auto* web = new QHBoxLayout(frmWebLinker_);
    optWebLinkOn_ =
        option("optWebLinkOn", tr("On"), tr("Click here to turn Skyloom on."), frmWebLinker_);
    optWebLinkOff_ =
        option("optWebLinkOff", tr("Off"), tr("Click here to turn Skyloom off."), frmWebLinker_);
    web->addWidget(optWebLinkOn_);
    web->addWidget(optWebLinkOff_);
    web->addStretch();
    webLayout->addWidget(frmWebLinker_);
    auto* webNote = label("lblWebLinker",
                          tr("Shows whether the installation lets the screen saver open web pages "
                             "(Tab and Esc open the pages an image set offers). A change here is "
                             "not saved."),
                          webTab);
    webNote->setWordWrap(true);
    webLayout->addWidget(webNote);
    webLayout->addStretch();
    SSTabScreenSaver_->addTab(webTab, tr("Skyloom"));

    saverControls_ = {cmboSS_SetsToUse_,  chkShowTitles_,
                      SSFrame2,           nbsSaverDelay_,
                      framSSTimeBetween,  nbsImageDelay_,
                      optSSMinutes_,      optSSSeconds_,
                      SSFrame3,           chkShowDescriptive_,
                      SSLabel4,           cmboSSLanguage_,
                      SSLabel5,           cmboTransitions_,
                      SSFrame5_,          SSLabel6,
                      sldrPanSpeed_,      SSLabel7,
                      cmdSSPreview_,      chkSSFit2Screen_,
                      SSLabel1,           frmSaverDelay_,
                      startAfter,         Label17,
                      nbsInfoPanelShows_, seconds};
    return page;
}

void frmMoonfield::connectScreenSaverPage() {
    // Each handler copies the control's value into the page model and marks
    // the page changed; they are silent while the widgets are being loaded.
    const auto bind = [this](auto* sender, auto signal, auto apply) {
        connect(sender, signal, this, [this, apply](auto value) {
            if (syncing_ || !screenSaver_)
                return;
            apply(screenSaver_->values(), value);
            SetApply();
        });
    };
    connect(optSSOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_ || !screenSaver_)
            return;
        screenSaver_->values().saverOn = on;
        setSaverState(on);
        SetApply();
    });
    bind(chkPasswordProtected_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.passwordProtected = on; });
    connect(cmdChangePassword_, &QPushButton::clicked, this, [this] {
        frmChangePassword dialog(this);
        dialog.exec();
    });
    bind(nbsSaverDelay_, &QSpinBox::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.delayMinutes = n; });
    connect(cmboSS_SetsToUse_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || !screenSaver_)
            return;
        if (index < 0 && cmboSS_SetsToUse_->count() > 0) {
            cmboSS_SetsToUse_->setCurrentIndex(0);
            return;
        }
        screenSaver_->values().setIndex = index;
        screenSaver_->bRandomSets =
            cmboSS_SetsToUse_->itemData(index).toString() == kRandomSetsEntry;
        SetApply();
    });
    bind(nbsImageDelay_, &QSpinBox::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.imageDelay = n; });
    bind(optSSMinutes_, &QRadioButton::toggled,
         [](ScreenSaverSettings& v, bool on) { v.minutes = on; });
    bind(cmboTransitions_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.transition = i; });
    bind(chkShowTitles_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.showTitle = on; });
    bind(chkShowDescriptive_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.showText = on; });
    bind(cmboSSLanguage_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.language = i; });
    bind(nbsInfoPanelShows_, &QSpinBox::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.infoTime = n; });
    bind(chkSSFit2Screen_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.stretch = on; });
    bind(optCalendarOn_, &QRadioButton::toggled,
         [](ScreenSaverSettings& v, bool on) { v.calendarOn = on; });
    bind(cmboCalendarSize_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.calendarSize = i; });
    bind(cmboCalendarPosition_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.calendarPosition = i; });
    connect(optPanaMotionOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_ || !screenSaver_)
            return;
        screenSaver_->values().panEnable = on;
        SetApply();
        setPanoramic(on);
    });
    bind(sldrPanSpeed_, &QSlider::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.panSlider = n; });
    bind(optWebLinkOn_, &QRadioButton::toggled,
         [](ScreenSaverSettings& v, bool on) { v.webLinkOn = on; });
    connect(cmdSSPreview_, &QPushButton::clicked, this, &frmMoonfield::previewRequested);
}

void frmMoonfield::LoadScreenSaverPage() {
    if (!screenSaver_)
        return;
    screenSaver_->LoadScreenSaverPage(m_bStartedFromProps, screenSaver_->setEntries());
    if (screenSaver_->bFirstRun()) {
        pageChanged_[ScreenSaver] = true;
        pageChanged_[Wallpaper] = true;
        cmdApply_->setEnabled(true);
        cmdCancel_->setEnabled(false);
    }
    showScreenSaverPage();
}

void frmMoonfield::showScreenSaverPage() {
    Syncing guard(syncing_);
    const ScreenSaverSettings& v = screenSaver_->values();
    if (screenSaver_->systemFramesHidden()) {
        SSFrame1_->hide();
        frmSaverDelay_->hide();
    }
    (v.saverOn ? optSSOn_ : optSSOff_)->setChecked(true);
    chkPasswordProtected_->setChecked(v.passwordProtected);
    nbsSaverDelay_->setValue(v.delayMinutes);
    nbsImageDelay_->setValue(v.imageDelay);
    (v.minutes ? optSSMinutes_ : optSSSeconds_)->setChecked(true);
    if (comboEntries(cmboSS_SetsToUse_) != screenSaver_->setEntries())
        fillSets(cmboSS_SetsToUse_, screenSaver_->setEntries());
    cmboSS_SetsToUse_->setCurrentIndex(v.setIndex);
    cmboTransitions_->setCurrentIndex(v.transition);
    chkShowTitles_->setChecked(v.showTitle);
    chkShowDescriptive_->setChecked(v.showText);
    cmboSSLanguage_->setCurrentIndex(v.language);
    nbsInfoPanelShows_->setValue(v.infoTime);
    chkSSFit2Screen_->setChecked(v.stretch);
    (v.calendarOn ? optCalendarOn_ : optCalendarOff_)->setChecked(true);
    cmboCalendarSize_->setCurrentIndex(v.calendarSize);
    cmboCalendarPosition_->setCurrentIndex(v.calendarPosition);
    (v.panEnable ? optPanaMotionOn_ : optPanaMotionOff_)->setChecked(true);
    sldrPanSpeed_->setValue(v.panSlider);
    (v.webLinkOn ? optWebLinkOn_ : optWebLinkOff_)->setChecked(true);
    frmWebLinker_->setEnabled(v.webLinkUserControl);
    setSaverState(v.saverOn);
}

void frmMoonfield::SetScreenSaverInfo() {
    if (!screenSaver_)
        return;
    if (!screenSaver_->SetScreenSaverInfo()) {
        // Nothing is lost: the page stays changed so it can be saved again.
        pageChanged_[ScreenSaver] = true;
        if (isVisible()) {
            cmdApply_->setEnabled(true);
            platform::MessageBox(tr("The screen saver settings could not be saved to %1.")
                                     .arg(QString::fromStdString(library_.SettingsPath()))
                                     .toStdString());
        }
    }
}

void frmMoonfield::EnableSaverControls(bool on) {
    for (QWidget* w : saverControls_)
        w->setEnabled(on);
}

void frmMoonfield::setSaverState(bool on) {
    EnableSaverControls(on);
    // The inner tabs can be reached only while the saver is on.
    SSTabScreenSaver_->setCurrentIndex(0);
    for (int i = 1; i < SSTabScreenSaver_->count(); ++i)
        SSTabScreenSaver_->setTabEnabled(i, on);
    // Switching the saver on must not re-enable the speed of a panoramic
    // motion that is off.
    if (on && screenSaver_)
        setPanoramic(screenSaver_->values().panEnable);
}

void frmMoonfield::setPanoramic(bool on) {
    const bool enable = on && (!screenSaver_ || screenSaver_->values().saverOn);
    sldrPanSpeed_->setEnabled(enable);
    SSFrame5_->setEnabled(enable);
}

// ---------------------------------------------------------------------------
// Wallpaper page

QWidget* frmMoonfield::buildWallpaperPage() {
    auto* page = named(new QWidget, "pageWallpaper");
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
    SSTabWallPaper_->addTab(basic, tr("Basic Settings"));

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
    auto* Label2 = label("Label2", tr("Size:"), frmCalendarWP);
    cmboWPCalendarSize_ = named(new QComboBox(frmCalendarWP), "cmboWPCalendarSize");
    fill(cmboWPCalendarSize_, calendarSizes());
    standsFor(Label2, cmboWPCalendarSize_);
    auto* Label1 = label("Label1", tr("Position:"), frmCalendarWP);
    cmboWPCalendarPosition_ = named(new QComboBox(frmCalendarWP), "cmboWPCalendarPosition");
    fill(cmboWPCalendarPosition_, calendarPositions());
    standsFor(Label1, cmboWPCalendarPosition_);
    cal->addWidget(Label2, 1, 0);
    cal->addWidget(cmboWPCalendarSize_, 1, 1);
    cal->addWidget(Label1, 2, 0);
    cal->addWidget(cmboWPCalendarPosition_, 2, 1);
    cal->setColumnStretch(2, 1);
    calendarLayout->addWidget(frmCalendarWP);
    calendarLayout->addStretch();
    SSTabWallPaper_->addTab(calendarTab, tr("Calendar"));
    return page;
}

void frmMoonfield::connectWallpaperPage() {
    connect(optWallPaperOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        wallpaper_.enabled = on;
        SetApply();
        frmAutoChange_->setEnabled(on);
        WallpaperControlsSetEnable(on);
    });
    connect(cmboSets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_)
            return;
        wallpaper_.SelectSet(index);
        showImageList();
        SetApply();
        if (lstImages_->isVisible() && lstImages_->isEnabled())
            lstImages_->setFocus();
    });
    connect(lstImages_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_)
            return;
        const bool changed = wallpaper_.SelectImage(row);
        showWallpaperPreview();
        if (changed)
            SetApply();
    });
    connect(chkFit2Screen_, &QCheckBox::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        wallpaper_.stretch = on;
        SetApply();
    });
    connect(cmboAutoChange_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_)
            return;
        wallpaper_.changeIndex = index;
        SetApply();
    });
    connect(optWPCalendarOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_)
            return;
        wallpaper_.calendarOn = on;
        SetApply();
    });
    connect(cmboWPCalendarPosition_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || index < 0)
            return;
        wallpaper_.calendarPosition = cmboWPCalendarPosition_->itemData(index).toInt();
        SetApply();
    });
    connect(cmboWPCalendarSize_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || index < 0)
            return;
        wallpaper_.calendarSize = cmboWPCalendarSize_->itemData(index).toInt();
        SetApply();
    });
    connect(cmdImageCredits_, &QPushButton::clicked, this, &frmMoonfield::imageCreditsRequested);
    connect(cmdImageCredits_, &QPushButton::clicked, this, &frmMoonfield::cmdImageCredits_Click);
}

void frmMoonfield::InitWallpaperPage() {
    wallpaper_.InitWallpaperPage();
    showWallpaperPage();
}

void frmMoonfield::showWallpaperPage() {
    {
        Syncing guard(syncing_);
        (wallpaper_.enabled ? optWallPaperOn_ : optWallPaperOff_)->setChecked(true);
        chkFit2Screen_->setChecked(wallpaper_.stretch);
        cmboAutoChange_->setCurrentIndex(wallpaper_.changeIndex);
        (wallpaper_.calendarOn ? optWPCalendarOn_ : optWPCalendarOff_)->setChecked(true);
        cmboWPCalendarPosition_->setCurrentIndex(
            indexOfValue(calendarPositions(), wallpaper_.calendarPosition));
        cmboWPCalendarSize_->setCurrentIndex(
            indexOfValue(calendarSizes(), wallpaper_.calendarSize));
    }
    showImageList();
    frmAutoChange_->setEnabled(wallpaper_.enabled);
    WallpaperControlsSetEnable(wallpaper_.enabled);
}

void frmMoonfield::showImageList() {
    Syncing guard(syncing_);
    if (comboEntries(cmboSets_) != wallpaper_.sets)
        fillSets(cmboSets_, wallpaper_.sets);
    cmboSets_->setCurrentIndex(wallpaper_.setIndex);
    lstImages_->clear();
    for (const auto& name : wallpaper_.images)
        lstImages_->addItem(QString::fromStdString(name));
    lstImages_->setCurrentRow(wallpaper_.imageIndex);
    lstImages_->setEnabled(wallpaper_.imagesEnabled && wallpaper_.enabled);
    showWallpaperPreview();
}

void frmMoonfield::showWallpaperPreview() {
    const std::string path = wallpaper_.previewPath();
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

void frmMoonfield::WallpaperControlsSetEnable(bool enable) {
    cmboAutoChange_->setEnabled(enable);
    cmboSets_->setEnabled(enable);
    if (wallpaper_.setIndex < 0 && !wallpaper_.sets.empty()) {
        wallpaper_.SelectSet(0);
        showImageList();
    }
    const bool realSet = wallpaper_.setEntry() != kRandomSetsEntry;
    if (realSet && enable) {
        const std::string path = wallpaper_.previewPath();
        if (path.empty() || graphics::loadSetImage(path).isNull()) {
            if (isVisible())
                platform::MessageBox(tr("WallpaperControlsSetEnable Failed").toStdString());
            else
                logInfo("config", "no preview for the wallpaper picture " + path);
        }
    }
    chkFit2Screen_->setEnabled(enable);
    cmdImageCredits_->setEnabled(enable);
    lstImages_->setEnabled(enable && wallpaper_.imagesEnabled);
}

void frmMoonfield::cmdImageCredits_Click() {
    // The credits of the picture the page shows, which with "Randomize From
    // All Image Sets" is the current picture of the stored set.
    if (wallpaper_.szWallpaperImage.empty())
        return;
    frmCredits credits(this);
    // The set files name their languages in English, whatever the dialog shows.
    const int languageIndex = cmboSSLanguage_->currentIndex();
    const std::string language =
        languageIndex >= 0 && languageIndex < static_cast<int>(languageNames().size())
            ? languageNames()[static_cast<std::size_t>(languageIndex)]
            : std::string("English");
    credits.InitCredits(wallpaper_.szWallpaperSetDir, wallpaper_.szWallpaperImage,
                        wallpaper_.currentImageName, language);
    credits.ThumbNail(picThumbNail_->pixmap());
    credits.exec();
}

// ---------------------------------------------------------------------------
// About page

QWidget* frmMoonfield::buildAboutPage() {
    auto* page = named(new QWidget, "pageAbout");
    auto* layout = new QHBoxLayout(page);

    auto* left = new QVBoxLayout;
    left->addWidget(label("lblProgramName", QString::fromStdString(programTitle()), page));
    imgLogo_ = label("imgLogo", QString(), page);
    imgLogo_->setAccessibleName(tr("Logo"));
    imgLogo_->setAlignment(Qt::AlignCenter);
    picSkyloomLogo_ = label("picSkyloomLogo", QString(), page);
    picSkyloomLogo_->setPixmap(skyloomLogo(QSize(240, 120)));
    picSkyloomLogo_->setAccessibleName(tr("Skyloom"));
    picSkyloomLogo_->hide();
    left->addWidget(imgLogo_);
    left->addWidget(picSkyloomLogo_);
    lblMoreInfo_ = label("lblMoreInfo", QString(), page);
    lblMoreInfo_->setWordWrap(true);
    lblMoreInfo_->setTextFormat(Qt::PlainText);
    left->addWidget(lblMoreInfo_);

    auto* company = frame("frmCompany", tr("Company"), page);
    auto* info = new QVBoxLayout(company);
    const auto plain = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::PlainText);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    // The two addresses are links: a click, or Tab and Enter, opens them.
    const auto link = [company](const char* name) {
        QLabel* l = label(name, "", company);
        l->setTextFormat(Qt::RichText);
        l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        return l;
    };
    lblCompanyName_ = plain("lblCompanyName");
    lblAddress_ = plain("lblAddress");
    lblCityStateZip_ = plain("lblCityStateZip");
    lblPhone_ = plain("lblPhone");
    lblWebAddress_ = link("lblWebAddress");
    auto* supportRow = new QHBoxLayout;
    Label4_ = label("Label4", tr("Support:"), company);
    lblSupport_ = link("lblSupport");
    supportRow->addWidget(Label4_);
    supportRow->addWidget(lblSupport_, 1);
    lblPhoneSupport_ = plain("lblPhoneSupport");
    for (QLabel* l : {lblCompanyName_, lblAddress_, lblCityStateZip_, lblPhone_, lblWebAddress_})
        info->addWidget(l);
    info->addLayout(supportRow);
    info->addWidget(lblPhoneSupport_);
    cmdVisitUs_ = named(new QPushButton(company), "cmdVisitUs");
    cmdVisitUs_->hide();
    info->addWidget(cmdVisitUs_, 0, Qt::AlignLeft);
    left->addWidget(company);
    left->addStretch();
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* setLabel = label("lblAboutSets", tr("Image set:"), page);
    cmboAboutSets_ = named(new QComboBox(page), "cmboAboutSets");
    cmboAboutSets_->setToolTip(tr("Click here to get information about a particular image set."));
    standsFor(setLabel, cmboAboutSets_);
    right->addWidget(setLabel);
    right->addWidget(cmboAboutSets_);
    picAboutThumbnail_ = label("picAboutThumbnail", QString(), page);
    picAboutThumbnail_->setMinimumSize(160, 120);
    picAboutThumbnail_->setFrameShape(QFrame::StyledPanel);
    picAboutThumbnail_->setAlignment(Qt::AlignCenter);
    picAboutThumbnail_->setAccessibleName(tr("Thumbnail"));
    right->addWidget(picAboutThumbnail_);
    lblBitDepth_ = label("lblBitDepth", QString(), page);
    right->addWidget(lblBitDepth_);
    right->addStretch();
    layout->addLayout(right);

    aboutThumbnailTimer_ = new QTimer(this);
    aboutThumbnailTimer_->setObjectName("tmrAboutThumbnail");
    aboutThumbnailTimer_->setInterval(1500);

    connect(cmboAboutSets_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_)
            cmboAboutSets_Click(index);
    });
    const auto open = [](const std::string& shown) {
        // Addresses that cannot be opened are ignored (the opener logs them).
        if (const std::string address = addressToOpen(shown); !address.empty())
            platform::openUrl(address);
    };
    connect(lblWebAddress_, &QLabel::linkActivated, this,
            [this, open] { open(about_.webAddress); });
    connect(lblSupport_, &QLabel::linkActivated, this, [this, open] { open(about_.support); });
    connect(cmdVisitUs_, &QPushButton::clicked, this, [this] {
        if (!about_.visitAddress.empty())
            platform::openUrl(addressToOpen(about_.visitAddress));
    });
    connect(aboutThumbnailTimer_, &QTimer::timeout, this, &frmMoonfield::aboutThumbnailStep);
    return page;
}

void frmMoonfield::cmboAboutSets_Click(int index) {
    about_.cmboAboutSets_Click(index);
    showAboutPage();
    if (isVisible())
        aboutThumbnailStep();
}

void frmMoonfield::LoadAboutPage() {
    about_.LoadAboutPage(platform::displayBitsPerPixel());
    showAboutPage();
}

void frmMoonfield::showAboutPage() {
    const auto qs = [](const std::string& s) { return QString::fromStdString(s); };
    const auto linkText = [&qs](const std::string& s) {
        return s.empty() ? QString() : "<a href=\"#\">" + qs(s).toHtmlEscaped() + "</a>";
    };
    {
        Syncing guard(syncing_);
        if (comboEntries(cmboAboutSets_) != about_.sets)
            fillSets(cmboAboutSets_, about_.sets);
        cmboAboutSets_->setCurrentIndex(about_.setIndex);
    }
    const QSize logoSize = picSkyloomLogo_->pixmap().size();
    imgLogo_->setPixmap(about_.logoPath.empty()
                            ? picSkyloomLogo_->pixmap()
                            : aboutLogo(about_.logoPath, logoSize)
                                  .scaled(logoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblBitDepth_->setText(qs(about_.bitDepth));
    lblMoreInfo_->setText(qs(about_.moreInfo));
    lblWebAddress_->setText(linkText(about_.webAddress));
    lblWebAddress_->setAccessibleName(qs(about_.webAddress));
    lblCompanyName_->setText(qs(about_.companyName));
    lblAddress_->setText(qs(about_.address));
    lblCityStateZip_->setText(qs(about_.cityStateZip));
    lblPhone_->setText(qs(about_.phone));
    lblSupport_->setText(linkText(about_.support));
    lblSupport_->setAccessibleName(qs(about_.support));
    // An empty address is no stop for the Tab key.
    lblWebAddress_->setFocusPolicy(about_.webAddress.empty() ? Qt::NoFocus : Qt::StrongFocus);
    lblSupport_->setFocusPolicy(about_.support.empty() ? Qt::NoFocus : Qt::StrongFocus);
    Label4_->setVisible(about_.supportCaptionShown);
    lblPhoneSupport_->setText(qs(about_.phoneSupport));
    cmdVisitUs_->setText(qs(about_.visitCaption));
    // Named even while hidden without a caption, as the accessibility tree
    // lists hidden controls too.
    cmdVisitUs_->setAccessibleName(about_.visitShown ? QString() : tr("Visit web site"));
    cmdVisitUs_->setVisible(about_.visitShown);
    cmdVisitUs_->setEnabled(about_.visitShown);
    picAboutThumbnail_->clear();
}

void frmMoonfield::aboutThumbnailStep() {
    if (!isVisible())
        return;
    const QSize box = picAboutThumbnail_->minimumSize();
    about_.thumbnailStep([this, box](const std::string& path) {
        QPixmap picture(QString::fromStdString(path));
        if (picture.isNull())
            return false;
        picAboutThumbnail_->setPixmap(
            picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return true;
    });
}

// ---------------------------------------------------------------------------
// Set lists

void frmMoonfield::InitLists() {
    randomWPSets_ = wallpaper_.InitSetList();
    if (screenSaver_)
        screenSaver_->setSetEntries(setListEntries(library_.Sets()));
    showImageList();
    editSetsInitLists();
    about_.InitSetList();
    showAboutPage();
}

void frmMoonfield::UpdateLists() {
    const auto entries = setListEntries(library_.Sets());
    const std::string wallpaperSet = wallpaper_.setEntry();
    wallpaper_.sets = entries;
    wallpaper_.SelectSet(restoredSetIndex(entries, wallpaperSet, randomWPSets_));
    showImageList();
    if (screenSaver_) {
        ScreenSaverSettings& v = screenSaver_->values();
        const auto& old = screenSaver_->setEntries();
        const std::string saverSet = v.setIndex >= 0 && v.setIndex < static_cast<int>(old.size())
                                         ? old[static_cast<std::size_t>(v.setIndex)]
                                         : std::string();
        screenSaver_->setSetEntries(entries);
        v.setIndex = restoredSetIndex(entries, saverSet, screenSaver_->bRandomSets);
        Syncing guard(syncing_);
        fillSets(cmboSS_SetsToUse_, entries);
        cmboSS_SetsToUse_->setCurrentIndex(v.setIndex);
    }
    editSetsUpdateLists();
    about_.UpdateSetList();
    showAboutPage();
}

// ---------------------------------------------------------------------------
// Frame

void frmMoonfield::setStartingTab(int tab) {
    if (tab >= 0 && tab < SSTabPages_->count())
        SSTabPages_->setCurrentIndex(tab);
    SSTabScreenSaver_->setCurrentIndex(0);
    SSTabWallPaper_->setCurrentIndex(0);
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
    // The About page is always current when shown, and rotates the chosen
    // set's pictures while it is.
    if (page == About) {
        cmboAboutSets_Click(cmboAboutSets_->currentIndex());
        aboutThumbnailTimer_->start();
    } else {
        aboutThumbnailTimer_->stop();
    }
}

void frmMoonfield::SetApply() {
    if (!isVisible())
        return;
    cmdApply_->setEnabled(true);
    const int page = currentPage();
    if (page >= 0 && page < PageCount)
        pageChanged_[static_cast<std::size_t>(page)] = true;
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
        if (!library_.SaveSetsInfo()) {
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

namespace {

// Shows how far the first image set has got, in the wallpaper notice's
// place; the work is short (links and small previews), so it runs here and
// lets the notice repaint after every picture.
class NoticeProgress : public mkset::Progress {
public:
    void begin(int total) override {
        total_ = total;
        label_ = new QLabel;
        label_->setObjectName("lblFirstRunProgress");
        label_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        label_->setMargin(16);
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures..."));
        label_->show();
        QCoreApplication::processEvents();
    }
    void step(int done, std::string_view) override {
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures... %1 of %2")
                            .arg(done)
                            .arg(total_));
        QCoreApplication::processEvents();
    }
    void end() override {
        delete label_;
        label_ = nullptr;
    }
    ~NoticeProgress() override { delete label_; }

private:
    QLabel* label_ = nullptr;
    int total_ = 0;
};

} // namespace

void frmMoonfield::makeFirstRunSetWithNotice() {
    const std::string dir = platform::GetProgramPath();
    if (!QGuiApplication::instance() || QGuiApplication::platformName() == "offscreen") {
        makeFirstRunSet(dir, nullptr);
        return;
    }
    NoticeProgress progress;
    makeFirstRunSet(dir, &progress);
}

bool frmMoonfield::initialise() {
    if (initialised_)
        return initResult_;
    initialised_ = true;
    windowsDir_ = platform::GetWindowsDir() + "/";
    if (const QSize pixels = screenPixels(); pixels.isValid()) {
        maxWidth_ = std::min(1024, pixels.width());
        maxHeight_ = std::min(768, pixels.height());
    }
    makeFirstRunSetWithNotice();
    initResult_ = imagesets::RefreshImageSets(library_);
    programPath_ = library_.ProgramPath();
    if (!initResult_)
        return false;
    screenSaver_ =
        std::make_unique<ScreenSaverPage>(library_.SettingsPath(), windowsDir_ + "Skyloom.scr");
    InitLists();
    InitWallpaperPage();
    LoadScreenSaverPage();
    // The built-in caption speaks the user's language; one from config.ini
    // stands as written.
    const std::string title = LoadWindowTitles(programPath_);
    setWindowTitle(title == "Screen Saver Configuration" ? tr("Screen Saver Configuration")
                                                         : QString::fromStdString(title));
    // First run: the defaults the pages show become the stored settings, so
    // the saver and the wallpaper setter find them (the About page has
    // nothing to save).
    if (bFirstRun())
        for (int page = 0; page < PageCount - 1; ++page)
            if (PageChanged(page))
                SavePage(page);
    return true;
}

} // namespace skyloom::config
