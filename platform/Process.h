#pragma once
// Starting other programs: always with an argument vector, never through a
// shell, standard input from /dev/null. Every program Skyloom starts (desktop
// settings commands, the URL opener, skyloom from the tray, idle activation)
// goes through here; the lock's renderer, which takes commands on its
// standard input, is a ChildProcess (ChildProcess.h).

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skyloom::platform {

/// The program (looked up on PATH unless it holds a "/") and its arguments.
using Command = std::vector<std::string>;

struct ProcessResult {
    bool started = false;  ///< the program could be started at all
    bool timedOut = false; ///< it did not end in time and was stopped
    int exitCode = -1;     ///< exit status when it ended normally
    std::string out;       ///< what it wrote to stdout
    std::string err;       ///< what it wrote to stderr
    bool ok() const { return started && !timedOut && exitCode == 0; }
    /// "exit status 1: <stderr>" and the like, for messages.
    std::string describe() const;
};

/// Runs the command to its end (at most `timeout`, then it is killed).
ProcessResult runProcess(const Command& command,
                         std::chrono::milliseconds timeout = std::chrono::seconds(15));

/// True when the program can be found on PATH (or is an executable path).
bool programAvailable(const std::string& program);

/// Variables set for a started program on top of this process's environment.
using EnvironmentAdditions = std::vector<std::pair<std::string, std::string>>;

/// Starts a program detached from this one (it is not a child and outlives
/// this process). Its process id, or 0 with the reason in `error`.
std::int64_t startDetached(const Command& command, std::string* error = nullptr,
                           const EnvironmentAdditions& environment = {});

/// True while process `pid` exists.
bool processAlive(std::int64_t pid);
/// True while process `pid` runs the program named `program` (its base name).
bool processRunning(std::int64_t pid, const std::string& program);
/// Asks a process to end (SIGTERM).
void stopProcess(std::int64_t pid);

} // namespace skyloom::platform
