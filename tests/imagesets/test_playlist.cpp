#include "SetFolders.h"

#include "imagesets/PlayList.h"
#include "imagesets/SetLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyloom::imagesets;
using skyloom::test::SetFolders;
using Names = std::vector<std::string>;

namespace {

class PlayList : public SetFolders {
protected:
    PlayListSource source() const { return PlayListSource{program, program + "Skyloom.ini", 45}; }
    static Names entries(const clsImageList& list) {
        Names n;
        for (int i = 1; i <= list.count(); ++i)
            n.push_back(list.Item(i));
        return n;
    }
    static std::string e(const std::string& path, const std::string& label) {
        return makePlayListEntry(path, label);
    }
    void registerSets() {
        SetLibrary lib;
        ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    }
};

} // namespace

TEST(ImageList, PositionsEntriesAndNulLists) {
    clsImageList list;
    list.Add("b");
    list.Add("a", 1);
    list.Add("z", 99); // beyond the end: appended
    list.Remove(9);
    EXPECT_EQ(list.Item(1) + list.Item(2) + list.Item(3) + list.Item(4), "abz");
    list.Remove(2);
    EXPECT_EQ(list.Item(2), "z");

    std::string entry = makePlayListEntry("Nature/pic01", "Sunset = red");
    EXPECT_EQ(entryPath(entry), "Nature/pic01");
    EXPECT_EQ(entryLabel(entry), "Sunset = red");
    EXPECT_TRUE(isTitleEntry(makePlayListEntry("Nature/title.jpg", "NULL")));

    std::string names("A\0B b\0", 6);
    Names split;
    SplitNulList(names, split);
    EXPECT_EQ(split, (Names{"A", "B b", ""}));
    EXPECT_TRUE(names.empty());
}

TEST_F(PlayList, OneSetStartsWithItsTitlePageAndLeavesExcludedPicturesOut) {
    makeSet("Nature", "Nature", {{"First", "pic01"}, {"Second", "*pic02"}, {"Third", "sub\\pic03"}},
            "[TitlePage]\nfile=Title.JPG\ntime=12\n");
    makeSet("City", "City", {{"Night", "night"}});
    registerSets();

    clsImageList list;
    TitlePage title = BuildSetPlayList(list, source(), "nature");
    EXPECT_EQ(entries(list), (Names{e("Nature/Title.JPG", "NULL"), e("Nature/pic01", "First"),
                                    e("Nature/sub\\pic03", "Third")}));
    EXPECT_EQ(title.file, "Title.JPG");
    EXPECT_EQ(title.time, 12);

    // Switched off ("*" first): no title entry, the time between pictures.
    write("Nature/company.ini", "[TitlePage]\nfile=*Title.JPG\ntime=12\n");
    list.Clear();
    title = BuildSetPlayList(list, source(), "Nature");
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(title.file, "");
    EXPECT_EQ(title.time, 45);

    // A title page leading outside the set is ignored.
    write("Nature/company.ini", "[TitlePage]\nfile=../../escape.jpg\n");
    list.Clear();
    title = BuildSetPlayList(list, source(), "Nature");
    EXPECT_EQ(list.Item(1), e("Nature/pic01", "First"));
    EXPECT_EQ(title.time, 45);
}

TEST_F(PlayList, AllSetsFollowTheRegistryAndSkipExcludedSets) {
    makeSet("B", "Beta", {{"B1", "b1"}, {"B2", "*b2"}});
    makeSet("A", "Alpha", {{"A1", "a1"}}, "[TitlePage]\nfile=title.jpg\n");
    makeSet("C", "Gamma", {{"C1", "c1"}});
    // Registry order, not folder order; an excluded set gives nothing even
    // though its own pictures are not marked.
    write("Skyloom.ini", "[SetDescriptions]\nGamma=C/\nBeta=B/\nAlpha=*A/\nUp=../\n\n"
                         "[Gamma]\nC1=c1\n[Beta]\nB1=b1\nB2=*b2\nBad=/etc/passwd\n"
                         "[Alpha]\nA1=a1\n[Up]\nX=x\n");
    clsImageList list;
    TitlePage title = BuildAllSetsPlayList(list, source());
    EXPECT_EQ(entries(list), (Names{e("C/c1", "C1"), e("B/b1", "B1")}));
    EXPECT_EQ(title.file, "");
    EXPECT_EQ(title.time, 45);

    // An excluded or unknown current set has no list of its own.
    list.Clear();
    BuildSetPlayList(list, source(), "Alpha");
    EXPECT_EQ(list.count(), 0);
    BuildSetPlayList(list, source(), "Nowhere");
    EXPECT_EQ(list.count(), 0);
}

TEST_F(PlayList, TheSaverFallsBackToAllSetsWhenItsSetGivesNothing) {
    makeSet("A", "Alpha", {{"A1", "a1"}, {"A2", "a2"}});
    makeSet("B", "Beta", {{"B1", "*b1"}});
    registerSets();
    clsImageList list;
    list.Add("left over");

    PlayListChoice c = ChoosePlayList(list, source(), false, "Alpha");
    EXPECT_FALSE(c.fromAllSets);
    EXPECT_EQ(entries(list), (Names{e("A/a1", "A1"), e("A/a2", "A2")}));

    c = ChoosePlayList(list, source(), false, "Beta"); // all its pictures excluded
    EXPECT_TRUE(c.fromAllSets);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(c.title.time, 45);

    write("ScreenSaver.ini", "[PrefsSS]\nrandom=0\nCurrentSet=alpha\n");
    c = LoadPlayList(list, source(), program + "ScreenSaver.ini");
    EXPECT_FALSE(c.fromAllSets);
    write("ScreenSaver.ini", "[PrefsSS]\nCurrentSet=Alpha\n"); // Random defaults to 1
    c = LoadPlayList(list, source(), program + "ScreenSaver.ini");
    EXPECT_TRUE(c.fromAllSets);
    EXPECT_EQ(list.count(), 2);
}

TEST_F(PlayList, PicturesAreFoundLikeTheSetFiles) {
    write("Nature/Sub/Pic01.JPG", "");
    write("Nature/title.bmp", "");
    EXPECT_EQ(resolvePicture(program, "nature\\sub\\pic01"), program + "Nature/Sub/Pic01.JPG");
    EXPECT_EQ(resolvePicture(program, "Nature/title.bmp"), program + "Nature/title.bmp");
    EXPECT_EQ(resolvePicture(program, "Nature/missing"), std::nullopt);
    EXPECT_EQ(resolvePicture(program, "Nature/../Nature/title.bmp"), std::nullopt);
}
