#include "support/SessionProbe.h"

#include <QTest>

TSessionProbe::TSessionProbe(TRunSession& Session)
    : Session(Session)
{
    connect(&Session, &TRunSession::Finished, this, [this](const TRunSummary& s) {
        ++Finished;
        Summary = s;
    });
    connect(&Session, &TRunSession::ProgressChanged, this, [this](const TRunProgress& p) {
        Progress = p;
        Progresses << p;
        if (OnProgress)
            OnProgress(p);
    });
    connect(&Session, &TRunSession::RowsChanged, this, [this](qsizetype First, qsizetype Last) {
        Changes.append({ First, Last });
    });
    connect(&Session, &TRunSession::RowsReset, this, [this] { ++Resets; });
}

bool TSessionProbe::WaitFinished(int Count, int TimeoutMs)
{
    return QTest::qWaitFor([&] { return Finished >= Count; }, TimeoutMs) && Finished == Count;
}

QList<TStatus> TSessionProbe::Statuses() const
{
    QList<TStatus> out;
    for (const TCandidate& d : Session.Candidates())
        out << d.Status;
    return out;
}

int TSessionProbe::Judged() const
{
    return int(std::count_if(
        Session.Candidates().cbegin(), Session.Candidates().cend(), [](const TCandidate& d) { return d.Judged(); }));
}
