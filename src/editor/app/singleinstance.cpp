#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace mb {

namespace {

// One message per connection: the path in UTF-8 and a line feed; the editor answers "ok\n".
constexpr int kMaxMessage = 64 * 1024;

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &name, QObject *parent) : QObject(parent)
{
    QString dir = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
    QString base = name;
    if (dir.isEmpty()) {
        // The temporary folder is shared by all users: the user name keeps the files apart.
        dir = QDir::tempPath();
        base = name + u'-' + qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    }
    m_lockPath = QDir(dir).filePath(base + QStringLiteral(".lock"));
    m_socketPath = QDir(dir).filePath(base + QStringLiteral(".socket"));
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // Only a lock whose process is gone is stale, however old it is.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return;
    m_acquired = true;
    // Whoever holds the lock owns the socket name: a file left there is from a crashed editor.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_socketPath))
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    else
        qWarning("mossbramble: cannot listen on %s: %s", qPrintable(m_socketPath),
                 qPrintable(m_server->errorString()));
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close(); // removes the socket file
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxMessage)
                    socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(socket->readLine(kMaxMessage)).chopped(1);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            emit projectRequested(path);
        });
    }
}

bool SingleInstance::handOver(const QString &projectPath, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(std::max<qint64>(100, deadline.remainingTime()))) {
            socket.write(projectPath.toUtf8() + '\n');
            if (!socket.waitForBytesWritten(int(std::max<qint64>(100, deadline.remainingTime()))))
                return false;
            // The answer tells that the editor read the whole path.
            while (!socket.canReadLine()) {
                if (!socket.waitForReadyRead(int(std::max<qint64>(100, deadline.remainingTime()))))
                    return false;
            }
            return socket.readLine() == "ok\n";
        }
        // The editor holds the lock but may not listen yet: it is starting.
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return false;
}

QString handOverPath(const QString &projectPath)
{
    if (projectPath.isEmpty() || (!projectPath.contains(u'/') && !projectPath.contains(u'\\')))
        return projectPath;
    return QFileInfo(projectPath).absoluteFilePath();
}

} // namespace mb
