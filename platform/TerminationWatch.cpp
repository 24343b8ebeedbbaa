#include "TerminationWatch.h"

#include "common/Log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace skyloom::platform {
namespace {

int wakeFds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int) {
    // Only what is safe in a signal handler: one byte down the pipe.
    const int saved = errno;
    const char byte = 1;
    (void)!::write(wakeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationWatch::TerminationWatch(std::function<void()> handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
    if (wakeFds[0] >= 0 || ::pipe2(wakeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        logWarning("platform", "cannot watch for termination signals");
        return;
    }
    notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char buffer[16];
        while (::read(wakeFds[0], buffer, sizeof buffer) > 0) {
        }
        logInfo("platform", "termination signal: ending");
        if (handler_)
            handler_();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
}

TerminationWatch::~TerminationWatch() {
    if (!notifier_)
        return;
    for (int sig : kSignals)
        std::signal(sig, SIG_DFL);
    delete notifier_;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

} // namespace skyloom::platform
