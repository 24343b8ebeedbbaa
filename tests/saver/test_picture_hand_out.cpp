// The play list's entries handed out to the changes of several monitors:
// successive entries in order (with "LastImage" kept across runs), no two
// screens on one picture at random, and with the same picture everywhere one
// choice, one reading of its settings and one preparation per size.

#include "common/Profile.h"
#include "saver/PictureHandOut.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace skyloom;
using saver::PictureHandOut;

namespace {

// A random source that returns the given values in turn (then the last).
saver::RandomSource sequence(std::vector<double> values) {
    auto at = std::make_shared<std::size_t>(0);
    return [values, at] { return values[std::min(values.size() - 1, (*at)++)]; };
}

int lastImage(const std::string& ini) {
    return ReadIniInt("PrefsSS", "LastImage", -1, ini);
}

} // namespace

TEST(PictureHandOut, InOrderScreensTakeSuccessiveEntriesAndTheNextRunGoesOn) {
    test::TempDir dir;
    dir.write("ScreenSaver.ini", "[PrefsSS]\nLastImage=3\n");
    const std::string ini = dir.file("ScreenSaver.ini");
    {
        PictureHandOut h(ini, false, sequence({0.5}), false);
        const int a = h.join(), b = h.join(), c = h.join();
        PictureHandOut::Timing t;
        EXPECT_EQ(h.next(a, 5, false, t).index, 4);
        EXPECT_EQ(h.next(b, 5, false, t).index, 5);
        EXPECT_EQ(h.next(c, 5, false, t).index, 1); // wraps
        // Shown in another order than handed out: the file holds the last
        // one handed out, so a new run repeats none of them.
        h.shown(c);
        h.shown(a);
        h.shown(b);
        EXPECT_EQ(lastImage(ini), 1);
        EXPECT_EQ(h.next(a, 5, false, t).index, 2);
        h.shown(a);
        EXPECT_EQ(lastImage(ini), 2);
    }
    PictureHandOut again(ini, false, sequence({0.5}), false);
    PictureHandOut::Timing t;
    EXPECT_EQ(again.next(again.join(), 5, false, t).index, 3);
}

TEST(PictureHandOut, TheTitlePageGoesToOneScreenOnlyWithItsOwnTime) {
    test::TempDir dir;
    dir.write("ScreenSaver.ini", "[PrefsSS]\nLastImage=0\n");
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureHandOut h(ini, false, sequence({0.5}), false);
    const int a = h.join(), b = h.join();
    PictureHandOut::Timing ta{60, 15}, tb{60, 15};
    const auto first = h.next(a, 4, true, ta);
    const auto second = h.next(b, 4, true, tb);
    EXPECT_EQ(first.index, 1);
    EXPECT_TRUE(first.titleShowing);
    EXPECT_EQ(ta.displayTime, 15);
    EXPECT_EQ(second.index, 2);
    EXPECT_FALSE(second.titleShowing);
    EXPECT_EQ(tb.displayTime, 15); // the restore time
}

TEST(PictureHandOut, AtRandomNoTwoScreensShowOnePicture) {
    test::TempDir dir;
    const std::string ini = dir.file("ScreenSaver.ini");
    // Count 4: 0.1 draws entry 1, 0.6 entry 3, 0.9 entry 4.
    PictureHandOut h(ini, true, sequence({0.1, 0.1, 0.1, 0.6, 0.6, 0.9}), false);
    const int a = h.join(), b = h.join();
    PictureHandOut::Timing t;
    EXPECT_EQ(h.next(a, 4, false, t).index, 1);
    EXPECT_EQ(h.next(b, 4, false, t).index, 3); // 1 is on the other screen
    // A screen's own last picture is not avoided, only the other's.
    EXPECT_EQ(h.next(a, 4, false, t).index, 4); // 0.6 -> 3 is b's
    // One entry for two screens: both show it, and nothing hangs.
    PictureHandOut one(ini, true, sequence({0.0}), false);
    const int x = one.join(), y = one.join();
    EXPECT_EQ(one.next(x, 1, false, t).index, 1);
    EXPECT_EQ(one.next(y, 1, false, t).index, 1);
}

TEST(PictureHandOut, SamePictureSharesOneChoiceSettingsAndPreparationPerSize) {
    test::TempDir dir;
    dir.write("ScreenSaver.ini", "[PrefsSS]\nLastImage=0\n");
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureHandOut h(ini, false, sequence({0.5}), true);
    const int a = h.join(), b = h.join(), c = h.join();
    PictureHandOut::Timing ta{60, 15}, tb{60, 15}, tc{60, 15};
    // The title page for all three, each with the title page's time.
    EXPECT_TRUE(h.next(a, 5, true, ta).titleShowing);
    EXPECT_TRUE(h.next(b, 5, true, tb).titleShowing);
    EXPECT_EQ(ta.displayTime, 15);
    EXPECT_EQ(tb.displayTime, 15);
    EXPECT_EQ(h.next(c, 5, true, tc).index, 1);
    // Then the pictures, in turn: the second change of every screen is entry 2.
    EXPECT_EQ(h.next(a, 5, true, ta).index, 2);
    EXPECT_EQ(ta.displayTime, 60);
    EXPECT_EQ(h.settingsFor(a, 2), nullptr);
    saver::PictureSettings ps;
    ps.pictureUrl = "https://example.org/two";
    h.keepSettings(a, 2, ps);
    saver::PrepResult big;
    big.status = saver::PrepResult::Status::Ready;
    big.picture = QImage(16, 9, QImage::Format_RGB32);
    h.keepPrepared(a, 2, {1920, 1080}, big);
    h.shown(a);
    EXPECT_EQ(lastImage(ini), 2);

    EXPECT_EQ(h.next(b, 5, true, tb).index, 2);
    ASSERT_NE(h.settingsFor(b, 2), nullptr);
    EXPECT_EQ(h.settingsFor(b, 2)->pictureUrl, ps.pictureUrl);
    // Prepared once for the size: the same pixels, not a copy.
    ASSERT_NE(h.preparedFor(b, 2, {1920, 1080}), nullptr);
    EXPECT_EQ(h.preparedFor(b, 2, {1920, 1080})->picture.constBits(), big.picture.constBits());
    EXPECT_EQ(h.preparedFor(b, 2, {1280, 1024}), nullptr); // another size prepares its own
    h.shown(b);
    EXPECT_EQ(lastImage(ini), 2); // once per change, not once per screen

    // An entry that could not be shown: the next change goes on after the
    // one shown instead, and every screen walks on the same way.
    EXPECT_EQ(h.next(c, 5, true, tc).index, 2);
    EXPECT_EQ(h.following(c, 2, 5, true).index, 3);
    EXPECT_EQ(h.next(a, 5, true, ta).index, 4);
    EXPECT_EQ(h.next(b, 5, true, tb).index, 4);
    EXPECT_EQ(h.following(b, 4, 5, true).index, 5);
    EXPECT_EQ(h.next(c, 5, true, tc).index, 4);
    EXPECT_EQ(h.following(c, 4, 5, true).index, 5);
    EXPECT_EQ(h.next(a, 5, true, ta).index, 2); // past the end: back to the first picture
    // What every screen has passed is forgotten.
    EXPECT_LE(h.roundsKept(), 2);
}

TEST(PictureHandOut, AScreenAddedLaterJoinsTheChangeTheOthersAreAt) {
    test::TempDir dir;
    dir.write("ScreenSaver.ini", "[PrefsSS]\nLastImage=0\n");
    const std::string ini = dir.file("ScreenSaver.ini");
    PictureHandOut h(ini, false, sequence({0.5}), true);
    const int a = h.join();
    PictureHandOut::Timing t;
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(h.next(a, 9, false, t).index, i);
    const int late = h.join();
    EXPECT_EQ(h.next(late, 9, false, t).index, 3); // the picture a shows now
    EXPECT_EQ(h.next(late, 9, false, t).index, 4);
    EXPECT_EQ(h.next(a, 9, false, t).index, 4);
    // A screen that goes leaves nothing behind it.
    h.leave(late);
    h.leave(a);
    EXPECT_EQ(h.roundsKept(), 0);
}
