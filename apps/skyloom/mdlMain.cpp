#include "mdlMain.h"

#include "Identity.h"
#include "calendar/CalendarCanvas.h"
#include "common/Log.h"
#include "common/ProgramInfo.h"
#include "common/Startup.h"
#include "common/Timing.h"
#include "config/ConfigSession.h"
#include "config/QtMessageBox.h"
#include "config/SessionNotices.h"
#include "config/WallpaperNotice.h"
#include "config/frmChangePassword.h"
#include "config/frmMoonfield.h"
#include "platform/Display.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Monitors.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "platform/TerminationWatch.h"
#include "platform/Translations.h"
#include "saver/Cursor.h"
#include "saver/ForeignWindow.h"
#include "saver/SaverGuard.h"
#include "saver/frmSaver.h"
#include "wallpaper/WallpaperSetter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace skyloom::app {
namespace {

constexpr const char* kUsage =
    "Usage: skyloom [SWITCH]\n"
    "  (none)        open the configuration dialog\n"
    "  /s            run the screen saver (locked when password protection is on)\n"
    "  /c            open the configuration dialog\n"
    "  /a            set, change or remove the saver password\n"
    "  /wall         set the next wallpaper picture\n"
    "  /kalendar     draw the wallpaper again with today's calendar\n"
    "  /-ConfigWall  open the configuration dialog on its Wallpaper page\n"
    "  /debug        with /s: keep the pointer and stay a normal window\n"
    "  -root         draw into the window in XSCREENSAVER_WINDOW\n"
    "  --window-id ID  draw into window ID (a settings preview)\n"
    "  --restore-wallpaper  put back the desktop's own wallpaper from before\n"
    "                Skyloom changed it\n"
    "  --help, -h    show this text\n"
    "  --version     show the version\n"
    "See skyloom(1) for the keys that end the saver, files and environment.\n";

std::string settingsFile() {
    return platform::GetProgramPath() + "ScreenSaver.ini";
}

// Runs the configuration's initialisation without a window, so the
// image-set registry and the stored settings are fresh (and, on the first
// run, the defaults are stored). False when there are no image sets (the
// user has been told): the program then ends.
bool initialiseConfiguration() {
    config::ConfigSession session;
    config::SessionNotices notices(session);
    return session.initialise();
}

// The wallpaper sequences of "/wall" and "/kalendar": the wallpaper job
// makes the wallpaper on a thread of its own; the notice shows only when
// that takes a while (kWallpaperNoticeDelay); no dialog is made. Without a
// display (`headless`) the picture is made for the screen seen last, or the
// reference size, and no notice is shown; the one line on stdout then says
// where the picture is.
int wallpaperSequence(bool next, bool headless = false) {
    auto session = std::make_unique<config::ConfigSession>();
    auto notices = std::make_unique<config::SessionNotices>(*session);
    if (headless) {
        const QSize remembered = platform::rememberedScreenSize();
        session->setScreenSize(remembered.isValid() ? remembered : QSize(1024, 768));
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        platform::rememberScreenSize(screen->size() * screen->devicePixelRatio());
    }
    timingMark("session made");
    if (!session->initialise())
        return 1;
    timingMark("session initialised");
    config::WallpaperJob& job = session->wallpaperJob();
    const auto work = [&job, next] { return next ? job.NextWallpaperImage() : job.SetCalendar(); };
    wallpaper::Outcome outcome;
    if (headless) {
        outcome = work();
    } else {
        // What the job reads of Qt's screens is read here, on the
        // user-interface thread, before the work leaves it.
        session->setScreenSize(session->screenPixels());
        job.monitorList = [monitors = platform::listMonitors()] { return monitors; };
        // The calendar's font is looked up (the font configuration read)
        // while the picture decodes.
        const bool calendar = session->wallpaperPage().calendarOn;
        const auto loadCalendarFont = [calendar] {
            if (calendar)
                QFontMetrics(calendar::QImageCanvas::calendarFont()).height();
        };
        outcome =
            config::runWithWallpaperNotice(work, config::kWallpaperNoticeDelay, loadCalendarFont);
    }
    timingMark("job done");
    notices.reset();
    session.reset();
    timingMark("session closed");
    if (!outcome.ok) {
        std::fprintf(stderr, "skyloom: %s\n", outcome.reason.c_str());
        return 1;
    }
    if (!outcome.reason.empty())
        std::printf("skyloom: %s\n", outcome.reason.c_str());
    else if (headless)
        std::printf("skyloom: no display; the wallpaper is in %s/%s\n",
                    platform::GetWindowsDir().c_str(), wallpaper::kBmpFileName);
    return 0;
}

int showConfiguration(QApplication& app, int tab, bool fromProps) {
    auto form = std::make_unique<config::frmMoonfield>();
    form->m_bStartedFromProps = fromProps;
    form->setStartingTab(tab);
    if (!form->initialise())
        return 1;
    form->show();
    return app.exec();
}

// The picture half of a locked saver: draws into the guard's window and
// tells the guard the web links of the picture on show.
int runRenderer(const char* hostWindow) {
    bool ok = false;
    const WId host = QString(hostWindow).toULongLong(&ok);
    if (!ok) {
        std::fprintf(stderr, "skyloom: SKYLOOM_RENDER_INTO does not name a window\n");
        return 2;
    }
    saver::frmSaver window;
    window.embedInto(host);
    window.pictureShown = [](saver::frmSaver& w) {
        const auto& l = w.webLinks();
        std::printf("links\t%s\t%s\t%s\t%s\t%d\t%d\n", l.pictureUrl.c_str(), l.setUrl.c_str(),
                    l.companyUrl.c_str(), l.saverUrl.c_str(), l.webLinkEnabled ? 1 : 0,
                    l.saverWebLinkEnabled ? 1 : 0);
        std::fflush(stdout);
    };
    window.shown = [] {
        std::printf("shown\n");
        std::fflush(stdout);
    };
    // The guard's commands, one a line: "hold" while it asks for the
    // password, "release" when the prompt closes without unlocking.
    std::string pending;
    QSocketNotifier commands(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&commands, &QSocketNotifier::activated, &window, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            commands.setEnabled(false); // the guard is gone; it ends us too
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line == "hold" || line == "release")
                window.holdClocks(line == "hold");
        }
    });
    window.showModal();
    return 0;
}

// A display mode of a screen-saver daemon: draw into its window, read the
// settings as usual, and leave input and locking to the daemon.
int runInDaemonWindow(std::uint32_t windowId) {
    saver::ForeignWindow target(windowId);
    if (!target.valid()) {
        std::fprintf(stderr, "skyloom: cannot draw into window 0x%x\n", windowId);
        return 1;
    }
    if (!initialiseConfiguration())
        return 1;
    saver::frmSaver window;
    window.setOffscreen(target.size().value_or(QSize(1024, 768)));
    QSize shownSize;
    QTimer flush;
    flush.setSingleShot(true);
    flush.setInterval(30); // many small drawings make one copy
    QObject::connect(&flush, &QTimer::timeout, &window, [&] {
        const auto size = target.size();
        if (!size) {
            window.CloseSaver(); // the daemon's window is gone
            return;
        }
        if (*size != shownSize) {
            target.clear();
            shownSize = *size;
        }
        const QRect at = window.findChild<QWidget*>("picDisp")->geometry();
        target.put(window.canvas(), at.x(), at.y());
    });
    window.canvasDrawn = [&flush] {
        if (!flush.isActive())
            flush.start();
    };
    // Follow the window when the daemon resizes it.
    QTimer follow;
    follow.setInterval(500);
    QObject::connect(&follow, &QTimer::timeout, &window, [&] {
        const auto size = target.size();
        if (!size)
            window.CloseSaver();
        else if (*size != window.size())
            window.resize(*size);
    });
    follow.start();
    window.showModal();
    return 0;
}

int runSaver() {
    if (!initialiseConfiguration())
        return 1;
    // With password protection the saver is a lock: a guard process holds
    // the input grabs and the password prompt, the pictures come from a
    // separate renderer process.
    // SKYLOOM_LOCK=1: started to lock the screen (the session bus's Lock),
    // whatever the page's "Password protected" says.
    const char* lockRequest = std::getenv("SKYLOOM_LOCK");
    const bool protect = !saver::debugMode() &&
                         ((lockRequest && std::string(lockRequest) == "1") ||
                          (!platform::registryUnreadable() && platform::screenSaveUsePassword()));
    if (protect) {
        saver::SaverGuard guard;
        if (!guard.run())
            return 1;
    } else {
        saver::HideCursor();
        saver::frmSaver window;
        // Ended by a signal, it still closes as after a key: the
        // saver-running state goes with it.
        platform::TerminationWatch terminate([&window] { window.CloseSaver(); });
        window.showModal();
    }
    platform::setScreenSaverRunning(false);
    const std::string change = takeDelayedChange(settingsFile());
    if (change == "WallPaper")
        return wallpaperSequence(true);
    if (change == "Calendar")
        return wallpaperSequence(false);
    return 0;
}

// --restore-wallpaper: the desktop's own wallpaper back, without a window.
// Exit status 0 when it is back, 1 when nothing was recorded or the desktop
// refused.
// Qt aborts without a display; the modes that draw say so and end instead.
bool displayReachable() {
    if (platform::hasDisplay() || platform::platformNeedsNoDisplay())
        return true;
    std::fprintf(stderr, "skyloom: no display (DISPLAY and WAYLAND_DISPLAY are not set)\n");
    return false;
}

int restoreWallpaper() {
    wallpaper::WallpaperSetter setter;
    const wallpaper::RestoreOutcome outcome = setter.RestoreUserWallpaper();
    switch (outcome.status) {
    case wallpaper::RestoreStatus::Restored:
    case wallpaper::RestoreStatus::NotKnown:
        std::printf("skyloom: %s\n", outcome.message.c_str());
        return 0;
    case wallpaper::RestoreStatus::NothingRecorded:
    case wallpaper::RestoreStatus::Damaged:
    case wallpaper::RestoreStatus::Failed:
        break;
    }
    std::fprintf(stderr, "skyloom: %s\n", outcome.message.c_str());
    return 1;
}

// A screen-saver daemon's display mode: its own options, never taken for
// one of the switches below. Several may run at once (saver and preview).
// Also the renderer started by the lock's guard, which holds the instance
// lock itself. Returns the exit status when one of them ran.
std::optional<int> runHostedModes(int& argc, char** argv, const std::vector<std::string>& args) {
    if (auto windowId = saver::daemonWindow(args, std::getenv("XSCREENSAVER_WINDOW"))) {
        if (*windowId == 0) {
            std::fprintf(stderr, "skyloom: no usable window id (XSCREENSAVER_WINDOW or "
                                 "--window-id)\n");
            return 1;
        }
        if (!displayReachable())
            return 1;
        QApplication app(argc, argv);
        platform::installTranslations();
        return runInDaemonWindow(*windowId);
    }

    if (const char* host = std::getenv("SKYLOOM_RENDER_INTO"); host && *host) {
        QApplication app(argc, argv);
        platform::installTranslations();
        return runRenderer(host);
    }
    return std::nullopt;
}

// True when another copy runs that this start gives way to; a change it asks
// for is then recorded for that copy to make.
bool leaveToRunningCopy(StartMode mode, const std::string& commandLine,
                        platform::SingleInstance& instance) {
    const bool saver = mode == StartMode::Saver;
    const bool programRunning =
        saver ? platform::SingleInstance::heldElsewhere("skyloom") : instance.previousInstance();
    const bool saverRunning = saver ? instance.previousInstance()
                                    : platform::SingleInstance::heldElsewhere("skyloom-saver");
    if (!isSecondCopy(mode, programRunning, saverRunning))
        return false;
    const std::string change = delayedChangeFor(commandLine);
    if (!change.empty())
        recordDelayedChange(settingsFile(), change);
    return true;
}

int runMode(QApplication& app, StartMode mode, bool headless) {
    switch (mode) {
    case StartMode::Saver:
        return runSaver();
    case StartMode::ConfigFromProps:
        return showConfiguration(app, 0, true);
    case StartMode::ChangePassword: {
        config::frmChangePassword dialog;
        dialog.exec();
        return 0;
    }
    case StartMode::Config:
    case StartMode::ConfigDebug:
        return showConfiguration(app, 0, false);
    case StartMode::WallpaperNext:
        return wallpaperSequence(true, headless);
    case StartMode::CalendarRefresh:
        return wallpaperSequence(false, headless);
    case StartMode::ConfigWallpaper:
        return showConfiguration(app, 1, false);
    case StartMode::Exit:
        break;
    }
    return 0;
}

} // namespace

int Main(int argc, char** argv) {
    timingMark("main");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = answerStandardOptions(args, "skyloom", kUsage))
        return *status;
    platform::initialise();
    if (args.size() == 1 && args[0] == "--restore-wallpaper")
        return restoreWallpaper();
    const std::string commandLine = joinCommandLine(args);
    if (auto status = runHostedModes(argc, argv, args))
        return *status;

    // Held for the whole life of the process; released by the kernel when it
    // ends in any way. A saver holds a lock of its own, so that it can start
    // while the dialog is open, and every other start still sees it.
    const StartMode mode = chooseStartMode(commandLine);
    platform::SingleInstance instance(mode == StartMode::Saver ? "skyloom-saver" : "skyloom");
    if (leaveToRunningCopy(mode, commandLine, instance))
        return 0;

    saver::setDebugMode(isDebugCommandLine(commandLine));
    if (mode == StartMode::Exit)
        return 0;

    // The wallpaper modes also run where there is no display (a cron job, an
    // ssh login, a systemd user timer): they only make a picture file and
    // tell the desktop's settings. The other modes need a screen.
    const bool wallpaperMode =
        mode == StartMode::WallpaperNext || mode == StartMode::CalendarRefresh;
    const bool headless = !platform::hasDisplay();
    if (headless && wallpaperMode) {
        platform::useOffscreenPlatform();
    } else if (!displayReachable()) {
        return 1;
    }

    timingMark("mode chosen");
    QApplication app(argc, argv);
    timingMark("application made");
    // The wallpaper modes mostly show no window: the icon waits for a box.
    identifyApplication(!wallpaperMode);
    QApplication::setQuitOnLastWindowClosed(true);
    platform::installTranslations();
    config::installQtMessageBoxes(wallpaperMode ? setApplicationIcon : std::function<void()>());
    timingMark("translations installed");
    const int status = runMode(app, mode, headless);
#if !defined(__SANITIZE_ADDRESS__)
    if (wallpaperMode) {
        // The wallpaper is on disk and on the desktop, the settings are
        // written and every file is closed: the rest of Qt's teardown only
        // costs time (its font database even reads the whole font
        // configuration just to free it when no font was used, as without
        // the calendar). Sanitizer builds end normally, for the leak check.
        std::fflush(nullptr);
        std::_Exit(status);
    }
#endif
    return status;
}

} // namespace skyloom::app
