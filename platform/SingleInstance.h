#pragma once
// "Is another copy of this program running?" per user and per program.
// The first process takes an exclusive lock on a file in the run-time folder
// (an open-file-description lock) and keeps it for its whole life; the
// kernel releases it when the process ends in any way, even by SIGKILL, so
// the test is race-free and never left stale.

#include <string>

namespace skyloom::platform {

class SingleInstance {
public:
    explicit SingleInstance(const std::string& programName);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    /// True when another process of the same program holds the lock.
    bool previousInstance() const { return !owner_; }

    /// True when some process holds the lock of `programName`. Only looks:
    /// the lock is never taken, so a process that takes it at the same
    /// moment is not turned away.
    static bool heldElsewhere(const std::string& programName);

private:
    int fd_ = -1;
    bool owner_ = false;
};

} // namespace skyloom::platform
