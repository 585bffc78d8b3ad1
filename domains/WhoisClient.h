#pragma once

#include "app/Errors.h"
#include "domains/DomainTypes.h"

#include <QByteArray>
#include <QString>
#include <memory>

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

// The WHOIS exchange (RFC 3912): one query line over TCP, the answer runs until the server closes the
// connection. Waits in a local event loop that lets no user input through, so the window keeps painting
// but no command can start in the middle of a query. One client serves a whole check, one connection per
// query.
class TWhoisClient {
public:
    explicit TWhoisClient(quint16 Port = 43, const TWhoisLimits& Limits = {});
    ~TWhoisClient();
    TWhoisClient(const TWhoisClient&) = delete;
    TWhoisClient& operator=(const TWhoisClient&) = delete;

    // Asks Host about Name and returns the whole answer. Throws ECheckFailed when the query fails: no
    // host, a name that cannot be sent, no connection, a reset, a time or size limit, or an empty answer.
    QByteArray Query(const QString& Host, const QString& Name);

    // The line sent for Name, CR LF included: an ASCII name exactly as stored, any other name in its IDNA
    // ASCII form. Throws ECheckFailed for a name with no valid form (control characters, no IDNA form).
    static QByteArray QueryLine(const QString& Name);

private:
    class TExchange;
    quint16 FPort;
    TWhoisLimits FLimits;
    std::unique_ptr<TExchange> FExchange;
};
