#include "core/checks/VerdictStore.h"

#include "core/checks/VerdictSchema.h"
#include "core/checks/VerdictWriter.h"
#include "core/common/Errors.h"
#include "core/common/Paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <functional>
#include <limits>
#include <vector>

using namespace VerdictSchema;

namespace
{

std::atomic<int> StoreSerial { 0 };

const QString RunColumns = u"id, started, ended, origin, names_given, request, mode, zones, availability, metrics, "
                           "reuse_taken, reuse_free, total_names, free_names, taken_names, failed_names, variants"_qs;

EOrvantaError StoreError(const QString& Path, const QSqlError& Error)
{
    return EOrvantaError(
        QCoreApplication::translate("TVerdictStore", "Не удалось прочитать или записать базу результатов проверок %1: %2.").arg(Path, Problem(Error)));
}

// Runs Sql (or the prepared statement) and throws EOrvantaError naming the file when it fails.
void Exec(QSqlQuery& Query, const QString& Path, const QString& Sql = QString())
{
    if (!(Sql.isEmpty() ? Query.exec() : Query.exec(Sql)))
        throw StoreError(Path, Query.lastError());
}

TStoredRun RunOfRow(const QSqlQuery& Q)
{
    TStoredRun r;
    r.Id = Q.value(0).toLongLong();
    r.Started = Q.value(1).toLongLong();
    r.Ended = Q.value(2).toLongLong();
    r.Origin = Q.value(3).toInt() == 1 ? TRunOrigin::Batch : TRunOrigin::Window;
    r.NamesGiven = Q.value(4).toBool();
    const QString request = Q.value(5).toString();
    r.Request = request.isEmpty() ? QStringList() : request.split(u'\n');
    r.Mode = Q.value(6).toInt();
    const QString zones = Q.value(7).toString();
    r.Zones = zones.isEmpty() ? QStringList() : zones.split(u'\n');
    r.CheckAvailability = Q.value(8).toBool();
    r.FetchMetrics = Q.value(9).toBool();
    r.Reuse.TakenSeconds = Q.value(10).toLongLong();
    r.Reuse.FreeSeconds = Q.value(11).toLongLong();
    r.Total = Q.value(12).toInt();
    r.Free = Q.value(13).toInt();
    r.Taken = Q.value(14).toInt();
    r.Failed = Q.value(15).toInt();
    r.Variants = VariantsOfJson(Q.value(16).toString());
    return r;
}

// The stored reasons and servers by their number in the file, as the candidates' text tables number them:
// a handful, read whole, so that a million rows take their numbers without looking the texts up.
struct TTexts {
    QHash<qint64, quint32> ReasonIds;
    QHash<qint64, quint32> ServerIds;
};

// A verdict obtained after this is still fresh at Moment under the age; with age 0 none is.
qint64 FreshAfter(qint64 Moment, qint64 AgeSeconds)
{
    return AgeSeconds > 0 ? Moment - AgeSeconds : std::numeric_limits<qint64>::max();
}

// The wanted candidates by their keys: one flat table of positions with the keys' hashes, probed in a line.
// A QHash of a million strings spends most of a lookup's time making and finding its nodes.
class TNameIndex
{
public:
    TNameIndex(const QList<TCandidate>& Candidates, const std::vector<qsizetype>& Wanted)
        : FCandidates(Candidates)
        , FWanted(Wanted)
        , FNext(Wanted.size(), Empty)
    {
        size_t size = 16;
        while (size < 2 * Wanted.size())
            size <<= 1;
        FSlots.assign(size, TSlot());
        FMask = size - 1;
        for (size_t k = 0; k < Wanted.size(); ++k) {
            const QString key = NameKey(Candidates.at(Wanted[k]).Name);
            const quint32 hash = quint32(qHash(key));
            TSlot& slot = Find(key, hash);
            // A name built twice (keywords "ab" "c" and "a" "bc") chains its positions.
            FNext[k] = slot.Position;
            slot.Position = quint32(k);
            slot.Hash = hash;
        }
    }

    // Visit gets the index into the candidates of each wanted name with Key.
    template <typename TVisit> void ForEach(const QString& Key, TVisit Visit)
    {
        for (quint32 k = Find(Key, quint32(qHash(Key))).Position; k != Empty; k = FNext[k])
            Visit(FWanted[k]);
    }

private:
    static constexpr quint32 Empty = std::numeric_limits<quint32>::max();
    struct TSlot {
        quint32 Position = Empty;
        quint32 Hash = 0;
    };

    // Key's slot, or the empty one where it would go.
    TSlot& Find(const QString& Key, quint32 Hash)
    {
        for (size_t i = Hash & FMask;; i = (i + 1) & FMask) {
            TSlot& slot = FSlots[i];
            if (slot.Position == Empty
                || (slot.Hash == Hash && NameKey(FCandidates.at(FWanted[slot.Position]).Name) == Key))
                return slot;
        }
    }

    const QList<TCandidate>& FCandidates;
    const std::vector<qsizetype>& FWanted;
    std::vector<quint32> FNext;
    std::vector<TSlot> FSlots;
    size_t FMask = 0;
};

} // namespace

struct TVerdictStore::TImpl {
    QString Path;
    QString Notice;
    QString ConnectionBase;
    QMutex ConnectionsLock;
    QStringList Connections;
    std::unique_ptr<TVerdictWriter> Writer;

    // The calling thread's connection, opened on first use.
    QSqlDatabase Connection()
    {
        const QString name
            = ConnectionBase + u'-' + QString::number(reinterpret_cast<quintptr>(QThread::currentThread()), 16);
        {
            QMutexLocker lock(&ConnectionsLock);
            if (!Connections.contains(name))
                Connections << name;
        }
        return Open(name, Path);
    }

    void DropConnections()
    {
        QMutexLocker lock(&ConnectionsLock);
        for (const QString& name : std::as_const(Connections))
            QSqlDatabase::removeDatabase(name);
        Connections.clear();
    }

    enum class TFound { Usable, Damaged, Foreign };
    TFound Inspect();
    void MoveAside(TFound Found);
    void Migrate();
    TTexts Texts();
    // Hands Visit each row of Columns (the name first) of Table that meets Condition, for the candidates at
    // Wanted, with the candidate's index. Few names: an indexed query per name; many: one pass over the table.
    void Match(const QString& Columns, const QString& Table, const QString& Condition, const QVariantList& Binds,
        const QList<TCandidate>& Candidates, const std::vector<qsizetype>& Wanted,
        const std::function<void(qsizetype, const QSqlQuery&)>& Visit);
    // Fills the candidates at Wanted from the latest verdict row meeting Condition.
    void FillVerdicts(QList<TCandidate>& Candidates, const std::vector<qsizetype>& Wanted, const QString& Condition,
        const QVariantList& Binds);
};

QString TVerdictStore::DefaultPath()
{
    return GetDataFolder() + u"verdicts.sqlite"_qs;
}

TVerdictStore::TVerdictStore(const QString& Path)
    : F(std::make_unique<TImpl>())
{
    F->Path = QFileInfo(Path).absoluteFilePath();
    F->ConnectionBase = u"orvanta-verdicts-"_qs + QString::number(++StoreSerial);
    const QString folder = QFileInfo(F->Path).absolutePath();
    if (!QDir().mkpath(folder))
        throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "Не удалось создать папку %1 для базы результатов проверок.").arg(folder));
    try {
        const TImpl::TFound found = F->Inspect();
        if (found != TImpl::TFound::Usable)
            F->MoveAside(found);
        F->Migrate();
    } catch (...) {
        F->DropConnections();
        throw;
    }
    F->Writer = std::make_unique<TVerdictWriter>(F->Path, F->ConnectionBase + u"-writer"_qs);
}

TVerdictStore::~TVerdictStore()
{
    F->Writer.reset();
    F->DropConnections();
}

const QString& TVerdictStore::Path() const
{
    return F->Path;
}

const QString& TVerdictStore::Notice() const
{
    return F->Notice;
}

TVerdictStore::TImpl::TFound TVerdictStore::TImpl::Inspect()
{
    QSqlQuery q(Connection());
    // Reading the header is where a file that is no database, or a damaged one, shows.
    const auto value = [&](const QString& Sql) -> std::optional<qint64> {
        if (!q.exec(Sql) || !q.next()) {
            if (Damaged(q.lastError()))
                return std::nullopt;
            throw StoreError(Path, q.lastError());
        }
        const qint64 v = q.value(0).toLongLong();
        q.finish();
        return v;
    };
    const auto applicationId = value(u"PRAGMA application_id"_qs);
    const auto version = value(u"PRAGMA user_version"_qs);
    const auto tables = value(u"SELECT count(*) FROM sqlite_master"_qs);
    if (!applicationId || !version || !tables)
        return TFound::Damaged;
    if (*applicationId != ApplicationId && (*version != 0 || *tables != 0))
        return TFound::Foreign;
    if (*version > TVerdictStore::SchemaVersion)
        throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "База результатов проверок %1 записана более новой версией программы; она оставлена "
                            "как есть, а результаты этого запуска в нее не сохраняются.").arg(Path));
    if (!q.exec(u"PRAGMA quick_check"_qs)) {
        if (Damaged(q.lastError()))
            return TFound::Damaged;
        throw StoreError(Path, q.lastError());
    }
    const bool intact = q.next() && q.value(0).toString() == u"ok";
    q.finish();
    return intact ? TFound::Usable : TFound::Damaged;
}

void TVerdictStore::TImpl::MoveAside(TFound Found)
{
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd-HHmmss"_qs);
    QString aside = Path + u".bad-"_qs + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = Path + u".bad-"_qs + stamp + u'-' + QString::number(n);
    if (!QFile::rename(Path, aside) && QFileInfo::exists(Path))
        throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "База результатов проверок %1 повреждена, и ее не удалось переименовать.").arg(Path));
    // The journal belongs to the file moved aside, and the new database must not replay it. It goes while
    // the connection is still open: closing would delete it by its name.
    for (const QString& suffix : { u"-wal"_qs, u"-shm"_qs })
        if (QFileInfo::exists(Path + suffix) && !QFile::rename(Path + suffix, aside + suffix))
            QFile::remove(Path + suffix);
    DropConnections();
    Notice = (Found == TFound::Foreign ? QCoreApplication::translate("TVerdictStore", "Файл %1 не является базой результатов проверок этой программы; "
                                                                    "она сохранена как %2, а результаты записываются в новую базу.")
                                       : QCoreApplication::translate("TVerdictStore", "База результатов проверок %1 повреждена; она сохранена как %2, а "
                                                                    "результаты записываются в новую базу."))
                 .arg(QDir::toNativeSeparators(Path), QDir::toNativeSeparators(aside));
}

void TVerdictStore::TImpl::Migrate()
{
    QSqlDatabase db = Connection();
    QSqlQuery q(db);
    Exec(q, Path, u"PRAGMA journal_mode = WAL"_qs);
    q.finish();
    // Up to date, as at almost every start: nothing to wait for the other program's write lock for.
    Exec(q, Path, u"PRAGMA user_version"_qs);
    const bool current = q.next() && q.value(0).toInt() == TVerdictStore::SchemaVersion;
    q.finish();
    if (current)
        return;
    // Two programs may start at once: the version is read again inside the write lock.
    Exec(q, Path, u"BEGIN IMMEDIATE"_qs);
    try {
        Exec(q, Path, u"PRAGMA user_version"_qs);
        const int version = q.next() ? q.value(0).toInt() : 0;
        q.finish();
        if (version > TVerdictStore::SchemaVersion)
            throw EOrvantaError(QCoreApplication::translate("TVerdictStore", "База результатов проверок %1 записана более новой версией программы.").arg(Path));
        const QVector<QStringList>& steps = Steps();
        for (int v = version; v < TVerdictStore::SchemaVersion; ++v)
            for (const QString& sql : steps.at(v))
                Exec(q, Path, sql);
        if (version < TVerdictStore::SchemaVersion) {
            Exec(q, Path, u"PRAGMA application_id = %1"_qs.arg(ApplicationId));
            Exec(q, Path, u"PRAGMA user_version = %1"_qs.arg(TVerdictStore::SchemaVersion));
        }
        Exec(q, Path, u"COMMIT"_qs);
    } catch (...) {
        QSqlQuery(db).exec(u"ROLLBACK"_qs);
        throw;
    }
}

TTexts TVerdictStore::TImpl::Texts()
{
    TTexts out;
    QSqlQuery q(Connection());
    q.setForwardOnly(true);
    Exec(q, Path, u"SELECT id, kind, label, text FROM texts"_qs);
    TCandidate numbered;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        if (q.value(1).toInt() == ServerText) {
            numbered.SetServer(q.value(3).toString());
            out.ServerIds.insert(id, numbered.ServerId);
        } else {
            numbered.SetReason({ q.value(2).toString(), q.value(3).toString() });
            out.ReasonIds.insert(id, numbered.ReasonId);
        }
    }
    return out;
}

void TVerdictStore::TImpl::Match(const QString& Columns, const QString& Table, const QString& Condition,
    const QVariantList& Binds, const QList<TCandidate>& Candidates, const std::vector<qsizetype>& Wanted,
    const std::function<void(qsizetype, const QSqlQuery&)>& Visit)
{
    if (Wanted.empty())
        return;
    QSqlQuery q(Connection());
    q.setForwardOnly(true);
    const QString select = u"SELECT name, "_qs + Columns + u" FROM "_qs + Table + u" WHERE "_qs;
    if (qsizetype(Wanted.size()) <= PointLookupLimit) {
        q.prepare(select + u"name = ? AND ("_qs + Condition + u')');
        for (const qsizetype index : Wanted) {
            q.bindValue(0, NameKey(Candidates.at(index).Name));
            for (qsizetype b = 0; b < Binds.size(); ++b)
                q.bindValue(int(b + 1), Binds.at(b));
            Exec(q, Path);
            while (q.next())
                Visit(index, q);
        }
        return;
    }
    TNameIndex index(Candidates, Wanted);
    q.prepare(select + Condition);
    for (qsizetype b = 0; b < Binds.size(); ++b)
        q.bindValue(int(b), Binds.at(b));
    Exec(q, Path);
    while (q.next())
        index.ForEach(q.value(0).toString(), [&](qsizetype Index) { Visit(Index, q); });
}

void TVerdictStore::TImpl::FillVerdicts(QList<TCandidate>& Candidates, const std::vector<qsizetype>& Wanted,
    const QString& Condition, const QVariantList& Binds)
{
    const TTexts texts = Texts();
    // Of a name's rows (one per protocol), the latest.
    std::vector<bool> filled(size_t(Candidates.size()), false);
    Match(u"via, status, reason_id, server_id, checked"_qs, u"verdicts"_qs, Condition, Binds, Candidates, Wanted,
        [&](qsizetype Index, const QSqlQuery& Q) {
            TCandidate& d = Candidates[Index];
            const qint64 checked = Q.value(5).toLongLong();
            if (filled[size_t(Index)] && checked <= d.CheckedAt)
                return;
            filled[size_t(Index)] = true;
            d.Status = StatusOfNumber(Q.value(2).toInt());
            d.Via = ViaOfNumber(Q.value(1).toInt());
            d.ReasonId = texts.ReasonIds.value(Q.value(3).toLongLong());
            d.ServerId = texts.ServerIds.value(Q.value(4).toLongLong());
            d.CheckedAt = checked;
        });
}

qsizetype TVerdictStore::FillFresh(QList<TCandidate>& Candidates, const TReuseAges& Ages, qint64 Now) const
{
    if (Ages.TakenSeconds <= 0 && Ages.FreeSeconds <= 0)
        return 0;
    // Verdicts still in the queue count too.
    F->Writer->Flush();
    std::vector<qsizetype> wanted;
    for (qsizetype i = 0; i < Candidates.size(); ++i)
        if (Candidates.at(i).Status == TStatus::Unchecked)
            wanted.push_back(i);
    F->FillVerdicts(Candidates, wanted, u"(status = 2 AND checked > ?) OR (status = 1 AND checked > ?)"_qs,
        { FreshAfter(Now, Ages.TakenSeconds), FreshAfter(Now, Ages.FreeSeconds) });
    qsizetype filled = 0;
    for (const qsizetype i : wanted)
        filled += Candidates.at(i).Judged();
    return filled;
}

void TVerdictStore::FillRun(QList<TCandidate>& Candidates, const TStoredRun& Run) const
{
    F->Writer->Flush();
    std::vector<qsizetype> all(size_t(Candidates.size()));
    for (qsizetype i = 0; i < Candidates.size(); ++i)
        all[size_t(i)] = i;
    if (Run.CheckAvailability)
        F->FillVerdicts(Candidates, all,
            u"checked >= ? OR (status = 2 AND checked > ?) OR (status = 1 AND checked > ?)"_qs,
            { Run.Started, FreshAfter(Run.Started, Run.Reuse.TakenSeconds),
                FreshAfter(Run.Started, Run.Reuse.FreeSeconds) });
    if (Run.FetchMetrics)
        F->Match(u"pr, tic"_qs, u"figures"_qs, u"fetched >= ?"_qs, { Run.Started }, Candidates, all,
            [&](qsizetype Index, const QSqlQuery& Q) {
                Candidates[Index].PR = Q.value(1).toString();
                Candidates[Index].TIC = Q.value(2).toString();
            });
}

QList<TStoredRun> TVerdictStore::RecentRuns(int Count) const
{
    // Counts still in the queue count too.
    F->Writer->Flush();
    QSqlQuery q(F->Connection());
    q.prepare(u"SELECT "_qs + RunColumns + u" FROM runs ORDER BY id DESC LIMIT ?"_qs);
    q.bindValue(0, Count);
    Exec(q, F->Path);
    QList<TStoredRun> out;
    while (q.next())
        out << RunOfRow(q);
    return out;
}

std::optional<TStoredRun> TVerdictStore::Run(qint64 Id) const
{
    F->Writer->Flush();
    QSqlQuery q(F->Connection());
    q.prepare(u"SELECT "_qs + RunColumns + u" FROM runs WHERE id = ?"_qs);
    q.bindValue(0, Id);
    Exec(q, F->Path);
    if (!q.next())
        return std::nullopt;
    return RunOfRow(q);
}

std::optional<TStoredRun> TVerdictStore::LastRun(TRunOrigin Origin) const
{
    F->Writer->Flush();
    QSqlQuery q(F->Connection());
    q.prepare(u"SELECT "_qs + RunColumns + u", dismissed FROM runs WHERE origin = ? ORDER BY id DESC LIMIT 1"_qs);
    q.bindValue(0, Origin == TRunOrigin::Batch ? 1 : 0);
    Exec(q, F->Path);
    if (!q.next() || q.value(17).toBool())
        return std::nullopt;
    return RunOfRow(q);
}

qint64 TVerdictStore::BeginRun(const TStoredRun& R)
{
    QSqlQuery q(F->Connection());
    q.prepare(u"INSERT INTO runs (started, origin, names_given, request, mode, zones, availability, metrics, "
              "reuse_taken, reuse_free, total_names, free_names, taken_names, failed_names, variants) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_qs);
    const QVariantList values { R.Started, R.Origin == TRunOrigin::Batch ? 1 : 0, R.NamesGiven ? 1 : 0,
        R.Request.join(u'\n'), R.Mode, R.Zones.join(u'\n'), R.CheckAvailability ? 1 : 0, R.FetchMetrics ? 1 : 0,
        R.Reuse.TakenSeconds, R.Reuse.FreeSeconds, R.Total, R.Free, R.Taken, R.Failed, VariantsToJson(R.Variants) };
    for (qsizetype i = 0; i < values.size(); ++i)
        q.bindValue(int(i), values.at(i));
    Exec(q, F->Path);
    return q.lastInsertId().toLongLong();
}

void TVerdictStore::DismissRun(qint64 Id)
{
    QSqlQuery q(F->Connection());
    q.prepare(u"UPDATE runs SET dismissed = 1 WHERE id = ?"_qs);
    q.bindValue(0, Id);
    Exec(q, F->Path);
}

void TVerdictStore::Put(const TCandidate& Candidate)
{
    if (Candidate.Status == TStatus::Unchecked || Candidate.CheckedAt == 0)
        return;
    F->Writer->Add(TVerdictWriter::TVerdict { NameKey(Candidate.Name), ViaNumber(Candidate.Via),
        StatusNumber(Candidate.Status), Candidate.Reason(), Candidate.Server(), Candidate.CheckedAt });
}

void TVerdictStore::PutFigures(const TCandidate& Candidate, qint64 Fetched)
{
    if (!Candidate.HasFigures())
        return;
    F->Writer->Add(TVerdictWriter::TFigures { NameKey(Candidate.Name), Candidate.PR, Candidate.TIC, Fetched });
}

void TVerdictStore::UpdateRun(qint64 Id, const TRunCounts& Counts, qint64 Ended)
{
    F->Writer->Add(TVerdictWriter::TRunUpdate { Id, Counts, Ended });
}

bool TVerdictStore::Flush()
{
    return F->Writer->Flush();
}

QString TVerdictStore::LastError() const
{
    return F->Writer->LastError();
}
