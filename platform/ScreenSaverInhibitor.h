#pragma once
// Programs that keep the saver from starting (a video player, a
// presentation). Where no desktop offers it, Skyloom owns the session-bus
// service "org.freedesktop.ScreenSaver" that such programs call (Inhibit /
// UnInhibit); an inhibitor ends with UnInhibit or when its program leaves
// the bus. Where GNOME or KDE own that service, their inhibitor signals are
// followed instead.

#include <QDBusContext>
#include <QMap>
#include <QObject>
#include <QString>

class QDBusServiceWatcher;

namespace skyloom::platform {

class ScreenSaverInhibitor : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr);

    /// Owns the service or starts following the desktop's inhibitors.
    /// Returns how: "own", "gnome", "kde" or "none" (no session bus).
    QString start();
    bool inhibited() const;

public slots:
    Q_SCRIPTABLE uint Inhibit(const QString& application, const QString& reason);
    Q_SCRIPTABLE void UnInhibit(uint cookie);
    Q_SCRIPTABLE bool GetActive();

private slots:
    void onGnomeInhibitorsChanged();
    void onKdeInhibitionsChanged();
    void onClientGone(const QString& service);

private:
    struct Entry {
        QString owner;
        QString application;
    };
    QMap<uint, Entry> cookies_;
    uint nextCookie_ = 1;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool desktopInhibited_ = false;
};

} // namespace skyloom::platform
