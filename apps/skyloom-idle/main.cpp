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

// Reads the options; an exit status when the program ends at once.
std::optional<int> readArguments(int argc, char** argv, bool& verbose) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = answerStandardOptions(args, "skyloom-idle", kUsage))
        return status;
    for (const std::string& arg : args) {
        if (arg == "--verbose") {
            verbose = true;
            continue;
        }
        std::fprintf(stderr, "skyloom-idle: unknown argument %s\n%s", arg.c_str(), kUsage);
        return 2;
    }
    return std::nullopt;
}

int timeoutOverride() {
    if (const char* s = std::getenv("SKYLOOM_IDLE_TIMEOUT_SECONDS"))
        return std::atoi(s);
    return 0;
}

// Starts and ends the saver. Desktop programs drive it through the session
// bus; activity they report counts as input: idle time runs from the later
// of the two.
class SaverControl {
public:
    explicit SaverControl(platform::IdleMonitor& monitor)
        : monitor_(monitor), windowsDir_(platform::GetWindowsDir()),
          besideDir_(QCoreApplication::applicationDirPath().toStdString()),
          starter_(windowsDir_, besideDir_) {}

    std::optional<std::int64_t> idleMs() {
        const std::optional<std::int64_t> input = monitor_.idleMs();
        if (!input || !sinceActivity_.isValid())
            return input;
        return std::min<std::int64_t>(*input, sinceActivity_.elapsed());
    }

    void startSaver() {
        if (auto message = starter_.start("/s"))
            std::fprintf(stderr, "skyloom-idle: %s\n", message->c_str());
    }

    platform::ScreenSaverInhibitor::Actions actions() {
        platform::ScreenSaverInhibitor::Actions actions;
        actions.startSaver = [this](bool locked) { startAsked(locked); };
        actions.endSaver = [this] { endSaver(); };
        actions.idleMs = [this] { return idleMs().value_or(0); };
        actions.userActivity = [this] { sinceActivity_.start(); };
        return actions;
    }

private:
    void startAsked(bool locked) {
        if (!locked) {
            startSaver();
            return;
        }
        // A running saver without a lock gives way to a locked one.
        const std::int64_t running = platform::screenSaverProcess();
        if (running != 0 && running == lockedPid_)
            return;
        if (running != 0)
            platform::stopProcess(running);
        std::string error;
        lockedPid_ = platform::startDetached({tray::skyloomProgram(windowsDir_, besideDir_), "/s"},
                                             &error, {{"SKYLOOM_LOCK", "1"}});
        if (lockedPid_ == 0)
            std::fprintf(stderr, "skyloom-idle: cannot lock the screen: %s\n", error.c_str());
    }

    void endSaver() {
        // Only a saver without a lock may be ended from outside.
        const std::int64_t running = platform::screenSaverProcess();
        if (running != 0 && running != lockedPid_ && !platform::screenSaveUsePassword())
            platform::stopProcess(running);
    }

    platform::IdleMonitor& monitor_;
    const std::string windowsDir_;
    const std::string besideDir_;
    tray::SkyloomStarter starter_;
    QElapsedTimer sinceActivity_;
    std::int64_t lockedPid_ = 0;
};

// Checks the idle time again and again and starts the saver when it is due.
class IdleChecker {
public:
    IdleChecker(platform::IdleMonitor& monitor, SaverControl& control,
                const platform::ScreenSaverInhibitor& inhibitor, int overrideSeconds, bool verbose)
        : monitor_(monitor), control_(control), inhibitor_(inhibitor),
          overrideSeconds_(overrideSeconds), verbose_(verbose) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] { check(); });
    }

    void start() { timer_.start(0); }

private:
    void check() {
        platform::IdleInputs in;
        in.active = overrideSeconds_ > 0 || platform::screenSaveActive();
        in.timeoutSeconds = overrideSeconds_ > 0 ? overrideSeconds_ : platform::screenSaveTimeOut();
        monitor_.setTimeout(std::chrono::seconds(in.timeoutSeconds));
        in.idleMs = control_.idleMs();
        in.nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
        in.inhibited = inhibitor_.inhibited();
        in.saverRunning = platform::screenSaverRunning();
        const auto d = activation_.check(in);
        // Each change of what the daemon decides is logged, every check with --verbose:
        // it tells a user (and the tests) why the saver did or did not start.
        if (verbose_ || d.reason != lastReason_)
            logInfo("idle", "check: idle " + (in.idleMs ? std::to_string(*in.idleMs) : "unknown") +
                                " ms of " + std::to_string(std::int64_t{in.timeoutSeconds} * 1000) +
                                " ms: " + std::string(d.reason));
        lastReason_ = d.reason;
        if (d.startSaver)
            control_.startSaver();
        timer_.start(d.nextCheckMs);
    }

    platform::IdleMonitor& monitor_;
    SaverControl& control_;
    const platform::ScreenSaverInhibitor& inhibitor_;
    const int overrideSeconds_;
    const bool verbose_;
    platform::IdleActivation activation_;
    std::string_view lastReason_;
    QTimer timer_;
};

} // namespace

int main(int argc, char** argv) {
    bool verbose = false;
    if (auto status = readArguments(argc, argv, verbose))
        return *status;
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

    const int overrideSeconds = timeoutOverride();
    SaverControl control(monitor);
    inhibitor.setActions(control.actions());
    IdleChecker checker(monitor, control, inhibitor, overrideSeconds, verbose);
    checker.start();
    return app.exec();
}
