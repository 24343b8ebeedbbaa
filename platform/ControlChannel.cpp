#include "ControlChannel.h"

#include "Locations.h"
#include "common/Log.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

namespace skyloom::platform {

namespace {

// A command or an answer is one short line; anything longer is not ours.
constexpr qint64 kMaxLine = 4096;

} // namespace

std::string controlSocketPath(const std::string& programName) {
    return runtimeDirectory() + "/" + programName + ".control";
}

ControlServer::ControlServer(std::string programName, Handler handler, QObject* parent)
    : QObject(parent), path_(controlSocketPath(programName)), handler_(std::move(handler)),
      server_(std::make_unique<QLocalServer>()) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_.get(), &QLocalServer::newConnection, this, [this] { serve(); });
}

ControlServer::~ControlServer() {
    server_->close(); // also removes the socket file
}

bool ControlServer::listen(std::string& error) {
    const QString path = QString::fromStdString(path_);
    QLocalServer::removeServer(path);
    if (!server_->listen(path)) {
        error = "cannot listen on " + path_ + ": " + server_->errorString().toStdString();
        return false;
    }
    return true;
}

void ControlServer::serve() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxLine)
                    socket->abort();
                return;
            }
            const std::string command = socket->readLine(kMaxLine).trimmed().toStdString();
            bool ok = true;
            const std::string answer = handler_(command, ok);
            socket->write(QByteArray(ok ? "ok " : "error ") + QByteArray::fromStdString(answer) +
                          '\n');
            socket->flush();
            socket->disconnectFromServer();
        });
    }
}

ControlReply sendControl(const std::string& programName, const std::string& command,
                         int timeoutMs) {
    ControlReply reply;
    const std::string path = controlSocketPath(programName);
    QLocalSocket socket;
    QDeadlineTimer deadline(timeoutMs);
    socket.connectToServer(QString::fromStdString(path));
    if (!socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        reply.text = "no " + programName + " is running";
        return reply;
    }
    socket.write(QByteArray::fromStdString(command) + '\n');
    socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
           !deadline.hasExpired())
        socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    if (!socket.canReadLine()) {
        reply.text = "the running " + programName + " did not answer";
        return reply;
    }
    const QByteArray line = socket.readLine(kMaxLine).trimmed();
    reply.reached = true;
    reply.ok = line.startsWith("ok");
    const qsizetype blank = line.indexOf(' ');
    reply.text = blank < 0 ? std::string() : line.mid(blank + 1).toStdString();
    return reply;
}

} // namespace skyloom::platform
