#include "imagesets/ImageSets.h"
#include "imagesets/SetFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace skyloom::imagesets;
using skyloom::test::TempDir;
using Names = std::vector<std::string>;

namespace {

std::shared_ptr<SetInfoClass> makeSet(const std::string& name) {
    auto s = std::make_shared<SetInfoClass>();
    s->SetName(name);
    s->SetDirectory(name + "/");
    return s;
}

} // namespace

TEST(KeyedCollection, OrderedOneBasedAndCaseInsensitive) {
    KeyedCollection<ImageInfoClass> c;
    EXPECT_TRUE(c.Add("One", std::make_shared<ImageInfoClass>("One", "1")));
    EXPECT_TRUE(c.Add("Été", std::make_shared<ImageInfoClass>("Été", "2")));
    EXPECT_TRUE(c.Add("Three", std::make_shared<ImageInfoClass>("Three", "3")));
    EXPECT_FALSE(c.Add("ONE", std::make_shared<ImageInfoClass>("ONE", "x"))); // key taken
    EXPECT_FALSE(c.Add("éTÉ", std::make_shared<ImageInfoClass>("éTÉ", "x")));
    EXPECT_FALSE(c.Add("Four", nullptr));
    ASSERT_EQ(c.count(), 3);
    EXPECT_EQ(c.Item(1)->FileName(), "1");
    EXPECT_EQ(c.Item(3)->FileName(), "3");
    EXPECT_EQ(c.Item(0), nullptr);
    EXPECT_EQ(c.Item(4), nullptr);
    EXPECT_EQ(c.Find("three")->FileName(), "3");

    EXPECT_TRUE(c.Remove("ÉTÉ"));
    EXPECT_FALSE(c.Remove("été"));
    EXPECT_EQ(c.Item(2)->FileName(), "3"); // order of the rest kept
    EXPECT_EQ(c.Find("THREE")->FileName(), "3");
    EXPECT_TRUE(c.Add("Été", std::make_shared<ImageInfoClass>("Été", "2")));
    EXPECT_EQ(c.Item(3)->FileName(), "2");
}

TEST(SetInfoClass, MovingPicturesAppendsToTheOtherList) {
    SetInfoClass s;
    s.IncludeImage("P1", "p1");
    s.IncludeImage("P2", "p2");
    s.IncludeImage("P3", "p3");
    s.ExcludeImage("p1", "p1");
    Names inc, exc;
    s.GetIncludedImages(inc);
    s.GetExcludedImages(exc);
    EXPECT_EQ(inc, (Names{"P2", "P3"}));
    EXPECT_EQ(exc, (Names{"p1"}));
    s.IncludeImage("P1", "p1");
    s.GetIncludedImages(inc);
    s.GetExcludedImages(exc);
    EXPECT_EQ(inc, (Names{"P2", "P3", "P1"}));
    EXPECT_TRUE(exc.empty());
    EXPECT_EQ(s.IncludedCount(), 3);
    EXPECT_EQ(s.ExcludedCount(), 0);
    EXPECT_EQ(s.IncludedImage(3)->ImageName(), "P1");
    EXPECT_EQ(s.ExcludedImage(1), nullptr);

    // Including a picture that is already included changes nothing.
    EXPECT_FALSE(s.IncludeImage("p2", "other"));
    EXPECT_EQ(s.FindImage("P2")->FileName(), "p2");
    s.ExcludeImage("P2", "p2");
    EXPECT_EQ(s.FindImage("p2")->FileName(), "p2"); // found among the excluded
    EXPECT_EQ(s.FindImage("P9"), nullptr);
}

TEST(SetsClass, MovesFindsAndListsSets) {
    SetsClass sets;
    auto a = makeSet("Alpha"), b = makeSet("Beta"), c = makeSet("Gamma");
    for (const auto& s : {a, b, c})
        sets.IncludeSet(s);
    EXPECT_TRUE(sets.ExcludeSet(b));
    EXPECT_FALSE(sets.ExcludeSet(b));  // already excluded
    EXPECT_EQ(sets.GetSet("BETA"), b); // found among the excluded, any letter case
    EXPECT_EQ(sets.GetSet("Delta"), nullptr);

    Names names{"stale"};
    EXPECT_EQ(sets.GetIncludedSetNames(names), 2);
    EXPECT_EQ(names, (Names{"Alpha", "Gamma"}));
    sets.IncludeSet(b);
    EXPECT_EQ(sets.GetIncludedSetNames(names), 3);
    EXPECT_EQ(names, (Names{"Alpha", "Gamma", "Beta"}));
    // An empty collection reports 0 and leaves the array as it was.
    EXPECT_EQ(sets.GetExcludedSetNames(names), 0);
    EXPECT_EQ(names.size(), 3u);
    // The same objects are shared: a change through one reference is seen
    // through the collection.
    b->m_ShowTitlePage = false;
    EXPECT_FALSE(sets.IncludedCollection().Find("beta")->m_ShowTitlePage);
}

TEST(SetText, Utf8IsKeptAndAnythingElseIsWindows1252) {
    EXPECT_EQ(fromIniText("plain"), "plain");
    EXPECT_EQ(fromIniText("Café"), "Café");
    EXPECT_EQ(fromIniText("Caf\xE9"), "Café");
    EXPECT_EQ(fromIniText("\x80 \x9F \xA0"), "€ Ÿ \u00A0");
    EXPECT_EQ(fromIniText("\xC3"), "Ã");                // truncated sequence
    EXPECT_EQ(fromIniText("\xC0\xAF"), "À¯");           // overlong "/" is not UTF-8
    EXPECT_EQ(fromIniText("\xED\xA0\x80"), "í\u00A0€"); // surrogate half
    EXPECT_EQ(foldKey("Caf\xC9"), foldKey("café"));
    EXPECT_EQ(foldKey("STRASSE"), foldKey("strasse"));
    EXPECT_NE(foldKey("a"), foldKey("b"));
}

TEST(SetText, NamesAndPathsThatAreRefused) {
    for (const char* ok : {"Pic01", "Sunset at sea", "a;b", "Café"})
        EXPECT_TRUE(isUsableName(ok)) << ok;
    for (const char* bad : {"", "   ", "a=b", "[x", "x]", ";x", " ;x", "a\nb"})
        EXPECT_FALSE(isUsableName(bad)) << bad;
    EXPECT_FALSE(isUsableSetName("setdescriptions"));
    EXPECT_TRUE(isUsableSetName("Set Descriptions"));

    for (const char* ok : {"pic", "Sub\\Pic01", "a/b/c.jpg", "Nature/", "./x", "..x", "a..b"})
        EXPECT_TRUE(isSafeRelativePath(ok)) << ok;
    for (const char* bad : {"", "/etc/passwd", "\\share\\x", "C:\\x", "c:x", "..", "../x",
                            "a/../../x", "a\\..\\b", ".", "./", "//"})
        EXPECT_FALSE(isSafeRelativePath(bad)) << bad;
    EXPECT_EQ(pathComponents("A\\b//./c/"), (Names{"A", "b", "c"}));
}

TEST(SetText, ResolverMatchesLetterCaseOnlyWhenTheExactNameIsMissing) {
    TempDir dir;
    dir.write("Set/Sub/Pic01.BMP", "");
    dir.write("Set/sub/pic01.bmp", "");
    dir.write("Set/Other/x.jpg", "");
    dir.write("Set/Caf\xE9.jpg", "");
    PathResolver r;
    const std::string base = dir.path() + "/";
    EXPECT_EQ(r.resolve(base, "Set\\Sub\\Pic01.BMP"), base + "Set/Sub/Pic01.BMP");
    EXPECT_EQ(r.resolve(base, "Set/sub/pic01.bmp"), base + "Set/sub/pic01.bmp");
    EXPECT_EQ(r.resolve(base, "SET/OTHER/X.JPG"), base + "Set/Other/x.jpg");
    EXPECT_EQ(r.resolve(base, "set/café.JPG"), base + "Set/Caf\xE9.jpg");
    EXPECT_EQ(r.resolve(base, "Set/Other/"), base + "Set/Other");
    EXPECT_EQ(r.resolve(base, "Set/missing.jpg"), std::nullopt);
    EXPECT_EQ(r.resolve(base, "Set/../Set/Other/x.jpg"), std::nullopt);
    EXPECT_EQ(r.resolve(base, dir.path() + "/Set/Other/x.jpg"), std::nullopt);
}

TEST(FindFiles, SubfoldersFirstInNameOrderWithoutCase) {
    TempDir dir;
    for (const char* f : {"images.ini", "b/images.ini", "a/Images.INI", "a/z/images.ini",
                          "C/images.ini", "a/other.ini", "d/nothing.txt"})
        dir.write(f, "");
    FindFiles ff;
    ff.StartPath(dir.path() + "/");
    ff.Pattern("images.ini");
    Names paths{"old"};
    ASSERT_TRUE(ff.Find(paths));
    const std::string p = dir.path() + "/";
    EXPECT_EQ(paths, (Names{p + "a/z/images.ini", p + "a/Images.INI", p + "b/images.ini",
                            p + "C/images.ini", p + "images.ini"}));

    ff.Pattern("*.txt");
    ASSERT_TRUE(ff.Find(paths));
    EXPECT_EQ(paths, (Names{p + "d/nothing.txt"}));

    ff.Pattern("missing.ini");
    EXPECT_FALSE(ff.Find(paths));
    EXPECT_EQ(paths, (Names{p + "d/nothing.txt"})); // left as it was
    ff.StartPath(p + "absent/");
    EXPECT_FALSE(ff.Find(paths));
}

TEST(FindFiles, LinkLoopsEndAndDepthIsBounded) {
    TempDir dir;
    dir.write("sets/a/images.ini", "");
    std::filesystem::create_directory_symlink(dir.path() + "/sets", dir.path() + "/sets/a/loop");
    std::filesystem::create_directory_symlink(dir.path() + "/sets/a", dir.path() + "/sets/again");
    std::filesystem::create_symlink(dir.path() + "/nowhere", dir.path() + "/sets/dangling");
    std::string deep = "sets/deep";
    for (int i = 0; i < FindFiles::kMaxDepth + 5; ++i)
        deep += "/d";
    dir.write(deep + "/images.ini", "");

    FindFiles ff;
    ff.StartPath(dir.path() + "/sets/");
    ff.Pattern("images.ini");
    Names paths;
    ASSERT_TRUE(ff.Find(paths));
    // The set is found once, through its first name; the one too deep is not.
    EXPECT_EQ(paths, (Names{dir.path() + "/sets/a/images.ini"}));
}
