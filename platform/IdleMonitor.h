#pragma once
// How long the user has been idle: the X screen-saver extension on X11; on
// Wayland the ext-idle-notify protocol where the compositor offers it, else
// the idle monitor of GNOME's compositor.

#include <chrono>
#include <cstdint>
#include <memory>
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
    /// "X11", "Wayland", "GNOME" or "" (none available).
    const std::string& source() const { return source_; }
    /// The idle time that matters (the saver's timeout): the Wayland
    /// protocol can only tell when that much has passed.
    void setTimeout(std::chrono::milliseconds timeout);

private:
    void* display_ = nullptr; // Display*
    std::unique_ptr<class WaylandIdle> wayland_;
    std::string source_;
};

} // namespace skyloom::platform
