// The wallpaper of several monitors: each monitor's part fitted to it, the
// composed picture over their bounding box, the calendar in the primary's
// part only, a picture of its own per monitor; one monitor as before.

#include "wallpaper/WallpaperRender.h"
#include "wallpaper/WallpaperSetter.h"

#include "common/ProfileFile.h"
#include "tests/support/GuiApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace skyloom;
using namespace skyloom::wallpaper;
namespace fs = std::filesystem;

namespace {

class ComposeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQGuiApplication(); }
    void SetUp() override {
        profile::clearCache();
        fs::create_directories(dir.file("set"));
        fs::create_directories(dir.file("work"));
        fs::create_directories(dir.file("windows"));
        request.pictureBase = dir.file("set/pic");
        request.setDirectory = dir.file("set/");
        request.screen = QSize(1024, 768);
        request.fit = true;
        request.calendar.enabled = false;
        request.today = QDate(2026, 12, 7);
        request.settingsFile = dir.file("ScreenSaver.ini");
        request.workFolder = dir.file("work");
        request.outputPath = dir.file("windows/Skyloom.bmp");
        // The primary on the right, listed first as the job lists it.
        request.monitors = {{"DP-2", QRect(1024, 0, 1280, 1024), true, {}, {}},
                            {"HDMI-1", QRect(0, 0, 1024, 768), false, {}, {}}};
        save(request.pictureBase, checks(800, 600, Qt::darkYellow));
    }
    // A picture with no black in it: squares of two colours.
    static QImage checks(int w, int h, QColor colour) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        for (int y = 0; y < h; y += 40)
            for (int x = (y / 40) % 2 * 40; x < w; x += 80)
                p.fillRect(x, y, 40, 40, colour);
        return image;
    }
    static void save(const std::string& base, const QImage& image) {
        ASSERT_TRUE(image.save(QString::fromStdString(base + ".jpg"), "JPEG", 95));
    }
    // Share of nearly black pixels in `area` of `image` (every 4th pixel).
    static double blackShare(const QImage& image, QRect area) {
        int black = 0, all = 0;
        for (int y = area.top(); y <= area.bottom(); y += 4)
            for (int x = area.left(); x <= area.right(); x += 4) {
                ++all;
                black += qGray(image.pixel(x, y)) < 16;
            }
        return all ? double(black) / all : 0;
    }
    RenderResult render() {
        calendar::CalendarClass calendar;
        return renderWallpaper(request, calendar);
    }
    test::TempDir dir;
    RenderRequest request;
};

TEST_F(ComposeTest, EachMonitorFilledOverTheBoundingBox) {
    const RenderResult r = render();
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.image.size(), QSize(2304, 1024));
    EXPECT_EQ(r.origin, QPoint(0, 0));
    ASSERT_EQ(r.parts.size(), 2u);
    EXPECT_EQ(r.parts[0], QRect(1024, 0, 1280, 1024));
    EXPECT_EQ(r.parts[1], QRect(0, 0, 1024, 768));
    // Fitted with its proportions: 4:3 on the 4:3 monitor, cut to 5:4 on the
    // other; neither shows black.
    EXPECT_LT(blackShare(r.image, r.parts[0]), 0.01);
    EXPECT_LT(blackShare(r.image, r.parts[1]), 0.01);
    // Below the smaller monitor no monitor shows anything: black.
    EXPECT_GT(blackShare(r.image, QRect(0, 768, 1024, 256)), 0.99);
    // The file is the composed picture.
    EXPECT_EQ(QImage(QString::fromStdString(request.outputPath)).size(), QSize(2304, 1024));

    // Monitors away from the origin: the picture starts at their corner.
    request.monitors[0].geometry.translate(0, 100);
    request.monitors[1].geometry.translate(0, 100);
    const RenderResult moved = render();
    ASSERT_TRUE(moved.ok) << moved.error;
    EXPECT_EQ(moved.origin, QPoint(0, 100));
    EXPECT_EQ(moved.image.size(), QSize(2304, 1024));
}

TEST_F(ComposeTest, NotFittedEachPartSitsInTheMiddleOfItsMonitor) {
    request.fit = false;
    const RenderResult r = render();
    ASSERT_TRUE(r.ok) << r.error;
    // 800 x 600 in the middle of 1280 x 1024 and of 1024 x 768.
    EXPECT_LT(blackShare(r.image, QRect(1024 + 240, 212, 800, 600)), 0.01);
    EXPECT_GT(blackShare(r.image, QRect(1024, 0, 1280, 200)), 0.99);
    EXPECT_LT(blackShare(r.image, QRect(112, 84, 800, 600)), 0.01);
    EXPECT_GT(blackShare(r.image, QRect(0, 0, 100, 768)), 0.99);
    // A picture larger than a monitor is cut to it, not spilled onto the
    // other one.
    save(request.pictureBase, checks(1600, 1200, Qt::darkYellow));
    const RenderResult big = render();
    ASSERT_TRUE(big.ok) << big.error;
    EXPECT_LT(blackShare(big.image, big.parts[0]), 0.01);
    EXPECT_LT(blackShare(big.image, big.parts[1]), 0.01);
}

TEST_F(ComposeTest, CalendarOnlyInThePrimarysPart) {
    const RenderResult plain = render();
    ASSERT_TRUE(plain.ok) << plain.error;
    request.calendar = {true, 3, 33};
    const RenderResult withCalendar = render();
    ASSERT_TRUE(withCalendar.ok) << withCalendar.error;
    QRect changed;
    for (int y = 0; y < plain.image.height(); ++y)
        for (int x = 0; x < plain.image.width(); ++x)
            if (plain.image.pixel(x, y) != withCalendar.image.pixel(x, y))
                changed = changed.united(QRect(x, y, 1, 1));
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_TRUE(QRect(1024, 0, 1280, 1024).contains(changed)) << changed.x() << "," << changed.y();
    // Top-right: in the primary's upper right quarter.
    EXPECT_GT(changed.left(), 1024 + 640);
    EXPECT_LT(changed.bottom(), 512);
}

TEST_F(ComposeTest, APictureOfItsOwnOnAMonitor) {
    request.monitors[1].pictureBase = dir.file("set/other");
    request.monitors[1].setDirectory = request.setDirectory;
    save(request.monitors[1].pictureBase, checks(800, 600, Qt::blue));
    const RenderResult r = render();
    ASSERT_TRUE(r.ok) << r.error;
    const QColor left = r.image.pixelColor(20, 20);    // HDMI-1's first square
    const QColor right = r.image.pixelColor(1044, 20); // DP-2's first square
    EXPECT_GT(left.blue(), 150);
    EXPECT_LT(left.red(), 80);
    EXPECT_GT(right.red(), 80);
    EXPECT_LT(right.blue(), 80);
    // A picture that cannot be read fails the whole wallpaper.
    request.monitors[1].pictureBase = dir.file("set/missing");
    EXPECT_FALSE(render().ok);
}

TEST_F(ComposeTest, OneMonitorIsTheSingleScreenWallpaper) {
    request.calendar = {true, 3, 33};
    request.monitors.clear();
    ASSERT_TRUE(render().ok);
    const auto bytes = [&] {
        std::ifstream in(request.outputPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string single = bytes();
    request.monitors = {{"DP-2", QRect(0, 0, 1024, 768), true, {}, {}}};
    const RenderResult one = render();
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_TRUE(one.parts.empty());
    EXPECT_EQ(bytes(), single);
}

// A desktop that takes one picture per monitor: what it was handed.
class PartsBackend : public platform::wallpaper::DesktopBackend {
public:
    explicit PartsBackend(platform::wallpaper::WallpaperPicture& seen) : seen_(seen) {}
    platform::wallpaper::BackendKind kind() const override {
        return platform::wallpaper::BackendKind::Xfce;
    }
    bool wantsMonitorParts() const override { return true; }
    platform::wallpaper::InstallResult
    install(const platform::wallpaper::WallpaperPicture& picture) override {
        seen_ = picture;
        seen_.image = nullptr;
        return {true, {}};
    }
    platform::wallpaper::InstallResult remove() override { return {true, {}}; }
    platform::wallpaper::ReadResult current() override { return {true, {}, {"xfce", false, {}}}; }

private:
    platform::wallpaper::WallpaperPicture& seen_;
};

TEST_F(ComposeTest, EachMonitorsPartInItsOwnFileUnderAFreshName) {
    platform::wallpaper::WallpaperPicture seen;
    WallpaperSetter setter(std::make_unique<PartsBackend>(seen), dir.file("record.ini"));
    ASSERT_TRUE(setter.SetWallpaper(request).ok);
    ASSERT_EQ(seen.monitors.size(), 2u);
    EXPECT_EQ(seen.monitors[0].name, "DP-2");
    EXPECT_EQ(seen.monitors[0].geometry, QRect(1024, 0, 1280, 1024));
    const std::string first = dir.file("windows/Skyloom-a-1.bmp");
    EXPECT_EQ(seen.monitors[0].bmpPath, first);
    EXPECT_EQ(QImage(QString::fromStdString(first)).size(), QSize(1280, 1024));
    EXPECT_EQ(QImage(QString::fromStdString(seen.monitors[1].bmpPath)).size(), QSize(1024, 768));
    // The next render under the other name; the parts before are gone.
    ASSERT_TRUE(setter.SetWallpaper(request).ok);
    EXPECT_EQ(seen.monitors[0].bmpPath, dir.file("windows/Skyloom-b-1.bmp"));
    EXPECT_FALSE(fs::exists(first));
    // One monitor again: no parts left over.
    request.monitors.clear();
    ASSERT_TRUE(setter.SetWallpaper(request).ok);
    EXPECT_TRUE(seen.monitors.empty());
    for (const auto& entry : fs::directory_iterator(dir.file("windows")))
        EXPECT_EQ(entry.path().filename().string().find("-1."), std::string::npos) << entry.path();
}

} // namespace
