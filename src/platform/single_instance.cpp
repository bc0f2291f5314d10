#include "platform/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

constexpr char kShowRequest[] = "show\n";
constexpr char kShowAnswer[] = "ok\n";

QString UserSuffix() {
    return QString::number(::getuid());
}

} // namespace

QString SingleInstance::DefaultRuntimeDir() {
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    // Without a runtime folder: our own folder in the temporary directory, which only
    // its owner may enter.
    QString dir = QDir::tempPath() + QStringLiteral("/quillnote-") + UserSuffix();
    const QByteArray native = QFile::encodeName(dir);
    ::mkdir(native.constData(), 0700);
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid()) {
        ::chmod(native.constData(), 0700);
        return dir;
    }
    // Someone else's folder of that name: use the user's home instead.
    return QDir::homePath();
}

SingleInstance::SingleInstance(QString runtimeDir, QString name, QObject* parent)
    : QObject(parent), dir_(runtimeDir.isEmpty() ? DefaultRuntimeDir() : std::move(runtimeDir)),
      name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (server_)
        server_->close();
    if (lock_)
        lock_->unlock();
}

QString SingleInstance::ServerPath() const {
    return QDir(dir_).filePath(name_ + QLatin1Char('-') + UserSuffix() + QStringLiteral(".sock"));
}

QString SingleInstance::LockPath() const {
    return QDir(dir_).filePath(name_ + QLatin1Char('-') + UserSuffix() + QStringLiteral(".lock"));
}

bool SingleInstance::Claim() {
    if (server_)
        return true;
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Held for the whole run: never stale by age, only when its process is gone.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError)
            return false;
        // The folder cannot hold a lock: run unguarded rather than not at all.
        lock_.reset();
        return true;
    }
    // We hold the lock, so a socket file still there belongs to a dead instance.
    QLocalServer::removeServer(ServerPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
    if (!server_->listen(ServerPath())) {
        // Still the only instance; later starts just cannot reach us.
        delete server_;
        server_ = nullptr;
    }
    return true;
}

void SingleInstance::OnNewConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray line = socket->readLine(64);
                if (line == kShowRequest) {
                    socket->write(kShowAnswer);
                    socket->flush();
                    Q_EMIT ShowRequested();
                }
            }
            // Anything else that long is not ours.
            if (socket->bytesAvailable() > 64)
                socket->abort();
        });
    }
}

bool SingleInstance::NotifyRunning(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(ServerPath());
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(kShowRequest);
            if (socket.waitForBytesWritten(int(deadline.remainingTime()))) {
                QByteArray answer;
                while (!answer.contains('\n') &&
                       socket.waitForReadyRead(int(deadline.remainingTime())))
                    answer += socket.readAll();
                if (answer.startsWith(kShowAnswer))
                    return true;
            }
        }
        // The running instance may still be starting: try again shortly.
        QThread::msleep(25);
    }
    return false;
}

} // namespace quill
