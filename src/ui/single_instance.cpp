#include "ui/single_instance.hpp"

#include <unistd.h>

#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

namespace gantrylux {
namespace {

// A message larger than this is no hand-over; it is dropped unread.
constexpr qint64 kLargestMessage = 256 * 1024 * 1024;
// The running window answers at once unless it is still being built or a box is open.
constexpr int kAnswerPatienceMs = 10000;
constexpr char kTaken = 'y';

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
        }
    });
}

QString SingleInstance::socketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    }
    return QDir(folder).filePath(QStringLiteral("gantrylux-%1").arg(getuid()));
}

SingleInstance::Role SingleInstance::claim(const HandOver& mine) {
    const QString path = socketPath();
    QLockFile choosing(path + QStringLiteral(".lock"));
    if (!choosing.tryLock(kAnswerPatienceMs)) {
        failure_ = QStringLiteral("cannot lock %1.lock").arg(path);
        return Role::Alone;
    }
    if (handOver(mine)) {
        return Role::HandedOver;
    }
    if (!failure_.isEmpty()) {
        return Role::Alone;
    }
    // Nobody answers at the path: what is there was left by a program that has ended.
    QLocalServer::removeServer(path);
    if (!server_.listen(path)) {
        failure_ = QStringLiteral("cannot listen at %1: %2").arg(path, server_.errorString());
        return Role::Alone;
    }
    return Role::First;
}

// True once the running window has taken the paths. A window that is there but does not take
// them in time leaves a failure; no window leaves none.
bool SingleInstance::handOver(const HandOver& mine) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(1000)) {
        return false;
    }
    const std::string message = PackHandOver(mine);
    QDataStream out(&socket);
    out << static_cast<quint64>(message.size());
    out.writeRawData(message.data(), static_cast<int>(message.size()));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kAnswerPatienceMs)) {
    }
    char answer = 0;
    while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(kAnswerPatienceMs)) {
    }
    if (socket.read(&answer, 1) == 1 && answer == kTaken) {
        return true;
    }
    failure_ = QStringLiteral("the running window at %1 did not answer").arg(socketPath());
    return false;
}

// Reads one message as it arrives, never waiting: the window goes on serving meanwhile.
void SingleInstance::serve(QLocalSocket* socket) {
    auto received = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, received] {
        received->append(socket->readAll());
        if (received->size() < 8) {
            return;
        }
        quint64 size = 0;
        QDataStream(*received) >> size;
        if (size > static_cast<quint64>(kLargestMessage)) {
            socket->abort();
            return;
        }
        if (static_cast<quint64>(received->size()) < 8 + size) {
            return;
        }
        const std::optional<HandOver> handOver =
            UnpackHandOver(std::string_view(received->constData() + 8, size));
        if (!handOver) {
            socket->abort();
            return;
        }
        socket->write(&kTaken, 1);
        socket->flush();
        emit handedOver(*handOver);
    });
}

}  // namespace gantrylux
