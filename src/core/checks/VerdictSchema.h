#pragma once

// The verdict store's file: its schema steps, the numbers it stores for statuses and protocols, and the
// connection and error helpers the store and its writer thread share. Internal to the store.

#include "core/candidates/Candidate.h"

#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

class QSqlError;

namespace VerdictSchema
{

// "ORVN": marks the file as this program's, so a database of another program is told from an empty one.
inline constexpr qint32 ApplicationId = 0x4F52564E;

// Kinds of the shared texts (schema 2 on): reasons with their label, and servers.
inline constexpr int ReasonText = 1;
inline constexpr int ServerText = 2;

// Steps()[i] brings a file of schema version i to version i + 1, one statement per entry.
const QVector<QStringList>& Steps();

// Numbers written to the file: fixed here, never the enums' own values, which may move.
int StatusNumber(TStatus Status);
TStatus StatusOfNumber(int Number);
int ViaNumber(TVia Via);
TVia ViaOfNumber(int Number);

// The stored key of a name: registries ignore letter case.
QString NameKey(const QString& Name);

// Opens (once per name and thread) the connection Name to Path, with the busy timeout and a synchronous
// commit per transaction. Throws EOrvantaError when the file cannot be opened.
QSqlDatabase Open(const QString& Name, const QString& Path);
// SQLite's result code of Error without its extended part; -1 when there is none.
int ResultCode(const QSqlError& Error);
// True for the codes of a file that is no database or a damaged one.
bool Damaged(const QSqlError& Error);
// What went wrong, for the user: "база занята другой программой", "нет места на диске".
QString Problem(const QSqlError& Error);

} // namespace VerdictSchema
