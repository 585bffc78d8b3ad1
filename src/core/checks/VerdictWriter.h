#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/VerdictStore.h"

#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// The verdict store's writer thread: what the store is handed waits here and goes to the file in one
// transaction a second at most, on a connection of the thread's own. Internal to the store.
class TVerdictWriter
{
public:
    struct TVerdict {
        QString Key;
        int Via = 0;
        int Status = 0;
        TCheckFailure Reason;
        QString Server;
        qint64 Checked = 0;
    };
    struct TFigures {
        QString Key;
        QString PR;
        QString TIC;
        qint64 Fetched = 0;
    };
    struct TRunUpdate {
        qint64 Id = 0;
        TRunCounts Counts;
        qint64 Ended = 0;
    };

    TVerdictWriter(const QString& Path, const QString& ConnectionName);
    // Commits the rest, then ends the thread.
    ~TVerdictWriter();
    TVerdictWriter(const TVerdictWriter&) = delete;
    TVerdictWriter& operator=(const TVerdictWriter&) = delete;

    void Add(TVerdict&& Verdict);
    void Add(TFigures&& Figures);
    void Add(const TRunUpdate& Update);
    // Waits until everything added before the call is committed; false when a commit failed meanwhile.
    bool Flush();
    QString LastError() const;

    // Longest a verdict waits for its commit.
    static constexpr int CommitEveryMs = 1000;

private:
    struct TBatch {
        std::vector<TVerdict> Verdicts;
        std::vector<TFigures> Figures;
        std::vector<TRunUpdate> Runs;
        bool Empty() const { return Verdicts.empty() && Figures.empty() && Runs.empty(); }
        // Puts Later after this batch's own items.
        void Append(TBatch&& Later);
    };
    struct TStatements;

    void Loop();
    // Writes Batch in one transaction; false, with the reason in Error and nothing written, on a failure.
    static bool Commit(TStatements& Statements, const TBatch& Batch, QString& Error);

    QString FPath;
    QString FConnectionName;
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::condition_variable FDone;
    TBatch FPending;
    quint64 FAdded = 0; // items handed over so far
    quint64 FCommitted = 0; // items on disk so far
    quint64 FFailures = 0; // commits that failed so far
    bool FFlushWanted = false;
    bool FStop = false;
    QString FError;
    std::thread FThread;
};
