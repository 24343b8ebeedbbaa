#pragma once
// Idle time on Wayland compositors that offer the ext-idle-notify-v1
// protocol. The protocol does not report an idle time: it says when the
// seat has been idle for a timeout we choose and when the user is back. The
// idle time is therefore known exactly once the timeout has passed, and
// before that only as "less than the timeout".

#include <QObject>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;

namespace skyloom::platform {

class WaylandIdle : public QObject {
    Q_OBJECT
public:
    /// Connects to the compositor of $WAYLAND_DISPLAY; available() tells
    /// whether it offers the protocol.
    explicit WaylandIdle(QObject* parent = nullptr);
    ~WaylandIdle() override;

    bool available() const { return notifier_ != nullptr && seat_ != nullptr; }
    /// Asks to be told after `timeout` of no input (done again when it changes).
    void setTimeout(std::chrono::milliseconds timeout);
    /// Milliseconds of no input, as far as the protocol tells them.
    std::optional<std::int64_t> idleMs() const;

    // Called by the protocol listeners.
    void onIdled();
    void onResumed();
    void onGlobal(void* registry, std::uint32_t name, const char* interface, std::uint32_t version);

private:
    void dispatch();
    void releaseNotification();

    ::wl_display* display_ = nullptr;
    ::wl_registry* registry_ = nullptr;
    ::wl_seat* seat_ = nullptr;
    ::ext_idle_notifier_v1* notifier_ = nullptr;
    ::ext_idle_notification_v1* notification_ = nullptr;
    QSocketNotifier* socket_ = nullptr;
    std::chrono::milliseconds timeout_{0};
    bool idle_ = false;
    std::chrono::steady_clock::time_point since_ = std::chrono::steady_clock::now();
};

} // namespace skyloom::platform
