#pragma once
// A running program's control channel: a local socket in the run-time folder
// on which another copy of the same program sends one command line and reads
// one answer line. Only the holder of the program's single-instance lock
// listens, so a socket file left by a copy that died is simply replaced.

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace skyloom::platform {

struct ControlReply {
    bool reached = false; ///< a running copy answered
    bool ok = false;      ///< it did what was asked
    std::string text;     ///< its answer, or why no copy answered
};

/// The socket of `programName`'s channel.
std::string controlSocketPath(const std::string& programName);

class ControlServer : public QObject {
    Q_OBJECT
public:
    /// Answers one command (a word such as "next"); `ok` false for a refusal.
    using Handler = std::function<std::string(const std::string& command, bool& ok)>;

    ControlServer(std::string programName, Handler handler, QObject* parent = nullptr);
    ~ControlServer() override;

    /// Starts listening; false with the reason in `error`.
    bool listen(std::string& error);

private:
    void serve();

    std::string path_;
    Handler handler_;
    std::unique_ptr<QLocalServer> server_;
};

/// Sends `command` to the running copy of `programName` and waits (at most
/// `timeoutMs`) for its answer.
ControlReply sendControl(const std::string& programName, const std::string& command,
                         int timeoutMs = 10000);

} // namespace skyloom::platform
