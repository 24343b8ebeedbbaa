// A new user's first start makes the "Nature" set from the desktop's
// photographs, but only in the default program directory and only when it
// holds no set.

#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "config/FirstRunSet.h"
#include "imagesets/SetLibrary.h"
#include "platform/Locations.h"
#include "platform/Registry.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace skyloom;

namespace {

class FirstRunSetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char arg0[] = "test_config";
        static char* argv[] = {arg0, nullptr};
        if (!QCoreApplication::instance())
            new QGuiApplication(argc, argv); // the JPEG writer is a plugin
    }
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        setenv("SKYLOOM_FIRST_SET_SOURCE", dir.file("photos").c_str(), 1);
        profile::clearCache();
        std::filesystem::create_directories(dir.file("photos/nature"));
        std::filesystem::create_directories(dir.file("photos/abstract"));
        photo("photos/nature/Aqua.jpg", Qt::blue);
        photo("photos/nature/Dune.jpg", Qt::yellow);
        photo("photos/abstract/Elephants.jpg", Qt::gray);
        photo("photos/abstract/Other.jpg", Qt::red); // not one of the photographs taken
    }
    void photo(const std::string& name, Qt::GlobalColor colour) {
        QImage img(320, 200, QImage::Format_RGB32);
        img.fill(colour);
        ASSERT_TRUE(img.save(QString::fromStdString(dir.file(name)), "JPEG"));
    }
    skyloom::test::TempDir dir;
};

} // namespace

TEST_F(FirstRunSetTest, MadeOnceInTheDefaultDirectoryOnly) {
    const std::string program = platform::GetProgramPath();
    ASSERT_EQ(program, platform::defaultProgramDirectory());
    EXPECT_FALSE(config::hasAnyImageSet(program));
    ASSERT_TRUE(config::makeFirstRunSet(program, nullptr));
    EXPECT_TRUE(config::hasAnyImageSet(program));
    imagesets::SetLibrary library;
    library.InitSetsInfo(program);
    auto pictures = ReadIniString("Nature", "", "", program + "Skyloom.ini");
    EXPECT_EQ(std::count(pictures.begin(), pictures.end(), '\0'), 3); // Aqua, Dune, Elephants
    // A set exists now: nothing is made again.
    EXPECT_FALSE(config::makeFirstRunSet(program, nullptr));
}

TEST_F(FirstRunSetTest, NeverInAUsersOwnDirectoryOrWithoutPhotographs) {
    std::filesystem::create_directories(dir.file("mine"));
    ASSERT_TRUE(platform::writeRegistryValue(platform::kProgramPathKey, "@", dir.file("mine")));
    EXPECT_FALSE(config::makeFirstRunSet(platform::GetProgramPath(), nullptr));
    EXPECT_FALSE(config::hasAnyImageSet(dir.file("mine/")));

    setenv("SKYLOOM_FIRST_SET_SOURCE", dir.file("nothing-here").c_str(), 1);
    EXPECT_FALSE(config::makeFirstRunSet(platform::defaultProgramDirectory(), nullptr));
}
