#pragma once
// Checking the password that ends a protected saver.
//
// The password asked for is the saver password when one has been set with
// "/a" (kept only as a salted argon2id hash, in a file only the user can
// read), else the user's login password, checked through PAM with the
// service "skyloom". Wrong answers cost at least a second each, and five in
// a row lock the prompt for 30 seconds.

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

namespace skyloom::platform {

/// $XDG_CONFIG_HOME/skyloom/saver-password.
std::string saverPasswordFilePath();

enum class SaverPasswordState { None, Set, Corrupt };
SaverPasswordState saverPasswordState();
/// Stores the hash of `password` (mode 0600, atomic replace); "" removes
/// the saver password, so the login password applies again.
bool setSaverPassword(const std::string& password);
/// True when `password` matches the stored hash. A corrupt file matches
/// nothing (and says so on stderr).
bool checkSaverPassword(const std::string& password);

/// The login name of the user running this program.
std::string currentUserName();
/// Asks PAM (service `service`) whether `password` is `user`'s password.
bool checkLoginPassword(const std::string& user, const std::string& password,
                        const std::string& service = "skyloom");

/// The PAM service file the login-password check relies on.
std::string pamServiceFile(const std::string& service = "skyloom");
/// What keeps every password from ending a locked saver.
enum class VerifierProblem {
    None,                 ///< a saver password is set, or PAM can check the login password
    DamagedSaverPassword, ///< the saver-password file is damaged
    NoPamService,         ///< no saver password and no PAM service file
};
VerifierProblem verifierProblem();
/// True when PAM can be asked about the login password (the service file
/// exists), whatever the saver password is.
bool loginPasswordCheckable();

/// True when some password can end a locked saver: a saver password is
/// set, or the PAM service exists. Otherwise `why` says what is missing (a
/// lock that nothing can open must never start).
bool passwordVerifierReady(std::string& why);

/// Longest password that is checked at all; longer ones are refused.
inline constexpr std::size_t kMaxPasswordLength = 1024;

/// The saver's verifier: which password applies, the delay after a wrong
/// one and the lockout. verify() blocks (PAM and the hash are slow by
/// design): call it off the user-interface thread.
class PasswordGate {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    using Checker = std::function<bool(const std::string&)>;
    using Sleeper = std::function<void(std::chrono::milliseconds)>;
    enum class Result { Accepted, Refused, LockedOut };

    static constexpr int kMaxFailures = 5;
    static constexpr std::chrono::seconds kLockout{30};
    static constexpr std::chrono::milliseconds kFailureDelay{1000};

    /// `checker` empty: the saver password when set, else PAM.
    explicit PasswordGate(Checker checker = {}, Clock clock = {}, Sleeper sleeper = {});

    Result verify(const std::string& password);
    /// Time left of a lockout (zero when not locked).
    std::chrono::seconds lockRemaining() const;
    int failuresInARow() const;

private:
    Checker checker_;
    Clock clock_;
    Sleeper sleeper_;
    mutable std::mutex mutex_;
    int failures_ = 0;
    std::chrono::steady_clock::time_point lockedUntil_{};
};

} // namespace skyloom::platform
