#pragma once

#include "core/checks/RunSession.h"

#include <QList>
#include <QPair>
#include <functional>

// Records what a run session tells: its progress, the rows it changed, the runs' ends.
class TSessionProbe : public QObject
{
public:
    explicit TSessionProbe(TRunSession& Session);

    TRunSession& Session;
    int Finished = 0;
    TRunSummary Summary; // the last run's
    TRunProgress Progress; // the last told
    QList<TRunProgress> Progresses;
    QList<QPair<qsizetype, qsizetype>> Changes;
    int Resets = 0;
    // Runs on every progress told; tests use it to act in the middle of a run.
    std::function<void(const TRunProgress&)> OnProgress;

    // Waits until Count runs in all have ended; false when they did not within TimeoutMs.
    bool WaitFinished(int Count = 1, int TimeoutMs = 60000);
    // The statuses of the session's candidates, in list order.
    QList<TStatus> Statuses() const;
    // How many candidates are free or taken.
    int Judged() const;
};
