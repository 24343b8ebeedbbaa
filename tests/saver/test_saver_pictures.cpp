// The saver window showing pictures, driven offscreen: a picture appears,
// pictures that cannot be shown are skipped, an empty choice says so, and
// a key ends a running transition at once.

#include "common/ProfileFile.h"
#include "graphics/io/JpegCodec.h"
#include "imagesets/PlayList.h"
#include "saver/Cursor.h"
#include "saver/frmSaver.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"

#include <QFont>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

using namespace skyloom;
using skyloom::saver::frmSaver;

namespace {

class SaverPicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skyloom::test::ensureQApplication(); }
    void SetUp() override {
        skyloom::test::useXdgFoldersIn(dir);
        saver::setDebugMode(false);
        program = dir.path() + "/program/";
        std::filesystem::create_directories(program);
    }

    void picture(const std::string& rel, QColor colour) {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(colour);
        std::filesystem::create_directories(std::filesystem::path(program + rel).parent_path());
        std::string error;
        ASSERT_TRUE(graphics::writeJpeg(program + rel, image, 90, error)) << error;
    }

    // A preset saver over the given play-list paths, in order or at random.
    void preset(frmSaver& w, const std::vector<std::string>& paths, int transition,
                bool random = false) {
        saver::SaverSettings s;
        s.szImagePath = program;
        s.szINI = program + "Skyloom.ini";
        s.szScrIni = program + "ScreenSaver.ini";
        s.bUseAll = random;
        s.nTimeBetween = 60;
        s.nTransition = transition;
        w.InitiSaver(s, false);
        for (const auto& p : paths)
            w.change().playList().Add(imagesets::makePlayListEntry(p, "label"));
    }

    // Runs the saver until its first picture change is over, then `check`.
    void afterChange(frmSaver& w, const std::function<void()>& check) {
        w.pictureShown = [check](frmSaver& s) { QTimer::singleShot(0, &s, check); };
        // A safety net so a failing test cannot hang the suite.
        QTimer::singleShot(30000, &w, [&w] { w.CloseSaver(); });
        w.showModal();
    }

    static QRgb centre(frmSaver& w) {
        const QImage& c = w.canvas();
        return c.pixel(c.width() / 2, c.height() / 2);
    }

    test::TempDir dir;
    std::string program;
};

bool near(QRgb a, QColor b) {
    return std::abs(qRed(a) - b.red()) < 20 && std::abs(qGreen(a) - b.green()) < 20 &&
           std::abs(qBlue(a) - b.blue()) < 20;
}

} // namespace

TEST_F(SaverPicturesTest, ShowsThePictureThenWaitsForTheDisplayTime) {
    picture("Set/one.jpg", QColor(200, 40, 40));
    frmSaver w;
    preset(w, {"Set/one"}, saver::kNoTransitions);
    int shown = 0;
    QRgb seen = 0;
    bool waiting = false;
    afterChange(w, [&] {
        ++shown;
        seen = centre(w);
        waiting = w.change().tmrTrans().isActive() && w.change().tmrTrans().interval() == 1000;
        w.CloseSaver();
    });
    EXPECT_TRUE(near(seen, QColor(200, 40, 40))) << std::hex << seen;
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(waiting);
    EXPECT_EQ(w.change().currentPicture().relativePath, "Set/one");
    EXPECT_TRUE(std::filesystem::exists(program + "ssprep.bmp"));
}

TEST_F(SaverPicturesTest, SkipsMissingAndBrokenPicturesAndLogsThem) {
    picture("Set/good.jpg", QColor(30, 200, 30));
    dir.write("program/Set/broken.jpg", "\xff\xd8\xff garbage");
    frmSaver w;
    preset(w, {"Set/missing", "Set/broken", "Set/good"}, saver::kNoTransitions);
    QRgb seen = 0;
    afterChange(w, [&] {
        seen = centre(w);
        w.CloseSaver();
    });
    EXPECT_TRUE(near(seen, QColor(30, 200, 30))) << std::hex << seen;
    EXPECT_EQ(w.change().currentPicture().index, 3);
    profile::clearCache();
    EXPECT_NE(test::TempDir::readPath(program + "ScreenSaver.ini").find("LastImage=3"),
              std::string::npos);
}

// A set whose photos are gone but whose entries remain: one change walks
// over 3,000 missing entries to the one picture there, writes LastImage once
// and logs a handful of names plus a count.
TEST_F(SaverPicturesTest, ThousandsOfMissingEntriesAreSkippedInOneChange) {
    picture("Set/last.jpg", QColor(200, 200, 30));
    std::vector<std::string> paths;
    for (int i = 0; i < 3000; ++i)
        paths.push_back("Set/gone" + std::to_string(i));
    paths.push_back("Set/last");
    frmSaver w;
    preset(w, paths, saver::kNoTransitions);
    QRgb seen = 0;
    afterChange(w, [&] {
        seen = centre(w);
        w.CloseSaver();
    });
    EXPECT_TRUE(near(seen, QColor(200, 200, 30))) << std::hex << seen;
    EXPECT_EQ(w.change().currentPicture().index, 3001);
    profile::clearCache();
    EXPECT_NE(test::TempDir::readPath(program + "ScreenSaver.ini").find("LastImage=3001"),
              std::string::npos);
}

TEST_F(SaverPicturesTest, NoPictureAtAllGivesANoticeAndTriesAgainLater) {
    frmSaver w;
    preset(w, {"Set/missing", "Gone/also"}, saver::kNoTransitions, true);
    bool anyLight = false, waiting = false;
    int rightmost = -1;
    afterChange(w, [&] {
        const QImage& c = w.canvas();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 400 && x < c.width(); ++x)
                if (qGray(c.pixel(x, y)) > 128) {
                    anyLight = true;
                    rightmost = std::max(rightmost, x);
                }
        waiting = w.change().tmrTrans().isActive();
        w.CloseSaver();
    });
    EXPECT_TRUE(anyLight); // "No pictures found"
    EXPECT_TRUE(waiting);
    // Nothing is left of the longer "Initializing Screen Saver..." before it.
    QFont font("Liberation Sans");
    font.setPixelSize(16);
    font.setBold(true);
    EXPECT_LE(rightmost, QFontMetrics(font).horizontalAdvance("No pictures found") + 2);
}

// The picture is decoded and fitted on a worker thread: input is handled
// while a large photo is prepared, a key then ends the saver, and the photo
// is never shown.
TEST_F(SaverPicturesTest, InputIsHandledWhileAPictureIsPrepared) {
    QImage big(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(big.scanLine(y));
        for (int x = 0; x < big.width(); ++x)
            row[x] = qRgb((x * 7 + y) & 255, (x ^ y) & 255, (x * y) & 255);
    }
    std::string error;
    std::filesystem::create_directories(program + "Set");
    ASSERT_TRUE(graphics::writeJpeg(program + "Set/big.jpg", big, 95, error)) << error;
    big = QImage();
    frmSaver w;
    preset(w, {"Set/big"}, saver::kNoTransitions);
    int ticksWhilePreparing = 0;
    bool keySent = false;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, &w, [&] {
        if (!w.change().preparingPicture())
            return;
        ++ticksWhilePreparing;
        if (keySent)
            return;
        keySent = true;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
        QApplication::sendEvent(&w, &press);
    });
    w.shown = [&poll] { poll.start(); };
    QTimer::singleShot(30000, &w, [&w] { w.CloseSaver(); });
    w.showModal();
    EXPECT_TRUE(keySent);
    EXPECT_GE(ticksWhilePreparing, 1);
    EXPECT_TRUE(w.change().aborted());
    EXPECT_FALSE(w.change().preparingPicture());
    EXPECT_EQ(w.change().currentPicture().index, 0);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(SaverPicturesTest, AKeyDuringATransitionEndsTheSaverAtOnce) {
    picture("Set/one.jpg", QColor(40, 40, 200));
    frmSaver w;
    preset(w, {"Set/one"}, saver::kBlockOut); // 788 steps: about 10 s
    int steps = 0;
    bool lit = false, clockStopped = false;
    QElapsedTimer sinceKey;
    w.canvasDrawn = [&] {
        if (w.change().picStretch().width() == 0 || ++steps != 20)
            return;
        // Twenty steps in: some blocks show, the clock waits for the change.
        const QImage& c = w.canvas();
        for (int y = 0; y < c.height() && !lit; y += 3)
            for (int x = 0; x < c.width() && !lit; x += 3)
                lit = near(c.pixel(x, y), QColor(40, 40, 200));
        clockStopped = !w.change().tmrTrans().isActive();
        QTimer::singleShot(0, &w, [&] {
            sinceKey.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
            QApplication::sendEvent(&w, &press);
        });
    };
    QTimer::singleShot(30000, &w, [&w] { w.CloseSaver(); });
    w.showModal();
    EXPECT_EQ(steps, 20); // no step after the key
    // Measured from the key: a few milliseconds when idle, the rest of the
    // transition would take seconds.
    EXPECT_LT(sinceKey.elapsed(), 2000);
    EXPECT_TRUE(lit);
    EXPECT_TRUE(clockStopped);
    EXPECT_TRUE(w.change().aborted());
    EXPECT_FALSE(w.isVisible());
}
