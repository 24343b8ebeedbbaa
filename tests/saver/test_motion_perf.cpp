// What the motion and the texts cost: a pan step costs the same for a small
// and a huge panorama, and a description file of many megabytes or with a
// line of a megabyte is read in a moment, no further than the panel shows.

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/Description.h"
#include "saver/Pan.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <vector>

using namespace skyloom;
using namespace skyloom::saver;

namespace {

int fixedWidth(const QString& t) {
    return 10 * static_cast<int>(t.size());
}

class MotionCostTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        return dir.file(name);
    }
    test::TempDir dir;
};

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

TEST_F(MotionCostTest, HugeFilesAndLinesCostOnlyWhatThePanelShows) {
    // 24 MB before the title, then a 1 MB paragraph and 2 000 more.
    std::string big(24 * 1024 * 1024, 'x');
    for (std::size_t i = 80; i < big.size(); i += 81)
        big[i] = '\n';
    big += "\nEnglish=Big\n\n";
    std::string para;
    while (para.size() < 1024 * 1024)
        para += "lorem ipsum dolor sit amet ";
    big += para + "\n";
    for (int i = 0; i < 2000; ++i)
        big += "\nAnother paragraph of text.\n";
    const std::string late = file("Set/late.nfo", big);
    QElapsedTimer t;
    t.start();
    // The title lies beyond what is read: no panel rather than a long wait.
    EXPECT_FALSE(ReadDescription(late, "English", 300, fixedWidth, 30).found);
    EXPECT_LT(t.elapsed(), 2000);

    std::string more;
    for (int i = 0; i < 2000; ++i)
        more += "\nAnother paragraph of text.\n";
    const std::string early = file("Set/early.nfo", "English=Big\n\n" + para + "\n" + more);
    t.restart();
    Description d = ReadDescription(early, "English", 300, fixedWidth, 30);
    EXPECT_LT(t.elapsed(), 2000);
    ASSERT_TRUE(d.found);
    EXPECT_LE(d.lines.size(), 30u);
    EXPECT_EQ(d.lines[2], "lorem ipsum dolor sit amet");
    // The first paragraph alone gives its 20 lines; the budget cuts the rest.
    EXPECT_EQ(d.lines.size(), 30u);
}
