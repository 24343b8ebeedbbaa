#pragma once
// A helper program that lives as long as this one needs it: it gets lines
// on its standard input and answers with lines on its standard output, its
// errors go to this program's stderr, its signals are the defaults whatever
// this program ignores, and it is killed when this program ends.

#include "Process.h"

#include <QObject>

#include <functional>
#include <string>

class QProcess;

namespace skyloom::platform {

class ChildProcess : public QObject {
public:
    explicit ChildProcess(QObject* parent = nullptr);
    /// Stops the child (see stop()).
    ~ChildProcess() override;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Starts `command` with `environment` added; false when one runs
    /// already. Whether it could be started is told by started or ended.
    bool start(const Command& command, const EnvironmentAdditions& environment);
    /// True from start() until the child ended or was stopped.
    bool active() const { return process_ != nullptr; }
    /// Sends one line (a newline is added) while the child runs.
    void tell(const std::string& line);
    /// Ends the child: asks, then kills it when it has not ended within two
    /// seconds. No callback follows.
    void stop();

    std::function<void()> started;
    /// One line the child wrote, without its line end.
    std::function<void(const std::string&)> said;
    /// The child ended by itself or could not be started at all.
    std::function<void()> ended;

private:
    void readLines();
    void finish();

    QProcess* process_ = nullptr;
};

} // namespace skyloom::platform
