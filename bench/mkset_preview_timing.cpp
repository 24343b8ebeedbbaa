// Preview of a large photo: scaled decoding keeps it fast. A timing
// program, not a test: the figure is printed so that it can be recorded;
// run build/bench/mkset_preview_timing.

#include "imagesets/maker/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace skyloom::mkset;

TEST(ThumbnailPerformance, ElephantsPhotoOf5640x3172IsPreviewedInUnder150ms) {
    const std::string path = "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg";
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << "mate-backgrounds is not installed";
    double best = 1e9, worst = 0;
    for (int run = 0; run < 5; ++run) {
        // Reading the file is part of the work measured.
        const auto start = std::chrono::steady_clock::now();
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        const std::string bytes = ss.str();
        std::string error;
        auto p = preparePicture(bytes, "Elephants_5640x3172", error);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        ASSERT_TRUE(p) << error;
        EXPECT_EQ(p->size.width(), 5640);
        EXPECT_EQ(p->size.height(), 3172);
        EXPECT_TRUE(p->encoded.empty());
        EXPECT_EQ(p->preview.size(), 54u + 90 * 480); // 160 x 90, 24-bit
        best = std::min(best, ms);
        worst = std::max(worst, ms);
    }
    std::printf("preview of Elephants_5640x3172.jpg (16 MB, progressive): best %.1f ms, "
                "worst %.1f ms of 5 runs\n",
                best, worst);
    // The machine is shared, so the best run is the measure; the first run
    // also reads the file from disk.
    EXPECT_LT(best, 150.0);
}
