#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "platform/Locations.h"
#include "platform/Registry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace skyloom;
using skyloom::test::TempDir;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { profile::clearCache(); }
    TempDir dir;
    std::string ini() const { return dir.file("ScreenSaver.ini"); }
};

} // namespace

TEST(ChangeTime, SuffixesIndexesAndLimits) {
    EXPECT_EQ(changeSeconds("60s"), 60);
    EXPECT_EQ(changeSeconds("5m"), 300);
    EXPECT_EQ(changeSeconds("1.5m"), 90);
    EXPECT_EQ(changeSeconds(" 2.5s "), 2); // halves go to the even neighbour
    EXPECT_EQ(changeSeconds("3.5s"), 4);
    EXPECT_EQ(changeSeconds("0"), 15); // bare numbers index the time table
    EXPECT_EQ(changeSeconds("4"), 300);
    EXPECT_EQ(changeSeconds("12"), 7200);
    EXPECT_EQ(changeSeconds("13"), 60); // out of the table
    EXPECT_EQ(changeSeconds(""), 15);
    EXPECT_EQ(changeSeconds("-5s"), 0);
    EXPECT_EQ(changeSeconds("999999m"), 32767);
}

TEST(ChangeTime, LeadingNumberIsLikeVal) {
    EXPECT_DOUBLE_EQ(leadingNumber("  12abc"), 12);
    EXPECT_DOUBLE_EQ(leadingNumber("1.25m"), 1.25);
    EXPECT_DOUBLE_EQ(leadingNumber("x1"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("-3"), -3);
}

TEST_F(ProfileTest, IntegerReadsTakeTheLeadingNumberAndDefaultOnlyWhenMissing) {
    dir.write("ScreenSaver.ini", "[PrefsSS]\nRandom=1\nspeed=  42 px\nempty=\nword=yes\nneg=-7\n");
    EXPECT_EQ(ReadIniInt("prefsss", "random", 5, ini()), 1);
    EXPECT_EQ(ReadIniInt("PrefsSS", "Speed", 5, ini()), 42);
    EXPECT_EQ(ReadIniInt("PrefsSS", "empty", 5, ini()), 0);
    EXPECT_EQ(ReadIniInt("PrefsSS", "word", 5, ini()), 0);
    EXPECT_EQ(ReadIniInt("PrefsSS", "neg", 5, ini()), -7);
    EXPECT_EQ(ReadIniInt("PrefsSS", "missing", 5, ini()), 5);
    EXPECT_EQ(ReadIniInt("Nope", "Random", 5, ini()), 5);
    EXPECT_EQ(ReadIniInt("PrefsSS", "Random", 5, dir.file("absent.ini")), 5);
}

TEST_F(ProfileTest, EmptyKeyListsTheSectionsKeysNulSeparated) {
    dir.write("ScreenSaver.ini", "[Sets]\nA=1\nB=2\n[Other]\nC=3\n");
    EXPECT_EQ(ReadIniString("sets", "", "", ini()), std::string("A\0B\0", 4));
    EXPECT_EQ(ReadIniString("Missing", "", "def", ini()), "def");
}

TEST_F(ProfileTest, LongValuesGrowTheBufferUpToItsLimit) {
    std::string big(40000, 'x');
    std::string mid(5000, 'y');
    dir.write("ScreenSaver.ini", "[S]\nbig=" + big + "\nmid=" + mid + "\n");
    EXPECT_EQ(ReadIniString("S", "mid", "", ini()), mid);
    EXPECT_EQ(ReadIniString("S", "big", "", ini()).size(), 32255u);
}

TEST_F(ProfileTest, WritesTrimKeepEmptyValuesAndRewriteInPlace) {
    dir.write("ScreenSaver.ini", "; kept\n[PrefsSS]\nRandom=0\nOther=x\n\n[Logo]\nShow=1\n");
    std::string v = "  1  ";
    ASSERT_TRUE(WriteIniString("PREFSSS", "random", v, ini()));
    EXPECT_EQ(v, "1"); // the caller's variable is trimmed too
    ASSERT_TRUE(WriteIniString("PrefsSS", "change", std::string_view("5m"), ini()));
    ASSERT_TRUE(WriteIniString("Logo", "Show", std::string_view(""), ini()));
    ASSERT_TRUE(WriteIniString("New", "k", std::string_view("v"), ini()));
    EXPECT_EQ(dir.read("ScreenSaver.ini"),
              "; kept\n[PrefsSS]\nRandom=1\nOther=x\nchange=5m\n\n[Logo]\nShow=\n\n[New]\nk=v\n");
    EXPECT_EQ(ReadIniString("Logo", "Show", "def", ini()), "");
}

TEST_F(ProfileTest, UnsafeWritesAreRefusedAndLeaveTheFileAlone) {
    dir.write("ScreenSaver.ini", "[A]\nk=1\n");
    EXPECT_FALSE(WriteIniString("A", "k", std::string_view("1\n[Evil]\nx=1"), ini()));
    EXPECT_FALSE(WriteIniString("A", "k=2", std::string_view("1"), ini()));
    EXPECT_FALSE(WriteIniString("A]x", "k", std::string_view("1"), ini()));
    EXPECT_FALSE(WriteIniString("A", "", std::string_view("1"), ini()));
    // A bare name is what an empty program directory produces.
    EXPECT_FALSE(WriteIniString("A", "k", std::string_view("1"), "ScreenSaver.ini"));
    EXPECT_FALSE(std::filesystem::exists("ScreenSaver.ini"));
    EXPECT_EQ(dir.read("ScreenSaver.ini"), "[A]\nk=1\n");
}

TEST_F(ProfileTest, RemoveIniEntryRemovesExactlyTheNamedSet) {
    dir.write("Images.ini", "[SetDescriptions]\nSea=Waves\nSeashore=Sand\nMy Sea trip=x\n\n"
                            "[Sea]\nImage1=a.jpg\n\n[Seashore]\nImage1=b.jpg\nSea=1\n");
    ASSERT_TRUE(RemoveIniEntry("sea", dir.file("Images.ini")));
    EXPECT_EQ(
        dir.read("Images.ini"),
        "[SetDescriptions]\nSeashore=Sand\nMy Sea trip=x\n\n[Seashore]\nImage1=b.jpg\nSea=1\n");
    // Removing a set that is not there leaves the file as it was.
    ASSERT_TRUE(RemoveIniEntry("Lakes", dir.file("Images.ini")));
    EXPECT_EQ(ReadIniString("Seashore", "Image1", "", dir.file("Images.ini")), "b.jpg");
}

TEST_F(ProfileTest, BadFilesAreReadAndRewrittenWithoutLosingSections) {
    std::string garbage;
    for (int i = 0; i < 2000; ++i)
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    std::string longLine(100 * 1024, 'L');
    std::string text = "[First]\na=1\n" + garbage + "\n[Long]\nv=" + longLine + "\n[Last]\nz=9";
    dir.write("ScreenSaver.ini", text);
    EXPECT_EQ(ReadIniString("Last", "z", "", ini()), "9"); // no trailing newline
    EXPECT_EQ(ReadIniString("First", "a", "", ini()), "1");
    ASSERT_TRUE(WriteIniString("Last", "y", std::string_view("8"), ini()));
    ASSERT_TRUE(WriteIniString("First", "a", std::string_view("2"), ini()));
    std::string after = dir.read("ScreenSaver.ini");
    EXPECT_NE(after.find(garbage), std::string::npos);
    EXPECT_NE(after.find("v=" + longLine), std::string::npos);
    EXPECT_EQ(ReadIniString("Last", "z", "", ini()), "9");
    EXPECT_EQ(ReadIniString("Last", "y", "", ini()), "8");
    EXPECT_EQ(ReadIniString("First", "a", "", ini()), "2");
}

TEST_F(ProfileTest, FailedWriteReportsFailure) {
    EXPECT_FALSE(WriteIniString("A", "k", std::string_view("1"), dir.file("no/such/dir/x.ini")));
}

TEST_F(ProfileTest, ReadsSeeAnotherWriterOfTheSameSizeAndSecond) {
    dir.write("ScreenSaver.ini", "[A]\nk=1\n");
    EXPECT_EQ(ReadIniString("A", "k", "", ini()), "1");
    // Same length, written within the same second: the cache must notice.
    dir.write("ScreenSaver.ini", "[A]\nk=2\n");
    EXPECT_EQ(ReadIniString("A", "k", "", ini()), "2");
}

namespace {

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at a temporary folder.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile::clearCache();
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    }
    TempDir dir;
};

} // namespace

TEST_F(RegistryTest, ProgramPathDefaultsAndGetsItsTrailingSlash) {
    // No registry at all: the default is created and recorded silently.
    std::string p = platform::GetProgramPath();
    EXPECT_EQ(p, dir.file("data") + "/skyloom/program/");
    EXPECT_TRUE(std::filesystem::is_directory(p));
    EXPECT_EQ(platform::readRegistryValue(platform::kProgramPathKey, "@"), p);

    ASSERT_TRUE(platform::writeRegistryValue(platform::kProgramPathKey, "", "/opt/sets"));
    EXPECT_EQ(platform::GetProgramPath(), "/opt/sets/");
    ASSERT_TRUE(platform::writeRegistryValue(platform::kProgramPathKey, "", "C:\\Sky\\Sets\\"));
    EXPECT_EQ(platform::GetProgramPath(), "C:/Sky/Sets/");
    ASSERT_TRUE(platform::writeRegistryValue(platform::kProgramPathKey, "", ""));
    EXPECT_EQ(platform::GetProgramPath(), ""); // "Error getting Registry Data"
}

TEST_F(RegistryTest, RegistryFileLayoutIsTheDocumentedOne) {
    platform::setScreenSaveTimeOut(600);
    platform::setScreenSaveActive(true);
    std::string text = TempDir::readPath(platform::registryFilePath());
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Control Panel\\desktop]"), std::string::npos);
    EXPECT_NE(text.find("ScreenSaveTimeOut=600"), std::string::npos);
    EXPECT_NE(text.find("ScreenSaveActive=1"), std::string::npos);
    EXPECT_EQ(platform::screenSaveTimeOut(), 600);
    EXPECT_TRUE(platform::screenSaveActive());
    platform::setScreenSaveActive(false);
    EXPECT_FALSE(platform::screenSaveActive());
}

TEST_F(RegistryTest, SystemFolderHoldsSystemIni) {
    platform::initialise();
    std::string sys = platform::GetWindowsDir();
    EXPECT_EQ(sys, dir.file("data") + "/skyloom/system");
    EXPECT_TRUE(std::filesystem::is_directory(sys));
    ASSERT_TRUE(WriteIniString("boot", "SCRNSAVE.EXE", std::string_view("x"), "system.ini"));
    EXPECT_TRUE(std::filesystem::exists(sys + "/system.ini"));
}

// A settings file kept as a symbolic link stays one: the write goes to the
// file it points to (also when that file is not made yet), and reading
// through the link sees it.
TEST_F(ProfileTest, WritesThroughASymbolicLinkReachItsTarget) {
    namespace fs = std::filesystem;
    dir.write("dotfiles/ScreenSaver.ini", "[PrefsSS]\nLastImage=3\n");
    fs::create_directories(dir.file("program"));
    const std::string target = dir.file("dotfiles/ScreenSaver.ini");
    const std::string link = dir.file("program/ScreenSaver.ini");
    fs::create_symlink("../dotfiles/ScreenSaver.ini", link);
    ASSERT_TRUE(WriteIniString("PrefsSS", "LastImage", "4", link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(TempDir::readPath(target), "[PrefsSS]\nLastImage=4\n");
    EXPECT_EQ(ReadIniInt("PrefsSS", "LastImage", 0, link), 4);

    const std::string later = dir.file("program/Later.ini");
    fs::create_symlink(dir.file("dotfiles/Later.ini"), later);
    ASSERT_TRUE(WriteIniString("PrefsWP", "enable", "1", later));
    EXPECT_TRUE(fs::is_symlink(later));
    EXPECT_EQ(TempDir::readPath(dir.file("dotfiles/Later.ini")), "[PrefsWP]\nenable=1\n");
}
