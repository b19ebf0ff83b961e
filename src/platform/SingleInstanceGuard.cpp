#include "platform/SingleInstanceGuard.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace luming {

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr int kConnectTimeoutMs = 2000;

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& editionKey, QString directory,
                                         QObject* parent)
    : QObject(parent) {
    if (directory.isEmpty())
        directory = QDir::tempPath();
    // The user id keeps two users of one machine apart, as a per-session mutex does.
    const QString base = directory + "/luming-" + editionKey + "-" + QString::number(::getuid());
    lockPath_ = base + ".lock";
    socketPath_ = base + ".sock";
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (server_)
        server_->close();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

bool SingleInstanceGuard::TryBecomeFirst() {
    lockFd_ = ::open(QFile::encodeName(lockPath_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return true;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(lockFd_);
        lockFd_ = -1;
        return !held;
    }

    // We hold the lock, so a socket file left here belongs to a copy that is gone.
    QLocalServer::removeServer(socketPath_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstanceGuard::OnConnection);
    server_->listen(socketPath_);
    return true;
}

void SingleInstanceGuard::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only the one request is known; anything else is ignored.
            while (socket->canReadLine()) {
                if (socket->readLine(64) == kShowRequest)
                    emit showRequested();
            }
            if (socket->bytesAvailable() > 64)
                socket->abort();
        });
    }
}

bool SingleInstanceGuard::AskRunningCopyToShow() {
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kShowRequest);
    const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return sent;
}

} // namespace luming
