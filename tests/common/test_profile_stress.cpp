// Several processes writing one settings file at once: no lost update, and a
// writer killed at any moment leaves the old or the new file, never a torn
// one, and no lock that blocks the next writer.

#include "common/IniDocument.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace skyloom;
using skyloom::test::TempDir;

namespace {

// Runs `body` in a child process and returns its pid.
template <typename F> pid_t spawn(F body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        profile::clearCache();
        int rc = body();
        std::_Exit(rc);
    }
    return pid;
}

int waitExit(pid_t pid) {
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string padded(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06d", n);
    return buf;
}

} // namespace

TEST(ProfileConcurrency, EightWritersLoseNoUpdate) {
    TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    dir.write("ScreenSaver.ini", "[PrefsSS]\nRandom=1\n");
    constexpr int kWriters = 8;
    // Every update rereads and rewrites the whole file, so the work grows with
    // the square of this; 200 each still interleave thousands of writes.
    constexpr int kUpdates = 200;
    std::vector<pid_t> kids;
    for (int w = 0; w < kWriters; ++w) {
        kids.push_back(spawn([&, w] {
            const std::string section = "Writer" + std::to_string(w);
            for (int i = 0; i < kUpdates; ++i) {
                // Read-modify-write of the writer's own keys; the values all
                // have the same length, so the file's size never tells the
                // writers apart.
                int last = ReadIniInt(section, "last", -1, ini);
                if (last != i - 1)
                    return 2; // another process's write hid this one's
                if (!WriteIniString(section, "k" + padded(i), padded(i), ini))
                    return 3;
                if (!WriteIniString(section, "last", padded(i), ini))
                    return 4;
            }
            return 0;
        }));
    }
    for (pid_t k : kids)
        EXPECT_EQ(waitExit(k), 0);

    profile::clearCache();
    auto doc = profile::load(ini);
    int present = 0;
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kUpdates; ++i)
            present += doc->value("Writer" + std::to_string(w), "k" + padded(i)) == padded(i);
    EXPECT_EQ(present, kWriters * kUpdates);
    EXPECT_EQ(doc->value("PrefsSS", "Random"), "1");
}

TEST(ProfileConcurrency, KilledWritersLeaveOldOrNewFileAndNoStaleLock) {
    TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    const std::string lockFile = dir.file(".ScreenSaver.ini.lock");
    constexpr int kKeys = 200;
    // Every generation rewrites all keys with the same number: a file whose
    // keys disagree, or that lacks some, is torn.
    auto writeGeneration = [&](int g) {
        return profile::update(ini, [&](IniDocument& doc) {
            for (int k = 0; k < kKeys; ++k)
                doc.set("Gen", "key" + std::to_string(k), padded(g));
            return true;
        });
    };
    ASSERT_TRUE(writeGeneration(0));

    std::mt19937 rng(12345);
    constexpr int kKills = 300;
    for (int round = 0; round < kKills; ++round) {
        pid_t kid = spawn([&] {
            for (int g = 1;; ++g)
                writeGeneration(round * 100000 + g);
            return 0;
        });
        ::usleep(std::uniform_int_distribution<int>(0, 4000)(rng));
        ::kill(kid, SIGKILL);
        ::waitpid(kid, nullptr, 0);

        profile::clearCache();
        auto doc = profile::load(ini);
        auto first = doc->value("Gen", "key0");
        ASSERT_TRUE(first.has_value()) << "round " << round;
        for (int k = 1; k < kKeys; ++k)
            ASSERT_EQ(doc->value("Gen", "key" + std::to_string(k)), first)
                << "torn file in round " << round;

        // The killed writer's lock went with it: the next writer gets it at once.
        const int lockFd = ::open(lockFile.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(lockFd, 0);
        EXPECT_EQ(::flock(lockFd, LOCK_EX | LOCK_NB), 0) << "stale lock in round " << round;
        ::close(lockFd);
        ASSERT_TRUE(WriteIniString("Other", "round", std::to_string(round), ini));
    }
    // Temporaries of killed writers do not pile up.
    int leftovers = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        leftovers += e.path().filename().string().find(".tmp.") != std::string::npos;
    EXPECT_EQ(leftovers, 0);
    EXPECT_EQ(ReadIniString("Other", "round", "", ini), std::to_string(kKills - 1));
}
