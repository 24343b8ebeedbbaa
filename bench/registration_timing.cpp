// Registering a large library must stay fast: 200 sets of 100 pictures.
// A timing program, not a test: the figures are printed so that they can be
// recorded (docs/PERFORMANCE.md); run build/bench/registration_timing.

#include "SetFolders.h"

#include "imagesets/PlayList.h"
#include "imagesets/SetLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

using namespace skyloom::imagesets;
using skyloom::test::SetFolders;

namespace {

constexpr int kSets = 200;
constexpr int kPictures = 100;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class Performance : public SetFolders {
protected:
    void SetUp() override {
        SetFolders::SetUp();
        // Hard links to one empty file: creating 20,000 files is slow on
        // some file systems and is not what is measured.
        const std::string placeholder = dir.file("placeholder.bmp");
        std::ofstream(placeholder).close();
        for (int s = 0; s < kSets; ++s) {
            std::string folder = "Set" + std::to_string(s) + "/";
            std::string ini = "[SetDescriptions]\r\nSet " + std::to_string(s) + "=x\r\n\r\n[Set " +
                              std::to_string(s) + "]\r\n";
            std::filesystem::create_directories(program + folder);
            for (int p = 0; p < kPictures; ++p) {
                std::string base = "pic" + std::to_string(p);
                ini +=
                    "Picture " + std::to_string(p) + "=" + (p % 10 == 0 ? "*" : "") + base + "\r\n";
                std::filesystem::create_hard_link(placeholder, program + folder + base + ".bmp");
            }
            write(folder + "images.ini", ini);
        }
    }
};

} // namespace

TEST_F(Performance, RegisteringTwoHundredSetsOfOneHundredPictures) {
    auto start = std::chrono::steady_clock::now();
    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    double first = secondsSince(start);
    ASSERT_EQ(lib.Sets().IncludedCollection().count(), kSets);
    EXPECT_EQ(lib.Sets().GetSet("Set 7")->IncludedCount(), 90);
    EXPECT_EQ(lib.Sets().GetSet("Set 7")->ExcludedCount(), 10);

    start = std::chrono::steady_clock::now();
    SetLibrary again;
    ASSERT_EQ(again.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    double second = secondsSince(start);

    start = std::chrono::steady_clock::now();
    for (const auto& e : again.Sets().IncludedCollection())
        e.item->ExcludeImage("Picture 1", "pic1");
    ASSERT_TRUE(again.SaveSetsInfo());
    double save = secondsSince(start);

    start = std::chrono::steady_clock::now();
    clsImageList list;
    BuildAllSetsPlayList(list, PlayListSource{program, program + "Skyloom.ini", 60});
    double playList = secondsSince(start);
    EXPECT_EQ(list.count(), kSets * (kPictures - 11));

    std::printf("register %d sets x %d pictures: %.3f s; refresh unchanged: %.3f s; "
                "save: %.3f s; all-sets play list: %.3f s\n",
                kSets, kPictures, first, second, save, playList);
    EXPECT_LT(first, 2.0);
    EXPECT_LT(second, 2.0);
}
