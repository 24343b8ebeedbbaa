#pragma once
// Ending the event loop when the process is asked to end (SIGTERM from the
// session or kill, SIGINT from a terminal, SIGHUP when the terminal goes),
// so that what runs after the loop (closing what the program started) runs
// for those too.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace skyloom::platform {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    /// Installs the handlers; the application object must exist. The
    /// signals' default actions come back when this object goes.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace skyloom::platform
