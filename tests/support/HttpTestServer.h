#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <functional>
#include <memory>

class QSslConfiguration;
class QTcpSocket;

// An HTTP/1.1 server on 127.0.0.1 (ephemeral port) whose answers a test scripts with a handler, over plain
// TCP or over TLS. Keeps connections alive between requests; an answer may also be scripted raw bytes, sent
// at once or byte by byte, then ended as the script says, or a body without end. Like TWhoisTestServer it
// works in the thread it lives in.
class THttpTestServer : public QObject
{
    Q_OBJECT
public:
    using THeaders = QList<QPair<QByteArray, QByteArray>>;
    struct TRequest {
        QByteArray RequestLine; // "GET /path?query HTTP/1.1"
        QByteArray Method;
        QByteArray Target;
        THeaders Headers; // in the order received, names as sent
        // The value of the first header named Name (letter case ignored), or a null array.
        QByteArray Header(const QByteArray& Name) const;
    };
    // How a raw answer ends.
    enum class TEnd { Close, Reset, KeepOpen };
    struct TReply {
        int Status = 200;
        THeaders Headers; // Content-Length is added
        QByteArray Body;
        bool Silent = false; // never answer
        QByteArray Raw; // when not null: these bytes exactly (none at all when empty), then End
        TEnd End = TEnd::Close;
        bool ByteByByte = false; // Raw one byte per turn of the event loop
        // The head, then Body over and over until the client goes: framed by the close, no length.
        bool Endless = false;
    };

    explicit THttpTestServer(QObject* parent = nullptr);
    // Over TLS with the certificate and key of Tls (LoopbackTls() in support/LoopbackTls.h).
    explicit THttpTestServer(const QSslConfiguration& Tls, QObject* parent = nullptr);
    ~THttpTestServer() override;

    quint16 Port() const { return FServer->serverPort(); }
    // "http://127.0.0.1:PORT", or https over TLS
    QString BaseUrl() const;

    // Answers each request; by default 200 with an empty text/plain body.
    std::function<TReply(const TRequest&)> Handler;
    // Every request as received, in order.
    QList<TRequest> Requests;
    // Connections accepted so far, and those of them closed since (by either side).
    int Connections = 0;
    int Closed = 0;
    // Bytes of endless bodies handed to their connections so far.
    qint64 EndlessBytes = 0;

    static TReply Text(const QByteArray& Body, const QByteArray& ContentType = "text/plain; charset=utf-8");
    static TReply Redirect(const QByteArray& Location, int Status = 302);

private:
    void Listen();
    void OnConnection();
    void SendRaw(QTcpSocket* Socket, const TReply& Reply, qsizetype From);
    void SendEndless(QTcpSocket* Socket, const TReply& Reply);

    std::unique_ptr<QTcpServer> FServer;
    bool FTls = false;
};

// Points the product site's address (ORVANTA_SITE_URL) at Url for its lifetime.
class TSiteUrlOverride
{
public:
    explicit TSiteUrlOverride(const QString& Url);
    ~TSiteUrlOverride();
    TSiteUrlOverride(const TSiteUrlOverride&) = delete;
    TSiteUrlOverride& operator=(const TSiteUrlOverride&) = delete;

private:
    QByteArray FOld;
    bool FWasSet;
};
