#include "mdlMain.h"

#include "common/Log.h"
#include "common/Startup.h"
#include "config/QtMessageBox.h"
#include "config/frmChangePassword.h"
#include "config/frmMoonfield.h"
#include "config/frmPleaseWait.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "saver/Cursor.h"
#include "saver/SaverGuard.h"
#include "saver/frmSaver.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace skyloom::app {
namespace {

std::string settingsFile() {
    return platform::GetProgramPath() + "ScreenSaver.ini";
}

// Creates the configuration form hidden and runs its initialisation, so the
// image-set registry and the stored settings are fresh.
// Null when there are no image sets (the user has been told): the program
// then ends.
std::unique_ptr<config::frmMoonfield> initialisedConfiguration() {
    auto form = std::make_unique<config::frmMoonfield>();
    if (!form->initialise())
        return nullptr;
    return form;
}

// The wallpaper sequences of "/wall" and "/kalendar": the notice shows while
// the hidden dialog makes the wallpaper.
int wallpaperSequence(bool next) {
    auto form = initialisedConfiguration();
    if (!form)
        return 1;
    config::frmPleaseWait notice;
    notice.show();
    QCoreApplication::processEvents();
    if (next)
        form->NextWallpaperImage();
    else
        form->SetWallpaper();
    form.reset();
    notice.hide();
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
    if (!ok)
        return 2;
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
    window.showModal();
    return 0;
}

int runSaver() {
    if (!initialisedConfiguration())
        return 1;
    // With password protection the saver is a lock: a guard process holds
    // the input grabs and the password prompt, the pictures come from a
    // separate renderer process.
    const bool protect =
        !saver::debugMode() && !platform::registryUnreadable() && platform::screenSaveUsePassword();
    if (protect) {
        saver::SaverGuard guard;
        if (!guard.run())
            return 1;
    } else {
        saver::HideCursor();
        saver::frmSaver window;
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

} // namespace

int Main(int argc, char** argv) {
    platform::initialise();
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string commandLine = joinCommandLine(args);

    // Started by the lock's guard, which holds the instance lock itself.
    if (const char* host = std::getenv("SKYLOOM_RENDER_INTO"); host && *host) {
        QApplication app(argc, argv);
        return runRenderer(host);
    }

    // Held for the whole life of the process; released by the kernel when it
    // ends in any way.
    platform::SingleInstance instance("skyloom");
    if (instance.previousInstance()) {
        const std::string change = delayedChangeFor(commandLine);
        if (!change.empty())
            recordDelayedChange(settingsFile(), change);
        return 0;
    }

    saver::setDebugMode(isDebugCommandLine(commandLine));
    const StartMode mode = chooseStartMode(commandLine);
    if (mode == StartMode::Exit)
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName("skyloom");
    QApplication::setQuitOnLastWindowClosed(true);
    config::installQtMessageBoxes();

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
        return wallpaperSequence(true);
    case StartMode::CalendarRefresh:
        return wallpaperSequence(false);
    case StartMode::ConfigWallpaper:
        return showConfiguration(app, 1, false);
    case StartMode::Exit:
        break;
    }
    return 0;
}

} // namespace skyloom::app
