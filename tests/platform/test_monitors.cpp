// The monitor list against real X servers (Xvfb; skipped without it): RandR
// monitors with their names and the primary one first, several X screens,
// the same list with and without a Qt GUI application, and the watch.

#include "platform/Monitors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using skyloom::platform::listDisplayMonitors;
using skyloom::platform::listMonitors;
using skyloom::platform::Monitor;
using skyloom::platform::screenBounds;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs a program to its end, its output collected.
Outcome run(const std::vector<std::string>& argv) {
    Outcome r;
    int fds[2];
    if (pipe(fds) != 0)
        return r;
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned == 0) {
        char buf[4096];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
            r.out.append(buf, std::size_t(n));
        waitpid(pid, &r.status, 0);
    }
    close(fds[0]);
    return r;
}

std::string describe(const std::vector<Monitor>& list) {
    std::string s;
    for (const Monitor& m : list) {
        s += m.name.toStdString() + " " + std::to_string(m.geometry.x()) + "," +
             std::to_string(m.geometry.y()) + " " + std::to_string(m.geometry.width()) + "x" +
             std::to_string(m.geometry.height()) + (m.primary ? " primary" : "") + " screen" +
             std::to_string(m.screenNumber) + " [" + m.windowGroup.toStdString() + "]\n";
    }
    return s;
}

// One Xvfb with the given screens, $DISPLAY pointing at it.
class MonitorsTest : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& screens) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::vector<std::string> argv{"Xvfb",     "-displayfd", std::to_string(fds[1]),
                                      "-noreset", "-nolisten",  "tcp"};
        for (std::size_t i = 0; i < screens.size(); ++i)
            argv.insert(argv.end(), {"-screen", std::to_string(i), screens[i]});
        std::vector<char*> args;
        for (auto& a : argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            server_ = 0;
            GTEST_SKIP() << "Xvfb is not installed";
        }
        // Xvfb writes its display number once it listens.
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        display_ = ":" + number;
        setenv("DISPLAY", display_.c_str(), 1);
    }
    void TearDown() override {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        unsetenv("DISPLAY");
    }
    static void xrandr(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"xrandr"};
        argv.insert(argv.end(), args.begin(), args.end());
        const Outcome r = run(argv);
        ASSERT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << "xrandr failed";
    }
    // The list as a program with a QGuiApplication on xcb sees it.
    static std::string qtList() {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        const Outcome r = run({SKYLOOM_MONITORS_PROBE, "--gui"});
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        EXPECT_TRUE(WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0) << r.out;
        return r.out;
    }
    static bool watchSees(const std::vector<std::string>& command) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        std::vector<std::string> argv{SKYLOOM_MONITORS_PROBE, "--watch"};
        argv.insert(argv.end(), command.begin(), command.end());
        const Outcome r = run(argv);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return WIFEXITED(r.status) && WEXITSTATUS(r.status) == 0;
    }
    pid_t server_ = 0;
    std::string display_;
};

// The probe marks monitors that lack Qt's screen; a GUI list has them all.
std::string withoutQtMarks(std::string s) {
    for (std::size_t at; (at = s.find(" no-qscreen")) != std::string::npos;)
        s.erase(at, 11);
    return s;
}

TEST(MonitorsNoDisplay, EmptyWithoutADisplay) {
    unsetenv("DISPLAY");
    EXPECT_TRUE(listMonitors().empty());
    EXPECT_TRUE(listDisplayMonitors().empty());
}

TEST_F(MonitorsTest, RandrMonitorsPrimaryFirstSameWithQt) {
    start({"3200x1080x24"});
    if (HasFatalFailure() || IsSkipped())
        return;
    // The right monitor is the primary one: the list does not merely keep
    // the server's order.
    xrandr({"--setmonitor", "Left", "1920/508x1080/286+0+0", "screen"});
    xrandr({"--setmonitor", "*Right", "1280/338x1024/270+1920+0", "none"});
    const std::vector<Monitor> list = listMonitors();
    ASSERT_EQ(list.size(), 2u) << describe(list);
    EXPECT_EQ(list[0].name, "Right");
    EXPECT_TRUE(list[0].primary);
    EXPECT_EQ(list[0].geometry, QRect(1920, 0, 1280, 1024));
    EXPECT_EQ(list[0].deviceGeometry, list[0].geometry);
    EXPECT_EQ(list[1].name, "Left");
    EXPECT_FALSE(list[1].primary);
    EXPECT_EQ(list[1].geometry, QRect(0, 0, 1920, 1080));
    EXPECT_EQ(screenBounds(list, 0), QRect(0, 0, 3200, 1080));
    EXPECT_EQ(withoutQtMarks(qtList()), describe(list));
    EXPECT_EQ(qtList().find("no-qscreen"), std::string::npos);

    // The primary moves with RandR's.
    xrandr({"--delmonitor", "Left"});
    xrandr({"--setmonitor", "*Left", "1920/508x1080/286+0+0", "screen"});
    const std::vector<Monitor> moved = listMonitors();
    ASSERT_EQ(moved.size(), 2u) << describe(moved);
    EXPECT_EQ(moved[0].name, "Left");
    EXPECT_TRUE(moved[0].primary);
    EXPECT_FALSE(moved[1].primary);
    EXPECT_EQ(withoutQtMarks(qtList()), describe(moved));
}

TEST_F(MonitorsTest, EveryXScreenWithItsNumber) {
    start({"1024x768x24", "800x600x24"});
    if (HasFatalFailure() || IsSkipped())
        return;
    const std::vector<Monitor> list = listMonitors();
    ASSERT_EQ(list.size(), 2u) << describe(list);
    EXPECT_EQ(list[0].screenNumber, 0);
    EXPECT_TRUE(list[0].primary);
    EXPECT_EQ(list[0].geometry, QRect(0, 0, 1024, 768));
    EXPECT_EQ(list[1].screenNumber, 1);
    // A window cannot reach across X screens: each is a window group.
    EXPECT_EQ(list[0].windowGroup, "screen 0");
    EXPECT_EQ(list[1].windowGroup, "screen 1");
    EXPECT_FALSE(list[1].primary);
    EXPECT_EQ(list[1].geometry, QRect(0, 0, 800, 600));
    EXPECT_EQ(screenBounds(list, 1), QRect(0, 0, 800, 600));
    EXPECT_EQ(withoutQtMarks(qtList()), describe(list));
}

TEST_F(MonitorsTest, WatchTellsAddedAndRemovedMonitors) {
    start({"3200x1080x24"});
    if (HasFatalFailure() || IsSkipped())
        return;
    EXPECT_TRUE(watchSees({"xrandr", "--setmonitor", "Extra", "1280/338x1024/270+1920+0", "none"}));
    EXPECT_EQ(listMonitors().size(), 2u);
    EXPECT_TRUE(watchSees({"xrandr", "--delmonitor", "Extra"}));
    EXPECT_EQ(listMonitors().size(), 1u);
}

} // namespace
