#include "support/WhoisTestServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <sys/socket.h>

TWhoisTestServer::TWhoisTestServer(QObject* parent, const QHostAddress& Address, quint16 Port)
    : QObject(parent)
{
    FClock.start();
    connect(&FServer, &QTcpServer::newConnection, this, &TWhoisTestServer::OnConnection);
    if (!FServer.listen(Address, Port))
        qFatal("WHOIS test server: cannot listen on %s: %s", qPrintable(Address.toString()),
            qPrintable(FServer.errorString()));
}

TWhoisTestServer::~TWhoisTestServer() = default;

void TWhoisTestServer::OnConnection()
{
    while (QTcpSocket* socket = FServer.nextPendingConnection()) {
        ++Connections;
        MostAtOnce = std::max(MostAtOnce, ++FOpen);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this] { --FOpen; });
        auto line = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, line] {
            if (line->endsWith('\n'))
                return;
            *line += socket->readAll();
            const qsizetype end = line->indexOf('\n');
            if (end < 0)
                return;
            line->truncate(end + 1);
            Received << *line;
            QByteArray name = *line;
            name.chop(name.endsWith("\r\n") ? 2 : 1);
            Serve(socket, name);
        });
    }
}

void TWhoisTestServer::Serve(QTcpSocket* Socket, const QByteArray& Name)
{
    TBehaviour b = FScript.value(Name, Default);
    b.Text.replace("%N", Name);
    if (Limit.Queries > 0) {
        const qint64 now = FClock.elapsed();
        while (!FAccepted.isEmpty() && FAccepted.first() <= now - Limit.WindowMs)
            FAccepted.removeFirst();
        FAccepted << now;
        if (now < FBlockedUntil || FAccepted.size() > Limit.Queries) {
            ++Refused;
            FBlockedUntil = now + Limit.BlockMs;
            b = { TMode::Answer, Limit.Refusal };
        }
    }
    switch (b.Mode) {
    case TMode::Answer:
        Socket->write(b.Text);
        Socket->disconnectFromHost();
        break;
    case TMode::Reset: {
        Socket->write(b.Text);
        Socket->flush();
        // A zero linger time turns the close into a reset.
        linger l { 1, 0 };
        setsockopt(int(Socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
        Socket->abort();
        break;
    }
    case TMode::Silent:
        break;
    case TMode::Endless:
        if (b.Text.isEmpty())
            break;
        if (b.IntervalMs > 0) {
            auto* timer = new QTimer(Socket);
            connect(timer, &QTimer::timeout, Socket, [Socket, b] { Socket->write(b.Text); });
            timer->start(b.IntervalMs);
        } else {
            // Keep some data queued so the client always has more to read.
            auto refill = [Socket, b] {
                while (Socket->bytesToWrite() < 256 * 1024)
                    Socket->write(b.Text);
            };
            connect(Socket, &QTcpSocket::bytesWritten, Socket, refill);
            refill();
        }
        break;
    case TMode::Drip: {
        auto* timer = new QTimer(Socket);
        auto sent = std::make_shared<qsizetype>(0);
        connect(timer, &QTimer::timeout, Socket, [Socket, b, timer, sent] {
            Socket->write(b.Text.mid(*sent, b.ChunkBytes));
            *sent += b.ChunkBytes;
            if (*sent >= b.Text.size()) {
                timer->stop();
                Socket->disconnectFromHost();
            }
        });
        timer->start(b.IntervalMs);
        break;
    }
    }
}
