#include "config/LockReadiness.h"
#include "config/frmChangePassword.h"
#include "platform/Password.h"
#include "tests/support/QtTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>

#include <cstdlib>

using namespace skyloom::config;
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
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("no-pam").c_str(), 1);
    dir.write("config/skyloom/saver-password", "not a hash");
    EXPECT_NE(frmChangePassword::apply("", "a", "a").find("damaged"), std::string::npos);
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}

// Without PAM a damaged file cannot be replaced from the dialog (nobody could
// prove who they are); the dialog names the one command that removes it, and
// after it a new password can be set.
TEST(ChangePassword, ADamagedFileWithoutPamEndsWithTheCommandThatRemovesIt) {
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("it's config").c_str(), 1); // a quote in the path
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("no-pam").c_str(), 1);
    dir.write("it's config/skyloom/saver-password", "$argon2id$damaged");
    ASSERT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    EXPECT_EQ(currentPasswordLabel(), "");
    const std::string intro = changePasswordIntro(true);
    const std::string refused = frmChangePassword::apply("", "new one", "new one");
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    const std::string command = removePasswordCommand();
    EXPECT_NE(intro.find(command), std::string::npos);
    EXPECT_NE(refused.find(command), std::string::npos);
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::None);
    EXPECT_EQ(frmChangePassword::apply("", "new one", "new one"), "");
    EXPECT_TRUE(checkSaverPassword("new one"));
    // Without PAM it cannot be removed while protection is on: the lock
    // would have no password left.
    EXPECT_NE(applyPasswordChange("new one", "", "", true), "");
    EXPECT_TRUE(checkSaverPassword("new one"));
    EXPECT_EQ(applyPasswordChange("new one", "", "", false), "");
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}

// The introduction says what the saver will really ask for.
TEST(ChangePassword, IntroductionFollowsTheRealState) {
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("pam").c_str(), 1);
    EXPECT_NE(changePasswordIntro(true).find("is missing"), std::string::npos);
    dir.write("pam/skyloom", "auth required pam_deny.so\n");
    EXPECT_NE(changePasswordIntro(true).find("asks for your login password"), std::string::npos);
    EXPECT_NE(changePasswordIntro(false).find("Password protection is off"), std::string::npos);
    ASSERT_TRUE(setSaverPassword("moon"));
    EXPECT_EQ(currentPasswordLabel(), "Current password:");
    EXPECT_NE(changePasswordIntro(true).find("empty"), std::string::npos);
    dir.write("config/skyloom/saver-password", "damaged");
    EXPECT_EQ(currentPasswordLabel(), "Login password:");
    EXPECT_NE(changePasswordIntro(true).find("login password to set a new one"), std::string::npos);
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}

// A refusal with a long path fits the dialog, at the normal text size and
// at twice that (a 2x screen).
TEST(ChangePassword, MessagesFitTheirDialog) {
    skyloom::test::ensureQApplication();
    skyloom::test::TempDir dir;
    setenv("XDG_CONFIG_HOME",
           dir.file("a/rather/long/folder/name/that/will/not/wrap/config").c_str(), 1);
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("no-pam").c_str(), 1);
    dir.write("a/rather/long/folder/name/that/will/not/wrap/config/skyloom/saver-password", "x");
    for (int scale : {1, 2}) {
        frmChangePassword dialog;
        QFont font = dialog.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        dialog.setFont(font);
        dialog.show();
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        for (auto* label :
             {dialog.findChild<QLabel*>("lblIntro"), dialog.findChild<QLabel*>("lblMessage")}) {
            ASSERT_NE(label, nullptr);
            EXPECT_FALSE(label->text().isEmpty()) << scale;
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << label->objectName().toStdString() << " at " << scale << "x";
            EXPECT_GE(label->width(), label->minimumSizeHint().width());
            EXPECT_TRUE(dialog.rect().contains(label->geometry()))
                << label->objectName().toStdString() << " at " << scale << "x";
        }
    }
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}
