#include "common/ProfileFile.h"
#include "platform/Password.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

using namespace skyloom::platform;
using skyloom::test::TempDir;
using namespace std::chrono_literals;

namespace {

// A PAM service "skyloom" backed by pam_matrix, with "Open Sesame" as the
// current user's password. pam_wrapper reads its service folder once per
// process, so every test shares one.
class PamTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* module = std::getenv("SKYLOOM_PAM_MATRIX");
        if (!module || !std::getenv("PAM_WRAPPER"))
            return;
        pam = new TempDir;
        pam->write("passdb", currentUserName() + ":Open Sesame:skyloom\n");
        pam->write("services/skyloom", std::string("auth required ") + module +
                                           " passdb=" + pam->file("passdb") + "\n");
        setenv("PAM_WRAPPER_SERVICE_DIR", pam->file("services").c_str(), 1);
    }
    static void TearDownTestSuite() {
        delete pam;
        pam = nullptr;
    }
    void SetUp() override {
        if (!pam)
            GTEST_SKIP() << "pam_wrapper is not installed";
    }
    static TempDir* pam;
    TempDir dir;
};
TempDir* PamTest::pam = nullptr;

} // namespace

TEST_F(PamTest, OnlyTheRightLoginPasswordIsAccepted) {
    const std::string user = currentUserName();
    EXPECT_TRUE(checkLoginPassword(user, "Open Sesame"));
    EXPECT_FALSE(checkLoginPassword(user, "open sesame"));
    EXPECT_FALSE(checkLoginPassword(user, ""));
    EXPECT_FALSE(checkLoginPassword(user, std::string(10 * 1024, 'x')));
    EXPECT_FALSE(checkLoginPassword(user, "Open Sesame" + std::string(10 * 1024, ' ')));
    EXPECT_FALSE(checkLoginPassword(user, "\xff\xfe\x80 Sesame"));
    EXPECT_FALSE(checkLoginPassword(user, std::string("Open Sesame\0x", 13)));
    EXPECT_FALSE(checkLoginPassword("nobody-else", "Open Sesame"));
}

TEST_F(PamTest, LockStartsOnlyWhenSomePasswordCanEndIt) {
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    std::string why;
    EXPECT_TRUE(passwordVerifierReady(why)); // the PAM service exists
    dir.write("config/skyloom/saver-password", "garbage");
    EXPECT_FALSE(passwordVerifierReady(why));
    EXPECT_NE(why.find("damaged"), std::string::npos);
    ASSERT_TRUE(setSaverPassword(""));
    const std::string saved = std::getenv("PAM_WRAPPER_SERVICE_DIR");
    setenv("PAM_WRAPPER_SERVICE_DIR", dir.file("no-services").c_str(), 1);
    EXPECT_FALSE(passwordVerifierReady(why));
    EXPECT_NE(why.find("PAM service file"), std::string::npos);
    ASSERT_TRUE(setSaverPassword("x"));
    EXPECT_TRUE(passwordVerifierReady(why));
    setenv("PAM_WRAPPER_SERVICE_DIR", saved.c_str(), 1);
}

TEST_F(PamTest, MissingServiceFileNeverAccepts) {
    EXPECT_FALSE(checkLoginPassword(currentUserName(), "Open Sesame", "no-such-service"));
}

TEST_F(PamTest, GateUsesLoginPasswordUntilASaverPasswordIsSet) {
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    PasswordGate gate({}, {}, [](std::chrono::milliseconds) {});
    EXPECT_EQ(gate.verify("Open Sesame"), PasswordGate::Result::Accepted);
    ASSERT_TRUE(setSaverPassword("moon"));
    EXPECT_EQ(gate.verify("Open Sesame"), PasswordGate::Result::Refused);
    EXPECT_EQ(gate.verify("moon"), PasswordGate::Result::Accepted);
    ASSERT_TRUE(setSaverPassword("")); // back to the login password
    EXPECT_EQ(gate.verify("Open Sesame"), PasswordGate::Result::Accepted);
}

TEST(SaverPasswordFile, HashRoundTripModeAndCorruption) {
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.file("config").c_str(), 1);
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::None);
    EXPECT_FALSE(checkSaverPassword("anything"));
    ASSERT_TRUE(setSaverPassword("correct horse"));
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Set);
    EXPECT_TRUE(checkSaverPassword("correct horse"));
    EXPECT_FALSE(checkSaverPassword("correct horse "));
    EXPECT_FALSE(checkSaverPassword(""));
    struct stat st {};
    ASSERT_EQ(::stat(saverPasswordFilePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::string stored = TempDir::readPath(saverPasswordFilePath());
    EXPECT_EQ(stored.find("correct horse"), std::string::npos);
    EXPECT_EQ(stored.rfind("$argon2id$", 0), 0u);

    // A damaged file accepts nothing, not even what it once held.
    dir.write("config/skyloom/saver-password", stored.substr(0, stored.size() / 2));
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    EXPECT_FALSE(checkSaverPassword("correct horse"));
    dir.write("config/skyloom/saver-password", "");
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::Corrupt);
    EXPECT_FALSE(checkSaverPassword(""));
    PasswordGate gate({}, {}, [](std::chrono::milliseconds) {});
    EXPECT_EQ(gate.verify("correct horse"), PasswordGate::Result::Refused);
    ASSERT_TRUE(setSaverPassword(""));
    EXPECT_EQ(saverPasswordState(), SaverPasswordState::None);
}

TEST(PasswordGate, WrongAnswersAreDelayedAndFiveLockThePromptFor30Seconds) {
    auto now = std::chrono::steady_clock::time_point{} + 1h;
    std::chrono::milliseconds slept{0};
    int checks = 0;
    PasswordGate gate(
        [&](const std::string& p) {
            ++checks;
            now += 200ms; // the check itself takes a while
            return p == "right";
        },
        [&] { return now; },
        [&](std::chrono::milliseconds d) {
            slept += d;
            now += d;
        });
    EXPECT_EQ(gate.verify("wrong"), PasswordGate::Result::Refused);
    EXPECT_EQ(slept, 800ms); // 1 s in all, counted from the start of the check
    EXPECT_EQ(gate.verify("right"), PasswordGate::Result::Accepted);
    EXPECT_EQ(gate.failuresInARow(), 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(gate.verify("wrong"), PasswordGate::Result::Refused);
    EXPECT_EQ(gate.verify("wrong"), PasswordGate::Result::LockedOut);
    EXPECT_EQ(gate.lockRemaining(), 30s);
    const int checksAtLock = checks;
    now += 29s;
    EXPECT_EQ(gate.verify("right"), PasswordGate::Result::LockedOut); // not even checked
    EXPECT_EQ(checks, checksAtLock);
    now += 2s;
    EXPECT_EQ(gate.lockRemaining(), 0s);
    EXPECT_EQ(gate.verify("right"), PasswordGate::Result::Accepted);
    // Empty and oversized answers are refused without being checked.
    EXPECT_EQ(gate.verify(""), PasswordGate::Result::Refused);
    EXPECT_EQ(gate.verify(std::string(kMaxPasswordLength + 1, 'r')), PasswordGate::Result::Refused);
    EXPECT_EQ(checks, checksAtLock + 1);
}
