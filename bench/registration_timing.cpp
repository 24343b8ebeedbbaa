// Registering a large library must stay fast: 200 sets of 100 pictures, and
// one set of 1,000 to 20,000 pictures, whose cost must grow in proportion.
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

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class Performance : public SetFolders {
protected:
    void measure(int kSets, int kPictures);
    void make(int kSets, int kPictures) {
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

void Performance::measure(int kSets, int kPictures) {
    auto start = std::chrono::steady_clock::now();
    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    double first = secondsSince(start);
    ASSERT_EQ(lib.Sets().IncludedCollection().count(), kSets);
    EXPECT_EQ(lib.Sets().GetSet("Set 0")->IncludedCount(), kPictures - kPictures / 10);
    EXPECT_EQ(lib.Sets().GetSet("Set 0")->ExcludedCount(), kPictures / 10);

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
    EXPECT_EQ(list.count(), kSets * (kPictures - kPictures / 10 - 1));

    std::printf("register %d sets x %d pictures: %.3f s; refresh unchanged: %.3f s; "
                "save: %.3f s; all-sets play list: %.3f s\n",
                kSets, kPictures, first, second, save, playList);
}

TEST_F(Performance, RegisteringTwoHundredSetsOfOneHundredPictures) {
    make(200, 100);
    measure(200, 100);
}

class OneLargeSet : public Performance, public ::testing::WithParamInterface<int> {};

TEST_P(OneLargeSet, Registering) {
    make(1, GetParam());
    measure(1, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Pictures, OneLargeSet, ::testing::Values(1000, 4000, 16000, 20000));
