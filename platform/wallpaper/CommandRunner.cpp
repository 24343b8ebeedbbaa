#include "CommandRunner.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <csignal>
#include <fstream>
#include <thread>

namespace skyloom::platform::wallpaper {

std::string CommandResult::describe() const {
    if (!started)
        return "could not be started";
    if (timedOut)
        return "did not finish in time";
    std::string text = "exit status " + std::to_string(exitCode);
    std::string detail = err.empty() ? out : err;
    while (!detail.empty() && (detail.back() == '\n' || detail.back() == '\r'))
        detail.pop_back();
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

namespace {

QStringList arguments(const Command& command) {
    QStringList args;
    for (std::size_t i = 1; i < command.size(); ++i)
        args << QString::fromStdString(command[i]);
    return args;
}

} // namespace

CommandResult ProcessRunner::run(const Command& command, std::chrono::milliseconds timeout) {
    CommandResult result;
    if (command.empty())
        return result;
    QProcess process;
    process.setProgram(QString::fromStdString(command.front()));
    process.setArguments(arguments(command));
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(static_cast<int>(timeout.count())))
        return result;
    result.started = true;
    if (!process.waitForFinished(static_cast<int>(timeout.count()))) {
        result.timedOut = true;
        process.kill();
        process.waitForFinished(1000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

bool ProcessRunner::available(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

std::int64_t ProcessRunner::startDetached(const Command& command) {
    if (command.empty())
        return 0;
    QProcess process;
    process.setProgram(QString::fromStdString(command.front()));
    process.setArguments(arguments(command));
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    return process.startDetached(&pid) ? pid : 0;
}

bool ProcessRunner::running(std::int64_t pid, const std::string& program) {
    if (pid <= 0)
        return false;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name == program.substr(0, 15);
}

void ProcessRunner::stop(std::int64_t pid) {
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

void ProcessRunner::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

} // namespace skyloom::platform::wallpaper
