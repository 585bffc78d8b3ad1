#include "core/checks/VerdictWriter.h"

#include "core/checks/VerdictSchema.h"
#include "core/common/Errors.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <chrono>
#include <iterator>
#include <optional>

using namespace VerdictSchema;

namespace
{

QVariant OrNull(qint64 Value)
{
    return Value != 0 ? QVariant(Value) : QVariant(QMetaType::fromType<qint64>());
}

} // namespace

// The writer thread's connection and its statements, prepared once.
struct TVerdictWriter::TStatements {
    QSqlDatabase Db;
    QSqlQuery Verdict;
    QSqlQuery Figures;
    QSqlQuery Run;
    QSqlQuery AddText;
    QSqlQuery FindText;
    // Numbers of the texts already written; forgotten when a transaction is rolled back.
    QHash<QString, qint64> TextIds;

    explicit TStatements(const QSqlDatabase& Connection)
        : Db(Connection)
        , Verdict(Db)
        , Figures(Db)
        , Run(Db)
        , AddText(Db)
        , FindText(Db)
    {
        // Another program's later verdict is never overwritten by an earlier one.
        Verdict.prepare(u"INSERT INTO verdicts (name, via, status, reason_id, server_id, checked) "
                        "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (name, via) DO UPDATE SET status = excluded.status, "
                        "reason_id = excluded.reason_id, server_id = excluded.server_id, checked = excluded.checked "
                        "WHERE excluded.checked >= verdicts.checked"_qs);
        Figures.prepare(u"INSERT INTO figures (name, pr, tic, fetched) VALUES (?, ?, ?, ?) ON CONFLICT (name) "
                        "DO UPDATE SET pr = excluded.pr, tic = excluded.tic, fetched = excluded.fetched "
                        "WHERE excluded.fetched >= figures.fetched"_qs);
        Run.prepare(u"UPDATE runs SET ended = ?, total_names = ?, free_names = ?, taken_names = ?, "
                    "failed_names = ? WHERE id = ?"_qs);
        AddText.prepare(u"INSERT OR IGNORE INTO texts (kind, label, text) VALUES (?, ?, ?)"_qs);
        FindText.prepare(u"SELECT id FROM texts WHERE kind = ? AND label = ? AND text = ?"_qs);
    }

    // The number of a text, written when new; empty on a failure (Error says why).
    std::optional<qint64> TextId(int Kind, const QString& Label, const QString& Text, QString& Error)
    {
        const QString key = QString::number(Kind) + u'\n' + Label + u'\n' + Text;
        if (const auto it = TextIds.constFind(key); it != TextIds.cend())
            return *it;
        for (QSqlQuery* q : { &AddText, &FindText }) {
            q->bindValue(0, Kind);
            // A null string binds as NULL, which the column refuses and OR IGNORE would pass over in silence.
            q->bindValue(1, Label.isNull() ? QStringLiteral("") : Label);
            q->bindValue(2, Text);
        }
        if (!AddText.exec() || !FindText.exec()) {
            Error = Problem((AddText.lastError().isValid() ? AddText : FindText).lastError());
            return std::nullopt;
        }
        if (!FindText.next()) {
            Error = Problem(FindText.lastError());
            return std::nullopt;
        }
        const qint64 id = FindText.value(0).toLongLong();
        FindText.finish();
        TextIds.insert(key, id);
        return id;
    }
};

void TVerdictWriter::TBatch::Append(TBatch&& Later)
{
    Verdicts.insert(
        Verdicts.end(), std::make_move_iterator(Later.Verdicts.begin()), std::make_move_iterator(Later.Verdicts.end()));
    Figures.insert(
        Figures.end(), std::make_move_iterator(Later.Figures.begin()), std::make_move_iterator(Later.Figures.end()));
    Runs.insert(Runs.end(), Later.Runs.begin(), Later.Runs.end());
    Later = TBatch();
}

TVerdictWriter::TVerdictWriter(const QString& Path, const QString& ConnectionName)
    : FPath(Path)
    , FConnectionName(ConnectionName)
    , FThread([this] { Loop(); })
{
}

TVerdictWriter::~TVerdictWriter()
{
    {
        std::lock_guard<std::mutex> lock(FLock);
        FStop = true;
    }
    FWake.notify_one();
    FThread.join();
}

void TVerdictWriter::Add(TVerdict&& Verdict)
{
    std::lock_guard<std::mutex> lock(FLock);
    FPending.Verdicts.push_back(std::move(Verdict));
    ++FAdded;
    FWake.notify_one();
}

void TVerdictWriter::Add(TFigures&& Figures)
{
    std::lock_guard<std::mutex> lock(FLock);
    FPending.Figures.push_back(std::move(Figures));
    ++FAdded;
    FWake.notify_one();
}

void TVerdictWriter::Add(const TRunUpdate& Update)
{
    std::lock_guard<std::mutex> lock(FLock);
    FPending.Runs.push_back(Update);
    ++FAdded;
    FWake.notify_one();
}

bool TVerdictWriter::Flush()
{
    std::unique_lock<std::mutex> lock(FLock);
    const quint64 target = FAdded;
    const quint64 failures = FFailures;
    if (FCommitted >= target)
        return true;
    FFlushWanted = true;
    FWake.notify_one();
    FDone.wait(lock, [&] { return FCommitted >= target || FFailures != failures; });
    return FCommitted >= target;
}

QString TVerdictWriter::LastError() const
{
    std::lock_guard<std::mutex> lock(FLock);
    return FError;
}

void TVerdictWriter::Loop()
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(CommitEveryMs);
    {
        std::optional<TStatements> statements;
        // The first verdict goes at once; later ones gather for the rest of the period.
        auto lastCommit = Clock::now() - period;
        std::unique_lock<std::mutex> lock(FLock);
        for (;;) {
            const bool urgent = FStop || FFlushWanted;
            if (FPending.Empty() && !urgent) {
                FWake.wait(lock);
                continue;
            }
            if (!urgent && Clock::now() < lastCommit + period) {
                FWake.wait_until(lock, lastCommit + period);
                continue;
            }
            TBatch batch = std::move(FPending);
            FPending = TBatch();
            const quint64 upTo = FAdded;
            FFlushWanted = false;
            lock.unlock();
            QString error;
            bool ok = true;
            if (!batch.Empty()) {
                try {
                    if (!statements)
                        statements.emplace(Open(FConnectionName, FPath));
                    ok = Commit(*statements, batch, error);
                } catch (const EOrvantaError& e) {
                    ok = false;
                    error = e.Message();
                }
            }
            lock.lock();
            lastCommit = Clock::now();
            if (ok) {
                FCommitted = upTo;
                FError.clear();
            } else {
                // Kept for the next attempt, before whatever came meanwhile.
                batch.Append(std::move(FPending));
                FPending = std::move(batch);
                FError = error;
                ++FFailures;
            }
            FDone.notify_all();
            if (FStop && (FPending.Empty() || !ok))
                break;
        }
    }
    QSqlDatabase::removeDatabase(FConnectionName);
}

bool TVerdictWriter::Commit(TStatements& S, const TBatch& Batch, QString& Error)
{
    const auto failed = [&](const QSqlQuery& Query) {
        if (Error.isEmpty())
            Error = Problem(Query.lastError());
        QSqlQuery(S.Db).exec(u"ROLLBACK"_qs);
        S.TextIds.clear();
        return false;
    };
    // Takes the write lock at once: a deferred transaction that turns into a writer cannot wait for it.
    QSqlQuery begin(S.Db);
    if (!begin.exec(u"BEGIN IMMEDIATE"_qs)) {
        Error = Problem(begin.lastError());
        return false;
    }
    for (const TVerdict& v : Batch.Verdicts) {
        qint64 reason = 0;
        qint64 server = 0;
        if (!v.Reason.Text.isEmpty()) {
            const auto id = S.TextId(ReasonText, v.Reason.Label, v.Reason.Text, Error);
            if (!id)
                return failed(S.AddText);
            reason = *id;
        }
        if (!v.Server.isEmpty()) {
            const auto id = S.TextId(ServerText, QString(), v.Server, Error);
            if (!id)
                return failed(S.AddText);
            server = *id;
        }
        S.Verdict.bindValue(0, v.Key);
        S.Verdict.bindValue(1, v.Via);
        S.Verdict.bindValue(2, v.Status);
        S.Verdict.bindValue(3, OrNull(reason));
        S.Verdict.bindValue(4, OrNull(server));
        S.Verdict.bindValue(5, v.Checked);
        if (!S.Verdict.exec())
            return failed(S.Verdict);
    }
    for (const TFigures& f : Batch.Figures) {
        S.Figures.bindValue(0, f.Key);
        S.Figures.bindValue(1, f.PR);
        S.Figures.bindValue(2, f.TIC);
        S.Figures.bindValue(3, f.Fetched);
        if (!S.Figures.exec())
            return failed(S.Figures);
    }
    for (const TRunUpdate& r : Batch.Runs) {
        S.Run.bindValue(0, OrNull(r.Ended));
        S.Run.bindValue(1, r.Counts.Total);
        S.Run.bindValue(2, r.Counts.Free);
        S.Run.bindValue(3, r.Counts.Taken);
        S.Run.bindValue(4, r.Counts.Failed);
        S.Run.bindValue(5, r.Id);
        if (!S.Run.exec())
            return failed(S.Run);
    }
    QSqlQuery commit(S.Db);
    if (!commit.exec(u"COMMIT"_qs))
        return failed(commit);
    return true;
}
