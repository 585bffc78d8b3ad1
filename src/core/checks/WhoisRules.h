#pragma once

#include "core/candidates/Candidate.h"

#include <QByteArray>
#include <QString>

// What one WHOIS answer says about the name that was asked for. Free and taken need the registry's own
// words; anything else is a failure with its reason, and a refusal (too many queries, database down)
// says nothing about the name: it is asked again later.
struct TWhoisVerdict {
    TStatus Status = TStatus::Failed;
    bool Refused = false;
    TCheckFailure Failure; // why it failed; may also qualify a verdict
};

// Judges Answer, the reply of the WHOIS server Host to the query for Name. Registries of the built-in
// list are judged by their own forms; other servers by generic phrases.
TWhoisVerdict JudgeWhoisAnswer(const QByteArray& Answer, const QString& Name, const QString& Host);

// Failure reasons of a check, one place for their words.
namespace CheckReasons
{
TCheckFailure InvalidName();
TCheckFailure NoServer();
TCheckFailure RateLimited();
TCheckFailure Unavailable();
TCheckFailure Blank();
TCheckFailure NotText();
TCheckFailure Unrecognised();
TCheckFailure NoConnection(const QString& Detail);
TCheckFailure NoAnswer(const QString& Detail);
TCheckFailure Reset();
TCheckFailure ClosedSilently();
TCheckFailure TooLong(qint64 MaxBytes);
} // namespace CheckReasons
