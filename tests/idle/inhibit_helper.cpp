// Test helper: holds a screen-saver inhibitor until it is killed.
#include <QCoreApplication>
#include <QDBusInterface>
#include <QDBusReply>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusInterface iface("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                         "org.freedesktop.ScreenSaver");
    QDBusReply<uint> cookie = iface.call("Inhibit", "inhibit_helper", "test");
    if (!cookie.isValid()) {
        std::fprintf(stderr, "inhibit_helper: %s\n", qPrintable(cookie.error().message()));
        return 1;
    }
    std::printf("%u\n", cookie.value());
    std::fflush(stdout);
    return app.exec();
}
