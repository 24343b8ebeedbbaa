#include "PasswordPrompt.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <climits>

namespace skyloom::saver {

std::string lockoutMessage(long long seconds) {
    const int n = static_cast<int>(std::clamp<long long>(seconds, 0, INT_MAX));
    const QString text = QCoreApplication::translate(
        "skyloom::saver::SaverGuard", "Too many wrong passwords. Try again in %n second(s).",
        nullptr, n);
    // Without a catalogue the source comes back as it is; English then gets
    // its own singular or plural.
    if (!text.contains(QLatin1String("second(s)")))
        return text.toStdString();
    return "Too many wrong passwords. Try again in " + std::to_string(n) +
           (n == 1 ? " second." : " seconds.");
}

void PasswordPrompt::wipe() {
    // Overwrite before releasing, so the password does not linger in memory.
    volatile char* p = typed_.data();
    for (std::size_t i = 0; i < typed_.size(); ++i)
        p[i] = 0;
    typed_.clear();
}

void PasswordPrompt::open() {
    if (open_)
        return;
    open_ = true;
    wipe();
    message_.clear();
}

void PasswordPrompt::close() {
    open_ = false;
    checking_ = false;
    wipe();
    message_.clear();
}

PasswordPrompt::Outcome PasswordPrompt::key(Key key, const std::string& text) {
    if (!open_ || checking_)
        return Outcome::None;
    switch (key) {
    case Key::Enter:
        return Outcome::Submit;
    case Key::Escape:
        return Outcome::Cancel;
    case Key::Backspace:
        // Remove one whole UTF-8 character.
        while (!typed_.empty()) {
            const unsigned char c = static_cast<unsigned char>(typed_.back());
            typed_.pop_back();
            if ((c & 0xC0) != 0x80)
                break;
        }
        return Outcome::None;
    case Key::Other:
        for (char c : text) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                continue; // control characters are not part of a password
            if (typed_.size() < kMaxLength)
                typed_.push_back(c);
        }
        return Outcome::None;
    }
    return Outcome::None;
}

std::string PasswordPrompt::takePassword() {
    std::string out = typed_;
    wipe();
    return out;
}

} // namespace skyloom::saver
