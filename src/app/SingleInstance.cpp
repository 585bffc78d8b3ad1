#include "app/SingleInstance.h"

#include <cstring>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <unistd.h>

namespace {
// Connections that never finish their message are dropped after this long.
constexpr int ReceiveTimeoutMs = 5000;
} // namespace

TSingleInstance::TSingleInstance(QObject* parent)
    : QObject(parent)
{
}

TSingleInstance::~TSingleInstance()
{
    if (FServer)
        FServer->close();
}

QString TSingleInstance::RuntimeFolder()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::tempPath() + QStringLiteral("/orvanta-%1").arg(::getuid());
    QDir().mkpath(dir);
    return dir;
}

QString TSingleInstance::SocketPath()
{
    return RuntimeFolder() + u'/' + QLatin1String(ServerName);
}

bool TSingleInstance::TryLock()
{
    FLock = std::make_unique<QLockFile>(SocketPath() + u".lock"_qs);
    // A lock whose owner process is gone is stale and taken over by tryLock itself.
    FLock->setStaleLockTime(0);
    if (FLock->tryLock(0))
        return true;
    FLock.reset();
    return false;
}

bool TSingleInstance::Listen()
{
    const QString path = SocketPath();
    // A socket file left by a killed instance would block listening; the lock says it is ours now.
    QLocalServer::removeServer(path);
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(FServer, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
    return FServer->listen(path);
}

void TSingleInstance::Accept()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        QPointer<QLocalSocket> guard(socket);
        auto finish = [this, socket, buffer] {
            if (socket->property("done").toBool())
                return;
            socket->setProperty("done", true);
            Q_EMIT Received(*buffer);
            // Closing tells the second start its text has been taken.
            socket->disconnectFromServer();
            socket->deleteLater();
        };
        connect(socket, &QLocalSocket::readyRead, socket, [socket, buffer, finish] {
            buffer->append(socket->readAll());
            // The text ends with a zero UTF-16 unit at an even offset.
            for (qsizetype i = 0; i + 1 < buffer->size(); i += 2)
                if ((*buffer)[i] == 0 && (*buffer)[i + 1] == 0) {
                    finish();
                    return;
                }
        });
        connect(socket, &QLocalSocket::disconnected, socket, [socket] {
            if (!socket->property("done").toBool())
                socket->deleteLater();
        });
        QTimer::singleShot(ReceiveTimeoutMs, socket, [guard] {
            if (guard && !guard->property("done").toBool())
                guard->abort();
        });
    }
}

QByteArray TSingleInstance::Encode(const QString& Argument)
{
    QByteArray bytes(reinterpret_cast<const char*>(Argument.utf16()), Argument.size() * 2);
    bytes.append(2, '\0');
    return bytes;
}

QString TSingleInstance::Decode(const QByteArray& Bytes)
{
    QString text(Bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(text.data(), Bytes.constData(), size_t(text.size()) * 2);
    const qsizetype end = text.indexOf(QChar(u'\0'));
    return end < 0 ? text : text.left(end);
}

bool TSingleInstance::Forward(const QString& Argument, int TimeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(TimeoutMs))
        return false;
    socket.write(Encode(Argument));
    if (!socket.waitForBytesWritten(TimeoutMs))
        return false;
    // Delivered once the running instance has read the text and closed the connection.
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(TimeoutMs);
    return true;
}
