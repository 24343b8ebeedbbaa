// The transition effects: how many steps each takes, that the last step
// leaves exactly the source on the display, and the block orders.

#include "saver/Transition.h"
#include "tests/support/NoiseImage.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <random>
#include <set>

using namespace skyloom;
using namespace skyloom::saver;

using skyloom::test::noise;

namespace {

// The first pixel where the display differs from the source, or "".
std::string firstDifference(const QImage& display, const QImage& source, int sx, int sy, int w,
                            int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (display.pixel(x, y) != source.pixel(x + sx, y + sy))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return {};
}

struct TransitionRun {
    int calls = 0;
    bool exact = false;
    std::string difference;
};

// Runs one whole transition of `type` over a w × h area.
TransitionRun runTransition(int type, int w, int h, int blindSize = 10, int sx = 0, int sy = 0) {
    graphics::DeviceContext display(w, h);
    graphics::DeviceContext source(noise(w + sx, h + sy, 7));
    TransitionClass t;
    t.InitTrasitions(display.hdc(), w, h, "/tmp/");
    t.BlindSize(blindSize);
    t.setRandom([r = std::make_shared<std::mt19937>(3)] {
        return std::uniform_real_distribution<double>(0, 1)(*r);
    });
    t.TransType(type);
    t.AddSourcePic(source.hdc(), w, h, sx, sy);
    TransitionRun run;
    while (!t.Transition() && run.calls < 100000)
        ++run.calls;
    ++run.calls;
    run.difference = firstDifference(display.image(), source.image(), sx, sy, w, h);
    run.exact = run.difference.empty();
    return run;
}

} // namespace

TEST(Transition, EveryEffectEndsWithTheSourceExactlyAndTakesItsStepCount) {
    // Odd sizes so that partial blinds, odd rings and clipped cells occur.
    const int w = 203, h = 117, b = 20;
    struct Case {
        int type;
        int calls;
    };
    const Case cases[] = {
        {kNoTransitions, 1},
        {kVerticalBlinds, b + 1}, // b drawing steps and one finishing step
        {kHorizontalBlinds, b + 1},
        {kVerticalSweep, h + 1}, // one row per step
        {kHorizontalSweep, w + 1},
        {kBoxedIn, h / 2 + 2},             // rings from the border in
        {kHorizontalCenterSweep, 103 + 1}, // from column 102 (CInt(101.5)) outwards
        {kVerticalCenterSweep, 59 + 1},    // from row 58 (CInt(58.5)) outwards
        {kBlockOut, 787 + 1},              // 93 × 93 cells, 11 per step
        {kFastBlockOut, 1},                // everything at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kTransitionNames[c.type]);
        const TransitionRun r = runTransition(c.type, w, h, b);
        EXPECT_EQ(r.calls, c.calls);
        EXPECT_TRUE(r.exact) << "first differing pixel " << r.difference;
    }
}

TEST(Transition, BlindsOfA1024WideDisplay) {
    // Blind size 102: ten blinds of 102 columns and one of 4, 102 drawing steps.
    const TransitionRun r = runTransition(kVerticalBlinds, 1024, 20, 102);
    EXPECT_EQ(r.calls, 103);
    EXPECT_TRUE(r.exact);
    // A blind size of 0 (a display under 5 pixels wide) must not divide by zero.
    EXPECT_TRUE(runTransition(kVerticalBlinds, 4, 4, 0).exact);
}

TEST(Transition, SourceOffsetAndTinyAreas) {
    // The view of a panorama starts inside the source picture.
    EXPECT_TRUE(runTransition(kBlockOut, 64, 48, 10, 300, 0).exact);
    EXPECT_TRUE(runTransition(kBoxedIn, 64, 48, 10, 0, 25).exact);
    for (int type = kNoTransitions; type <= kFastBlockOut; ++type) {
        SCOPED_TRACE(type);
        EXPECT_TRUE(runTransition(type, 1, 1).exact);
        EXPECT_TRUE(runTransition(type, 1, 9).exact);
    }
}

TEST(Transition, StepsReportWhatTheyDrew) {
    graphics::DeviceContext display(100, 50), source(noise(100, 50, 1));
    TransitionClass t;
    t.InitTrasitions(display.hdc(), 100, 50, "/tmp/");
    t.TransType(kHorizontalSweep);
    t.AddSourcePic(source.hdc(), 100, 50, 0, 0);
    t.Transition();
    ASSERT_EQ(t.changed().size(), 1u);
    EXPECT_EQ(t.changed()[0].x, 0);
    EXPECT_EQ(t.changed()[0].width, 1);
    EXPECT_EQ(t.changed()[0].height, 50);
    // Fast Block Out reports the whole area once, not 32,400 cells.
    t.TransType(kFastBlockOut);
    EXPECT_TRUE(t.Transition());
    ASSERT_EQ(t.changed().size(), 1u);
    EXPECT_EQ(t.changed()[0].width, 100);
}

TEST(Transition, AllTransitionsCyclesTwoToNine) {
    int cycle = 0;
    std::vector<int> got;
    for (int i = 0; i < 10; ++i)
        got.push_back(nextTransitionType(kAllTransitions, cycle));
    EXPECT_EQ(got, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9, 2, 3}));
    EXPECT_EQ(nextTransitionType(kFastBlockOut, cycle), kFastBlockOut);
    EXPECT_EQ(nextTransitionType(kNoTransitions, cycle), kNoTransitions);
}

TEST(BlockOrder, IsAShuffleThatAlwaysRevealsTheBottomRightCellLast) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        auto engine = std::make_shared<std::mt19937>(seed);
        const RandomSource random = [engine] {
            return std::uniform_real_distribution<double>(0, 1)(*engine);
        };
        for (int n : {93, 180}) {
            const auto order = shuffledBlockOrder(n, random);
            ASSERT_EQ(order.size(), std::size_t(n) * n);
            EXPECT_EQ(order.back(), n * n - 1);
            EXPECT_EQ(std::set<std::int32_t>(order.begin(), order.end()).size(), order.size());
            if (seed == 1 && n == 93) {
                EXPECT_FALSE(std::is_sorted(order.begin(), order.end()));
            }
        }
    }
    // Even a generator that returns its largest value never moves the last cell.
    const auto extreme = shuffledBlockOrder(4, [] { return 0.9999999; });
    EXPECT_EQ(extreme.back(), 15);
}
