#include "support/StoreSamples.h"

#include "support/WhoisTestServer.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QVariant>

namespace
{

// A connection of the test's own, gone when the work is done.
template <typename TWork> void WithConnection(const QString& Path, TWork Work)
{
    const QString name = QStringLiteral("test-sql");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(Path);
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        Work(db);
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

TCandidate StoredOutcome(
    const QString& Name, TStatus Status, qint64 CheckedAt, TVia Via, const QString& Server, const TCheckFailure& Reason)
{
    TCandidate d;
    d.Name = Name;
    d.Zone = Name.section(u'.', 1);
    d.SetOutcome(Status, Via, Server, Reason);
    d.CheckedAt = CheckedAt;
    return d;
}

QList<TCandidate> NamesOnly(const QStringList& Names)
{
    QList<TCandidate> out;
    for (const QString& name : Names)
        out << StoredOutcome(name, TStatus::Unchecked, 0, TVia::None, QString());
    return out;
}

QStringList Asked(const TWhoisTestServer& Server)
{
    QStringList out;
    for (const QByteArray& line : Server.Received)
        out << QString::fromUtf8(line.trimmed());
    return out;
}

QList<TCandidate> FreshInStore(const QString& Path, const QStringList& Names)
{
    QList<TCandidate> list = NamesOnly(Names);
    TVerdictStore store(Path);
    store.FillFresh(list, TReuseAges(), QDateTime::currentSecsSinceEpoch());
    QList<TCandidate> out;
    for (const TCandidate& d : std::as_const(list))
        if (d.Judged())
            out << d;
    return out;
}

void ExecSql(const QString& Path, const QStringList& Statements)
{
    WithConnection(Path, [&](QSqlDatabase& Db) {
        for (const QString& sql : Statements) {
            QSqlQuery q(Db);
            QVERIFY2(q.exec(sql), qPrintable(sql + u": "_qs + q.lastError().text()));
        }
    });
}

QVariant QuerySql(const QString& Path, const QString& Query)
{
    QVariant out;
    WithConnection(Path, [&](QSqlDatabase& Db) {
        QSqlQuery q(Db);
        QVERIFY2(q.exec(Query) && q.next(), qPrintable(Query + u": "_qs + q.lastError().text()));
        out = q.value(0);
    });
    return out;
}
