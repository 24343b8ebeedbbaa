// The root-window backend against a real X server (Xvfb, skipped without
// it): the properties name the new pixmap, the previous wallpaper's pixmap
// is freed, removal takes both away.

#include "platform/wallpaper/DesktopBackend.h"

#include "tests/support/Wait.h"
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <QImage>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace skyloom::platform::wallpaper;

namespace {

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

class X11RootTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 300 + getpid() % 100, tries = 0; tries < 20 && name_.empty(); ++n, ++tries) {
            if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            const std::string display = ":" + std::to_string(n);
            // A second X screen for the wallpaper of several screens.
            std::vector<const char*> argv = {"Xvfb",       display.c_str(), "-screen", "0",
                                             "320x200x24", "-screen",       "1",       "160x100x24",
                                             "-noreset",   "-nolisten",     "tcp"};
            argv.push_back(nullptr);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr,
                                             const_cast<char**>(argv.data()), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0)
                GTEST_SKIP() << "Xvfb is not installed";
            // A busy machine may take a while to bring the server up.
            skyloom::test::waitUntil([&] {
                if (waitpid(server_, nullptr, WNOHANG) != 0) {
                    server_ = 0;
                    return true;
                }
                if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n))) {
                    name_ = display;
                    return true;
                }
                return false;
            });
        }
        if (name_.empty())
            GTEST_SKIP() << "no Xvfb display could be started";
        display_ = XOpenDisplay(name_.c_str());
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override {
        if (display_)
            XCloseDisplay(display_);
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
    }
    Pixmap property(const char* name, int screen = -1) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        Pixmap result = None;
        const Atom atom = XInternAtom(display_, name, False);
        const Window root = screen < 0 ? DefaultRootWindow(display_) : RootWindow(display_, screen);
        if (XGetWindowProperty(display_, root, atom, 0, 1, False, XA_PIXMAP, &type, &format, &items,
                               &after, &data) == Success &&
            items == 1)
            result = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
        if (data)
            XFree(data);
        return result;
    }
    bool exists(Pixmap pixmap) {
        auto previous = XSetErrorHandler(ignoreErrors);
        Window root;
        int x, y;
        unsigned w, h, border, depth;
        const bool found =
            XGetGeometry(display_, pixmap, &root, &x, &y, &w, &h, &border, &depth) != 0;
        XSetErrorHandler(previous);
        return found;
    }
    unsigned long rootPixel(int x, int y, int screen = 0) {
        XImage* image =
            XGetImage(display_, RootWindow(display_, screen), x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long pixel = image ? XGetPixel(image, 0, 0) : 0;
        if (image)
            XDestroyImage(image);
        return pixel & 0xffffff;
    }

    // Four quadrants of their own colour, centred: every row and column
    // lands where it belongs.
    void expectQuadrants() {
        auto backend = makeX11RootBackend(name_);
        QImage picture(200, 100, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y,
                                 x < 100 ? (y < 50 ? qRgb(255, 0, 0) : qRgb(0, 255, 0))
                                         : (y < 50 ? qRgb(0, 0, 255) : qRgb(255, 255, 0)));
        WallpaperPicture wallpaper;
        wallpaper.image = &picture;
        wallpaper.fit = true;
        ASSERT_TRUE(backend->install(wallpaper).ok);
        // Centred on 320 x 200: the picture covers x 60-259, y 50-149.
        EXPECT_EQ(rootPixel(60, 50), 0xff0000u);
        EXPECT_EQ(rootPixel(159, 99), 0xff0000u);
        EXPECT_EQ(rootPixel(60, 100), 0x00ff00u);
        EXPECT_EQ(rootPixel(160, 50), 0x0000ffu);
        EXPECT_EQ(rootPixel(259, 149), 0xffff00u);
        EXPECT_EQ(rootPixel(59, 50), 0u);
        EXPECT_EQ(rootPixel(260, 149), 0u);
        EXPECT_EQ(rootPixel(100, 150), 0u);
    }

    pid_t server_ = 0;
    std::string name_;
    Display* display_ = nullptr;
};

TEST_F(X11RootTest, EachWallpaperReplacesAndFreesThePrevious) {
    auto backend = makeX11RootBackend(name_);
    QImage red(320, 200, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    WallpaperPicture picture;
    picture.image = &red;
    picture.fit = true;
    ASSERT_TRUE(backend->install(picture).ok);
    const Pixmap first = property("_XROOTPMAP_ID");
    ASSERT_NE(first, static_cast<Pixmap>(None));
    EXPECT_EQ(property("ESETROOT_PMAP_ID"), first);
    EXPECT_TRUE(exists(first)); // kept after the setter's connection closed
    EXPECT_EQ(rootPixel(160, 100), 0xff0000u);
    EXPECT_EQ(rootPixel(0, 0), 0xff0000u); // a screen-sized picture needs no black
    EXPECT_EQ(rootPixel(319, 199), 0xff0000u);

    // A smaller picture sits in the middle on black.
    QImage blue(100, 50, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    picture.image = &blue;
    ASSERT_TRUE(backend->install(picture).ok);
    const Pixmap second = property("_XROOTPMAP_ID");
    EXPECT_NE(second, first);
    EXPECT_FALSE(exists(first));
    EXPECT_EQ(rootPixel(160, 100), 0x0000ffu);
    EXPECT_EQ(rootPixel(5, 5), 0u);

    ASSERT_TRUE(backend->remove().ok);
    EXPECT_EQ(property("_XROOTPMAP_ID"), static_cast<Pixmap>(None));
    EXPECT_EQ(property("ESETROOT_PMAP_ID"), static_cast<Pixmap>(None));
    EXPECT_FALSE(exists(second));
}

TEST_F(X11RootTest, PicturePixelsLandInPlace) {
    expectQuadrants();
}

// A picture composed for monitors sits at their corner; another X screen's
// root gets its own; removal clears every screen.
TEST_F(X11RootTest, ComposedPicturesAndOtherScreens) {
    auto backend = makeX11RootBackend(name_);
    QImage green(200, 100, QImage::Format_RGB32);
    green.fill(qRgb(0, 255, 0));
    WallpaperPicture picture;
    picture.image = &green;
    picture.fit = true;
    picture.origin = QPoint(120, 100);
    picture.monitors = {{"A", QRect(120, 100, 100, 100), {}, {}},
                        {"B", QRect(220, 100, 100, 100), {}, {}}};
    ASSERT_TRUE(backend->install(picture).ok);
    EXPECT_EQ(rootPixel(125, 105), 0x00ff00u);
    EXPECT_EQ(rootPixel(110, 150), 0u);
    EXPECT_EQ(rootPixel(160, 50), 0u);

    QImage blue(160, 100, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    WallpaperPicture other;
    other.image = &blue;
    other.fit = true;
    other.screenNumber = 1;
    ASSERT_TRUE(backend->install(other).ok);
    EXPECT_EQ(rootPixel(80, 50, 1), 0x0000ffu);
    const Pixmap first = property("_XROOTPMAP_ID", 0);
    const Pixmap second = property("_XROOTPMAP_ID", 1);
    ASSERT_NE(second, static_cast<Pixmap>(None));
    EXPECT_NE(second, first);
    EXPECT_TRUE(exists(first)); // screen 0's wallpaper stays
    EXPECT_EQ(rootPixel(125, 105), 0x00ff00u);
    other.screenNumber = 2;
    EXPECT_FALSE(backend->install(other).ok);

    ASSERT_TRUE(backend->remove().ok);
    EXPECT_EQ(property("_XROOTPMAP_ID", 0), static_cast<Pixmap>(None));
    EXPECT_EQ(property("_XROOTPMAP_ID", 1), static_cast<Pixmap>(None));
    EXPECT_FALSE(exists(first));
    EXPECT_FALSE(exists(second));
}

} // namespace
