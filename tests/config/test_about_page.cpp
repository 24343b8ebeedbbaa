// The About page: its fall-backs between a set's company.ini and
// ScreenSaver.ini, the visit button, the logo, the thumbnail rotation, and
// the dialog's credits button.

#include "config/AboutPage.h"
#include "config/AboutPageLogo.h"
#include "config/frmMoonfield.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace skyloom;
using config::AboutPage;
using config::frmMoonfield;

namespace {

class AboutPageTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        setenv("SKYLOOM_DISPLAY_DEPTH", "24", 1);
        twoSets();
        writeSettings("[ScreenSaver]\r\nSetup=1\r\n");
    }
    void TearDown() override { unsetenv("SKYLOOM_DISPLAY_DEPTH"); }
    /// The page after the library was read, with set `name` chosen.
    AboutPage choose(const std::string& name) {
        profile::clearCache();
        EXPECT_EQ(library.InitSetsInfo(program), imagesets::SetLibrary::InitResult::Ok);
        AboutPage page(library);
        page.InitSetList();
        const auto it = std::find(page.sets.begin(), page.sets.end(), name);
        EXPECT_NE(it, page.sets.end()) << name;
        page.cmboAboutSets_Click(static_cast<int>(it - page.sets.begin()));
        return page;
    }
    void company(const std::string& folder, const std::string& text) {
        writeFile(program + folder + "/company.ini", text);
    }
    static bool samePicture(const QPixmap& a, const QPixmap& b) {
        return a.toImage().convertToFormat(QImage::Format_ARGB32) ==
               b.toImage().convertToFormat(QImage::Format_ARGB32);
    }
    imagesets::SetLibrary library;
};

TEST_F(AboutPageTest, CompanyTextsComeFromTheChosenSet) {
    company("harbour",
            "[Company]\r\nIntroduction=Pictures of the sea.\r\n"
            "Company Name=Harbour Photo\r\nStreet Address=1 Quay\r\n"
            "City State Zip=Port 123\r\nPhone=555 0100\r\nWeb Site=www.harbour.example\r\n");
    const AboutPage page = choose("Harbour");
    EXPECT_EQ(page.setFolder, program + "harbour/");
    EXPECT_EQ(page.moreInfo, "Pictures of the sea.");
    EXPECT_EQ(page.companyName, "Harbour Photo");
    EXPECT_EQ(page.address, "1 Quay");
    EXPECT_EQ(page.cityStateZip, "Port 123");
    EXPECT_EQ(page.phone, "555 0100");
    EXPECT_EQ(page.webAddress, "www.harbour.example");
    EXPECT_EQ(page.bitDepth, "24 Bit Color");
    ASSERT_EQ(page.thumbnails.size(), 2u);
    EXPECT_EQ(page.thumbnails[0], program + "harbour/Boats.bmp");

    // A set without a company.ini shows empty texts.
    const AboutPage meadow = choose("Meadow");
    EXPECT_EQ(meadow.companyName, "");
    EXPECT_EQ(meadow.thumbnails.size(), 3u);
}

TEST_F(AboutPageTest, VisitButtonFallsBackFromWebLinkerToCompanyToTheSettings) {
    company("harbour", "[WebLinker]\r\nwebButton=Visit the harbour\r\n"
                       "CompanyURL=https://harbour.example/\r\n[Company]\r\n"
                       "webButton=Company site\r\nWeb Site=https://company.example/\r\n");
    company("meadow", "[Company]\r\nwebButton=Meadow site\r\nWeb Site=https://meadow.example/\r\n");
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[Company]\r\nwebButton=Skyloom\r\n"
                  "Web Site=https://skyloom.example/\r\n");
    AboutPage page = choose("Harbour");
    EXPECT_TRUE(page.visitShown);
    EXPECT_EQ(page.visitCaption, "Visit the harbour");
    EXPECT_EQ(page.visitAddress, "https://harbour.example/");
    page = choose("Meadow");
    EXPECT_EQ(page.visitCaption, "Meadow site");
    EXPECT_EQ(page.visitAddress, "https://meadow.example/");

    company("meadow", "[Company]\r\nWeb Site=https://meadow.example/\r\n");
    page = choose("Meadow");
    EXPECT_EQ(page.visitCaption, "Skyloom");
    EXPECT_EQ(page.visitAddress, "https://skyloom.example/");

    // No set chosen: the button is hidden, whatever the settings say.
    page.cmboAboutSets_Click(-1);
    EXPECT_FALSE(page.visitShown);
    EXPECT_EQ(page.visitAddress, "");
}

TEST_F(AboutPageTest, SupportAddressAndCallBackPhoneFallBackToTheSettings) {
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[About]\r\nsupportPhone=555 0199\r\n");
    AboutPage page = choose("Harbour");
    EXPECT_EQ(page.phoneSupport, "Call-back support: 555 0199");
    EXPECT_EQ(page.support, "");
    EXPECT_FALSE(page.supportCaptionShown);

    company("harbour", "[About]\r\nsupportURL=help@harbour.example\r\nsupportPhone=555 0111\r\n");
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[About]\r\nsupportURL=https://help.example/\r\n");
    page = choose("Harbour");
    EXPECT_EQ(page.support, "help@harbour.example");
    EXPECT_EQ(page.phoneSupport, "Call-back support: 555 0111");
    page = choose("Meadow");
    EXPECT_EQ(page.support, "https://help.example/");
    EXPECT_TRUE(page.supportCaptionShown);
    EXPECT_EQ(page.phoneSupport, "");
}

TEST_F(AboutPageTest, LogoComesFromTheSetTheSettingsOrIsBuiltIn) {
    QImage logo(30, 20, QImage::Format_RGB32);
    logo.fill(Qt::yellow);
    std::filesystem::create_directories(program + "harbour/art");
    logo.save(QString::fromStdString(program + "harbour/art/Logo.bmp"), "BMP");
    logo.save(QString::fromStdString(program + "about.bmp"), "BMP");
    company("harbour", "[About]\r\naboutTab=art\\logo.bmp\r\n");
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[About]\r\naboutTab=about.bmp\r\n");
    EXPECT_EQ(choose("Harbour").logoPath, program + "harbour/art/Logo.bmp");
    EXPECT_EQ(choose("Meadow").logoPath, program + "about.bmp");

    // A logo outside the set, a missing one, or one that is no picture:
    // the built-in logo.
    company("harbour", "[About]\r\naboutTab=../about.bmp\r\n");
    EXPECT_EQ(choose("Harbour").logoPath, "");
    writeFile(program + "about.bmp", "not a picture");
    const QSize size(120, 60);
    const QPixmap builtIn = config::skyloomLogo(size);
    EXPECT_TRUE(samePicture(config::aboutLogo(choose("Meadow").logoPath, size), builtIn));
    EXPECT_TRUE(samePicture(config::aboutLogo("", size), builtIn));
    EXPECT_TRUE(samePicture(config::aboutLogo(program + "missing.bmp", size), builtIn));
    EXPECT_EQ(config::aboutLogo(program + "harbour/art/Logo.bmp", size).size(), QSize(30, 20));
}

TEST_F(AboutPageTest, ThumbnailsMoveTwoForwardAndSkipPicturesThatDoNotLoad) {
    AboutPage page = choose("Meadow");
    page.thumbnails = {"1", "2", "3", "4", "5"};
    std::vector<std::string> shown;
    for (int i = 0; i < 6; ++i)
        page.thumbnailStep([&](const std::string& p) {
            shown.push_back(p);
            return true;
        });
    EXPECT_EQ(shown, (std::vector<std::string>{"2", "4", "1", "3", "5", "2"}));

    int tries = 0;
    EXPECT_FALSE(page.thumbnailStep([&](const std::string&) {
        ++tries;
        return false;
    }));
    EXPECT_EQ(tries, 5);
    page.thumbnails.clear();
    EXPECT_FALSE(page.thumbnailStep([](const std::string&) { return true; }));
}

TEST(AboutAddress, ShownAddressesAreOpenedAsWebOrMailAddresses) {
    EXPECT_EQ(config::addressToOpen("https://a.example/x"), "https://a.example/x");
    EXPECT_EQ(config::addressToOpen(" www.a.example "), "http://www.a.example");
    EXPECT_EQ(config::addressToOpen("help@a.example"), "mailto:help@a.example");
    EXPECT_EQ(config::addressToOpen("MAILTO:help@a.example"), "MAILTO:help@a.example");
    EXPECT_EQ(config::addressToOpen(""), "");
}

// ---------------------------------------------------------------------------
// The page and the credits button in the dialog

class AboutDialogTest : public AboutPageTest {
protected:
    template <class W> W* child(QWidget& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

TEST_F(AboutDialogTest, PageShowsTheChosenSetAndHidesWhatIsMissing) {
    company("meadow", "[Company]\r\nCompany Name=Meadow & Co\r\nWeb Site=www.meadow.example\r\n"
                      "[About]\r\nsupportURL=https://help.example/\r\n");
    frmMoonfield form;
    form.setStartingTab(frmMoonfield::About);
    ASSERT_TRUE(form.initialise());
    form.show();
    auto* sets = child<QComboBox>(form, "cmboAboutSets");
    EXPECT_EQ(sets->count(), 2);
    EXPECT_EQ(sets->currentText(), "Harbour");
    EXPECT_EQ(sets->accessibleName(), "Image set:");
    EXPECT_FALSE(child<QLabel>(form, "Label4")->isVisibleTo(&form));
    EXPECT_FALSE(child<QPushButton>(form, "cmdVisitUs")->isVisibleTo(&form));
    EXPECT_EQ(child<QLabel>(form, "lblBitDepth")->text(), "24 Bit Color");
    EXPECT_FALSE(child<QLabel>(form, "imgLogo")->pixmap().isNull());

    sets->setCurrentIndex(1);
    EXPECT_EQ(child<QLabel>(form, "lblCompanyName")->text(), "Meadow & Co");
    EXPECT_TRUE(child<QLabel>(form, "Label4")->isVisibleTo(&form));
    EXPECT_EQ(child<QLabel>(form, "lblSupport")->accessibleName(), "https://help.example/");
    EXPECT_FALSE(child<QLabel>(form, "picAboutThumbnail")->pixmap().isNull());
    EXPECT_TRUE(child<QTimer>(form, "tmrAboutThumbnail")->isActive());
    child<QTabWidget>(form, "SSTabPages")->setCurrentIndex(frmMoonfield::Wallpaper);
    EXPECT_FALSE(child<QTimer>(form, "tmrAboutThumbnail")->isActive());
}

TEST_F(AboutDialogTest, UpdateListsAddsNewSetsAndKeepsExcludedOnes) {
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    auto* sets = child<QComboBox>(form, "cmboAboutSets");
    sets->setCurrentIndex(1);
    auto& lib = form.library().Sets();
    ASSERT_TRUE(lib.ExcludeSet(lib.GetSet("Harbour")));
    makeSet("quay", "Quay", {"Crane"});
    ASSERT_TRUE(imagesets::RegisterImageSet(program, "quay/"));
    auto quay = std::make_shared<imagesets::SetInfoClass>();
    quay->SetName("Quay");
    quay->SetDirectory("quay/");
    ASSERT_TRUE(lib.IncludeSet(quay));
    form.UpdateLists();
    ASSERT_EQ(sets->count(), 3);
    EXPECT_EQ(sets->itemText(0), "Harbour");
    EXPECT_EQ(sets->itemText(2), "Quay");
    EXPECT_EQ(sets->currentText(), "Meadow");
}

TEST_F(AboutDialogTest, ImageInfoOpensTheCreditsOfTheWallpaperPicture) {
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nrandom=0\r\nCurrentSet=Meadow\r\n"
                  "CurrentImage=Poppies\r\n");
    writeFile(program + "meadow/Poppies.nfo",
              "[info]\r\nversion=2\r\n[English]\r\nimageTitle=Red poppies\r\n");
    frmMoonfield form;
    form.setStartingTab(frmMoonfield::Wallpaper);
    ASSERT_TRUE(form.initialise());
    form.show();
    QString title;
    bool thumbnail = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        EXPECT_EQ(modal->objectName(), "frmCredits");
        title = modal->findChild<QLabel*>("lblImageTitle")->text();
        thumbnail = !modal->findChild<QLabel*>("picThumbNail")->pixmap().isNull();
        modal->findChild<QPushButton*>("cmdClose")->click();
    });
    child<QPushButton>(form, "cmdImageCredits")->click();
    EXPECT_EQ(title, "Red poppies");
    EXPECT_TRUE(thumbnail);
}

} // namespace
