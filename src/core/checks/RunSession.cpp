#include "core/checks/RunSession.h"

#include "core/candidates/Generation.h"
#include "core/candidates/GivenNames.h"
#include "core/candidates/NameRules.h"
#include "core/checks/ReasonTexts.h"
#include "core/checks/WhoisRules.h"
#include "core/common/Durations.h"
#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <utility>

namespace
{

// Rows changed are told at most this often: a grid redraws them in one go.
constexpr int ChangeBatchMs = 200;

} // namespace

TRunSession::TRunSession(QObject* parent)
    : QObject(parent)
    , FChangeTimer(new QTimer(this))
{
    FChangeTimer->setSingleShot(true);
    FChangeTimer->setInterval(ChangeBatchMs);
    connect(FChangeTimer, &QTimer::timeout, this, &TRunSession::FlushChanges);
}

TRunSession::~TRunSession()
{
    // A run still going is dropped without a word: nobody may be listening any more.
    delete std::exchange(FRun, nullptr);
}

TRunProgress TRunSession::Progress() const
{
    return FRun ? FRun->Progress() : TRunProgress();
}

bool TRunSession::Start(const TRunRequest& Request)
{
    if (Running())
        return false;
    const QStringList lines = Request.NamesGiven ? Request.Names : CleanKeywords(Request.Keywords);
    QList<TCandidate> built = CandidatesOfRequest(Request.NamesGiven, lines, Request.Zones, Request.Mode, Request.Variants);
    if (Request.FillKnown)
        Request.FillKnown(built);
    qint64 runId = 0;
    if (FStore) {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        WithStore([&] {
            if (Request.CheckAvailability)
                FStore->FillFresh(built, Request.Reuse, now);
        });
        TStoredRun record;
        record.Started = now;
        record.Origin = FOrigin;
        record.NamesGiven = Request.NamesGiven;
        record.Request = lines;
        record.Mode = Request.Mode;
        record.Zones = Request.Zones;
        record.Variants = Request.NamesGiven ? TNameVariants() : Request.Variants;
        record.CheckAvailability = Request.CheckAvailability;
        record.FetchMetrics = Request.FetchMetrics;
        record.Reuse = Request.Reuse;
        const TRunCounts counts = CountsOf(built);
        record.Total = counts.Total;
        record.Free = counts.Free;
        record.Taken = counts.Taken;
        record.Failed = counts.Failed;
        WithStore([&] { runId = FStore->BeginRun(record); });
    }
    FChangeTimer->stop();
    FDirtyFirst = FDirtyLast = -1;
    FCandidates = std::move(built);
    FUnsaved = false;
    FRunId = runId;
    Q_EMIT RowsReset();
    Run(Request.Setup, Request.CheckAvailability, Request.FetchMetrics);
    return true;
}

bool TRunSession::Recheck(const TCheckSetup& Setup, bool Metrics)
{
    if (Running())
        return false;
    const bool unjudged
        = std::any_of(FCandidates.cbegin(), FCandidates.cend(), [](const TCandidate& d) { return !d.Judged(); });
    const bool missing = Metrics && std::any_of(FCandidates.cbegin(), FCandidates.cend(), &TCheckRun::WantsFigures);
    if (!unjudged && !missing)
        return false;
    Run(Setup, unjudged, missing);
    return true;
}

bool TRunSession::AskAgain(const QList<qsizetype>& Rows, const TCheckSetup& Setup)
{
    if (Running())
        return false;
    std::vector<qsizetype> rows;
    for (const qsizetype i : Rows)
        if (i >= 0 && i < FCandidates.size())
            rows.push_back(i);
    if (rows.empty())
        return false;
    for (const qsizetype i : rows) {
        FCandidates[i].ClearVerdict();
        MarkChanged(i);
    }
    Run(Setup, true, false, std::move(rows));
    return true;
}

void TRunSession::Run(const TCheckSetup& Setup, bool Availability, bool Metrics, std::vector<qsizetype> Only)
{
    RecordRun(false);
    if (!Availability && !Metrics) {
        // Nothing to ask: the run ends at once, from the event loop like every other end. Names failed
        // before asking (no valid domain name) are still told.
        QTimer::singleShot(0, this, [this] {
            RecordRun(true);
            Q_EMIT Finished(Summary(false));
        });
        return;
    }
    FRun = new TCheckRun(FCandidates, Setup, Availability, Metrics, this);
    if (!Only.empty())
        FRun->Restrict(std::move(Only));
    connect(FRun, &TCheckRun::Judged, this, &TRunSession::MarkChanged);
    connect(FRun, &TCheckRun::ProgressChanged, this, [this] {
        if (FRun)
            Q_EMIT ProgressChanged(FRun->Progress());
    });
    connect(FRun, &TCheckRun::Finished, this, &TRunSession::OnRunFinished);
    FRun->Start();
}

void TRunSession::MarkChanged(qsizetype Index)
{
    if (FStore && FRun) {
        const TCandidate& d = FCandidates.at(Index);
        if (FRun->Stage() == TRunStage::Availability)
            FStore->Put(d);
        else
            FStore->PutFigures(d, QDateTime::currentSecsSinceEpoch());
    }
    FUnsaved = true;
    FDirtyFirst = FDirtyFirst < 0 ? Index : std::min(FDirtyFirst, Index);
    FDirtyLast = std::max(FDirtyLast, Index);
    if (!FChangeTimer->isActive())
        FChangeTimer->start();
}

void TRunSession::FlushChanges()
{
    FChangeTimer->stop();
    if (FDirtyFirst < 0)
        return;
    const qsizetype first = std::exchange(FDirtyFirst, -1);
    const qsizetype last = std::exchange(FDirtyLast, -1);
    if (FRun)
        RecordRun(false);
    Q_EMIT RowsChanged(first, last);
}

void TRunSession::RecordRun(bool Ended)
{
    if (!FStore || FRunId == 0)
        return;
    FStore->UpdateRun(FRunId, CountsOf(FCandidates), Ended ? QDateTime::currentSecsSinceEpoch() : 0);
    // What the writer could not commit shows once the run is over; it keeps trying meanwhile.
    if (Ended) {
        const QString error = FStore->LastError();
        if (!error.isEmpty())
            Q_EMIT StoreFailed(QCoreApplication::translate("TRunSession", "Результаты не удалось записать в базу %1: %2.").arg(FStore->Path(), error));
    }
}

void TRunSession::WithStore(const std::function<void()>& Step)
{
    try {
        Step();
    } catch (const EOrvantaError& e) {
        Q_EMIT StoreFailed(e.Message());
    }
}

void TRunSession::SetStore(TVerdictStore* Store, TRunOrigin Origin)
{
    FStore = Store;
    FOrigin = Origin;
    FRunId = 0;
}

void TRunSession::OnRunFinished()
{
    TCheckRun* run = std::exchange(FRun, nullptr);
    const TRunSummary summary = Summary(run->Cancelled());
    run->deleteLater();
    FlushChanges();
    RecordRun(true);
    Q_EMIT Finished(summary);
}

TRunSummary TRunSession::Summary(bool Stopped) const
{
    TRunSummary summary;
    summary.Stopped = Stopped;
    for (const TCandidate& d : FCandidates) {
        summary.CheckFailures += d.Failed();
        summary.MetricsFailures += d.MetricsFailed();
    }
    return summary;
}

void TRunSession::Stop()
{
    if (FRun)
        FRun->Cancel();
}

void TRunSession::Clear()
{
    Stop();
    FChangeTimer->stop();
    FDirtyFirst = FDirtyLast = -1;
    FCandidates = QList<TCandidate>();
    FUnsaved = false;
    // Cleared results are not what the window is to reopen with.
    if (FStore && FRunId != 0)
        WithStore([this] { FStore->DismissRun(FRunId); });
    FRunId = 0;
    Q_EMIT RowsReset();
}

bool TRunSession::Restore(QList<TCandidate> Candidates)
{
    if (Running())
        return false;
    FChangeTimer->stop();
    FDirtyFirst = FDirtyLast = -1;
    FCandidates = std::move(Candidates);
    FUnsaved = false;
    FRunId = 0;
    Q_EMIT RowsReset();
    return true;
}

bool TRunSession::RestoreRun(const TStoredRun& Run)
{
    if (Running() || !FStore)
        return false;
    QList<TCandidate> list = CandidatesOfRequest(Run.NamesGiven, Run.Request, Run.Zones, Run.Mode, Run.Variants);
    bool read = false;
    WithStore([&] {
        FStore->FillRun(list, Run);
        read = true;
    });
    if (!read)
        return false;
    Restore(std::move(list));
    FRunId = Run.Id;
    return true;
}

QString TRunSession::FailureCounts(const QList<TCandidate>& Candidates, bool Metrics)
{
    QHash<QString, int> counts;
    QStringList order;
    for (const TCandidate& d : Candidates) {
        if (Metrics ? !d.MetricsFailed() : !d.Failed())
            continue;
        const QString label = (Metrics ? d.MetricsReason() : d.Reason()).Label;
        if (!counts.contains(label))
            order << label;
        ++counts[label];
    }
    std::stable_sort(order.begin(), order.end(),
        [&counts](const QString& a, const QString& b) { return counts.value(a) > counts.value(b); });
    QStringList parts;
    for (const QString& label : order)
        parts << ShownReason(label) + u" — " + QString::number(counts.value(label));
    return parts.join(u"; ");
}

QString TRunSession::FailureMessage(const QList<TCandidate>& Candidates, const TRunSummary& Summary)
{
    QStringList lines;
    if (Summary.CheckFailures > 0) {
        lines << QCoreApplication::translate("TRunSession", "Одно или несколько доменных имен не удалось проверить на занятость, возможно "
                                "сервера whois указанные в настройках не отвечают.");
        lines << FailureCounts(Candidates);
    }
    if (Summary.MetricsFailures > 0)
        lines << QCoreApplication::translate("TRunSession", "PR и ТИЦ не удалось получить для доменных имен: %1.").arg(Summary.MetricsFailures);
    return lines.join(u'\n');
}

QString StageName(TRunStage Stage)
{
    return Stage == TRunStage::Metrics ? QCoreApplication::translate("TRunSession", "Получение PR и ТИЦ") : QCoreApplication::translate("TRunSession", "Проверка занятости");
}

QString PauseText(const TPausedServer& Server)
{
    return QCoreApplication::translate("TRunSession", "%1: пауза %2 — %3").arg(Server.Host, DurationText(Server.MsLeft), ShownReason(Server.Cause));
}

QList<TCandidate> CandidatesOfRequest(
    bool NamesGiven, const QStringList& Lines, const QStringList& Zones, int Mode, const TNameVariants& Variants)
{
    if (NamesGiven)
        return CandidatesOfNames(Lines, Zones);
    QList<TCandidate> out;
    BuildCandidates(Lines, Zones, Mode, out, Variants);
    return out;
}

TRunCounts CountsOf(const QList<TCandidate>& Candidates)
{
    TRunCounts counts;
    counts.Total = int(Candidates.size());
    for (const TCandidate& d : Candidates) {
        counts.Free += d.Status == TStatus::Free;
        counts.Taken += d.Status == TStatus::Taken;
        counts.Failed += d.Failed();
    }
    return counts;
}

QList<TCandidate> CandidatesOfNames(const QStringList& Lines, const QStringList& Zones)
{
    QList<TCandidate> out;
    ForEachGivenName(Lines, Zones, [&out](const QString& Name, const QString& Zone) {
        TCandidate d;
        d.Name = Name;
        d.Zone = Zone;
        // Never sent anywhere, whatever the run asks: its verdict is known now.
        if (!IsValidCandidateName(Name, Zone))
            d.SetOutcome(TStatus::Failed, TVia::None, {}, CheckReasons::InvalidName());
        out.append(d);
    });
    return out;
}

TCandidateCount RequestedCount(const TRunRequest& Request)
{
    if (Request.NamesGiven)
        return TCandidateCount(GivenNameCount(Request.Names, Request.Zones));
    return CandidateCount(CleanKeywords(Request.Keywords), Request.Zones, Request.Mode, Request.Variants);
}

QHash<QString, qint64> RequestedPerZone(const TRunRequest& Request)
{
    QHash<QString, qint64> perZone;
    if (Request.NamesGiven) {
        ForEachGivenName(Request.Names, Request.Zones, [&perZone](const QString& Name, const QString& Zone) {
            if (IsValidCandidateName(Name, Zone))
                ++perZone[Zone];
        });
        return perZone;
    }
    const std::vector<TCandidateCount> inZone
        = ZoneCandidateCounts(CleanKeywords(Request.Keywords), Request.Zones, Request.Mode, Request.Variants);
    for (qsizetype z = 0; z < Request.Zones.size(); ++z)
        perZone[Request.Zones.at(z)]
            += qint64(std::min<TCandidateCount>(inZone[size_t(z)], std::numeric_limits<qint64>::max()));
    return perZone;
}
