#include "ChildProcess.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace skyloom::platform {

ChildProcess::ChildProcess(QObject* parent) : QObject(parent) {}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::start(const Command& command, const EnvironmentAdditions& environment) {
    if (process_ || command.empty())
        return false;
    process_ = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        env.insert(QString::fromStdString(name), QString::fromStdString(value));
    process_->setProcessEnvironment(env);
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setChildProcessModifier([] {
        // The child must not inherit signals this program ignores, and must
        // not outlive it.
        for (int sig = 1; sig < NSIG; ++sig)
            if (sig != SIGKILL && sig != SIGSTOP)
                std::signal(sig, SIG_DFL);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    connect(process_, &QProcess::readyReadStandardOutput, this, &ChildProcess::readLines);
    connect(process_, &QProcess::started, this, [this] {
        if (started)
            started();
    });
    connect(process_, &QProcess::finished, this, &ChildProcess::finish);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            finish();
    });
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    process_->start(QString::fromStdString(command.front()), arguments);
    return true;
}

void ChildProcess::tell(const std::string& line) {
    if (process_ && process_->state() == QProcess::Running) {
        process_->write(line.data(), static_cast<qint64>(line.size()));
        process_->write("\n");
    }
}

void ChildProcess::stop() {
    if (!process_)
        return;
    QProcess* p = process_;
    process_ = nullptr;
    p->disconnect(this);
    if (p->state() != QProcess::NotRunning) {
        p->terminate();
        if (!p->waitForFinished(2000)) {
            p->kill();
            p->waitForFinished(2000);
        }
    }
    p->deleteLater();
}

void ChildProcess::finish() {
    if (!process_)
        return;
    process_->deleteLater();
    process_ = nullptr;
    if (ended)
        ended();
}

void ChildProcess::readLines() {
    while (process_ && process_->canReadLine()) {
        QByteArray line = process_->readLine();
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (said)
            said(line.toStdString());
    }
}

} // namespace skyloom::platform
