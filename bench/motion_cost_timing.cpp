// What a pan step costs: the same for a small and a huge panorama. A timing
// program, not a test: run build/bench/motion_cost_timing on an idle machine.

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/Pan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace skyloom;
using namespace skyloom::saver;

namespace {

// Median wall time of a pan step over a picture `length` pixels long.
double medianStepUs(int length) {
    graphics::DeviceContext screen(1920, 1080), picture(length, 1080);
    picture.fill(qRgb(10, 20, 30));
    PanState pan = planPan(kPanLeftToRight, {1920, 1080}, {length, 1080});
    std::vector<double> us;
    for (int i = 0; i < 100 && !pan.done; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        panStep(pan, screen.hdc(), picture.hdc());
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
    }
    std::sort(us.begin(), us.end());
    return us[us.size() / 2];
}

} // namespace

TEST(PanCost, AStepCostsTheSameForASmallAndAHugePanorama) {
    medianStepUs(2048); // warm up
    const double small = medianStepUs(2048), huge = medianStepUs(8192);
    std::printf("pan step on 1920 x 1080: %.0f us (2048-pixel panorama), %.0f us (8192)\n", small,
                huge);
    EXPECT_LT(huge, small * 2 + 200);
    EXPECT_LT(huge, 20000.0); // far below the fastest pan speed worth having
}
