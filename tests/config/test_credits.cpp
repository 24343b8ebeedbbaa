// The image credits: both information-file layouts read without a display,
// and the dialog that shows them.

#include "common/ProfileFile.h"
#include "config/Credits.h"
#include "config/frmCredits.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace skyloom;
using config::Credits;

namespace {

class CreditsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char arg0[] = "test_credits";
        static char* argv[] = {arg0, nullptr};
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void write(const std::string& name, const std::string& bytes) {
        dir.write(name, bytes);
        profile::clearCache();
    }
    /// Credits of picture "set/pic" (image name "Pic") in `language`.
    Credits read(const std::string& language = "English") {
        Credits c;
        c.InitCredits(folder(), folder() + "pic", "Pic", language);
        return c;
    }
    std::string folder() const { return dir.file("set/"); }
    /// The design texts, for comparison.
    static void expectDesignTexts(const Credits& c) {
        const Credits design;
        EXPECT_EQ(c.imageTitlePrompt, design.imageTitlePrompt);
        EXPECT_EQ(c.imageTitle, "Not Available.");
        EXPECT_EQ(c.imageCreditPrompt, design.imageCreditPrompt);
        EXPECT_EQ(c.imageInfo, "Not Available.");
        EXPECT_EQ(c.additInfoPrompt, design.additInfoPrompt);
        EXPECT_EQ(c.photo, "Not Available.");
        EXPECT_EQ(c.moreInfoPrompt, "For more information");
        EXPECT_EQ(c.printOrder, "Not Available.");
        EXPECT_FALSE(c.webButtonVisible);
        EXPECT_EQ(c.url, "");
    }
    test::TempDir dir;
};

TEST_F(CreditsTest, Version1TakesTitleAndCreditFromThePictureAndTheRestFromPhotoNfo) {
    write("set/pic.nfo", "[info]\r\nversion=1\r\n[Pic]\r\nPictureInfo=Harbour at dusk\r\n"
                         "ImageNumber=Photo: A. Person\r\n");
    write("set/photo.nfo", "[Info]\r\nPrintOrder=Prints from the gallery\r\n"
                           "Photo=Taken with a film camera.\r\n");
    Credits c = read();
    EXPECT_EQ(c.imageTitle, "Harbour at dusk");
    EXPECT_EQ(c.imageInfo, "Photo: A. Person");
    EXPECT_EQ(c.printOrder, "Prints from the gallery");
    EXPECT_EQ(c.photo, "Taken with a film camera.");
    EXPECT_TRUE(c.photoEnabled);
    EXPECT_FALSE(c.webButtonVisible);

    // Without "Photo" the text box says so and is disabled.
    write("set/photo.nfo", "[Info]\r\nPrintOrder=Prints\r\n");
    c = read();
    EXPECT_FALSE(c.photoEnabled);
    EXPECT_EQ(c.photo, "No additional information is available for this image.");

    // No files at all: version 1 with every default.
    std::filesystem::remove(dir.file("set/pic.nfo"));
    std::filesystem::remove(dir.file("set/photo.nfo"));
    profile::clearCache();
    c = read();
    EXPECT_EQ(c.imageTitle, "Not Available");
    EXPECT_EQ(c.imageInfo, "Not Available");
    EXPECT_EQ(c.printOrder, "Not Available");
    EXPECT_FALSE(c.photoEnabled);
}

TEST_F(CreditsTest, Version1FilesWrittenOnWindowsAreRead) {
    // Windows-1252 text and a file name in other letter case.
    write("set/PIC.NFO", "[Pic]\r\nPictureInfo=Caf\xE9 at noon\r\n");
    write("set/Photo.nfo", "[Info]\r\nPhoto=\x93Quoted\x94\r\n");
    Credits c = read();
    EXPECT_EQ(c.imageTitle, "Café at noon");
    EXPECT_EQ(c.photo, "\u201CQuoted\u201D");
}

TEST_F(CreditsTest, Version2WithoutTheLanguageKeepsTheDesignTexts) {
    write("set/pic.nfo", "[info]\nversion=2\n[English]\nimageTitle=Boats\nwebButton=Visit\n");
    expectDesignTexts(read("French"));
    const Credits english = read("English");
    EXPECT_EQ(english.imageTitle, "Boats");
    EXPECT_TRUE(english.webButtonVisible);

    // An unknown version changes nothing either.
    write("set/pic.nfo", "[info]\nversion=3\n[English]\nimageTitle=Boats\n");
    expectDesignTexts(read("English"));
}

TEST_F(CreditsTest, Version2ReadsEveryKeyOfTheLanguageBlock) {
    write("set/pic.nfo", "[info]\r\nversion=2\r\n\r\n[French]\r\nimageTitle=Bateaux\r\n"
                         "[English]\r\nimageTitlePrompt=Title:\r\nimageTitle=Boats\r\n"
                         "imageCredit=Photo: A. Person\r\nimageCreditPrompt=By:\r\n"
                         "imageInfoPrompt=About:\r\nimageInfo=Two boats.\r\n"
                         "imageMorePrompt=More\r\nimageMore=Prints\r\nURL=https://example.org/b\r\n"
                         "webButton=Visit us\r\nunknownKey=x\r\nimageTitle =ignored\r\n");
    const Credits c = read();
    EXPECT_EQ(c.imageTitlePrompt, "Title:");
    // "imageTitle" followed by a key line: the title alone, the next line
    // is the credit's own.
    EXPECT_EQ(c.imageTitle, "Boats");
    EXPECT_EQ(c.imageInfo, "Photo: A. Person");
    EXPECT_EQ(c.imageCreditPrompt, "By:");
    EXPECT_EQ(c.additInfoPrompt, "About:");
    EXPECT_EQ(c.photo, "Two boats.");
    EXPECT_TRUE(c.photoEnabled);
    EXPECT_EQ(c.moreInfoPrompt, "More");
    EXPECT_EQ(c.printOrder, "Prints");
    EXPECT_EQ(c.url, "https://example.org/b");
    EXPECT_EQ(c.webButton, "Visit us");
    EXPECT_TRUE(c.webButtonVisible);
}

TEST_F(CreditsTest, Version2BlockEndsAtAnyLineHoldingABracket) {
    Credits c;
    c.readVersion2(
        {"[English]", "imageTitle=Boats", "note: see [1] below", "imageCredit=never read"},
        "English");
    EXPECT_EQ(c.imageTitle, "Boats");
    EXPECT_EQ(c.imageInfo, "Not Available.");

    // A line with "[" ends the block even right after a key that takes
    // continuation lines: it is not read as one.
    c = Credits();
    c.readVersion2({"x [English] x", "imageInfo=First", "more", "[LayerSS]", "imageMore=no"},
                   "English");
    EXPECT_EQ(c.photo, "First\nmore");
    EXPECT_EQ(c.printOrder, "Not Available.");
}

TEST_F(CreditsTest, Version2ContinuationLinesNeitherSkipKeysNorRunPastTheEnd) {
    Credits c;
    c.readVersion2({"[English]", "imageInfo=Line one", "line two", "", "line four",
                    "imageTitle=Title", "continued", "imageCredit=Credit", "imageMore=More",
                    "first", "second", "third", "URL=https://example.org/"},
                   "English");
    EXPECT_EQ(c.photo, "Line one\nline two\n\nline four");
    EXPECT_EQ(c.imageTitle, "Title\ncontinued");
    // The key right after a continuation line is read, not skipped.
    EXPECT_EQ(c.imageInfo, "Credit");
    // "imageMore" takes two continuation lines; the third is ignored.
    EXPECT_EQ(c.printOrder, "More\nfirst\nsecond");
    // The last line of the file is read too.
    EXPECT_EQ(c.url, "https://example.org/");

    // Continuations at the very end of the lines stop there.
    c = Credits();
    c.readVersion2({"[English]", "imageMore=More", "only"}, "English");
    EXPECT_EQ(c.printOrder, "More\nonly");
    c = Credits();
    c.readVersion2({"[English]", "imageInfo=Text", "", ""}, "English");
    EXPECT_EQ(c.photo, "Text");
    c = Credits();
    c.readVersion2({"[English]", "imageTitle=Last"}, "English");
    EXPECT_EQ(c.imageTitle, "Last");
}

TEST_F(CreditsTest, BrokenInformationFilesGiveSensibleTexts) {
    // Binary garbage with NULs, no line end at the end, and a value that is
    // all "=" signs.
    static const char garbage[] = "[info]\nversion=2\n[English]\nimageTitle==x=\n\0\xff\xfe[\n"
                                  "imageCredit=after";
    write("set/pic.nfo", std::string(garbage, sizeof garbage - 1));
    Credits c = read();
    EXPECT_EQ(c.imageTitle, "=x=");
    EXPECT_EQ(c.imageInfo, "Not Available.");

    // Too large to be credits: read as a version-2 file without the block.
    write("set/pic.nfo",
          "[info]\nversion=2\n[English]\nimageTitle=Big\n" + std::string(2 << 20, 'x'));
    c = read();
    EXPECT_EQ(c.imageTitle, "Not Available.");

    // A folder where the file should be.
    std::filesystem::remove(dir.file("set/pic.nfo"));
    std::filesystem::create_directories(dir.file("set/pic.nfo"));
    profile::clearCache();
    c = read();
    EXPECT_EQ(c.imageTitle, "Not Available");
}

// ---------------------------------------------------------------------------
// The dialog

class FrmCreditsTest : public CreditsTest {
protected:
    template <class W> W* child(config::frmCredits& form, const char* name) {
        auto* w = form.findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void type(QWidget* target, Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
    }
};

TEST_F(FrmCreditsTest, ShowsTheTextsTheThumbnailAndTheWebButton) {
    write("set/pic.nfo", "[info]\nversion=2\n[English]\nimageTitle=Boats\n"
                         "imageInfo=<b>not markup</b>\nwebButton=Visit us\nURL=https://e.org/\n");
    config::frmCredits form;
    EXPECT_EQ(form.windowTitle(), "Image Credits");
    EXPECT_FALSE(child<QPushButton>(form, "cmdWebLink")->isVisibleTo(&form));
    form.InitCredits(folder(), folder() + "pic", "Pic", "English");
    EXPECT_EQ(child<QLabel>(form, "lblImageTitle")->text(), "Boats");
    EXPECT_EQ(child<QLabel>(form, "lblImageTitle")->textFormat(), Qt::PlainText);
    EXPECT_EQ(child<QPlainTextEdit>(form, "txtPhoto")->toPlainText(), "<b>not markup</b>");
    EXPECT_TRUE(child<QPushButton>(form, "cmdWebLink")->isVisibleTo(&form));
    EXPECT_EQ(child<QPushButton>(form, "cmdWebLink")->text(), "Visit us");
    EXPECT_EQ(child<QGroupBox>(form, "lblMoreInfoPrompt")->title(), "For more information");
    EXPECT_EQ(child<QPushButton>(form, "cmdClose")->text(), " &Close");

    QPixmap picture(40, 30);
    picture.fill(Qt::red);
    form.ThumbNail(picture);
    EXPECT_FALSE(child<QLabel>(form, "picThumbNail")->pixmap().isNull());
    form.ImageTitle("Set by the opener");
    EXPECT_EQ(child<QLabel>(form, "lblImageTitle")->text(), "Set by the opener");

    // Every control a keyboard or screen-reader user reaches has a name.
    for (QWidget* w : form.findChildren<QWidget*>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&form))
            continue;
        const QString name =
            w->accessibleName().isEmpty() ? w->property("text").toString() : w->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
    }
}

TEST_F(FrmCreditsTest, TypingCClosesFromAnyControlAndOtherKeysDoNot) {
    config::frmCredits form;
    form.show();
    auto* text = child<QPlainTextEdit>(form, "txtPhoto");
    type(text, Qt::Key_X, "x");
    EXPECT_TRUE(form.isVisible());
    type(text, Qt::Key_C, "c");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Accepted);

    form.show();
    type(&form, Qt::Key_C, "C");
    EXPECT_FALSE(form.isVisible());

    form.show();
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, "\x03");
    QApplication::sendEvent(text, &ctrlC);
    EXPECT_TRUE(form.isVisible()) << "Ctrl+C copies, it does not close";
    child<QPushButton>(form, "cmdClose")->click();
    EXPECT_FALSE(form.isVisible());
}

} // namespace
