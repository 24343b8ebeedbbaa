// Recognising the desktop and the exact commands each backend starts.

#include "platform/wallpaper/DesktopBackend.h"

#include "tests/support/TempDir.h"

#include "tests/support/Wait.h"
#include <gtest/gtest.h>

#include <map>
#include <tuple>

using namespace skyloom::platform::wallpaper;

namespace {

// Records every command; answers from a table (program name -> result).
class FakeRunner : public CommandRunner {
public:
    CommandResult run(const Command& command, std::chrono::milliseconds) override {
        commands.push_back(command);
        auto found = answers.find(command.front());
        if (found != answers.end())
            return found->second;
        CommandResult ok;
        ok.started = true;
        ok.exitCode = 0;
        return ok;
    }
    bool available(const std::string& program) override { return installed.count(program) > 0; }
    std::int64_t startDetached(const Command& command) override {
        commands.push_back(command);
        return nextPid++;
    }
    bool running(std::int64_t pid, const std::string&) override { return alive.count(pid) > 0; }
    void stop(std::int64_t pid) override { stopped.push_back(pid); }
    void pause(std::chrono::milliseconds d) override { paused += d; }

    std::vector<Command> commands;
    std::map<std::string, CommandResult> answers;
    std::set<std::string> installed;
    std::set<std::int64_t> alive;
    std::vector<std::int64_t> stopped;
    std::int64_t nextPid = 100;
    std::chrono::milliseconds paused{0};
};

Environment env(std::map<std::string, std::string> values) {
    return [values](const std::string& name) {
        auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    };
}

TEST(DesktopDetection, FollowsTheSessionVariablesInOrder) {
    const std::vector<std::pair<std::map<std::string, std::string>, BackendKind>> cases{
        {{{"XDG_CURRENT_DESKTOP", "GNOME"}}, BackendKind::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}}, BackendKind::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}, BackendKind::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "Unity"}}, BackendKind::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}, BackendKind::Cinnamon},
        {{{"XDG_CURRENT_DESKTOP", "mate"}}, BackendKind::Mate},
        {{{"XDG_CURRENT_DESKTOP", "XFCE"}}, BackendKind::Xfce},
        {{{"XDG_CURRENT_DESKTOP", "KDE"}, {"DISPLAY", ":0"}}, BackendKind::Kde},
        {{{"XDG_CURRENT_DESKTOP", "LXQt"}}, BackendKind::Lxqt},
        {{{"XDG_CURRENT_DESKTOP", "sway"}, {"WAYLAND_DISPLAY", "wayland-1"}}, BackendKind::Sway},
        {{{"XDG_CURRENT_DESKTOP", "Unknown"}, {"KDE_FULL_SESSION", "true"}}, BackendKind::Kde},
        {{{"GNOME_DESKTOP_SESSION_ID", "this-is-deprecated"}}, BackendKind::Gnome},
        {{{"MATE_DESKTOP_SESSION_ID", "x"}, {"DISPLAY", ":0"}}, BackendKind::Mate},
        {{{"DESKTOP_SESSION", "xfce"}}, BackendKind::Xfce},
        {{{"XDG_CURRENT_DESKTOP", "i3"}, {"DISPLAY", ":0"}}, BackendKind::X11Root},
        {{{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}}, BackendKind::Sway},
        {{}, BackendKind::File},
        // No display: swaybg cannot draw; the settings desktops still can.
        {{{"XDG_CURRENT_DESKTOP", "sway"}}, BackendKind::File},
        {{{"WAYLAND_DISPLAY", ""}, {"XDG_CURRENT_DESKTOP", "GNOME"}}, BackendKind::Gnome},
        {{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"SKYLOOM_WALLPAPER_BACKEND", "X11Root"}},
         BackendKind::X11Root},
        {{{"DISPLAY", ":0"}, {"SKYLOOM_WALLPAPER_BACKEND", "nonsense"}}, BackendKind::X11Root},
    };
    for (const auto& [values, expected] : cases)
        EXPECT_EQ(backendName(detectBackend(env(values))), backendName(expected))
            << (values.empty() ? "(none)" : values.begin()->second);
}

TEST(DesktopDetection, WithoutADisplayTheSessionBusTellsTheDesktop) {
    int asked = 0;
    const auto bus = [&asked](std::vector<std::string> names) {
        return [&asked, names] {
            ++asked;
            return names;
        };
    };
    const std::vector<std::string> gnome{":1.4", "org.freedesktop.Notifications",
                                         "org.gnome.Shell"};
    EXPECT_EQ(detectBackend(env({}), bus(gnome)), BackendKind::Gnome);
    EXPECT_EQ(detectBackend(env({}), bus({"org.xfce.SessionManager", "org.xfce.Xfconf"})),
              BackendKind::Xfce);
    EXPECT_EQ(detectBackend(env({}), bus({"org.Cinnamon", "org.gnome.Shell"})),
              BackendKind::Cinnamon);
    // Plasma's and LXQt's own commands need a display: the file alone.
    EXPECT_EQ(detectBackend(env({}), bus({"org.kde.plasmashell", "org.lxqt.session"})),
              BackendKind::File);
    EXPECT_EQ(detectBackend(env({}), bus({})), BackendKind::File);
    EXPECT_EQ(asked, 5);
    // A display, a named desktop or a forced backend: the bus is not asked.
    EXPECT_EQ(detectBackend(env({{"DISPLAY", ":0"}}), bus(gnome)), BackendKind::X11Root);
    EXPECT_EQ(detectBackend(env({{"XDG_CURRENT_DESKTOP", "XFCE"}}), bus(gnome)), BackendKind::Xfce);
    EXPECT_EQ(detectBackend(env({{"XDG_CURRENT_DESKTOP", "sway"}}), bus(gnome)), BackendKind::File);
    EXPECT_EQ(detectBackend(env({{"SKYLOOM_WALLPAPER_BACKEND", "file"}}), bus(gnome)),
              BackendKind::File);
    EXPECT_EQ(asked, 5);
}

class BackendTest : public ::testing::Test {
protected:
    InstallResult install(BackendKind kind, bool fit = true) {
        auto backend = makeBackend(kind, runner, dir.path());
        WallpaperPicture picture;
        picture.bmpPath = "/home/u/.config/sky loom/Skyloom.bmp";
        picture.pngPath = backend->wantsPng() ? "/home/u/.config/sky loom/Skyloom.png" : "";
        picture.fit = fit;
        return backend->install(picture);
    }
    FakeRunner runner;
    skyloom::test::TempDir dir;
    const std::string uri = "file:///home/u/.config/sky%20loom/Skyloom.bmp";
};

TEST_F(BackendTest, GSettingsDesktops) {
    EXPECT_TRUE(install(BackendKind::Gnome).ok);
    const std::string s = "org.gnome.desktop.background";
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{{"gsettings", "set", s, "picture-uri", uri},
                                    {"gsettings", "set", s, "picture-uri-dark", uri},
                                    {"gsettings", "set", s, "picture-options", "zoom"}}));
    runner.commands.clear();
    EXPECT_TRUE(install(BackendKind::Mate, false).ok);
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{
                  {"gsettings", "set", "org.mate.background", "picture-filename",
                   "/home/u/.config/sky loom/Skyloom.bmp"},
                  {"gsettings", "set", "org.mate.background", "picture-options", "centered"}}));
    runner.commands.clear();
    EXPECT_TRUE(install(BackendKind::Cinnamon).ok);
    EXPECT_EQ(runner.commands.front(),
              (Command{"gsettings", "set", "org.cinnamon.desktop.background", "picture-uri", uri}));
    runner.commands.clear();
    EXPECT_TRUE(makeBackend(BackendKind::Gnome, runner, dir.path())->remove().ok);
    EXPECT_EQ(runner.commands[0], (Command{"gsettings", "set", s, "picture-uri", ""}));
    EXPECT_EQ(runner.commands[2], (Command{"gsettings", "set", s, "picture-options", "none"}));
}

TEST_F(BackendTest, AFailingCommandIsReportedAndStopsTheRest) {
    CommandResult failed;
    failed.started = true;
    failed.exitCode = 1;
    failed.err = "No such schema \"org.gnome.desktop.background\"\n";
    runner.answers["gsettings"] = failed;
    const InstallResult result = install(BackendKind::Gnome);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("exit status 1: No such schema"), std::string::npos)
        << result.message;
    EXPECT_EQ(runner.commands.size(), 1u);
    runner.answers["gsettings"] = CommandResult{}; // not found at all
    EXPECT_NE(install(BackendKind::Gnome).message.find("could not be started"), std::string::npos);
}

TEST_F(BackendTest, XfceSetsEveryWorkspaceAndCreatesMissingProperties) {
    CommandResult listed;
    listed.started = true;
    listed.exitCode = 0;
    listed.out = "/backdrop/screen0/monitor0/workspace0/color-style\n"
                 "/backdrop/screen0/monitor0/workspace0/last-image\n"
                 "/backdrop/screen0/monitor0/workspace1/last-image\n"
                 "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
                 "/backdrop/single-workspace-mode\n";
    runner.answers["xfconf-query"] = listed;
    EXPECT_TRUE(install(BackendKind::Xfce).ok);
    const std::string bmp = "/home/u/.config/sky loom/Skyloom.bmp";
    const std::string c = "xfce4-desktop";
    EXPECT_EQ(
        runner.commands,
        (std::vector<Command>{
            {"xfconf-query", "-c", c, "-l", "-p", "/backdrop"},
            {"xfconf-query", "-c", c, "-p", "/backdrop/screen0/monitor0/workspace0/last-image",
             "-s", bmp},
            {"xfconf-query", "-c", c, "-p", "/backdrop/screen0/monitor0/workspace1/last-image",
             "-s", bmp},
            {"xfconf-query", "-c", c, "-p", "/backdrop/screen0/monitorHDMI-1/workspace0/last-image",
             "-n", "-t", "string", "-s", bmp},
            // The image style: zoomed, created where missing.
            {"xfconf-query", "-c", c, "-p", "/backdrop/screen0/monitor0/workspace0/image-style",
             "-n", "-t", "int", "-s", "5"},
            {"xfconf-query", "-c", c, "-p", "/backdrop/screen0/monitor0/workspace1/image-style",
             "-n", "-t", "int", "-s", "5"},
            {"xfconf-query", "-c", c, "-p",
             "/backdrop/screen0/monitorHDMI-1/workspace0/image-style", "-s", "5"}}));
    runner.commands.clear();
    listed.out = "/backdrop/single-workspace-mode\n";
    runner.answers["xfconf-query"] = listed;
    EXPECT_FALSE(install(BackendKind::Xfce).ok);
}

TEST_F(BackendTest, KdeUsesItsCommandOrTheScriptingCall) {
    runner.installed.insert("plasma-apply-wallpaperimage");
    EXPECT_TRUE(install(BackendKind::Kde).ok);
    EXPECT_EQ(runner.commands, (std::vector<Command>{{"plasma-apply-wallpaperimage",
                                                      "/home/u/.config/sky loom/Skyloom.png"}}));
    runner.commands.clear();
    runner.installed.clear();
    EXPECT_TRUE(install(BackendKind::Kde).ok);
    ASSERT_EQ(runner.commands.size(), 1u);
    const Command& call = runner.commands.front();
    EXPECT_EQ(call.front(), "dbus-send");
    EXPECT_EQ(call[5], "org.kde.PlasmaShell.evaluateScript");
    EXPECT_NE(call[6].find("wallpaperPlugin = 'org.kde.image'"), std::string::npos);
    EXPECT_NE(call[6].find("writeConfig('Image', 'file:///home/u/.config/sky%20loom/Skyloom.png')"),
              std::string::npos)
        << call[6];
}

TEST_F(BackendTest, LxqtAndFile) {
    EXPECT_TRUE(install(BackendKind::Lxqt).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"pcmanfm-qt", "--set-wallpaper", "/home/u/.config/sky loom/Skyloom.bmp",
                       "--wallpaper-mode=zoom"}));
    runner.commands.clear();
    const InstallResult file = install(BackendKind::File);
    EXPECT_TRUE(file.ok);
    EXPECT_NE(file.message.find("Skyloom.bmp"), std::string::npos);
    EXPECT_TRUE(runner.commands.empty());
}

// A picture not fitted to the screen is shown at its own size, centred, by
// every desktop; a fitted one fills the screen.
TEST_F(BackendTest, EveryDesktopHonoursSizeToFit) {
    CommandResult xfceListing;
    xfceListing.started = true;
    xfceListing.exitCode = 0;
    xfceListing.out = "/backdrop/screen0/monitor0/workspace0/last-image\n"
                      "/backdrop/screen0/monitor0/workspace0/image-style\n";
    runner.answers["xfconf-query"] = xfceListing;
    runner.installed.insert("plasma-apply-wallpaperimage");
    runner.alive = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111};
    // What each backend's commands must hold, fitted and not.
    const std::vector<std::tuple<BackendKind, std::string, std::string>> cases{
        {BackendKind::Gnome, "zoom", "centered"},
        {BackendKind::Cinnamon, "zoom", "centered"},
        {BackendKind::Mate, "zoom", "centered"},
        {BackendKind::Xfce, "-s 5", "-s 1"},
        {BackendKind::Kde, "plasma-apply-wallpaperimage", "writeConfig('FillMode', 6)"},
        {BackendKind::Lxqt, "--wallpaper-mode=zoom", "--wallpaper-mode=center"},
        {BackendKind::Sway, "-m fill", "-m center"},
    };
    const auto joined = [&] {
        std::string all;
        for (const auto& command : runner.commands)
            for (const auto& word : command)
                all += word + " ";
        return all;
    };
    for (const auto& [kind, fitted, centred] : cases) {
        for (const bool fit : {true, false}) {
            runner.commands.clear();
            ASSERT_TRUE(install(kind, fit).ok) << backendName(kind);
            const std::string all = joined();
            const std::string& wanted = fit ? fitted : centred;
            const std::string& unwanted = fit ? centred : fitted;
            EXPECT_NE(all.find(wanted), std::string::npos) << backendName(kind) << ": " << all;
            EXPECT_EQ(all.find(unwanted), std::string::npos) << backendName(kind) << ": " << all;
        }
    }
}

TEST_F(BackendTest, SwaybgIsReplacedASecondAfterTheNewOneStarted) {
    runner.alive = {100};
    EXPECT_TRUE(install(BackendKind::Sway).ok);
    EXPECT_EQ(
        runner.commands.back(),
        (Command{"swaybg", "-o", "*", "-i", "/home/u/.config/sky loom/Skyloom.png", "-m", "fill"}));
    EXPECT_TRUE(runner.stopped.empty());
    runner.alive = {100, 101};
    EXPECT_TRUE(install(BackendKind::Sway).ok);
    EXPECT_EQ(runner.paused, std::chrono::milliseconds(2000));
    EXPECT_EQ(runner.stopped, (std::vector<std::int64_t>{100}));
    // A swaybg that ends at once (no wlroots compositor) is a failure, and
    // the one that shows the wallpaper stays.
    runner.alive = {101};
    EXPECT_FALSE(install(BackendKind::Sway).ok);
    EXPECT_EQ(runner.stopped.size(), 1u);
    EXPECT_TRUE(makeBackend(BackendKind::Sway, runner, dir.path())->remove().ok);
    EXPECT_EQ(runner.stopped.back(), 101);
}

// Two monitors: the desktops that span one picture get the composed one,
// the others each monitor's own part.
TEST_F(BackendTest, TwoMonitorsEachDesktopInItsWay) {
    const std::string folder = "/home/u/.config/sky loom/";
    const auto composed = [&](BackendKind kind, bool fit = true) {
        auto backend = makeBackend(kind, runner, dir.path());
        WallpaperPicture picture;
        picture.bmpPath = folder + "Skyloom.bmp";
        picture.fit = fit;
        const bool png = backend->wantsPng();
        if (png)
            picture.pngPath = folder + "Skyloom.png";
        const bool parts = backend->wantsMonitorParts();
        const std::string ext = png ? ".png" : ".bmp";
        picture.monitors = {
            {"DP-2", QRect(1024, 0, 1280, 1024), parts ? folder + "Skyloom-1.bmp" : "",
             parts && png ? folder + "Skyloom-1.png" : ""},
            {"HDMI-1", QRect(0, 0, 1024, 768), parts ? folder + "Skyloom-2.bmp" : "",
             parts && png ? folder + "Skyloom-2.png" : ""}};
        return backend->install(picture);
    };
    // GNOME, Cinnamon, MATE: the composed picture spanned, fitted or not.
    EXPECT_TRUE(composed(BackendKind::Gnome, false).ok);
    const std::string s = "org.gnome.desktop.background";
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{{"gsettings", "set", s, "picture-uri", uri},
                                    {"gsettings", "set", s, "picture-uri-dark", uri},
                                    {"gsettings", "set", s, "picture-options", "spanned"}}));
    runner.commands.clear();
    EXPECT_TRUE(composed(BackendKind::Cinnamon).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", "org.cinnamon.desktop.background", "picture-options",
                       "spanned"}));
    runner.commands.clear();
    EXPECT_TRUE(composed(BackendKind::Mate).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"gsettings", "set", "org.mate.background", "picture-options", "spanned"}));

    // Xfce: each monitor's own last-image, by name, by number in older
    // listings, the primary's for a monitor not connected now.
    CommandResult listed;
    listed.started = true;
    listed.exitCode = 0;
    listed.out = "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                 "/backdrop/screen0/monitorDP-2/workspace0/last-image\n"
                 "/backdrop/screen0/monitorDP-2/workspace1/last-image\n"
                 "/backdrop/screen0/monitor1/workspace0/last-image\n"
                 "/backdrop/screen0/monitorVGA-9/workspace0/last-image\n";
    runner.answers["xfconf-query"] = listed;
    runner.commands.clear();
    EXPECT_TRUE(composed(BackendKind::Xfce, false).ok);
    const std::string c = "xfce4-desktop";
    const auto image = [&](const std::string& monitor, int workspace, const std::string& file) {
        return Command{"xfconf-query",
                       "-c",
                       c,
                       "-p",
                       "/backdrop/screen0/monitor" + monitor + "/workspace" +
                           std::to_string(workspace) + "/last-image",
                       "-s",
                       folder + file};
    };
    ASSERT_GE(runner.commands.size(), 6u);
    EXPECT_EQ(runner.commands[1], image("HDMI-1", 0, "Skyloom-2.bmp"));
    EXPECT_EQ(runner.commands[2], image("DP-2", 0, "Skyloom-1.bmp"));
    EXPECT_EQ(runner.commands[3], image("DP-2", 1, "Skyloom-1.bmp"));
    EXPECT_EQ(runner.commands[4], image("1", 0, "Skyloom-2.bmp"));
    EXPECT_EQ(runner.commands[5], image("VGA-9", 0, "Skyloom-1.bmp"));
    // The parts are their monitors' size: zoomed even when not fitted.
    EXPECT_EQ(runner.commands.back().back(), "5");
    runner.answers.clear();

    // Plasma: each screen's containment its part, never the command that
    // sets one picture everywhere.
    runner.installed.insert("plasma-apply-wallpaperimage");
    runner.commands.clear();
    EXPECT_TRUE(composed(BackendKind::Kde).ok);
    ASSERT_EQ(runner.commands.size(), 1u);
    const std::string& js = runner.commands.front()[6];
    EXPECT_EQ(runner.commands.front().front(), "dbus-send");
    EXPECT_NE(js.find("var files = ['file:///home/u/.config/sky%20loom/Skyloom-1.png', "
                      "'file:///home/u/.config/sky%20loom/Skyloom-2.png']"),
              std::string::npos)
        << js;
    EXPECT_NE(js.find("files[d.screen]"), std::string::npos) << js;
    EXPECT_NE(js.find("writeConfig('Image', f)"), std::string::npos) << js;

    // LXQt: the composed picture stretched over the desktop.
    runner.commands.clear();
    EXPECT_TRUE(composed(BackendKind::Lxqt, false).ok);
    EXPECT_EQ(runner.commands.back(),
              (Command{"pcmanfm-qt", "--set-wallpaper", folder + "Skyloom.bmp",
                       "--wallpaper-mode=stretch"}));

    // sway: one swaybg per output; the ones of the picture before are
    // stopped once all new ones run, and removal stops them all.
    runner.commands.clear();
    runner.alive = {100, 101};
    EXPECT_TRUE(composed(BackendKind::Sway).ok);
    EXPECT_EQ(runner.commands,
              (std::vector<Command>{
                  {"swaybg", "-o", "DP-2", "-i", folder + "Skyloom-1.png", "-m", "fill"},
                  {"swaybg", "-o", "HDMI-1", "-i", folder + "Skyloom-2.png", "-m", "fill"}}));
    runner.alive = {100, 101, 102, 103};
    EXPECT_TRUE(composed(BackendKind::Sway).ok);
    EXPECT_EQ(runner.stopped, (std::vector<std::int64_t>{100, 101}));
    // One of the new ones ending at once: a failure, the new ones stopped,
    // the shown ones kept.
    runner.alive = {102, 103, 104};
    runner.stopped.clear();
    EXPECT_FALSE(composed(BackendKind::Sway).ok);
    EXPECT_EQ(runner.stopped, (std::vector<std::int64_t>{104}));
    runner.stopped.clear();
    EXPECT_TRUE(makeBackend(BackendKind::Sway, runner, dir.path())->remove().ok);
    EXPECT_EQ(runner.stopped, (std::vector<std::int64_t>{102, 103}));
}

TEST(ProcessRunner, ArgumentVectorsExitStatusAndTimeouts) {
    ProcessRunner runner;
    const CommandResult echoed =
        runner.run({"echo", "a  b", "$HOME;", "*"}, std::chrono::seconds(5));
    EXPECT_TRUE(echoed.ok());
    EXPECT_EQ(echoed.out, "a  b $HOME; *\n"); // no shell: nothing expanded or split
    const CommandResult failed = runner.run({"false"}, std::chrono::seconds(5));
    EXPECT_TRUE(failed.started);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_FALSE(runner.run({"skyloom-no-such-program"}, std::chrono::seconds(5)).started);
    EXPECT_FALSE(runner.available("skyloom-no-such-program"));
    EXPECT_TRUE(runner.available("sleep"));
    const CommandResult slow = runner.run({"sleep", "10"}, std::chrono::milliseconds(200));
    EXPECT_TRUE(slow.timedOut);
    EXPECT_FALSE(slow.ok());

    const std::int64_t pid = runner.startDetached({"sleep", "30"});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(runner.running(pid, "sleep"));
    EXPECT_FALSE(runner.running(pid, "swaybg"));
    runner.stop(pid);
    EXPECT_TRUE(skyloom::test::waitUntil([&] { return !runner.running(pid, "sleep"); }));
}

TEST(X11Root, NoServerIsAFailureNotACrash) {
    auto backend = makeX11RootBackend(":9999");
    QImage picture(4, 4, QImage::Format_RGB32);
    WallpaperPicture p;
    p.image = &picture;
    const InstallResult result = backend->install(p);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("cannot open the X display"), std::string::npos);
    EXPECT_FALSE(backend->remove().ok);
}

} // namespace
