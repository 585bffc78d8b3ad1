#include "support/HttpTestServer.h"

#include "core/common/QuorbelConsts.h"

#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>
#include <sys/socket.h>

namespace
{

QByteArray Reason(int Status)
{
    switch (Status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

// Takes one complete request off the front of Buffer; false while the request is not complete.
bool TakeRequest(QByteArray& Buffer, THttpTestServer::TRequest& Request)
{
    const qsizetype end = Buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return false;
    const QList<QByteArray> lines = Buffer.left(end).split('\n');
    Request = {};
    Request.RequestLine = lines.value(0).trimmed();
    const QList<QByteArray> words = Request.RequestLine.split(' ');
    Request.Method = words.value(0);
    Request.Target = words.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        Request.Headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }
    const qsizetype bodyLength = Request.Header("Content-Length").toLongLong();
    if (Buffer.size() < end + 4 + bodyLength)
        return false;
    Buffer.remove(0, end + 4 + bodyLength);
    return true;
}

} // namespace

QByteArray THttpTestServer::TRequest::Header(const QByteArray& Name) const
{
    for (const auto& [name, value] : Headers)
        if (name.compare(Name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

THttpTestServer::THttpTestServer(QObject* parent)
    : QObject(parent)
    , FServer(std::make_unique<QTcpServer>())
{
    Listen();
}

THttpTestServer::THttpTestServer(const QSslConfiguration& Tls, QObject* parent)
    : QObject(parent)
    , FTls(true)
{
    auto server = std::make_unique<QSslServer>();
    server->setSslConfiguration(Tls);
    FServer = std::move(server);
    Listen();
}

THttpTestServer::~THttpTestServer() = default;

void THttpTestServer::Listen()
{
    // A TLS server has a connection to hand out only once its handshake is done.
    connect(FServer.get(), &QTcpServer::pendingConnectionAvailable, this, &THttpTestServer::OnConnection);
    if (!FServer->listen(QHostAddress::LocalHost))
        qFatal("HTTP test server: cannot listen on 127.0.0.1: %s", qPrintable(FServer->errorString()));
}

QString THttpTestServer::BaseUrl() const
{
    return (FTls ? QStringLiteral("https://127.0.0.1:%1") : QStringLiteral("http://127.0.0.1:%1")).arg(Port());
}

THttpTestServer::TReply THttpTestServer::Text(const QByteArray& Body, const QByteArray& ContentType)
{
    TReply r;
    r.Headers.append({ "Content-Type", ContentType });
    r.Body = Body;
    return r;
}

THttpTestServer::TReply THttpTestServer::Redirect(const QByteArray& Location, int Status)
{
    TReply r;
    r.Status = Status;
    r.Headers.append({ "Location", Location });
    return r;
}

void THttpTestServer::OnConnection()
{
    while (QTcpSocket* socket = FServer->nextPendingConnection()) {
        ++Connections;
        connect(socket, &QTcpSocket::disconnected, this, [this] { ++Closed; });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            TRequest request;
            while (TakeRequest(*buffer, request)) {
                Requests << request;
                const TReply reply = Handler ? Handler(request) : Text(QByteArray());
                if (reply.Silent)
                    continue;
                if (!reply.Raw.isNull()) {
                    SendRaw(socket, reply, 0);
                    return;
                }
                if (reply.Endless) {
                    SendEndless(socket, reply);
                    return;
                }
                QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.Status) + ' ' + Reason(reply.Status) + "\r\n";
                for (const auto& [name, value] : reply.Headers)
                    out += name + ": " + value + "\r\n";
                out += "Content-Length: " + QByteArray::number(reply.Body.size()) + "\r\n\r\n";
                out += reply.Body;
                socket->write(out);
            }
        });
    }
}

void THttpTestServer::SendRaw(QTcpSocket* Socket, const TReply& Reply, qsizetype From)
{
    const qsizetype step = Reply.ByteByByte ? 1 : Reply.Raw.size();
    Socket->write(Reply.Raw.mid(From, step));
    Socket->flush();
    if (From + step < Reply.Raw.size()) {
        QPointer<QTcpSocket> socket(Socket);
        QTimer::singleShot(0, this, [this, socket, Reply, next = From + step] {
            if (socket)
                SendRaw(socket, Reply, next);
        });
        return;
    }
    switch (Reply.End) {
    case TEnd::Close:
        Socket->disconnectFromHost();
        break;
    case TEnd::Reset: {
        // No lingering: the close sends a reset instead of the orderly end.
        const linger abortive { 1, 0 };
        ::setsockopt(int(Socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        Socket->abort();
        break;
    }
    case TEnd::KeepOpen:
        break;
    }
}

void THttpTestServer::SendEndless(QTcpSocket* Socket, const TReply& Reply)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(Reply.Status) + ' ' + Reason(Reply.Status) + "\r\n";
    for (const auto& [name, value] : Reply.Headers)
        head += name + ": " + value + "\r\n";
    Socket->write(head + "Connection: close\r\n\r\n");
    // Kept a little ahead of the client: enough to stream at full speed, never the whole body in memory.
    const QByteArray unit = Reply.Body.isEmpty() ? QByteArray("x") : Reply.Body;
    const QByteArray piece = unit.repeated(std::max<qsizetype>(1, (qsizetype(256) << 10) / unit.size()));
    const auto pump = [this, Socket, piece] {
        while (Socket->state() == QAbstractSocket::ConnectedState && Socket->bytesToWrite() < piece.size() * 4) {
            Socket->write(piece);
            EndlessBytes += piece.size();
        }
    };
    connect(Socket, &QIODevice::bytesWritten, Socket, pump);
    pump();
}

TSiteUrlOverride::TSiteUrlOverride(const QString& Url)
    : FOld(qgetenv(QuorbelConsts::SiteUrlVariable))
    , FWasSet(qEnvironmentVariableIsSet(QuorbelConsts::SiteUrlVariable))
{
    qputenv(QuorbelConsts::SiteUrlVariable, Url.toUtf8());
}

TSiteUrlOverride::~TSiteUrlOverride()
{
    if (FWasSet)
        qputenv(QuorbelConsts::SiteUrlVariable, FOld);
    else
        qunsetenv(QuorbelConsts::SiteUrlVariable);
}
