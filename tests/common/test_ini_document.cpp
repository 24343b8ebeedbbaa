#include "common/IniDocument.h"

#include <gtest/gtest.h>

using skyloom::IniDocument;

TEST(IniDocument, NamesMatchWithoutRegardToCaseAndFirstWins) {
    auto doc = IniDocument::parse("[PrefsSS]\nrandom=0\nRandom=1\n[prefsss]\nx=9\n");
    EXPECT_EQ(doc.value("PREFSSS", "Random"), "0");
    EXPECT_EQ(doc.value("prefsss", "x"), std::nullopt); // second section of the same name is hidden
    EXPECT_EQ(doc.value("Missing", "x"), std::nullopt);
}

TEST(IniDocument, ValuesAreTrimmedAndLoseOnePairOfQuotes) {
    auto doc = IniDocument::parse("[a]\n  k  =  some text \t\nq=\"quoted \"\nh='x'\nmix=\"x'\n");
    EXPECT_EQ(doc.value("a", "k"), "some text");
    EXPECT_EQ(doc.value("a", "q"), "quoted ");
    EXPECT_EQ(doc.value("a", "h"), "x");
    EXPECT_EQ(doc.value("a", "mix"), "\"x'");
}

TEST(IniDocument, RewriteKeepsEverythingElseByteForByte) {
    const std::string text = "; comment\r\n[One]\r\nA=1\r\ngarbage line\r\n\r\n[Two]\r\nB=2";
    auto doc = IniDocument::parse(text);
    EXPECT_EQ(doc.serialize(), text);
    doc.set("one", "a", "10");
    EXPECT_EQ(doc.serialize(), "; comment\r\n[One]\r\nA=10\r\ngarbage line\r\n\r\n[Two]\r\nB=2");
}

TEST(IniDocument, NewKeysGoToTheEndOfTheirSectionBeforeBlankLines) {
    auto doc = IniDocument::parse("[One]\nA=1\n\n[Two]\nB=2");
    doc.set("One", "C", "3");
    doc.set("Two", "D", "4");
    EXPECT_EQ(doc.serialize(), "[One]\nA=1\nC=3\n\n[Two]\nB=2\nD=4\n");
    EXPECT_EQ(doc.keys("one"), (std::vector<std::string>{"A", "C"}));
}

// Keys added one after another stay findable, each where it was put, and a
// later rewrite of an added key changes that line only (the index of added
// keys is kept up to date without being rebuilt).
TEST(IniDocument, AddedKeysAreFoundAndRewrittenInPlace) {
    auto doc = IniDocument::parse("[One]\nA=1\n\n\n[Two]\nB=2\n");
    for (int i = 0; i < 300; ++i)
        doc.set("One", "K" + std::to_string(i), std::to_string(i));
    doc.set("one", "k7", "seven");
    doc.set("One", "A", "first");
    EXPECT_EQ(doc.value("One", "K299"), "299");
    EXPECT_EQ(doc.value("One", "K7"), "seven");
    EXPECT_EQ(doc.value("One", "a"), "first");
    EXPECT_EQ(doc.value("Two", "B"), "2");
    EXPECT_EQ(doc.keys("One").size(), 301u);
    const std::string text = doc.serialize();
    EXPECT_NE(text.find("K6=6\nK7=seven\nK8=8\n"), std::string::npos);
    EXPECT_NE(text.find("K299=299\n\n\n[Two]\nB=2\n"), std::string::npos);
    // The same after reading the result back.
    EXPECT_EQ(IniDocument::parse(text).serialize(), text);
}

TEST(IniDocument, NewSectionsAreAppendedInTheFilesLineEnding) {
    auto doc = IniDocument::parse("[One]\r\nA=1\r\n");
    doc.set("Two", "B", "2");
    EXPECT_EQ(doc.serialize(), "[One]\r\nA=1\r\n\r\n[Two]\r\nB=2\r\n");
    IniDocument empty;
    empty.set("S", "k", "");
    EXPECT_EQ(empty.serialize(), "[S]\nk=\n");
    EXPECT_EQ(empty.value("s", "K"), "");
}

TEST(IniDocument, RemovesExactlyTheNamedSectionAndKey) {
    auto doc = IniDocument::parse("[SetDescriptions]\nSea=sea\nSeashore=shore\n"
                                  "[Sea]\nx=1\n[Seashore]\ny=2\n");
    EXPECT_TRUE(doc.removeSection("sea"));
    EXPECT_TRUE(doc.removeKey("SetDescriptions", "SEA"));
    EXPECT_FALSE(doc.removeKey("SetDescriptions", "Sea"));
    EXPECT_EQ(doc.serialize(), "[SetDescriptions]\nSeashore=shore\n[Seashore]\ny=2\n");
}

TEST(IniDocument, SurvivesGarbageLongLinesAndNoTrailingNewline) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 37) & 0xff));
    std::string longLine(100 * 1024, 'x');
    std::string text = "[A]\nk=v\n" + garbage + "\n[B]\nlong=" + longLine + "\n[C]\nz=1";
    auto doc = IniDocument::parse(text);
    EXPECT_EQ(doc.serialize(), text);
    EXPECT_EQ(doc.value("B", "long")->size(), longLine.size());
    doc.set("C", "new", "2");
    EXPECT_EQ(doc.value("A", "k"), "v");
    EXPECT_EQ(doc.value("C", "z"), "1");
    EXPECT_EQ(doc.serialize(), text + "\nnew=2\n");
}

TEST(IniDocument, ByteOrderMarkDoesNotHideTheFirstSection) {
    const std::string text = "\xEF\xBB\xBF[TitlePage]\r\nfile=title.jpg\r\n";
    auto doc = IniDocument::parse(text);
    EXPECT_EQ(doc.value("TitlePage", "file"), "title.jpg");
    doc.set("TitlePage", "time", "20");
    EXPECT_EQ(doc.serialize(), text + "time=20\r\n");
}
