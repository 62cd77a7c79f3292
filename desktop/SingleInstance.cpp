#include "desktop/SingleInstance.h"

#include "platform/ProgramFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavi {
namespace {

constexpr char kShowRequest[] = "show\n";
constexpr int kConnectTimeoutMs = 2000;

} // namespace

SingleInstance::SingleInstance(const QString &programFolder, QObject *parent)
    : QObject(parent), folder_(programFolder)
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = server_.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains('\n'))
                    emit showRequested();
            });
        }
    });
}

SingleInstance::~SingleInstance()
{
    server_.close();
    if (lockFd_ >= 0)
        ::close(lockFd_); // releases the lock
}

QString SingleInstance::socketName(const QString &programFolder)
{
    const QString canonical = QDir(programFolder).canonicalPath();
    const QByteArray key = (canonical.isEmpty() ? programFolder : canonical).toUtf8();
    return QStringLiteral("tavi-%1-%2")
        .arg(getuid())
        .arg(QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(16)));
}

bool SingleInstance::claim()
{
    const QString lockPath = resolvePath(folder_, QStringLiteral("Data\\tavi.lock"));
    lockFd_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd_ < 0)
        return true;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lockFd_);
        lockFd_ = -1;
        if (!askRunningToShow())
            qWarning("tavi: another start of this program folder is running but does not answer");
        return false;
    }
    // A socket left by a crashed start is ours to replace: we hold the lock.
    const QString name = socketName(folder_);
    QLocalServer::removeServer(name);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(name))
        qWarning("tavi: cannot listen for later starts: %s", qPrintable(server_.errorString()));
    return true;
}

bool SingleInstance::askRunningToShow() const
{
    // The running program may have taken the lock an instant ago and not be
    // listening yet: try for a while.
    QElapsedTimer waited;
    waited.start();
    do {
        QLocalSocket socket;
        socket.connectToServer(socketName(folder_));
        if (socket.waitForConnected(200)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(kConnectTimeoutMs);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    } while (waited.elapsed() < kConnectTimeoutMs);
    return false;
}

} // namespace tavi
