#include "mdlMain.h"

#include "common/Log.h"
#include "common/Startup.h"
#include "config/QtMessageBox.h"
#include "config/frmMoonfield.h"
#include "config/frmPleaseWait.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "saver/Cursor.h"
#include "saver/frmSaver.h"

#include <QApplication>

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
std::unique_ptr<config::frmMoonfield> initialisedConfiguration() {
    auto form = std::make_unique<config::frmMoonfield>();
    form->initialise();
    return form;
}

// The wallpaper sequences of "/wall" and "/kalendar": the notice shows while
// the hidden dialog makes the wallpaper.
void wallpaperSequence(bool next) {
    auto form = initialisedConfiguration();
    config::frmPleaseWait notice;
    notice.show();
    QCoreApplication::processEvents();
    if (next)
        form->NextWallpaperImage();
    else
        form->SetWallpaper();
    form.reset();
    notice.hide();
}

int showConfiguration(QApplication& app, int tab, bool fromProps) {
    auto form = std::make_unique<config::frmMoonfield>();
    form->m_bStartedFromProps = fromProps;
    form->setStartingTab(tab);
    form->initialise();
    form->show();
    return app.exec();
}

int runSaver() {
    saver::HideCursor();
    initialisedConfiguration().reset();
    {
        saver::frmSaver window;
        window.showModal();
    }
    platform::setScreenSaverRunning(false);
    const std::string change = takeDelayedChange(settingsFile());
    if (change == "WallPaper")
        wallpaperSequence(true);
    else if (change == "Calendar")
        wallpaperSequence(false);
    return 0;
}

} // namespace

int Main(int argc, char** argv) {
    platform::initialise();
    std::vector<std::string> args(argv + 1, argv + argc);
    const std::string commandLine = joinCommandLine(args);

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
    case StartMode::ChangePassword:
        logWarning("password", "changing the saver password is not available");
        return 0;
    case StartMode::Config:
    case StartMode::ConfigDebug:
        return showConfiguration(app, 0, false);
    case StartMode::WallpaperNext:
        wallpaperSequence(true);
        return 0;
    case StartMode::CalendarRefresh:
        wallpaperSequence(false);
        return 0;
    case StartMode::ConfigWallpaper:
        return showConfiguration(app, 1, false);
    case StartMode::Exit:
        break;
    }
    return 0;
}

} // namespace skyloom::app
