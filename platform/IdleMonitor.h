#pragma once
// How long the user has been idle: the X screen-saver extension on X11, the
// idle monitor of GNOME's compositor elsewhere.

#include <cstdint>
#include <optional>
#include <string>

namespace skyloom::platform {

class IdleMonitor {
public:
    IdleMonitor();
    ~IdleMonitor();
    IdleMonitor(const IdleMonitor&) = delete;
    IdleMonitor& operator=(const IdleMonitor&) = delete;

    /// Milliseconds since the last keyboard or pointer input; nullopt when
    /// no source can tell.
    std::optional<std::int64_t> idleMs();
    /// "X11", "GNOME" or "" (none available).
    const std::string& source() const { return source_; }

private:
    void* display_ = nullptr; // Display*
    std::string source_;
};

} // namespace skyloom::platform
