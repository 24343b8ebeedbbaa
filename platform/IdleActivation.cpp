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
    // Less idle than last time: the user came back, a new idle period starts.
    if (idle < lastIdleMs_)
        startedThisIdle_ = false;
    lastIdleMs_ = idle;
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
