// The saver window, driven offscreen: the notice, the ways of ending it and
// the picture clock.

#include "common/ProfileFile.h"
#include "platform/Registry.h"
#include "saver/Cursor.h"
#include "saver/frmSaver.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace skyloom;
using skyloom::saver::frmSaver;

namespace {

class FrmSaverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { skyloom::test::ensureQApplication(); }
    void SetUp() override {
        skyloom::test::useXdgFoldersIn(dir);
        saver::setDebugMode(false);
        program = platform::GetProgramPath();
    }
    void TearDown() override { saver::setDebugMode(false); }

    // Runs the saver; `during` is called once it has run for `afterMs`.
    void run(frmSaver& w, int afterMs, const std::function<void()>& during) {
        QTimer::singleShot(afterMs, &w, during);
        // A safety net so a failing test cannot hang the suite.
        QTimer::singleShot(10000, &w, [&w] { w.CloseSaver(); });
        w.showModal();
    }
    static void key(QWidget& w, int key, const QString& text = {}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&w, &press);
    }
    static void move(QWidget& w, int x, int y) {
        QMouseEvent ev(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(&w, &ev);
    }

    skyloom::test::TempDir dir;
    std::string program;
};

} // namespace

TEST_F(FrmSaverTest, NotSetUpShowsThePulsingNoticeAndAKeyEndsIt) {
    frmSaver w;
    bool visible = false, running = false, anyGrey = false;
    int grey = 0;
    run(w, 400, [&] {
        visible = w.isVisible();
        running = platform::screenSaverRunning();
        grey = w.change().clock().grey();
        const QImage& c = w.canvas();
        for (int y = 0; y < 60 && !anyGrey; ++y)
            for (int x = 0; x < 200 && !anyGrey; ++x)
                anyGrey = qGray(c.pixel(x, y)) > 0;
        key(w, Qt::Key_A, "a");
    });
    EXPECT_TRUE(visible);
    EXPECT_TRUE(running);
    EXPECT_GT(grey, 1); // 25 ms steps
    EXPECT_TRUE(anyGrey);
    EXPECT_TRUE(w.change().aborted());
    EXPECT_FALSE(platform::screenSaverRunning());
}

// While a password is asked for elsewhere the clocks stand still; released,
// they go on from where they were.
TEST_F(FrmSaverTest, HeldClocksStopTheNoticeUntilReleased) {
    frmSaver w;
    int held = -1, stillHeld = -1, released = -1;
    QTimer poll;
    run(w, 200, [&] {
        w.holdClocks(true);
        held = w.change().clock().grey();
        QTimer::singleShot(300, &w, [&] {
            stillHeld = w.change().clock().grey();
            w.holdClocks(false);
            QObject::connect(&poll, &QTimer::timeout, &w, [&] {
                if (w.change().clock().grey() != held) {
                    released = w.change().clock().grey();
                    w.CloseSaver();
                }
            });
            poll.start(10);
        });
    });
    EXPECT_GT(held, 0);
    EXPECT_EQ(stillHeld, held);
    EXPECT_NE(released, -1) << "the notice did not go on after the release";
}

TEST_F(FrmSaverTest, MouseMovesBeyondFivePixelsEndIt) {
    frmSaver w;
    bool stillOpenAfterSmallMoves = false;
    run(w, 100, [&] {
        move(w, 100, 100);
        move(w, 105, 105);
        stillOpenAfterSmallMoves = w.isVisible() && !w.change().aborted();
        move(w, 106, 111);
    });
    EXPECT_TRUE(stillOpenAfterSmallMoves);
    EXPECT_TRUE(w.change().aborted());
}

TEST_F(FrmSaverTest, RefusedPasswordKeepsItRunningAndDebugIgnoresTheMouse) {
    dir.write("config/skyloom/registry.ini",
              "[HKEY_CURRENT_USER\\Control Panel\\desktop]\nScreenSaveUsePassword=1\n");
    saver::setDebugMode(true);
    frmSaver w;
    int asked = 0;
    w.passwordCheck = [&] { return ++asked >= 2; };
    bool afterRefusal = false, afterDebugMove = false;
    run(w, 100, [&] {
        move(w, 100, 100);
        move(w, 300, 300); // ignored in debug mode
        afterDebugMove = !w.change().aborted();
        key(w, Qt::Key_Shift);
        afterRefusal = !w.change().aborted() && w.change().tmrTrans().isActive();
        key(w, Qt::Key_Shift);
    });
    EXPECT_TRUE(afterDebugMove);
    EXPECT_TRUE(afterRefusal);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(w.change().aborted());
}

TEST_F(FrmSaverTest, ProtectedSaverWithoutAVerifierNeverCloses) {
    dir.write("config/skyloom/registry.ini",
              "[HKEY_CURRENT_USER\\Control Panel\\desktop]\nScreenSaveUsePassword=1\n");
    frmSaver w;
    bool open = false;
    run(w, 100, [&] {
        key(w, Qt::Key_A, "a");
        QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &click);
        open = !w.change().aborted() && w.change().tmrTrans().isActive();
        w.change().settings().bUsePassword = false; // so the test can end it
        key(w, Qt::Key_A, "a");
    });
    EXPECT_TRUE(open);
}

TEST_F(FrmSaverTest, SetUpChangesThePictureAtOnceAndTabEndsItWhateverTheAddress) {
    dir.write("data/skyloom/program/ScreenSaver.ini", "[ScreenSaver]\nSetup=1\n");
    dir.write("data/skyloom/program/sstemp.bmp", "work file");

    frmSaver w;
    int changes = 0;
    int intervalDuringChange = 0;
    w.change().replaceChange = [&](saver::PictureChange& s) {
        ++changes;
        intervalDuringChange = s.tmrTrans().isActive() ? -1 : s.tmrTrans().interval();
        s.webLinks().webLinkEnabled = true;
        s.webLinks().pictureUrl = "javascript:alert(1)";
    };
    run(w, 300, [&] {
        // "javascript:" from a set's file is refused; Tab still ends the saver.
        key(w, Qt::Key_Tab, "\t");
    });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(intervalDuringChange, 1000);
    EXPECT_TRUE(w.change().settings().bSetUp);
    EXPECT_TRUE(w.change().aborted());
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/skyloom/program/sstemp.bmp")));
}
