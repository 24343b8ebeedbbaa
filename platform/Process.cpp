#include "Process.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fstream>

namespace skyloom::platform {
namespace {

void prepare(QProcess& process, const Command& command) {
    QStringList args;
    for (std::size_t i = 1; i < command.size(); ++i)
        args << QString::fromStdString(command[i]);
    process.setProgram(QString::fromStdString(command.front()));
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
}

} // namespace

std::string ProcessResult::describe() const {
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

ProcessResult runProcess(const Command& command, std::chrono::milliseconds timeout) {
    ProcessResult result;
    if (command.empty())
        return result;
    QProcess process;
    prepare(process, command);
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

bool programAvailable(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

std::int64_t startDetached(const Command& command, std::string* error,
                           const EnvironmentAdditions& environment) {
    if (command.empty()) {
        if (error)
            *error = "no program named";
        return 0;
    }
    QProcess process;
    prepare(process, command);
    if (!environment.empty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : environment)
            env.insert(QString::fromStdString(name), QString::fromStdString(value));
        process.setProcessEnvironment(env);
    }
    qint64 pid = 0;
    if (process.startDetached(&pid) && pid > 0)
        return pid;
    if (error)
        *error = command.front() + ": " + process.errorString().toStdString();
    return 0;
}

bool processAlive(std::int64_t pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

bool processRunning(std::int64_t pid, const std::string& program) {
    if (pid <= 0)
        return false;
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    // The kernel keeps 15 characters of the name.
    return !name.empty() && name == program.substr(0, 15);
}

void stopProcess(std::int64_t pid) {
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

} // namespace skyloom::platform
