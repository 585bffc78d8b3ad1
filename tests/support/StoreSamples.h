#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/VerdictStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TWhoisTestServer;

// A name with an outcome obtained at CheckedAt, as a run would have left it.
TCandidate StoredOutcome(const QString& Name, TStatus Status, qint64 CheckedAt, TVia Via = TVia::Whois,
    const QString& Server = QStringLiteral("old.example"), const TCheckFailure& Reason = {});
// Candidates of the names, without outcomes.
QList<TCandidate> NamesOnly(const QStringList& Names);
// The names a loopback registry was asked about, in order.
QStringList Asked(const TWhoisTestServer& Server);
// The verdicts the store at Path holds for Names that a run would reuse now (default ages), by name;
// opens the file on its own connections, as another program would.
QList<TCandidate> FreshInStore(const QString& Path, const QStringList& Names);
// Runs Statements on a connection of their own to the SQLite file Path (made when missing).
void ExecSql(const QString& Path, const QStringList& Statements);
// The first value of Query on the SQLite file Path.
QVariant QuerySql(const QString& Path, const QString& Query);
