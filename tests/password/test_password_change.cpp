// Replacing a damaged saver password from the "/a" dialog: the login
// password, checked through PAM (pam_wrapper with pam_matrix), is the proof.
#include "config/LockReadiness.h"
#include "config/frmChangePassword.h"
#include "platform/Password.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace skyloom::platform;
using namespace skyloom::config;
using skyloom::test::TempDir;

TEST(DamagedSaverPassword, IsReplacedAfterTheLoginPassword) {
    const char* module = std::getenv("SKYLOOM_PAM_MATRIX");
    if (!module || !std::getenv("PAM_WRAPPER"))
        GTEST_SKIP() << "pam_wrapper is not installed";
    TempDir pam;
    pam.write("passdb", currentUserName() + ":Open Sesame:skyloom\n");
    pam.write("services/skyloom",
              std::string("auth required ") + module + " passdb=" + pam.file("passdb") + "\n");
    setenv("PAM_WRAPPER_SERVICE_DIR", pam.file("services").c_str(), 1);
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    dir.write("config/skyloom/saver-password", "$argon2id$v=19$broken");
    ASSERT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    std::string why;
    EXPECT_FALSE(passwordVerifierReady(why)); // the saver would not lock
    EXPECT_NE(lockProblem(), "");

    EXPECT_EQ(currentPasswordLabel(), "Login password:");
    EXPECT_EQ(frmChangePassword::apply("open sesame", "new one", "new one"),
              "The login password is not correct.");
    EXPECT_EQ(frmChangePassword::apply("", "new one", "new one"),
              "The login password is not correct.");
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    EXPECT_EQ(frmChangePassword::apply("Open Sesame", "new one", "new two"),
              "The new passwords do not match.");
    EXPECT_EQ(frmChangePassword::apply("Open Sesame", "new one", "new one"), "");
    EXPECT_TRUE(checkSaverPassword("new one"));
    EXPECT_TRUE(passwordVerifierReady(why));
    EXPECT_EQ(lockProblem(), "");
    // The lock's own verifier takes the new password.
    PasswordGate gate({}, {}, [](std::chrono::milliseconds) {});
    EXPECT_EQ(gate.verify("Open Sesame"), PasswordGate::Result::Refused);
    EXPECT_EQ(gate.verify("new one"), PasswordGate::Result::Accepted);
    unsetenv("PAM_WRAPPER_SERVICE_DIR");
}
