// At 200 % scaling the canvas has the screen's real pixels: the offscreen
// screen of 800 x 800 device pixels is 400 x 400 logical pixels, and the
// canvas covering it must be 800 x 800, not 400 x 400 scaled up.

#include "saver/Cursor.h"
#include "saver/frmSaver.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

TEST(SaverHiDpi, CanvasIsInDevicePixels) {
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
    std::filesystem::create_directories(dir.file("run"));
    std::filesystem::permissions(dir.file("run"), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", dir.file("run").c_str(), 1);
    dir.write("data/skyloom/program/ScreenSaver.ini", "[PrefsSS]\nstretch=0\n");
    int argc = 1;
    char arg0[] = "test_hidpi";
    char* argv[] = {arg0, nullptr};
    QApplication app(argc, argv);
    ASSERT_DOUBLE_EQ(app.devicePixelRatio(), 2.0);

    skyloom::saver::frmSaver w;
    QSize canvas, window;
    QRect shown;
    QTimer::singleShot(200, &w, [&] {
        canvas = w.canvas().size();
        window = w.size();
        shown = w.findChild<QWidget*>("picDisp")->geometry();
        w.change().settings().bUsePassword = false;
        w.CloseSaver();
    });
    w.showModal();
    EXPECT_EQ(canvas, window * 2);
    EXPECT_EQ(shown, QRect(QPoint(0, 0), window)); // smaller than 1024 x 768: the whole window
}
