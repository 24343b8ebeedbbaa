#pragma once
// Starting desktop commands (gsettings, xfconf-query, ...) with argument
// vectors, never through a shell. Backends take a CommandRunner so that tests
// can record the exact commands and answer them.

#include "platform/Process.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::platform::wallpaper {

using Command = platform::Command;
using CommandResult = platform::ProcessResult;

class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    /// Runs the command to its end (at most `timeout`, then it is stopped).
    virtual CommandResult run(const Command& command,
                              std::chrono::milliseconds timeout = std::chrono::seconds(15)) = 0;
    /// True when the program can be found on PATH.
    virtual bool available(const std::string& program) = 0;
    /// Starts a long-running command detached from this process; its process
    /// id, or 0 when it could not be started.
    virtual std::int64_t startDetached(const Command& command) = 0;
    /// True while process `pid` runs the program named `program`.
    virtual bool running(std::int64_t pid, const std::string& program) = 0;
    /// Ends a process this program started earlier (SIGTERM).
    virtual void stop(std::int64_t pid) = 0;
    /// Waits before the next step (swaybg's hand-over).
    virtual void pause(std::chrono::milliseconds duration) = 0;
};

/// The real runner: the platform's process starter.
class ProcessRunner : public CommandRunner {
public:
    CommandResult run(const Command& command, std::chrono::milliseconds timeout) override;
    bool available(const std::string& program) override;
    std::int64_t startDetached(const Command& command) override;
    bool running(std::int64_t pid, const std::string& program) override;
    void stop(std::int64_t pid) override;
    void pause(std::chrono::milliseconds duration) override;
};

} // namespace skyloom::platform::wallpaper
