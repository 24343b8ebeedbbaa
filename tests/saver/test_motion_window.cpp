// The saver window after a transition, driven offscreen: the description
// panel shows for its time and the screen under it comes back, the title
// strip sits at the bottom, a panorama moves to its far end before the
// display time starts, and a key ends the motion at once.

#include "common/ProfileFile.h"
#include "graphics/io/JpegCodec.h"
#include "imagesets/PlayList.h"
#include "saver/Cursor.h"
#include "saver/frmSaver.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace skyloom;
using skyloom::saver::frmSaver;

namespace {

class MotionWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skyloom::test::ensureQApplication(); }
    void SetUp() override {
        skyloom::test::useXdgFoldersIn(dir);
        saver::setDebugMode(false);
        program = dir.path() + "/program/";
        std::filesystem::create_directories(program);
    }

    void picture(const std::string& rel, QImage image) {
        std::filesystem::create_directories(std::filesystem::path(program + rel).parent_path());
        std::string error;
        ASSERT_TRUE(graphics::writeJpeg(program + rel, image, 95, error)) << error;
    }
    void plain(const std::string& rel, QColor colour) {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(colour);
        picture(rel, image);
    }

    saver::SaverSettings settings() const {
        saver::SaverSettings s;
        s.szImagePath = program;
        s.szINI = program + "Skyloom.ini";
        s.szScrIni = program + "ScreenSaver.ini";
        s.bUseAll = false;
        s.nTransition = saver::kNoTransitions;
        s.bCalender = false;
        return s;
    }
    void preset(frmSaver& w, const saver::SaverSettings& s, const std::string& path,
                const std::string& label = "label") {
        w.InitiSaver(s, false);
        w.change().playList().Add(imagesets::makePlayListEntry(path, label));
    }
    void run(frmSaver& w) {
        QTimer::singleShot(30000, &w, [&w] { w.CloseSaver(); });
        w.showModal();
    }

    test::TempDir dir;
    std::string program;
};

bool near(QRgb a, QColor b, int tolerance = 20) {
    return std::abs(qRed(a) - b.red()) < tolerance && std::abs(qGreen(a) - b.green()) < tolerance &&
           std::abs(qBlue(a) - b.blue()) < tolerance;
}

QRgb centre(frmSaver& w) {
    return w.canvas().pixel(w.canvas().width() / 2, w.canvas().height() / 2);
}

} // namespace

TEST_F(MotionWindowTest, PanelShowsForItsTimeThenTheScreenComesBack) {
    const QColor red(200, 40, 40);
    plain("Set/one.jpg", red);
    dir.write("program/Set/one.nfo",
              "English=The red one\n\nA red picture, all over, with nothing else in it.\n\nA "
              "second paragraph.\n");
    frmSaver w;
    auto s = settings();
    s.bDescriptive = 1;
    s.nDescriptiveDelay = 1;
    preset(w, s, "Set/one");
    QElapsedTimer sincePanel;
    QRgb underPanel = 0, afterPanel = 0;
    QRect panel;
    std::vector<QString> lines;
    bool clockStoppedMeanwhile = false, waitingAfter = false;
    w.canvasDrawn = [&] {
        if (panel.isNull() && !w.change().descriptionPanel().isNull()) {
            panel = w.change().descriptionPanel();
            lines = w.change().descriptionLines();
            underPanel = centre(w);
            clockStoppedMeanwhile =
                !w.change().tmrTrans().isActive() && w.change().tmrInfo().isActive();
            sincePanel.start();
        }
    };
    qint64 shownAfter = -1;
    w.pictureShown = [&](frmSaver& f) {
        shownAfter = sincePanel.isValid() ? sincePanel.elapsed() : -1;
        afterPanel = centre(f);
        QTimer::singleShot(0, &f, [&] {
            waitingAfter = f.change().tmrTrans().isActive();
            f.CloseSaver();
        });
    };
    run(w);
    ASSERT_FALSE(panel.isNull()) << "no panel";
    EXPECT_EQ(lines.front(), "The red one");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines.back(), "A second paragraph.");
    // Centred, darkened by the translucent black.
    const QImage& c = w.canvas();
    EXPECT_NEAR(panel.center().x(), c.width() / 2, 2);
    EXPECT_NEAR(panel.center().y(), c.height() / 2, 2);
    EXPECT_LT(qRed(underPanel), 120) << std::hex << underPanel;
    EXPECT_TRUE(clockStoppedMeanwhile);
    // One second (10 ticks of 100 ms), then the picture as it was.
    EXPECT_GE(shownAfter, 900);
    EXPECT_LT(shownAfter, 3000);
    EXPECT_TRUE(near(afterPanel, red)) << std::hex << afterPanel;
    EXPECT_TRUE(w.change().descriptionPanel().isNull());
    EXPECT_TRUE(waitingAfter);
}

TEST_F(MotionWindowTest, NoPanelForTitlePagesMissingTitlesOrAZeroTime) {
    plain("Set/one.jpg", QColor(40, 200, 40));
    dir.write("program/Set/one.nfo", "English=Green\n\nText.\n");
    plain("Set/bare.jpg", QColor(40, 200, 40));
    struct Case {
        std::string path, label;
        int time;
        bool panel;
    };
    for (const Case& c : {Case{"Set/one", "NULL", 20, false}, Case{"Set/bare", "label", 20, false},
                          Case{"Set/one", "label", 0, true}, Case{"Set/one", "label", -5, true}}) {
        SCOPED_TRACE(c.label + " " + std::to_string(c.time));
        frmSaver w;
        auto s = settings();
        s.bDescriptive = 1;
        s.nDescriptiveDelay = c.time;
        preset(w, s, c.path, c.label);
        bool panelSeen = false, shown = false;
        w.canvasDrawn = [&] { panelSeen = panelSeen || !w.change().descriptionPanel().isNull(); };
        QElapsedTimer t;
        t.start();
        w.pictureShown = [&](frmSaver& f) {
            shown = true;
            QTimer::singleShot(0, &f, [&f] { f.CloseSaver(); });
        };
        run(w);
        EXPECT_EQ(panelSeen, c.panel);
        EXPECT_TRUE(shown); // a time of 0 or less must not leave the saver stuck
        // Far below the run's 30 s guard: a time of 0 or less is not taken as a long one.
        EXPECT_LT(t.elapsed(), 20000);
    }
}

TEST_F(MotionWindowTest, TitleStripAtTheBottomOnlyWithATitle) {
    plain("Set/one.jpg", QColor(230, 230, 230));
    dir.write("program/Set/one.nfo", "German=Titel\n\nText.\n");
    for (const std::string language : {"German", "English"}) {
        SCOPED_TRACE(language);
        frmSaver w;
        auto s = settings();
        s.bTitles = 1;
        s.szLanguage = language;
        preset(w, s, "Set/one");
        QRect strip;
        QRgb inStrip = 0;
        w.pictureShown = [&](frmSaver& f) {
            strip = f.change().titleStrip();
            if (!strip.isNull())
                inStrip = f.canvas().pixel(strip.left() + 2, strip.center().y());
            QTimer::singleShot(0, &f, [&f] { f.CloseSaver(); });
        };
        run(w);
        if (language == "English") {
            EXPECT_TRUE(strip.isNull());
            continue;
        }
        ASSERT_FALSE(strip.isNull());
        EXPECT_EQ(strip.bottom(), w.canvas().height() - 1);
        EXPECT_NEAR(strip.center().x(), w.canvas().width() / 2, 2);
        EXPECT_LT(qRed(inStrip), 120); // darkened
    }
}

TEST_F(MotionWindowTest, PanoramaMovesToItsFarEndBeforeTheDisplayTimeStarts) {
    // 3:1, a colour ramp from left to right.
    QImage pano(960, 320, QImage::Format_RGB32);
    for (int x = 0; x < pano.width(); ++x)
        for (int y = 0; y < pano.height(); ++y)
            pano.setPixel(x, y, qRgb(x * 255 / 959, 60, 255 - x * 255 / 959));
    picture("Set/pano.jpg", pano);
    dir.write("program/Set/pano.nfo", "[Panoramic]\nPanDirection=LeftToRight\n");
    frmSaver w;
    auto s = settings();
    s.nPanSpeed = 0; // as fast as the timer goes
    preset(w, s, "Set/pano");
    int steps = 0;
    bool done = false, clockStopped = true;
    QRgb left = 0, right = 0, farEnd = 0;
    w.canvasDrawn = [&] {
        if (w.change().panState().mode != 0 && !w.change().panState().done) {
            ++steps;
            clockStopped = clockStopped && !w.change().tmrTrans().isActive();
        }
    };
    w.pictureShown = [&](frmSaver& f) {
        done = f.change().panState().done;
        const QImage& c = f.canvas();
        left = c.pixel(2, c.height() / 2);
        right = c.pixel(c.width() - 3, c.height() / 2);
        const QImage& p = f.change().picStretch().image();
        farEnd = p.pixel(p.width() - 3, p.height() / 2);
        QTimer::singleShot(0, &f, [&f] { f.CloseSaver(); });
    };
    run(w);
    EXPECT_TRUE(done);
    EXPECT_TRUE(clockStopped);
    const int expected = w.change().picStretch().width() - w.canvas().width();
    EXPECT_GE(steps, expected - 1); // each step repaints (the last one finishes)
    EXPECT_EQ(right, farEnd);
    EXPECT_GT(qRed(right), qRed(left));
}

// A panorama too large to hold moves through windows read from its file
// while it goes: every sampled frame of the pan and the far end are the
// same as with the whole picture held, in both directions, with windows
// only a few columns longer than the view (many reads, each in time or
// waited for).
TEST_F(MotionWindowTest, APanoramaReadAWindowAtATimeMovesAsOneHeldWhole) {
    QImage pano(300, 90, QImage::Format_RGB32);
    for (int y = 0; y < pano.height(); ++y)
        for (int x = 0; x < pano.width(); ++x)
            pano.setPixel(x, y, qRgb((x * 3) & 255, (x * y) & 255, (y * 11) & 255));
    picture("Set/pano.jpg", pano);
    for (const char* direction : {"LeftToRight", "RightToLeft"}) {
        SCOPED_TRACE(direction);
        dir.write("program/Set/pano.nfo",
                  std::string("[Panoramic]\nPanDirection=") + direction + "\n");
        struct Run {
            std::map<int, QImage> frames; // by the steps still to come
            QImage last;
            bool windowed = false;
        };
        auto runOnce = [&](bool windowed) {
            Run r;
            frmSaver w;
            auto s = settings();
            s.nPanSpeed = 0;
            preset(w, s, "Set/pano");
            if (windowed)
                w.change().setPanoramaWindows(1000, 3);
            w.canvasDrawn = [&] {
                const saver::PanState& p = w.change().panState();
                if (p.mode != 0 && !p.done && p.stepsLeft() % 97 == 0)
                    r.frames[p.stepsLeft()] = w.canvas().copy();
            };
            w.pictureShown = [&](frmSaver& f) {
                r.last = f.canvas().copy();
                r.windowed = f.change().picStretch().width() < f.change().panState().end;
                QTimer::singleShot(0, &f, [&f] { f.CloseSaver(); });
            };
            run(w);
            return r;
        };
        const Run whole = runOnce(false), windowed = runOnce(true);
        EXPECT_FALSE(whole.windowed);
        EXPECT_TRUE(windowed.windowed);
        ASSERT_FALSE(whole.last.isNull());
        EXPECT_EQ(windowed.last, whole.last);
        EXPECT_GT(whole.frames.size(), 5u);
        EXPECT_EQ(windowed.frames.size(), whole.frames.size());
        for (const auto& [left, frame] : whole.frames) {
            const auto other = windowed.frames.find(left);
            ASSERT_NE(other, windowed.frames.end()) << left;
            EXPECT_EQ(other->second, frame) << left << " steps before the end";
        }
    }
}

TEST_F(MotionWindowTest, AKeyDuringThePanEndsItAtOnce) {
    QImage pano(1200, 240, QImage::Format_RGB32);
    pano.fill(QColor(90, 90, 200));
    picture("Set/pano.jpg", pano);
    dir.write("program/Set/pano.nfo", "[Panoramic]\nPanDirection=RightToLeft\n");
    frmSaver w;
    auto s = settings();
    s.nPanSpeed = 20;
    preset(w, s, "Set/pano");
    int steps = 0, stepsAtKey = -1;
    bool shown = false;
    QElapsedTimer sinceKey;
    w.canvasDrawn = [&] {
        if (w.change().panState().mode == 0 || w.change().panState().done)
            return;
        if (++steps == 5) {
            stepsAtKey = steps;
            QTimer::singleShot(0, &w, [&] {
                sinceKey.start();
                QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
                QApplication::sendEvent(&w, &press);
            });
        }
    };
    w.pictureShown = [&](frmSaver&) { shown = true; };
    run(w);
    EXPECT_EQ(steps, stepsAtKey);
    EXPECT_FALSE(shown); // the display time never started
    // Measured from the key: an idle machine needs a few milliseconds, the
    // rest of the pan would need seconds.
    EXPECT_LT(sinceKey.elapsed(), 2000);
}
