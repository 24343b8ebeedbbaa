#include "frmPlaceHolder.h"

#include "TrayIcons.h"

#include "common/Log.h"
#include "platform/DesktopNotification.h"

#include <QAction>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

namespace skyloom::tray {

namespace {

constexpr const char* kNoTrayText = QT_TRANSLATE_NOOP(
    "skyloom::tray",
    "paperwheel changes the wallpaper on schedule, but this desktop has no system tray to "
    "show its icon and menu in. Control it from a terminal: paperwheel --next, --pause, "
    "--resume, --status or --quit.");

} // namespace

frmPlaceHolder::frmPlaceHolder(Options options, QObject* parent)
    : QObject(parent), schedule_(std::move(options.szIniFile), std::move(options.clock)),
      starter_(std::move(options.windowsDir), std::move(options.besideDir),
               std::move(options.launcher)),
      notify_(std::move(options.notify)), noTrayGraceMs_(options.noTrayGraceMs) {
    if (!notify_)
        notify_ = [](const std::string& summary, const std::string& body) {
            if (!platform::notifyDesktop("paperwheel", summary, body))
                logInfo("tray", "no session bus for a desktop notification");
        };
    mnuProp_.setTitle(QStringLiteral("props"));
    mnuProp_NextWallpaper_ = mnuProp_.addAction(tr("Next Wallpaper"));
    mnuProp_Change_ = mnuProp_.addAction(tr("Settings..."));
    mnuProp_.addSeparator();
    mnuProp_AutoChangState_ = mnuProp_.addAction(tr("Wallpaper Auto Change Active"));
    mnuProp_AutoChangState_->setCheckable(true);
    mnuProp_AutoChangState_->setChecked(true);
    mnuClose_.setTitle(tr("Close"));
    mnuClose_Close_ = mnuClose_.addAction(tr("Close Wallpaper Auto Changer"));
    // The close entry is in the context menu too: a tray that shows the menu
    // through D-Bus does not tell which keys were held.
    mnuProp_.addSeparator();
    mnuProp_.addAction(mnuClose_Close_);
    TrayX1_.setContextMenu(&mnuProp_);
    connect(&mnuProp_, &QMenu::aboutToShow, this,
            [this] { TrayX1_MouseDown(QGuiApplication::queryKeyboardModifiers()); });

    connect(mnuProp_NextWallpaper_, &QAction::triggered, this, [this] { StartNextWallpaper(); });
    connect(mnuProp_Change_, &QAction::triggered, this, [this] { StartWallpaperSettings(); });
    connect(mnuProp_AutoChangState_, &QAction::triggered, this,
            [this] { mnuProp_AutoChangState_Click(); });
    connect(mnuClose_Close_, &QAction::triggered, this, [] { QCoreApplication::quit(); });

    connect(&TrayX1_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    TrayX1_DblClick();
            });

    Timer1_.setTimerType(Qt::CoarseTimer);
    connect(&Timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

frmPlaceHolder::~frmPlaceHolder() = default;

void frmPlaceHolder::Form_Load() {
    setIcon(kIconActive);
    TrayX1_.setToolTip(QCoreApplication::translate(kTrayContext, kTooltip));
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        logInfo("tray", "no system tray on this desktop yet; the schedule runs, and the icon "
                        "appears when a tray starts");
        QTimer::singleShot(noTrayGraceMs_, this, [this] { checkTray(); });
    }
    TrayX1_.show();
    applyTimer();
}

void frmPlaceHolder::checkTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return;
    logInfo("tray", "still no system tray: the user is told how to control paperwheel");
    notify_(QCoreApplication::translate(kTrayContext, kTooltip).toStdString(),
            QCoreApplication::translate(kTrayContext, kNoTrayText).toStdString());
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
        if (QSystemTrayIcon::isSystemTrayAvailable() && TrayX1_.isVisible() &&
            QSystemTrayIcon::supportsMessages())
            TrayX1_.showMessage(QCoreApplication::translate(kTrayContext, kTooltip),
                                QString::fromStdString(*message), QSystemTrayIcon::Warning);
        else // no tray to show a balloon from
            notify_(QCoreApplication::translate(kTrayContext, kTooltip).toStdString(), *message);
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
    for (QAction* action : mnuProp_.actions())
        action->setVisible(!anyShift || action == mnuClose_Close_);
}

void frmPlaceHolder::TrayX1_DblClick() {
    StartWallpaperSettings();
}

void frmPlaceHolder::mnuProp_AutoChangState_Click() {
    // The action has already toggled its tick.
    setActive(mnuProp_AutoChangState_->isChecked());
}

bool frmPlaceHolder::active() const {
    return mnuProp_AutoChangState_->isChecked();
}

void frmPlaceHolder::setActive(bool active) {
    mnuProp_AutoChangState_->setChecked(active);
    schedule_.setActive(active);
    setIcon(active ? kIconActive : kIconPaused);
    applyTimer();
}

std::string frmPlaceHolder::Control(const std::string& command, bool& ok) {
    ok = true;
    if (command == "next") {
        StartNextWallpaper();
        return "asked skyloom for the next wallpaper";
    }
    if (command == "pause" || command == "resume") {
        const bool resume = command == "resume";
        if (active() == resume)
            return resume ? "automatic changes were already active" : "already paused";
        setActive(resume);
        return resume ? "automatic changes are active again" : "automatic changes paused";
    }
    if (command == "status") {
        std::string text =
            active() ? "running, automatic changes active" : "running, automatic changes paused";
        if (!QSystemTrayIcon::isSystemTrayAvailable())
            text += "; no system tray, so no icon is shown";
        return text;
    }
    if (command == "quit") {
        // After the answer has gone out.
        QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::quit(); });
        return "closing";
    }
    ok = false;
    return "unknown command \"" + command + "\"";
}

} // namespace skyloom::tray
