#include "platform/Locations.h"
#include "platform/Process.h"
#include "platform/SingleInstance.h"
#include "platform/System.h"
#include "tests/support/TempDir.h"

#include "tests/support/Wait.h"
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace skyloom::platform;
using skyloom::test::TempDir;

TEST(Urls, OnlyWebAndMailAddressesAreOpenable) {
    EXPECT_TRUE(isOpenableUrl("https://example.com/a?b=c"));
    EXPECT_TRUE(isOpenableUrl("HTTP://example.com"));
    EXPECT_TRUE(isOpenableUrl("mailto:someone@example.com"));
    EXPECT_FALSE(isOpenableUrl("javascript:alert(1)"));
    EXPECT_FALSE(isOpenableUrl("file:///etc/passwd"));
    EXPECT_FALSE(isOpenableUrl("/usr/bin/xterm"));
    EXPECT_FALSE(isOpenableUrl("--help"));
    EXPECT_FALSE(isOpenableUrl("https://example.com/a b"));
    EXPECT_FALSE(isOpenableUrl("https://example.com/\n--x"));
    EXPECT_FALSE(isOpenableUrl(""));
}

TEST(Urls, OpenerGetsTheAddressAsOneArgument) {
    TempDir dir;
    const std::string out = dir.file("args.txt");
    dir.write("opener.sh", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > " + out + ".part && mv " + out +
                               ".part " + out + "\n");
    std::filesystem::permissions(dir.file("opener.sh"), std::filesystem::perms::owner_all);
    setenv("SKYLOOM_URL_OPENER", dir.file("opener.sh").c_str(), 1);
    EXPECT_FALSE(openUrl("file:///etc/passwd"));
    ASSERT_TRUE(openUrl("https://example.com/?q=$(touch%20x);rm"));
    EXPECT_TRUE(skyloom::test::waitUntil([&] { return std::filesystem::exists(out); }));
    EXPECT_EQ(dir.read("args.txt"), "1|https://example.com/?q=$(touch%20x);rm|");
    unsetenv("SKYLOOM_URL_OPENER");
}

TEST(SingleInstance, OneOwnerPerProgramReleasedWhenTheOwnerDies) {
    TempDir dir;
    setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    {
        SingleInstance first("skyloom");
        EXPECT_FALSE(first.previousInstance());
        SingleInstance second("skyloom");
        EXPECT_TRUE(second.previousInstance());
        SingleInstance other("paperwheel");
        EXPECT_FALSE(other.previousInstance());
    }
    // A child holds the lock and is killed: the lock goes with it.
    int pipefd[2];
    ASSERT_EQ(::pipe(pipefd), 0);
    pid_t kid = ::fork();
    if (kid == 0) {
        SingleInstance held("skyloom");
        char c = held.previousInstance() ? 'n' : 'y';
        (void)!::write(pipefd[1], &c, 1);
        ::pause();
        std::_Exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(pipefd[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    EXPECT_TRUE(SingleInstance("skyloom").previousInstance());
    ::kill(kid, SIGKILL);
    ::waitpid(kid, nullptr, 0);
    EXPECT_FALSE(SingleInstance("skyloom").previousInstance());
    ::close(pipefd[0]);
    ::close(pipefd[1]);
}

TEST(SystemFigures, MemInfoAndDepthOverride) {
    auto m = parseMemInfo("MemTotal:       16314336 kB\nMemFree:  100 kB\n"
                          "MemAvailable:    8000000 kB\n");
    EXPECT_EQ(m.totalPhysical, 16314336ull * 1024);
    EXPECT_EQ(m.availablePhysical, 8000000ull * 1024);
    EXPECT_EQ(parseMemInfo("garbage").totalPhysical, 0u);
    setenv("SKYLOOM_DISPLAY_DEPTH", "16", 1);
    EXPECT_EQ(displayBitsPerPixel(), 16);
    setenv("SKYLOOM_DISPLAY_DEPTH", "7", 1); // not a depth: ignored
    EXPECT_NE(displayBitsPerPixel(), 7);
    unsetenv("SKYLOOM_DISPLAY_DEPTH");
}

TEST(Processes, RunCapturesOutputStatusAndStopsOverrunningPrograms) {
    const ProcessResult ok = runProcess({"sh", "-c", "echo out; echo err >&2; exit 3"});
    EXPECT_TRUE(ok.started);
    EXPECT_EQ(ok.exitCode, 3);
    EXPECT_EQ(ok.out, "out\n");
    EXPECT_EQ(ok.describe(), "exit status 3: err");
    // Arguments are never read by a shell.
    const ProcessResult literal = runProcess({"echo", "$HOME;", "`id`"});
    EXPECT_EQ(literal.out, "$HOME; `id`\n");
    const ProcessResult missing = runProcess({"/nonexistent/program"});
    EXPECT_FALSE(missing.started);
    EXPECT_EQ(missing.describe(), "could not be started");
    const ProcessResult slow = runProcess({"sleep", "30"}, std::chrono::milliseconds(200));
    EXPECT_TRUE(slow.timedOut);
    EXPECT_FALSE(slow.ok());
}

TEST(Processes, DetachedProgramsAreTrackedByTheirIdAndName) {
    std::string error;
    EXPECT_EQ(startDetached({"/nonexistent/program"}, &error), 0);
    EXPECT_FALSE(error.empty());
    const std::int64_t pid = startDetached({"sleep", "30"});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(processAlive(pid));
    EXPECT_TRUE(processRunning(pid, "sleep"));
    EXPECT_FALSE(processRunning(pid, "swaybg"));
    stopProcess(pid);
    // Not our child: it is reaped by init, so wait for it to disappear.
    EXPECT_TRUE(skyloom::test::waitUntil([&] { return !processAlive(pid); }));
}
