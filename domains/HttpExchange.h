#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <memory>

class QTcpSocket;
class QTimer;

// Limits of one HTTP exchange; past any of them it fails.
struct THttpLimits {
    int ConnectMs = 10000;
    int TotalMs = 30000;
    qint64 MaxBodyBytes = qint64(1) << 20;
};

using THttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One HTTP answer as received, the body whole and unframed.
struct THttpAnswer {
    int Status = 0;
    THttpHeaders Headers;
    QByteArray Body;
    // The value of the first header Name (letter case ignored), or a null array.
    QByteArray Header(const QByteArray& Name) const;
};

// One HTTP/1.1 GET over its own connection, driven by the socket's signals. Its own client rather than
// Qt's: a body cut short, in any framing, must be a failure, and Qt reports some of them (a chunked body
// ended by the server's close) as complete. Redirects are left to the caller.
class THttpExchange : public QObject {
    Q_OBJECT
public:
    THttpExchange(const QUrl& Url, const THttpHeaders& Headers, const THttpLimits& Limits, QObject* parent = nullptr);
    ~THttpExchange() override;

    void Start();
    // Ends the exchange at once; Finished is not emitted.
    void Abort();

    const QUrl& Url() const { return FUrl; }
    bool Failed() const { return !FError.isEmpty(); }
    // Why it failed, in the user's words: "сервер не ответил за 30 с".
    const QString& Error() const { return FError; }
    const THttpAnswer& Answer() const { return FAnswer; }

Q_SIGNALS:
    // Emitted once, with the answer or the error.
    void Finished();

private:
    enum class TFraming { None, Length, Chunked, UntilClose };

    void OnConnected();
    void OnReadyRead();
    void OnClosed();
    void Fail(const QString& Error);
    void Done();
    bool ParseHead();
    // Consumes what it can of the body; true when the body is complete.
    bool ParseBody();
    bool AppendBody(const QByteArray& Bytes);

    QUrl FUrl;
    THttpHeaders FRequestHeaders;
    THttpLimits FLimits;
    std::unique_ptr<QTcpSocket> FSocket;
    QTimer* FConnectTimer = nullptr;
    QTimer* FTotalTimer = nullptr;
    QByteArray FBuffer;
    bool FHeadDone = false;
    TFraming FFraming = TFraming::None;
    qint64 FLeft = 0; // bytes left of the body (Length) or of the current chunk (Chunked)
    bool FInChunkData = false;
    bool FInTrailers = false;
    bool FFinished = false;
    THttpAnswer FAnswer;
    QString FError;
};
