#include "LockReadiness.h"

#include "platform/Password.h"

namespace skyloom::config {
namespace {

using platform::SaverPasswordState;

// The path in single quotes, for a shell.
std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::string pamMissing() {
    return "your login password cannot be checked (" + platform::pamServiceFile() + " is missing)";
}

} // namespace

std::string lockProblem() {
    switch (platform::verifierProblem()) {
    case platform::VerifierProblem::None:
        return {};
    case platform::VerifierProblem::DamagedSaverPassword:
        return "The saver password file is damaged, so no password could end the lock.";
    case platform::VerifierProblem::NoPamService:
        break;
    }
    return "No password could end the lock: " + pamMissing() + ".";
}

std::string passwordButtonText() {
    return platform::saverPasswordState() == SaverPasswordState::Set ? "Change password..."
                                                                     : "Set a saver password...";
}

std::string removePasswordCommand() {
    return "rm -f " + shellQuoted(platform::saverPasswordFilePath());
}

std::string changePasswordIntro(bool protectionOn) {
    const bool pam = platform::loginPasswordCheckable();
    switch (platform::saverPasswordState()) {
    case SaverPasswordState::Corrupt:
        if (pam)
            return "The stored screen saver password is damaged, so no password could end the "
                   "saver. Enter your login password to set a new one.";
        return "The stored screen saver password is damaged, and " + pamMissing() +
               ". To set a new password, remove the damaged file with this command, then "
               "start \"skyloom /a\" again:\n" +
               removePasswordCommand();
    case SaverPasswordState::Set:
        if (!pam)
            return "Enter the current password to change it. It cannot be removed: " +
                   pamMissing() + ".";
        return "Leave the new password empty to use your login password again.";
    case SaverPasswordState::None:
        break;
    }
    if (!pam)
        return "No screen saver password is set, and " + pamMissing() +
               ". Set a screen saver password so that the saver can be locked.";
    if (!protectionOn)
        return "Password protection is off, so the screen saver ends without a password. A "
               "password set here is asked for once \"Password protected\" is on; without one, "
               "your login password is asked for.";
    return "The screen saver asks for your login password. Set a screen saver password to "
           "ask for that instead.";
}

std::string currentPasswordLabel() {
    switch (platform::saverPasswordState()) {
    case SaverPasswordState::Set:
        return "Current password:";
    case SaverPasswordState::Corrupt:
        return platform::loginPasswordCheckable() ? "Login password:" : "";
    case SaverPasswordState::None:
        break;
    }
    return {};
}

std::string applyPasswordChange(const std::string& current, const std::string& newPassword,
                                const std::string& confirm, bool protectionOn) {
    const auto state = platform::saverPasswordState();
    const bool pam = platform::loginPasswordCheckable();
    if (state == SaverPasswordState::Set && !platform::checkSaverPassword(current))
        return "The current password is not correct.";
    if (state == SaverPasswordState::Corrupt) {
        if (!pam)
            return "The stored screen saver password is damaged. Remove it with this command, "
                   "then start \"skyloom /a\" again:\n" +
                   removePasswordCommand();
        // Only the user who can log in may replace what nobody can verify.
        if (!platform::checkLoginPassword(platform::currentUserName(), current))
            return "The login password is not correct.";
    }
    if (newPassword != confirm)
        return "The new passwords do not match.";
    if (newPassword.size() > platform::kMaxPasswordLength)
        return "The new password is too long.";
    if (newPassword.empty() && !pam && protectionOn)
        return "The screen saver password cannot be removed while password protection is on: " +
               pamMissing() + ".";
    if (!platform::setSaverPassword(newPassword))
        return "The password could not be saved in " + platform::saverPasswordFilePath() + ".";
    return {};
}

} // namespace skyloom::config
