#include "config/frmChangePassword.h"
#include "platform/Password.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using skyloom::config::frmChangePassword;
using namespace skyloom::platform;

TEST(ChangePassword, SetChangeAndRemoveTheSaverPassword) {
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    EXPECT_EQ(frmChangePassword::apply("", "moon", "mon"), "The new passwords do not match.");
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::None);
    EXPECT_EQ(frmChangePassword::apply("", "moon", "moon"), "");
    EXPECT_TRUE(checkSaverPassword("moon"));
    // Changing it needs the current one.
    EXPECT_EQ(frmChangePassword::apply("sun", "star", "star"),
              "The current password is not correct.");
    EXPECT_TRUE(checkSaverPassword("moon"));
    EXPECT_EQ(frmChangePassword::apply("moon", "star", "star"), "");
    EXPECT_TRUE(checkSaverPassword("star"));
    // An empty new password goes back to the login password.
    EXPECT_EQ(frmChangePassword::apply("star", "", ""), "");
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::None);
    // A damaged file is reported, not silently replaced.
    dir.write("config/skyloom/saver-password", "not a hash");
    EXPECT_NE(frmChangePassword::apply("", "a", "a").find("damaged"), std::string::npos);
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
}
