// The fit table: how a picture of each size is fitted to the display, with
// or without stretch and motion, and how long a panorama may be and move.

#include "saver/PrepImageLogic.h"

#include <gtest/gtest.h>

using namespace skyloom::saver;

struct FitRow {
    const char* name;
    Size source, display;
    const char* pan;
    bool panEnabled, stretch;
    Size target;
    int shiftX, shiftY;
    FitPlan::Copy copy;
    bool smooth;
    bool cut;
};

class FitTable : public ::testing::TestWithParam<FitRow> {};

TEST_P(FitTable, TargetShiftAndCopy) {
    const FitRow& r = GetParam();
    const FitPlan p = planFit(r.source, r.display, r.pan, r.panEnabled, r.stretch, 0);
    EXPECT_EQ(p.target, r.target);
    EXPECT_EQ(p.layerShiftX, r.shiftX);
    EXPECT_EQ(p.layerShiftY, r.shiftY);
    EXPECT_EQ(p.copy, r.copy);
    EXPECT_EQ(p.smooth, r.smooth);
    EXPECT_EQ(p.cut, r.cut);
    EXPECT_GT(p.fitted.width, 0);
    EXPECT_GT(p.fitted.height, 0);
}

using C = FitPlan::Copy;
INSTANTIATE_TEST_SUITE_P(
    Rows, FitTable,
    ::testing::Values(FitRow{"PlainStretched",
                             {640, 480},
                             {1024, 768},
                             "",
                             true,
                             true,
                             {1024, 768},
                             0,
                             0,
                             C::Stretch,
                             true,
                             false},
                      FitRow{"PlainCentred",
                             {640, 480},
                             {1024, 768},
                             "",
                             true,
                             false,
                             {1024, 768},
                             0,
                             0,
                             C::Centre,
                             false,
                             false},
                      FitRow{"SameSize",
                             {1024, 768},
                             {1024, 768},
                             "",
                             true,
                             true,
                             {1024, 768},
                             0,
                             0,
                             C::Same,
                             false,
                             false},
                      FitRow{"LargerShrunk",
                             {4000, 3000},
                             {1024, 768},
                             "Unknown",
                             true,
                             true,
                             {1024, 768},
                             0,
                             0,
                             C::Stretch,
                             false,
                             false},
                      FitRow{"LeftToRightStretched",
                             {2048, 512},
                             {1024, 768},
                             "LeftToRight",
                             true,
                             true,
                             {3072, 768},
                             0,
                             0,
                             C::Stretch,
                             true,
                             false},
                      FitRow{"RightToLeftStretched",
                             {2048, 512},
                             {1024, 768},
                             "RightToLeft",
                             true,
                             true,
                             {3072, 768},
                             2048,
                             0,
                             C::Stretch,
                             true,
                             false},
                      FitRow{"RightToLeftUnstretched",
                             {2048, 512},
                             {1024, 768},
                             "RightToLeft",
                             true,
                             false,
                             {2048, 512},
                             1024,
                             0,
                             C::Same,
                             false,
                             false},
                      FitRow{"BottomToTopStretched",
                             {800, 3000},
                             {1024, 768},
                             "BottomToTop",
                             true,
                             true,
                             {1024, 3840},
                             0,
                             3072,
                             C::Stretch,
                             true,
                             false},
                      FitRow{"TopToBottomUnstretched",
                             {800, 3000},
                             {1024, 768},
                             "TopToBottom",
                             true,
                             false,
                             {800, 3000},
                             0,
                             0,
                             C::Same,
                             false,
                             false},
                      FitRow{"HorizontalStill",
                             {3000, 600},
                             {1024, 768},
                             "RightToLeft",
                             false,
                             true,
                             {1024, 768},
                             0,
                             0,
                             C::Stretch,
                             true,
                             true},
                      FitRow{"VerticalStillCentred",
                             {600, 3000},
                             {1024, 768},
                             "TopToBottom",
                             false,
                             false,
                             {1024, 768},
                             0,
                             0,
                             C::Centre,
                             false,
                             true},
                      // Degenerate sizes: no zero or negative sizes, no huge buffers.
                      FitRow{"OnePixelWidePanorama",
                             {1, 4000},
                             {1920, 1080},
                             "TopToBottom",
                             true,
                             true,
                             {1920, 1080},
                             0,
                             0,
                             C::Stretch,
                             true,
                             true},
                      FitRow{"ZeroSizedPicture",
                             {0, 0},
                             {1024, 768},
                             "LeftToRight",
                             true,
                             true,
                             {768, 768},
                             0,
                             0,
                             C::Stretch,
                             true,
                             false},
                      FitRow{"ZeroSizedDisplay",
                             {640, 480},
                             {0, 0},
                             "",
                             true,
                             true,
                             {1, 1},
                             0,
                             0,
                             C::Stretch,
                             false,
                             false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(FitTable, ExamplesOfTheCentredCopyAndTheStillCut) {
    const FitPlan centred = planFit({640, 480}, {1024, 768}, "", true, false, 0);
    EXPECT_EQ(centred.centreX, 192);
    EXPECT_EQ(centred.centreY, 144);
    // Larger than the display without stretching: cropped, negative corner.
    const FitPlan cropped = planFit({1200, 900}, {1024, 768}, "", true, false, 0);
    EXPECT_EQ(cropped.centreX, -88);
    EXPECT_EQ(cropped.centreY, -66);
    // A still horizontal panorama is cut to the display's shape at its origin.
    const FitPlan still = planFit({3000, 600}, {1024, 768}, "RightToLeft", false, true, 1500);
    EXPECT_EQ(still.fitted, (Size{800, 600}));
    EXPECT_EQ(still.cutX, 1500);
    EXPECT_FALSE(still.keepsPanDirection);
    // An origin beyond the end still cuts a whole piece.
    EXPECT_EQ(planFit({3000, 600}, {1024, 768}, "LeftToRight", false, true, 2900).cutX, 2200);
}

// Long panoramas move, past 32,767 pixels, while their prepared picture
// fits the pixel bound; beyond it they are shown still.
TEST(FitTable, LongPanoramasMoveWithinThePixelBound) {
    const FitPlan moving = planFit({65000, 1080}, {1920, 1080}, "LeftToRight", true, true, 0);
    EXPECT_TRUE(moving.keepsPanDirection);
    EXPECT_EQ(moving.target, (Size{65000, 1080}));
    const FitPlan back = planFit({60000, 1200}, {1280, 720}, "RightToLeft", true, true, 0);
    EXPECT_TRUE(back.keepsPanDirection);
    EXPECT_EQ(back.target, (Size{36000, 720}));
    EXPECT_EQ(back.layerShiftX, 36000 - 1280);
    const FitPlan down = planFit({1000, 50000}, {1000, 700}, "TopToBottom", true, true, 0);
    EXPECT_TRUE(down.keepsPanDirection);
    EXPECT_EQ(down.target, (Size{1000, 50000}));
    EXPECT_TRUE(
        planFit({65000, 2160}, {3840, 2160}, "RightToLeft", true, true, 0).keepsPanDirection);
    EXPECT_TRUE(
        planFit({3840, 65000}, {3840, 2160}, "TopToBottom", true, true, 0).keepsPanDirection);
    // Unstretched, 65,000 × 4,000 is more than the bound: shown still, cut at the origin.
    const FitPlan still = planFit({65000, 4000}, {1920, 1080}, "LeftToRight", true, false, 40000);
    EXPECT_FALSE(still.keepsPanDirection);
    EXPECT_TRUE(still.cut);
    EXPECT_EQ(still.cutX, 40000);
}

// Stretch with proportions kept: the plan for shapes that nearly agree,
// for ones that do not, for a portrait photo, and the old stretch.
TEST(FitPlanShape, CoverWhenCloseInsideWhenFar) {
    const FitPlan close = planFit({1600, 1200}, {1280, 1024}, "", true, true, 0);
    EXPECT_TRUE(close.cover);
    EXPECT_EQ(close.fitted, (Size{1500, 1200}));
    EXPECT_EQ(close.cutX, 50);
    EXPECT_EQ(close.target, (Size{1280, 1024}));
    EXPECT_EQ(close.copy, FitPlan::Copy::Stretch);

    const FitPlan wide = planFit({1920, 1080}, {1024, 768}, "", true, true, 0);
    EXPECT_FALSE(wide.cover);
    EXPECT_EQ(wide.inside, (Size{1024, 576}));
    EXPECT_EQ(wide.insideY, 96);
    EXPECT_FALSE(wide.smooth);

    const FitPlan portrait = planFit({600, 800}, {1024, 768}, "", true, true, 0);
    EXPECT_EQ(portrait.inside, (Size{576, 768}));
    EXPECT_EQ(portrait.insideX, 224);

    const FitPlan small = planFit({320, 180}, {1024, 768}, "", true, true, 0);
    EXPECT_EQ(small.inside, (Size{1024, 576}));
    EXPECT_TRUE(small.smooth);

    const FitPlan same = planFit({640, 480}, {1024, 768}, "", true, true, 0);
    EXPECT_FALSE(same.cover);
    EXPECT_EQ(same.inside.width, 0);
    EXPECT_EQ(same.fitted, (Size{640, 480}));

    const FitPlan old = planFit({1920, 1080}, {1024, 768}, "", true, true, 0, false);
    EXPECT_FALSE(old.cover);
    EXPECT_EQ(old.inside.width, 0);
    EXPECT_EQ(old.fitted, (Size{1920, 1080}));
    EXPECT_EQ(old.copy, FitPlan::Copy::Stretch);
}
