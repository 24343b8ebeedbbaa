// The picture change without any window (a plain GUI application, no
// widgets): its calendar follows the settings it was given, never the
// stored ones, two of them run side by side on canvases of their own, and
// the blending effects run on their frame clock and stop with the saver.

#include "calendar/CalendarClass.h"
#include "graphics/io/JpegCodec.h"
#include "imagesets/PlayList.h"
#include "saver/PictureChange.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <memory>

using namespace skyloom;
using saver::PictureChange;

namespace {

void ensureGuiApplication() {
    static int argc = 1;
    static char arg0[] = "test_picture_change";
    static char* argv[] = {arg0, nullptr};
    if (!QGuiApplication::instance())
        new QGuiApplication(argc, argv);
}

class PictureChangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureGuiApplication(); }

    // A program folder with one plain picture "Set/one" of `colour`.
    std::string program(const std::string& name, QColor colour) {
        const std::string folder = dir.path() + "/" + name + "/";
        std::filesystem::create_directories(folder + "Set");
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(colour);
        std::string error;
        EXPECT_TRUE(graphics::writeJpeg(folder + "Set/one.jpg", image, 95, error)) << error;
        return folder;
    }
    static saver::SaverSettings settings(const std::string& folder) {
        saver::SaverSettings s;
        s.szImagePath = folder;
        s.szINI = folder + "Skyloom.ini";
        s.szScrIni = folder + "ScreenSaver.ini";
        s.bUseAll = false;
        s.nTransition = saver::kNoTransitions;
        return s;
    }
    // Presets `change`, gives it a canvas of `size` and its picture.
    static void prepare(PictureChange& change, const saver::SaverSettings& s, QSize size) {
        change.InitiSaver(s, false);
        change.playList().Add(imagesets::makePlayListEntry("Set/one", "label"));
        change.Load(s.szImagePath);
        change.setCanvas(saver::computeLayout(size.width(), size.height(), s.bStretch2Fit), 1.0);
    }
    // Runs the changes until each has shown its first picture.
    static void runUntilShown(const std::vector<PictureChange*>& changes) {
        QEventLoop loop;
        int left = static_cast<int>(changes.size());
        for (PictureChange* c : changes) {
            c->pictureShown = [&left, &loop](PictureChange& shown) {
                shown.Abort();
                if (--left == 0)
                    loop.quit();
            };
            c->start();
        }
        QTimer::singleShot(30000, &loop, [&loop] { loop.quit(); }); // a safety net
        loop.exec();
    }

    test::TempDir dir;
};

} // namespace

// The dialog's preview hands its unsaved calendar settings over; the stored
// ones must not be what is drawn.
TEST_F(PictureChangeTest, CalendarUsesTheGivenSettingsNotTheStoredOnes) {
    const std::string folder = program("program", QColor(150, 150, 150));
    dir.write("program/ScreenSaver.ini",
              "[CalendarSS]\nenable=1\nsize=100\nposition=1\n[PrefsSS]\nstretch=1\n");
    auto s = settings(folder);
    s.bCalender = true;
    s.CalSize = 20; // "Small"
    s.CalPos = 9;   // "Bottom-Right"
    PictureChange change;
    prepare(change, s, {1024, 768});
    int drawRequests = 0;
    change.drawRequested = [&](const QRegion&) { ++drawRequests; };
    runUntilShown({&change});

    const QImage& canvas = change.canvas();
    ASSERT_EQ(canvas.size(), QSize(1024, 768));
    calendar::CalendarClass expected;
    expected.m_Size = 0.2f;
    expected.m_Pos = 9;
    ASSERT_TRUE(expected.SetDate(QDate::currentDate()));
    int left = 0, top = 0, width = 0, height = 0;
    expected.GetBounds(1024, 768, left, top, width, height);
    const QRect frame = change.calendarFrame();
    EXPECT_EQ(frame, QRect(left, top, width, height));
    EXPECT_LT(frame.width(), 1024 / 4); // small
    EXPECT_GT(frame.left(), 1024 / 2);  // right
    EXPECT_GT(frame.top(), 768 / 2);    // bottom
    // Darkened inside the frame; the top-left corner, where the stored
    // "Extra Large, Top-Left" calendar would be, shows the picture.
    EXPECT_LT(qRed(canvas.pixel(frame.left() + 1, frame.top() + 1)), 80);
    EXPECT_NEAR(qRed(canvas.pixel(30, 30)), 150, 12);
    EXPECT_NEAR(qRed(canvas.pixel(300, 200)), 150, 12);
    EXPECT_GT(drawRequests, 0);
}

// One picture change per canvas: each keeps its own size, picture and clock.
TEST_F(PictureChangeTest, TwoChangesRunSideBySideOnTheirOwnCanvases) {
    const QColor red(200, 40, 40), blue(40, 40, 200);
    auto a = settings(program("a", red)), b = settings(program("b", blue));
    a.bCalender = b.bCalender = false;
    PictureChange first, second;
    prepare(first, a, {800, 600});
    prepare(second, b, {640, 480});
    runUntilShown({&first, &second});
    auto centre = [](const QImage& c) { return c.pixel(c.width() / 2, c.height() / 2); };
    EXPECT_EQ(first.canvas().size(), QSize(800, 600));
    EXPECT_EQ(second.canvas().size(), QSize(640, 480));
    EXPECT_NEAR(qRed(centre(first.canvas())), red.red(), 20);
    EXPECT_NEAR(qBlue(centre(second.canvas())), blue.blue(), 20);
    EXPECT_TRUE(first.aborted() && second.aborted());
    EXPECT_FALSE(first.tmrTrans().isActive() || second.tmrTrans().isActive());
}

// "Cross Fade" through the change's own frame clock: frames at the screen's
// pace blend from what the canvas showed into the new picture, and the
// last one is the picture itself.
TEST_F(PictureChangeTest, CrossFadeBlendsTheCanvasIntoTheNewPictureFrameByFrame) {
    auto s = settings(program("fade", QColor(220, 30, 30)));
    s.bCalender = false;
    s.nTransition = saver::kCrossFade;
    PictureChange change;
    prepare(change, s, {320, 240});
    change.setFrameInterval(10);
    change.canvas().fill(qRgb(0, 0, 200)); // the picture before
    std::vector<int> reds;
    change.drawRequested = [&](const QRegion&) {
        reds.push_back(qRed(change.canvas().pixel(160, 120)));
    };
    runUntilShown({&change});
    // Frames between the two pictures, red rising, blue falling.
    const auto between =
        std::count_if(reds.begin(), reds.end(), [](int r) { return r > 20 && r < 200; });
    EXPECT_GE(between, 1);
    EXPECT_TRUE(std::is_sorted(reds.begin(), reds.end()));
    const QRgb centre = change.canvas().pixel(160, 120);
    EXPECT_NEAR(qRed(centre), 220, 12);
    EXPECT_LT(qBlue(centre), 40);
    EXPECT_FALSE(change.tmrFrame().isActive());
}

// The saver ends in the middle of a blending effect or a slow zoom: no
// frame is drawn after Abort, and no clock is left running.
TEST_F(PictureChangeTest, AbortStopsTheBlendingFramesAndTheSlowZoom) {
    for (int type : {saver::kSlide, saver::kSlowZoom}) {
        SCOPED_TRACE(saver::kTransitionNames[type]);
        auto s = settings(program("abort" + std::to_string(type), QColor(30, 200, 30)));
        s.bCalender = false;
        s.nTransition = type;
        PictureChange change;
        prepare(change, s, {320, 240});
        change.setFrameInterval(5);
        int frames = 0;
        QEventLoop loop;
        change.drawRequested = [&](const QRegion&) {
            ++frames;
            if (type == saver::kSlide && change.tmrFrame().isActive() && frames == 2) {
                change.Abort(); // in the middle of the slide
                loop.quit();
            }
            if (type == saver::kSlowZoom && change.slowZoom().active()) {
                change.Abort(); // the first frame of the zoom
                loop.quit();
            }
        };
        change.start();
        QTimer::singleShot(30000, &loop, [&loop] { loop.quit(); }); // a safety net
        loop.exec();
        ASSERT_TRUE(change.aborted());
        const int atAbort = frames;
        EXPECT_FALSE(change.tmrFrame().isActive() || change.tmrZoom().isActive() ||
                     change.tmrTrans().isActive());
        QCoreApplication::processEvents();
        EXPECT_EQ(frames, atAbort);
    }
}

// Two monitors' changes on one play list of a red and a blue picture: by
// default each shows its own, with "Same picture on every screen" both show
// the first; the calendar is drawn only where it is asked for.
TEST_F(PictureChangeTest, MonitorsShowTheirOwnPictureOrTheSameOne) {
    const std::string folder = program("two", QColor(200, 40, 40));
    QImage blue(320, 240, QImage::Format_RGB32);
    blue.fill(QColor(40, 40, 200));
    std::string error;
    ASSERT_TRUE(graphics::writeJpeg(folder + "Set/two.jpg", blue, 95, error)) << error;
    auto s = settings(folder);
    s.bCalender = true;
    for (const bool same : {false, true}) {
        SCOPED_TRACE(same ? "same picture" : "own pictures");
        dir.write("two/ScreenSaver.ini", "[PrefsSS]\nLastImage=0\n");
        auto handOut = std::make_shared<saver::PictureHandOut>(s.szScrIni, false,
                                                               saver::clockSeededRandom(), same);
        PictureChange primary, other;
        for (PictureChange* c : {&primary, &other}) {
            c->InitiSaver(s, false);
            c->playList().Add(imagesets::makePlayListEntry("Set/one", "label"));
            c->playList().Add(imagesets::makePlayListEntry("Set/two", "label"));
            c->Load(s.szImagePath);
            c->setHandOut(handOut);
        }
        other.setCalendarShown(false);
        primary.setCanvas(saver::computeLayout(800, 600, true), 1.0);
        other.setCanvas(saver::computeLayout(640, 480, true), 1.0);
        runUntilShown({&primary, &other});
        auto centre = [](const PictureChange& c) {
            return c.canvas().pixel(c.canvas().width() / 2, c.canvas().height() / 2);
        };
        EXPECT_NEAR(qRed(centre(primary)), 200, 20);
        EXPECT_NEAR(qBlue(centre(other)), same ? 40 : 200, 20);
        EXPECT_EQ(primary.currentPicture().index, 1);
        EXPECT_EQ(other.currentPicture().index, same ? 1 : 2);
        EXPECT_FALSE(primary.calendarFrame().isEmpty());
        EXPECT_TRUE(other.calendarFrame().isEmpty());
        // "LastImage" follows the pictures handed out.
        EXPECT_NE(dir.read("two/ScreenSaver.ini").find(same ? "LastImage=1" : "LastImage=2"),
                  std::string::npos);
    }
}
