#include "IdleActivation.h"

#include <algorithm>

namespace skyloom::platform {

IdleDecision IdleActivation::check(const IdleInputs& in) {
    IdleDecision d;
    d.nextCheckMs = kLongestWaitMs;
    d.reason = "idle time unknown";
    if (!in.idleMs)
        return d;
    const std::int64_t idle = *in.idleMs;
    // The user came back since the last check, so a new idle period starts,
    // when the idle time grew by less than the time that passed (with a
    // second's slack for the idle counter's steps): input between two checks
    // counts even where the idle time has passed the timeout again by the
    // second check.
    constexpr std::int64_t kSlackMs = 1000;
    if (in.nowMs && lastNowMs_) {
        if (idle + kSlackMs < lastIdleMs_ + (*in.nowMs - *lastNowMs_))
            startedThisIdle_ = false;
    } else if (idle < lastIdleMs_) {
        startedThisIdle_ = false;
    }
    lastIdleMs_ = idle;
    lastNowMs_ = in.nowMs;
    if (in.saverRunning) {
        startedThisIdle_ = true;
        d.nextCheckMs = 5000;
        d.reason = "the saver runs";
        return d;
    }
    d.reason = "the saver is switched off";
    if (!in.active || in.timeoutSeconds <= 0)
        return d;
    const std::int64_t timeoutMs = std::int64_t{in.timeoutSeconds} * 1000;
    if (idle >= timeoutMs) {
        if (in.inhibited || startedThisIdle_) {
            // Look again soon: the inhibitor may go, or input may start a
            // new period that is then counted from its start.
            d.nextCheckMs = 5000;
            d.reason =
                in.inhibited ? "held off by a program" : "already started in this idle period";
            return d;
        }
        startedThisIdle_ = true;
        d.startSaver = true;
        d.nextCheckMs = 5000;
        d.reason = "starting the saver";
        return d;
    }
    d.reason = "the user is active";
    d.nextCheckMs = static_cast<int>(
        std::clamp<std::int64_t>(timeoutMs - idle, kShortestWaitMs, kLongestWaitMs));
    return d;
}

} // namespace skyloom::platform
