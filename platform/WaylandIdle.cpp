#include "WaylandIdle.h"

#include "ext-idle-notify-v1-client-protocol.h"

#include <QSocketNotifier>

#include <cstring>
#include <wayland-client.h>

namespace skyloom::platform {
namespace {

void globalAdded(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                 std::uint32_t version) {
    static_cast<WaylandIdle*>(data)->onGlobal(registry, name, interface, version);
}
void globalRemoved(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener registryListener{globalAdded, globalRemoved};

void idled(void* data, ext_idle_notification_v1*) {
    static_cast<WaylandIdle*>(data)->onIdled();
}
void resumed(void* data, ext_idle_notification_v1*) {
    static_cast<WaylandIdle*>(data)->onResumed();
}
const ext_idle_notification_v1_listener notificationListener{idled, resumed};

} // namespace

WaylandIdle::WaylandIdle(QObject* parent) : QObject(parent) {
    display_ = wl_display_connect(nullptr);
    if (!display_)
        return;
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &registryListener, this);
    wl_display_roundtrip(display_); // the globals arrive here
    socket_ = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, this);
    connect(socket_, &QSocketNotifier::activated, this, &WaylandIdle::dispatch);
}

WaylandIdle::~WaylandIdle() {
    releaseNotification();
    if (notifier_)
        ext_idle_notifier_v1_destroy(notifier_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (registry_)
        wl_registry_destroy(registry_);
    if (display_)
        wl_display_disconnect(display_);
}

void WaylandIdle::onGlobal(void* registry, std::uint32_t name, const char* interface,
                           std::uint32_t version) {
    auto* r = static_cast<wl_registry*>(registry);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat_) {
        seat_ = static_cast<wl_seat*>(wl_registry_bind(r, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !notifier_) {
        (void)version;
        notifier_ = static_cast<ext_idle_notifier_v1*>(
            wl_registry_bind(r, name, &ext_idle_notifier_v1_interface, 1));
    }
}

void WaylandIdle::releaseNotification() {
    if (notification_) {
        ext_idle_notification_v1_destroy(notification_);
        notification_ = nullptr;
    }
}

void WaylandIdle::setTimeout(std::chrono::milliseconds timeout) {
    if (!available() || timeout == timeout_ || timeout.count() <= 0)
        return;
    timeout_ = timeout;
    releaseNotification();
    idle_ = false;
    since_ = std::chrono::steady_clock::now();
    notification_ = ext_idle_notifier_v1_get_idle_notification(
        notifier_, static_cast<std::uint32_t>(timeout.count()), seat_);
    ext_idle_notification_v1_add_listener(notification_, &notificationListener, this);
    wl_display_flush(display_);
}

std::optional<std::int64_t> WaylandIdle::idleMs() const {
    if (!available() || !notification_)
        return std::nullopt;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - since_)
                             .count();
    if (idle_)
        return timeout_.count() + elapsed;
    // Not idle for the timeout yet: at most just under it.
    return std::min<std::int64_t>(elapsed, timeout_.count() - 1);
}

void WaylandIdle::onIdled() {
    idle_ = true;
    since_ = std::chrono::steady_clock::now();
}

void WaylandIdle::onResumed() {
    idle_ = false;
    since_ = std::chrono::steady_clock::now();
}

void WaylandIdle::dispatch() {
    if (wl_display_dispatch(display_) < 0) {
        socket_->setEnabled(false); // the compositor went away
        releaseNotification();
    }
}

} // namespace skyloom::platform
