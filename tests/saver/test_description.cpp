// Description files without a display: the title and paragraphs of each
// language, the "File=" redirect, line ends and encodings, and the wrapping
// of paragraphs into panel lines.

#include "saver/Description.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace skyloom;
using namespace skyloom::saver;

namespace {

// Every character 10 pixels wide: line breaks are easy to predict.
int fixedWidth(const QString& t) {
    return 10 * static_cast<int>(t.toStdU32String().size());
}

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A description file as the sets write them: sections first, then the
// title line of each language with its paragraphs on every second line.
const char* kFiveLanguages = "[Panoramic]\n"
                             "PanDirection=LeftToRight\n"
                             "\n"
                             "English=Aqua\n"
                             "\n"
                             "A single drop meets still water.\n"
                             "\n"
                             "The picture is one of the backgrounds.\n"
                             "\n"
                             "\n"
                             "French=Aqua en fran\xc3\xa7"
                             "ais\n"
                             "\n"
                             "Une goutte tombe.\n"
                             "\n"
                             "\n"
                             "German=D\xc3\xbcne\n"
                             "\n"
                             "Der Wind.\n"
                             "Spanish=Duna\n"
                             "\n"
                             "El viento.\n"
                             "Japanese=\xe3\x81\x97\xe3\x81\x9a\xe3\x81\x8f\n"
                             "\n"
                             "\xe9\x9d\x99\xe3\x81\x8b\xe3\x80\x82\n";

class DescriptionTest : public ::testing::Test {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        dir.write("program/" + name, bytes);
        return dir.file("program/" + name);
    }
    std::string program() const { return dir.path() + "/program/"; }
    test::TempDir dir;
};

} // namespace

TEST_F(DescriptionTest, TitleAndParagraphsOfEachLanguage) {
    const std::string path = file("Set/aqua.nfo", kFiveLanguages);
    Description en = ReadDescription(path, "English", 1000, fixedWidth);
    ASSERT_TRUE(en.found);
    EXPECT_EQ(en.title, "Aqua");
    const std::vector<QString> enLines = {"Aqua", "", "A single drop meets still water.", "",
                                          "The picture is one of the backgrounds."};
    EXPECT_EQ(en.lines, enLines); // the blank line after the last paragraph ends it

    Description fr = ReadDescription(path, "French", 1000, fixedWidth);
    EXPECT_EQ(fr.title, q("Aqua en fran\xc3\xa7"
                          "ais"));
    EXPECT_EQ(fr.lines, (std::vector<QString>{fr.title, "", "Une goutte tombe."}));
    // German and Spanish: the next language's title line is taken as the
    // separator before a paragraph, and the empty line after it ends the text.
    EXPECT_EQ(ReadDescription(path, "German", 1000, fixedWidth).title, q("D\xc3\xbcne"));
    Description es = ReadDescription(path, "Spanish", 1000, fixedWidth);
    EXPECT_EQ(es.lines, (std::vector<QString>{"Duna", "", "El viento."}));
    Description ja = ReadDescription(path, "Japanese", 1000, fixedWidth);
    EXPECT_EQ(ja.title, q("\xe3\x81\x97\xe3\x81\x9a\xe3\x81\x8f"));
    EXPECT_EQ(ja.lines.back(), q("\xe9\x9d\x99\xe3\x81\x8b\xe3\x80\x82"));
}

TEST_F(DescriptionTest, NoTitleLineEmptyTitleOrNoFileGiveNoPanel) {
    const std::string none = file("Set/none.nfo", "[Panoramic]\nPanDirection=\n\nSome text\n");
    EXPECT_FALSE(ReadDescription(none, "English", 1000, fixedWidth).found);
    const std::string empty = file("Set/empty.nfo", "English=\n\nA paragraph.\n");
    EXPECT_FALSE(ReadDescription(empty, "English", 1000, fixedWidth).found);
    EXPECT_FALSE(ReadDescription(dir.file("missing.nfo"), "English", 1000, fixedWidth).found);
    EXPECT_FALSE(ReadDescription(dir.path(), "English", 1000, fixedWidth).found); // a folder
    EXPECT_EQ(GetTitle(none, "English"), "");
    EXPECT_EQ(GetTitle(dir.file("missing.nfo"), "English"), "");
}

TEST_F(DescriptionTest, WindowsLineEndsAndEncodings) {
    const std::string crlf =
        file("Set/crlf.nfo", "English=Dune\r\n\r\nWind draws ridges.\r\n\r\nSecond.\r\n\r\n\r\n");
    Description d = ReadDescription(crlf, "English", 1000, fixedWidth);
    EXPECT_EQ(d.lines, (std::vector<QString>{"Dune", "", "Wind draws ridges.", "", "Second."}));

    // Windows-1252 for the European languages, Shift-JIS for Japanese.
    const std::string cp1252 = file("Set/cp.nfo", "German=D\xfcne\n\nGr\xfc\xdf"
                                                  "e.\n");
    Description de = ReadDescription(cp1252, "German", 1000, fixedWidth);
    EXPECT_EQ(de.title, q("D\xc3\xbcne"));
    EXPECT_EQ(de.lines.back(), q("Gr\xc3\xbc\xc3\x9f"
                                 "e."));
    // "しずく" and "静か。" in Shift-JIS.
    const std::string sjis = file(
        "Set/sjis.nfo", "Japanese=\x82\xb5\x82\xb8\x82\xad\r\n\r\n\x90\xc3\x82\xa9\x81\x42\r\n");
    Description ja = ReadDescription(sjis, "Japanese", 1000, fixedWidth);
    EXPECT_EQ(ja.title, q("\xe3\x81\x97\xe3\x81\x9a\xe3\x81\x8f"));
    EXPECT_EQ(ja.lines.back(), q("\xe9\x9d\x99\xe3\x81\x8b\xe3\x80\x82"));
    EXPECT_EQ(GetTitle(sjis, "Japanese"), ja.title);
}

TEST_F(DescriptionTest, FileRedirectInsideTheSetOnly) {
    file("Set/dune.nfo", "[French]\nFile=dune-fr.txt\n\nEnglish=Dune\n");
    file("Set/dune-fr.txt", "French=La dune\n\nLe vent.\n");
    EXPECT_EQ(descriptionFileFor(program(), "Set/dune", "French"),
              std::filesystem::path(program() + "Set/dune-fr.txt").string());
    EXPECT_EQ(descriptionFileFor(program(), "Set/dune", "English"), program() + "Set/dune.nfo");
    const std::string fr = descriptionFileFor(program(), "Set/dune", "French");
    EXPECT_EQ(ReadDescription(fr, "French", 1000, fixedWidth).title, "La dune");

    // A name that leads out of the set, or a file that is not there: no panel.
    file("secret.txt", "French=secret\n");
    file("Set/out.nfo", "[French]\nFile=../secret.txt\n");
    EXPECT_EQ(descriptionFileFor(program(), "Set/out", "French"), "");
    file("Set/gone.nfo", "[French]\nFile=gone.txt\n");
    EXPECT_EQ(descriptionFileFor(program(), "Set/gone", "French"), "");
    EXPECT_EQ(descriptionFileFor(program(), "Set/nothing", "English"), "");
    // The play-list path's letter case need not match the disk's.
    EXPECT_EQ(descriptionFileFor(program(), "set/DUNE", "English"), program() + "Set/dune.nfo");
}

TEST(WrapText, LongEnglishParagraphBreaksAtWordsIntoAtMostTwentyLines) {
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QString("word%1 ").arg(i % 10) + (i % 7 == 0 ? "  " : "");
    const std::vector<QString> lines = WrapText(text, 200, fixedWidth, false);
    ASSERT_EQ(lines.size(), 20u);
    for (const QString& l : lines) {
        EXPECT_LT(fixedWidth(l), 200) << l.toStdString();
        EXPECT_FALSE(l.startsWith(' ') || l.endsWith(' ') || l.contains("  "));
    }
    // Up to "word" × 3 joined with spaces: 5 × 3 + 2 = 17 characters, 170 px.
    EXPECT_EQ(lines[0], "word0 word1 word2");
    // A short paragraph: one line; nothing at all for an empty one.
    EXPECT_EQ(WrapText("Short text.", 200, fixedWidth, false),
              (std::vector<QString>{"Short text."}));
    EXPECT_TRUE(WrapText("   ", 200, fixedWidth, false).empty());
    // A word wider than the line gets a line of its own.
    EXPECT_EQ(WrapText("a bbbbbbbbbbbbbbbbbbbbbbbbb c", 100, fixedWidth, false),
              (std::vector<QString>{"a", "bbbbbbbbbbbbbbbbbbbbbbbbb", "c"}));
}

TEST(WrapText, JapaneseBreaksAtCharactersAndKeepsTheFullStopOnItsLine) {
    // 5 characters fit below 55 px; the full stop is the sixth.
    const QString text =
        q("\xe3\x81\x82\xe3\x81\x84\xe3\x81\x86\xe3\x81\x88\xe3\x81\x8a\xe3\x80\x82"
          "\xe3\x81\x8b\xe3\x81\x8d\xe3\x81\x8f\xe3\x81\x91\xe3\x81\x93\xe3\x81\x95");
    const std::vector<QString> lines = WrapText(text, 55, fixedWidth, true);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              q("\xe3\x81\x82\xe3\x81\x84\xe3\x81\x86\xe3\x81\x88\xe3\x81\x8a\xe3\x80\x82"));
    EXPECT_EQ(lines[1], q("\xe3\x81\x8b\xe3\x81\x8d\xe3\x81\x8f\xe3\x81\x91\xe3\x81\x93"));
    EXPECT_EQ(lines[2], q("\xe3\x81\x95"));
    for (const QString& l : lines)
        EXPECT_FALSE(l.startsWith(q("\xe3\x80\x82")));
    // Spaces are characters too; at most 20 lines.
    EXPECT_EQ(WrapText(QString(500, QChar(0x3042)), 55, fixedWidth, true).size(), 20u);
    // Every character is kept: a zero-width no-break space (U+FEFF, which
    // looks like a byte-order mark) and one outside the BMP.
    const QString rare = q("a\xef\xbb\xbf"
                           "b\xf0\x9f\x8c\x8a"
                           "c");
    const std::vector<QString> kept = WrapText(rare, 1000, fixedWidth, true);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0], rare);
}

TEST_F(DescriptionTest, GetTitlePrefersTheTitleAlreadyRead) {
    const std::string path = file("Set/aqua.nfo", kFiveLanguages);
    EXPECT_EQ(GetTitle(path, "English"), "Aqua");
    EXPECT_EQ(GetTitle(path, "Spanish"), "Duna");
    EXPECT_EQ(GetTitle(path, "English", "From the redirect"), "From the redirect");
    EXPECT_EQ(GetTitle(file("Set/no.nfo", "[x]\ny=1\n"), "English"), "");
}

// A description file of many megabytes, or with a line of a megabyte, is read
// no further than the panel shows: no panel when the title lies beyond what is
// read, and a long paragraph is cut at the line budget.
TEST_F(DescriptionTest, HugeFilesAndLinesAreReadOnlyAsFarAsThePanelShows) {
    // 24 MB before the title, then a 1 MB paragraph and 2 000 more.
    std::string big(24 * 1024 * 1024, 'x');
    for (std::size_t i = 80; i < big.size(); i += 81)
        big[i] = '\n';
    big += "\nEnglish=Big\n\n";
    std::string para;
    while (para.size() < 1024 * 1024)
        para += "lorem ipsum dolor sit amet ";
    big += para + "\n";
    std::string more;
    for (int i = 0; i < 2000; ++i)
        more += "\nAnother paragraph of text.\n";
    EXPECT_FALSE(
        ReadDescription(file("Set/late.nfo", big + more), "English", 300, fixedWidth, 30).found);

    Description d = ReadDescription(file("Set/early.nfo", "English=Big\n\n" + para + "\n" + more),
                                    "English", 300, fixedWidth, 30);
    ASSERT_TRUE(d.found);
    EXPECT_EQ(d.lines[2], "lorem ipsum dolor sit amet");
    // The first paragraph alone gives its 20 lines; the budget cuts the rest.
    EXPECT_EQ(d.lines.size(), 30u);
}
