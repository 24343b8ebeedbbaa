// The Edit Sets page in the dialog, offscreen: list scenarios, Apply and
// Cancel, the saver page's thumbnail list, the preview and "Add Photo
// Folder...".

#include "config/EditSetsWidget.h"
#include "config/PageLists.h"
#include "config/frmMoonfield.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "tests/config/ConfigFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace skyloom;
using skyloom::config::frmMoonfield;

namespace {

class EditSetsDialogTest : public test::ConfigFixture {
protected:
    void SetUp() override {
        ConfigFixture::SetUp();
        twoSets();
        platform::setScreenSaveActive(true);
        writeSettings("[ScreenSaver]\r\nSetup=1\r\n[PrefsWP]\r\nrandom=0\r\nCurrentSet=Meadow\r\n");
        // The messages are part of what is checked: they reach the handler.
        unsetenv("SKYLOOM_NONINTERACTIVE");
        platform::setMessageBoxHandler([this](const std::string&, const std::string& text,
                                              platform::MsgButtons, platform::MsgResult d) {
            messages.push_back(text);
            return d;
        });
    }
    void TearDown() override {
        platform::setMessageBoxHandler(nullptr);
        setenv("SKYLOOM_NONINTERACTIVE", "1", 1);
    }

    std::unique_ptr<frmMoonfield> shown(int tab = frmMoonfield::EditSets) {
        auto form = std::make_unique<frmMoonfield>();
        form->setStartingTab(tab);
        EXPECT_TRUE(form->initialise());
        form->show();
        return form;
    }
    template <class W> static W* child(frmMoonfield& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QStringList texts(const QListWidget* list) {
        QStringList t;
        for (int i = 0; i < list->count(); ++i)
            t << list->item(i)->text();
        return t;
    }
    static QStringList texts(const QComboBox* box) {
        QStringList t;
        for (int i = 0; i < box->count(); ++i)
            t << box->itemText(i);
        return t;
    }
    static void select(QListWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int row : rows) {
            list->setCurrentRow(row, QItemSelectionModel::Select);
        }
    }
    std::string registry() const { return test::TempDir::readPath(program + "Skyloom.ini"); }

    std::vector<std::string> messages;
};

TEST_F(EditSetsDialogTest, PictureSelectionSetsTheMoveButtonAndClearsTheOtherList) {
    auto form = shown();
    auto* edit = child<QComboBox>(*form, "cmboEditSet");
    auto* active = child<QListWidget>(*form, "lstActiveImages");
    auto* inactive = child<QListWidget>(*form, "lstInactiveImages");
    auto* move = child<QPushButton>(*form, "cmdImageMove");
    edit->setCurrentText("Meadow");
    ASSERT_EQ(texts(active), QStringList({"Grass", "Poppies", "Oak"}));
    select(active, {0, 2});
    EXPECT_EQ(move->text(), "Exclude Images");
    move->click();
    EXPECT_EQ(texts(active), QStringList({"Poppies"}));
    EXPECT_EQ(texts(inactive), QStringList({"Grass", "Oak"}));
    EXPECT_FALSE(move->isEnabled());

    select(active, {0});
    select(inactive, {1});
    EXPECT_TRUE(active->selectedItems().isEmpty());
    EXPECT_EQ(move->text(), "Include Image");
    EXPECT_EQ(move->property("Tag").toString(), "Include");
    EXPECT_TRUE(move->isEnabled());
    EXPECT_TRUE(form->PageChanged(frmMoonfield::EditSets));
}

TEST_F(EditSetsDialogTest, ApplyWritesTheMarksInPlaceAndCancelWritesNothing) {
    shown(); // registers the sets
    const std::string before = registry();
    {
        auto form = shown();
        child<QComboBox>(*form, "cmboEditSet")->setCurrentText("Harbour");
        select(child<QListWidget>(*form, "lstActiveImages"), {1});
        child<QPushButton>(*form, "cmdImageMove")->click();
        child<QPushButton>(*form, "cmdCancel")->click();
    }
    EXPECT_EQ(registry(), before);

    auto form = shown();
    child<QComboBox>(*form, "cmboEditSet")->setCurrentText("Harbour");
    select(child<QListWidget>(*form, "lstActiveImages"), {1});
    child<QPushButton>(*form, "cmdImageMove")->click();
    child<QPushButton>(*form, "cmdApply")->click();
    std::string expected = before;
    const auto at = expected.find("Quay=Quay");
    ASSERT_NE(at, std::string::npos);
    expected.insert(at + 5, "*");
    EXPECT_EQ(registry(), expected); // only the mark changes; keys keep their order
}

TEST_F(EditSetsDialogTest, ExcludingTheEditedSetLeavesEverySetListButAbout) {
    auto form = shown();
    auto* edit = child<QComboBox>(*form, "cmboEditSet");
    auto* sets = child<QComboBox>(*form, "cmboSets");
    auto* saverSets = child<QComboBox>(*form, "cmboSS_SetsToUse");
    edit->setCurrentText("Harbour");
    ASSERT_EQ(texts(saverSets), QStringList({config::kRandomSetsEntry, "Harbour", "Meadow"}));
    child<QTabWidget>(*form, "SSTabEditSets")->setCurrentIndex(1);
    auto* active = child<QListWidget>(*form, "lstActiveSets");
    select(active, {0});
    auto* moveSet = child<QPushButton>(*form, "cmdMoveSet");
    EXPECT_EQ(moveSet->text(), "Exclude Set");
    EXPECT_TRUE(child<QTimer>(*form, "tmrEditSetsThumbnailChanger")->isActive());
    moveSet->click();

    EXPECT_EQ(texts(edit), QStringList({"Meadow"}));
    EXPECT_EQ(edit->currentText(), "Meadow");
    EXPECT_EQ(texts(sets), QStringList({"Meadow"})); // the random entry went with the second set
    EXPECT_EQ(texts(saverSets), QStringList({"Meadow"}));
    EXPECT_EQ(texts(child<QListWidget>(*form, "lstInactiveSets")), QStringList({"Harbour"}));
    EXPECT_EQ(texts(child<QListWidget>(*form, "lstActiveImages")),
              QStringList({"Grass", "Poppies", "Oak"}));

    // The last included set stays: a message, and nothing moves.
    select(active, {0});
    moveSet->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], config::kLastSetMessage);
    EXPECT_EQ(texts(active), QStringList({"Meadow"}));

    child<QPushButton>(*form, "cmdApply")->click();
    EXPECT_NE(registry().find("Harbour=*harbour"), std::string::npos);
}

TEST_F(EditSetsDialogTest, NoIncludedSetLeavesTheListsEmpty) {
    shown(); // registers the sets
    std::string reg = registry();
    for (const char* entry : {"Harbour=", "Meadow="})
        reg.insert(reg.find(entry) + std::string(entry).size(), "*");
    writeFile(program + "Skyloom.ini", reg);
    auto form = shown();
    EXPECT_EQ(child<QComboBox>(*form, "cmboEditSet")->count(), 0);
    EXPECT_EQ(child<QListWidget>(*form, "lstActiveImages")->count(), 0);
    EXPECT_EQ(texts(child<QListWidget>(*form, "lstInactiveSets")),
              QStringList({"Harbour", "Meadow"}));
    EXPECT_TRUE(form->thumbnailList().entries().empty());
    form->tmrThumbnailChanger_Timer(); // nothing to show, and no fault
    EXPECT_EQ(form->thumbnailList().index(), 0);

    // Including one set fills the lists again.
    child<QTabWidget>(*form, "SSTabEditSets")->setCurrentIndex(1);
    select(child<QListWidget>(*form, "lstInactiveSets"), {1});
    child<QPushButton>(*form, "cmdMoveSet")->click();
    EXPECT_EQ(texts(child<QComboBox>(*form, "cmboEditSet")), QStringList({"Meadow"}));
    EXPECT_EQ(child<QListWidget>(*form, "lstActiveImages")->count(), 3);
}

TEST_F(EditSetsDialogTest, UserControlZeroDisablesTheTitlePageBox) {
    writeFile(program + "harbour/company.ini",
              "[TitlePage]\r\nfile=Boats.jpg\r\nuserControl=0\r\n");
    writeFile(program + "meadow/company.ini", "[TitlePage]\r\nfile=*Oak.jpg\r\n");
    auto form = shown();
    auto* edit = child<QComboBox>(*form, "cmboEditSet");
    auto* box = child<QCheckBox>(*form, "chkShowTitlePage");
    edit->setCurrentText("Harbour");
    EXPECT_FALSE(box->isEnabled());
    EXPECT_FALSE(box->isChecked());
    edit->setCurrentText("Meadow");
    EXPECT_TRUE(box->isEnabled());
    EXPECT_FALSE(box->isChecked()); // "*": switched off
    box->click();
    EXPECT_TRUE(form->library().Sets().GetSet("Meadow")->m_ShowTitlePage);
    EXPECT_TRUE(form->PageChanged(frmMoonfield::EditSets));
}

TEST_F(EditSetsDialogTest, OnlyARightButtonDragBeyondFiftyCanMove) {
    auto form = shown();
    child<QComboBox>(*form, "cmboEditSet")->setCurrentText("Meadow");
    auto* active = child<QListWidget>(*form, "lstActiveImages");
    auto* inactive = child<QListWidget>(*form, "lstInactiveImages");
    QApplication::processEvents();
    const QPoint first = active->visualItemRect(active->item(0)).center();
    const QPoint last = active->visualItemRect(active->item(2)).center();
    QTest::mousePress(active->viewport(), Qt::LeftButton, {}, first);
    QMouseEvent move(QEvent::MouseMove, QPointF(last + QPoint(0, 80)),
                     QPointF(active->viewport()->mapToGlobal(last + QPoint(0, 80))), Qt::LeftButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(active->viewport(), &move);
    QTest::mouseRelease(active->viewport(), Qt::LeftButton, {}, last);
    EXPECT_EQ(active->count(), 3);
    EXPECT_EQ(inactive->count(), 0);
    EXPECT_FALSE(active->selectedItems().isEmpty()); // it selects as usual
    EXPECT_FALSE(form->PageChanged(frmMoonfield::EditSets));

    // A drop from the partner list does what the button does.
    auto* dropTarget = static_cast<config::DragList*>(inactive);
    select(active, {1});
    emit dropTarget->droppedFromPartner();
    EXPECT_EQ(texts(inactive), QStringList({"Poppies"}));
    EXPECT_EQ(texts(active), QStringList({"Grass", "Oak"}));
    EXPECT_TRUE(form->PageChanged(frmMoonfield::EditSets));
}

TEST_F(EditSetsDialogTest, SaverSetChoiceFillsTheThumbnailList) {
    auto form = shown(frmMoonfield::ScreenSaver);
    auto* saverSets = child<QComboBox>(*form, "cmboSS_SetsToUse");
    saverSets->setCurrentText(config::kRandomSetsEntry);
    EXPECT_EQ(form->thumbnailList().entries().size(), 5u);
    saverSets->setCurrentText("Harbour");
    EXPECT_EQ(form->thumbnailList().entries(),
              (std::vector<std::string>{"harbour/Boats", "harbour/Quay"}));
    EXPECT_TRUE(form->thumbnailTimer()->isActive());
    form->tmrThumbnailChanger_Timer();
    EXPECT_EQ(form->thumbnailList().index(), 2);
    EXPECT_FALSE(child<QLabel>(*form, "picSSThumbNail")->pixmap().isNull());
    EXPECT_EQ(form->thumbnailTimer()->interval(), 1500);

    // Pages 1 and 2 stop the changer; saver Off stops it and clears the box.
    child<QTabWidget>(*form, "SSTabPages")->setCurrentIndex(frmMoonfield::Wallpaper);
    EXPECT_FALSE(form->thumbnailTimer()->isActive());
}

TEST_F(EditSetsDialogTest, EightBitThumbnailsRemoveTheirWorkFiles) {
    setenv("SKYLOOM_DISPLAY_DEPTH", "8", 1);
    auto form = shown(frmMoonfield::ScreenSaver);
    child<QComboBox>(*form, "cmboSS_SetsToUse")->setCurrentText("Meadow");
    form->tmrThumbnailChanger_Timer();
    unsetenv("SKYLOOM_DISPLAY_DEPTH");
    EXPECT_FALSE(child<QLabel>(*form, "picSSThumbNail")->pixmap().isNull());
    EXPECT_FALSE(std::filesystem::exists(program + "tn.jpg"));
    EXPECT_FALSE(std::filesystem::exists(program + "tn.bmp"));
}

TEST_F(EditSetsDialogTest, PreviewUsesThePageAndLeavesTheSettingsFileAsItIs) {
    auto form = shown(frmMoonfield::ScreenSaver);
    child<QComboBox>(*form, "cmboSS_SetsToUse")->setCurrentText("Meadow");
    const std::string before = readSettings();
    const bool timerWasOn = form->thumbnailTimer()->isActive();
    bool sawSaver = false;
    // End the preview with a key once it shows (and in any case after 5 s).
    QTimer::singleShot(300, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSaverPreview" && w->isVisible()) {
                sawSaver = true;
                QTest::keyClick(w, Qt::Key_Space);
            }
    });
    QTimer::singleShot(5000, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSaverPreview")
                w->close();
    });
    child<QPushButton>(*form, "cmdSSPreview")->click();
    EXPECT_TRUE(sawSaver);
    EXPECT_EQ(readSettings(), before);
    EXPECT_EQ(form->thumbnailTimer()->isActive(), timerWasOn);
}

TEST_F(EditSetsDialogTest, AddPhotoFolderMakesARegisteredSetOrSaysWhyNot) {
    auto form = shown();
    auto* page = form->editSetsPage();
    const std::string photos = dir.file("photos");
    std::filesystem::create_directories(photos);
    writeFile(photos + "/notes.txt", "not a picture");
    EXPECT_FALSE(page->addPhotoFolder(photos, "Holiday"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("No image set was made"), std::string::npos);
    EXPECT_EQ(registry().find("Holiday"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(program + "Holiday"));

    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(QString::fromStdString(photos + "/beach.jpg"), "JPEG"));
    EXPECT_TRUE(page->addPhotoFolder(photos, "Holiday"));
    EXPECT_NE(registry().find("[Holiday]"), std::string::npos);
    EXPECT_TRUE(texts(child<QComboBox>(*form, "cmboEditSet")).contains("Holiday"));
    EXPECT_TRUE(texts(child<QComboBox>(*form, "cmboSets")).contains("Holiday"));
    EXPECT_TRUE(texts(child<QComboBox>(*form, "cmboSS_SetsToUse")).contains("Holiday"));
    EXPECT_TRUE(texts(child<QListWidget>(*form, "lstActiveSets")).contains("Holiday"));

    EXPECT_FALSE(page->addPhotoFolder(photos, "Holiday")); // the name is taken
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(EditSetsDialogTest, AddPhotoFolderSaysItIsMadeAtOnceAndCancelKeepsIt) {
    auto form = shown();
    child<QTabWidget>(*form, "SSTabEditSets")->setCurrentIndex(1);
    auto* note = child<QLabel>(*form, "lblAddPhotoFolderNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_FALSE(note->text().isEmpty());
    EXPECT_EQ(child<QPushButton>(*form, "cmdAddPhotoFolder")->accessibleDescription(),
              note->text());

    const std::string photos = dir.file("photos");
    std::filesystem::create_directories(photos);
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::darkGreen);
    ASSERT_TRUE(photo.save(QString::fromStdString(photos + "/beach.jpg"), "JPEG"));
    ASSERT_TRUE(form->editSetsPage()->addPhotoFolder(photos, "Holiday"));
    child<QPushButton>(*form, "cmdCancel")->click();
    EXPECT_FALSE(form->isVisible());
    // What the note says: the set stays, and the next dialog lists it.
    EXPECT_NE(registry().find("[Holiday]"), std::string::npos);
    auto again = shown();
    EXPECT_TRUE(texts(child<QComboBox>(*again, "cmboEditSet")).contains("Holiday"));
}

} // namespace
