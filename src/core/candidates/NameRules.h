#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The keywords of a list as the user means them: each line trimmed, blank lines dropped, and a keyword
// that repeats an earlier one (letter case ignored) kept once, at its first place.
QStringList CleanKeywords(const QStringList& Lines);

// A name a registry can be asked about: labels of letters, digits and inner hyphens, or Unicode labels
// with a valid IDNA form; no label over 63 octets in its ASCII form, the whole name at most 253.
bool IsValidDomainName(const QString& Name);

// A candidate that can be checked: a valid domain name made of one label (the joined keywords) followed
// by "." and Zone. A keyword with a dot would make a name one level deeper than the one meant.
bool IsValidCandidateName(const QString& Name, const QString& Zone);

// The form a registry is asked with: an ASCII name exactly as written, any other name in its IDNA ASCII
// form. Empty for a name with control characters or with no IDNA form.
QByteArray AsciiDomainName(const QString& Name);

// True when Reported (a name a registry printed) is the domain Asked: their IDNA ASCII forms equal, ASCII
// letter case ignored and a final dot dropped. A Unicode form counts only as the exact U-label form of that
// ASCII name: no other Unicode case or mapping ("ſuncat.com" is not "suncat.com").
bool IsSameDomainName(QString Reported, const QString& Asked);

// A zone as lists key it: lower-case IDNA ASCII form, no dots at its ends. Empty when it has no such form.
QString ZoneKey(const QString& Zone);
// The keys of Zone and of the zones above it, longest first: "msk.ru", "ru". Lists that key zones take
// the first they name.
QStringList ZoneKeys(const QString& Zone);
