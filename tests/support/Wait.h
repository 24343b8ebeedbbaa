#pragma once
// Waiting for what another process or thread does: polls until it has
// happened, with a deadline far beyond what an idle machine needs, so that a
// slow (busy or sanitized) run only takes longer and never fails for it.

#include <chrono>
#include <thread>

namespace skyloom::test {

inline constexpr std::chrono::milliseconds kWaitLimit{60000};

// True as soon as done() is; false when the deadline passed first.
template <class Done> bool waitUntil(Done done, std::chrono::milliseconds limit = kWaitLimit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace skyloom::test
