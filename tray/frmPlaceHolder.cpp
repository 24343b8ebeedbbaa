#include "frmPlaceHolder.h"

#include "TrayIcons.h"

#include "common/Log.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace skyloom::tray {

frmPlaceHolder::frmPlaceHolder(Options options, QObject* parent)
    : QObject(parent), schedule_(std::move(options.szIniFile), std::move(options.clock)),
      starter_(std::move(options.windowsDir), std::move(options.besideDir),
               std::move(options.launcher)) {
    mnuProp_.setTitle(QStringLiteral("props"));
    mnuProp_NextWallpaper_ = mnuProp_.addAction(QStringLiteral("Next Wallpaper"));
    mnuProp_Change_ = mnuProp_.addAction(QStringLiteral("Settings..."));
    mnuProp_.addSeparator();
    mnuProp_AutoChangState_ = mnuProp_.addAction(QStringLiteral("Wallpaper Auto Change Active"));
    mnuProp_AutoChangState_->setCheckable(true);
    mnuProp_AutoChangState_->setChecked(true);
    mnuClose_.setTitle(QStringLiteral("Close"));
    mnuClose_Close_ = mnuClose_.addAction(QStringLiteral("Close Wallpaper Auto Changer"));

    connect(mnuProp_NextWallpaper_, &QAction::triggered, this, [this] { StartNextWallpaper(); });
    connect(mnuProp_Change_, &QAction::triggered, this, [this] { StartWallpaperSettings(); });
    connect(mnuProp_AutoChangState_, &QAction::triggered, this,
            [this] { mnuProp_AutoChangState_Click(); });
    connect(mnuClose_Close_, &QAction::triggered, this, [] { QCoreApplication::quit(); });

    connect(&TrayX1_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Context)
                    TrayX1_MouseDown(QGuiApplication::queryKeyboardModifiers());
                else if (reason == QSystemTrayIcon::DoubleClick)
                    TrayX1_DblClick();
            });

    Timer1_.setTimerType(Qt::CoarseTimer);
    connect(&Timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

frmPlaceHolder::~frmPlaceHolder() = default;

void frmPlaceHolder::Form_Load() {
    setIcon(kIconActive);
    TrayX1_.setToolTip(QString::fromLatin1(kTooltip));
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        logInfo("tray", "no system tray on this desktop yet; the schedule runs, and the icon "
                        "appears when a tray starts");
    TrayX1_.show();
    applyTimer();
}

void frmPlaceHolder::setIcon(int id) {
    TrayX1_.setIcon(LoadTrayIcon(id));
    iconShown_ = id;
}

void frmPlaceHolder::applyTimer() {
    Timer1_.setInterval(schedule_.timerPeriod());
    if (schedule_.timerEnabled())
        Timer1_.start();
    else
        Timer1_.stop();
    // One line per change of the schedule: it tells when the next check is due, and that
    // nothing else runs until then.
    const int period = schedule_.timerEnabled() ? schedule_.timerPeriod() : -1;
    if (period != loggedPeriod_) {
        loggedPeriod_ = period;
        logInfo("tray", period < 0 ? std::string("schedule paused")
                                   : "schedule checks every " + std::to_string(period) + " ms");
    }
}

void frmPlaceHolder::Timer1_Timer() {
    Timer1_.stop();
    const Schedule::Requests requests = schedule_.Timer1_Timer();
    if (requests.nextWallpaper)
        StartNextWallpaper();
    if (requests.calendarRefresh)
        StartCalendarRefresh();
    applyTimer();
}

void frmPlaceHolder::start(const char* sw) {
    if (auto message = starter_.start(sw)) {
        if (TrayX1_.isVisible() && QSystemTrayIcon::supportsMessages())
            TrayX1_.showMessage(QString::fromLatin1(kTooltip), QString::fromStdString(*message),
                                QSystemTrayIcon::Warning);
    }
}

void frmPlaceHolder::StartNextWallpaper() {
    start(kSwitchWall);
}
void frmPlaceHolder::StartCalendarRefresh() {
    start(kSwitchKalendar);
}
void frmPlaceHolder::StartWallpaperSettings() {
    start(kSwitchConfigWall);
}

void frmPlaceHolder::TrayX1_MouseDown(Qt::KeyboardModifiers shift) {
    // Shift, Ctrl or Alt held: the menu that closes the program.
    const bool anyShift = shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    QMenu& menu = anyShift ? mnuClose_ : mnuProp_;
    menu.popup(QCursor::pos());
}

void frmPlaceHolder::TrayX1_DblClick() {
    StartWallpaperSettings();
}

void frmPlaceHolder::mnuProp_AutoChangState_Click() {
    // The action has already toggled its tick.
    const bool active = mnuProp_AutoChangState_->isChecked();
    schedule_.setActive(active);
    setIcon(active ? kIconActive : kIconPaused);
    applyTimer();
}

} // namespace skyloom::tray
