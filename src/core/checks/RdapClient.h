#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/HttpRequest.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

// What one RDAP answer says about the name asked for. Free needs the registry's own "no such name": 404
// from one of the zone's servers, as RDAP JSON, with an empty body or an error object that does not say
// the name is reserved. Taken needs a domain object of that very name, or that reserved answer. A refusal
// (429, or 403 and 503 that say too many queries) says nothing about the name: the server is to be asked
// again after RetryAfterMs. Anything else is a failure with its reason.
struct TRdapVerdict {
    TStatus Status = TStatus::Failed;
    bool Refused = false;
    qint64 RetryAfterMs = 0;
    TCheckFailure Failure; // why it failed; may also qualify a verdict
    // The base URL of the server that answered; empty when none of the zone's did.
    QString Server;
};

// How long a refusal asks to wait: Retry-After in seconds or as an HTTP date (from Now); 10 s when the
// header is absent or unreadable, 0 for a date already past.
qint64 RetryAfterMs(const QByteArray& Value, const QDateTime& Now);

// Judges Answer, the final answer (Answer.Url: where it came from) to the query for Name. BaseUrls are
// the zone's servers from the bootstrap list, the one asked first; an answer from any other origin judges
// nothing.
TRdapVerdict JudgeRdapAnswer(
    const THttpAnswer& Answer, const QString& Name, const QStringList& BaseUrls, const QDateTime& Now);

// One RDAP domain query (RFC 7480, 9082, 9083): GET base URL + "domain/" + the name's ASCII form.
// Redirects stay on the server's origin, or go to another server the bootstrap list names for the zone.
// Driven by the network's signals; Finished comes once, with the verdict.
class TRdapQuery : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxRedirects = 5;

    // Limits of the whole query, redirects included (their MaxRedirects is replaced by the one above).
    explicit TRdapQuery(const THttpLimits& Limits = {}, QObject* parent = nullptr);
    ~TRdapQuery() override;

    // Asks the server at BaseUrl about Name; OtherBases are the zone's other servers. A name or base that
    // cannot be sent fails at once (Finished comes from the event loop, never inside Start).
    void Start(const QString& BaseUrl, const QString& Name, const QStringList& OtherBases = {});
    // Ends the query at once; Finished is not emitted.
    void Abort();

    const TRdapVerdict& Verdict() const { return FVerdict; }

    // The address asked for Name at BaseUrl; invalid when Name has no ASCII form or BaseUrl is no plain
    // http or https address (a query or fragment would swallow the path).
    static QUrl QueryUrl(const QString& BaseUrl, const QString& Name);
    // The headers of every query.
    static THttpHeaders RequestHeaders();

Q_SIGNALS:
    void Finished();

private:
    void OnAnswer();
    void Finish(const TRdapVerdict& Verdict);

    THttpRequest FRequest;
    QString FName;
    QStringList FBases;
    TRdapVerdict FVerdict;
};

namespace RdapReasons
{
TCheckFailure Exchange(const QString& Detail);
TCheckFailure Status(int Code);
TCheckFailure NotJson();
TCheckFailure NotRdap(const QByteArray& ContentType);
TCheckFailure NotDomain();
TCheckFailure NotErrorObject();
TCheckFailure UnframedEmpty();
TCheckFailure OtherName(const QString& Name);
TCheckFailure OtherServer(const QUrl& Url);
TCheckFailure Reserved();
TCheckFailure BadBase(const QString& BaseUrl);
TCheckFailure Redirect(const QString& Detail);
TCheckFailure WaitTooLong(qint64 Ms);
} // namespace RdapReasons
