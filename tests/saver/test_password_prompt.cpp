#include "saver/PasswordPrompt.h"

#include <gtest/gtest.h>

using skyloom::saver::PasswordPrompt;
using Key = PasswordPrompt::Key;
using Outcome = PasswordPrompt::Outcome;

TEST(PasswordPrompt, TypingEditingAndSubmitting) {
    PasswordPrompt p;
    EXPECT_EQ(p.key(Key::Other, "x"), Outcome::None); // closed: ignored
    p.open();
    EXPECT_EQ(p.typedLength(), 0);
    p.key(Key::Other, "mo");
    p.key(Key::Other, "\x01\t");   // control characters are no part of a password
    p.key(Key::Other, "\xc3\xa9"); // one two-byte character
    EXPECT_EQ(p.typedLength(), 4);
    p.key(Key::Backspace, "");
    EXPECT_EQ(p.typedLength(), 2); // the whole character went
    p.key(Key::Other, "on");
    EXPECT_EQ(p.key(Key::Enter, "\r"), Outcome::Submit);
    EXPECT_EQ(p.takePassword(), "moon");
    EXPECT_EQ(p.typedLength(), 0);

    p.setChecking(true);
    EXPECT_EQ(p.key(Key::Enter, "\r"), Outcome::None); // one check at a time
    p.setChecking(false);
    p.key(Key::Other, std::string(5000, 'a'));
    EXPECT_EQ(p.typedLength(), static_cast<int>(PasswordPrompt::kMaxLength));
    EXPECT_EQ(p.key(Key::Escape, ""), Outcome::Cancel);
    p.close();
    EXPECT_FALSE(p.isOpen());
    p.open();
    EXPECT_EQ(p.typedLength(), 0); // nothing survives a closed prompt
}

TEST(PasswordPrompt, LockoutNoticeCountsSeconds) {
    EXPECT_EQ(skyloom::saver::lockoutMessage(30),
              "Too many wrong passwords. Try again in 30 seconds.");
    EXPECT_EQ(skyloom::saver::lockoutMessage(1),
              "Too many wrong passwords. Try again in 1 second.");
}
