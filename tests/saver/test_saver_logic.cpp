#include "common/ProfileFile.h"
#include "saver/SaverLogic.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace skyloom::saver;

TEST(SaverClock, SetUpShowsFirstPictureAtOnceThenEveryTimeBetween) {
    SaverClock c(true, 3);
    EXPECT_EQ(c.tick(), SaverClock::Action::DoTrans); // first tick
    EXPECT_EQ(c.tick(), SaverClock::Action::None);
    EXPECT_EQ(c.tick(), SaverClock::Action::None);
    EXPECT_EQ(c.tick(), SaverClock::Action::DoTrans);
    EXPECT_EQ(c.nTickCount, 0);
    EXPECT_EQ(c.tick(), SaverClock::Action::None);
    EXPECT_EQ(c.requestedInterval(), 0);
}

TEST(SaverClock, NoticeGreyClimbsFromOneThenSwingsBetween255And64) {
    SaverClock c(false, 60);
    EXPECT_EQ(c.tick(), SaverClock::Action::DrawNotice);
    EXPECT_EQ(c.grey(), 1);
    EXPECT_EQ(c.requestedInterval(), 25);
    int minAfterTop = 255, maxSeen = 0;
    bool reachedTop = false;
    for (int i = 0; i < 2000; ++i) {
        c.tick();
        maxSeen = std::max(maxSeen, c.grey());
        if (c.grey() == 255)
            reachedTop = true;
        else if (reachedTop)
            minAfterTop = std::min(minAfterTop, c.grey());
        ASSERT_GE(c.grey(), 1);
    }
    EXPECT_TRUE(reachedTop);
    EXPECT_EQ(maxSeen, 255);
    EXPECT_EQ(minAfterTop, 64);
}

TEST(MouseTracker, FirstMoveEdgesAndSmallMovesOnlyRecord) {
    MouseTracker m;
    EXPECT_FALSE(m.moved(100, 100)); // first event records
    EXPECT_FALSE(m.moved(105, 95));  // exactly 5 pixels
    EXPECT_TRUE(m.moved(111, 95));   // 6 pixels from the last position
    m.reset();
    EXPECT_FALSE(m.moved(300, 0));   // top edge only records
    EXPECT_FALSE(m.moved(0, 300));   // left edge too
    EXPECT_FALSE(m.moved(400, 300)); // last position had x = 0
    EXPECT_TRUE(m.moved(400, 306));
}

TEST(WebKeys, TabAndEscChooseTheRightAddress) {
    WebLinks l;
    EXPECT_EQ(urlForKey(kKeyTab, l), ""); // nothing enabled
    l.webLinkEnabled = true;
    EXPECT_EQ(urlForKey(kKeyTab, l), ""); // no addresses at all
    l.saverUrl = "https://saver.example/";
    EXPECT_EQ(urlForKey(kKeyTab, l), "https://saver.example/");
    l.companyUrl = "https://company.example/";
    EXPECT_EQ(urlForKey(kKeyTab, l), "https://company.example/");
    l.setUrl = "https://set.example/";
    EXPECT_EQ(urlForKey(kKeyTab, l), "https://set.example/");
    l.pictureUrl = "https://picture.example/";
    EXPECT_EQ(urlForKey(kKeyTab, l), "https://picture.example/");
    EXPECT_EQ(urlForKey(kKeyEsc, l), ""); // saver link flag clear
    l.saverWebLinkEnabled = true;
    EXPECT_EQ(urlForKey(kKeyEsc, l), "https://saver.example/");
    EXPECT_EQ(urlForKey('x', l), "");
}

TEST(SaverLayout, SmallLargeAndStretchedScreens) {
    auto small = computeLayout(800, 600, false);
    EXPECT_EQ(small.picDisp, (Rect{0, 0, 800, 600}));
    EXPECT_EQ(small.nCanvasWidth, 800);
    EXPECT_EQ(small.picDesc.width, 700); // 200 * 3.5
    EXPECT_EQ(small.picDesc.x, 50);
    EXPECT_EQ(small.picDesc.height, 600);

    auto large = computeLayout(1920, 1080, false);
    EXPECT_EQ(large.picDisp, (Rect{448, 156, 1024, 768}));
    EXPECT_EQ(large.picDesc.width, 896);
    EXPECT_EQ(large.blindSize, 102);

    auto stretched = computeLayout(1920, 1080, true);
    EXPECT_EQ(stretched.picDisp, (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(stretched.nCanvasHeight, 768);
    EXPECT_EQ(stretched.picDesc.height, 768); // the panel height stays nominal

    auto narrowOnly = computeLayout(1000, 900, false); // too narrow, tall enough
    EXPECT_EQ(narrowOnly.picDisp, (Rect{0, 0, 1000, 900}));
    EXPECT_EQ(narrowOnly.nCanvasHeight, 900);
}

TEST(SaverSettingsLoad, DefaultsWithoutFilesAndValuesFromThem) {
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("cfg").c_str(), 1);
    skyloom::profile::clearCache();
    const std::string prog = dir.path() + "/";
    auto d = loadSaverSettings(prog);
    EXPECT_FALSE(d.bSetUp);
    EXPECT_EQ(d.nTimeBetween, 60);
    EXPECT_TRUE(d.bUseAll);
    EXPECT_EQ(d.nTransition, 1);
    EXPECT_EQ(d.szLanguage, "English");
    EXPECT_EQ(d.nDescriptiveDelay, 20);
    EXPECT_EQ(d.nPanSpeed, 250);
    EXPECT_TRUE(d.Panamotion && d.bStretch2Fit && d.bCalender);
    EXPECT_EQ(d.CalSize, 20);
    EXPECT_EQ(d.CalPos, 1);
    EXPECT_EQ(d.szScrIni, prog + "ScreenSaver.ini");
    EXPECT_EQ(d.szINI, prog + "Skyloom.ini");

    dir.write("ScreenSaver.ini",
              "[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=1.5m\nRandom=0\nCurrentSet=Sea\n"
              "stretch=0\n[InfoPanel]\ndefaultLanguage=5\nshowText=1\nshowTitle=1\n"
              "[Panoramic]\nenable=0\nspeed=100\n[CalendarSS]\nenable=0\nsize=66\nposition=9\n");
    dir.write("cfg/skyloom/registry.ini",
              "[HKEY_CURRENT_USER\\Control Panel\\desktop]\nScreenSaveUsePassword=1\n");
    auto s = loadSaverSettings(prog);
    EXPECT_TRUE(s.bSetUp);
    EXPECT_TRUE(s.bUsePassword);
    EXPECT_EQ(s.nTimeBetween, 90);
    EXPECT_FALSE(s.bUseAll);
    EXPECT_EQ(s.szCurrentSet, "Sea");
    EXPECT_FALSE(s.bStretch2Fit);
    EXPECT_EQ(s.szLanguage, "Japanese");
    EXPECT_EQ(s.bDescriptive, 1);
    EXPECT_EQ(s.bTitles, 1);
    EXPECT_FALSE(s.Panamotion);
    EXPECT_EQ(s.nPanSpeed, 100);
    EXPECT_FALSE(s.bCalender);
    EXPECT_EQ(s.CalSize, 66);
    EXPECT_EQ(s.CalPos, 9);
    EXPECT_EQ(languageName(0), "English");
    EXPECT_EQ(languageName(6), "English");
}
