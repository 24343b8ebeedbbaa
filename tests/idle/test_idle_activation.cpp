#include "platform/IdleActivation.h"

#include <gtest/gtest.h>

using namespace skyloom::platform;

namespace {
IdleInputs idle(std::int64_t ms) {
    IdleInputs in;
    in.active = true;
    in.timeoutSeconds = 60;
    in.idleMs = ms;
    return in;
}
} // namespace

TEST(IdleActivation, StartsOncePerIdlePeriodAfterTheTimeout) {
    IdleActivation a;
    auto d = a.check(idle(10'000));
    EXPECT_FALSE(d.startSaver);
    EXPECT_EQ(d.nextCheckMs, 50'000); // wakes exactly when the timeout is reached
    d = a.check(idle(60'000));
    EXPECT_TRUE(d.startSaver);
    // Still idle (the saver was ended by a program, not by input): no second start.
    EXPECT_FALSE(a.check(idle(70'000)).startSaver);
    // Input, then idle again: a new period.
    EXPECT_FALSE(a.check(idle(1'000)).startSaver);
    EXPECT_TRUE(a.check(idle(61'000)).startSaver);
}

TEST(IdleActivation, InhibitorsRunningSaversAndSettingsHoldItOff) {
    IdleActivation a;
    auto in = idle(120'000);
    in.inhibited = true;
    auto d = a.check(in);
    EXPECT_FALSE(d.startSaver);
    EXPECT_LE(d.nextCheckMs, 5'000); // look again soon for the inhibitor going
    in.inhibited = false;
    EXPECT_TRUE(a.check(in).startSaver); // released while still idle: starts

    IdleActivation b;
    in.saverRunning = true;
    EXPECT_FALSE(b.check(in).startSaver);
    in.saverRunning = false;
    in.idleMs = 130'000;
    EXPECT_FALSE(b.check(in).startSaver); // the saver of this period already ran

    IdleActivation c;
    auto off = idle(500'000);
    off.active = false;
    EXPECT_FALSE(c.check(off).startSaver);
    off.active = true;
    off.idleMs.reset(); // idle time unknown
    EXPECT_FALSE(c.check(off).startSaver);
    EXPECT_EQ(c.check(off).nextCheckMs, IdleActivation::kLongestWaitMs);
    auto soon = idle(59'900);
    EXPECT_EQ(c.check(soon).nextCheckMs, IdleActivation::kShortestWaitMs);
}

// The daemon logs the reason; the idle test waits for these words, so a
// decision without a reason (or with the wrong one) would leave it guessing.
TEST(IdleActivation, EveryDecisionSaysWhy) {
    IdleActivation a;
    EXPECT_EQ(a.check(idle(1'000)).reason, "the user is active");
    auto in = idle(61'000);
    in.inhibited = true;
    EXPECT_EQ(a.check(in).reason, "held off by a program");
    in.inhibited = false;
    const auto start = a.check(in);
    EXPECT_TRUE(start.startSaver);
    EXPECT_EQ(start.reason, "starting the saver");
    in.saverRunning = true;
    EXPECT_EQ(a.check(in).reason, "the saver runs");
    in.saverRunning = false;
    in.idleMs = 62'000;
    EXPECT_EQ(a.check(in).reason, "already started in this idle period");
    in.active = false;
    EXPECT_EQ(a.check(in).reason, "the saver is switched off");
    in.idleMs.reset();
    EXPECT_EQ(a.check(in).reason, "idle time unknown");
}

// Input between two checks starts a new idle period even when the idle time
// has passed the timeout again by the second check (checks 5 s apart, a
// 3 s timeout): the idle time grew by less than the time that passed. Without
// input it grows with the clock, and the period stays the same.
TEST(IdleActivation, InputBetweenChecksStartsANewPeriod) {
    IdleActivation a;
    auto in = idle(3'000);
    in.timeoutSeconds = 3;
    in.nowMs = 100'000;
    EXPECT_TRUE(a.check(in).startSaver);
    in.idleMs = 8'000; // no input: grew by the 5 s that passed
    in.nowMs = 105'000;
    EXPECT_EQ(a.check(in).reason, "already started in this idle period");
    in.saverRunning = true; // the saver's start reset the idle time
    in.idleMs = 500;
    in.nowMs = 110'000;
    a.check(in);
    in.saverRunning = false;
    in.idleMs = 3'200; // more than at the last check, yet a key ended the saver 3.2 s ago
    in.nowMs = 115'000;
    const auto again = a.check(in);
    EXPECT_TRUE(again.startSaver) << again.reason;
}
