// A set written on Windows: picture names with "\" separators and another
// letter case than the files on disk. The saver always found such pictures;
// the wallpaper, the dialog's previews and the set lists find them the same
// way.

#include "common/ProfileFile.h"
#include "common/SetFileAccess.h"
#include "imagesets/SetFiles.h"
#include "tests/support/GuiApp.h"
#include "tests/support/TempDir.h"
#include "wallpaper/WallpaperRender.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

namespace skyloom {
namespace {

namespace fs = std::filesystem;

class WindowsSet : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureQGuiApplication(); }
    void SetUp() override {
        profile::clearCache();
        fs::create_directories(set + "Sub");
        setSetFileRoot(program);
        save(set + "Sub/pic one.jpg", qRgb(200, 30, 30), "JPEG");
        save(set + "Sub/pic one.bmp", qRgb(200, 30, 30), "BMP");
        save(set + "leaf.jpg", qRgb(30, 200, 30), "JPEG");
        save(set + "leaf.bmp", qRgb(30, 200, 30), "BMP");
        save(set + "Dune.JPG", qRgb(30, 30, 200), "JPEG");
    }
    void TearDown() override { setSetFileRoot(""); }
    static void save(const std::string& path, QRgb colour, const char* format) {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(path), format)) << path;
    }

    test::TempDir dir;
    const std::string program = dir.path() + "/program/";
    const std::string set = program + "Set/";
};

TEST_F(WindowsSet, StoredNamesFindTheirFilesWhateverTheSeparatorsAndLetterCase) {
    using imagesets::setFilePath;
    EXPECT_EQ(setFilePath(set + "Sub\\pic one", ".jpg"), set + "Sub/pic one.jpg");
    EXPECT_EQ(setFilePath(set + "SUB\\PIC ONE", ".bmp"), set + "Sub/pic one.bmp");
    EXPECT_EQ(setFilePath(set + "LEAF", ".jpg"), set + "leaf.jpg");
    EXPECT_EQ(setFilePath(set + "dune", ".jpg"), set + "Dune.JPG");
    EXPECT_EQ(setFilePath(set + "leaf", ".jpg"), set + "leaf.jpg");
    // Nothing there: the name as it stands, for the message.
    EXPECT_EQ(setFilePath(set + "Gone\\pic", ".jpg"), set + "Gone\\pic.jpg");
    EXPECT_EQ(setFilePath(set + "leaf", ".nfo"), set + "leaf.nfo");
    // Names that would lead out of the set folder are not resolved.
    EXPECT_EQ(setFilePath(set + "..\\..\\secret", ".jpg"), set + "..\\..\\secret.jpg");
}

TEST_F(WindowsSet, WallpaperIsMadeFromPicturesNamedTheWindowsWay) {
    for (const auto& [name, green] :
         {std::pair<std::string, bool>{"Sub\\pic one", false}, {"LEAF", true}}) {
        wallpaper::RenderRequest request;
        request.pictureBase = set + name;
        request.setDirectory = set;
        request.screen = QSize(320, 240);
        request.reference = QSize(320, 240);
        request.fit = true;
        request.calendar.enabled = false;
        request.today = QDate(2026, 12, 9);
        request.settingsFile = program + "ScreenSaver.ini";
        request.workFolder = dir.path();
        request.outputPath = dir.path() + "/Skyloom.bmp";
        calendar::CalendarClass calendar;
        const wallpaper::RenderResult result = wallpaper::renderWallpaper(request, calendar);
        ASSERT_TRUE(result.ok) << name << ": " << result.error;
        const QRgb centre = result.image.pixel(160, 120);
        EXPECT_GT(green ? qGreen(centre) : qRed(centre), 150) << name;
    }
}

} // namespace
} // namespace skyloom
