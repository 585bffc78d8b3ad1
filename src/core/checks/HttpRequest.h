#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// Limits of one request chain (the request and the redirects it follows); past any of them it fails.
struct THttpLimits {
    int ConnectMs = 10000; // each connection, TLS handshake included
    int TotalMs = 30000; // the whole chain
    qint64 MaxBodyBytes = qint64(1) << 20;
    int MaxRedirects = 5;
};

using THttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// The final answer of a chain: the body whole and unframed, unless a sink took it.
struct THttpAnswer {
    int Status = 0;
    THttpHeaders Headers;
    QByteArray Body;
    // Where the answer came from, after the redirects followed.
    QUrl Url;
    // The body's end was set by its Content-Length and the bytes received matched it. Otherwise (chunked,
    // or until the close) Qt cannot vouch for the end: a close or reset in the middle of a chunk may reach
    // the caller as the end of a whole body.
    bool LengthChecked = false;
    // The value of the header Name (letter case ignored; repeated headers joined by ", "), or a null array.
    QByteArray Header(const QByteArray& Name) const;
};

// Why the head of an answer cannot frame its body without doubt: Content-Length values that disagree or
// are no number, or a length beside chunked coding. Empty when the framing is plain.
QString AmbiguousFraming(const THttpAnswer& Answer);
// True when the answer says how long its body is and Received is less: the body was cut. Also for an
// empty chunked body, which Qt gives for a first chunk size it cannot read or a close before it.
bool BodyCutShort(const THttpAnswer& Answer, qint64 Received);

// Where a redirect may lead: same origin as the first address, or one the caller allows. Never from https
// to http, never to anything but http or https, and never to a loopback or private address unless the
// first address is one itself. Empty when Target may be followed, else why not, in the user's words.
QString RedirectRefusal(
    const QUrl& First, const QUrl& From, const QUrl& Target, const std::function<bool(const QUrl&)>& OtherOrigin);
bool SameOrigin(const QUrl& A, const QUrl& B);

// One HTTP GET with the redirects it may follow, over the thread's shared network manager: connections to
// a host stay open between requests, the system's proxy settings hold, HTTP/1.1 only. Qt frames the
// body; this chain adds what Qt leaves out: a length that disagrees with the body received, or with
// itself, fails, so a cut or ambiguous body is never taken for a whole one. Driven by the network's
// signals; Finished comes once, with the answer or the error.
class THttpRequest : public QObject
{
    Q_OBJECT
public:
    explicit THttpRequest(QObject* parent = nullptr);
    ~THttpRequest() override;

    THttpHeaders Headers;
    THttpLimits Limits;
    // False: a redirect is not followed but comes back as the answer.
    bool FollowRedirects = true;
    // Origins besides the first address's that a redirect may lead to; null: none.
    std::function<bool(const QUrl&)> OtherOrigin;
    // When set, the body goes here as it comes (still capped), not into the answer; it must outlive the
    // request.
    QIODevice* Sink = nullptr;

    // Starts the chain at Url. Every failure, an invalid address included, comes from the event loop,
    // never inside Start.
    void Start(const QUrl& Url);
    // Ends the chain at once; Finished is not emitted.
    void Abort();

    bool Failed() const { return !FError.isEmpty(); }
    // Why it failed, in the user's words: "сервер не ответил за 30 с".
    const QString& Error() const { return FError; }
    const THttpAnswer& Answer() const { return FAnswer; }
    int Redirects() const { return FRedirects; }
    // The failure is a redirect that was not followed (where it led, or one too many).
    bool RedirectFailed() const { return FRedirectFailed; }
    // The failure is a body past Limits.MaxBodyBytes, announced or received.
    bool TooLong() const { return FTooLong; }

    // The network manager of the calling thread, made on first use and gone with the thread.
    static QNetworkAccessManager* Manager();

Q_SIGNALS:
    void Finished();

private:
    void Get(const QUrl& Url);
    void OnMetaData();
    void OnReadyRead();
    void OnFinished();
    bool TakeBody(const QByteArray& Bytes);
    void FailTooLong();
    void Fail(const QString& Error);
    void DropReply();
    QString ReplyError() const;

    QUrl FFirst;
    QPointer<QNetworkReply> FReply;
    QTimer* FConnectTimer = nullptr;
    QTimer* FTotalTimer = nullptr;
    QElapsedTimer FClock;
    int FRedirects = 0;
    bool FRedirectFailed = false;
    bool FTooLong = false;
    qint64 FReceived = 0;
    QString FSslError;
    THttpAnswer FAnswer;
    QString FError;
    bool FDone = true;
};
