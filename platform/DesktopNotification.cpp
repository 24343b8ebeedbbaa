#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace skyloom::platform {

bool notifyDesktop(const std::string& appName, const std::string& summary,
                   const std::string& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // app name, id to replace (none), icon, summary, body, actions, hints,
    // expiry (-1: the server's default).
    call << QString::fromStdString(appName) << 0u << QString() << QString::fromStdString(summary)
         << QString::fromStdString(body) << QStringList() << QVariantMap() << -1;
    return bus.send(call);
}

} // namespace skyloom::platform
