#pragma once
// When to start the saver: after the user has been idle for the timeout,
// once per idle period, never while a program inhibits it or while a saver
// already runs. The caller asks again after the delay each decision gives,
// so nothing polls faster than needed.

#include <cstdint>
#include <optional>
#include <string_view>

namespace skyloom::platform {

struct IdleInputs {
    bool active = false;                // the saver is switched on
    int timeoutSeconds = 600;           // idle time before it starts
    std::optional<std::int64_t> idleMs; // time since the last input; unknown: nullopt
    bool inhibited = false;             // a program holds an inhibitor
    bool saverRunning = false;
    /// A steady clock's reading at the check (ms); unknown: nullopt.
    std::optional<std::int64_t> nowMs;
};

struct IdleDecision {
    bool startSaver = false;
    int nextCheckMs = 0;
    // Why: for the daemon's log, so a test or a user can see what it decided.
    std::string_view reason;
};

class IdleActivation {
public:
    IdleDecision check(const IdleInputs& in);

    static constexpr int kLongestWaitMs = 60000;
    static constexpr int kShortestWaitMs = 500;

private:
    bool startedThisIdle_ = false;
    std::int64_t lastIdleMs_ = 0;
    std::optional<std::int64_t> lastNowMs_;
};

} // namespace skyloom::platform
