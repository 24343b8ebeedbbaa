// The org.freedesktop.ScreenSaver service on a private session bus (the test
// runs under dbus-run-session): inhibitors are counted, belong to the program
// that took them, and end when that program leaves the bus.

#include "platform/ScreenSaverInhibitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusReply>
#include <QElapsedTimer>

#include <cstdlib>

using skyloom::platform::ScreenSaverInhibitor;

namespace {

void waitFor(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Calls without introspection: the service answers from this very thread.
QDBusPendingCall call(QDBusConnection& bus, const char* path, const char* method,
                      const QList<QVariant>& args) {
    QDBusMessage m = QDBusMessage::createMethodCall("org.freedesktop.ScreenSaver", path,
                                                    "org.freedesktop.ScreenSaver", method);
    m.setArguments(args);
    return bus.asyncCall(m);
}

} // namespace

TEST(ScreenSaverInhibitor, CookiesBelongToTheirProgramAndDieWithIt) {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    int argc = 1;
    char arg0[] = "test_inhibitor";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);

    ScreenSaverInhibitor service;
    ASSERT_EQ(service.start(), "own");
    EXPECT_FALSE(service.inhibited());

    // Calls are answered from this thread's event loop: run them from a
    // second connection while processing events.
    uint cookie = 0;
    {
        QDBusConnection player =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "player");
        QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "other");
        QDBusPendingCall pending = call(player, "/ScreenSaver", "Inhibit", {"player", "a film"});
        waitFor([&] { return pending.isFinished(); });
        QDBusReply<uint> reply = pending.reply();
        ASSERT_TRUE(reply.isValid());
        cookie = reply.value();
        EXPECT_TRUE(service.inhibited());

        // Another program cannot lift it.
        QDBusPendingCall lift = call(other, "/org/freedesktop/ScreenSaver", "UnInhibit", {cookie});
        waitFor([&] { return lift.isFinished(); });
        EXPECT_TRUE(service.inhibited());

        QDBusPendingCall own = call(player, "/ScreenSaver", "UnInhibit", {cookie});
        waitFor([&] { return own.isFinished(); });
        EXPECT_FALSE(service.inhibited());

        pending = call(player, "/org/freedesktop/ScreenSaver", "Inhibit", {"player", "again"});
        waitFor([&] { return pending.isFinished(); });
        EXPECT_TRUE(service.inhibited());
        QDBusConnection::disconnectFromBus("player");
        QDBusConnection::disconnectFromBus("other");
    }
    // The player left the bus without UnInhibit (it crashed): released.
    waitFor([&] { return !service.inhibited(); });
    EXPECT_FALSE(service.inhibited());
}
