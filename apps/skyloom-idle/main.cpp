// skyloom-idle: starts the screen saver when the user has been idle for the
// time set on the Screen Saver page, unless a program holds it off.
//
// SKYLOOM_IDLE_TIMEOUT_SECONDS replaces the stored timeout (for tests and
// for trying the saver out quickly).

#include "common/Log.h"
#include "platform/IdleActivation.h"
#include "platform/IdleMonitor.h"
#include "platform/Locations.h"
#include "platform/Registry.h"
#include "platform/ScreenSaverInhibitor.h"
#include "platform/SingleInstance.h"
#include "tray/SkyloomStarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

using namespace skyloom;

int main(int argc, char** argv) {
    platform::initialise();
    platform::SingleInstance instance("skyloom-idle");
    if (instance.previousInstance())
        return 0;
    QCoreApplication app(argc, argv);

    platform::IdleMonitor monitor;
    if (monitor.source().empty()) {
        std::fprintf(stderr, "skyloom-idle: this desktop does not tell how long the user has "
                             "been idle (no X11 screen-saver extension, no "
                             "ext-idle-notify protocol, no GNOME idle monitor): the saver cannot "
                             "start by itself here.\n");
        return 1;
    }
    platform::ScreenSaverInhibitor inhibitor;
    const QString mode = inhibitor.start();
    logInfo("idle", "idle time from " + monitor.source() + ", inhibitors: " + mode.toStdString());

    int overrideSeconds = 0;
    if (const char* s = std::getenv("SKYLOOM_IDLE_TIMEOUT_SECONDS"))
        overrideSeconds = std::atoi(s);

    tray::SkyloomStarter starter(platform::GetWindowsDir(),
                                 QCoreApplication::applicationDirPath().toStdString());
    platform::IdleActivation activation;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        platform::IdleInputs in;
        in.active = overrideSeconds > 0 || platform::screenSaveActive();
        in.timeoutSeconds = overrideSeconds > 0 ? overrideSeconds : platform::screenSaveTimeOut();
        monitor.setTimeout(std::chrono::seconds(in.timeoutSeconds));
        in.idleMs = monitor.idleMs();
        in.inhibited = inhibitor.inhibited();
        in.saverRunning = platform::screenSaverRunning();
        const auto d = activation.check(in);
        if (d.startSaver) {
            if (auto message = starter.start("/s"))
                std::fprintf(stderr, "skyloom-idle: %s\n", message->c_str());
        }
        timer.start(d.nextCheckMs);
    });
    timer.start(0);
    return app.exec();
}
