#include "PasswordPrompt.h"

namespace skyloom::saver {

std::string lockoutMessage(long long seconds) {
    return "Too many wrong passwords. Try again in " + std::to_string(seconds) +
           (seconds == 1 ? " second." : " seconds.");
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
