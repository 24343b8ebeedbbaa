// Pipes and symbolic links inside image sets: nothing blocks, nothing outside
// the program directory is read, links that stay inside are followed.

#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "common/SetFileAccess.h"
#include "graphics/io/FileIO.h"
#include "graphics/io/PictureFile.h"
#include "imagesets/SetFiles.h"
#include "saver/Description.h"
#include "saver/PrepImageLogic.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom {
namespace {

namespace fs = std::filesystem;

class HostileSet : public ::testing::Test {
protected:
    void SetUp() override {
        profile::clearCache();
        fs::create_directories(program + "Set");
        setSetFileRoot(program);
        QImage red(8, 6, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        ASSERT_TRUE(red.save(QString::fromStdString(outside + "/secret.png"), "PNG"));
        ASSERT_TRUE(red.save(QString::fromStdString(program + "Set/real.png"), "PNG"));
        std::ofstream(outside + "/secret.nfo") << "[Panoramic]\nPanDirection=LeftToRight\n"
                                                  "English=Secret title\nsecret text\n";
    }
    void TearDown() override { setSetFileRoot(""); }

    void fifo(const std::string& rel) const {
        ASSERT_EQ(::mkfifo((program + rel).c_str(), 0644), 0) << rel;
    }
    void link(const std::string& target, const std::string& rel) const {
        fs::create_symlink(target, program + rel);
    }

    test::TempDir dir;
    const std::string program = dir.path() + "/program/";
    const std::string outside = dir.path();
};

// Every reader refuses a named pipe at once instead of waiting for a writer
// (the test would hang here otherwise), and says which file it was.
TEST_F(HostileSet, FifoIsRefusedByEveryReaderWithoutBlocking) {
    fifo("Set/pipe.jpg");
    fifo("Set/pipe.nfo");
    fifo("Set/company.ini");
    const std::string pipe = program + "Set/pipe.jpg";

    std::string error;
    EXPECT_FALSE(openSetFile(pipe, error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    EXPECT_NE(error.find(pipe), std::string::npos) << error;

    const graphics::FileBytes bytes(pipe);
    EXPECT_FALSE(bytes.ok());
    QImage image;
    EXPECT_FALSE(graphics::loadPicture(pipe, image, error));
    QSize size;
    EXPECT_FALSE(graphics::readPictureSize(pipe, size, error));
    EXPECT_NE(error.find(pipe), std::string::npos) << error;

    // INI reads of a pipe give the defaults.
    EXPECT_EQ(ReadIniString("Panoramic", "PanDirection", "none", program + "Set/pipe.nfo"), "none");
    imagesets::PathResolver resolver;
    EXPECT_EQ(resolver.resolve(program, "Set/company.ini"), std::nullopt);
    EXPECT_EQ(resolver.resolve(program, "Set/PIPE.JPG", &error), std::nullopt);
    EXPECT_NE(error.find("pipe.jpg"), std::string::npos) << error;

    saver::LayerChooser layers;
    const auto settings =
        saver::readPictureSettings(program, "Set/pipe", false, false, layers, [] { return 0.0; });
    EXPECT_EQ(settings.panDirection, "");
    const auto description =
        saver::ReadDescription(program + "Set/pipe.nfo", "English", 400,
                               [](const QString& s) { return int(s.size()) * 8; });
    EXPECT_TRUE(description.title.isEmpty());
}

TEST_F(HostileSet, LinksOutOfTheProgramDirectoryAreNotFollowed) {
    link(outside + "/secret.png", "Set/out.jpg");
    link(outside + "/secret.nfo", "Set/out.nfo");
    link("../../secret.png", "Set/relative.jpg");
    link(outside, "Set/Folder"); // a folder link leading out

    std::string error;
    for (const char* rel : {"Set/out.jpg", "Set/relative.jpg", "Set/Folder/secret.png"}) {
        EXPECT_FALSE(openSetFile(program + rel, error)) << rel;
        EXPECT_NE(error.find("outside"), std::string::npos) << error;
        QImage image;
        EXPECT_FALSE(graphics::loadPicture(program + rel, image, error)) << rel;
    }
    imagesets::PathResolver resolver;
    EXPECT_EQ(resolver.resolve(program, "Set/out.jpg"), std::nullopt);
    EXPECT_EQ(resolver.resolve(program, "Set/Folder"), std::nullopt);

    // The outside .nfo's settings and title never show.
    saver::LayerChooser layers;
    const auto settings =
        saver::readPictureSettings(program, "Set/out", false, false, layers, [] { return 0.0; });
    EXPECT_EQ(settings.panDirection, "");
    EXPECT_EQ(saver::descriptionNfoFor(program, "Set/out"), "");
    // A text ".." path written into the name leads out as well.
    EXPECT_FALSE(openSetFile(program + "Set/../../secret.png", error));
}

TEST_F(HostileSet, LinksThatStayInsideAreFollowed) {
    fs::create_directories(program + "Other");
    QImage blue(4, 4, QImage::Format_RGB32);
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(blue.save(QString::fromStdString(program + "Other/shared.png"), "PNG"));
    link("real.png", "Set/alias.jpg");
    link(program + "Other/shared.png", "Set/shared.jpg");

    QImage image;
    std::string error;
    ASSERT_TRUE(graphics::loadPicture(program + "Set/alias.jpg", image, error)) << error;
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    ASSERT_TRUE(graphics::loadPicture(program + "Set/shared.jpg", image, error)) << error;
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
    imagesets::PathResolver resolver;
    EXPECT_EQ(resolver.resolve(program, "set/ALIAS.jpg"), program + "Set/alias.jpg");
}

// The program directory itself may be reached through a link.
TEST_F(HostileSet, ProgramDirectoryBehindALink) {
    fs::create_symlink(program, outside + "/via");
    setSetFileRoot(outside + "/via/");
    std::string error;
    EXPECT_TRUE(openSetFile(outside + "/via/Set/real.png", error)) << error;
    link(outside + "/secret.png", "Set/out.jpg");
    EXPECT_FALSE(openSetFile(outside + "/via/Set/out.jpg", error));
}

// Files named outside the program directory (work files, the user's own
// files) are not confined, but still never block.
TEST_F(HostileSet, FilesElsewhereAreReadButPipesStillRefused) {
    std::string error;
    EXPECT_TRUE(openSetFile(outside + "/secret.png", error)) << error;
    ASSERT_EQ(::mkfifo((outside + "/pipe").c_str(), 0644), 0);
    EXPECT_FALSE(openSetFile(outside + "/pipe", error));
    EXPECT_FALSE(openSetFile("/dev/zero", error));
    EXPECT_NE(error.find("/dev/zero"), std::string::npos);
}

} // namespace
} // namespace skyloom
