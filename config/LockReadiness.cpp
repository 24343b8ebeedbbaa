#include "LockReadiness.h"

#include "platform/Password.h"

#include <QCoreApplication>
#include <QString>

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

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString pamFile() {
    return qs(platform::pamServiceFile());
}

} // namespace

std::string lockProblem() {
    switch (platform::verifierProblem()) {
    case platform::VerifierProblem::None:
        return {};
    case platform::VerifierProblem::DamagedSaverPassword:
        return QCoreApplication::translate(
                   "skyloom::config::LockReadiness",
                   "The saver password file is damaged, so no password could end the lock.")
            .toStdString();
    case platform::VerifierProblem::NoPamService:
        break;
    }
    return QCoreApplication::translate(
               "skyloom::config::LockReadiness",
               "No password could end the lock: your login password cannot be checked (%1 is "
               "missing).")
        .arg(pamFile())
        .toStdString();
}

std::string passwordButtonText() {
    return (platform::saverPasswordState() == SaverPasswordState::Set
                ? QCoreApplication::translate("skyloom::config::LockReadiness",
                                              "Change password...")
                : QCoreApplication::translate("skyloom::config::LockReadiness",
                                              "Set a saver password..."))
        .toStdString();
}

std::string removePasswordCommand() {
    return "rm -f " + shellQuoted(platform::saverPasswordFilePath());
}

std::string changePasswordIntro(bool protectionOn) {
    const bool pam = platform::loginPasswordCheckable();
    QString text;
    switch (platform::saverPasswordState()) {
    case SaverPasswordState::Corrupt:
        if (pam)
            text = QCoreApplication::translate(
                "skyloom::config::LockReadiness",
                "The stored screen saver password is damaged, so no password could end "
                "the saver. Enter your login password to set a new one.");
        else
            text = QCoreApplication::translate(
                       "skyloom::config::LockReadiness",
                       "The stored screen saver password is damaged, and your login password "
                       "cannot be checked (%1 is missing). To set a new password, remove the "
                       "damaged file with this command, then start \"skyloom /a\" again:\n%2")
                       .arg(pamFile(), qs(removePasswordCommand()));
        return text.toStdString();
    case SaverPasswordState::Set:
        if (!pam)
            text = QCoreApplication::translate(
                       "skyloom::config::LockReadiness",
                       "Enter the current password to change it. It cannot be removed: your "
                       "login password cannot be checked (%1 is missing).")
                       .arg(pamFile());
        else
            text = QCoreApplication::translate(
                "skyloom::config::LockReadiness",
                "Leave the new password empty to use your login password again.");
        return text.toStdString();
    case SaverPasswordState::None:
        break;
    }
    if (!pam)
        text = QCoreApplication::translate(
                   "skyloom::config::LockReadiness",
                   "No screen saver password is set, and your login password cannot be checked "
                   "(%1 is missing). Set a screen saver password so that the saver can be "
                   "locked.")
                   .arg(pamFile());
    else if (!protectionOn)
        text = QCoreApplication::translate(
            "skyloom::config::LockReadiness",
            "Password protection is off, so the screen saver ends without a password. A "
            "password set here is asked for once \"Password protected\" is on; without "
            "one, your login password is asked for.");
    else
        text = QCoreApplication::translate(
            "skyloom::config::LockReadiness",
            "The screen saver asks for your login password. Set a screen saver password "
            "to ask for that instead.");
    return text.toStdString();
}

std::string currentPasswordLabel() {
    switch (platform::saverPasswordState()) {
    case SaverPasswordState::Set:
        return QCoreApplication::translate("skyloom::config::LockReadiness", "Current password:")
            .toStdString();
    case SaverPasswordState::Corrupt:
        return platform::loginPasswordCheckable()
                   ? QCoreApplication::translate("skyloom::config::LockReadiness",
                                                 "Login password:")
                         .toStdString()
                   : "";
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
        return QCoreApplication::translate("skyloom::config::LockReadiness",
                                           "The current password is not correct.")
            .toStdString();
    if (state == SaverPasswordState::Corrupt) {
        if (!pam)
            return QCoreApplication::translate(
                       "skyloom::config::LockReadiness",
                       "The stored screen saver password is damaged. Remove it with this "
                       "command, then start \"skyloom /a\" again:\n%1")
                .arg(qs(removePasswordCommand()))
                .toStdString();
        // Only the user who can log in may replace what nobody can verify.
        if (!platform::checkLoginPassword(platform::currentUserName(), current))
            return QCoreApplication::translate("skyloom::config::LockReadiness",
                                               "The login password is not correct.")
                .toStdString();
    }
    if (newPassword != confirm)
        return QCoreApplication::translate("skyloom::config::LockReadiness",
                                           "The new passwords do not match.")
            .toStdString();
    if (newPassword.size() > platform::kMaxPasswordLength)
        return QCoreApplication::translate("skyloom::config::LockReadiness",
                                           "The new password is too long.")
            .toStdString();
    if (newPassword.empty() && !pam && protectionOn)
        return QCoreApplication::translate(
                   "skyloom::config::LockReadiness",
                   "The screen saver password cannot be removed while password protection is "
                   "on: your login password cannot be checked (%1 is missing).")
            .arg(pamFile())
            .toStdString();
    if (!platform::setSaverPassword(newPassword))
        return QCoreApplication::translate("skyloom::config::LockReadiness",
                                           "The password could not be saved in %1.")
            .arg(qs(platform::saverPasswordFilePath()))
            .toStdString();
    return {};
}

} // namespace skyloom::config
