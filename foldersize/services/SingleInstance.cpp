// SingleInstance.cpp: QLockFile plus QLocalServer/QLocalSocket hand-over.
#include "foldersize/services/SingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "foldersize/services/ProgramPaths.h"

namespace foldersize {

SingleInstance::SingleInstance(QString folder, QString name, QObject* parent)
    : QObject(parent)
{
    if (folder.isEmpty())
        folder = runtimeFolder();
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    m_socketPath = folder + QLatin1Char('/') + name + QStringLiteral(".socket");
    m_lockPath = folder + QLatin1Char('/') + name + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock whose owner process is gone is stale at once.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

bool SingleInstance::tryBecomeFirst()
{
    if (m_first)
        return true;
    if (!m_lock->tryLock(0))
        return false;
    m_first = true;
    // We hold the lock, so a socket file can only be a leftover of a crashed copy.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_server->listen(m_socketPath);
    return true;
}

QByteArray SingleInstance::encode(const std::vector<std::string>& folders)
{
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s << quint32(folders.size());
    for (const auto& f : folders)
        s << QByteArray(f.data(), static_cast<qsizetype>(f.size()));
    return out;
}

bool SingleInstance::decode(const QByteArray& bytes, std::vector<std::string>& folders)
{
    QDataStream s(bytes);
    quint32 n = 0;
    s >> n;
    if (s.status() != QDataStream::Ok || n > 100000)
        return false;
    folders.clear();
    for (quint32 i = 0; i < n; ++i) {
        QByteArray b;
        s >> b;
        if (s.status() != QDataStream::Ok)
            return false;
        folders.emplace_back(b.constData(), static_cast<std::size_t>(b.size()));
    }
    return true;
}

bool SingleInstance::sendToFirst(const std::vector<std::string>& folders, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    // The first copy may still be starting: try again for a short while.
    for (;;) {
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(qMax(1, timeoutMs - static_cast<int>(clock.elapsed()))))
            break;
        if (clock.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
    const QByteArray payload = encode(folders);
    QByteArray frame;
    {
        QDataStream out(&frame, QIODevice::WriteOnly);
        out << payload;
    }
    socket.write(frame);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(qMax(1, timeoutMs - static_cast<int>(clock.elapsed())));
    return true;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        auto handle = [this, socket, buffer] {
            *buffer += socket->readAll();
            QDataStream s(*buffer);
            s.startTransaction();
            QByteArray payload;
            s >> payload;
            if (!s.commitTransaction())
                return; // wait for the rest
            buffer->clear();
            std::vector<std::string> folders;
            if (decode(payload, folders))
                emit foldersReceived(folders);
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        if (socket->bytesAvailable() > 0)
            handle();
    }
}

} // namespace foldersize
