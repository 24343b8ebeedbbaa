#pragma once
// What the password prompt of a locked saver holds: the typed password
// (never shown, wiped when no longer needed), the message under it, and
// whether a check is running.

#include <string>

namespace skyloom::saver {

/// The notice while wrong passwords have locked the prompt; `seconds` left.
std::string lockoutMessage(long long seconds);

class PasswordPrompt {
public:
    enum class Key { Other, Enter, Escape, Backspace };
    enum class Outcome { None, Submit, Cancel };

    ~PasswordPrompt() { wipe(); }

    void open();
    void close();
    bool isOpen() const { return open_; }

    /// A key typed while the prompt is open; `text` is its character(s).
    /// Keys are ignored while a check runs.
    Outcome key(Key key, const std::string& text);
    /// The password to check; the prompt keeps nothing of it.
    std::string takePassword();
    int typedLength() const { return static_cast<int>(typed_.size()); }

    void setChecking(bool checking) { checking_ = checking; }
    bool checking() const { return checking_; }
    void setMessage(std::string message) { message_ = std::move(message); }
    const std::string& message() const { return message_; }

    /// Longest password the prompt takes (bytes).
    static constexpr std::size_t kMaxLength = 1024;

private:
    void wipe();
    std::string typed_;
    std::string message_;
    bool open_ = false;
    bool checking_ = false;
};

} // namespace skyloom::saver
