#include "IdleMonitor.h"

#include "WaylandIdle.h"

#include <QDBusInterface>
#include <QDBusReply>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdlib>

namespace skyloom::platform {
namespace {

constexpr const char* kMutterService = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kMutterPath = "/org/gnome/Mutter/IdleMonitor/Core";

std::optional<std::int64_t> mutterIdle() {
    QDBusInterface monitor(kMutterService, kMutterPath, kMutterService,
                           QDBusConnection::sessionBus());
    if (!monitor.isValid())
        return std::nullopt;
    QDBusReply<quint64> reply = monitor.call("GetIdletime");
    if (!reply.isValid())
        return std::nullopt;
    return static_cast<std::int64_t>(reply.value());
}

} // namespace

IdleMonitor::IdleMonitor() {
    const char* x = std::getenv("DISPLAY");
    if (x && *x) {
        Display* d = XOpenDisplay(nullptr);
        int event = 0, error = 0;
        if (d && XScreenSaverQueryExtension(d, &event, &error)) {
            display_ = d;
            source_ = "X11";
            return;
        }
        if (d)
            XCloseDisplay(d);
    }
    const char* w = std::getenv("WAYLAND_DISPLAY");
    if (w && *w) {
        auto wayland = std::make_unique<WaylandIdle>();
        if (wayland->available()) {
            wayland_ = std::move(wayland);
            source_ = "Wayland";
            return;
        }
    }
    if (mutterIdle())
        source_ = "GNOME";
}

void IdleMonitor::setTimeout(std::chrono::milliseconds timeout) {
    if (wayland_)
        wayland_->setTimeout(timeout);
}

IdleMonitor::~IdleMonitor() {
    if (display_)
        XCloseDisplay(static_cast<Display*>(display_));
}

std::optional<std::int64_t> IdleMonitor::idleMs() {
    if (display_) {
        auto* d = static_cast<Display*>(display_);
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        if (!info)
            return std::nullopt;
        std::optional<std::int64_t> idle;
        if (XScreenSaverQueryInfo(d, DefaultRootWindow(d), info))
            idle = static_cast<std::int64_t>(info->idle);
        XFree(info);
        return idle;
    }
    if (wayland_)
        return wayland_->idleMs();
    if (source_ == "GNOME")
        return mutterIdle();
    return std::nullopt;
}

} // namespace skyloom::platform
