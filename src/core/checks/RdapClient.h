#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/HttpExchange.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

// What one RDAP answer says about the name asked for. The status code is the registry's word: 404 is
// free, a domain object of that very name is taken. 429 is a refusal that says nothing about the name:
// the server is to be asked again after RetryAfterMs. Anything else is a failure with its reason.
struct TRdapVerdict {
    TStatus Status = TStatus::Failed;
    bool Refused = false;
    qint64 RetryAfterMs = 0;
    TCheckFailure Failure; // why it failed; may also qualify a verdict
};

// How long a 429 asks to wait: Retry-After in seconds or as an HTTP date (from Now); 10 s when the
// header is absent or unreadable, 0 for a date already past.
qint64 RetryAfterMs(const QByteArray& Value, const QDateTime& Now);

// Judges Answer, the final (not redirected) answer to the query for Name.
TRdapVerdict JudgeRdapAnswer(const THttpAnswer& Answer, const QString& Name, const QDateTime& Now);

// One RDAP domain query (RFC 7480, 9082, 9083): GET base URL + "domain/" + the name's ASCII form,
// redirects followed. Driven by the network's signals; Finished comes once, with the verdict.
class TRdapQuery : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxRedirects = 5;

    // Limits of the whole query, redirects included.
    explicit TRdapQuery(const THttpLimits& Limits = {}, QObject* parent = nullptr);
    ~TRdapQuery() override;

    // Asks the server at BaseUrl about Name. A name that cannot be sent fails at once (Finished comes
    // from the event loop, never inside Start).
    void Start(const QString& BaseUrl, const QString& Name);
    // Ends the query at once; Finished is not emitted.
    void Abort();

    const TRdapVerdict& Verdict() const { return FVerdict; }

    // The address asked for Name at BaseUrl; invalid when Name has no ASCII form.
    static QUrl QueryUrl(const QString& BaseUrl, const QString& Name);
    // The headers of every query.
    static THttpHeaders RequestHeaders();

Q_SIGNALS:
    void Finished();

private:
    void Get(const QUrl& Url);
    void OnAnswer();
    void Finish(const TRdapVerdict& Verdict);

    THttpLimits FLimits;
    QString FName;
    std::unique_ptr<THttpExchange> FExchange;
    QElapsedTimer FClock;
    int FRedirects = 0;
    TRdapVerdict FVerdict;
};

namespace RdapReasons
{
TCheckFailure Exchange(const QString& Detail);
TCheckFailure Status(int Code);
TCheckFailure NotJson();
TCheckFailure NotDomain();
TCheckFailure OtherName(const QString& Name);
TCheckFailure TooManyRedirects();
TCheckFailure BadRedirect(const QString& Target);
TCheckFailure WaitTooLong(qint64 Ms);
} // namespace RdapReasons
