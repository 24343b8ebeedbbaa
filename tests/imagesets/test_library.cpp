#include "SetFolders.h"

#include "common/ProfileFile.h"
#include "imagesets/SetLibrary.h"
#include "imagesets/Startup.h"
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace skyloom::imagesets;
using skyloom::test::Pictures;
using skyloom::test::SetFolders;
namespace profile = skyloom::profile;

namespace {

using Library = SetFolders;
using Names = std::vector<std::string>;

Names included(const SetInfoClass& s) {
    Names n;
    s.GetIncludedImages(n);
    return n;
}
Names excluded(const SetInfoClass& s) {
    Names n;
    s.GetExcludedImages(n);
    return n;
}
Names setNames(const SetCollection& c) {
    Names n;
    for (const auto& e : c)
        n.push_back(e.item->SetName());
    return n;
}

} // namespace

TEST_F(Library, RegistersNewSetsWithAllPicturesAndMarks) {
    makeSet("Nature", "Nature", {{"Pic01", "pic01"}, {"Pic02", "*pic02"}, {"Pic03", "  pic03  "}});
    makeSet("City", "City Lights", {{"Night", "night"}});
    write("Nature/images.ini", read("Nature/images.ini") + "Ghost=ghost\n"); // no bitmap
    write("images.ini", "[SetDescriptions]\nRoot=x\n\n[Root]\nA=a\n");       // not a set

    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), "[SetDescriptions]\n"
                          "City Lights=City/\n"
                          "Nature=Nature/\n"
                          "\n[City Lights]\n"
                          "Night=night\n"
                          "\n[Nature]\n"
                          "Pic01=pic01\n"
                          "Pic02=*pic02\n"
                          "Pic03=pic03\n"
                          "Ghost=ghost\n");

    EXPECT_EQ(setNames(lib.Sets().IncludedCollection()), (Names{"City Lights", "Nature"}));
    auto nature = lib.Sets().GetSet("NATURE");
    ASSERT_TRUE(nature);
    EXPECT_EQ(nature->SetDirectory(), "Nature/");
    EXPECT_EQ(included(*nature), (Names{"Pic01", "Pic03"})); // Ghost has no preview
    EXPECT_EQ(excluded(*nature), (Names{"Pic02"}));
    EXPECT_EQ(nature->FindImage("pic02")->FileName(), "pic02");
    EXPECT_FALSE(nature->m_HasTitlePage);
    EXPECT_TRUE(nature->m_TitlePageUserControl);
    EXPECT_EQ(lib.RegistryPath(), program + "Skyloom.ini");
    EXPECT_EQ(lib.SettingsPath(), program + "ScreenSaver.ini");

    // A second start finds nothing new and leaves the file alone.
    std::string before = registry();
    SetLibrary again;
    ASSERT_EQ(again.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), before);
    EXPECT_EQ(again.Sets().GetSet("Nature")->IncludedCount(), 2);
}

TEST_F(Library, VanishedSetLeavesTheRegistryAndReturnsWithItsOwnMarks) {
    makeSet("Nature", "Nature", {{"Pic01", "pic01"}, {"Pic02", "*pic02"}});
    makeSet("City", "City", {{"Night", "night"}});
    {
        SetLibrary lib;
        lib.InitSetsInfo(program);
        auto nature = lib.Sets().GetSet("Nature");
        nature->ExcludeImage("Pic01", "pic01");
        nature->IncludeImage("Pic02", "pic02");
        lib.Sets().ExcludeSet(nature);
        ASSERT_TRUE(lib.SaveSetsInfo());
    }
    EXPECT_NE(registry().find("Nature=*Nature/"), std::string::npos);

    std::string images = read("Nature/images.ini");
    removeFolder("Nature");
    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), "[SetDescriptions]\nCity=City/\n\n[City]\nNight=night\n\n");
    EXPECT_FALSE(lib.Sets().GetSet("Nature"));

    makeSet("Nature", "Nature", {{"Pic01", "pic01"}, {"Pic02", "*pic02"}});
    SetLibrary back;
    ASSERT_EQ(back.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    auto nature = back.Sets().GetSet("Nature");
    ASSERT_TRUE(nature);
    EXPECT_TRUE(back.Sets().IncludedCollection().Contains("Nature"));
    EXPECT_EQ(included(*nature), (Names{"Pic01"})); // marks of images.ini, not the old ones
    EXPECT_EQ(excluded(*nature), (Names{"Pic02"}));
}

TEST_F(Library, SavingKeepsKeyOrderAndWritesMarksAndTitlePage) {
    makeSet("A", "Alpha", {{"One", "one"}, {"Two", "two"}, {"Three", "three"}},
            "[TitlePage]\r\nfile=title.jpg\r\ntime=9\r\n");
    makeSet("B", "Beta", {{"X", "x"}});
    makeSet("C", "Gamma", {{"Y", "y"}});
    SetLibrary lib;
    lib.InitSetsInfo(program);
    auto alpha = lib.Sets().GetSet("Alpha");
    ASSERT_TRUE(alpha->m_HasTitlePage);
    EXPECT_TRUE(alpha->m_ShowTitlePage);

    // Exclude and include again: the in-memory order changes, the file's not.
    alpha->ExcludeImage("One", "one");
    alpha->IncludeImage("One", "one");
    EXPECT_EQ(included(*alpha), (Names{"Two", "Three", "One"}));
    alpha->ExcludeImage("Two", "two");
    lib.Sets().ExcludeSet(lib.Sets().GetSet("Beta"));
    lib.Sets().ExcludeSet(lib.Sets().GetSet("Alpha"));
    lib.Sets().IncludeSet(lib.Sets().GetSet("Alpha"));
    alpha->m_ShowTitlePage = false;
    ASSERT_TRUE(lib.SaveSetsInfo());

    EXPECT_EQ(registry(), "[SetDescriptions]\nAlpha=A/\nBeta=*B/\nGamma=C/\n"
                          "\n[Alpha]\nOne=one\nTwo=*two\nThree=three\n"
                          "\n[Beta]\nX=x\n\n[Gamma]\nY=y\n");
    // Only the mark changes in the author's file; its CR LF lines stay.
    EXPECT_EQ(read("A/company.ini"), "[TitlePage]\r\nfile=*title.jpg\r\ntime=9\r\n");

    SetLibrary reread;
    reread.InitSetsInfo(program);
    EXPECT_EQ(setNames(reread.Sets().ExcludedCollection()), (Names{"Beta"}));
    auto again = reread.Sets().GetSet("Alpha");
    EXPECT_TRUE(again->m_HasTitlePage);
    EXPECT_FALSE(again->m_ShowTitlePage);
    EXPECT_EQ(excluded(*again), (Names{"Two"}));
    // The excluded set keeps its pictures' own marks.
    EXPECT_EQ(included(*reread.Sets().GetSet("Beta")), (Names{"X"}));

    again->m_ShowTitlePage = true;
    ASSERT_TRUE(reread.SaveSetImages(*again));
    EXPECT_EQ(read("A/company.ini"), "[TitlePage]\r\nfile=title.jpg\r\ntime=9\r\n");
}

TEST_F(Library, RegisteringTwiceOrFromTwoFoldersAddsNoKeys) {
    makeSet("First", "Same", {{"A", "a"}});
    makeSet("Second", "same", {{"B", "b"}});
    SetLibrary lib;
    lib.InitSetsInfo(program);
    EXPECT_EQ(registry(), "[SetDescriptions]\nSame=First/\n\n[Same]\nA=a\n");
    EXPECT_FALSE(RegisterImageSet(program, "First/"));
    EXPECT_FALSE(RegisterImageSet(program, "Second/"));
    EXPECT_EQ(registry(), "[SetDescriptions]\nSame=First/\n\n[Same]\nA=a\n");

    // An entry with an empty directory is taken over.
    write("Skyloom.ini", "[SetDescriptions]\nSame=\n");
    profile::clearCache();
    EXPECT_TRUE(RegisterImageSet(program, "Second/"));
    EXPECT_FALSE(RegisterImageSet(program, "Second/"));
    EXPECT_EQ(registry(), "[SetDescriptions]\nSame=Second/\n\n[same]\nB=b\n");
}

TEST_F(Library, BrokenDescriptorsAreRejectedAndOtherSetsStillRegister) {
    makeSet("Good", "Good", {{"Pic", "pic"}});
    write("NoKey/images.ini", "[SetDescriptions]\n\n[Whatever]\nA=a\n");
    write("NoEquals/images.ini", "[SetDescriptions]\nBad=x\n[Bad]\nA=a\njust text\n");
    write("Nested/images.ini", "[SetDescriptions]\nTwo=x\n[Two]\nA=a\n[More]\nB=b\n");
    write("Reserved/images.ini", "[SetDescriptions]\nSetDescriptions=x\n[SetDescriptions]\n");
    write("Bracket/images.ini", "[SetDescriptions]\nBr]ck=x\n");
    write("Lines/images.ini", "[SetDescriptions]\nLines=x\n\n[Lines]\n"
                              "Ok=ok\n"
                              "=nameless\n"
                              "Sq[uare=sq\n"
                              "; a comment\n"
                              "Up=../../outside\n"
                              "Abs=/etc/passwd\n"
                              "Win=*C:\\Windows\\win\n"
                              "Empty=\n");
    write("Lines/ok.bmp", "");

    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), "[SetDescriptions]\nGood=Good/\nLines=Lines/\n"
                          "\n[Good]\nPic=pic\n\n[Lines]\nOk=ok\n");
    EXPECT_EQ(setNames(lib.Sets().IncludedCollection()), (Names{"Good", "Lines"}));
}

TEST_F(Library, SetsAuthoredOnWindowsWork) {
    // CR LF lines, a byte-order mark, Windows-1252 names, "\" separators and
    // names that differ from the disk in letter case; a set two folders deep.
    write("Group/Inner/images.ini", "\xEF\xBB\xBF[SetDescriptions]\r\nCaf\xE9=x\r\n\r\n"
                                    "[caf\xC9]\r\n"
                                    "Cr\xE8me=Sub\\Pic01\r\n"
                                    "Plain=*PLAIN\r\n");
    write("Group/Inner/sub/pic01.BMP", "");
    write("Group/Inner/plain.bmp", "");
    write("Group/Inner/Company.INI", "[TitlePage]\r\nfile=title.jpg\r\nuserControl=0\r\n");

    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), "[SetDescriptions]\nCafé=Group/Inner/\n\n[Café]\nCrème=Sub\\Pic01\n"
                          "Plain=*PLAIN\n");
    auto set = lib.Sets().GetSet("CAFÉ");
    ASSERT_TRUE(set);
    EXPECT_EQ(included(*set), (Names{"Crème"}));
    EXPECT_EQ(excluded(*set), (Names{"Plain"}));
    EXPECT_TRUE(set->m_HasTitlePage);
    EXPECT_FALSE(set->m_TitlePageUserControl);

    // A registry copied from Windows: Windows-1252 keys and "\" directories.
    // Saving rewrites those keys in place instead of adding UTF-8 twins.
    write("Skyloom.ini", "[SetDescriptions]\r\nCaf\xE9=Group\\Inner\\\r\n\r\n"
                         "[Caf\xE9]\r\nCr\xE8me=*Sub\\Pic01\r\nPlain=PLAIN\r\n");
    profile::clearCache();
    SetLibrary old;
    ASSERT_EQ(old.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    set = old.Sets().GetSet("Café");
    ASSERT_TRUE(set);
    EXPECT_EQ(set->SetDirectory(), "Group\\Inner\\");
    EXPECT_EQ(included(*set), (Names{"Plain"}));
    EXPECT_EQ(excluded(*set), (Names{"Crème"}));
    set->IncludeImage("Crème", "Sub\\Pic01");
    ASSERT_TRUE(old.SaveSetsInfo());
    EXPECT_EQ(registry(), "[SetDescriptions]\r\nCaf\xE9=Group\\Inner\\\r\n\r\n"
                          "[Caf\xE9]\r\nCr\xE8me=Sub\\Pic01\r\nPlain=PLAIN\r\n");
}

TEST_F(Library, RegistryEntriesKeepTheirMarksWhenTheSetMovesOrChangesCase) {
    makeSet("Old", "Nature", {{"Pic01", "pic01"}, {"Pic02", "pic02"}});
    {
        SetLibrary lib;
        lib.InitSetsInfo(program);
        lib.Sets().GetSet("Nature")->ExcludeImage("Pic02", "pic02");
        lib.Sets().ExcludeSet(lib.Sets().GetSet("Nature"));
        lib.SaveSetsInfo();
    }
    std::filesystem::rename(program + "Old", program + "New");
    write("New/images.ini", "[SetDescriptions]\nNATURE=x\n[NATURE]\nPic01=pic01\nPic02=pic02\n");
    SetLibrary lib;
    lib.InitSetsInfo(program);
    EXPECT_EQ(registry(),
              "[SetDescriptions]\nNature=*New/\n\n[Nature]\nPic01=pic01\nPic02=*pic02\n");
    EXPECT_EQ(excluded(*lib.Sets().GetSet("Nature")), (Names{"Pic02"}));
}

TEST_F(Library, RegistryValuesLeadingOutsideTheProgramDirectoryAreNotFollowed) {
    makeSet("Nature", "Nature", {{"Pic01", "pic01"}});
    write("../outside/secret.bmp", "");
    write("../outside/company.ini", "[TitlePage]\nfile=title.jpg\n");
    write("Skyloom.ini", "[SetDescriptions]\nNature=Nature/\nEvil=../outside/\n\n"
                         "[Nature]\nPic01=pic01\nUp=../../outside/secret\n\n[Evil]\nS=secret\n");
    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(included(*lib.Sets().GetSet("Nature")), (Names{"Pic01"}));
    // "Evil" has no set on disk, so it is dropped like any vanished set.
    EXPECT_FALSE(lib.Sets().GetSet("Evil"));
    EXPECT_EQ(registry().find("Evil"), std::string::npos);
}

TEST_F(Library, StartUpReportsAMissingLibraryAndEndsThere) {
    ASSERT_TRUE(
        skyloom::platform::writeRegistryValue(skyloom::platform::kProgramPathKey, "", program));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(RefreshImageSets());
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "ERROR: Unable to find image sets. PATH = " + program),
              std::string::npos);

    write("images.ini", "[SetDescriptions]\nRoot=x\n[Root]\n"); // not a set
    EXPECT_FALSE(RefreshImageSets());

    makeSet("Nature", "Nature", {{"Pic01", "pic01"}});
    SetLibrary lib;
    EXPECT_TRUE(RefreshImageSets(lib));
    EXPECT_EQ(lib.ProgramPath(), program);
    EXPECT_EQ(lib.Sets().IncludedCollection().count(), 1);
}

TEST_F(Library, AKnownSetKeepsItsMarksWhenItsDescriptorLaterBreaks) {
    makeSet("Nature", "Nature", {{"Pic01", "pic01"}, {"Pic02", "pic02"}});
    {
        SetLibrary lib;
        lib.InitSetsInfo(program);
        lib.Sets().GetSet("Nature")->ExcludeImage("Pic01", "pic01");
        lib.SaveSetsInfo();
    }
    const std::string saved = registry();
    // Only the picture lines are broken: the set name is still readable, so
    // the set stays registered as it was.
    write("Nature/images.ini", read("Nature/images.ini") + "stray line\n");
    SetLibrary lib;
    ASSERT_EQ(lib.InitSetsInfo(program), SetLibrary::InitResult::Ok);
    EXPECT_EQ(registry(), saved);
    EXPECT_EQ(excluded(*lib.Sets().GetSet("Nature")), (Names{"Pic01"}));
}
