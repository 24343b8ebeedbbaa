#include "common/DateText.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "common/Startup.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using namespace skyloom;

TEST(StartMode, SwitchesAreCaseSensitiveSubstringsTestedInOrder) {
    EXPECT_EQ(chooseStartMode("/s"), StartMode::Saver);
    EXPECT_EQ(chooseStartMode("/s /debug"), StartMode::Saver);
    EXPECT_EQ(chooseStartMode("/c:1234"), StartMode::ConfigFromProps);
    EXPECT_EQ(chooseStartMode("/a"), StartMode::ChangePassword);
    EXPECT_EQ(chooseStartMode(""), StartMode::Config);
    EXPECT_EQ(chooseStartMode(" /wall"), StartMode::WallpaperNext);
    EXPECT_EQ(chooseStartMode(" /kalendar"), StartMode::CalendarRefresh);
    EXPECT_EQ(chooseStartMode("/-ConfigWall"), StartMode::ConfigWallpaper);
    EXPECT_EQ(chooseStartMode("/debug"), StartMode::ConfigDebug);
    // The preview switch with a window number and an upper-case switch
    // match nothing.
    EXPECT_EQ(chooseStartMode("/p 1234"), StartMode::Exit);
    EXPECT_EQ(chooseStartMode("/S"), StartMode::Exit);
    EXPECT_EQ(chooseStartMode(" "), StartMode::Exit);
    // "/-ConfigWall" holds no "/c"; "/wall" in front of "/s" loses to it.
    EXPECT_EQ(chooseStartMode("/wall /s"), StartMode::Saver);
    EXPECT_TRUE(isDebugCommandLine("/s /debug"));
    EXPECT_FALSE(isDebugCommandLine("/DEBUG"));
    EXPECT_EQ(joinCommandLine({" /wall"}), " /wall");
    EXPECT_EQ(joinCommandLine({"/s", "/debug"}), "/s /debug");
    EXPECT_EQ(joinCommandLine({}), "");
}

TEST(StartMode, SecondCopyRecordsOnlyWallpaperRequests) {
    EXPECT_EQ(delayedChangeFor(" /wall"), "WallPaper");
    EXPECT_EQ(delayedChangeFor(" /kalendar"), "Calendar");
    EXPECT_EQ(delayedChangeFor("/s"), "");
    EXPECT_EQ(delayedChangeFor("/c"), "");
}

TEST(StartMode, ASaverGivesWayOnlyToAnotherSaver) {
    // programRunning, saverRunning -> second copy
    struct Case {
        StartMode mode;
        bool program, saver, second;
    };
    const Case cases[] = {
        {StartMode::Saver, false, false, false},
        {StartMode::Saver, true, false, false}, // the dialog or "/a" is open
        {StartMode::Saver, false, true, true},
        {StartMode::Saver, true, true, true},
        {StartMode::WallpaperNext, true, false, true}, // recorded for the next saver
        {StartMode::WallpaperNext, false, true, true}, // a saver started under the dialog
        {StartMode::CalendarRefresh, false, true, true},
        {StartMode::WallpaperNext, false, false, false},
        {StartMode::Config, false, true, true},
        {StartMode::ChangePassword, true, false, true},
        {StartMode::ConfigFromProps, false, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isSecondCopy(c.mode, c.program, c.saver), c.second)
            << "mode " << static_cast<int>(c.mode) << " program " << c.program << " saver "
            << c.saver;
}

TEST(DelayedChange, RecordedThenTakenOnce) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    dir.write("ScreenSaver.ini", "[PrefsWP]\nchange=3\n");
    ASSERT_TRUE(recordDelayedChange(ini, "WallPaper"));
    auto when = parseDateText(ReadIniString("PrefsWP", "LastChanged", "", ini));
    ASSERT_TRUE(when.has_value());
    EXPECT_EQ(ReadIniString("PrefsWP", "change", "", ini), "3");
    EXPECT_EQ(takeDelayedChange(ini), "WallPaper");
    EXPECT_EQ(takeDelayedChange(ini), "");
    EXPECT_EQ(ReadIniString("PrefsWP", "DelayedChange", "x", ini), "");
    // Any other text is taken (and so cleared) but is not a request.
    WriteIniString("PrefsWP", "DelayedChange", std::string_view("wallpaper"), ini);
    EXPECT_EQ(takeDelayedChange(ini), "wallpaper");
    EXPECT_EQ(ReadIniString("PrefsWP", "DelayedChange", "x", ini), "");
}

TEST(DelayedChange, ACalendarRequestKeepsTheTimeOfTheLastPicture) {
    skyloom::test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    dir.write("ScreenSaver.ini", "[PrefsWP]\nLastChanged=1/1/2000 1:00:00 AM\n");
    ASSERT_TRUE(recordDelayedChange(ini, "Calendar"));
    EXPECT_EQ(ReadIniString("PrefsWP", "LastChanged", "", ini), "1/1/2000 1:00:00 AM");
    EXPECT_TRUE(parseDateText(ReadIniString("PrefsWP", "LastCalendar", "", ini)).has_value());
    EXPECT_EQ(takeDelayedChange(ini), "Calendar");
}

TEST(DateText, MonthDayYearWithoutLeadingZerosRoundTrips) {
    std::tm t{};
    t.tm_year = 100;
    t.tm_mon = 5;
    t.tm_mday = 7;
    t.tm_hour = 15;
    t.tm_min = 4;
    t.tm_sec = 5;
    EXPECT_EQ(formatDateText(t), "6/7/2000 3:04:05 PM");
    auto back = parseDateText("6/7/2000 3:04:05 PM");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->tm_hour, 15);
    EXPECT_EQ(back->tm_mday, 7);
    t.tm_hour = 0;
    EXPECT_EQ(formatDateText(t), "6/7/2000 12:04:05 AM");
    EXPECT_FALSE(parseDateText("yesterday"));
}

TEST(WindowTitles, CaptionFromConfigIniOrDefault) {
    skyloom::test::TempDir dir;
    const std::string prog = dir.path() + "/";
    EXPECT_EQ(LoadWindowTitles(prog), "Screen Saver Configuration");
    dir.write("config.ini", "[config]\nConfigWinTitle=My Pictures\n");
    EXPECT_EQ(LoadWindowTitles(prog), "My Pictures");
}
