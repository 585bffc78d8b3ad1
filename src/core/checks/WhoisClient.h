#pragma once

#include "core/candidates/Candidate.h"
#include "core/common/Errors.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

// How long one WHOIS query may take and how much it may read. A query that runs past any of them fails.
struct TWhoisLimits {
    int ConnectMs = 10000; // host lookup and connection
    int IdleMs = 15000; // without a byte from the server
    int TotalMs = 60000; // the whole query
    qint64 MaxBytes = qint64(1) << 20; // the answer
};

// A check of one name that failed; the reason says why, in the user's words.
class ECheckFailed : public EOrvantaError {
public:
    explicit ECheckFailed(const TCheckFailure& Failure)
        : EOrvantaError(Failure.Text)
        , FFailure(Failure)
    {
    }
    const TCheckFailure& Failure() const { return FFailure; }

private:
    TCheckFailure FFailure;
};

// One WHOIS exchange (RFC 3912): one query line over TCP, the answer runs until the server closes the
// connection. Driven by the socket's signals; Finished comes once, with the answer or the reason it failed.
class TWhoisQuery : public QObject {
    Q_OBJECT
public:
    explicit TWhoisQuery(const TWhoisLimits& Limits = {}, QObject* parent = nullptr);
    ~TWhoisQuery() override;

    // Asks Host on Port about Name. A name that cannot be sent, or no host, fails at once (Finished comes
    // from the event loop, never inside Start).
    void Start(const QString& Host, quint16 Port, const QString& Name);
    // Ends the exchange at once; Finished is not emitted.
    void Abort();

    bool Failed() const { return !FFailure.Text.isEmpty(); }
    const TCheckFailure& Failure() const { return FFailure; }
    const QByteArray& Answer() const { return FAnswer; }

    // The line sent for Name, CR LF included: an ASCII name exactly as stored, any other name in its IDNA
    // ASCII form. Throws ECheckFailed for a name with no valid form (control characters, no IDNA form).
    static QByteArray QueryLine(const QString& Name);

Q_SIGNALS:
    void Finished();

private:
    void OnConnected();
    void OnReadyRead();
    void OnClosed();
    void Finish(const TCheckFailure& Failure);
    void Reset();

    TWhoisLimits FLimits;
    QTcpSocket FSocket;
    QTimer FConnectTimer;
    QTimer FIdleTimer;
    QTimer FTotalTimer;
    QByteArray FLine;
    QByteArray FAnswer;
    TCheckFailure FFailure;
    bool FDone = true;
    int FDupFd = -1;
};
