#pragma once
// Programs that keep the saver from starting (a video player, a
// presentation). Where no desktop offers it, Skyloom owns the session-bus
// service "org.freedesktop.ScreenSaver" that such programs call (Inhibit /
// UnInhibit); an inhibitor ends with UnInhibit or when its program leaves
// the bus. Where GNOME or KDE own that service, their inhibitor signals are
// followed instead.
//
// The service also lets desktop programs drive the saver (SetActive, Lock,
// SimulateUserActivity), ask about it (GetActive, GetActiveTime,
// GetSessionIdleTime) and hear when it starts or ends (ActiveChanged). What
// those do is given by the program that owns the service (`Actions`).

#include <QDBusContext>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

class QDBusServiceWatcher;

namespace skyloom::platform {

class ScreenSaverInhibitor : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    /// What the saver-control methods do; an empty action does nothing.
    struct Actions {
        std::function<void(bool locked)> startSaver;
        std::function<void()> endSaver;
        /// Milliseconds without keyboard or mouse input.
        std::function<std::int64_t()> idleMs;
        /// A program reports activity: idle time counts from now.
        std::function<void()> userActivity;
        std::function<bool()> saverRunning;
        std::function<std::int64_t()> saverActiveSeconds;
    };

    explicit ScreenSaverInhibitor(QObject* parent = nullptr);
    void setActions(Actions actions);

    /// Owns the service or starts following the desktop's inhibitors.
    /// Returns how: "own", "gnome", "kde" or "none" (no session bus).
    QString start();
    bool inhibited() const;

public slots:
    Q_SCRIPTABLE uint Inhibit(const QString& application, const QString& reason);
    Q_SCRIPTABLE void UnInhibit(uint cookie);
    Q_SCRIPTABLE bool GetActive();
    /// Starts the saver (true) or ends an unlocked one (false); true when done.
    Q_SCRIPTABLE bool SetActive(bool active);
    Q_SCRIPTABLE void Lock();
    Q_SCRIPTABLE void SimulateUserActivity();
    /// Seconds the saver has been running, 0 when it is not.
    Q_SCRIPTABLE uint GetActiveTime();
    /// Seconds without input.
    Q_SCRIPTABLE uint GetSessionIdleTime();

signals:
    Q_SCRIPTABLE void ActiveChanged(bool active);

private slots:
    void onGnomeInhibitorsChanged();
    void onKdeInhibitionsChanged();
    void onClientGone(const QString& service);
    void checkActive();

private:
    struct Entry {
        QString owner;
        QString application;
    };
    QMap<uint, Entry> cookies_;
    uint nextCookie_ = 1;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool desktopInhibited_ = false;
    Actions actions_;
    bool lastActive_ = false;
    QTimer activeTimer_;
};

} // namespace skyloom::platform
