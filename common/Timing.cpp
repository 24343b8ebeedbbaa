#include "Timing.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace skyloom {
namespace {

long long nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

struct TimingOrigin {
    bool enabled = false;
    long long origin = 0;
    TimingOrigin() {
        const char* value = std::getenv("SKYLOOM_TIMING");
        if (!value || !*value)
            return;
        enabled = true;
        char* end = nullptr;
        const long long given = std::strtoll(value, &end, 10);
        origin = (end && *end == '\0' && given > 0) ? given : nowNs();
    }
};

const TimingOrigin& timingOrigin() {
    static const TimingOrigin origin;
    return origin;
}

} // namespace

void timingMark(const char* step) {
    const TimingOrigin& t = timingOrigin();
    if (!t.enabled)
        return;
    std::fprintf(stderr, "skyloom[timing]: %.1f ms %s\n", (nowNs() - t.origin) / 1e6, step);
}

} // namespace skyloom
