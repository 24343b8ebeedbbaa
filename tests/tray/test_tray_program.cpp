// Starting skyloom, the autostart entry, the command line and the tray
// object driven offscreen.

#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"
#include "tray/Autostart.h"
#include "tray/CommandLine.h"
#include "tray/SkyloomStarter.h"
#include "tray/TrayIcons.h"
#include "tray/frmPlaceHolder.h"

#include "tests/support/Wait.h"
#include <gtest/gtest.h>

#include <QDeadlineTimer>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

using namespace skyloom;
using namespace skyloom::tray;
using skyloom::test::TempDir;
namespace fs = std::filesystem;

namespace {

void makeScript(const std::string& path, const std::string& body) {
    fs::create_directories(fs::path(path).parent_path());
    {
        std::ofstream out(path);
        out << "#!/bin/sh\n" << body;
    }
    fs::permissions(path, fs::perms::owner_all);
}

struct Call {
    std::string program;
    std::vector<std::string> args;
};

// A launcher that records what it was asked to start.
SkyloomStarter::Launcher recorder(std::vector<Call>& calls, bool ok = true) {
    return [&calls, ok](const std::string& program, const std::vector<std::string>& args,
                        std::string& error) {
        calls.push_back({program, args});
        if (!ok)
            error = "refused";
        return ok;
    };
}

} // namespace

TEST(Starter, PrefersTheLinkInTheSystemFolderElseTheProgramBesideUs) {
    TempDir dir;
    const std::string system = dir.file("system");
    const std::string beside = dir.file("bin");
    makeScript(beside + "/skyloom", "exit 0\n");
    EXPECT_EQ(skyloomProgram(system, beside), beside + "/skyloom");
    fs::create_directories(system);
    // A link that leads nowhere does not count.
    fs::create_symlink(dir.file("gone"), system + "/Skyloom.scr");
    EXPECT_EQ(skyloomProgram(system, beside), beside + "/skyloom");
    fs::remove(system + "/Skyloom.scr");
    fs::create_symlink(beside + "/skyloom", system + "/Skyloom.scr");
    EXPECT_EQ(skyloomProgram(system, beside), system + "/Skyloom.scr");

    std::vector<Call> calls;
    SkyloomStarter starter(system, beside, recorder(calls));
    EXPECT_FALSE(starter.start(kSwitchWall));
    EXPECT_FALSE(starter.start(kSwitchKalendar));
    EXPECT_FALSE(starter.start(kSwitchConfigWall));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].program, system + "/Skyloom.scr");
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"/wall"});
    EXPECT_EQ(calls[1].args, std::vector<std::string>{"/kalendar"});
    EXPECT_EQ(calls[2].args, std::vector<std::string>{"/-ConfigWall"});
}

TEST(Starter, AFailureIsReportedOnceUntilAStartSucceedsAgain) {
    TempDir dir;
    std::vector<Call> calls;
    SkyloomStarter missing(dir.file("system"), dir.file("bin"), recorder(calls));
    auto first = missing.start(kSwitchWall);
    ASSERT_TRUE(first);
    EXPECT_NE(first->find("/wall"), std::string::npos);
    EXPECT_NE(first->find(dir.file("bin") + "/skyloom"), std::string::npos);
    EXPECT_FALSE(missing.start(kSwitchWall));
    EXPECT_FALSE(missing.start(kSwitchKalendar));
    EXPECT_TRUE(missing.lastStartFailed());
    EXPECT_TRUE(calls.empty()); // nothing to start

    makeScript(dir.file("bin/skyloom"), "exit 0\n");
    EXPECT_FALSE(missing.start(kSwitchWall));
    EXPECT_FALSE(missing.lastStartFailed());
    fs::remove(dir.file("bin/skyloom"));
    EXPECT_TRUE(missing.start(kSwitchWall));

    std::vector<Call> refusedCalls;
    makeScript(dir.file("bin/skyloom"), "exit 0\n");
    SkyloomStarter refused(dir.file("system"), dir.file("bin"), recorder(refusedCalls, false));
    auto message = refused.start(kSwitchConfigWall);
    ASSERT_TRUE(message);
    EXPECT_NE(message->find("refused"), std::string::npos);
    EXPECT_FALSE(refused.start(kSwitchConfigWall));
}

TEST(Starter, StartsARealProgramWithArgumentsIntactAndDoesNotWait) {
    TempDir dir;
    const std::string beside = dir.file("with blank 'and quote'");
    const std::string out = dir.file("args.txt");
    makeScript(beside + "/skyloom", "printf '%s|' \"$@\" > \"" + out + ".tmp\"; mv \"" + out +
                                        ".tmp\" \"" + out + "\"\n");
    SkyloomStarter starter(dir.file("system"), beside);
    EXPECT_FALSE(starter.start(kSwitchWall));
    EXPECT_TRUE(skyloom::test::waitUntil([&] { return fs::exists(out); }));
    EXPECT_EQ(TempDir::readPath(out), "/wall|");
}

namespace {

class AutostartTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", dir.file("xdg").c_str(), 1);
        makeScript(dir.file("opt/paperwheel"), "exit 0\n");
        makeScript(dir.file("usr bin/paper$wheel"), "exit 0\n");
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_CONFIG_DIRS");
    }
    std::string entry() const { return TempDir::readPath(autostartFilePath()); }
    TempDir dir;
};

} // namespace

TEST_F(AutostartTest, OnWritesTheEntryOffRemovesItAndTheStateFollows) {
    EXPECT_EQ(autostartFilePath(), dir.file("config/autostart/paperwheel.desktop"));
    EXPECT_FALSE(autostartEnabled());
    std::string error;
    ASSERT_TRUE(setAutostart(true, dir.file("opt/paperwheel"), error)) << error;
    EXPECT_TRUE(autostartEnabled());
    EXPECT_NE(entry().find("[Desktop Entry]\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry().find("\nExec=" + dir.file("opt/paperwheel") + "\n"), std::string::npos);
    // On again replaces the entry (a moved program).
    ASSERT_TRUE(setAutostart(true, dir.file("usr bin/paper$wheel"), error)) << error;
    EXPECT_NE(entry().find("\nExec=\"" + dir.file("usr bin/paper\\\\$wheel") + "\"\n"),
              std::string::npos)
        << entry();
    EXPECT_EQ(entry().find("/opt/"), std::string::npos);
    ASSERT_TRUE(setAutostart(false, "", error)) << error;
    EXPECT_FALSE(fs::exists(autostartFilePath()));
    EXPECT_FALSE(autostartEnabled());
    EXPECT_TRUE(setAutostart(false, "", error)); // already off
}

TEST_F(AutostartTest, OffMasksASystemWideEntryAndHiddenEntriesCountAsOff) {
    dir.write("xdg/autostart/paperwheel.desktop", "[Desktop Entry]\nExec=/usr/bin/paperwheel\n");
    std::string error;
    ASSERT_TRUE(setAutostart(false, "", error)) << error;
    ASSERT_TRUE(fs::exists(autostartFilePath()));
    EXPECT_NE(entry().find("Hidden=true"), std::string::npos);
    EXPECT_FALSE(autostartEnabled());
    ASSERT_TRUE(setAutostart(true, dir.file("opt/paperwheel"), error)) << error;
    EXPECT_TRUE(autostartEnabled());
}

TEST_F(AutostartTest, BadProgramPathsAndUnwritableFoldersFailWithAReason) {
    std::string error;
    EXPECT_FALSE(setAutostart(true, "paperwheel", error));
    EXPECT_NE(error.find("paperwheel"), std::string::npos);
    EXPECT_FALSE(setAutostart(true, "/bin/paper\nwheel", error));
    error.clear();
    EXPECT_FALSE(setAutostart(true, dir.file("opt/missing"), error));
    EXPECT_NE(error.find("no such program"), std::string::npos);
    EXPECT_FALSE(fs::exists(autostartFilePath()));
    // The config folder is a file: nothing can be created below it.
    dir.write("config", "not a folder");
    error.clear();
    EXPECT_FALSE(setAutostart(true, dir.file("opt/paperwheel"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(autostartEnabled());
}

TEST(Autostart, ExecValueQuotesAndEscapesReservedCharacters) {
    EXPECT_EQ(desktopExecValue("/usr/bin/paperwheel"), "/usr/bin/paperwheel");
    EXPECT_EQ(desktopExecValue("/home/a b/paperwheel"), "\"/home/a b/paperwheel\"");
    // '$' and '"' get a backslash inside the quotes; the string-value rules
    // then double every backslash.
    EXPECT_EQ(desktopExecValue("/x/$HOME\"q"), "\"/x/\\\\$HOME\\\\\"q\"");
    EXPECT_EQ(desktopExecValue("/x/100%/paperwheel"), "/x/100%%/paperwheel");
    EXPECT_EQ(desktopExecValue("relative/paperwheel"), "");
    EXPECT_EQ(desktopExecValue("/x/\tpaperwheel"), "");
}

TEST(CommandLine, AutostartOptionsAndErrors) {
    using A = CommandLine::Action;
    EXPECT_EQ(parseCommandLine({}).action, A::RunTray);
    EXPECT_EQ(parseCommandLine({"--autostart", "on"}).action, A::AutostartOn);
    EXPECT_EQ(parseCommandLine({"--autostart", "off"}).action, A::AutostartOff);
    EXPECT_EQ(parseCommandLine({"--autostart=status"}).action, A::AutostartStatus);
    EXPECT_EQ(parseCommandLine({"--help"}).action, A::Help);
    for (const char* word : {"next", "pause", "resume", "status", "quit"}) {
        const CommandLine cl = parseCommandLine({std::string("--") + word});
        EXPECT_EQ(cl.action, A::Control);
        EXPECT_EQ(cl.control, word);
    }
    for (auto args : std::vector<std::vector<std::string>>{{"--autostart"},
                                                           {"--autostart", "ON"},
                                                           {"--autostart", "on", "x"},
                                                           {"/wall"},
                                                           {"--next", "now"},
                                                           {"--Pause"}}) {
        CommandLine cl = parseCommandLine(args);
        EXPECT_EQ(cl.action, A::Invalid) << args[0];
        EXPECT_FALSE(cl.error.empty());
    }
}

namespace {

class TrayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char arg0[] = "test_tray";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override {
        profile::clearCache();
        dir.write("ScreenSaver.ini", "[PrefsWP]\nchange=1\n");
        makeScript(dir.file("bin/skyloom"), "exit 0\n");
        frmPlaceHolder::Options o;
        o.szIniFile = dir.file("ScreenSaver.ini");
        o.clock = [] { return LocalDateTime{2021, 3, 10, 9, 0, 0}; };
        o.windowsDir = dir.file("system");
        o.besideDir = dir.file("bin");
        o.launcher = recorder(calls);
        form = std::make_unique<frmPlaceHolder>(std::move(o));
    }
    // Runs the event loop until a start was asked for or the time is up.
    void waitForCalls(std::size_t count, int ms) {
        QElapsedTimer t;
        t.start();
        while (calls.size() < count && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    static QImage pixels(const QIcon& icon) { return icon.pixmap(32, 32).toImage(); }

    TempDir dir;
    std::vector<Call> calls;
    std::unique_ptr<frmPlaceHolder> form;
};

} // namespace

TEST_F(TrayTest, LoadsWithIconTooltipAndAskForAWallpaperAtTheFirstTick) {
    form->Form_Load();
    EXPECT_EQ(form->iconShown(), kIconActive);
    EXPECT_EQ(form->TrayX1().toolTip(), "Wallpaper Changer");
    EXPECT_TRUE(form->Timer1().isActive());
    EXPECT_EQ(form->Timer1().interval(), 100);
    waitForCalls(1, 60000);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, std::vector<std::string>{"/wall"});
    EXPECT_EQ(form->Timer1().interval(), 15000);
    EXPECT_TRUE(form->Timer1().isActive());
}

TEST_F(TrayTest, MenusCarryTheirCaptionsAndStartSkyloom) {
    QStringList captions;
    for (QAction* a : form->mnuProp().actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    // The close entry is reachable from the context menu as well, for trays
    // that show the menu over D-Bus and never report the Shift key.
    EXPECT_EQ(captions,
              (QStringList{"Next Wallpaper", "Settings...", "-", "Wallpaper Auto Change Active",
                           "-", "Close Wallpaper Auto Changer"}));
    EXPECT_EQ(form->TrayX1().contextMenu(), &form->mnuProp());
    EXPECT_TRUE(form->mnuProp_AutoChangState()->isChecked());
    ASSERT_EQ(form->mnuClose().actions().size(), 1);
    EXPECT_EQ(form->mnuClose().actions()[0]->text(), "Close Wallpaper Auto Changer");
    EXPECT_EQ(form->mnuProp().actions().last(), form->mnuClose().actions()[0]);

    // A held Shift (or Ctrl, Alt) leaves the close entry alone in the menu.
    const auto visible = [&] {
        QStringList shown;
        for (QAction* a : form->mnuProp().actions())
            if (a->isVisible() && !a->isSeparator())
                shown << a->text();
        return shown;
    };
    for (auto held : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        form->TrayX1_MouseDown(held);
        EXPECT_EQ(visible(), QStringList{"Close Wallpaper Auto Changer"});
    }
    form->TrayX1_MouseDown(Qt::NoModifier);
    EXPECT_EQ(visible().size(), 4);

    form->mnuProp().actions()[0]->trigger();
    form->mnuProp().actions()[1]->trigger();
    form->TrayX1_DblClick();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].args[0], "/wall");
    EXPECT_EQ(calls[1].args[0], "/-ConfigWall");
    EXPECT_EQ(calls[2].args[0], "/-ConfigWall");
}

TEST_F(TrayTest, PauseStopsTheTimerAndSwapsTheIconResumeRestartsIt) {
    form->Form_Load();
    QAction* toggle = form->mnuProp_AutoChangState();
    toggle->trigger();
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(form->Timer1().isActive());
    EXPECT_EQ(form->iconShown(), kIconPaused);
    EXPECT_NE(pixels(form->TrayX1().icon()), pixels(LoadTrayIcon(kIconActive)));
    waitForCalls(1, 400); // the first tick would have come after 100 ms
    EXPECT_TRUE(calls.empty());
    // "Next Wallpaper" still works while paused.
    form->mnuProp().actions()[0]->trigger();
    EXPECT_EQ(calls.size(), 1u);
    toggle->trigger();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(form->iconShown(), kIconActive);
    EXPECT_TRUE(form->Timer1().isActive());
    EXPECT_EQ(form->Timer1().interval(), 100);
    waitForCalls(2, 60000);
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(TrayTest, ControlCommandsActLikeTheMenu) {
    form->Form_Load();
    bool ok = false;
    EXPECT_NE(form->Control("status", ok).find("active"), std::string::npos);
    EXPECT_TRUE(ok);

    form->Control("pause", ok);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(form->mnuProp_AutoChangState()->isChecked());
    EXPECT_FALSE(form->Timer1().isActive());
    EXPECT_EQ(form->iconShown(), kIconPaused);
    EXPECT_EQ(form->Control("pause", ok), "already paused");
    EXPECT_TRUE(ok);
    EXPECT_NE(form->Control("status", ok).find("paused"), std::string::npos);

    // Next works while paused, as the menu's does.
    form->Control("next", ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0], "/wall");

    form->Control("resume", ok);
    EXPECT_TRUE(form->mnuProp_AutoChangState()->isChecked());
    EXPECT_TRUE(form->Timer1().isActive());
    EXPECT_EQ(form->iconShown(), kIconActive);

    form->Control("reboot", ok);
    EXPECT_FALSE(ok);
}

TEST_F(TrayTest, WithoutATrayTheUserIsToldHowToControlIt) {
    // The offscreen platform has no tray.
    std::vector<std::string> told;
    frmPlaceHolder::Options o;
    o.szIniFile = dir.file("ScreenSaver.ini");
    o.windowsDir = dir.file("system");
    o.besideDir = dir.file("bin");
    o.launcher = recorder(calls);
    const auto tell = [&](const std::string& summary, const std::string& body) {
        told.push_back(summary + ": " + body);
    };
    o.notify = tell;
    o.noTrayGraceMs = 0;
    frmPlaceHolder trayless(std::move(o));
    trayless.Form_Load();
    const QDeadlineTimer deadline(60000);
    while (told.empty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("Wallpaper Changer: "), std::string::npos);
    EXPECT_NE(told[0].find("--pause"), std::string::npos);
    EXPECT_NE(told[0].find("--quit"), std::string::npos);

    // Nor is there a balloon for a skyloom that cannot be started.
    frmPlaceHolder::Options failing;
    failing.szIniFile = dir.file("ScreenSaver.ini");
    failing.windowsDir = dir.file("nowhere");
    failing.besideDir = dir.file("nowhere");
    failing.launcher = recorder(calls, false);
    failing.notify = tell;
    frmPlaceHolder broken(std::move(failing));
    told.clear();
    broken.StartNextWallpaper();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("Wallpaper Changer: "), std::string::npos) << told[0];
}

TEST(TrayIcons, BothIconsAtFourSizes) {
    static int argc = 1;
    static char arg0[] = "test_tray";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
    for (int id : {kIconActive, kIconPaused}) {
        QIcon icon = LoadTrayIcon(id);
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {22, 22}, {32, 32}, {48, 48}}));
        QImage img = icon.pixmap(48, 48).toImage();
        EXPECT_EQ(img.size(), QSize(48, 48));
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0); // transparent corners
    }
}
