// The Showcase set made by tools/showcase/make-showcase.sh: every file the
// readers look for is there and says what the set promises.

#include "common/IniDocument.h"
#include "common/Profile.h"
#include "common/ProfileFile.h"
#include "imagesets/PlayList.h"
#include "imagesets/SetLibrary.h"
#include "tests/support/TempDir.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

using namespace skyloom;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A description as the saver reads it: the first line holding
// "<language>=" gives the title, paragraphs follow on every second line
// until an empty one.
std::vector<std::string> description(const std::string& text, const std::string& language) {
    auto lines = linesOf(text);
    std::vector<std::string> out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto at = lines[i].find(language + "=");
        if (at == std::string::npos)
            continue;
        out.push_back(lines[i].substr(lines[i].find('=') + 1));
        for (std::size_t j = i + 2; j < lines.size() && !lines[j].empty(); j += 2)
            out.push_back(lines[j]);
        break;
    }
    return out;
}

class Showcase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!fs::exists("/usr/share/backgrounds/mate/nature/Aqua.jpg") ||
            std::system("command -v convert >/dev/null 2>&1") != 0)
            return;
        dir_ = new test::TempDir;
        const std::string cmd = std::string(SKYLOOM_SHOWCASE_SCRIPT) + " " + SKYLOOM_MKSET_PROGRAM +
                                " " + dir_->file("program") + " >" + dir_->file("out.txt") +
                                " 2>&1";
        made_ = std::system(cmd.c_str()) == 0;
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        if (!dir_)
            GTEST_SKIP() << "mate-backgrounds or ImageMagick is not installed";
        ASSERT_TRUE(made_) << dir_->read("out.txt");
        profile::clearCache();
    }
    std::string file(const std::string& name) const {
        return dir_->file("program/Showcase/" + name);
    }
    std::string read(const std::string& name) const { return test::TempDir::readPath(file(name)); }
    std::string program() const { return dir_->file("program") + "/"; }

    static inline test::TempDir* dir_ = nullptr;
    static inline bool made_ = false;
};

} // namespace

TEST_F(Showcase, SetIsRegisteredWithTitlePageFirstInThePlayList) {
    imagesets::SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program()), imagesets::SetLibrary::InitResult::Ok);
    auto set = lib.Sets().GetSet("Showcase");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->IncludedCount(), 6);
    EXPECT_TRUE(set->m_HasTitlePage);
    EXPECT_TRUE(set->m_ShowTitlePage);
    imagesets::clsImageList list;
    auto title =
        imagesets::BuildSetPlayList(list, {program(), program() + "Skyloom.ini", 60}, "Showcase");
    EXPECT_EQ(title.time, 8);
    ASSERT_EQ(list.count(), 7);
    EXPECT_TRUE(imagesets::isTitleEntry(list.Item(1)));
    for (int i = 1; i <= list.count(); ++i)
        EXPECT_TRUE(imagesets::resolvePicture(program(), imagesets::entryPath(list.Item(i))))
            << list.Item(i);
}

TEST_F(Showcase, PanoramasLayersLinksAndCompanyTextsAreThere) {
    const std::string company = file("company.ini");
    auto nfo = [&](const std::string& base, const char* section, const char* key) {
        return ReadIniString(section, key, "", file(base + ".nfo"));
    };
    EXPECT_EQ(nfo("StormPanorama", "Panoramic", "PanDirection"), "LeftToRight");
    EXPECT_EQ(nfo("WingsTower", "Panoramic", "PanDirection"), "TopToBottom");
    EXPECT_EQ(nfo("Aqua", "Panoramic", "PanDirection"), "");
    // Layers named anywhere are 24-bit BMP files of the set.
    std::vector<std::string> layers{nfo("LadyBird", "LayerSS", "layerImage"),
                                    nfo("LadyBird", "LayerWP", "layerImage"),
                                    ReadIniString("LayerWP", "layerImage", "", company),
                                    ReadIniString("About", "aboutTab", "", company)};
    std::istringstream list(ReadIniString("LayerSS", "layerImage", "", company));
    for (std::string name; std::getline(list, name, ',');)
        layers.push_back(name);
    ASSERT_EQ(layers.size(), 6u);
    for (const auto& layer : layers) {
        QImage img(QString::fromStdString(file(layer)));
        EXPECT_FALSE(img.isNull()) << layer;
        EXPECT_EQ(read(layer).substr(28, 1), std::string(1, '\x18')) << layer; // 24 bits
    }
    EXPECT_EQ(ReadIniString("LayerSS", "layerTranslucency", "", company), "40,60");
    EXPECT_EQ(ReadIniInt("WebLinker", "WebLinker", 0, company), 1);
    EXPECT_NE(ReadIniString("WebLinker", "companyURL", "", company), "");
    EXPECT_NE(nfo("Aqua", "WebLinker", "URL"), "");
    EXPECT_EQ(ReadIniString("Company", "Company Name", "", company), "Skyloom Demo Pictures");
    EXPECT_NE(ReadIniString("About", "supportPhone", "", company), "");
}

TEST_F(Showcase, DescriptionsInFiveLanguagesWithARedirectAndBothCreditLayouts) {
    const std::string aqua = read("Aqua.nfo");
    for (const char* language : {"English", "French", "German", "Spanish", "Japanese"}) {
        auto d = description(aqua, language);
        ASSERT_GE(d.size(), 2u) << language;
        EXPECT_NE(d[0], "") << language;
    }
    EXPECT_EQ(description(aqua, "English").size(), 3u); // title and two paragraphs
    EXPECT_EQ(description(aqua, "Japanese")[0], "\xE3\x81\x97\xE3\x81\x9A\xE3\x81\x8F");
    // French of the dune comes from another file of the set.
    const std::string redirect = ReadIniString("French", "File", "", file("Dune.nfo"));
    ASSERT_EQ(redirect, "dune-fr.txt");
    EXPECT_EQ(description(read(redirect), "French")[0], "La dune");
    EXPECT_EQ(description(read("Dune.nfo"), "English")[0], "Dune");
    // Credits: version 1 (with photo.nfo) and version 2.
    EXPECT_EQ(ReadIniString("info", "version", "1", file("Aqua.nfo")), "1");
    EXPECT_NE(ReadIniString("Aqua", "PictureInfo", "", file("Aqua.nfo")), "");
    EXPECT_NE(ReadIniString("Info", "Photo", "", file("photo.nfo")), "");
    EXPECT_EQ(ReadIniString("info", "version", "1", file("LadyBird.nfo")), "2");
    EXPECT_EQ(ReadIniString("English", "imageTitle", "", file("LadyBird.nfo")), "Lady Bird");
    EXPECT_EQ(ReadIniString("English", "File", "", file("LadyBird.nfo")), ""); // no redirect
    EXPECT_EQ(description(read("LadyBird.nfo"), "English")[0], "Lady Bird");
}
