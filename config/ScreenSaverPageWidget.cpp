// The dialog's Screen Saver page: its controls, their wiring, how the
// page's values are shown, the rotating thumbnail and the preview.

#include "ScreenSaverPageWidget.h"

#include "ConfigSession.h"
#include "EditSetsPage.h"
#include "FormControls.h"
#include "LockReadiness.h"
#include "SaverPreview.h"
#include "Syncing.h"
#include "Thumbnail.h"
#include "frmChangePassword.h"
#include "imagesets/SetFiles.h"
#include "platform/Monitors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

#include <string>

namespace skyloom::config {

using namespace controls;

namespace {

constexpr int kThumbnailMs = 1500;

// Stops two timers and restarts those that ran, however the caller leaves.
class SuspendedTimers {
public:
    SuspendedTimers(QTimer* a, QTimer* b) : timers_{a, b} {
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            wasActive_[i] = timers_[i] && timers_[i]->isActive();
            if (timers_[i])
                timers_[i]->stop();
        }
    }
    ~SuspendedTimers() {
        for (std::size_t i = 0; i < timers_.size(); ++i)
            if (wasActive_[i])
                timers_[i]->start();
    }
    SuspendedTimers(const SuspendedTimers&) = delete;
    SuspendedTimers& operator=(const SuspendedTimers&) = delete;

private:
    std::array<QTimer*, 2> timers_;
    std::array<bool, 2> wasActive_{};
};

} // namespace

ScreenSaverPageWidget::ScreenSaverPageWidget(ConfigSession& session, QWidget* parent)
    : QWidget(parent), session_(session), thumbnails_(std::make_unique<ThumbnailCycle>()) {
    setObjectName("pageScreenSaver");
    auto* layout = new QVBoxLayout(this);
    buildSwitches(layout);
    SSTabScreenSaver_ = named(new QTabWidget(this), "SSTabScreenSaver");
    layout->addWidget(SSTabScreenSaver_, 1);
    SSTabScreenSaver_->addTab(buildBasicTab(), tr("Basic Settings"));
    SSTabScreenSaver_->addTab(buildCalendarTab(), tr("Calendar"));
    SSTabScreenSaver_->addTab(buildPanTab(), tr("PanaMotion"));
    SSTabScreenSaver_->addTab(buildWebTab(), tr("Skyloom"));

    tmrThumbnailChanger_ = new QTimer(this);
    tmrThumbnailChanger_->setObjectName("tmrThumbnailChanger");
    tmrThumbnailChanger_->setInterval(1);
    connectControls();
}

ScreenSaverPageWidget::~ScreenSaverPageWidget() = default;

ScreenSaverPage* ScreenSaverPageWidget::model() const {
    return session_.screenSaverPage();
}

bool ScreenSaverPageWidget::windowShown() const {
    return window()->isVisible();
}

void ScreenSaverPageWidget::buildSwitches(QVBoxLayout* layout) {
    QWidget* page = this;

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
    // Why "Password protected" cannot be switched on: a row of its own under
    // the switches, as wide as the page, so that a long reason (a file path)
    // wraps into a line or two instead of squeezing the page.
    lblPasswordProblem_ = named(new QLabel(page), "lblPasswordProblem");
    lblPasswordProblem_->setWordWrap(true);
    lblPasswordProblem_->hide();
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
    layout->addWidget(lblPasswordProblem_);
    saverControls_.insert(saverControls_.end(), {nbsSaverDelay_, frmSaverDelay_, startAfter});
}

// Basic Settings: the pictures and their captions.
QWidget* ScreenSaverPageWidget::buildBasicTab() {
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
    chkSameOnAllScreens_ =
        named(new QCheckBox(tr("Same picture on every screen"), SSFrame2), "chkSameOnAllScreens");
    config->addWidget(chkSameOnAllScreens_, 4, 0, 1, 2);
    // Offered only where there is more than one monitor, and kept so when
    // monitors come and go while the dialog is open.
    const auto showSameOnAll = [this] {
        chkSameOnAllScreens_->setVisible(platform::listMonitors().size() > 1);
    };
    showSameOnAll();
    monitors_ = new platform::MonitorWatch(this);
    connect(monitors_, &platform::MonitorWatch::changed, this, showSameOnAll);
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
    saverControls_.insert(saverControls_.end(), {cmboSS_SetsToUse_,
                                                 chkShowTitles_,
                                                 SSFrame2,
                                                 framSSTimeBetween,
                                                 nbsImageDelay_,
                                                 optSSMinutes_,
                                                 optSSSeconds_,
                                                 SSFrame3,
                                                 chkShowDescriptive_,
                                                 SSLabel4,
                                                 cmboSSLanguage_,
                                                 SSLabel5,
                                                 cmboTransitions_,
                                                 cmdSSPreview_,
                                                 chkSSFit2Screen_,
                                                 chkSameOnAllScreens_,
                                                 SSLabel1,
                                                 Label17,
                                                 nbsInfoPanelShows_,
                                                 seconds});
    return basic;
}

QWidget* ScreenSaverPageWidget::buildCalendarTab() {
    auto* calendarTab = named(new QWidget, "tabSSCalendar");
    auto* calendarLayout = new QVBoxLayout(calendarTab);
    auto* frmCalendar = frame("frmCalendar", tr("Calendar"), calendarTab);
    auto* cal = new QGridLayout(frmCalendar);
    optCalendarOn_ = option("optCalendarOn", tr("On"), QString(), frmCalendar);
    optCalendarOff_ = option("optCalendarOff", tr("Off"), QString(), frmCalendar);
    cal->addWidget(optCalendarOn_, 0, 0);
    cal->addWidget(optCalendarOff_, 0, 1);
    const CalendarLists lists = calendarLists(
        cal, frmCalendar,
        {"lblCalendarSize", "cmboCalendarSize", "lblCalendarPosition", "cmboCalendarPosition"},
        tr("Size:"), tr("Position:"));
    cmboCalendarSize_ = lists.size;
    cmboCalendarPosition_ = lists.position;
    calendarLayout->addWidget(frmCalendar);
    calendarLayout->addStretch();
    return calendarTab;
}

// PanaMotion: panoramic pictures pan across the screen.
QWidget* ScreenSaverPageWidget::buildPanTab() {
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
    saverControls_.insert(saverControls_.end(), {SSFrame5_, SSLabel6, sldrPanSpeed_, SSLabel7});
    return panTab;
}

// Skyloom: the web-launch key.
QWidget* ScreenSaverPageWidget::buildWebTab() {
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
    return webTab;
}

void ScreenSaverPageWidget::connectControls() {
    // Each handler copies the control's value into the page model and marks
    // the page changed; they are silent while the widgets are being loaded.
    const auto bind = [this](auto* sender, auto signal, auto apply) {
        connect(sender, signal, this, [this, apply](auto value) {
            if (syncing_ || !model())
                return;
            apply(model()->values(), value);
            edited();
        });
    };
    connect(optSSOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_ || !model())
            return;
        model()->values().saverOn = on;
        setSaverState(on);
        edited();
    });
    bind(chkPasswordProtected_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.passwordProtected = on; });
    connect(cmdChangePassword_, &QPushButton::clicked, this, [this] {
        frmChangePassword dialog(this);
        dialog.exec();
        showPasswordProblem();
    });
    bind(nbsSaverDelay_, &QSpinBox::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.delayMinutes = n; });
    connect(cmboSS_SetsToUse_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (syncing_ || !model())
            return;
        if (index < 0 && cmboSS_SetsToUse_->count() > 0) {
            cmboSS_SetsToUse_->setCurrentIndex(0);
            return;
        }
        model()->values().setIndex = index;
        model()->bRandomSets = cmboSS_SetsToUse_->itemData(index).toString() == kRandomSetsEntry;
        edited();
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
    bind(chkSameOnAllScreens_, &QCheckBox::toggled,
         [](ScreenSaverSettings& v, bool on) { v.sameOnAllScreens = on; });
    bind(optCalendarOn_, &QRadioButton::toggled,
         [](ScreenSaverSettings& v, bool on) { v.calendarOn = on; });
    bind(cmboCalendarSize_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.calendarSize = i; });
    bind(cmboCalendarPosition_, &QComboBox::currentIndexChanged,
         [](ScreenSaverSettings& v, int i) { v.calendarPosition = i; });
    connect(optPanaMotionOn_, &QRadioButton::toggled, this, [this](bool on) {
        if (syncing_ || !model())
            return;
        model()->values().panEnable = on;
        edited();
        setPanoramic(on);
    });
    bind(sldrPanSpeed_, &QSlider::valueChanged,
         [](ScreenSaverSettings& v, int n) { v.panSlider = n; });
    bind(optWebLinkOn_, &QRadioButton::toggled,
         [](ScreenSaverSettings& v, bool on) { v.webLinkOn = on; });
    connect(cmdSSPreview_, &QPushButton::clicked, this, [this] {
        if (previewRequested)
            previewRequested();
    });
    connect(tmrThumbnailChanger_, &QTimer::timeout, this,
            &ScreenSaverPageWidget::tmrThumbnailChanger_Timer);
    connect(cmboSS_SetsToUse_, &QComboBox::currentIndexChanged, this,
            &ScreenSaverPageWidget::cmboSS_SetsToUse_Click);
    connect(optSSOn_, &QRadioButton::toggled, this, [this] { updateThumbnailTimer(); });
}

void ScreenSaverPageWidget::showPage() {
    if (!model())
        return;
    Syncing guard(syncing_);
    const ScreenSaverSettings& v = model()->values();
    if (model()->systemFramesHidden()) {
        SSFrame1_->hide();
        frmSaverDelay_->hide();
    }
    (v.saverOn ? optSSOn_ : optSSOff_)->setChecked(true);
    chkPasswordProtected_->setChecked(v.passwordProtected);
    nbsSaverDelay_->setValue(v.delayMinutes);
    nbsImageDelay_->setValue(v.imageDelay);
    (v.minutes ? optSSMinutes_ : optSSSeconds_)->setChecked(true);
    if (comboEntries(cmboSS_SetsToUse_) != model()->setEntries())
        fillSets(cmboSS_SetsToUse_, model()->setEntries());
    cmboSS_SetsToUse_->setCurrentIndex(v.setIndex);
    cmboTransitions_->setCurrentIndex(v.transition);
    chkShowTitles_->setChecked(v.showTitle);
    chkShowDescriptive_->setChecked(v.showText);
    cmboSSLanguage_->setCurrentIndex(v.language);
    nbsInfoPanelShows_->setValue(v.infoTime);
    chkSSFit2Screen_->setChecked(v.stretch);
    chkSameOnAllScreens_->setChecked(v.sameOnAllScreens);
    (v.calendarOn ? optCalendarOn_ : optCalendarOff_)->setChecked(true);
    cmboCalendarSize_->setCurrentIndex(v.calendarSize);
    cmboCalendarPosition_->setCurrentIndex(v.calendarPosition);
    (v.panEnable ? optPanaMotionOn_ : optPanaMotionOff_)->setChecked(true);
    sldrPanSpeed_->setValue(v.panSlider);
    (v.webLinkOn ? optWebLinkOn_ : optWebLinkOff_)->setChecked(true);
    frmWebLinker_->setEnabled(v.webLinkUserControl);
    setSaverState(v.saverOn);
    showPasswordProblem();
}

void ScreenSaverPageWidget::showPasswordProblem() {
    const std::string why = lockProblem();
    lblPasswordProblem_->setText(QString::fromStdString(why));
    // Only with the switches it explains: not where their frame is hidden.
    lblPasswordProblem_->setVisible(!why.empty() && !model()->systemFramesHidden());
    cmdChangePassword_->setText(QString::fromStdString(passwordButtonText()));
}

void ScreenSaverPageWidget::EnableSaverControls(bool on) {
    for (QWidget* w : saverControls_)
        w->setEnabled(on);
}

void ScreenSaverPageWidget::setSaverState(bool on) {
    EnableSaverControls(on);
    // The inner tabs can be reached only while the saver is on.
    SSTabScreenSaver_->setCurrentIndex(0);
    for (int i = 1; i < SSTabScreenSaver_->count(); ++i)
        SSTabScreenSaver_->setTabEnabled(i, on);
    // Switching the saver on must not re-enable the speed of a panoramic
    // motion that is off.
    if (on && model())
        setPanoramic(model()->values().panEnable);
}

void ScreenSaverPageWidget::setPanoramic(bool on) {
    const bool enable = on && (!model() || model()->values().saverOn);
    sldrPanSpeed_->setEnabled(enable);
    SSFrame5_->setEnabled(enable);
}

void ScreenSaverPageWidget::showSetList() {
    if (!model())
        return;
    Syncing guard(syncing_);
    fillSets(cmboSS_SetsToUse_, model()->setEntries());
    cmboSS_SetsToUse_->setCurrentIndex(model()->values().setIndex);
}

void ScreenSaverPageWidget::firstInnerTab() {
    SSTabScreenSaver_->setCurrentIndex(0);
}

int ScreenSaverPageWidget::languageIndex() const {
    return cmboSSLanguage_->currentIndex();
}

// The About page rotates its own set's pictures; this changer serves the
// Screen Saver page while it shows and the saver is switched on.
void ScreenSaverPageWidget::updateThumbnailTimer() {
    const bool on = optSSOn_->isChecked();
    if (pageCurrent && pageCurrent() && on) {
        if (!tmrThumbnailChanger_->isActive())
            tmrThumbnailChanger_->start();
    } else {
        tmrThumbnailChanger_->stop();
        if (!on)
            picSSThumbNail_->clear();
    }
}

void ScreenSaverPageWidget::restartThumbnail() {
    tmrThumbnailChanger_->setInterval(1);
    updateThumbnailTimer();
}

void ScreenSaverPageWidget::cmboSS_SetsToUse_Click() {
    if (!model())
        return;
    thumbnails_->clear();
    const auto& entries = model()->setEntries();
    const std::string chosen = cmboSS_SetsToUse_->currentData().toString().toStdString();
    for (auto& entry : thumbnailEntries(session_.library().Sets(), entries, chosen))
        thumbnails_->add(std::move(entry));
}

void ScreenSaverPageWidget::tmrThumbnailChanger_Timer() {
    tmrThumbnailChanger_->setInterval(kThumbnailMs);
    if (!windowShown() || thumbnails_->entries().empty())
        return;
    tmrThumbnailChanger_->stop();
    const std::string& programPath = session_.programPath();
    thumbnails_->step([&](const std::string& entry) {
        return showThumbnail(picSSThumbNail_, imagesets::setFilePath(programPath + entry, ".bmp"),
                             programPath);
    });
    updateThumbnailTimer();
}

void ScreenSaverPageWidget::cmdSSPreview_Click(QTimer* other) {
    if (!model())
        return;
    SuspendedTimers suspended(tmrThumbnailChanger_, other);
    const ScreenSaverSettings& v = model()->values();
    runSaverPreview(previewSettings(v, model()->setEntries(), session_.programPath()), v.minutes);
}

} // namespace skyloom::config
