// The dialog's keys and the texts that say what a control does: Return and
// Enter press OK unless the focused control takes them, no two captions of a
// page share an Alt letter, and the frame, the About page and the Skyloom
// tab show what they stand for.

#include "common/ProgramInfo.h"
#include "config/frmChangePassword.h"
#include "config/frmCredits.h"
#include "config/frmMoonfield.h"
#include "tests/config/Accelerators.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

using namespace skyloom;
using skyloom::config::frmMoonfield;

namespace {

class DialogKeysTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
        platform::setScreenSaveActive(true);
        writeSettings("[ScreenSaver]\r\nSetup=1\r\n[PrefsSS]\r\nchange=60s\r\n");
    }
    template <class W> static W* child(const QWidget& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    std::unique_ptr<frmMoonfield> shown(int tab = frmMoonfield::ScreenSaver) {
        auto form = std::make_unique<frmMoonfield>();
        form->setStartingTab(tab);
        EXPECT_TRUE(form->initialise());
        form->show();
        return form;
    }
};

TEST_F(DialogKeysTest, ReturnAndEnterPressOkFromControlsThatDoNotTakeThem) {
    {
        auto form = shown();
        auto* titles = child<QCheckBox>(*form, "chkShowTitles");
        titles->click();
        QTest::keyClick(titles, Qt::Key_Return);
        EXPECT_FALSE(form->isVisible()) << "Return on a check box presses OK";
        EXPECT_EQ(value("InfoPanel", "showTitle"), "1");
    }
    {
        auto form = shown();
        auto* option = child<QRadioButton>(*form, "optSSMinutes");
        option->click();
        QTest::keyClick(option, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_FALSE(form->isVisible()) << "keypad Enter presses OK";
        EXPECT_EQ(value("PrefsSS", "change"), "60m");
    }
    {
        // A spin box first takes the typed number, then Return goes on to OK.
        auto form = shown();
        auto* spin = child<QSpinBox>(*form, "nbsImageDelay");
        spin->selectAll();
        QTest::keyClicks(spin, "45");
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(value("PrefsSS", "change"), "45m") << "the unit stays as saved";
    }
}

TEST_F(DialogKeysTest, ReturnOnAFocusedButtonPressesThatButton) {
    auto form = shown();
    child<QCheckBox>(*form, "chkShowTitles")->click();
    auto* apply = child<QPushButton>(*form, "cmdApply");
    ASSERT_TRUE(apply->isEnabled());
    QTest::keyClick(apply, Qt::Key_Return);
    EXPECT_TRUE(form->isVisible()) << "Return on Apply is no OK";
    EXPECT_EQ(value("InfoPanel", "showTitle"), "1");
    EXPECT_FALSE(apply->isEnabled());

    // Return with Ctrl held is not the default button's key.
    QTest::keyClick(child<QCheckBox>(*form, "chkShowTitles"), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(child<QPushButton>(*form, "cmdOk")->isDefault());
}

TEST_F(DialogKeysTest, EscapeCancelsOnlyWhileCancelIsOffered) {
    auto form = shown();
    child<QCheckBox>(*form, "chkShowTitles")->click();
    child<QPushButton>(*form, "cmdCancel")->setEnabled(false);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    child<QPushButton>(*form, "cmdCancel")->setEnabled(true);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(value("InfoPanel", "showTitle"), "");
}

TEST_F(DialogKeysTest, NoPageOfAnyDialogRepeatsAnAltLetter) {
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    EXPECT_EQ(test::acceleratorClashes(form), "");
    config::frmCredits credits;
    EXPECT_EQ(test::acceleratorClashes(credits), "");
    config::frmChangePassword password;
    EXPECT_EQ(test::acceleratorClashes(password), "");
}

TEST(AcceleratorCheckTest, ReportsRepeatsWithinAPageAndAgainstWhatEveryPageShows) {
    test::ensureQApplication();
    QWidget window;
    window.setObjectName("window");
    auto* pages = new QTabWidget(&window);
    auto* one = new QWidget;
    new QCheckBox("&Apple", one);
    new QRadioButton("&avocado", one); // the letter's case does not matter
    new QLabel("&Cherry", one);        // no buddy: no accelerator
    new QCheckBox("Fish && &Chips", one);
    auto* inner = new QTabWidget(one);
    inner->addTab(new QWidget, "&Date");
    auto* deeper = new QWidget;
    new QGroupBox("&Dill", deeper);
    inner->addTab(deeper, "Herbs");
    pages->addTab(one, "One");
    auto* two = new QWidget;
    new QCheckBox("&Apple", two);
    auto* banana = new QLabel("&Banana", two);
    banana->setBuddy(new QCheckBox("Ripe", two));
    pages->addTab(two, "&Two");
    new QPushButton("&Buy", &window); // below the pages: on every page
    new QPushButton("&Take", &window);

    EXPECT_EQ(test::acceleratorClashes(window), "page \"One\": Alt+A \"&Apple\" \"&avocado\"\n"
                                                "page \"One\": Alt+D \"&Date\" \"&Dill\"\n"
                                                "page \"One\": Alt+T \"&Two\" \"&Take\"\n"
                                                "page \"&Two\": Alt+B \"&Buy\" \"&Banana\"\n"
                                                "page \"&Two\": Alt+T \"&Two\" \"&Take\"\n");

    QWidget plain;
    plain.setObjectName("plain");
    new QPushButton("&OK", &plain);
    new QCheckBox("&Once", &plain);
    new QCheckBox("R&&D", &plain);
    new QCheckBox("R&&D", &plain);
    EXPECT_EQ(test::acceleratorClashes(plain), "plain: Alt+O \"&OK\" \"&Once\"\n");
    EXPECT_TRUE(test::acceleratorOf("Trailing&").isNull());
    EXPECT_EQ(test::acceleratorOf("Si&ze"), QChar('Z'));
}

TEST_F(DialogKeysTest, OutsideX11OnlyThePasswordControlsHide) {
    ASSERT_NE(QGuiApplication::platformName(), "xcb");
    auto form = shown();
    EXPECT_TRUE(child<QGroupBox>(*form, "SSFrame1")->isVisible());
    for (auto* option : form->findChildren<QRadioButton*>("optSS_State"))
        EXPECT_TRUE(option->isVisible());
    EXPECT_FALSE(child<QCheckBox>(*form, "chkPasswordProtected")->isVisible());
    EXPECT_FALSE(child<QPushButton>(*form, "cmdChangePassword")->isVisible());
}

TEST_F(DialogKeysTest, AboutPageNamesTheProgramAndItsRelease) {
    auto form = shown(frmMoonfield::About);
    auto* name = child<QLabel>(*form, "lblProgramName");
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->isVisible());
    EXPECT_EQ(name->text().toStdString(), "Moonfield Screen Saver " + programVersion());
    EXPECT_FALSE(programVersion().empty());
}

TEST_F(DialogKeysTest, SkyloomTabSaysWhatItsOnOffDoesEvenWhenLocked) {
    writeSettings("[ScreenSaver]\r\nSetup=1\r\n[WebLinker]\r\nuserControl=0\r\n");
    auto form = shown();
    auto* tab = child<QWidget>(*form, "tabSSSkyloom");
    auto* note = child<QLabel>(*form, "lblWebLinker");
    ASSERT_TRUE(tab && note);
    EXPECT_TRUE(note->isVisibleTo(tab));
    EXPECT_FALSE(note->text().isEmpty());
    EXPECT_FALSE(child<QGroupBox>(*form, "frmWebLinker")->isEnabled());
    EXPECT_TRUE(note->isEnabled()) << "the explanation stays readable";
}

} // namespace
