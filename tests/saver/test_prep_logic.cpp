// The decisions of a picture change: which entry comes next, which layer,
// the picture's settings and the first view (the fit table is in
// test_fit_table.cpp).

#include "common/ProfileFile.h"
#include "saver/Pan.h"
#include "saver/PrepImageLogic.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <vector>

using namespace skyloom::saver;

namespace {

// A random source that replays the given numbers, then repeats the last.
RandomSource replay(std::vector<double> values) {
    auto pos = std::make_shared<std::size_t>(0);
    return [values, pos] {
        const double v = values[std::min(*pos, values.size() - 1)];
        ++*pos;
        return v;
    };
}

// n changes, each showing the entry chosen.
std::vector<int> sequence(PictureChooser& c, int count, bool title, int n,
                          PictureChooser::Timing& t) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i) {
        out.push_back(c.next(count, title, t));
        c.shown();
    }
    return out;
}

} // namespace

// A change that skips many missing entries writes the position once, when a
// picture is shown, and a change that shows nothing writes nothing.
TEST(PictureChooser, PositionIsWrittenOncePerChange) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureChooser::Timing t{60, 60};
    PictureChooser c(ini, false, replay({0.5}));
    int index = c.next(50, false, t);
    for (int i = 0; i < 40; ++i)
        index = c.following(index, 50, false);
    EXPECT_FALSE(std::filesystem::exists(ini));
    c.shown();
    EXPECT_NE(skyloom::test::TempDir::readPath(ini).find("LastImage=41"), std::string::npos);
    // The next change goes on from the picture shown.
    EXPECT_EQ(c.next(50, false, t), 42);
    c.shown();
    std::filesystem::remove(ini);
    c.shown(); // nothing new chosen: nothing written again
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST(PictureChooser, SequentialOrderContinuesAcrossARestartWithoutTitlePage) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureChooser::Timing t{60, 60};
    {
        PictureChooser c(ini, false, replay({0.5}));
        EXPECT_EQ(sequence(c, 3, false, 4, t), (std::vector<int>{1, 2, 3, 1}));
    }
    skyloom::profile::clearCache();
    PictureChooser again(ini, false, replay({0.5}));
    EXPECT_EQ(sequence(again, 3, false, 3, t), (std::vector<int>{2, 3, 1}));
    EXPECT_EQ(t.displayTime, 60);
}

TEST(PictureChooser, SequentialOrderShowsTheTitlePageFirstAndNeverAgain) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureChooser::Timing t{60, 10}; // pictures 60 s, title page 10 s
    {
        PictureChooser c(ini, false, replay({0.5}));
        EXPECT_EQ(c.next(4, true, t), 1);
        EXPECT_TRUE(c.titleShowing());
        EXPECT_EQ(t.displayTime, 10);
        EXPECT_EQ(sequence(c, 4, true, 4, t), (std::vector<int>{2, 3, 4, 2}));
        EXPECT_FALSE(c.titleShowing());
        EXPECT_EQ(t.displayTime, 60);
    }
    skyloom::profile::clearCache();
    // A restarted saver shows the title page again, then goes on where it was.
    PictureChooser again(ini, false, replay({0.5}));
    PictureChooser::Timing t2{60, 10};
    EXPECT_EQ(sequence(again, 4, true, 3, t2), (std::vector<int>{1, 3, 4}));
}

TEST(PictureChooser, OddStoredPositionsAndTinyListsStayInRange) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    dir.write("ScreenSaver.ini", "[PrefsSS]\nLastImage=-7\n");
    PictureChooser::Timing t{60, 60};
    PictureChooser c(ini, false, replay({0.5}));
    EXPECT_EQ(c.next(3, false, t), 1);
    // A title page alone: shown, and shown again instead of looping for ever.
    PictureChooser random(ini, true, replay({0.0}));
    EXPECT_EQ(random.next(1, true, t), 1);
    EXPECT_EQ(random.next(1, true, t), 1);
}

TEST(PictureChooser, RandomOrderNeverDrawsTheTitlePageAgain) {
    skyloom::test::TempDir dir;
    PictureChooser::Timing t{60, 5};
    // 0.1 of 5 entries is index 1, the title page: drawn again.
    PictureChooser c(dir.file("ScreenSaver.ini"), true, replay({0.1, 0.1, 0.99, 0.5}));
    EXPECT_EQ(c.next(5, true, t), 1); // the title page, first
    EXPECT_EQ(c.next(5, true, t), 5);
    EXPECT_EQ(c.next(5, true, t), 3);
}

TEST(PictureChooser, FollowingVisitsEveryEntryOnceInOnePass) {
    skyloom::test::TempDir dir;
    PictureChooser::Timing t{60, 60};
    for (bool title : {false, true}) {
        PictureChooser c(dir.file("ScreenSaver.ini"), true, replay({0.7}));
        c.next(6, title, t);
        if (title)
            c.next(6, title, t);
        std::set<int> seen{c.currentIndex()};
        int index = c.currentIndex();
        for (int i = 1; i < (title ? 5 : 6); ++i)
            seen.insert(index = c.following(index, 6, title));
        EXPECT_EQ(seen.size(), title ? 5u : 6u);
        EXPECT_EQ(seen.count(1), title ? 0u : 1u);
    }
}

// A missing entry's share is spread over all the others: the entry after it
// is not shown more often than the rest.
TEST(PictureChooser, RandomOrderSkipsAMissingEntryWithoutFavouringItsNeighbour) {
    skyloom::test::TempDir dir;
    PictureChooser::Timing t{60, 60};
    auto engine = std::make_shared<std::mt19937>(7);
    PictureChooser c(dir.file("ScreenSaver.ini"), true,
                     [engine] { return std::uniform_real_distribution<double>(0, 1)(*engine); });
    constexpr int kCount = 6, kMissing = 3, kChanges = 60000;
    std::vector<int> shown(kCount + 1, 0);
    for (int change = 0; change < kChanges; ++change) {
        int index = c.next(kCount, false, t);
        for (int attempt = 1; index == kMissing && attempt < kCount; ++attempt)
            index = c.following(index, kCount, false);
        ASSERT_NE(index, kMissing);
        ++shown[std::size_t(index)];
    }
    const double fair = double(kChanges) / (kCount - 1);
    for (int i = 1; i <= kCount; ++i) {
        if (i != kMissing) {
            EXPECT_NEAR(shown[std::size_t(i)], fair, fair * 0.05) << "entry " << i;
        }
    }
}

TEST(Layer, TranslucencyNormalisation) {
    EXPECT_EQ(normaliseTranslucency(32768), 50);
    EXPECT_EQ(normaliseTranslucency(100), 99);
    EXPECT_EQ(normaliseTranslucency(101), 0);
    EXPECT_EQ(normaliseTranslucency(65535), 100);
    EXPECT_EQ(normaliseTranslucency(40), 40);
    EXPECT_EQ(normaliseTranslucency(0), 0);
}

TEST(Layer, FrequencyThreeBlendsEveryThirdPictureInTurn) {
    LayerChooser layers;
    std::vector<std::string> got;
    for (int i = 0; i < 9; ++i) {
        layers.countPicture();
        got.push_back(layers.ChooseLayer("a.bmp,b.bmp", "20,30", 3, false, replay({0})).image);
    }
    EXPECT_EQ(got, (std::vector<std::string>{"", "", "a.bmp", "", "", "b.bmp", "", "", "a.bmp"}));
}

TEST(Layer, ShortTranslucencyListsAndSingleValues) {
    LayerChooser layers;
    auto pick = [&](const char* images, const char* values) {
        layers.countPicture();
        return layers.ChooseLayer(images, values, 1, false, replay({0}));
    };
    // Three images, two values: the third is blended at 50.
    EXPECT_EQ(pick("a,b,c", "10,20").translucency, 10);
    EXPECT_EQ(pick("a,b,c", "10,20").translucency, 20);
    const LayerChoice third = pick("a,b,c", "10,20");
    EXPECT_EQ(third.image, "c");
    EXPECT_EQ(third.translucency, 50);
    // One value without a comma serves every image.
    layers.layerPosition = 1;
    for (const char* name : {"a", "b", "c"}) {
        const LayerChoice c = pick("a,b,c", "70");
        EXPECT_EQ(c.image, name);
        EXPECT_EQ(c.translucency, 70);
    }
    // Random choice: Int(Rnd × 3) + 1.
    layers.countPicture();
    EXPECT_EQ(layers.ChooseLayer("a,b,c", "1,2,3", 1, true, replay({0.7})).image, "c");
    // No set-wide layer at all.
    layers.countPicture();
    EXPECT_EQ(layers.ChooseLayer("", "50", 1, false, replay({0})).image, "");
}

TEST(PictureSettings, NfoAndCompanyFilesAndLayers) {
    skyloom::test::TempDir dir;
    const std::string program = dir.path() + "/";
    dir.write("Set/pic.nfo", "[Panoramic]\nPanDirection=LeftToRight\nPanoramicOrigin=12.5\n"
                             "[WebLinker]\nURL=https://example.org/pic\n");
    dir.write("Set/company.ini", "[WebLinker]\ncompanyURL=https://c.example\nsetURL=https://s\n"
                                 "SSURL=https://ss\nWebLinker=1\nSSWebLinker=0\n"
                                 "[LayerSS]\nlayerImage=logo.bmp\nlayerTranslucency=32768\n");
    dir.write("Set/LOGO.BMP", "x");
    LayerChooser layers;
    layers.countPicture();
    const auto rnd = replay({0});
    PictureSettings p = readPictureSettings(program, "Set/pic", false, false, layers, rnd);
    EXPECT_EQ(p.panDirection, "LeftToRight");
    EXPECT_EQ(p.panoramicOrigin, 12);
    EXPECT_EQ(p.pictureUrl, "https://example.org/pic");
    EXPECT_EQ(p.companyUrl, "https://c.example");
    EXPECT_EQ(p.setUrl, "https://s");
    EXPECT_EQ(p.saverUrl, "https://ss");
    EXPECT_TRUE(p.webLinkEnabled);
    EXPECT_FALSE(p.saverWebLinkEnabled);
    EXPECT_EQ(p.layerPath, program + "Set/LOGO.BMP"); // letter case of the disk
    EXPECT_EQ(p.layerTranslucency, 50);

    // A title page gets no layer; a layer outside the program folder is refused.
    layers.countPicture();
    EXPECT_EQ(readPictureSettings(program, "Set/pic", true, false, layers, rnd).layerPath, "");
    dir.write("Set/own.bmp.nfo", "[LayerSS]\nlayerImage=../../etc/passwd\nlayerTranslucency=100\n");
    layers.countPicture();
    p = readPictureSettings(program, "Set/own.bmp", false, false, layers, rnd);
    EXPECT_EQ(p.layerPath, "");
    EXPECT_EQ(p.layerTranslucency, 99);
    // No files at all: every default.
    p = readPictureSettings(program, "Other/none", false, false, layers, rnd);
    EXPECT_EQ(p.panDirection, "");
    EXPECT_FALSE(p.webLinkEnabled);
}

TEST(FirstView, PanoramasStartAtTheirEndAndNarrowOnesAreLetterboxed) {
    const Size d{1024, 768};
    FirstView v = planFirstView("", {1024, 768}, d);
    EXPECT_EQ(v.panMode, 0);
    EXPECT_TRUE(v.fromPicture);
    EXPECT_EQ(v.areaWidth, 1024);

    // Filling the display height, "Right...": the view starts at the right end.
    v = planFirstView("RightToLeft", {3072, 768}, d);
    EXPECT_EQ(v.panMode, 8);
    EXPECT_EQ(v.panX, 2048);
    EXPECT_TRUE(v.fromPicture);
    v = planFirstView("BottomToTop", {1024, 3840}, d);
    EXPECT_EQ(v.panMode, 2);
    EXPECT_EQ(v.panY, 3072);
    EXPECT_TRUE(v.fromPicture);

    // Narrower than the display: a window of the display's shape, centred.
    v = planFirstView("LeftToRight", {2048, 512}, d);
    EXPECT_TRUE(v.letterbox);
    EXPECT_EQ(v.windowWidth, 683);
    EXPECT_EQ(v.windowHeight, 512);
    EXPECT_EQ(v.atX, 170); // CInt(170.5)
    EXPECT_EQ(v.atY, 128);
    v = planFirstView("BottomToTop", {800, 3000}, d);
    EXPECT_EQ(v.windowHeight, 600);
    EXPECT_EQ(v.windowY, 2400);
    EXPECT_EQ(v.atX, 112);
    EXPECT_EQ(v.atY, 84);
    // A window larger than the display is cut, never given a negative size.
    v = planFirstView("LeftToRight", {6000, 1500}, d);
    EXPECT_EQ(v.windowWidth, 2000);
    EXPECT_EQ(v.atX, -488);
    EXPECT_EQ(v.atY, -366);
    // A one-pixel-high panorama still gets a window.
    v = planFirstView("TopToBottom", {1, 1}, d);
    EXPECT_GT(v.windowWidth, 0);
    EXPECT_GT(v.windowHeight, 0);

    // Filling the height but narrower than the display: composed on black.
    v = planFirstView("RightToLeft", {700, 768}, d);
    EXPECT_FALSE(v.fromPicture);
    EXPECT_FALSE(v.letterbox);
    EXPECT_EQ(v.windowX, -324);
    EXPECT_EQ(v.areaWidth, 1024);
}

// The pan takes over the letterboxed first view where the transition left
// it: the same window on every display shape (on a 1024x600 screen a 4:3
// first view left a black bar running through the pan).
TEST(FirstView, LetterboxIsTheWindowThePanMoves) {
    struct Case {
        Size display, picture;
        const char* direction;
        int mode;
    };
    const Case cases[] = {
        {{1024, 600}, {2400, 450}, "LeftToRight", kPanLeftToRight},
        {{1024, 600}, {2400, 450}, "RightToLeft", kPanRightToLeft},
        {{1920, 1080}, {5000, 700}, "LeftToRight", kPanLeftToRight},
        {{1280, 1024}, {600, 2600}, "TopToBottom", kPanTopToBottom},
        {{1024, 600}, {500, 2600}, "BottomToTop", kPanBottomToTop},
        {{1024, 768}, {2048, 512}, "LeftToRight", kPanLeftToRight},
    };
    for (const Case& c : cases) {
        const FirstView v = planFirstView(c.direction, c.picture, c.display);
        ASSERT_TRUE(v.letterbox) << c.direction;
        const PanState pan = planPan(c.mode, c.display, c.picture);
        EXPECT_EQ(pan.view.x, v.atX) << c.display.width << "x" << c.display.height;
        EXPECT_EQ(pan.view.y, v.atY) << c.display.width << "x" << c.display.height;
        EXPECT_EQ(pan.view.width, v.windowWidth) << c.display.width << "x" << c.display.height;
        EXPECT_EQ(pan.view.height, v.windowHeight) << c.display.width << "x" << c.display.height;
        // The pan's first new column or row is the one after the window.
        const bool vertical = c.mode == kPanTopToBottom || c.mode == kPanBottomToTop;
        const int along = vertical ? v.windowY : v.windowX;
        const int length = vertical ? v.windowHeight : v.windowWidth;
        EXPECT_EQ(pan.source, pan.direction > 0 ? along + length : along - 1) << c.direction;
    }
}
