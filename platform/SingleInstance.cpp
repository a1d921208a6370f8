#include "SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace rm {

namespace {

constexpr char kRestoreRequest[] = "restore\n";
constexpr char kRestoreAnswer[] = "ok\n";

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    return folder;
}

} // namespace

SingleInstance::SingleInstance(QString name, QStringList siblings, std::chrono::milliseconds answerWait,
                               QObject* parent)
    : QObject(parent), name_(std::move(name)), siblings_(std::move(siblings)), answerWait_(answerWait) {}

SingleInstance::~SingleInstance() {
    server_.reset();  // removes the socket file while the lock is still held
    if (lockFd_ >= 0)
        ::close(lockFd_);  // drops the lock
}

QString SingleInstance::runtimePath(const QString& name, const QString& suffix) {
    return QDir(runtimeFolder()).filePath(name + suffix);
}

QString SingleInstance::lockPath() const { return runtimePath(name_, QStringLiteral(".lock")); }
QString SingleInstance::serverPath() const { return runtimePath(name_, QStringLiteral(".sock")); }

bool SingleInstance::tryLock() {
    if (lockFd_ >= 0)
        return true;
    const QByteArray path = QFile::encodeName(lockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    int result;
    do
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

SingleInstance::StartDecision SingleInstance::start() {
    const bool locked = tryLock();
    for (const QString& sibling : siblings_) {
        // Our own server does not exist yet, so a start never asks itself.
        if (requestRestore(runtimePath(sibling, QStringLiteral(".sock")), answerWait_))
            return StartDecision::OtherRaised;
    }
    return locked ? StartDecision::Run : StartDecision::DeviceInUse;
}

bool SingleInstance::requestRestore(const QString& serverName, std::chrono::milliseconds wait) {
    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return static_cast<int>(std::max<qint64>(0, wait.count() - clock.elapsed())); };

    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(left()))
        return false;
    socket.write(kRestoreRequest);
    if (!socket.waitForBytesWritten(left()))
        return false;
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(left()))
            return false;
        answer += socket.readAll();
    }
    return answer == kRestoreAnswer;
}

bool SingleInstance::listen() {
    if (!holdsLock())
        return false;
    if (server_)
        return true;
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    // Holding the lock, any socket file of this name is a crashed program's.
    QLocalServer::removeServer(serverPath());
    if (!server->listen(serverPath()))
        return false;
    server_ = std::move(server);
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::answerConnections);
    return true;
}

void SingleInstance::answerConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto readRequest = [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray request = socket->readLine();
            if (request == kRestoreRequest)
                emit restoreRequested();
            socket->write(kRestoreAnswer);
            socket->flush();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
    }
}

} // namespace rm
