#pragma once
// Ends a program tidily on SIGTERM, SIGINT or SIGHUP: the signal only wakes
// the event loop, which then calls the handler (so that, for example, the
// saver clears its saver-running state instead of leaving it behind).

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace skyloom::platform {

class TerminationWatch : public QObject {
    Q_OBJECT
public:
    /// One watch at a time; the signals get their default action back when
    /// it is destroyed.
    explicit TerminationWatch(std::function<void()> handler, QObject* parent = nullptr);
    ~TerminationWatch() override;
    TerminationWatch(const TerminationWatch&) = delete;
    TerminationWatch& operator=(const TerminationWatch&) = delete;

private:
    std::function<void()> handler_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace skyloom::platform
