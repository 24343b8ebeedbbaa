// The wallpaper runs nobody watches (" /wall", " /kalendar", a delayed
// change): what they record for the tray changer's schedule, that they
// leave a wallpaper switched off alone without asking, and what they report.
// They run the wallpaper job alone under a QGuiApplication, where making any
// widget would abort the program, and leave no window behind.

#include "config/ConfigSession.h"
#include "platform/MessageBox.h"
#include "tests/config/ConfigFixture.h"
#include "tests/support/GuiApp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QWindow>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

using namespace skyloom;
using skyloom::config::ConfigSession;
using skyloom::config::WallpaperRun;

namespace {

// Counts the message boxes shown and answers them; the program's
// non-interactive switch is off meanwhile, so the handler is really asked.
class BoxRecorder {
public:
    explicit BoxRecorder(platform::MsgResult answer) {
        if (const char* v = std::getenv("SKYLOOM_NONINTERACTIVE"))
            old_ = v;
        ::unsetenv("SKYLOOM_NONINTERACTIVE");
        platform::setMessageBoxHandler([this, answer](const std::string&, const std::string& text,
                                                      platform::MsgButtons, platform::MsgResult) {
            texts.push_back(text);
            return answer;
        });
    }
    ~BoxRecorder() {
        platform::setMessageBoxHandler(nullptr);
        if (!old_.empty())
            ::setenv("SKYLOOM_NONINTERACTIVE", old_.c_str(), 1);
    }
    std::vector<std::string> texts;

private:
    std::string old_;
};

class UnattendedTest : public test::ConfigFixture {
protected:
    // A QGuiApplication only: the job must not need widgets.
    static void SetUpTestSuite() { test::ensureQGuiApplication(); }
    void TearDown() override {
        EXPECT_EQ(QCoreApplication::instance()->metaObject()->className(),
                  std::string("QGuiApplication"));
        EXPECT_TRUE(QGuiApplication::topLevelWindows().isEmpty());
        ConfigFixture::TearDown();
    }
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
        for (const char* p :
             {"harbour/Boats", "harbour/Quay", "meadow/Grass", "meadow/Poppies", "meadow/Oak"}) {
            QImage image(320, 240, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            ASSERT_TRUE(image.save(QString::fromStdString(program + p + ".jpg"), "JPEG"));
        }
    }
    static constexpr const char* kOld = "1/1/2000 1:00:00 AM";
    std::string saved(const std::string& extra = {}) const {
        return "[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nrandom=0\r\nCurrentSet=Meadow\r\n"
               "CurrentImage=Oak\r\nLastChanged=1/1/2000 1:00:00 AM\r\n" +
               extra + "[CalendarWP]\r\nenable=1\r\n";
    }
};

TEST_F(UnattendedTest, TheCalendarOfANewDayKeepsTheTimeOfTheLastPicture) {
    writeSettings(saved());
    {
        ConfigSession form;
        ASSERT_TRUE(form.initialise());
        const wallpaper::Outcome outcome = form.wallpaperJob().SetCalendar();
        ASSERT_TRUE(outcome.ok) << outcome.reason;
    }
    EXPECT_EQ(value("PrefsWP", "LastChanged"), kOld);
    EXPECT_FALSE(value("PrefsWP", "LastCalendar").empty());
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Oak"); // the same picture

    // A new picture records "LastChanged" and leaves "LastCalendar".
    const std::string calendar = value("PrefsWP", "LastCalendar");
    {
        ConfigSession form;
        ASSERT_TRUE(form.initialise());
        ASSERT_TRUE(form.wallpaperJob().NextWallpaperImage().ok);
    }
    EXPECT_NE(value("PrefsWP", "LastChanged"), kOld);
    EXPECT_EQ(value("PrefsWP", "LastCalendar"), calendar);
}

TEST_F(UnattendedTest, WallpaperOffUnattendedRunsDoNothingAndAskNothing) {
    writeSettings(saved("enable=0\r\n"));
    const std::string before = readSettings();
    BoxRecorder boxes(platform::MsgResult::Yes);
    {
        ConfigSession form;
        ASSERT_TRUE(form.initialise());
        for (int run = 0; run < 2; ++run) {
            const wallpaper::Outcome outcome =
                run ? form.wallpaperJob().SetCalendar() : form.wallpaperJob().NextWallpaperImage();
            EXPECT_TRUE(outcome.ok);
            EXPECT_NE(outcome.reason.find("switched off"), std::string::npos) << outcome.reason;
        }
        EXPECT_FALSE(std::filesystem::exists(form.windowsDirectory() + "Skyloom.bmp"));
    }
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(readSettings(), before);
}

TEST_F(UnattendedTest, OnlyTheWallpaperPagesApplyAsksToRemoveTheWallpaper) {
    writeSettings(saved("enable=0\r\n"));
    const std::string before = readSettings();
    {
        BoxRecorder boxes(platform::MsgResult::No);
        ConfigSession form;
        ASSERT_TRUE(form.initialise());
        EXPECT_TRUE(form.wallpaperJob().SetWallpaper().ok);
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], "Are you sure you want to remove the Wallpaper?");
    }
    EXPECT_EQ(readSettings(), before); // No: nothing changed or saved
    {
        BoxRecorder boxes(platform::MsgResult::Yes);
        ConfigSession form;
        ASSERT_TRUE(form.initialise());
        EXPECT_TRUE(form.wallpaperJob().SetWallpaper(WallpaperRun::Apply).ok);
        EXPECT_EQ(boxes.texts.size(), 1u);
    }
    EXPECT_EQ(value("PrefsWP", "enable"), "0");
    EXPECT_NE(value("PrefsWP", "LastChanged"), kOld);
}

TEST_F(UnattendedTest, AFailureIsReportedWithItsReasonAndRecordsNothing) {
    writeSettings(saved());
    writeFile(program + "meadow/Oak.jpg", "damaged");
    const std::string before = readSettings();
    ConfigSession form;
    ASSERT_TRUE(form.initialise());
    const wallpaper::Outcome outcome = form.wallpaperJob().SetCalendar();
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.reason.find("Oak.jpg"), std::string::npos) << outcome.reason;
    EXPECT_EQ(outcome.reason.find('\n'), std::string::npos) << outcome.reason;
    EXPECT_EQ(readSettings(), before);
}

} // namespace

namespace {

// The saver's start runs the same initialisation without any window: on the
// first run it stores the pages' defaults and makes the first wallpaper.
TEST_F(UnattendedTest, TheFirstRunStoresTheDefaultsAndTheWallpaperWithoutADialog) {
    platform::setScreenSaveActive(false);
    ConfigSession session;
    ASSERT_TRUE(session.initialise());
    EXPECT_TRUE(session.bFirstRun());
    EXPECT_TRUE(session.firstRunSaverSaved());
    EXPECT_EQ(value("ScreenSaver", "Setup"), "1");
    EXPECT_EQ(value("PrefsSS", "change"), "60s");
    EXPECT_EQ(value("PrefsWP", "change"), "7");
    EXPECT_FALSE(value("PrefsWP", "LastChanged").empty());
    EXPECT_TRUE(platform::screenSaveActive());
    EXPECT_TRUE(std::filesystem::exists(session.windowsDirectory() + "Skyloom.bmp"));

    // Once only, and a second session finds the stored settings.
    EXPECT_TRUE(session.initialise());
    ConfigSession second;
    ASSERT_TRUE(second.initialise());
    EXPECT_FALSE(second.bFirstRun());
}

// The job's picture pick tells its listener before the wallpaper is set.
TEST_F(UnattendedTest, TheNextPictureIsAnnouncedBeforeItIsSet) {
    writeSettings(saved());
    ConfigSession session;
    ASSERT_TRUE(session.initialise());
    std::string announced;
    session.wallpaperJob().picturePicked = [&] {
        announced = session.wallpaperPage().szWallpaperImage;
        EXPECT_EQ(value("PrefsWP", "LastChanged"), kOld); // not set yet
    };
    ASSERT_TRUE(session.wallpaperJob().NextWallpaperImage().ok);
    EXPECT_FALSE(announced.empty());
    EXPECT_EQ(announced, session.wallpaperPage().szWallpaperImage);
}

// Two monitors: the job hands them to the wallpaper; with "perScreen" the
// other monitor shows another picture of the set, the same one again on a
// new day's calendar.
TEST_F(UnattendedTest, SeveralMonitorsAndAPicturePerScreen) {
    const std::vector<std::pair<const char*, Qt::GlobalColor>> colours{
        {"meadow/Grass", Qt::green}, {"meadow/Poppies", Qt::red}, {"meadow/Oak", Qt::blue}};
    for (const auto& [p, c] : colours) {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(c);
        ASSERT_TRUE(image.save(QString::fromStdString(program + p + ".jpg"), "JPEG"));
    }
    const auto twoMonitors = [] {
        platform::Monitor primary, other, elsewhere;
        primary.name = "DP-1";
        primary.geometry = primary.deviceGeometry = QRect(640, 0, 640, 480);
        primary.primary = true;
        other.name = "DP-2";
        other.geometry = other.deviceGeometry = QRect(0, 0, 640, 480);
        // A second X screen's monitor is not part of this screen's wallpaper.
        elsewhere.name = "screen";
        elsewhere.geometry = elsewhere.deviceGeometry = QRect(0, 0, 800, 600);
        elsewhere.screenNumber = 1;
        return std::vector<platform::Monitor>{primary, other, elsewhere};
    };
    const auto run = [&](const std::string& extra) {
        writeSettings(saved("stretch=1\r\n" + extra));
        ConfigSession form;
        EXPECT_TRUE(form.initialise());
        form.wallpaperJob().monitorList = twoMonitors;
        const wallpaper::Outcome outcome = form.wallpaperJob().SetCalendar();
        EXPECT_TRUE(outcome.ok) << outcome.reason;
        return QImage(QString::fromStdString(form.windowsDirectory() + "Skyloom.bmp"));
    };
    const QImage same = run("");
    ASSERT_EQ(same.size(), QSize(1280, 480));
    EXPECT_EQ(same.pixelColor(100, 400), same.pixelColor(740, 400)); // Oak on both
    EXPECT_GT(same.pixelColor(740, 400).blue(), 200);
    EXPECT_TRUE(value("PrefsWP", "perScreen").empty()); // never switched on: not written

    const QImage own = run("perScreen=1\r\n");
    ASSERT_EQ(own.size(), QSize(1280, 480));
    EXPECT_GT(own.pixelColor(740, 400).blue(), 200); // the primary keeps Oak
    EXPECT_LT(own.pixelColor(100, 400).blue(), 100); // another picture beside it
    EXPECT_EQ(value("PrefsWP", "perScreen"), "1");
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Oak");
    EXPECT_EQ(run("perScreen=1\r\n").pixelColor(100, 400), own.pixelColor(100, 400));
}

} // namespace
