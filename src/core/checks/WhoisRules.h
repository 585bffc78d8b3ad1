#pragma once

#include "core/candidates/Candidate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one WHOIS answer says about the name that was asked for. Free and taken need the registry's own
// words; anything else is a failure with its reason, and a refusal (too many queries, database down)
// says nothing about the name: it is asked again later.
struct TWhoisVerdict {
    TStatus Status = TStatus::Failed;
    bool Refused = false;
    TCheckFailure Failure; // why it failed; may also qualify a verdict
};

// Judges Answer, the reply of the WHOIS server Host to the query for Name. Free needs a not-found line of
// the server's forms, the whole line (trimmed, letter case ignored, a final full stop dropped), naming the
// very name asked when it names one, and no record of any name in the answer; taken needs the record of
// that very name. Registries of the built-in list are judged by their own forms; other servers by the
// forms of all of them. Names are compared by their IDNA ASCII forms, ASCII letter case ignored.
TWhoisVerdict JudgeWhoisAnswer(const QByteArray& Answer, const QString& Name, const QString& Host);

// The not-found lines Host is judged by; "%N" stands for the name asked.
QStringList WhoisFreeForms(const QString& Host);

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
TCheckFailure OtherName(const QString& Name);
TCheckFailure NotInZone();
TCheckFailure TooLong(qint64 MaxBytes);
} // namespace CheckReasons
