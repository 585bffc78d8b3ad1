#include "core/checks/DomainEngine.h"

#include "core/candidates/NameRules.h"
#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainShell.h"
#include "core/checks/WhoisRules.h"
#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"

#include <QHash>
#include <QObject>
#include <algorithm>
#include <utility>

TCandidateCount TDomain::CandidateCount(int Mode) const
{
    return ::CandidateCount(Words, FirstDomains.size(), Mode);
}

void TDomain::BuildCandidates(int Mode)
{
    ::BuildCandidates(Words, FirstDomains, Mode, Candidates);
}

QString FailureCounts(const QList<TCandidate>& List)
{
    QHash<QString, int> counts;
    QStringList order;
    for (const TCandidate& d : List) {
        if (!d.Failed())
            continue;
        const QString label = d.Reason().Label;
        if (!counts.contains(label))
            order << label;
        ++counts[label];
    }
    std::stable_sort(order.begin(), order.end(),
        [&counts](const QString& a, const QString& b) { return counts.value(a) > counts.value(b); });
    QStringList parts;
    for (const QString& label : order)
        parts << label + u" — " + QString::number(counts.value(label));
    return parts.join(u"; ");
}

QString CheckFailureMessage(const QList<TCandidate>& List)
{
    QString text
        = QStringLiteral("Одно или несколько доменных имен не удалось проверить на занятость, возможно сервера "
                         "whois указанные в настройках не отвечают.");
    const QString counts = FailureCounts(List);
    if (!counts.isEmpty())
        text += u'\n' + counts;
    return text;
}

TDomain::TDomain(TDomainShell* Shell)
    : FShell(Shell)
{
}

TDomain::~TDomain()
{
    // A run still going is dropped without telling a window that may be gone already.
    delete std::exchange(FRun, nullptr);
}

void TDomain::FillWordList(const QStringList& List)
{
    Words = CleanKeywords(List);
}

void TDomain::FillWhoisList(const QStringList& List)
{
    WhoisServerLines.clear();
    WhoisServerLines = List;
}

void TDomain::FillFirstDomainList(const QStringList& List)
{
    // Joining with CR LF and splitting again gives the same lines; copy them directly.
    FirstDomains = List;
}

void TDomain::Generate(int Mode)
{
    // The candidate list is never rebuilt under a run's checks.
    if (Running())
        return;
    BuildCandidates(Mode);
    RunStages();
}

void TDomain::RunStages()
{
    if (!FShell || Running())
        return;
    StartRun(FShell->AutoWhois(), FShell->AutoRange());
}

bool TDomain::RecheckUnjudged()
{
    if (!FShell || Running())
        return false;
    if (std::none_of(Candidates.cbegin(), Candidates.cend(), [](const TCandidate& d) { return !d.Judged(); }))
        return false;
    StartRun(true, false);
    return true;
}

void TDomain::StartRun(bool Whois, bool Metrics)
{
    FWhoisFailures = 0;
    FillZoneServers();
    if (!Whois && !Metrics) {
        // Nothing to ask: no traffic, the grid at once.
        FShell->ProgressSetPosition(0);
        FillGridData();
        FShell->RunFinished(QString());
        return;
    }
    TCheckRunOptions options;
    options.Whois = Whois;
    options.Metrics = Metrics;
    options.WhoisPort = WhoisPort;
    options.WhoisLimits = WhoisLimits;
    options.Limits = TServerLimits(ServerLimits);
    options.Rdap = RdapBootstrap;
    options.ZoneScripts = TZoneScripts(ZoneScripts);
    options.MetricsTimeoutMs = MetricsTimeoutMs;
    FRun = new TCheckRun(Candidates, ZoneServers, options);
    TCheckRun* run = FRun;
    QObject::connect(run, &TCheckRun::Progress, run, [this, run](int Done, int) {
        FShell->ProgressSetPosition(Done);
        FShell->ProgressDetails(run->StatusLines());
    });
    QObject::connect(run, &TCheckRun::WhoisFinished, run, [this] {
        FWhoisFailures = int(
            std::count_if(Candidates.cbegin(), Candidates.cend(), [](const TCandidate& d) { return d.Failed(); }));
        // Told at the end of its own stage, before the metrics stage starts, while the progress is still up.
        if (FWhoisFailures > 0)
            FShell->ShowInformation(QString::fromUtf16(QuorbelConsts::ProductName), CheckFailureMessage(Candidates));
    });
    QObject::connect(run, &TCheckRun::Finished, run, [this] { OnRunFinished(); });
    run->Start();
    FShell->ProgressSetMax(run->Total());
    FShell->ProgressSetPosition(0);
    FShell->ProgressDetails(run->StatusLines());
    if (Candidates.size() > 5)
        FShell->ProgressShow();
}

void TDomain::OnRunFinished()
{
    TCheckRun* run = std::exchange(FRun, nullptr);
    const QString error = run->Error();
    run->deleteLater();
    // Shown also after an error or a stop: every verdict and figure obtained is on screen.
    FillGridData();
    FShell->ProgressHide();
    FShell->RunFinished(error);
}

void TDomain::CancelRun()
{
    if (FRun)
        FRun->Cancel();
}

void TDomain::FillZoneServers()
{
    ZoneServers.clear();
    ZoneServers.reserve(WhoisServerLines.size());
    for (const QString& line : WhoisServerLines) {
        // Zone and server; a third piece ("zone:host:port") is dropped.
        QStringList pieces { QString(), QString() };
        SplitText(pieces, QStringLiteral(":"), line);
        ZoneServers.append(TZoneServer { pieces.at(0), pieces.at(1) });
    }
}

QString TDomain::WhoisServerFor(const QString& FDN) const
{
    return TCheckRun::ServerFor(ZoneServers, FDN);
}

void TDomain::CleanGrid(bool Fast)
{
    if (!FShell)
        return;
    FShell->SetGridVisible(false);
    FShell->Grid().Clear(!Fast);
}

void TDomain::FillHeader()
{
    if (!FShell)
        return;
    CleanGrid(true);
    FShell->Grid().SetHeader({ QStringLiteral("Доменное имя"), QStringLiteral("Зона"), QStringLiteral("Занятость"),
        QStringLiteral("PR"), QStringLiteral("ТИЦ") });
}

void TDomain::FillGridData()
{
    if (!FShell)
        return;
    CleanGrid(false);
    FillHeader();
    FShell->Grid().SetRows(Candidates);
    if (!Candidates.isEmpty())
        FShell->SetGridVisible(true);
}

void TDomain::GridResize()
{
    if (!FShell)
        return;
    const TGridGeometry g = FShell->GridGeometry();
    const qint64 rowsHeight = qint64(g.RowHeight) * FShell->Grid().RowCount();
    const int first = g.PanelWidth - (rowsHeight > g.GridHeight ? 360 : 340);
    FShell->SetColumnWidths({ first, 50, 90, 100, 100 });
}
