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
    while (!done() && t.elapsed() < 60000)
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

// The event loop the service answers from, one per test.
struct TestApp {
    int argc = 1;
    char arg0[15] = "test_inhibitor";
    char* argv[2] = {arg0, nullptr};
    QCoreApplication app{argc, argv};
};

} // namespace

TEST(ScreenSaverInhibitor, CookiesBelongToTheirProgramAndDieWithIt) {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    TestApp app;

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

// Desktop programs drive and query the saver: SetActive and Lock start it
// (Lock as a lock), SimulateUserActivity resets the idle time, the time
// queries answer from the actions, and ActiveChanged tells of a start.
TEST(ScreenSaverInhibitor, ControlMethodsReachTheActions) {
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    TestApp app;

    bool running = false;
    int starts = 0, locks = 0, ends = 0, activity = 0;
    ScreenSaverInhibitor service;
    ScreenSaverInhibitor::Actions actions;
    actions.startSaver = [&](bool locked) {
        (locked ? locks : starts)++;
        running = true;
    };
    actions.endSaver = [&] {
        ++ends;
        running = false;
    };
    actions.idleMs = [] { return std::int64_t(42'500); };
    actions.userActivity = [&] { ++activity; };
    actions.saverRunning = [&] { return running; };
    actions.saverActiveSeconds = [] { return std::int64_t(7); };
    service.setActions(actions);
    ASSERT_EQ(service.start(), "own");

    QList<bool> changes;
    QObject::connect(&service, &ScreenSaverInhibitor::ActiveChanged,
                     [&](bool active) { changes << active; });

    QDBusConnection desk = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "desk");
    auto ask = [&](const char* method, const QList<QVariant>& args = {}) {
        QDBusPendingCall c = call(desk, "/org/freedesktop/ScreenSaver", method, args);
        waitFor([&] { return c.isFinished(); });
        EXPECT_FALSE(c.isError()) << method << ": " << c.error().message().toStdString();
        return c.reply();
    };
    EXPECT_EQ(ask("GetSessionIdleTime").arguments().value(0).toUInt(), 42u);
    EXPECT_EQ(ask("GetActiveTime").arguments().value(0).toUInt(), 0u);
    EXPECT_TRUE(ask("SetActive", {true}).arguments().value(0).toBool());
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(ask("GetActive").arguments().value(0).toBool());
    EXPECT_EQ(ask("GetActiveTime").arguments().value(0).toUInt(), 7u);
    waitFor([&] { return !changes.isEmpty(); });
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_TRUE(changes.front());

    ask("SetActive", {false});
    EXPECT_EQ(ends, 1);
    ask("Lock");
    EXPECT_EQ(locks, 1);
    ask("SimulateUserActivity");
    EXPECT_EQ(activity, 1);
    QDBusConnection::disconnectFromBus("desk");
}
