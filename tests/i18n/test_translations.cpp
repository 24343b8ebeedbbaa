// The translations as the user meets them: the loader picks the catalogues
// of a locale (and none for a language without one), and in every shipped
// language each page of the dialogs keeps its Alt accelerators apart.

#include "config/frmChangePassword.h"
#include "config/frmCredits.h"
#include "config/frmMoonfield.h"
#include "platform/Translations.h"
#include "tests/config/Accelerators.h"
#include "tests/config/ConfigFixture.h"
#include "tests/i18n/Catalogue.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

#include <cstdlib>

using namespace skyloom;

namespace {

class TranslationLoaderTest : public test::ConfigFixture {
protected:
    void TearDown() override {
        test::removeInstalledTranslators();
        unsetenv("SKYLOOM_TRANSLATIONS_DIR");
        ConfigFixture::TearDown();
    }
};

TEST_F(TranslationLoaderTest, OverrideComesFirstAndTheBuildTreeIsFound) {
    setenv("SKYLOOM_TRANSLATIONS_DIR", "/nonexistent/first", 1);
    const auto dirs = platform::translationDirectories();
    ASSERT_FALSE(dirs.empty());
    EXPECT_EQ(dirs.front(), "/nonexistent/first");
    // This test program runs from the build tree, like an uninstalled program.
    bool buildTree = false;
    for (const auto& d : dirs)
        buildTree = buildTree || QDir(QString::fromStdString(d)).canonicalPath() ==
                                     QDir(test::builtCatalogueFolder()).canonicalPath();
    EXPECT_TRUE(buildTree);
}

TEST_F(TranslationLoaderTest, LocaleWithCatalogueGetsOursAndQtsOwn) {
    const auto loaded = platform::installTranslations(QLocale(QLocale::French, QLocale::France));
    EXPECT_TRUE(loaded.application.endsWith("skyloom_fr.qm")) << loaded.application.toStdString();
    EXPECT_TRUE(loaded.qt.endsWith("qtbase_fr.qm")) << loaded.qt.toStdString();
    EXPECT_EQ(QCoreApplication::translate("skyloom::config::frmMoonfield", "Cancel"), "Annuler");
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text().remove('&'), "Annuler");
}

TEST_F(TranslationLoaderTest, LanguagesWithoutCatalogueStayEnglishThroughout) {
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::Portuguese, QLocale::Brazil)}) {
        SCOPED_TRACE(locale.name().toStdString());
        const auto loaded = platform::installTranslations(locale);
        EXPECT_TRUE(loaded.application.isEmpty());
        // No half-translated dialog: Qt's buttons stay English too.
        EXPECT_TRUE(loaded.qt.isEmpty());
        EXPECT_EQ(QCoreApplication::translate("skyloom::config::frmMoonfield", "Cancel"), "Cancel");
    }
}

TEST_F(TranslationLoaderTest, AnOverrideFolderWithoutCataloguesFallsBackToTheBuiltOnes) {
    setenv("SKYLOOM_TRANSLATIONS_DIR", dir.file("empty").c_str(), 1);
    std::filesystem::create_directories(dir.file("empty"));
    const auto loaded = platform::installTranslations(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_TRUE(loaded.application.endsWith("skyloom_de.qm")) << loaded.application.toStdString();
}

class AcceleratorTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
    }

    /// Clashing accelerators of every page of the dialog and of its two
    /// child dialogs, in the language now installed.
    std::string clashesInDialogs() {
        config::frmMoonfield form;
        EXPECT_TRUE(form.initialise());
        config::frmCredits credits;
        config::frmChangePassword password;
        return test::acceleratorClashes(form) + test::acceleratorClashes(credits) +
               test::acceleratorClashes(password);
    }
};

TEST_F(AcceleratorTest, EveryShippedLanguageIsBuilt) {
    const QStringList built = test::builtLanguages();
    for (const char* lang : {"de", "es", "fr", "ja"})
        EXPECT_TRUE(built.contains(lang)) << lang << " in " << built.join(' ').toStdString();
}

TEST_F(AcceleratorTest, EveryTranslationKeepsAcceleratorsApartOnEveryPage) {
    for (const QString& language : test::builtLanguages()) {
        SCOPED_TRACE(language.toStdString());
        test::Catalogue catalogue(language);
        ASSERT_TRUE(catalogue.loaded());
        EXPECT_EQ(clashesInDialogs(), "");
    }
}

} // namespace
