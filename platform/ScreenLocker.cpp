#include "ScreenLocker.h"

#include "X11ScreenLocker.h"

#include <QGuiApplication>

#include <csignal>

namespace skyloom::platform {

std::unique_ptr<ScreenLocker> makeScreenLocker() {
    if (QGuiApplication::platformName() == "xcb")
        return std::make_unique<X11ScreenLocker>();
    return nullptr;
}

void ignoreEndingSignals() {
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig == SIGKILL || sig == SIGSTOP || sig == SIGCHLD || sig == SIGCONT ||
            sig == SIGWINCH || sig == SIGURG)
            continue;
        std::signal(sig, SIG_IGN);
    }
}

} // namespace skyloom::platform
