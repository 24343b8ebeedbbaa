// The dialog under a German system locale (the test runs with
// LANG=de_DE.UTF-8): German captions, Qt's own buttons in German, and the
// lists still doing what their English entries say.

#include "config/frmChangePassword.h"
#include "config/frmMoonfield.h"
#include "platform/Translations.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace skyloom;

namespace {

class GermanDialogTest : public test::ConfigFixture {
protected:
    static void SetUpTestSuite() {
        ConfigFixture::SetUpTestSuite();
        loaded_ = platform::installTranslations();
    }
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
    }
    std::unique_ptr<config::frmMoonfield> shown() {
        auto form = std::make_unique<config::frmMoonfield>();
        EXPECT_TRUE(form->initialise());
        form->show();
        return form;
    }
    template <class W> static W* child(QWidget& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static platform::LoadedTranslations loaded_;
};

platform::LoadedTranslations GermanDialogTest::loaded_;

TEST_F(GermanDialogTest, TheSystemLocaleChoosesTheGermanCatalogues) {
    ASSERT_EQ(QLocale::system().language(), QLocale::German) << "run with LANG=de_DE.UTF-8";
    EXPECT_TRUE(loaded_.application.endsWith("skyloom_de.qm")) << loaded_.application.toStdString();
    EXPECT_TRUE(loaded_.qt.endsWith("qtbase_de.qm")) << loaded_.qt.toStdString();
}

TEST_F(GermanDialogTest, CaptionsAndButtonsAreGerman) {
    auto form = shown();
    EXPECT_EQ(form->windowTitle(), "Bildschirmschoner-Einstellungen");
    auto* pages = child<QTabWidget>(*form, "SSTabPages");
    ASSERT_NE(pages, nullptr);
    const QStringList expected = {"Bildschirmschoner", "Hintergrundbild", "Sammlungen bearbeiten",
                                  "Info"};
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_EQ(pages->tabText(i), expected.value(i));
    EXPECT_EQ(child<QPushButton>(*form, "cmdOk")->text(), "OK");
    EXPECT_EQ(child<QPushButton>(*form, "cmdCancel")->text(), "Abbrechen");
    EXPECT_EQ(child<QPushButton>(*form, "cmdApply")->text(), "Anwenden");
    EXPECT_EQ(child<QLabel>(*form, "SSLabel1")->text(), "Bildsammlung:");
    EXPECT_EQ(child<QGroupBox>(*form, "framSSTimeBetween")->title(), "Zeit zwischen den Bildern");
    EXPECT_EQ(child<QComboBox>(*form, "cmboTransitions")->itemText(0), "Keine Übergänge");
    EXPECT_EQ(child<QComboBox>(*form, "cmboTransitions")->itemText(11), "Überblenden");
    EXPECT_EQ(child<QComboBox>(*form, "cmboSSLanguage")->itemText(2), "Deutsch");
    // A label names its control for screen readers in the same language.
    EXPECT_EQ(child<QComboBox>(*form, "cmboSS_SetsToUse")->accessibleName(), "Bildsammlung:");
}

TEST_F(GermanDialogTest, QtsStandardButtonsAreGermanToo) {
    config::frmChangePassword dialog;
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->button(QDialogButtonBox::Cancel), nullptr);
    EXPECT_EQ(box->button(QDialogButtonBox::Cancel)->text().remove('&'), "Abbrechen");
    EXPECT_EQ(dialog.windowTitle(), "Kennwort des Bildschirmschoners ändern");
}

TEST_F(GermanDialogTest, TheRandomEntryShowsGermanAndIsStillTheRandomChoice) {
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[PrefsSS]\r\nRandom=0\r\nCurrentSet=Meadow\r\n");
    auto form = shown();
    auto* sets = child<QComboBox>(*form, "cmboSS_SetsToUse");
    ASSERT_GE(sets->count(), 3);
    EXPECT_EQ(sets->itemText(0), "Zufällig aus allen Bildsammlungen");
    EXPECT_EQ(sets->currentText(), "Meadow");
    sets->setCurrentIndex(0);
    EXPECT_TRUE(form->screenSaverPage()->bRandomSets);
    child<QPushButton>(*form, "cmdApply")->click();
    EXPECT_EQ(value("PrefsSS", "random"), "1");
}

// The credits come from the picture's file in the language chosen on the
// Screen Saver page, which the file names in English.
TEST_F(GermanDialogTest, CreditsReadTheChosenLanguagesBlock) {
    for (const char* picture :
         {"meadow/Grass", "meadow/Poppies", "meadow/Oak", "harbour/Boats", "harbour/Quay"})
        writeFile(program + picture + ".nfo",
                  "[info]\r\nversion=2\r\n[English]\r\nimageTitle=In English\r\n"
                  "[German]\r\nimageTitle=Auf Deutsch\r\n");
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nenable=1\r\nrandom=0\r\n"
                  "CurrentSet=Meadow\r\nCurrentImage=Oak\r\n");
    auto form = shown();
    child<QComboBox>(*form, "cmboSSLanguage")->setCurrentIndex(2);
    QString title = "(no credits dialog)";
    QTimer::singleShot(0, [&title] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            if (auto* label = dialog->findChild<QLabel*>("lblImageTitle"))
                title = label->text();
            dialog->close();
        }
    });
    form->cmdImageCredits_Click();
    EXPECT_EQ(title, "Auf Deutsch");
}

} // namespace
