// The wallpaper picture: the cut of a panorama, the size, the smoothing of
// an enlarged picture, the files written and what a failure leaves.

#include "wallpaper/WallpaperRender.h"
#include "wallpaper/WallpaperSetter.h"

#include "common/ProfileFile.h"
#include "tests/support/GuiApp.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <filesystem>

using namespace skyloom;
using namespace skyloom::wallpaper;
namespace fs = std::filesystem;

namespace {

TEST(PanoramaCut, CutToTheReferenceProportionsAndKeptInsideThePicture) {
    const QSize ref(1024, 768);
    EXPECT_EQ(panoramaCut({3000, 600}, "LeftToRight", 500, ref), QRect(500, 0, 800, 600));
    EXPECT_EQ(panoramaCut({3000, 600}, "RightToLeft", 500, QSize(800, 600)),
              QRect(500, 0, 800, 600));
    // Too near the end: the window moves back into the picture.
    EXPECT_EQ(panoramaCut({3000, 600}, "LeftToRight", 2900, ref), QRect(2200, 0, 800, 600));
    EXPECT_EQ(panoramaCut({3000, 600}, "LeftToRight", -40, ref), QRect(0, 0, 800, 600));
    // A picture narrower than the cut: all of it.
    EXPECT_EQ(panoramaCut({600, 600}, "LeftToRight", 100, ref), QRect(0, 0, 600, 600));
    EXPECT_EQ(panoramaCut({800, 3000}, "TopToBottom", 1000, ref), QRect(0, 1000, 800, 600));
    EXPECT_EQ(panoramaCut({800, 3000}, "BottomToTop", 2800, ref), QRect(0, 2400, 800, 600));
    // Directions are matched exactly.
    EXPECT_EQ(panoramaCut({3000, 600}, "lefttoright", 500, ref), QRect(0, 0, 3000, 600));
    EXPECT_EQ(panoramaCut({3000, 600}, "", 500, ref), QRect(0, 0, 3000, 600));
}

TEST(PanoramaCut, EnlargedWhenTheTargetExceedsThePictureEitherWay) {
    EXPECT_TRUE(enlarged({1024, 768}, {640, 480}));
    EXPECT_TRUE(enlarged({1920, 1080}, {3000, 600}));
    EXPECT_FALSE(enlarged({1024, 768}, {1024, 768}));
    EXPECT_FALSE(enlarged({800, 600}, {3000, 600}));
}

class RenderTest : public ::testing::Test {
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
        request.calendar.enabled = false;
        request.today = QDate(2026, 12, 7);
        request.settingsFile = dir.file("ScreenSaver.ini");
        request.workFolder = dir.file("work");
        request.outputPath = dir.file("windows/Skyloom.bmp");
    }
    void picture(const QImage& image) const {
        ASSERT_TRUE(image.save(QString::fromStdString(request.pictureBase + ".jpg"), "JPEG", 100));
    }
    static QImage bands(int w, int h) {
        // Red before x 500, green to 1300, blue after.
        QImage image(w, h, QImage::Format_RGB32);
        QPainter p(&image);
        p.fillRect(0, 0, 500, h, Qt::red);
        p.fillRect(500, 0, 800, h, Qt::green);
        p.fillRect(1300, 0, w - 1300, h, Qt::blue);
        return image;
    }
    QImage output() const { return QImage(QString::fromStdString(request.outputPath)); }
    RenderResult render() { return renderWallpaper(request, calendar); }

    test::TempDir dir;
    RenderRequest request;
    calendar::CalendarClass calendar;
};

TEST_F(RenderTest, PanoramaIsCutAtItsOriginAndShownAtItsOwnSizeWithoutFit) {
    picture(bands(3000, 600));
    dir.write("set/pic.nfo", "[Panoramic]\nPanDirection=LeftToRight\nPanoramicOrigin=500\n");
    ASSERT_TRUE(render().ok);
    const QImage out = output();
    ASSERT_EQ(out.size(), QSize(800, 600));
    for (int x : {2, 400, 797})
        EXPECT_GT(qGreen(out.pixel(x, 300)), 200) << x;
    EXPECT_LT(qRed(out.pixel(2, 300)) + qBlue(out.pixel(797, 300)), 60);
    // Fitted, the same cut fills the screen.
    request.fit = true;
    ASSERT_TRUE(render().ok);
    EXPECT_EQ(output().size(), QSize(1024, 768));
    EXPECT_GT(qGreen(output().pixel(1020, 384)), 200);
}

TEST_F(RenderTest, EnlargedPictureIsSmoothedBelowItsTopFourRows) {
    // One-pixel vertical stripes: every row of the enlargement is the same
    // until the filter blurs them.
    QImage stripes(640, 480, QImage::Format_RGB32);
    for (int x = 0; x < 640; ++x)
        for (int y = 0; y < 480; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    picture(stripes);
    request.fit = true;
    const RenderResult result = render();
    ASSERT_TRUE(result.ok) << result.error;
    const QImage out = output();
    ASSERT_EQ(out.size(), QSize(1024, 768));
    const auto row = [&](int y) { return out.copy(0, y, 1024, 1); };
    EXPECT_EQ(row(0), row(3));
    EXPECT_NE(row(3), row(100));
    EXPECT_EQ(row(100), row(200)); // smoothed rows are alike again
    // Not enlarged, not smoothed: the picture's own size.
    request.fit = false;
    ASSERT_TRUE(render().ok);
    EXPECT_EQ(output().size(), QSize(640, 480));
    EXPECT_EQ(output().copy(0, 3, 640, 1), output().copy(0, 100, 640, 1));
}

TEST_F(RenderTest, LowColourDisplaysGetAnEightBitPictureAndNoWorkFiles) {
    picture(bands(1600, 900));
    request.bitsPerPixel = 16;
    request.fit = true;
    ASSERT_TRUE(render().ok);
    const std::string bytes = test::TempDir::readPath(request.outputPath);
    ASSERT_GT(bytes.size(), 30u);
    EXPECT_EQ(bytes[28], 8); // bits per pixel of the BMP header
    EXPECT_FALSE(fs::exists(dir.file("work/wp.jpg")));
    EXPECT_FALSE(fs::exists(dir.file("work/sswpprep.bmp")));
    request.bitsPerPixel = 32;
    ASSERT_TRUE(render().ok);
    EXPECT_EQ(test::TempDir::readPath(request.outputPath)[28], 24);
}

TEST_F(RenderTest, CalendarAndPngCopyShareThePixels) {
    picture(bands(1600, 900));
    request.fit = true;
    request.keepAspect = false; // the bands fill the whole screen
    request.calendar = {true, 1, 33};
    request.pngPath = dir.file("windows/Skyloom.png");
    const RenderResult result = render();
    ASSERT_TRUE(result.ok) << result.error;
    const QImage bmp = output().convertToFormat(QImage::Format_RGB32);
    const QImage png =
        QImage(QString::fromStdString(request.pngPath)).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(bmp, png);
    EXPECT_EQ(bmp, result.image.convertToFormat(QImage::Format_RGB32));
    // The panel darkens the top-left corner of the red band.
    EXPECT_LT(qRed(bmp.pixel(25, 25)), 200);
    EXPECT_GT(qRed(bmp.pixel(25, 700)), 230);
    EXPECT_TRUE(fs::exists(dir.file("work/cal.bmp")));
}

// Fitting keeps proportions: the 16:9 bands on a 4:3 screen sit between
// black bars with their widths kept; a picture only a little wider than the
// screen covers it with its sides cut; "keepAspect" off stretches as before.
TEST_F(RenderTest, FittingKeepsProportions) {
    picture(bands(1600, 900));
    request.fit = true;
    ASSERT_TRUE(render().ok);
    QImage shown = output().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(1024, 768));
    EXPECT_EQ(shown.pixel(512, 90), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(512, 677), qRgb(0, 0, 0));
    // Red ends at 500 of 1600 pixels: 320 of 1024, kept.
    EXPECT_GT(qRed(shown.pixel(315, 384)), 200);
    EXPECT_GT(qGreen(shown.pixel(325, 384)), 200);
    EXPECT_LT(qRed(shown.pixel(325, 384)), 60);

    request.keepAspect = false;
    ASSERT_TRUE(render().ok);
    shown = output().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(qRed(shown.pixel(512 - 200, 5)), 200);
    EXPECT_GT(qGreen(shown.pixel(512, 5)), 200);

    // 1100 x 768 on 1024 x 768: 38 columns cut each side, no bars.
    request.keepAspect = true;
    picture(bands(1100, 768));
    ASSERT_TRUE(render().ok);
    shown = output().convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(qRed(shown.pixel(0, 5)), 200);
    EXPECT_GT(qGreen(shown.pixel(1023, 762)), 200); // no blue in 1100 columns
    // Red ends at 500 - 38 = 462.
    EXPECT_GT(qRed(shown.pixel(458, 384)), 200);
    EXPECT_GT(qGreen(shown.pixel(466, 384)), 200);
}

// The box of the pixels that differ from the plain grey of the picture.
QRect changedBox(const QImage& image, int grey) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (std::abs(qGray(image.pixel(x, y)) - grey) > 24)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(RenderTest, NotFittedTheCalendarAndLayerStayWhereTheScreenShows) {
    QImage plain(1600, 1200, QImage::Format_RGB32);
    plain.fill(qRgb(128, 128, 128));
    picture(plain);
    request.fit = false;
    request.screen = QSize(800, 600);
    // Centred at its own size, the screen shows x 400-1199, y 300-899.
    EXPECT_EQ(visiblePart(QSize(1600, 1200), QSize(800, 600)), QRect(400, 300, 800, 600));
    EXPECT_EQ(visiblePart(QSize(640, 480), QSize(800, 600)), QRect(0, 0, 640, 480));
    EXPECT_EQ(visiblePart(QSize(1600, 400), QSize(800, 600)), QRect(400, 0, 800, 400));
    EXPECT_FALSE(visiblePart(QSize(1600, 1200), QSize()).isValid());

    const QRect shown(400, 300, 800, 600);
    for (const int position : {1, 9}) {
        request.calendar = {true, position, 33};
        const RenderResult result = render();
        ASSERT_TRUE(result.ok) << result.error;
        const QRect box = changedBox(output().convertToFormat(QImage::Format_RGB32), 128);
        ASSERT_TRUE(box.isValid()) << "no calendar drawn at position " << position;
        EXPECT_TRUE(shown.contains(box)) << position << ": calendar at " << box.x() << ","
                                         << box.y() << " " << box.width() << "x" << box.height();
        // In the visible part's own corner, not somewhere near its middle.
        if (position == 1)
            EXPECT_LT(box.left() - shown.left() + box.top() - shown.top(), 120);
        else
            EXPECT_LT(shown.right() - box.right() + shown.bottom() - box.bottom(), 120);
    }

    // The layer's corner is measured from the visible part too.
    request.calendar.enabled = false;
    QImage layer(50, 50, QImage::Format_RGB32);
    layer.fill(Qt::white);
    ASSERT_TRUE(layer.save(QString::fromStdString(dir.file("set/layer.bmp")), "BMP"));
    dir.write("set/company.ini", "[LayerWP]\nlayerImage=layer.bmp\nlayerTranslucency=0\n");
    ASSERT_TRUE(render().ok);
    const QRect box = changedBox(output().convertToFormat(QImage::Format_RGB32), 128);
    EXPECT_EQ(box, QRect(1130, 830, 50, 50));
}

TEST_F(RenderTest, AFailedRenderLeavesThePreviousWallpaper) {
    dir.write("windows/Skyloom.bmp", "previous wallpaper");
    for (const std::string& content : {std::string(), std::string("not a picture"),
                                       std::string("\xff\xd8\xff\xe0 truncated", 14)}) {
        if (!content.empty())
            dir.write("set/pic.jpg", content);
        const RenderResult result = render();
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find("pic.jpg"), std::string::npos) << result.error;
        EXPECT_EQ(dir.read("windows/Skyloom.bmp"), "previous wallpaper");
    }
    // A folder that cannot take the file: reported, nothing left behind.
    picture(bands(1600, 900));
    request.outputPath = dir.file("missing/Skyloom.bmp");
    EXPECT_FALSE(render().ok);
    EXPECT_TRUE(fs::is_empty(dir.file("windows")) || fs::exists(dir.file("windows/Skyloom.bmp")));
    for (const auto& entry : fs::directory_iterator(dir.file("windows")))
        EXPECT_EQ(entry.path().filename(), "Skyloom.bmp");
}

TEST_F(RenderTest, TheSetterReportsAFailingDesktop) {
    // A backend that refuses: the wallpaper is rendered but the outcome says
    // the desktop did not take it.
    class Refusing : public platform::wallpaper::DesktopBackend {
    public:
        platform::wallpaper::BackendKind kind() const override {
            return platform::wallpaper::BackendKind::Gnome;
        }
        platform::wallpaper::InstallResult
        install(const platform::wallpaper::WallpaperPicture& p) override {
            seen = p.image && !p.image->isNull();
            return {false, "\"gsettings\" exit status 1"};
        }
        platform::wallpaper::InstallResult remove() override { return {false, "no"}; }
        bool seen = false;
    };
    auto backend = std::make_unique<Refusing>();
    Refusing* refusing = backend.get();
    WallpaperSetter setter(std::move(backend), dir.file("UserWallpaper.ini"));
    picture(bands(1600, 900));
    const Outcome outcome = setter.SetWallpaper(request);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(refusing->seen);
    EXPECT_NE(outcome.reason.find("gnome desktop did not take the wallpaper"), std::string::npos);
    EXPECT_FALSE(setter.RemoveWallpaper().ok);
}

} // namespace

namespace {

TEST_F(RenderTest, TheDecodedPictureIsKeptForTheSamePictureOnly) {
    request.cacheFolder = dir.file("cache");
    request.fit = true;
    picture(bands(1600, 900));
    ASSERT_TRUE(render().ok);
    const QImage first = output();
    ASSERT_TRUE(fs::exists(dir.file("cache/wallpaper-source.raw")));
    ASSERT_TRUE(render().ok);
    EXPECT_EQ(output(), first);
    // A new picture under the same name is decoded again.
    QImage blue(1600, 900, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    picture(blue);
    fs::last_write_time(request.pictureBase + ".jpg",
                        fs::last_write_time(request.pictureBase + ".jpg") +
                            std::chrono::seconds(5));
    ASSERT_TRUE(render().ok);
    EXPECT_GT(qBlue(output().pixel(500, 500)), 200);
    // A damaged cache file is not used.
    const std::string cached = dir.read("cache/wallpaper-source.raw");
    dir.write("cache/wallpaper-source.raw", cached.substr(0, cached.size() / 2));
    ASSERT_TRUE(render().ok);
    EXPECT_GT(qBlue(output().pixel(500, 500)), 200);
    EXPECT_EQ(dir.read("cache/wallpaper-source.raw").size(), cached.size());
}

} // namespace

namespace {

// Records what the desktop was given.
class Recording : public platform::wallpaper::DesktopBackend {
public:
    explicit Recording(platform::wallpaper::BackendKind kind) : kind_(kind) {}
    platform::wallpaper::BackendKind kind() const override { return kind_; }
    bool wantsPng() const override { return true; }
    platform::wallpaper::InstallResult
    install(const platform::wallpaper::WallpaperPicture& p) override {
        given.push_back(p.bmpPath);
        givenPng.push_back(p.pngPath);
        return {!refuse, refuse ? "refused" : ""};
    }
    platform::wallpaper::InstallResult remove() override { return {true, {}}; }
    std::vector<std::string> given, givenPng;
    bool refuse = false;

private:
    platform::wallpaper::BackendKind kind_;
};

TEST_F(RenderTest, SettingsDesktopsGetANewNameEachTime) {
    auto backend = std::make_unique<Recording>(platform::wallpaper::BackendKind::Kde);
    Recording* desktop = backend.get();
    WallpaperSetter setter(std::move(backend), dir.file("UserWallpaper.ini"));
    picture(bands(1600, 900));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(setter.SetWallpaper(request).ok);
    const std::string a = dir.file("windows/Skyloom-a.bmp");
    const std::string b = dir.file("windows/Skyloom-b.bmp");
    EXPECT_EQ(desktop->given, (std::vector<std::string>{a, b, a}));
    EXPECT_EQ(desktop->givenPng.back(), dir.file("windows/Skyloom-a.png"));
    // Only the name in use stays, with the same pixels as "Skyloom.bmp".
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
    EXPECT_FALSE(fs::exists(dir.file("windows/Skyloom-b.png")));
    EXPECT_EQ(dir.read("windows/Skyloom-a.bmp"), dir.read("windows/Skyloom.bmp"));
    // A refused install keeps the name that the desktop shows.
    desktop->refuse = true;
    EXPECT_FALSE(setter.SetWallpaper(request).ok);
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(b));
}

TEST_F(RenderTest, RootWindowAndFileKeepTheOneName) {
    auto backend = std::make_unique<Recording>(platform::wallpaper::BackendKind::File);
    Recording* desktop = backend.get();
    WallpaperSetter setter(std::move(backend), dir.file("UserWallpaper.ini"));
    picture(bands(1600, 900));
    ASSERT_TRUE(setter.SetWallpaper(request).ok);
    ASSERT_TRUE(setter.SetWallpaper(request).ok);
    EXPECT_EQ(desktop->given, (std::vector<std::string>(2, request.outputPath)));
}

} // namespace
