#include "support/LoopbackSite.h"

#include <QTcpSocket>

TLoopbackSite::TLoopbackSite()
{
    FServer.listen(QHostAddress::LocalHost, 0);
    connect(&FServer, &QTcpServer::newConnection, this, &TLoopbackSite::Accept);
}

QString TLoopbackSite::Url() const
{
    return u"http://127.0.0.1:"_qs + QString::number(FServer.serverPort());
}

void TLoopbackSite::Accept()
{
    while (QTcpSocket* socket = FServer.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            FPending.remove(socket);
            socket->deleteLater();
        });
    }
}

void TLoopbackSite::Read(QTcpSocket* Socket)
{
    QByteArray& pending = FPending[Socket];
    pending += Socket->readAll();
    const qsizetype end = pending.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QList<QByteArray> requestLine = pending.left(pending.indexOf("\r\n")).split(' ');
    const QString path = requestLine.size() >= 2 ? QString::fromLatin1(requestLine.at(1)) : QString();
    pending.clear();
    FRequests << path;
    Q_EMIT RequestReceived(path);

    const TReply reply = FReplies.value(path, TReply { 404, QByteArrayLiteral("not found"), {}, false });
    if (reply.Silent)
        return;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(reply.Status) + " Scripted\r\n";
    answer += "Content-Length: " + QByteArray::number(reply.Body.size()) + "\r\n";
    answer += "Connection: close\r\n" + reply.Headers + "\r\n" + reply.Body;
    Socket->write(answer);
    Socket->disconnectFromHost();
}
