// The page models of the configuration dialog: how the Screen Saver and
// Wallpaper pages read the stored settings, what they fall back to, and what
// they write.

#include "config/PageLists.h"
#include "config/ScreenSaverPage.h"
#include "config/WallpaperPage.h"
#include "tests/config/ConfigFixture.h"

#include "platform/Password.h"

#include <gtest/gtest.h>

using namespace skyloom;
using namespace skyloom::config;

namespace {

class ScreenSaverPageTest : public test::ConfigFixture {
protected:
    ScreenSaverPage load(bool fromProps = false) {
        ScreenSaverPage page(settings, platform::GetWindowsDir() + "/Skyloom.scr");
        page.LoadScreenSaverPage(fromProps, entries);
        return page;
    }
    std::vector<std::string> entries = {kRandomSetsEntry, "Harbour", "Meadow"};
};

// "Password protected" is stored only when some password could end the
// lock; otherwise the stored switch stays as it was and the page says why.
TEST_F(ScreenSaverPageTest, PasswordProtectedIsStoredOnlyWhenAPasswordCouldEndTheLock) {
    // No PAM service here, whatever the machine has installed.
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("pam").c_str(), 1);
    const auto applyOn = [&] {
        ScreenSaverPage page = load();
        page.values().passwordProtected = true;
        EXPECT_TRUE(page.SetScreenSaverInfo());
        return page.passwordProblem();
    };
    // Neither a saver password nor the PAM service: kept off.
    EXPECT_NE(applyOn().find("missing"), std::string::npos);
    EXPECT_FALSE(platform::screenSaveUsePassword());
    // A damaged saver-password file: kept off.
    writeFile(platform::saverPasswordFilePath(), "garbage\n");
    EXPECT_NE(applyOn().find("damaged"), std::string::npos);
    EXPECT_FALSE(platform::screenSaveUsePassword());
    // Already on when the file was damaged: stays as stored.
    platform::writeRegistryValue(platform::kDesktopKey, "ScreenSaveUsePassword", "1");
    EXPECT_FALSE(applyOn().empty());
    EXPECT_TRUE(platform::screenSaveUsePassword());
    platform::writeRegistryValue(platform::kDesktopKey, "ScreenSaveUsePassword", "0");
    // A saver password, or the PAM service: stored.
    ASSERT_TRUE(platform::setSaverPassword("moon"));
    EXPECT_EQ(applyOn(), "");
    EXPECT_TRUE(platform::screenSaveUsePassword());
    platform::writeRegistryValue(platform::kDesktopKey, "ScreenSaveUsePassword", "0");
    ASSERT_TRUE(platform::setSaverPassword(""));
    writeFile(dir.file("pam") + "/skyloom", "auth required pam_deny.so\n");
    EXPECT_EQ(applyOn(), "");
    EXPECT_TRUE(platform::screenSaveUsePassword());
    // Switching it off is always possible.
    std::filesystem::remove(dir.file("pam") + "/skyloom");
    ScreenSaverPage page = load();
    page.values().passwordProtected = false;
    EXPECT_EQ(page.passwordProblem(), "");
    EXPECT_TRUE(page.SetScreenSaverInfo());
    EXPECT_FALSE(platform::screenSaveUsePassword());
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}

TEST_F(ScreenSaverPageTest, MissingSettingsShowTheDefaultsAndMarkTheFirstRun) {
    platform::setScreenSaveActive(false);
    platform::setScreenSaveTimeOut(300);
    ScreenSaverPage page = load();
    EXPECT_TRUE(page.bFirstRun());
    ScreenSaverSettings expected;
    expected.saverOn = true; // a first run switches the saver on
    expected.delayMinutes = 5;
    expected.setIndex = 0;
    EXPECT_EQ(page.values(), expected);
    EXPECT_TRUE(page.bRandomSets);
    EXPECT_TRUE(page.fallbacks().empty());
}

TEST_F(ScreenSaverPageTest, EveryControlSurvivesASaveAndALoad) {
    ASSERT_TRUE(platform::setSaverPassword("moon")); // so that the lock could be ended
    writeSettings("[ScreenSaver]\nSetup=1\n[WebLinker]\nEnable=0\nuserControl=0\n");
    ScreenSaverPage page = load();
    EXPECT_FALSE(page.bFirstRun());
    ScreenSaverSettings& v = page.values();
    v.saverOn = true;
    v.delayMinutes = 7;
    v.imageDelay = 5;
    v.minutes = true;
    v.setIndex = 2;
    v.transition = 10;
    v.language = 4;
    v.showText = true;
    v.showTitle = true;
    v.infoTime = 45;
    v.panSlider = 100;
    v.panEnable = false;
    v.stretch = false;
    v.sameOnAllScreens = true;
    v.calendarOn = false;
    v.calendarSize = 1;
    v.calendarPosition = 8;
    v.passwordProtected = true;
    const ScreenSaverSettings saved = v;
    ASSERT_TRUE(page.SetScreenSaverInfo());

    EXPECT_EQ(value("PrefsSS", "change"), "5m");
    EXPECT_EQ(value("PrefsSS", "random"), "0");
    EXPECT_EQ(value("PrefsSS", "CurrentSet"), "Meadow");
    EXPECT_EQ(value("Panoramic", "speed"), "155");
    EXPECT_EQ(value("CalendarSS", "size"), "66");
    EXPECT_EQ(value("CalendarSS", "position"), "9");
    EXPECT_EQ(value("InfoPanel", "defaultLanguage"), "5");
    EXPECT_EQ(value("PrefsSS", "sameOnAllScreens"), "1");
    EXPECT_EQ(value("ScreenSaver", "LastImage"), "0");
    EXPECT_EQ(value("boot", "SCRNSAVE.EXE", platform::GetWindowsDir() + "/system.ini"),
              platform::GetWindowsDir() + "/Skyloom.scr");
    EXPECT_TRUE(platform::screenSaveActive());
    EXPECT_EQ(platform::screenSaveTimeOut(), 420);
    EXPECT_TRUE(platform::screenSaveUsePassword());

    ScreenSaverPage again = load();
    EXPECT_EQ(again.values(), saved);
    EXPECT_FALSE(again.bRandomSets);

    // The random entry and the saver switched off.
    again.values().setIndex = 0;
    again.values().saverOn = false;
    again.values().passwordProtected = false;
    ASSERT_TRUE(again.SetScreenSaverInfo());
    EXPECT_EQ(value("PrefsSS", "random"), "1");
    EXPECT_EQ(value("PrefsSS", "CurrentSet"), "Meadow");
    EXPECT_FALSE(platform::screenSaveActive());
    EXPECT_EQ(platform::screenSaveTimeOut(), 420);
    EXPECT_FALSE(platform::screenSaveUsePassword());
    EXPECT_EQ(load().values().saverOn, false);
}

TEST_F(ScreenSaverPageTest, TimeBetweenPicturesReadsEveryStoredForm) {
    struct Case {
        const char* stored;
        int shown;
        bool minutes;
        bool fallback;
    } cases[] = {{"60s", 60, false, false}, {"5m", 5, true, false},  {"1.5m", 2, true, false},
                 {"4", 5, true, false},     {"1", 30, false, false}, {"12", 120, true, false},
                 {"90", 60, false, true},   {"-1", 60, false, true}, {"0s", 60, false, true},
                 {"abc", 15, false, false}};
    for (const Case& c : cases) {
        const std::string file =
            std::string("[ScreenSaver]\nSetup=1\n[PrefsSS]\nchange=") + c.stored + "\n";
        writeSettings(file);
        ScreenSaverPage page = load();
        EXPECT_EQ(page.values().imageDelay, c.shown) << c.stored;
        EXPECT_EQ(page.values().minutes, c.minutes) << c.stored;
        EXPECT_EQ(!page.fallbacks().empty(), c.fallback) << c.stored;
        EXPECT_EQ(readSettings(), file) << "loading must not write";
    }
}

// The saver plays a stored set whatever its letter case; the page shows the
// same set instead of falling back to all sets (which saving would store).
TEST_F(ScreenSaverPageTest, StoredSetInAnotherLetterCaseIsTheSetThePageShows) {
    writeSettings("[ScreenSaver]\nSetup=1\n[PrefsSS]\nRandom=0\nCurrentSet=mEADOW\n");
    ScreenSaverPage page = load();
    EXPECT_EQ(page.values().setIndex, 2);
    EXPECT_TRUE(page.fallbacks().empty());
    EXPECT_EQ(FindItemIndex(entries, "harbour"), 1);
    EXPECT_EQ(FindItemIndex(entries, "Harbours"), -1);
}

TEST_F(ScreenSaverPageTest, StoredValuesOutsideTheListsShowTheDefaultsUntilSaved) {
    const std::string file = "[ScreenSaver]\nSetup=1\n[Transition]\ndefaultTransition=42\n"
                             "[InfoPanel]\ndefaultLanguage=9\ndefaultTime=0\n"
                             "[CalendarSS]\nposition=12\nsize=50\n[Panoramic]\nspeed=300\n"
                             "[PrefsSS]\nRandom=0\nCurrentSet=Gone\n";
    writeSettings(file);
    ScreenSaverPage page = load();
    const ScreenSaverSettings& v = page.values();
    EXPECT_EQ(v.transition, 1);
    EXPECT_EQ(v.language, 0);
    EXPECT_EQ(v.infoTime, 20);
    EXPECT_EQ(v.calendarPosition, 0);
    EXPECT_EQ(v.calendarSize, 3);
    EXPECT_EQ(v.panSlider, 250);
    EXPECT_EQ(v.setIndex, 0);
    EXPECT_EQ(page.fallbacks().size(), 7u);
    EXPECT_EQ(readSettings(), file);

    // Position 0 is refused as well; the old index form of the size is read.
    writeSettings("[ScreenSaver]\nSetup=1\n[CalendarSS]\nposition=0\nsize=3\n");
    ScreenSaverPage old = load();
    EXPECT_EQ(old.values().calendarPosition, 0);
    EXPECT_EQ(calendarSizes()[static_cast<std::size_t>(old.values().calendarSize)].text,
              std::string("Medium"));
    ASSERT_TRUE(old.SetScreenSaverInfo());
    EXPECT_EQ(value("CalendarSS", "size"), "33");
    EXPECT_EQ(value("CalendarSS", "position"), "1");
}

// The blending effects follow the ten old ones in the list; their positions
// are stored as they are, and values past the list still show the default.
TEST_F(ScreenSaverPageTest, BlendingTransitionsAreListedAndStoredByPosition) {
    const auto& names = transitionNames();
    ASSERT_EQ(names.size(), 15u);
    EXPECT_EQ(names[10], "Fast Block Out");
    EXPECT_EQ(names[11], "Cross Fade");
    EXPECT_EQ(names[12], "Slide");
    EXPECT_EQ(names[13], "Slow Zoom");
    EXPECT_EQ(names[14], "All Transitions, Smooth");
    for (int position : {0, 1, 10, 11, 12, 13, 14}) {
        SCOPED_TRACE(position);
        writeSettings("[ScreenSaver]\nSetup=1\n[Transition]\ndefaultTransition=" +
                      std::to_string(position) + "\n");
        ScreenSaverPage page = load();
        EXPECT_EQ(page.values().transition, position);
        EXPECT_TRUE(page.fallbacks().empty());
        ASSERT_TRUE(page.SetScreenSaverInfo());
        EXPECT_EQ(value("Transition", "defaultTransition"), std::to_string(position));
    }
    for (const char* stored : {"15", "-1", "70000"}) {
        SCOPED_TRACE(stored);
        writeSettings(std::string("[ScreenSaver]\nSetup=1\n[Transition]\ndefaultTransition=") +
                      stored + "\n");
        EXPECT_EQ(load().values().transition, 1);
    }
}

TEST_F(ScreenSaverPageTest, StartedFromTheDisplaySettingsHidesTheSystemFramesAndIsOn) {
    writeSettings("[ScreenSaver]\nSetup=1\n");
    platform::setScreenSaveActive(false);
    ScreenSaverPage page = load(true);
    EXPECT_TRUE(page.systemFramesHidden());
    EXPECT_TRUE(page.values().saverOn);
}

class WallpaperPageTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
    }
    void initLibrary() { ASSERT_EQ(library.InitSetsInfo(), imagesets::SetLibrary::InitResult::Ok); }
    imagesets::SetLibrary library;
};

TEST_F(WallpaperPageTest, NoSettingsGiveTheDocumentedDefaults) {
    initLibrary();
    WallpaperPage page(library);
    EXPECT_TRUE(page.InitSetList());
    page.InitWallpaperPage();
    EXPECT_TRUE(page.enabled);
    EXPECT_FALSE(page.stretch);
    EXPECT_EQ(page.changeCode(), 7);
    EXPECT_TRUE(page.calendarOn);
    EXPECT_EQ(page.calendarPosition, 3);
    EXPECT_EQ(page.calendarSize, 20);
    EXPECT_EQ(page.sets, (std::vector<std::string>{kRandomSetsEntry, "Harbour", "Meadow"}));
    EXPECT_EQ(page.setEntry(), kRandomSetsEntry);
    EXPECT_FALSE(page.imagesEnabled);
    // The random entry made the first set and picture current and wrote them.
    EXPECT_EQ(value("PrefsWP", "CurrentSet"), "Harbour");
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Boats");
    EXPECT_EQ(page.images, (std::vector<std::string>{"Boats", "Quay"}));
    EXPECT_EQ(page.szWallpaperImage, program + "harbour/Boats");
    EXPECT_EQ(page.previewPath(), program + "harbour/Boats.bmp");
}

TEST_F(WallpaperPageTest, OldCalendarCodesAndRefusedValues) {
    initLibrary();
    struct Case {
        const char* prefs;
        const char* calendar;
        int position, size, change;
        std::size_t fallbacks;
    } cases[] = {{"", "size=2\n", 3, 66, 7, 0},
                 {"", "Size=3\nposition=9\n", 9, 33, 7, 0},
                 {"", "position=0\nsize=7\n", 3, 20, 7, 2},
                 {"change=42\n", "position=12\nsize=50\n", 3, 20, 1, 3}};
    for (const Case& c : cases) {
        const std::string file = std::string("[PrefsWP]\nrandom=0\nCurrentSet=Meadow\n") + c.prefs +
                                 "[CalendarWP]\n" + c.calendar;
        writeSettings(file);
        WallpaperPage page(library);
        EXPECT_FALSE(page.InitSetList());
        page.InitWallpaperPage();
        EXPECT_EQ(page.calendarPosition, c.position) << c.calendar;
        EXPECT_EQ(page.calendarSize, c.size) << c.calendar;
        EXPECT_EQ(page.changeCode(), c.change) << c.calendar;
        EXPECT_EQ(page.fallbacks().size(), c.fallbacks) << c.calendar;
        EXPECT_EQ(readSettings(), file) << c.calendar;
    }
}

TEST_F(WallpaperPageTest, ExcludedCurrentSetGivesWayToTheFirstIncludedSet) {
    writeSettings("[PrefsWP]\nrandom=1\nCurrentSet=Harbour\nCurrentImage=Quay\n");
    makeSet("orchard", "Orchard", {"Apple"});
    initLibrary();
    auto harbour = library.Sets().GetSet("Harbour");
    library.Sets().ExcludeSet(harbour);
    // Exclusion is stored and read back as the registry marks it.
    ASSERT_TRUE(library.SaveSetsInfo());
    imagesets::SetLibrary fresh;
    ASSERT_EQ(fresh.InitSetsInfo(), imagesets::SetLibrary::InitResult::Ok);
    WallpaperPage page(fresh);
    EXPECT_TRUE(page.InitSetList());
    EXPECT_EQ(value("PrefsWP", "CurrentSet"), "Meadow");
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Grass");
    EXPECT_EQ(page.currentImageName, "Grass");
}

TEST_F(WallpaperPageTest, SavingRecordsThePageAndAnAutomaticChangeOnlyThePicture) {
    writeSettings("[PrefsWP]\nrandom=1\nCurrentSet=Meadow\nCurrentImage=Oak\n");
    initLibrary();
    WallpaperPage page(library);
    page.InitSetList();
    page.InitWallpaperPage();
    EXPECT_EQ(page.currentImageName, "Oak");
    EXPECT_FALSE(page.SelectImage(2)) << "the stored picture is no change";
    EXPECT_TRUE(page.SelectImage(1));

    // An automatic change keeps "random" and the page's other keys.
    std::mt19937 random(7);
    ASSERT_TRUE(page.PickRandomPicture(random));
    EXPECT_NE(page.setEntry(), kRandomSetsEntry);
    page.bWallpaperAutoChange = true;
    ASSERT_TRUE(page.SaveSettings());
    EXPECT_EQ(value("PrefsWP", "CurrentSet"), page.setEntry());
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), page.currentImageName);
    EXPECT_EQ(value("PrefsWP", "random"), "1");
    EXPECT_FALSE(has("PrefsWP", "stretch"));
    EXPECT_FALSE(has("CalendarWP", "enable"));

    // A user's save records everything.
    page.bWallpaperAutoChange = false;
    page.SelectSet(1);
    page.SelectImage(1);
    page.stretch = true;
    page.enabled = false;
    page.changeIndex = 8;
    page.calendarOn = false;
    page.calendarPosition = 5;
    page.calendarSize = 100;
    ASSERT_TRUE(page.SaveSettings());
    EXPECT_EQ(value("PrefsWP", "random"), "0");
    EXPECT_EQ(value("PrefsWP", "CurrentSet"), "Harbour");
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Quay");
    EXPECT_EQ(value("PrefsWP", "stretch"), "1");
    EXPECT_EQ(value("PrefsWP", "enable"), "0");
    EXPECT_EQ(value("PrefsWP", "change"), "9");
    EXPECT_EQ(value("CalendarWP", "enable"), "0");
    EXPECT_EQ(value("CalendarWP", "position"), "5");
    EXPECT_EQ(value("CalendarWP", "size"), "100");
}

TEST(PageLists, SetListsAndRestoredSelections) {
    const std::vector<std::string> two = {kRandomSetsEntry, "A", "B"};
    EXPECT_EQ(restoredSetIndex(two, "B", true), 0);
    EXPECT_EQ(restoredSetIndex(two, "B", false), 2);
    EXPECT_EQ(restoredSetIndex(two, "Gone", false), 1);
    const std::vector<std::string> one = {"A"};
    EXPECT_EQ(restoredSetIndex(one, "Gone", true), 0);
    EXPECT_EQ(restoredSetIndex({}, "A", false), -1);
    EXPECT_EQ(oldCalendarSize(2), 66);
    EXPECT_EQ(oldCalendarSize(5), 0);
}

} // namespace
