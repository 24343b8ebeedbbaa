// The layer of the wallpaper: which picture, how translucent, where, and the
// turn kept in "WallpaperLastLayer".

#include "wallpaper/WallpaperLayer.h"

#include "common/ProfileFile.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace skyloom;
using namespace skyloom::wallpaper;

namespace {

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override { profile::clearCache(); }
    std::string settings() const { return dir.file("ScreenSaver.ini"); }
    std::string lastLayer() const {
        profile::clearCache();
        return profile::load(settings())->value("PrefsWP", "WallpaperLastLayer").value_or("");
    }
    void layerFile(const std::string& name, int w, int h) const {
        QImage layer(w, h, QImage::Format_RGB32);
        layer.fill(Qt::white);
        ASSERT_TRUE(layer.save(QString::fromStdString(dir.file("set/" + name)), "BMP"));
    }
    test::TempDir dir;
};

TEST_F(LayerTest, SetWideLayersTakeTurnsAndTheTurnIsStored) {
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        const LayerChoice c = ChooseWPLayer("a.bmp,b.bmp,c.bmp", "30", settings());
        names.push_back(c.name);
        EXPECT_EQ(c.translucency, 30);
        EXPECT_EQ(lastLayer(), std::to_string(i % 3 + 1));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp", "a.bmp"}));
}

TEST_F(LayerTest, TranslucencyListsShorterThanTheImages) {
    dir.write("ScreenSaver.ini", "[PrefsWP]\nWallpaperLastLayer=2\n");
    const LayerChoice third = ChooseWPLayer("a.bmp,b.bmp,c.bmp", "30,60", settings());
    EXPECT_EQ(third.name, "c.bmp");
    EXPECT_EQ(third.translucency, 50);
    // A value that is no number counts as 0; 2.5 rounds to the even 2.
    EXPECT_EQ(ChooseWPLayer("a.bmp,,c.bmp", "x,2.5,9", settings()).translucency, 0);
    const LayerChoice empty = ChooseWPLayer("a.bmp,,c.bmp", "x,2.5,9", settings());
    EXPECT_EQ(empty.name, "");
    EXPECT_EQ(empty.translucency, 2);
    // A stored turn that is out of range starts again at the first layer.
    dir.write("ScreenSaver.ini", "[PrefsWP]\nWallpaperLastLayer=-7\n");
    profile::clearCache();
    EXPECT_EQ(ChooseWPLayer("a.bmp,b.bmp", "10", settings()).name, "a.bmp");
    EXPECT_EQ(lastLayer(), "1");
}

TEST_F(LayerTest, NoSetWideLayerReadsAndWritesNothing) {
    EXPECT_EQ(ChooseWPLayer("", "40", settings()).name, "");
    EXPECT_FALSE(std::filesystem::exists(settings()));
}

TEST_F(LayerTest, TranslucencyScale) {
    EXPECT_EQ(normaliseTranslucency(32768), 50);
    EXPECT_EQ(normaliseTranslucency(100), 99);
    EXPECT_EQ(normaliseTranslucency(101), 0);
    EXPECT_EQ(normaliseTranslucency(65535), 99); // the whole fraction stays on the scale
    EXPECT_EQ(normaliseTranslucency(40), 40);
    EXPECT_EQ(normaliseTranslucency(-3), 0);
}

TEST_F(LayerTest, PictureLayerIsBlendedTwentyPixelsFromTheCorner) {
    std::filesystem::create_directories(dir.file("set"));
    layerFile("mark.bmp", 100, 50);
    dir.write("set/pic.nfo", "[LayerWP]\nlayerImage=mark.bmp\nlayerTranslucency=40\n");
    dir.write("set/company.ini", "[LayerWP]\nlayerImage=a.bmp,b.bmp\n");
    const rasterkit::Handle buffer = rasterkit::CreateWorkBuff(1024, 768, 0, 0);
    ASSERT_GE(buffer, 0);
    EXPECT_TRUE(
        DisplayWPLayer(buffer, 1024, 768, {dir.file("set/pic.nfo"), dir.file("set/"), settings()}));
    const QImage& p = *rasterkit::pixels(buffer);
    // White over black at 40: (255 × 60 + 50) / 100 = 153.
    EXPECT_EQ(qRed(p.pixel(904, 698)), 153);
    EXPECT_EQ(qRed(p.pixel(1003, 747)), 153);
    EXPECT_EQ(qRed(p.pixel(903, 698)), 0);
    EXPECT_EQ(qRed(p.pixel(904, 697)), 0);
    EXPECT_EQ(qRed(p.pixel(1004, 748)), 0);
    EXPECT_EQ(lastLayer(), ""); // the set's turn is not touched
    rasterkit::DestroyWorkBuff(buffer);
}

TEST_F(LayerTest, MissingOrForeignLayersAreSkippedButTheTurnAdvances) {
    std::filesystem::create_directories(dir.file("set"));
    dir.write("set/company.ini", "[LayerWP]\nlayerImage=gone.bmp,../../secret.bmp\n");
    const rasterkit::Handle buffer = rasterkit::CreateWorkBuff(200, 100, 0, 0);
    const LayerSource source{dir.file("set/pic.nfo"), dir.file("set/"), settings()};
    EXPECT_FALSE(DisplayWPLayer(buffer, 200, 100, source));
    EXPECT_EQ(lastLayer(), "1");
    EXPECT_FALSE(DisplayWPLayer(buffer, 200, 100, source));
    EXPECT_EQ(lastLayer(), "2");
    EXPECT_EQ(rasterkit::pixels(buffer)->pixel(150, 50), qRgb(0, 0, 0));
    rasterkit::DestroyWorkBuff(buffer);
}

} // namespace
