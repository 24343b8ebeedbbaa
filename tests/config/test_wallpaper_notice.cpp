// The unattended wallpaper run off the user-interface thread: the notice
// appears only for slow work and is gone afterwards; a message box the work
// asks for is shown by the user-interface thread and its answer goes back.

#include "config/QtMessageBox.h"
#include "config/WallpaperNotice.h"
#include "platform/MessageBox.h"
#include "tests/support/QtTestSupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

using namespace skyloom;
using namespace std::chrono_literals;

namespace {

QWidget* visibleTopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Set by the interface thread, waited for by the work thread (at most 30 s).
class Event {
public:
    void set() {
        {
            std::lock_guard lock(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }
    bool wait() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 30s, [this] { return set_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

class WallpaperNoticeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQApplication(); }
};

TEST_F(WallpaperNoticeTest, QuickWorkShowsNoNoticeAndRunsOffTheInterfaceThread) {
    QThread* workThread = nullptr;
    bool shown = true;
    const wallpaper::Outcome outcome = config::runWithWallpaperNotice(
        [&] {
            workThread = QThread::currentThread();
            return wallpaper::Outcome{true, "done"};
        },
        std::chrono::hours(1), {}, &shown);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.reason, "done");
    EXPECT_FALSE(shown);
    EXPECT_NE(workThread, nullptr);
    EXPECT_NE(workThread, QApplication::instance()->thread());
    EXPECT_EQ(visibleTopLevel("frmPleaseWait"), nullptr);
}

TEST_F(WallpaperNoticeTest, SlowWorkShowsTheNoticeUntilItEnds) {
    // The work goes on only once the interface thread has the notice up.
    Event noticeUp;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (visibleTopLevel("frmPleaseWait"))
            noticeUp.set();
    });
    watch.start(1);
    bool meanwhileOnInterfaceThread = false;
    bool shown = false;
    const wallpaper::Outcome outcome = config::runWithWallpaperNotice(
        [&] {
            return wallpaper::Outcome{noticeUp.wait(), "slow"};
        },
        0ms,
        [&] {
            meanwhileOnInterfaceThread =
                QThread::currentThread() == QApplication::instance()->thread();
        },
        &shown);
    watch.stop();
    EXPECT_TRUE(outcome.ok) << "the notice never appeared";
    EXPECT_EQ(outcome.reason, "slow");
    EXPECT_TRUE(shown);
    EXPECT_TRUE(meanwhileOnInterfaceThread);
    EXPECT_EQ(visibleTopLevel("frmPleaseWait"), nullptr);
}

TEST_F(WallpaperNoticeTest, MessageBoxOfTheWorkIsAnsweredOnTheInterfaceThread) {
    unsetenv("SKYLOOM_NONINTERACTIVE"); // the box itself is what is checked
    QThread* boxThread = nullptr;
    int beforeBoxCalls = 0;
    config::installQtMessageBoxes([&] { ++beforeBoxCalls; });
    // Answers the box with "No" once it shows.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                boxThread = box->thread();
                if (QAbstractButton* no = box->button(QMessageBox::No))
                    no->click();
            }
    });
    answer.start(5);
    const wallpaper::Outcome outcome = config::runWithWallpaperNotice(
        [] {
            const platform::MsgResult r = platform::MessageBox(
                "Remove?", platform::MsgButtons::YesNo, "Wallpaper Configuration");
            return wallpaper::Outcome{r == platform::MsgResult::No, "answered"};
        },
        std::chrono::hours(1));
    answer.stop();
    platform::setMessageBoxHandler(nullptr);
    setenv("SKYLOOM_NONINTERACTIVE", "1", 1);
    EXPECT_TRUE(outcome.ok) << "the work did not get the box's answer";
    EXPECT_EQ(boxThread, QApplication::instance()->thread());
    EXPECT_EQ(beforeBoxCalls, 1);
}

// Last in this file: after an application-wide quit no event loop of this
// thread runs again. The work still ends, and its message box gets the
// box's escape answer instead of waiting for ever.
TEST_F(WallpaperNoticeTest, QuitDuringTheWorkStillWaitsForItsEnd) {
    unsetenv("SKYLOOM_NONINTERACTIVE");
    config::installQtMessageBoxes();
    Event quitAsked;
    QTimer::singleShot(0, [&] {
        QCoreApplication::exit(0);
        quitAsked.set();
    });
    const wallpaper::Outcome outcome = config::runWithWallpaperNotice(
        [&] {
            const bool asked = quitAsked.wait();
            const platform::MsgResult r =
                platform::MessageBox("Remove?", platform::MsgButtons::YesNo, "Wallpaper");
            return wallpaper::Outcome{asked && r == platform::MsgResult::No, "ended"};
        },
        std::chrono::hours(1));
    platform::setMessageBoxHandler(nullptr);
    setenv("SKYLOOM_NONINTERACTIVE", "1", 1);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.reason, "ended");
}

} // namespace
