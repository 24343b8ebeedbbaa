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

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent) : QObject(parent) {}

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
    const auto opts = QDBusConnection::ExportScriptableSlots;
    if (!bus.registerObject("/org/freedesktop/ScreenSaver", this, opts) ||
        !bus.registerObject("/ScreenSaver", this, opts) || !bus.registerService(kService)) {
        logWarning("idle", "another program owns org.freedesktop.ScreenSaver; its inhibitors "
                           "are not seen");
        return "none";
    }
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
    return screenSaverRunning();
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
