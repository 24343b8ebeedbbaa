#pragma once
// Whether "Password protected" can keep its promise, and the texts of the
// "/a" dialog for the real state of the saver password: without widgets, so
// both the page and the dialog say the same and tests can read it.

#include <string>

namespace skyloom::config {

/// Why no password could end a lock now ("" when one can): shown beside
/// the "Password protected" check box, which cannot be applied meanwhile.
std::string lockProblem();
/// The caption of the password button of the page.
std::string passwordButtonText();

/// The introduction of the "/a" dialog. `protectionOn`: "Password protected".
std::string changePasswordIntro(bool protectionOn);
/// The label of the dialog's first field, "" when it has none: the current
/// saver password, or the login password that allows replacing a damaged one.
std::string currentPasswordLabel();
/// Checks the answers of the "/a" dialog and stores the new password; the
/// text to show when that is refused, "" on success.
std::string applyPasswordChange(const std::string& current, const std::string& newPassword,
                                const std::string& confirm, bool protectionOn);
/// The one shell command that removes the saver-password file.
std::string removePasswordCommand();

} // namespace skyloom::config
