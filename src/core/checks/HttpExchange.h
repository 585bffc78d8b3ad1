#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>

#include <algorithm>

#include <memory>

class QTcpSocket;
class QTimer;

// Limits of one HTTP exchange; past any of them it fails.
struct THttpLimits {
    int ConnectMs = 10000;
    int TotalMs = 30000;
    qint64 MaxBodyBytes = qint64(1) << 20;

    // The limits of the next exchange of a chain (a request and its redirects) that began ElapsedMs ago:
    // the chain shares one total, and no connection may wait longer than what is left of it. At least
    // 1 ms, so the exchange still starts and then fails by its timer.
    THttpLimits Remaining(qint64 ElapsedMs) const
    {
        THttpLimits left = *this;
        left.TotalMs = int(std::max<qint64>(1, TotalMs - ElapsedMs));
        left.ConnectMs = std::min(ConnectMs, left.TotalMs);
        return left;
    }
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

// Reads one HTTP/1.1 response from the bytes of its connection, in whatever pieces they come: the status
// line, the headers, then the body in the framing the headers name (a length, chunks, or until the close).
// Knows nothing of sockets, so every framing can be tested and fuzzed piece by piece.
class THttpResponseReader {
public:
    enum class TState { More, Done, Failed };

    explicit THttpResponseReader(qint64 MaxBodyBytes);
    // Takes the next bytes: Done once the whole response is there, Failed when it cannot be one.
    TState Feed(const QByteArray& Bytes);
    // The connection was closed: Done when what came is a whole response.
    TState Close();

    const THttpAnswer& Answer() const { return FAnswer; }
    // Why the bytes are no whole response, in the user's words.
    const QString& Error() const { return FError; }

private:
    enum class TFraming { None, Length, Chunked, UntilClose };

    bool ParseHead();
    // Consumes what it can of the body; true when the body is complete.
    bool ParseBody();
    bool AppendBody(const QByteArray& Bytes);
    void Fail(const QString& Error);

    qint64 FMaxBodyBytes;
    QByteArray FBuffer;
    bool FHeadDone = false;
    TFraming FFraming = TFraming::None;
    qint64 FLeft = 0; // bytes left of the body (Length) or of the current chunk (Chunked)
    bool FInChunkData = false;
    bool FInTrailers = false;
    bool FDone = false;
    bool FFailed = false;
    THttpAnswer FAnswer;
    QString FError;
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
    const THttpAnswer& Answer() const { return FReader.Answer(); }

Q_SIGNALS:
    // Emitted once, with the answer or the error.
    void Finished();

private:
    void OnConnected();
    void OnReadyRead();
    void OnClosed();
    void TakeState(THttpResponseReader::TState State);
    void Fail(const QString& Error);
    void Done();

    QUrl FUrl;
    THttpHeaders FRequestHeaders;
    THttpLimits FLimits;
    std::unique_ptr<QTcpSocket> FSocket;
    QTimer* FConnectTimer = nullptr;
    QTimer* FTotalTimer = nullptr;
    THttpResponseReader FReader;
    bool FFinished = false;
    QString FError;
};
