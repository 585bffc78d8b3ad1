#include "support/HttpTestServer.h"

#include "core/common/QuorbelConsts.h"

#include <QPointer>
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
{
    connect(&FServer, &QTcpServer::newConnection, this, &THttpTestServer::OnConnection);
    if (!FServer.listen(QHostAddress::LocalHost))
        qFatal("HTTP test server: cannot listen on 127.0.0.1: %s", qPrintable(FServer.errorString()));
}

THttpTestServer::~THttpTestServer() = default;

QString THttpTestServer::BaseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
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
    while (QTcpSocket* socket = FServer.nextPendingConnection()) {
        ++Connections;
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
