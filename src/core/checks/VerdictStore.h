#pragma once

#include "core/candidates/NameVariants.h"

#include "core/candidates/Candidate.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// How long a stored verdict stands in for asking the registry again, in seconds: a taken name rarely comes
// free, a free one can be registered any minute. 0 asks again whatever the age. Failures are never reused.
struct TReuseAges {
    qint64 TakenSeconds = qint64(7) * 24 * 3600;
    qint64 FreeSeconds = 3600;
};

// Which program made a run: the window reopens with its own last run, not with the batch tool's.
enum class TRunOrigin : quint8 {
    Window,
    Batch,
};

// A run as the store keeps it: what was asked for, when, and how its names stood when last written.
struct TStoredRun {
    qint64 Id = 0;
    // Seconds since the epoch, UTC. Ended is 0 while the run goes and after a run cut short by a crash.
    qint64 Started = 0;
    qint64 Ended = 0;
    TRunOrigin Origin = TRunOrigin::Window;
    // Request holds the keywords, or with NamesGiven the names as given.
    bool NamesGiven = false;
    QStringList Request;
    int Mode = 0;
    QStringList Zones;
    // The name variants its names were built with.
    TNameVariants Variants;
    bool CheckAvailability = false;
    bool FetchMetrics = false;
    TReuseAges Reuse;
    int Total = 0;
    int Free = 0;
    int Taken = 0;
    int Failed = 0;
};

// How a run's names stand: its record's counts.
struct TRunCounts {
    int Total = 0;
    int Free = 0;
    int Taken = 0;
    int Failed = 0;
};

// The verdicts of every run, kept across runs and restarts in an SQLite file: per name and protocol the
// latest outcome (status, reason, server, protocol, when), per name the figures and when they came, and the
// runs. The window and the batch tool may use one file at once: writes wait for each other (WAL journal,
// busy timeout), never fail on it.
//
// Reads go through a connection of the calling thread. Verdicts, figures and run counts are queued and
// committed by a writer thread of the store in one transaction a second at most, so a killed process or a
// power cut loses the last second at worst and a run never waits for the disk.
class TVerdictStore
{
public:
    // The schema this build writes; PRAGMA user_version of the file.
    static constexpr int SchemaVersion = 3;
    // Lists longer than this are matched by one pass over the stored verdicts rather than a query per name.
    static constexpr qsizetype PointLookupLimit = 20000;

    // The file in the data folder: verdicts.sqlite.
    static QString DefaultPath();

    // Opens Path, creating it and its folder when missing, and brings its schema up to date. A file that is
    // not a database, fails its integrity check or belongs to another program is moved aside as
    // "Path.bad-DATE" (Notice says so) and a new one is made. Throws EOrvantaError when no file can be used
    // (a folder that cannot be made, a file of a newer schema, a disk error): the run then goes on without it.
    explicit TVerdictStore(const QString& Path);
    // Commits whatever is queued.
    ~TVerdictStore();
    TVerdictStore(const TVerdictStore&) = delete;
    TVerdictStore& operator=(const TVerdictStore&) = delete;

    const QString& Path() const;
    // What the user is to be told about the file found at open (moved aside, and where); empty when nothing.
    const QString& Notice() const;

    // Fills in, for the candidates not yet judged, the stored verdict still fresh at Now under Ages: the
    // latest free or taken of any protocol. Returns how many were filled.
    qsizetype FillFresh(QList<TCandidate>& Candidates, const TReuseAges& Ages, qint64 Now) const;
    // Fills in what Run showed of Candidates (its names rebuilt): the outcomes obtained since it started,
    // later ones included, and the verdicts it found fresh when it started; figures fetched since it
    // started. Names it never reached stay unchecked.
    void FillRun(QList<TCandidate>& Candidates, const TStoredRun& Run) const;

    // The latest runs, newest first.
    QList<TStoredRun> RecentRuns(int Count) const;
    std::optional<TStoredRun> Run(qint64 Id) const;
    // The latest run of Origin, unless the user cleared its results.
    std::optional<TStoredRun> LastRun(TRunOrigin Origin) const;

    // Records a new run (Id ignored) and returns its id.
    qint64 BeginRun(const TStoredRun& Run);
    // The run's results were cleared: it is no longer the one to reopen with.
    void DismissRun(qint64 Id);

    // Queued for the writer thread. A candidate without an outcome or without its time is passed over.
    void Put(const TCandidate& Candidate);
    void PutFigures(const TCandidate& Candidate, qint64 Fetched);
    // The run's counts as they stand and its end (0: still going).
    void UpdateRun(qint64 Id, const TRunCounts& Counts, qint64 Ended);
    // Waits until everything queued before the call is committed; false when it could not be (LastError).
    bool Flush();
    // Why the last commit failed; empty once one succeeds.
    QString LastError() const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> F;
};
