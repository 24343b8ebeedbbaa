// The configuration dialog driven offscreen: first run, "/c", Apply, OK and
// Cancel, and the enabling rules of the two pages.

#include "config/PageLists.h"
#include "config/frmMoonfield.h"
#include "platform/MessageBox.h"
#include "platform/Password.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

using namespace skyloom;
using skyloom::config::frmMoonfield;

namespace {

class FrmMoonfieldTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
    }
    template <class W> W* child(frmMoonfield& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QRadioButton* saverOption(frmMoonfield& form, int index) {
        for (auto* b : form.findChildren<QRadioButton*>("optSS_State"))
            if (b->property("index").toInt() == index)
                return b;
        ADD_FAILURE() << "no optSS_State element " << index;
        return nullptr;
    }
    /// A dialog as the user sees it: initialised, shown.
    std::unique_ptr<frmMoonfield> shown(int tab = 0) {
        auto form = std::make_unique<frmMoonfield>();
        form->setStartingTab(tab);
        EXPECT_TRUE(form->initialise());
        form->show();
        return form;
    }
    static constexpr const char* kSaved =
        "[ScreenSaver]\r\nSetup=1\r\n[PrefsSS]\r\nchange=60s\r\n"
        "Random=1\r\n[PrefsWP]\r\nrandom=1\r\nCurrentSet=Meadow\r\n"
        "CurrentImage=Oak\r\n[CalendarWP]\r\nposition=0\r\n"
        "[Transition]\r\ndefaultTransition=42\r\n";
};

TEST_F(FrmMoonfieldTest, FirstRunWritesTheDefaultsAndSwitchesTheSaverOn) {
    platform::setScreenSaveActive(false);
    auto form = shown();
    EXPECT_TRUE(form->bFirstRun());
    EXPECT_EQ(value("ScreenSaver", "Setup"), "1");
    EXPECT_EQ(value("PrefsSS", "change"), "60s");
    EXPECT_EQ(value("PrefsSS", "random"), "1");
    EXPECT_EQ(value("Transition", "defaultTransition"), "1");
    EXPECT_EQ(value("Panoramic", "speed"), "5");
    EXPECT_EQ(value("CalendarSS", "size"), "20");
    EXPECT_EQ(value("PrefsWP", "change"), "7");
    EXPECT_EQ(value("CalendarWP", "position"), "3");
    EXPECT_TRUE(platform::screenSaveActive());
    EXPECT_FALSE(form->PageChanged(0));
    EXPECT_FALSE(form->PageChanged(1));
    EXPECT_TRUE(child<QPushButton>(*form, "cmdApply")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*form, "cmdCancel")->isEnabled());
    EXPECT_EQ(form->windowTitle(), "Screen Saver Configuration");

    // A second start is no first run.
    frmMoonfield second;
    ASSERT_TRUE(second.initialise());
    EXPECT_FALSE(second.bFirstRun());
}

// The frame shows whatever its session loaded, also when the session's work
// ran first (a wallpaper asked for before the dialog was opened).
TEST_F(FrmMoonfieldTest, PagesShowASessionThatWasInitialisedFirst) {
    writeSettings(kSaved);
    frmMoonfield form;
    ASSERT_TRUE(form.session().initialise());
    EXPECT_FALSE(form.pagesLoaded());
    ASSERT_TRUE(form.initialise());
    EXPECT_TRUE(form.pagesLoaded());
    EXPECT_EQ(child<QComboBox>(form, "cmboSets")->count(),
              static_cast<int>(form.wallpaperPage().sets.size()));
    EXPECT_GT(child<QComboBox>(form, "cmboSS_SetsToUse")->count(), 0);
    EXPECT_EQ(child<QListWidget>(form, "lstImages")->count(),
              static_cast<int>(form.wallpaperPage().images.size()));
    EXPECT_TRUE(form.initialise()); // once only
}

TEST_F(FrmMoonfieldTest, StartedFromTheDisplaySettingsHidesOnOffAndDelay) {
    writeSettings(kSaved);
    platform::setScreenSaveActive(false);
    frmMoonfield form;
    form.m_bStartedFromProps = true;
    ASSERT_TRUE(form.initialise());
    form.show();
    EXPECT_FALSE(child<QGroupBox>(form, "SSFrame1")->isVisible());
    EXPECT_FALSE(child<QGroupBox>(form, "frmSaverDelay")->isVisible());
    EXPECT_TRUE(saverOption(form, 1)->isChecked());
    EXPECT_TRUE(child<QComboBox>(form, "cmboTransitions")->isEnabled());
    // One (offscreen) monitor: nothing to show the same picture on.
    EXPECT_FALSE(child<QCheckBox>(form, "chkSameOnAllScreens")->isVisible());
}

TEST_F(FrmMoonfieldTest, ApplySavesTheCurrentPageAndOkEveryChangedPage) {
    writeSettings(kSaved);
    auto form = shown(1);
    const std::string before = readSettings();
    child<QCheckBox>(*form, "chkFit2Screen")->click();
    EXPECT_TRUE(form->PageChanged(1));
    child<QTabWidget>(*form, "SSTabPages")->setCurrentIndex(0);
    EXPECT_FALSE(child<QPushButton>(*form, "cmdApply")->isEnabled());
    child<QSpinBox>(*form, "nbsImageDelay")->setValue(90);
    auto* transitions = child<QComboBox>(*form, "cmboTransitions");
    ASSERT_EQ(transitions->count(), 15);
    EXPECT_EQ(transitions->itemText(11), "Cross Fade");
    EXPECT_EQ(transitions->itemText(14), "All Transitions, Smooth");
    transitions->setCurrentIndex(4);
    EXPECT_TRUE(form->PageChanged(0));
    EXPECT_EQ(readSettings(), before) << "nothing is written before Apply";

    child<QPushButton>(*form, "cmdApply")->click();
    EXPECT_EQ(value("PrefsSS", "change"), "90s");
    EXPECT_EQ(value("Transition", "defaultTransition"), "4");
    EXPECT_FALSE(has("PrefsWP", "stretch")) << "Apply saved another page";
    EXPECT_FALSE(form->PageChanged(0));
    EXPECT_TRUE(form->PageChanged(1));
    EXPECT_FALSE(child<QPushButton>(*form, "cmdApply")->isEnabled());
    child<QTabWidget>(*form, "SSTabPages")->setCurrentIndex(1);
    EXPECT_TRUE(child<QPushButton>(*form, "cmdApply")->isEnabled());

    child<QPushButton>(*form, "cmdOk")->click();
    EXPECT_EQ(value("PrefsWP", "stretch"), "1");
    EXPECT_EQ(value("CalendarWP", "position"), "3");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(FrmMoonfieldTest, EveryScreenSaverControlIsBoundToItsSetting) {
    ASSERT_TRUE(platform::setSaverPassword("moon")); // so that the lock could be ended
    writeSettings(kSaved);
    platform::setScreenSaveActive(true);
    // Values a control takes, read back from a freshly loaded dialog.
    struct Spin {
        const char* name;
        int value;
    } spins[] = {{"nbsSaverDelay", 3}, {"nbsImageDelay", 7}, {"nbsInfoPanelShows", 33}};
    struct Combo {
        const char* name;
        int index;
    } combos[] = {{"cmboSS_SetsToUse", 2},
                  {"cmboTransitions", 9},
                  {"cmboSSLanguage", 3},
                  {"cmboCalendarSize", 0},
                  {"cmboCalendarPosition", 6}};
    const char* checks[] = {"chkShowTitles", "chkShowDescriptive", "chkPasswordProtected"};
    const char* options[] = {"optSSMinutes", "optCalendarOff", "optPanaMotionOff"};
    {
        auto form = shown();
        for (const Spin& s : spins)
            child<QSpinBox>(*form, s.name)->setValue(s.value);
        for (const Combo& c : combos)
            child<QComboBox>(*form, c.name)->setCurrentIndex(c.index);
        for (const char* name : checks)
            child<QCheckBox>(*form, name)->click();
        child<QCheckBox>(*form, "chkSSFit2Screen")->click(); // on by default
        for (const char* name : options)
            child<QRadioButton>(*form, name)->click();
        child<QSlider>(*form, "sldrPanSpeed")->setValue(77);
        child<QPushButton>(*form, "cmdOk")->click();
    }
    EXPECT_EQ(value("Panoramic", "speed"), "178");
    auto form = shown();
    for (const Spin& s : spins)
        EXPECT_EQ(child<QSpinBox>(*form, s.name)->value(), s.value) << s.name;
    for (const Combo& c : combos)
        EXPECT_EQ(child<QComboBox>(*form, c.name)->currentIndex(), c.index) << c.name;
    for (const char* name : checks)
        EXPECT_TRUE(child<QCheckBox>(*form, name)->isChecked()) << name;
    EXPECT_FALSE(child<QCheckBox>(*form, "chkSSFit2Screen")->isChecked());
    for (const char* name : options)
        EXPECT_TRUE(child<QRadioButton>(*form, name)->isChecked()) << name;
    EXPECT_EQ(child<QSlider>(*form, "sldrPanSpeed")->value(), 77);
    EXPECT_EQ(platform::screenSaveTimeOut(), 180);
}

TEST_F(FrmMoonfieldTest, PasswordProtectedWithADamagedPasswordFileIsRefusedWithAMessage) {
    writeFile(platform::saverPasswordFilePath(), "garbage\n");
    std::vector<std::string> boxes;
    unsetenv("SKYLOOM_NONINTERACTIVE"); // the message is what is checked
    platform::setMessageBoxHandler([&](const std::string&, const std::string& text,
                                       platform::MsgButtons, platform::MsgResult answer) {
        boxes.push_back(text);
        return answer;
    });
    auto form = shown();
    auto* why = child<QLabel>(*form, "lblPasswordProblem");
    EXPECT_TRUE(why->isVisible());
    EXPECT_NE(why->text().indexOf("damaged"), -1);
    QApplication::processEvents(); // lay the page out
    EXPECT_GE(why->height(), why->heightForWidth(why->width())) << "the reason is cut off";
    // A long reason takes a line or two of the page's width, never the page's room.
    EXPECT_LE(why->height(), 4 * why->fontMetrics().lineSpacing());
    auto* delay = child<QSpinBox>(*form, "nbsImageDelay");
    EXPECT_GE(delay->height(), delay->minimumSizeHint().height()) << "the page is squeezed";
    EXPECT_EQ(child<QPushButton>(*form, "cmdChangePassword")->text(), "Set a saver password...");
    child<QCheckBox>(*form, "chkPasswordProtected")->click();
    child<QCheckBox>(*form, "chkShowTitles")->click();
    child<QPushButton>(*form, "cmdApply")->click();
    platform::setMessageBoxHandler(nullptr);
    setenv("SKYLOOM_NONINTERACTIVE", "1", 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("not switched on"), std::string::npos);
    EXPECT_FALSE(platform::screenSaveUsePassword());
    // The rest of the page is saved; Apply stays on for the switch.
    EXPECT_EQ(value("InfoPanel", "showTitle"), "1");
    EXPECT_TRUE(child<QPushButton>(*form, "cmdApply")->isEnabled());
}

TEST_F(FrmMoonfieldTest, CancelWritesNothing) {
    writeSettings(kSaved);
    const std::string before = readSettings();
    const std::string registry = test::TempDir::readPath(platform::registryFilePath());
    auto form = shown();
    child<QSpinBox>(*form, "nbsImageDelay")->setValue(5);
    child<QRadioButton>(*form, "optSSMinutes")->click();
    child<QCheckBox>(*form, "chkPasswordProtected")->click();
    saverOption(*form, 0)->click();
    child<QTabWidget>(*form, "SSTabPages")->setCurrentIndex(1);
    child<QRadioButton>(*form, "optWallPaperOff")->click();
    child<QPushButton>(*form, "cmdCancel")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(readSettings(), before);
    EXPECT_EQ(test::TempDir::readPath(platform::registryFilePath()), registry);
}

TEST_F(FrmMoonfieldTest, SaverOffDisablesItsControlsAndOnRestoresThem) {
    writeSettings(kSaved);
    platform::setScreenSaveActive(true);
    auto form = shown();
    auto* tabs = child<QTabWidget>(*form, "SSTabScreenSaver");
    const char* controls[] = {"cmboSS_SetsToUse", "nbsImageDelay",  "cmboTransitions",
                              "chkShowTitles",    "cmboSSLanguage", "nbsInfoPanelShows",
                              "chkSSFit2Screen",  "cmdSSPreview",   "nbsSaverDelay"};
    child<QRadioButton>(*form, "optPanaMotionOff")->setChecked(true);
    tabs->setCurrentIndex(2);
    saverOption(*form, 0)->click();
    for (const char* name : controls)
        EXPECT_FALSE(child<QWidget>(*form, name)->isEnabled()) << name;
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_FALSE(tabs->isTabEnabled(1));
    EXPECT_TRUE(form->PageChanged(0));

    saverOption(*form, 1)->click();
    for (const char* name : controls)
        EXPECT_TRUE(child<QWidget>(*form, name)->isEnabled()) << name;
    EXPECT_TRUE(tabs->isTabEnabled(3));
    // The panoramic speed stays off while panoramic motion is off.
    EXPECT_FALSE(child<QSlider>(*form, "sldrPanSpeed")->isEnabled());
    child<QRadioButton>(*form, "optPanaMotionOn")->click();
    EXPECT_TRUE(child<QSlider>(*form, "sldrPanSpeed")->isEnabled());
}

TEST_F(FrmMoonfieldTest, WallpaperOffLeavesOnlyTheCalendarUsable) {
    writeSettings(kSaved);
    auto form = shown(1);
    auto* sets = child<QComboBox>(*form, "cmboSets");
    auto* images = child<QListWidget>(*form, "lstImages");
    EXPECT_EQ(sets->currentText(), config::kRandomSetsEntry);
    EXPECT_FALSE(images->isEnabled());
    EXPECT_EQ(images->currentItem()->text(), "Oak");

    sets->setCurrentIndex(1);
    EXPECT_TRUE(images->isEnabled());
    EXPECT_EQ(images->count(), 2);
    EXPECT_EQ(form->wallpaperPage().szWallpaperImage, program + "harbour/Boats");

    child<QRadioButton>(*form, "optWallPaperOff")->click();
    for (const char* name : {"cmboSets", "lstImages", "chkFit2Screen", "cmdImageCredits",
                             "cmboAutoChange", "frmAutoChange"})
        EXPECT_FALSE(child<QWidget>(*form, name)->isEnabled()) << name;
    for (const char* name : {"optWPCalendarOn", "cmboWPCalendarSize", "cmboWPCalendarPosition"})
        EXPECT_TRUE(child<QWidget>(*form, name)->isEnabled()) << name;
    child<QRadioButton>(*form, "optWallPaperOn")->click();
    EXPECT_TRUE(images->isEnabled());
}

// "Different picture on each screen": no choice on one monitor (the
// offscreen platform has one), saved with the page's other controls.
TEST_F(FrmMoonfieldTest, PerScreenIsHiddenOnOneMonitorAndSavedWithThePage) {
    writeSettings(kSaved);
    auto form = shown(1);
    auto* perScreen = child<QCheckBox>(*form, "chkPerScreen");
    EXPECT_FALSE(perScreen->isVisible());
    EXPECT_FALSE(perScreen->isChecked());
    perScreen->click();
    EXPECT_TRUE(form->PageChanged(1));
    EXPECT_TRUE(form->wallpaperPage().perScreen);
    EXPECT_FALSE(has("PrefsWP", "perScreen")) << "nothing is written before Apply";
    form->wallpaperPage().SaveSettings();
    EXPECT_EQ(value("PrefsWP", "perScreen"), "1");
    child<QRadioButton>(*form, "optWallPaperOff")->click();
    EXPECT_FALSE(perScreen->isEnabled());
}

TEST_F(FrmMoonfieldTest, UpdateListsDropsTheRandomEntryWithOneSetLeft) {
    writeSettings(kSaved);
    auto form = shown(1);
    auto* wallpaperSets = child<QComboBox>(*form, "cmboSets");
    auto* saverSets = child<QComboBox>(*form, "cmboSS_SetsToUse");
    EXPECT_EQ(saverSets->count(), 3);
    auto& lib = form->library().Sets();
    lib.ExcludeSet(lib.GetSet("Harbour"));
    form->UpdateLists();
    EXPECT_EQ(wallpaperSets->count(), 1);
    EXPECT_EQ(wallpaperSets->currentText(), "Meadow");
    EXPECT_EQ(saverSets->count(), 1);
    EXPECT_EQ(saverSets->currentText(), "Meadow");
    lib.IncludeSet(lib.GetSet("Harbour"));
    form->UpdateLists();
    // The wallpaper list started on the random entry and goes back to it.
    EXPECT_EQ(wallpaperSets->currentText(), config::kRandomSetsEntry);
}

TEST_F(FrmMoonfieldTest, HiddenWallpaperRequestsRecordTheirState) {
    writeSettings(kSaved);
    frmMoonfield form;
    ASSERT_TRUE(form.initialise());
    form.NextWallpaperImage();
    EXPECT_FALSE(value("PrefsWP", "LastChanged").empty());
    EXPECT_EQ(value("PrefsWP", "random"), "1");
    EXPECT_FALSE(has("PrefsWP", "stretch"));
    const std::string set = value("PrefsWP", "CurrentSet");
    EXPECT_TRUE(set == "Harbour" || set == "Meadow") << set;
}

} // namespace
