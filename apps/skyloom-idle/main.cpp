// skyloom-idle: starts the screen saver when the user has been idle for the
// time set on the Screen Saver page, unless a program holds it off.
//
// SKYLOOM_IDLE_TIMEOUT_SECONDS replaces the stored timeout (for tests and
// for trying the saver out quickly).

#include "common/Log.h"
#include "common/ProgramInfo.h"
#include "platform/IdleActivation.h"
#include "platform/IdleMonitor.h"
#include "platform/Locations.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/ScreenSaverInhibitor.h"
#include "platform/SingleInstance.h"
#include "tray/SkyloomStarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace skyloom;

namespace {

constexpr const char* kUsage =
    "Usage: skyloom-idle [--verbose]  start the screen saver after the idle time\n"
    "       skyloom-idle --help | --version\n"
    "  --verbose   log every idle check, not only changes of what it decides\n"
    "It runs until the session ends (one copy per user); the Screen Saver page\n"
    "switches the saver on and sets the idle time.\n";

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = answerStandardOptions(args, "skyloom-idle", kUsage))
        return *status;
    bool verbose = false;
    for (const std::string& arg : args) {
        if (arg == "--verbose") {
            verbose = true;
            continue;
        }
        std::fprintf(stderr, "skyloom-idle: unknown argument %s\n%s", arg.c_str(), kUsage);
        return 2;
    }
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

    const std::string windowsDir = platform::GetWindowsDir();
    const std::string besideDir = QCoreApplication::applicationDirPath().toStdString();
    tray::SkyloomStarter starter(windowsDir, besideDir);

    // Desktop programs drive the saver through the session bus. Activity
    // they report counts as input: idle time runs from the later of the two.
    QElapsedTimer sinceActivity;
    auto idleMs = [&]() -> std::optional<std::int64_t> {
        const std::optional<std::int64_t> input = monitor.idleMs();
        if (!input || !sinceActivity.isValid())
            return input;
        return std::min<std::int64_t>(*input, sinceActivity.elapsed());
    };
    std::int64_t lockedPid = 0;
    platform::ScreenSaverInhibitor::Actions actions;
    actions.startSaver = [&](bool locked) {
        if (!locked) {
            if (auto message = starter.start("/s"))
                std::fprintf(stderr, "skyloom-idle: %s\n", message->c_str());
            return;
        }
        // A running saver without a lock gives way to a locked one.
        const std::int64_t running = platform::screenSaverProcess();
        if (running != 0 && running == lockedPid)
            return;
        if (running != 0)
            platform::stopProcess(running);
        std::string error;
        lockedPid = platform::startDetached({tray::skyloomProgram(windowsDir, besideDir), "/s"},
                                            &error, {{"SKYLOOM_LOCK", "1"}});
        if (lockedPid == 0)
            std::fprintf(stderr, "skyloom-idle: cannot lock the screen: %s\n", error.c_str());
    };
    actions.endSaver = [&] {
        // Only a saver without a lock may be ended from outside.
        const std::int64_t running = platform::screenSaverProcess();
        if (running != 0 && running != lockedPid && !platform::screenSaveUsePassword())
            platform::stopProcess(running);
    };
    actions.idleMs = [&] { return idleMs().value_or(0); };
    actions.userActivity = [&] { sinceActivity.start(); };
    inhibitor.setActions(std::move(actions));
    platform::IdleActivation activation;
    std::string_view lastReason;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        platform::IdleInputs in;
        in.active = overrideSeconds > 0 || platform::screenSaveActive();
        in.timeoutSeconds = overrideSeconds > 0 ? overrideSeconds : platform::screenSaveTimeOut();
        monitor.setTimeout(std::chrono::seconds(in.timeoutSeconds));
        in.idleMs = idleMs();
        in.nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
        in.inhibited = inhibitor.inhibited();
        in.saverRunning = platform::screenSaverRunning();
        const auto d = activation.check(in);
        // Each change of what the daemon decides is logged, every check with --verbose:
        // it tells a user (and the tests) why the saver did or did not start.
        if (verbose || d.reason != lastReason)
            logInfo("idle", "check: idle " + (in.idleMs ? std::to_string(*in.idleMs) : "unknown") +
                                " ms of " + std::to_string(std::int64_t{in.timeoutSeconds} * 1000) +
                                " ms: " + std::string(d.reason));
        lastReason = d.reason;
        if (d.startSaver) {
            if (auto message = starter.start("/s"))
                std::fprintf(stderr, "skyloom-idle: %s\n", message->c_str());
        }
        timer.start(d.nextCheckMs);
    });
    timer.start(0);
    return app.exec();
}
