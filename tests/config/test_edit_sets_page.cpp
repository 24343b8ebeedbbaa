// The Edit Sets page model: move captions, set moves with the last-set
// guard, the rotating set preview and the saver page's thumbnail order.

#include "config/EditSetsPage.h"
#include "config/PageLists.h"
#include "imagesets/SetLibrary.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace skyloom;
using namespace skyloom::config;

namespace {

TEST(MoveCaptions, FollowTheListAndTheNumberSelected) {
    EXPECT_EQ(imageMoveCaption(true, 1).text, "Exclude Image");
    EXPECT_EQ(imageMoveCaption(true, 2).text, "Exclude Images");
    EXPECT_EQ(imageMoveCaption(false, 1).text, "Include Image");
    EXPECT_EQ(imageMoveCaption(false, 3).tag, "Include");
    EXPECT_EQ(setMoveCaption(true, 2).text, "Exclude Sets");
    EXPECT_EQ(setMoveCaption(false, 1).text, "Include Set");
    EXPECT_EQ(setMoveCaption(true, 1).tag, "Exclude");
}

TEST(ThumbnailCycleTest, FiveEntriesGoTwoForwardPerStep) {
    ThumbnailCycle cycle;
    EXPECT_FALSE(cycle.step([](const std::string&) { return true; })); // empty: nothing
    for (const char* e : {"1", "2", "3", "4", "5"})
        cycle.add(e);
    std::string order;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(cycle.step([&](const std::string& e) {
            order += e;
            return true;
        }));
    EXPECT_EQ(order, "241352");

    ThumbnailCycle one;
    one.add("only");
    int loads = 0;
    for (int i = 0; i < 3; ++i)
        one.step([&](const std::string& e) { return ++loads, e == "only"; });
    EXPECT_EQ(loads, 3);
}

TEST(ThumbnailCycleTest, AStepTriesEachEntryOnceAndSkipsBadOnes) {
    ThumbnailCycle cycle;
    for (const char* e : {"1", "2", "3", "4"})
        cycle.add(e);
    std::vector<std::string> tried;
    EXPECT_FALSE(cycle.step([&](const std::string& e) {
        tried.push_back(e);
        return false;
    }));
    std::sort(tried.begin(), tried.end());
    EXPECT_EQ(tried, (std::vector<std::string>{"1", "2", "3", "4"}));

    // Entry 2 is unreadable: the step goes on to the next one.
    ThumbnailCycle skip;
    for (const char* e : {"1", "2", "3"})
        skip.add(e);
    std::string shown;
    skip.step([&](const std::string& e) { return e != "2" && (shown = e, true); });
    EXPECT_EQ(shown, "3");
}

class EditSetsModelTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
        ASSERT_EQ(library.InitSetsInfo(program), imagesets::SetLibrary::InitResult::Ok);
    }
    imagesets::SetLibrary library;
};

TEST_F(EditSetsModelTest, TheLastIncludedSetCannotBeExcluded) {
    EditSetsPage page(library);
    EXPECT_FALSE(page.ExcludeSets({"Harbour", "Meadow"}));
    EXPECT_EQ(page.includedSetNames().size(), 2u); // refused: nothing moved
    EXPECT_TRUE(page.ExcludeSets({"Harbour"}));
    EXPECT_TRUE(page.wouldExcludeAll({"Meadow"}));
    EXPECT_FALSE(page.ExcludeSets({"Meadow"}));
    EXPECT_EQ(page.includedSetNames(), std::vector<std::string>{"Meadow"});
    EXPECT_EQ(page.IncludeSets({"Harbour"}), 1);
    EXPECT_EQ(page.includedSetNames(), (std::vector<std::string>{"Meadow", "Harbour"}));
}

TEST_F(EditSetsModelTest, RotatingPreviewWalksIncludedThenExcludedAndStopsWhenEmpty) {
    auto set = library.Sets().GetSet("Meadow");
    EditSetsPage::ExcludeImages(*set, {"Poppies"});
    RotatingPreview preview;
    preview.setSet(set);
    std::vector<std::string> shown;
    auto show = [&](const std::string& path) {
        shown.push_back(std::filesystem::path(path).filename().string());
        return true;
    };
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(preview.step(program, show));
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Grass.bmp", "Oak.bmp", "Poppies.bmp", "Grass.bmp"}));
    EXPECT_EQ(shown.size(), 4u);

    // No picture can be shown: one tick offers each once and then gives up.
    int offers = 0;
    EXPECT_FALSE(preview.step(program, [&](const std::string&) { return ++offers, false; }));
    EXPECT_EQ(offers, 3);

    // A set without pictures ends at once instead of switching lists forever.
    preview.setSet(std::make_shared<imagesets::SetInfoClass>());
    EXPECT_FALSE(preview.step(program, show));
    preview.setSet(nullptr);
    EXPECT_FALSE(preview.step(program, show));
}

TEST_F(EditSetsModelTest, ThumbnailEntriesOfOneSetOrOfAllListedSets) {
    const auto entries = setListEntries(library.Sets());
    ASSERT_EQ(entries.front(), kRandomSetsEntry);
    EXPECT_EQ(thumbnailEntries(library.Sets(), entries, "Harbour"),
              (std::vector<std::string>{"harbour/Boats", "harbour/Quay"}));
    EXPECT_EQ(thumbnailEntries(library.Sets(), entries, kRandomSetsEntry),
              (std::vector<std::string>{"harbour/Boats", "harbour/Quay", "meadow/Grass",
                                        "meadow/Poppies", "meadow/Oak"}));
    EXPECT_TRUE(thumbnailEntries(library.Sets(), entries, "").empty());
    EXPECT_TRUE(thumbnailEntries(library.Sets(), entries, "Gone").empty());
}

} // namespace
