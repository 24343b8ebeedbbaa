// What SetWallpaper records: the whole page after a change made on the
// Wallpaper page, only the picture after an automatic change, nothing after
// a failure; "LastChanged" last in every successful case.

#include "config/frmMoonfield.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>

using namespace skyloom;
using skyloom::config::frmMoonfield;

namespace {

class WallpaperSettingsTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
        for (const auto& [folder, pictures] :
             std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {"harbour", {"Boats", "Quay"}}, {"meadow", {"Grass", "Poppies", "Oak"}}})
            for (const auto& p : pictures)
                photo(program + folder + "/" + p + ".jpg");
    }
    static void photo(const std::string& path) {
        QImage image(320, 240, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(QString::fromStdString(path), "JPEG"));
    }
    std::string wallpaperFile(frmMoonfield& form) const {
        return form.windowsDirectory() + "Skyloom.bmp";
    }
    static constexpr const char* kOld = "1/1/2000 1:00:00 AM";
    static constexpr const char* kSaved = "[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nrandom=1\r\n"
                                          "CurrentSet=Meadow\r\nCurrentImage=Oak\r\n"
                                          "LastChanged=1/1/2000 1:00:00 AM\r\n";
};

TEST_F(WallpaperSettingsTest, AChangeOnThePageRecordsThePage) {
    writeSettings(kSaved);
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    auto& page = form.wallpaperPage();
    page.SelectSet(static_cast<int>(std::find(page.sets.begin(), page.sets.end(), "Harbour") -
                                    page.sets.begin()));
    page.SelectImage(1);
    page.stretch = true;
    page.calendarPosition = 7;
    page.calendarSize = 66;
    form.SetWallpaper();
    EXPECT_EQ(value("PrefsWP", "random"), "0");
    EXPECT_EQ(value("PrefsWP", "CurrentSet"), "Harbour");
    EXPECT_EQ(value("PrefsWP", "CurrentImage"), "Quay");
    EXPECT_EQ(value("PrefsWP", "stretch"), "1");
    EXPECT_EQ(value("PrefsWP", "enable"), "1");
    EXPECT_EQ(value("PrefsWP", "change"), "7");
    EXPECT_EQ(value("CalendarWP", "enable"), "1");
    EXPECT_EQ(value("CalendarWP", "position"), "7");
    EXPECT_EQ(value("CalendarWP", "size"), "66");
    EXPECT_NE(value("PrefsWP", "LastChanged"), kOld);
    // Fitted to the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(QImage(QString::fromStdString(wallpaperFile(form))).size(),
              screen->size() * screen->devicePixelRatio());
}

TEST_F(WallpaperSettingsTest, AnAutomaticChangeRecordsOnlyThePicture) {
    writeSettings(kSaved);
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    form.NextWallpaperImage();
    EXPECT_EQ(value("PrefsWP", "random"), "1");
    const std::string set = value("PrefsWP", "CurrentSet");
    EXPECT_TRUE(set == "Harbour" || set == "Meadow") << set;
    EXPECT_FALSE(value("PrefsWP", "CurrentImage").empty());
    for (const char* key : {"stretch", "enable", "change"})
        EXPECT_FALSE(has("PrefsWP", key)) << key;
    EXPECT_FALSE(has("CalendarWP", "enable"));
    EXPECT_NE(value("PrefsWP", "LastChanged"), kOld);
    // Not fitted: the picture's own size.
    EXPECT_EQ(QImage(QString::fromStdString(wallpaperFile(form))).size(), QSize(320, 240));
}

TEST_F(WallpaperSettingsTest, AFailedChangeWritesNothing) {
    writeSettings(kSaved);
    for (const char* p :
         {"harbour/Boats", "harbour/Quay", "meadow/Grass", "meadow/Poppies", "meadow/Oak"})
        writeFile(program + p + ".jpg", "damaged");
    const std::string before = readSettings();
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    form.NextWallpaperImage();
    EXPECT_EQ(readSettings(), before);
    EXPECT_FALSE(std::filesystem::exists(wallpaperFile(form)));
}

TEST_F(WallpaperSettingsTest, RemovalRecordsTheWallpaperOff) {
    writeSettings(kSaved);
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    form.wallpaperPage().enabled = false;
    form.SetWallpaper(); // the question is answered Yes when nobody is asked
    EXPECT_EQ(value("PrefsWP", "enable"), "0");
    EXPECT_NE(value("PrefsWP", "LastChanged"), kOld);
}

} // namespace
