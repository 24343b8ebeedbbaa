// The translations as the user meets them: the loader picks the catalogues
// of a locale (and none for a language without one), and in every shipped
// language each page of the dialogs keeps its Alt accelerators apart and the
// lock's texts keep their paths, command and counts.

#include "config/LockReadiness.h"
#include "config/frmChangePassword.h"
#include "config/frmCredits.h"
#include "config/frmMoonfield.h"
#include "platform/Password.h"
#include "platform/Translations.h"
#include "saver/PasswordPrompt.h"
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

// The lock's texts in every language: the path of the missing service file
// and the removal command come through whole, the lockout notice counts in
// the language's own singular and plural, and nothing is left untranslated.
class LockTextsTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("no-pam").c_str(), 1);
        writeFile(platform::saverPasswordFilePath(), "$argon2id$damaged");
    }
    void TearDown() override {
        unsetenv("PAM_WRAPPER_SERVICE_DIR");
        ConfigFixture::TearDown();
    }
};

TEST_F(LockTextsTest, PathsCommandAndCountsSurviveEveryTranslation) {
    ASSERT_EQ(platform::saverPasswordState(), platform::SaverPasswordState::Corrupt);
    const std::string english = config::changePasswordIntro(true);
    const std::string pam = platform::pamServiceFile();
    const std::string command = config::removePasswordCommand();
    for (const QString& language : test::builtLanguages()) {
        SCOPED_TRACE(language.toStdString());
        test::Catalogue catalogue(language);
        ASSERT_TRUE(catalogue.loaded());
        const std::string intro = config::changePasswordIntro(true);
        EXPECT_NE(intro, english);
        EXPECT_NE(intro.find(pam), std::string::npos) << intro;
        EXPECT_TRUE(intro.ends_with("\n" + command)) << intro; // copied as one line
        const std::string refused = config::applyPasswordChange("", "new", "new", true);
        EXPECT_TRUE(refused.ends_with("\n" + command)) << refused;
        std::string why;
        EXPECT_FALSE(platform::passwordVerifierReady(why));
        EXPECT_NE(why.find(platform::saverPasswordFilePath()), std::string::npos) << why;
        for (const std::string& text : {intro, refused, why, config::lockProblem()})
            EXPECT_EQ(text.find('%'), std::string::npos) << text;
        const std::string one = saver::lockoutMessage(1);
        const std::string many = saver::lockoutMessage(30);
        EXPECT_NE(one.find('1'), std::string::npos) << one;
        EXPECT_NE(many.find("30"), std::string::npos) << many;
        EXPECT_EQ(many.find("(s)"), std::string::npos) << many;
        EXPECT_NE(many, "Too many wrong passwords. Try again in 30 seconds.");
        EXPECT_EQ(many.find('%'), std::string::npos) << many;
    }
    test::Catalogue german("de");
    EXPECT_EQ(saver::lockoutMessage(1),
              "Zu viele falsche Kennwörter. Versuchen Sie es in 1 Sekunde noch einmal.");
    EXPECT_EQ(saver::lockoutMessage(2),
              "Zu viele falsche Kennwörter. Versuchen Sie es in 2 Sekunden noch einmal.");
}

} // namespace
