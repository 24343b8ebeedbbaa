// Replacing files whole: what readers see, permissions, failures and the
// temporaries that killed writers leave behind.
#include "common/AtomicFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using skyloom::AtomicFile;
using skyloom::writeFileAtomically;
using skyloom::test::TempDir;
namespace fs = std::filesystem;

namespace {

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::size_t entries(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

} // namespace

TEST(AtomicFile, ReplacesWholeAndKeepsTheOldUntilCommit) {
    TempDir dir;
    dir.write("a.ini", "old");
    {
        AtomicFile file(dir.file("a.ini"));
        ASSERT_TRUE(file.write("new contents"));
        EXPECT_EQ(dir.read("a.ini"), "old"); // not in place before the commit
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(dir.read("a.ini"), "new contents");
    EXPECT_EQ(entries(dir.path()), 1u);
    // Abandoned: the old file stays and no temporary is left.
    {
        AtomicFile file(dir.file("a.ini"));
        file.write("half");
    }
    EXPECT_EQ(dir.read("a.ini"), "new contents");
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(AtomicFile, KeepsTheModeOfTheFileItReplacesUnlessForced) {
    TempDir dir;
    dir.write("secret", "x");
    ::chmod(dir.file("secret").c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(dir.file("secret"), "y"));
    EXPECT_EQ(modeOf(dir.file("secret")), 0600u);
    ASSERT_TRUE(writeFileAtomically(dir.file("fresh"), "z", {.mode = 0640}));
    EXPECT_EQ(modeOf(dir.file("fresh")), 0640u);
    ASSERT_TRUE(writeFileAtomically(dir.file("secret"), "w", {.mode = 0644, .forceMode = true}));
    EXPECT_EQ(modeOf(dir.file("secret")), 0644u);
}

TEST(AtomicFile, FailuresAreReportedAndChangeNothing) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir.file("missing/folder/x"), "y", &error));
    EXPECT_NE(error.find("missing/folder/x"), std::string::npos) << error;
    // A folder where the file should go: the rename fails, nothing is left.
    fs::create_directory(dir.file("taken"));
    dir.write("taken/inside", "keep");
    error.clear();
    EXPECT_FALSE(writeFileAtomically(dir.file("taken"), "y", &error));
    EXPECT_NE(error.find("cannot replace"), std::string::npos) << error;
    EXPECT_EQ(dir.read("taken/inside"), "keep");
    EXPECT_EQ(entries(dir.path()), 1u);
}

// Ranges written by several threads at once each land in their place, and
// a failure in any of them keeps the file from being put in place.
TEST(AtomicFile, RangesWrittenAtOnceAndTheirFailures) {
    TempDir dir;
    dir.write("p.bmp", "old");
    {
        AtomicFile file(dir.file("p.bmp"));
        ASSERT_TRUE(file.write("head:"));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&file, t] {
                for (int part = t; part < 64; part += 4) {
                    const std::string text(100, char('A' + part % 26));
                    EXPECT_TRUE(file.writeAt(5 + 100 * std::uint64_t(part), text.data(), 100));
                }
            });
        for (std::thread& t : threads)
            t.join();
        ASSERT_TRUE(file.commit());
    }
    const std::string written = dir.read("p.bmp");
    ASSERT_EQ(written.size(), 5u + 6400u);
    EXPECT_EQ(written.substr(0, 5), "head:");
    for (int part = 0; part < 64; ++part)
        EXPECT_EQ(written.substr(5 + 100 * std::size_t(part), 100),
                  std::string(100, char('A' + part % 26)))
            << "part " << part;

    // Past the largest file the process may write: the failure is reported
    // and the old file stays.
    {
        const skyloom::test::FileSizeLimit limit(4096);
        AtomicFile file(dir.file("p.bmp"));
        const std::string block(1000, 'x');
        std::thread other([&] { EXPECT_FALSE(file.writeAt(8000, block.data(), block.size())); });
        EXPECT_TRUE(file.writeAt(0, block.data(), block.size()));
        other.join();
        EXPECT_FALSE(file.ok());
        EXPECT_NE(file.error().find("cannot write"), std::string::npos) << file.error();
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(dir.read("p.bmp").size(), 5u + 6400u);
}

// Reserving gives the file its whole size at once, reading as zeroes where
// nothing is written yet; a size past what the process may write fails at
// once, by name, and the old file stays.
TEST(AtomicFile, ReservedFilesHaveTheirSizeOrFailAtOnce) {
    TempDir dir;
    {
        AtomicFile file(dir.file("r.bin"));
        ASSERT_TRUE(file.reserve(10000));
        ASSERT_TRUE(file.writeAt(9990, "0123456789", 10));
        ASSERT_TRUE(file.reserve(0));
        ASSERT_TRUE(file.commit());
    }
    const std::string written = dir.read("r.bin");
    ASSERT_EQ(written.size(), 10000u);
    EXPECT_EQ(written.substr(9990), "0123456789");
    EXPECT_EQ(written.substr(0, 9990), std::string(9990, '\0'));
    {
        const skyloom::test::FileSizeLimit limit(4096);
        AtomicFile file(dir.file("r.bin"));
        EXPECT_FALSE(file.reserve(8192));
        EXPECT_NE(file.error().find("cannot write " + dir.file("r.bin")), std::string::npos)
            << file.error();
        EXPECT_FALSE(file.commit());
    }
    EXPECT_EQ(dir.read("r.bin"), written);
}

TEST(AtomicFile, OnlyTemporariesOfEndedWritersAreRemoved) {
    TempDir dir;
    // A writer that has ended: a child that exits at once.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string prefix = AtomicFile::temporaryPrefix("s.ini");
    dir.write(prefix + std::to_string(gone) + ".0", "stale");
    dir.write(prefix + std::to_string(::getpid()) + ".7", "mine, in progress");
    dir.write(".other.ini.tmp." + std::to_string(gone) + ".0", "another file's");
    AtomicFile::removeStaleTemporaries(dir.path(), "s.ini");
    EXPECT_FALSE(fs::exists(dir.file(prefix + std::to_string(gone) + ".0")));
    EXPECT_TRUE(fs::exists(dir.file(prefix + std::to_string(::getpid()) + ".7")));
    EXPECT_TRUE(fs::exists(dir.file(".other.ini.tmp." + std::to_string(gone) + ".0")));
    // Under the file's lock every temporary is stale.
    AtomicFile::removeStaleTemporaries(dir.path(), "s.ini", true);
    EXPECT_FALSE(fs::exists(dir.file(prefix + std::to_string(::getpid()) + ".7")));
}

TEST(AtomicFile, AWriterKilledMidwayLeavesTheOldFile) {
    TempDir dir;
    dir.write("a.ini", "old");
    // The child ends without any destructor running, as after a crash.
    const pid_t writer = ::fork();
    if (writer == 0) {
        AtomicFile file(dir.file("a.ini"));
        file.write("half of the new");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(writer, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(dir.read("a.ini"), "old");
    EXPECT_EQ(entries(dir.path()), 2u); // the old file and the dead writer's temporary
    AtomicFile::removeStaleTemporaries(dir.path(), "a.ini");
    EXPECT_EQ(entries(dir.path()), 1u);
    ASSERT_TRUE(writeFileAtomically(dir.file("a.ini"), "new"));
    EXPECT_EQ(dir.read("a.ini"), "new");
}

TEST(AtomicFile, ReplaceFilePutsAFinishedFileInPlace) {
    using skyloom::replaceFile;
    for (const bool durable : {true, false}) {
        SCOPED_TRACE(durable ? "durable" : "work file");
        TempDir dir;
        const AtomicFile::Options options{.durable = durable};
        dir.write("shown.bmp", "old picture");
        dir.write("work.bmp", "new picture");
        ASSERT_TRUE(replaceFile(dir.file("work.bmp"), dir.file("shown.bmp"), options));
        EXPECT_EQ(dir.read("shown.bmp"), "new picture");
        EXPECT_FALSE(fs::exists(dir.file("work.bmp")));
        // Nothing to put in place: the old file stays and the reason names it.
        std::string error;
        EXPECT_FALSE(replaceFile(dir.file("work.bmp"), dir.file("shown.bmp"), options, &error));
        EXPECT_NE(error.find("shown.bmp"), std::string::npos) << error;
        EXPECT_EQ(dir.read("shown.bmp"), "new picture");
        // A folder in the way: the finished file is kept for another try.
        fs::create_directory(dir.file("taken"));
        dir.write("taken/inside", "keep");
        dir.write("work.bmp", "again");
        EXPECT_FALSE(replaceFile(dir.file("work.bmp"), dir.file("taken"), options, &error));
        EXPECT_EQ(dir.read("work.bmp"), "again");
        EXPECT_EQ(dir.read("taken/inside"), "keep");
    }
}

// Work files (not flushed) replace an existing file by swapping it out: the
// result must be the same as a rename over it.
TEST(AtomicFile, WorkFilesReplaceAsARenameWould) {
    TempDir dir;
    const AtomicFile::Options work{.durable = false};
    dir.write("shown.bmp", "old picture");
    ::chmod(dir.file("shown.bmp").c_str(), 0600);
    // A reader that has the old file open goes on reading the old picture.
    FILE* reader = std::fopen(dir.file("shown.bmp").c_str(), "rb");
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(writeFileAtomically(dir.file("shown.bmp"), "new picture", work));
    EXPECT_EQ(dir.read("shown.bmp"), "new picture");
    EXPECT_EQ(modeOf(dir.file("shown.bmp")), 0600u);
    EXPECT_EQ(entries(dir.path()), 1u); // the old file is gone, no temporary left
    char old[32] = {};
    EXPECT_EQ(std::fread(old, 1, sizeof old - 1, reader), 11u);
    EXPECT_STREQ(old, "old picture");
    std::fclose(reader);
    // A link in the file's place is replaced by the file; what it pointed to stays.
    dir.write("target.bmp", "linked");
    fs::create_symlink(dir.file("target.bmp"), dir.file("link.bmp"));
    ASSERT_TRUE(writeFileAtomically(dir.file("link.bmp"), "fresh", work));
    EXPECT_FALSE(fs::is_symlink(dir.file("link.bmp")));
    EXPECT_EQ(dir.read("link.bmp"), "fresh");
    EXPECT_EQ(dir.read("target.bmp"), "linked");
    EXPECT_EQ(entries(dir.path()), 3u);
}
