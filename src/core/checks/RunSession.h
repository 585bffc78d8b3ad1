#pragma once

#include "core/candidates/Candidate.h"
#include "core/candidates/Generation.h"
#include "core/checks/CheckRun.h"
#include "core/checks/VerdictStore.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class QTimer;

// What a run is to build and do.
struct TRunRequest {
    // The names: the keywords combined Mode + 2 at a time in each of Zones, or, with NamesGiven, the lines
    // of Names as CandidatesOfNames takes them (a line without a zone goes to each of Zones).
    QStringList Keywords;
    int Mode = 0;
    // The forms of each keyword combination besides the joined keywords; names given whole take none.
    TNameVariants Variants;
    bool NamesGiven = false;
    QStringList Names;
    QStringList Zones;
    bool CheckAvailability = false;
    bool FetchMetrics = false;
    TCheckSetup Setup;
    // Verdicts known before asking (an earlier run's output): given the new list, it fills in what it
    // knows, and the stages ask only about the rest.
    std::function<void(QList<TCandidate>&)> FillKnown;
    // With a store and the availability check: the names FillKnown left that have a stored verdict still
    // fresh under these ages take it instead of being asked.
    TReuseAges Reuse;
};

// How a run ended.
struct TRunSummary {
    // Stopped before its end, by the user or a signal.
    bool Stopped = false;
    // Names whose availability could not be checked, and names whose figures could not be fetched.
    int CheckFailures = 0;
    int MetricsFailures = 0;
};

// The candidates of the program's results and the runs that build and check them. It is the one owner of
// the candidate list: a window, the batch tool and the tests read it and follow the signals, and nothing
// else changes it. Rows changed are told in batches, a few times a second at most.
class TRunSession : public QObject
{
    Q_OBJECT
public:
    explicit TRunSession(QObject* parent = nullptr);
    ~TRunSession() override;

    const QList<TCandidate>& Candidates() const { return FCandidates; }
    bool Running() const { return FRun != nullptr; }
    // Where the run in progress stands.
    TRunProgress Progress() const;

    // Replaces the list by the names of Request, then runs the stages it asks for (none: the run ends at
    // once). False, with nothing changed, while a run is going. Throws EOrvantaError when the list would
    // not fit in this machine's memory; the list is left as it was.
    bool Start(const TRunRequest& Request);
    // Asks again about every name without a verdict (failed or not checked) and, with Metrics, looks up
    // the figures still missing. False when there is nothing to ask or a run is going.
    bool Recheck(const TCheckSetup& Setup, bool Metrics);
    // Stops the run in progress at once: every verdict obtained is kept, the rest stay unchecked, and
    // Finished comes before this returns.
    void Stop();
    // Stops any run and empties the list.
    void Clear();
    // Replaces the list by Candidates as they were kept (a session restored); false while a run goes.
    bool Restore(QList<TCandidate> Candidates);

    // From now on every outcome, the figures and the runs are kept in Store (not owned; null: nowhere), the
    // runs marked as Origin's. Store failures never stop a run: StoreFailed tells them.
    void SetStore(TVerdictStore* Store, TRunOrigin Origin);
    TVerdictStore* Store() const { return FStore; }
    // The stored run the list belongs to; 0 when none.
    qint64 RunId() const { return FRunId; }
    // Replaces the list by the names of the stored Run with what they showed (through Restore); a recheck
    // then goes on with that run. False while a run goes, without a store, or when the store fails.
    // Throws EOrvantaError when the names would not fit in memory, as Start does.
    bool RestoreRun(const TStoredRun& Run);
    // Asks again about the names at Rows (indexes into Candidates) whatever their verdict and its age,
    // and about no other. False when there is none or a run is going.
    bool AskAgain(const QList<qsizetype>& Rows, const TCheckSetup& Setup);

    // Verdicts or figures came that were not saved since: losing them costs the registries' time again.
    bool HasUnsavedResults() const { return FUnsaved; }
    // The results as they stand were written out.
    void MarkSaved() { FUnsaved = false; }

    // The failures among Candidates counted by reason, most frequent first: "превышен лимит запросов —
    // 10; сервер не ответил — 2". Empty when none failed. Metrics selects the figures' failures instead.
    static QString FailureCounts(const QList<TCandidate>& Candidates, bool Metrics = false);
    // The end-of-run message about the failures: the checks' fixed first line and counts, then the
    // figures'; empty when nothing failed.
    static QString FailureMessage(const QList<TCandidate>& Candidates, const TRunSummary& Summary);

Q_SIGNALS:
    // The whole list was replaced (a new run, a clear).
    void RowsReset();
    // Rows First to Last (inclusive) have new verdicts, failures or figures.
    void RowsChanged(qsizetype First, qsizetype Last);
    void ProgressChanged(const TRunProgress& Progress);
    // The run is over; every row change has been told before.
    void Finished(const TRunSummary& Summary);
    // The store could not be read or written; the run goes on without what failed.
    void StoreFailed(const QString& Message);

private:
    void Run(const TCheckSetup& Setup, bool Availability, bool Metrics, std::vector<qsizetype> Only = {});
    void MarkChanged(qsizetype Index);
    void FlushChanges();
    void OnRunFinished();
    // The failures of the list as it stands.
    TRunSummary Summary(bool Stopped) const;
    // Records the run's counts and, when Ended, its end.
    void RecordRun(bool Ended);
    // Runs a step of the store, telling its failure instead of passing it on.
    void WithStore(const std::function<void()>& Step);

    QList<TCandidate> FCandidates;
    TCheckRun* FRun = nullptr;
    QTimer* FChangeTimer = nullptr;
    qsizetype FDirtyFirst = -1;
    qsizetype FDirtyLast = -1;
    bool FUnsaved = false;
    TVerdictStore* FStore = nullptr;
    TRunOrigin FOrigin = TRunOrigin::Window;
    qint64 FRunId = 0;
};

// What a stage does, as its progress line begins: "Проверка занятости", "Получение PR и ТИЦ".
QString StageName(TRunStage Stage);
// A paused server as people read it: "whois.tcinet.ru: пауза 40 с — лимит запросов".
QString PauseText(const TPausedServer& Server);

// The candidates of a request: Lines are keywords combined Mode + 2 at a time in each of Zones, or with
// NamesGiven the names as CandidatesOfNames takes them. Throws EOrvantaError as BuildCandidates does.
QList<TCandidate> CandidatesOfRequest(bool NamesGiven, const QStringList& Lines, const QStringList& Zones, int Mode,
    const TNameVariants& Variants = TNameVariants());
// How the names of Candidates stand.
TRunCounts CountsOf(const QList<TCandidate>& Candidates);

// The candidates of Lines taken as domain names, as ForEachGivenName gives them. A line that is no valid
// domain name stays in the list, failed at once with its reason: no stage ever sends it.
QList<TCandidate> CandidatesOfNames(const QStringList& Lines, const QStringList& Zones);

// The exact number of names Start would build from Request, without building them.
TCandidateCount RequestedCount(const TRunRequest& Request);
// How many names of Request each zone would have asked, for the time a check takes (TCheckRun::EstimateMs);
// names that are never sent count nowhere.
QHash<QString, qint64> RequestedPerZone(const TRunRequest& Request);
