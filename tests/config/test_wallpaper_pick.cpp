// The automatic pick of the next wallpaper: it never repeats the picture on
// show while another one can be taken, and still reaches every other picture.

#include "config/PageLists.h"
#include "config/WallpaperPage.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace skyloom;
using namespace skyloom::config;

namespace {

class WallpaperPickTest : public test::ConfigFixture {
protected:
    // Many unattended changes in a row, each from a freshly loaded page as a
    // new run of " /wall" has it, each recorded as the next one's picture on
    // show. Returns how often each "set/picture" was picked.
    std::map<std::string, int> changes(const std::string& settingsText, int runs, unsigned seed) {
        writeSettings(settingsText);
        imagesets::SetLibrary library;
        EXPECT_EQ(library.InitSetsInfo(), imagesets::SetLibrary::InitResult::Ok);
        std::mt19937 random(seed);
        std::map<std::string, int> picked;
        for (int run = 0; run < runs; ++run) {
            const std::string before =
                value("PrefsWP", "CurrentSet") + "/" + value("PrefsWP", "CurrentImage");
            WallpaperPage page(library);
            page.InitSetList();
            page.InitWallpaperPage();
            if (!page.PickRandomPicture(random)) {
                ADD_FAILURE() << "no picture picked in run " << run;
                break;
            }
            page.bWallpaperAutoChange = true;
            EXPECT_TRUE(page.SaveSettings());
            const std::string after = page.setEntry() + "/" + page.currentImageName;
            EXPECT_NE(after, before) << "run " << run << " kept the picture on show";
            ++picked[after];
        }
        return picked;
    }
};

TEST_F(WallpaperPickTest, OneSetNeverRepeatsThePictureOnShow) {
    makeSet("pair", "Pair", {"Left", "Right"});
    makeSet("three", "Three", {"A", "B", "C"});
    // Two pictures: every change swaps them.
    auto picked = changes("[PrefsWP]\nrandom=0\nCurrentSet=Pair\nCurrentImage=Left\n", 40, 1);
    EXPECT_EQ(picked["Pair/Right"], 20);
    EXPECT_EQ(picked["Pair/Left"], 20);
    // Three pictures: never the same twice in a row, each of them reached.
    picked = changes("[PrefsWP]\nrandom=0\nCurrentSet=Three\nCurrentImage=B\n", 300, 2);
    EXPECT_EQ(picked.size(), 3u);
    for (const auto& [name, count] : picked)
        EXPECT_GT(count, 60) << name;
}

TEST_F(WallpaperPickTest, AllSetsNeverRepeatThePictureOnShow) {
    makeSet("pair", "Pair", {"Left", "Right"});
    makeSet("single", "Single", {"Only"});
    // The single picture's set drawn again goes to the other set.
    auto picked = changes("[PrefsWP]\nrandom=1\nCurrentSet=Single\nCurrentImage=Only\n", 300, 3);
    EXPECT_EQ(picked.size(), 3u);
    for (const auto& [name, count] : picked)
        EXPECT_GT(count, 40) << name;
}

TEST_F(WallpaperPickTest, ASinglePictureIsTakenAgain) {
    makeSet("single", "Single", {"Only"});
    writeSettings("[PrefsWP]\nrandom=0\nCurrentSet=Single\nCurrentImage=Only\n");
    imagesets::SetLibrary library;
    ASSERT_EQ(library.InitSetsInfo(), imagesets::SetLibrary::InitResult::Ok);
    WallpaperPage page(library);
    page.InitSetList();
    std::mt19937 random(4);
    ASSERT_TRUE(page.PickRandomPicture(random));
    EXPECT_EQ(page.currentImageName, "Only");
}

} // namespace
