// Whole sets made from folders of photos, made again, registered and played.

#include "TestPictures.h"

#include "common/IniDocument.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/PlayList.h"
#include "imagesets/SetLibrary.h"
#include "imagesets/maker/Picture.h"
#include "imagesets/maker/Progress.h"
#include "imagesets/maker/SetMaker.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace skyloom;
using namespace skyloom::mkset;
using namespace skyloom::test;
namespace fs = std::filesystem;

namespace {

class SetMaker : public ::testing::Test {
protected:
    void SetUp() override {
        profile::clearCache();
        setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
        setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        fs::create_directories(source);
    }

    // The folder of the acceptance case: a sideways photo, a PNG, a
    // truncated JPEG and a text file.
    void mixedFolder() {
        dir.write("photos/Sideways.jpg",
                  jpegOf(twoHalves(180, 100, kRed, kBlue), {exifSegment(6, "Lighthouse")}));
        dir.write("photos/night_sky.png", pngOf(twoHalves(300, 200, kBlue, kBlue)));
        const std::string good = jpegOf(twoHalves(300, 200, kRed, kRed));
        dir.write("photos/broken.jpg", good.substr(0, good.size() / 2));
        dir.write("photos/notes.txt", "not a picture\n");
    }

    MakeReport make(const std::string& name = "Holiday", StoreMode mode = StoreMode::Copy,
                    const std::string& company = "") {
        profile::clearCache();
        MakeOptions o;
        o.sources = {source};
        o.setName = name;
        o.programDir = program;
        o.store = mode;
        o.companyFile = company;
        return makeSet(o);
    }

    std::string registryValue(const std::string& section, const std::string& key) {
        profile::clearCache();
        return ReadIniString(section, key, "<none>", program + "Skyloom.ini");
    }

    TempDir dir;
    const std::string source = dir.file("photos");
    const std::string program = dir.file("program") + "/";
    const std::string set = program + "Holiday/";
};

} // namespace

TEST_F(SetMaker, MixedFolderGivesTwoPicturesAndTwoReportedSkipsThatTheSaverPlays) {
    mixedFolder();
    MakeReport r = make();
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.made, 2);
    EXPECT_EQ(r.total, 2);
    ASSERT_EQ(r.skipped.size(), 2u);
    // Skips are reported by file with a reason (order: found, then failed).
    EXPECT_EQ(r.skipped[0].file, "notes.txt");
    EXPECT_EQ(r.skipped[0].reason, "not a JPEG or PNG picture");
    EXPECT_EQ(r.skipped[1].file, "broken.jpg");
    EXPECT_NE(r.skipped[1].reason.find("truncated"), std::string::npos);
    const std::string summary = summaryText(r);
    EXPECT_NE(summary.find("2 pictures (2 made"), std::string::npos) << summary;
    EXPECT_NE(summary.find("broken.jpg: the file is truncated"), std::string::npos) << summary;

    // The files of both pictures; the PNG became a JPEG, the sideways photo
    // stands upright.
    for (const char* f : {"Sideways.jpg", "Sideways.bmp", "Sideways.nfo", "night_sky.jpg",
                          "night_sky.bmp", "night_sky.nfo", "images.ini"})
        EXPECT_TRUE(fs::exists(set + f)) << f;
    EXPECT_FALSE(fs::exists(set + "broken.bmp"));
    std::string error;
    QImage upright =
        decodeJpegAtLeast(TempDir::readPath(set + "Sideways.jpg"), {9999, 9999}, error);
    EXPECT_EQ(upright.width(), 100);
    EXPECT_EQ(upright.height(), 180);
    EXPECT_EQ(
        decodeJpegAtLeast(TempDir::readPath(set + "night_sky.jpg"), {9999, 9999}, error).width(),
        300);
    EXPECT_EQ(TempDir::readPath(set + "Sideways.nfo"), "English=Lighthouse\n");
    EXPECT_EQ(TempDir::readPath(set + "night_sky.nfo"), "English=Night sky\n");

    // Registered; the library lists both (their previews exist) and the
    // saver's play list holds both.
    EXPECT_TRUE(r.registered);
    EXPECT_EQ(registryValue("SetDescriptions", "Holiday"), "Holiday/");
    imagesets::SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), imagesets::SetLibrary::InitResult::Ok);
    auto holiday = lib.Sets().GetSet("Holiday");
    ASSERT_TRUE(holiday);
    EXPECT_EQ(holiday->IncludedCount(), 2);
    imagesets::clsImageList list;
    imagesets::BuildSetPlayList(list, {program, program + "Skyloom.ini", 60}, "Holiday");
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.Item(1), imagesets::makePlayListEntry("Holiday/Sideways", "Lighthouse"));
    EXPECT_TRUE(imagesets::resolvePicture(program, imagesets::entryPath(list.Item(2))));
}

TEST_F(SetMaker, RunningAgainAddsOnlyNewPicturesAndKeepsMarksAndLists) {
    mixedFolder();
    ASSERT_EQ(make().made, 2);
    const std::string imagesIni = TempDir::readPath(set + "images.ini");
    // The user excludes a picture; then a photo is added and one changes.
    std::string excluded = "*Sideways";
    ASSERT_TRUE(WriteIniString("Holiday", "Lighthouse", excluded, program + "Skyloom.ini"));
    MakeReport again = make();
    EXPECT_EQ(again.made, 0);
    EXPECT_EQ(again.kept, 2);
    EXPECT_EQ(TempDir::readPath(set + "images.ini"), imagesIni);

    dir.write("photos/Zebra.jpg", jpegOf(twoHalves(64, 48, kBlue, kRed)));
    fs::last_write_time(source + "/night_sky.png",
                        fs::last_write_time(set + "night_sky.bmp") + std::chrono::seconds(5));
    MakeReport third = make();
    EXPECT_EQ(third.made, 2); // Zebra new, night_sky changed
    EXPECT_EQ(third.kept, 1);
    EXPECT_EQ(third.total, 3);
    EXPECT_EQ(TempDir::readPath(set + "images.ini"), imagesIni + "Zebra=Zebra\n");
    EXPECT_EQ(registryValue("Holiday", "Lighthouse"), "*Sideways");
    EXPECT_EQ(registryValue("Holiday", "Zebra"), "Zebra");
    imagesets::SetLibrary lib;
    lib.InitSetsInfo(program);
    EXPECT_EQ(lib.Sets().GetSet("Holiday")->IncludedCount(), 2);
    EXPECT_EQ(lib.Sets().GetSet("Holiday")->ExcludedCount(), 1);
}

TEST_F(SetMaker, JpegsAreCopiedOrLinkedByteForByte) {
    const std::string photo = jpegOf(twoHalves(64, 48, kRed, kBlue), {xmpSegment("Dunes", "")});
    dir.write("photos/dunes.jpg", photo);
    ASSERT_EQ(make("Copied").made, 1);
    EXPECT_EQ(TempDir::readPath(program + "Copied/dunes.jpg"), photo);
    EXPECT_FALSE(fs::equivalent(source + "/dunes.jpg", program + "Copied/dunes.jpg"));
    ASSERT_EQ(make("Linked", StoreMode::Link).made, 1);
    const std::string linked = program + "Linked/dunes.jpg";
    EXPECT_TRUE(fs::equivalent(source + "/dunes.jpg", linked) || fs::is_symlink(linked));
    EXPECT_EQ(TempDir::readPath(linked), photo);
    EXPECT_EQ(registryValue("Linked", "Dunes"), "dunes");
}

TEST_F(SetMaker, SourcesSharingANameGetDistinctFilesAndPanoramasTheirMotion) {
    dir.write("photos/coast.jpg", jpegOf(twoHalves(800, 200, kRed, kBlue)));
    dir.write("photos/coast.png", pngOf(twoHalves(100, 300, kRed, kBlue)));
    MakeReport r = make();
    ASSERT_EQ(r.made, 2);
    const auto nfo = [&](const std::string& f) {
        return IniDocument::parse(TempDir::readPath(set + f + ".nfo"));
    };
    EXPECT_EQ(nfo("coast").value("Panoramic", "PanDirection"), "LeftToRight");
    EXPECT_EQ(nfo("coast").value("Panoramic", "PanoramicOrigin"), "222");
    EXPECT_EQ(nfo("coast-png").value("Panoramic", "PanDirection"), "TopToBottom");
    EXPECT_EQ(registryValue("Holiday", "Coast"), "coast");
    EXPECT_EQ(registryValue("Holiday", "Coast (2)"), "coast-png");
}

TEST_F(SetMaker, NothingUsableOrAForeignSetLeavesEverythingAsItWas) {
    dir.write("photos/readme.txt", "text");
    MakeReport r = make();
    EXPECT_NE(r.error, "");
    EXPECT_EQ(r.total, 0);
    EXPECT_FALSE(fs::exists(set));
    EXPECT_FALSE(fs::exists(program + "Skyloom.ini"));
    EXPECT_NE(summaryText(r).find("No set made"), std::string::npos);

    // A folder that already holds another set is not touched.
    dir.write("program/Holiday/images.ini", "[SetDescriptions]\nWork=x\n\n[Work]\nA=a\n");
    dir.write("photos/a.jpg", jpegOf(twoHalves(16, 16, kRed, kRed)));
    r = make();
    EXPECT_NE(r.error.find("already holds the set \"Work\""), std::string::npos) << r.error;
    EXPECT_FALSE(fs::exists(set + "a.jpg"));
    // The set's own folder is not a source.
    MakeOptions o;
    o.sources = {program + "Holiday"};
    o.setName = "Work";
    o.programDir = program;
    fs::rename(program + "Holiday", program + "Work");
    o.sources = {program + "Work"};
    EXPECT_NE(makeSet(o).error.find("own folder"), std::string::npos);
}

TEST_F(SetMaker, CompanyFileFillsASkeletonWithWorkingDefaults) {
    dir.write("photos/a.jpg", jpegOf(twoHalves(16, 16, kRed, kRed)));
    dir.write("company-in.ini", "[Company]\nCompany Name=Skyloom Demo\n[TitlePage]\ntime=8\n");
    ASSERT_EQ(make("Holiday", StoreMode::Copy, dir.file("company-in.ini")).error, "");
    const std::string company = set + "company.ini";
    profile::clearCache();
    EXPECT_EQ(ReadIniString("Company", "Company Name", "", company), "Skyloom Demo");
    EXPECT_EQ(ReadIniInt("TitlePage", "time", 20, company), 8);
    EXPECT_EQ(ReadIniInt("TitlePage", "userControl", 1, company), 1);
    EXPECT_EQ(ReadIniString("LayerSS", "layerTranslucency", "50", company), "50");
    EXPECT_EQ(ReadIniInt("LayerSS", "layerFrequency", 1, company), 1);
    EXPECT_EQ(ReadIniString("LayerWP", "layerTranslucency", "0", company), "0");
    EXPECT_EQ(ReadIniString("TitlePage", "file", "", company), ""); // no title page
    // Made again with another file: what it does not name stays.
    dir.write("company-2.ini", "[About]\nsupportURL=https://example.org/help\n");
    ASSERT_EQ(make("Holiday", StoreMode::Copy, dir.file("company-2.ini")).error, "");
    profile::clearCache();
    EXPECT_EQ(ReadIniString("Company", "Company Name", "", company), "Skyloom Demo");
    EXPECT_EQ(ReadIniString("About", "supportURL", "", company), "https://example.org/help");
    EXPECT_NE(make("Holiday", StoreMode::Copy, dir.file("missing.ini")).error, "");
}

TEST(Progress, LineShowsCountBarAndAsMuchOfTheNameAsFits) {
    EXPECT_EQ(TerminalProgress::line(5, 20, "Aqua.jpg", 80),
              "5/20 [#######.......................] Aqua.jpg");
    EXPECT_EQ(TerminalProgress::line(20, 20, "\xC3\xA9t\xC3\xA9.jpg", 41),
              "20/20 [##############################] \xC3\xA9");
}

#ifdef SKYLOOM_MKSET_PROGRAM
// The program as a user runs it, on a fresh account: the set goes into the
// program directory from the registry file (created on first use).
TEST_F(SetMaker, ProgramMakesTheNatureSetForAFreshUser) {
    const std::string nature = "/usr/share/backgrounds/mate/nature";
    if (!fs::is_directory(nature))
        GTEST_SKIP() << "mate-backgrounds is not installed";
    const std::string cmd = std::string(SKYLOOM_MKSET_PROGRAM) + " " + nature +
                            " --name Nature --link >" + dir.file("out.txt") + " 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << dir.read("out.txt");
    const std::string prog = dir.file("data") + "/skyloom/program/";
    int photos = 0;
    for (const auto& e : fs::directory_iterator(nature))
        photos += e.path().extension() == ".jpg";
    imagesets::SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(prog), imagesets::SetLibrary::InitResult::Ok);
    ASSERT_TRUE(lib.Sets().GetSet("Nature"));
    EXPECT_EQ(lib.Sets().GetSet("Nature")->IncludedCount(), photos);
    imagesets::clsImageList list;
    imagesets::BuildSetPlayList(list, {prog, prog + "Skyloom.ini", 60}, "Nature");
    EXPECT_EQ(list.count(), photos);
    for (int i = 1; i <= list.count(); ++i)
        EXPECT_TRUE(imagesets::resolvePicture(prog, imagesets::entryPath(list.Item(i))));
    // Wrong command lines and nothing to make give non-zero exit statuses.
    EXPECT_NE(std::system((std::string(SKYLOOM_MKSET_PROGRAM) + " 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((std::string(SKYLOOM_MKSET_PROGRAM) + " " + dir.file("nowhere") +
                           " >/dev/null 2>&1")
                              .c_str()),
              0);
}
#endif
