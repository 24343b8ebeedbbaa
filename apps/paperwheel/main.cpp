// paperwheel: sits in the tray and starts skyloom to change the wallpaper on
// the schedule chosen on the Wallpaper page; "--autostart on|off" switches
// starting it at login; "--next", "--pause", "--resume", "--status" and
// "--quit" are sent to the copy that runs.

#include "common/Log.h"
#include "common/ProgramInfo.h"
#include "config/QtMessageBox.h"
#include "platform/ControlChannel.h"
#include "platform/Display.h"
#include "platform/Locations.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"
#include "platform/QuitSignals.h"
#include "platform/Registry.h"
#include "platform/SingleInstance.h"
#include "platform/Translations.h"
#include "tray/Autostart.h"
#include "tray/CommandLine.h"
#include "tray/TrayIcons.h"
#include "tray/frmPlaceHolder.h"

#include <QApplication>
#include <QFileInfo>

#include <cstdint>
#include <cstdlib>

#include <iostream>
#include <string>
#include <vector>

using namespace skyloom;

namespace {

int switchAutostart(tray::CommandLine::Action action) {
    if (action == tray::CommandLine::Action::AutostartStatus) {
        std::cout << (tray::autostartEnabled() ? "on" : "off") << '\n';
        return 0;
    }
    const bool on = action == tray::CommandLine::Action::AutostartOn;
    const std::string program = tray::paperwheelBesideThisProgram();
    std::string error;
    if (!tray::setAutostart(on, program, error)) {
        std::cerr << "paperwheel: " << error << '\n';
        return 1;
    }
    if (on)
        std::cout << "paperwheel will start when you log in (" << tray::autostartFilePath()
                  << ")\n";
    else
        std::cout << "paperwheel will not start when you log in\n";
    return 0;
}

int sendToRunningCopy(const std::string& command) {
    const platform::ControlReply reply = platform::sendControl("paperwheel", command);
    if (!reply.reached) {
        std::cerr << "paperwheel: " << reply.text << '\n';
        return 1;
    }
    (reply.ok ? std::cout : std::cerr) << "paperwheel: " << reply.text << '\n';
    return reply.ok ? 0 : 1;
}

// Ends the skyloom-idle this copy started when it is still that program.
void stopIdleService(std::int64_t pid) {
    if (pid > 0 && platform::processRunning(pid, "skyloom-idle"))
        platform::stopProcess(pid);
}

int runTray(int argc, char** argv) {
    // Qt would abort without a display; a tray program has nothing to do
    // without one.
    if (!platform::hasDisplay() && !platform::platformNeedsNoDisplay()) {
        std::cerr << "paperwheel: no display (DISPLAY and WAYLAND_DISPLAY are not set); it "
                     "needs a desktop session\n";
        return 1;
    }
    platform::initialise();
    // Held for the whole life of the process; a second copy ends at once.
    platform::SingleInstance instance("paperwheel");
    if (instance.previousInstance()) {
        std::cerr << "paperwheel: already running; control it with paperwheel --next, --pause, "
                     "--resume, --status or --quit\n";
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("paperwheel"));
    // Its windows (menus, message boxes) belong to paperwheel.desktop and
    // carry the tray icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("paperwheel"));
    QApplication::setWindowIcon(tray::LoadTrayIcon(tray::kIconActive));
    // Closing a menu must not end the program; only "Close Wallpaper Auto
    // Changer" does.
    QApplication::setQuitOnLastWindowClosed(false);
    platform::installTranslations();
    platform::setApplicationTitle(
        QCoreApplication::translate(tray::kTrayContext, tray::kTooltip).toStdString());
    config::installQtMessageBoxes();

    tray::frmPlaceHolder::Options options;
    options.szIniFile = platform::GetProgramPath() + "ScreenSaver.ini";
    options.windowsDir = platform::GetWindowsDir();
    options.besideDir = QCoreApplication::applicationDirPath().toStdString();
    // The saver's idle activation rides on the same login entry: start it
    // beside us (it keeps to one copy itself).
    // It ends with us: closing the wallpaper changer ends the saver's idle
    // start it brought along. One that ran before us keeps running (ours then
    // ended at once).
    const QString idle = QCoreApplication::applicationDirPath() + "/skyloom-idle";
    std::int64_t idlePid = 0;
    if (QFileInfo(idle).isExecutable() && !std::getenv("SKYLOOM_NO_IDLE_SERVICE"))
        idlePid = platform::startDetached({idle.toStdString()});

    tray::frmPlaceHolder form(std::move(options));
    platform::ControlServer control("paperwheel", [&form](const std::string& command, bool& ok) {
        return form.Control(command, ok);
    });
    if (std::string error; !control.listen(error))
        logWarning("tray", error + "; paperwheel --next and the like will not reach this copy");
    else
        logInfo("tray", "listening for paperwheel --next, --pause, --resume, --status, --quit");
    form.Form_Load();
    // Asked to end by the session or kill: as if closed from the menu.
    const platform::QuitSignals quitSignals;
    const int status = app.exec();
    stopIdleService(idlePid);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (auto status = answerStandardOptions(args, "paperwheel", tray::usageText()))
        return *status;
    const tray::CommandLine cl = tray::parseCommandLine(args);
    switch (cl.action) {
    case tray::CommandLine::Action::RunTray:
        return runTray(argc, argv);
    case tray::CommandLine::Action::Control:
        return sendToRunningCopy(cl.control);
    case tray::CommandLine::Action::Help:
        std::cout << tray::usageText();
        return 0;
    case tray::CommandLine::Action::Invalid:
        std::cerr << "paperwheel: " << cl.error << '\n' << tray::usageText();
        return 2;
    case tray::CommandLine::Action::AutostartOn:
    case tray::CommandLine::Action::AutostartOff:
    case tray::CommandLine::Action::AutostartStatus:
        return switchAutostart(cl.action);
    }
    return 0;
}
