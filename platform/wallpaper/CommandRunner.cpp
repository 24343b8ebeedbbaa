#include "CommandRunner.h"

#include <thread>

namespace skyloom::platform::wallpaper {

CommandResult ProcessRunner::run(const Command& command, std::chrono::milliseconds timeout) {
    return runProcess(command, timeout);
}

bool ProcessRunner::available(const std::string& program) {
    return programAvailable(program);
}

std::int64_t ProcessRunner::startDetached(const Command& command) {
    return platform::startDetached(command);
}

bool ProcessRunner::running(std::int64_t pid, const std::string& program) {
    return processRunning(pid, program);
}

void ProcessRunner::stop(std::int64_t pid) {
    stopProcess(pid);
}

void ProcessRunner::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace skyloom::platform::wallpaper
