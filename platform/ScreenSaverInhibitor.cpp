#include "ScreenSaverInhibitor.h"

#include "common/Log.h"
#include "platform/Registry.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusServiceWatcher>

namespace skyloom::platform {
namespace {

constexpr const char* kService = "org.freedesktop.ScreenSaver";
constexpr const char* kGnomeService = "org.gnome.SessionManager";
constexpr const char* kGnomePath = "/org/gnome/SessionManager";
constexpr const char* kKdeService = "org.kde.Solid.PowerManagement.PolicyAgent";
constexpr const char* kKdePath = "/org/kde/Solid/PowerManagement/PolicyAgent";
constexpr uint kGnomeInhibitIdle = 8;
constexpr uint kKdeChangeScreenSettings = 4;

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent) : QObject(parent) {
    // The saver runs in another process: look once a second whether it
    // started or ended, to tell listeners.
    activeTimer_.setInterval(1000);
    connect(&activeTimer_, &QTimer::timeout, this, &ScreenSaverInhibitor::checkActive);
}

void ScreenSaverInhibitor::setActions(Actions actions) {
    actions_ = std::move(actions);
    lastActive_ = GetActive();
}

QString ScreenSaverInhibitor::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        logWarning("idle", "no session bus: programs cannot hold the saver off");
        return "none";
    }
    auto* iface = bus.interface();
    if (iface->isServiceRegistered(kGnomeService)) {
        bus.connect(kGnomeService, kGnomePath, kGnomeService, "InhibitorAdded", this,
                    SLOT(onGnomeInhibitorsChanged()));
        bus.connect(kGnomeService, kGnomePath, kGnomeService, "InhibitorRemoved", this,
                    SLOT(onGnomeInhibitorsChanged()));
        onGnomeInhibitorsChanged();
        return "gnome";
    }
    if (iface->isServiceRegistered(kKdeService)) {
        bus.connect(kKdeService, kKdePath, kKdeService, "InhibitionsChanged", this,
                    SLOT(onKdeInhibitionsChanged()));
        onKdeInhibitionsChanged();
        return "kde";
    }
    watcher_ = new QDBusServiceWatcher(this);
    watcher_->setConnection(bus);
    watcher_->setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    connect(watcher_, &QDBusServiceWatcher::serviceUnregistered, this,
            &ScreenSaverInhibitor::onClientGone);
    const auto opts =
        QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals;
    if (!bus.registerObject("/org/freedesktop/ScreenSaver", this, opts) ||
        !bus.registerObject("/ScreenSaver", this, opts) || !bus.registerService(kService)) {
        logWarning("idle", "another program owns org.freedesktop.ScreenSaver; its inhibitors "
                           "are not seen");
        return "none";
    }
    lastActive_ = GetActive();
    activeTimer_.start();
    return "own";
}

bool ScreenSaverInhibitor::inhibited() const {
    return desktopInhibited_ || !cookies_.isEmpty();
}

uint ScreenSaverInhibitor::Inhibit(const QString& application, const QString& reason) {
    const QString owner = calledFromDBus() ? message().service() : QString();
    const uint cookie = nextCookie_++;
    cookies_.insert(cookie, Entry{owner, application});
    if (!owner.isEmpty() && watcher_)
        watcher_->addWatchedService(owner);
    logInfo("idle", (application + " holds the saver off: " + reason).toStdString());
    return cookie;
}

void ScreenSaverInhibitor::UnInhibit(uint cookie) {
    // Only the program that took an inhibitor may drop it.
    auto it = cookies_.find(cookie);
    if (it == cookies_.end())
        return;
    if (calledFromDBus() && it->owner != message().service())
        return;
    cookies_.erase(it);
}

bool ScreenSaverInhibitor::GetActive() {
    return actions_.saverRunning ? actions_.saverRunning() : screenSaverRunning();
}

bool ScreenSaverInhibitor::SetActive(bool active) {
    if (active) {
        if (!GetActive() && actions_.startSaver)
            actions_.startSaver(false);
        return static_cast<bool>(actions_.startSaver);
    }
    if (GetActive() && actions_.endSaver)
        actions_.endSaver();
    return static_cast<bool>(actions_.endSaver);
}

void ScreenSaverInhibitor::Lock() {
    if (actions_.startSaver)
        actions_.startSaver(true);
}

void ScreenSaverInhibitor::SimulateUserActivity() {
    if (actions_.userActivity)
        actions_.userActivity();
}

uint ScreenSaverInhibitor::GetActiveTime() {
    if (!GetActive())
        return 0;
    return actions_.saverActiveSeconds ? static_cast<uint>(actions_.saverActiveSeconds())
                                       : static_cast<uint>(screenSaverRunningSeconds());
}

uint ScreenSaverInhibitor::GetSessionIdleTime() {
    return actions_.idleMs ? static_cast<uint>(actions_.idleMs() / 1000) : 0;
}

void ScreenSaverInhibitor::checkActive() {
    const bool active = GetActive();
    if (active == lastActive_)
        return;
    lastActive_ = active;
    emit ActiveChanged(active);
}

void ScreenSaverInhibitor::onClientGone(const QString& service) {
    for (auto it = cookies_.begin(); it != cookies_.end();) {
        if (it->owner == service)
            it = cookies_.erase(it);
        else
            ++it;
    }
    watcher_->removeWatchedService(service);
}

void ScreenSaverInhibitor::onGnomeInhibitorsChanged() {
    QDBusInterface sm(kGnomeService, kGnomePath, kGnomeService, QDBusConnection::sessionBus());
    QDBusReply<bool> reply = sm.call("IsInhibited", kGnomeInhibitIdle);
    desktopInhibited_ = reply.isValid() && reply.value();
}

void ScreenSaverInhibitor::onKdeInhibitionsChanged() {
    QDBusInterface agent(kKdeService, kKdePath, kKdeService, QDBusConnection::sessionBus());
    QDBusReply<bool> reply = agent.call("HasInhibition", kKdeChangeScreenSettings);
    desktopInhibited_ = reply.isValid() && reply.value();
}

} // namespace skyloom::platform
