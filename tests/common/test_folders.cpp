// Making folders with their parents, and the reasons when it cannot be done.
#include "common/Folders.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using skyloom::makeFolders;
using skyloom::test::TempDir;
namespace fs = std::filesystem;

TEST(Folders, MakesEveryMissingParentAndAcceptsWhatExists) {
    TempDir dir;
    const std::string deep = dir.file("a/b/c");
    ASSERT_TRUE(makeFolders(deep));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(makeFolders(deep));               // there already
    EXPECT_TRUE(makeFolders(dir.file("a/b/d/"))); // a trailing slash
    EXPECT_TRUE(fs::is_directory(dir.file("a/b/d")));
    // A link to a folder counts as the folder.
    fs::create_directory_symlink(deep, dir.file("link"));
    EXPECT_TRUE(makeFolders(dir.file("link/e")));
    EXPECT_TRUE(fs::is_directory(deep + "/e"));
}

TEST(Folders, RefusesWithTheReason) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(makeFolders("", &error));
    EXPECT_FALSE(error.empty());
    // A file where a folder should be, as the folder or as a parent.
    dir.write("file", "x");
    error.clear();
    EXPECT_FALSE(makeFolders(dir.file("file"), &error));
    EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(makeFolders(dir.file("file/below"), &error));
    EXPECT_NE(error.find(dir.file("file/below")), std::string::npos) << error;
    // A folder that cannot be written to (root may write anyway).
    if (::geteuid() != 0) {
        fs::create_directory(dir.file("closed"));
        ::chmod(dir.file("closed").c_str(), 0500);
        error.clear();
        EXPECT_FALSE(makeFolders(dir.file("closed/new"), &error));
        EXPECT_NE(error.find("Permission denied"), std::string::npos) << error;
        ::chmod(dir.file("closed").c_str(), 0700);
    }
}
