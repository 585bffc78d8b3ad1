#include "core/checks/VerdictSchema.h"

#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <utility>

namespace VerdictSchema
{

namespace
{

// How long a statement waits for the other program's transaction before it gives up.
constexpr int BusyTimeoutMs = 10000;

// SQLite's primary result codes the store tells apart.
constexpr int SqliteBusy = 5;
constexpr int SqliteLocked = 6;
constexpr int SqliteReadOnly = 8;
constexpr int SqliteIoError = 10;
constexpr int SqliteCorrupt = 11;
constexpr int SqliteFull = 13;
constexpr int SqliteCantOpen = 14;
constexpr int SqliteNotADatabase = 26;

} // namespace

const QVector<QStringList>& Steps()
{
    static const QVector<QStringList> steps {
        // 1: verdicts with their texts in every row, figures, runs.
        {
            u"CREATE TABLE verdicts (name TEXT NOT NULL, via INTEGER NOT NULL, status INTEGER NOT NULL, "
            "reason_label TEXT, reason TEXT, server TEXT, checked INTEGER NOT NULL, PRIMARY KEY (name, via)) "
            "WITHOUT ROWID"_qs,
            u"CREATE TABLE figures (name TEXT NOT NULL PRIMARY KEY, pr TEXT NOT NULL, tic TEXT NOT NULL, "
            "fetched INTEGER NOT NULL) WITHOUT ROWID"_qs,
            u"CREATE TABLE runs (id INTEGER PRIMARY KEY, started INTEGER NOT NULL, ended INTEGER, "
            "origin INTEGER NOT NULL, names_given INTEGER NOT NULL, request TEXT NOT NULL, mode INTEGER NOT NULL, "
            "zones TEXT NOT NULL, availability INTEGER NOT NULL, metrics INTEGER NOT NULL, "
            "reuse_taken INTEGER NOT NULL, reuse_free INTEGER NOT NULL, total_names INTEGER NOT NULL DEFAULT 0, "
            "free_names INTEGER NOT NULL DEFAULT 0, taken_names INTEGER NOT NULL DEFAULT 0, "
            "failed_names INTEGER NOT NULL DEFAULT 0, dismissed INTEGER NOT NULL DEFAULT 0)"_qs,
        },
        // 2: reasons and servers are a handful of texts repeated over millions of rows; each is kept once
        // and the rows carry its number, which more than halves a verdict's bytes on disk.
        {
            u"CREATE TABLE texts (id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, label TEXT NOT NULL, "
            "text TEXT NOT NULL, UNIQUE (kind, label, text))"_qs,
            u"INSERT OR IGNORE INTO texts (kind, label, text) SELECT DISTINCT 1, coalesce(reason_label, ''), reason "
            "FROM verdicts WHERE coalesce(reason, '') <> ''"_qs,
            u"INSERT OR IGNORE INTO texts (kind, label, text) SELECT DISTINCT 2, '', server FROM verdicts "
            "WHERE coalesce(server, '') <> ''"_qs,
            u"CREATE TABLE verdicts_2 (name TEXT NOT NULL, via INTEGER NOT NULL, status INTEGER NOT NULL, "
            "reason_id INTEGER, server_id INTEGER, checked INTEGER NOT NULL, PRIMARY KEY (name, via)) WITHOUT ROWID"_qs,
            u"INSERT INTO verdicts_2 SELECT v.name, v.via, v.status, r.id, s.id, v.checked FROM verdicts v "
            "LEFT JOIN texts r ON r.kind = 1 AND r.label = coalesce(v.reason_label, '') AND r.text = v.reason "
            "LEFT JOIN texts s ON s.kind = 2 AND s.label = '' AND s.text = v.server"_qs,
            u"DROP TABLE verdicts"_qs,
            u"ALTER TABLE verdicts_2 RENAME TO verdicts"_qs,
        },
        // 3: a run built with name variants is rebuilt with them when it is reopened.
        {
            u"ALTER TABLE runs ADD COLUMN variants TEXT NOT NULL DEFAULT ''"_qs,
        },
    };
    return steps;
}

namespace
{

// The numbers of a file's statuses and protocols; 0 stands for unchecked and for none.
constexpr std::pair<TStatus, int> StatusNumbers[]
    = { { TStatus::Free, 1 }, { TStatus::Taken, 2 }, { TStatus::Failed, 3 } };
constexpr std::pair<TVia, int> ViaNumbers[] = { { TVia::Whois, 1 }, { TVia::Rdap, 2 }, { TVia::Dns, 3 } };

template <typename TEnum, size_t N> int NumberOf(const std::pair<TEnum, int> (&Table)[N], TEnum Value)
{
    for (const auto& [value, number] : Table)
        if (value == Value)
            return number;
    return 0;
}

template <typename TEnum, size_t N> TEnum OfNumber(const std::pair<TEnum, int> (&Table)[N], int Number)
{
    for (const auto& [value, number] : Table)
        if (number == Number)
            return value;
    return TEnum();
}

} // namespace

int StatusNumber(TStatus Status)
{
    return NumberOf(StatusNumbers, Status);
}

TStatus StatusOfNumber(int Number)
{
    return OfNumber(StatusNumbers, Number);
}

int ViaNumber(TVia Via)
{
    return NumberOf(ViaNumbers, Via);
}

TVia ViaOfNumber(int Number)
{
    return OfNumber(ViaNumbers, Number);
}

QString NameKey(const QString& Name)
{
    return Name.toLower();
}

QSqlDatabase Open(const QString& Name, const QString& Path)
{
    if (QSqlDatabase::contains(Name))
        return QSqlDatabase::database(Name);
    if (!QSqlDatabase::isDriverAvailable(u"QSQLITE"_qs))
        throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "Не удалось открыть базу результатов проверок %1: не установлен драйвер SQLite для Qt "
                            "(пакет libqt6sql6-sqlite).").arg(Path));
    QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_qs, Name);
    db.setDatabaseName(Path);
    db.setConnectOptions(u"QSQLITE_BUSY_TIMEOUT="_qs + QString::number(BusyTimeoutMs));
    if (!db.open()) {
        const QString problem = Problem(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(Name);
        throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "Не удалось открыть базу результатов проверок %1: %2.").arg(Path, problem));
    }
    // In WAL mode a commit is on disk once the journal is synced: FULL syncs it at every commit, so a power
    // cut loses no committed transaction.
    QSqlQuery(db).exec(u"PRAGMA synchronous = FULL"_qs);
    return db;
}

int ResultCode(const QSqlError& Error)
{
    bool ok = false;
    const int code = Error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xFF) : -1;
}

bool Damaged(const QSqlError& Error)
{
    const int code = ResultCode(Error);
    return code == SqliteCorrupt || code == SqliteNotADatabase;
}

QString Problem(const QSqlError& Error)
{
    switch (ResultCode(Error)) {
    case SqliteBusy:
    case SqliteLocked:
        return QCoreApplication::translate("TVerdictStore", "база занята другой программой");
    case SqliteReadOnly:
        return QCoreApplication::translate("TVerdictStore", "нет прав на запись");
    case SqliteIoError:
        return QCoreApplication::translate("TVerdictStore", "ошибка чтения или записи диска");
    case SqliteCorrupt:
    case SqliteNotADatabase:
        return QCoreApplication::translate("TVerdictStore", "файл поврежден");
    case SqliteFull:
        return QCoreApplication::translate("TVerdictStore", "нет места на диске");
    case SqliteCantOpen:
        return QCoreApplication::translate("TVerdictStore", "файл не открывается");
    default:
        break;
    }
    const int code = ResultCode(Error);
    return code < 0 ? QCoreApplication::translate("TVerdictStore", "неизвестная ошибка") : QCoreApplication::translate("TVerdictStore", "ошибка SQLite %1").arg(code);
}

} // namespace VerdictSchema
