#include "QuitSignals.h"

#include "common/Log.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace skyloom::platform {

namespace {

// The handler may only write to a pipe; the event loop reads it.
int quitPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void onQuitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &byte, 1);
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (quitPipe[0] < 0 && ::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        logWarning("platform", "no pipe for the end signals; SIGTERM ends the program at once");
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(quitPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [] {
        char buffer[16];
        while (::read(quitPipe[0], buffer, sizeof buffer) > 0) {
        }
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &action, nullptr);
}

QuitSignals::~QuitSignals() {
    for (int sig : kSignals)
        std::signal(sig, SIG_DFL);
}

} // namespace skyloom::platform
