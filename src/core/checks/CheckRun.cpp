#include "core/checks/CheckRun.h"

#include "core/candidates/NameRules.h"
#include "core/checks/DelegationCheck.h"
#include "core/checks/RdapClient.h"
#include "core/checks/SiteMetrics.h"
#include "core/checks/WhoisRules.h"

#include <QDateTime>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <utility>

namespace
{

// Registries count by their own clock; starting a little after the window has passed keeps a query from
// landing just inside it.
qint64 SafetyMs(qint64 WindowMs)
{
    return std::max<qint64>(50, WindowMs / 50);
}

// What a pause is for, in a few words.
QString PauseCause(const QString& Label)
{
    return Label == CheckReasons::RateLimited().Label ? QStringLiteral("лимит запросов") : Label;
}

} // namespace

namespace MetricsReasons
{
TCheckFailure Failed(const QString& Detail)
{
    return { QStringLiteral("не удалось получить PR и ТИЦ"), Detail };
}
} // namespace MetricsReasons

// One server's queue and pacing.
struct TCheckRun::TServer {
    QString Host;
    bool Rdap = false;
    int Queries = 60; // lowered after each refusal
    qint64 WindowMs = 60000;
    std::deque<qsizetype> Queue;
    std::deque<qint64> Starts; // when the last Queries queries started
    std::unique_ptr<TWhoisQuery> Query;
    std::unique_ptr<TRdapQuery> RdapQuery;
    qsizetype Current = -1;
    qint64 PausedUntil = 0;
    int RefusalsInRow = 0;
    QString PauseCause;
    // How long its answers take: a slow server is slower than its limit.
    qint64 AnswerMs = 0;
    int Answers = 0;
    QTimer* Timer = nullptr;
    // Names still with DNS, and, once the server is given up, why the names DNS lets go fail.
    qsizetype AwaitingDns = 0;
    std::optional<TCheckFailure> GaveUp;
};

TCheckRun::TCheckRun(
    QList<TCandidate>& Candidates, const TCheckSetup& Setup, bool Availability, bool Metrics, QObject* parent)
    : QObject(parent)
    , FCandidates(Candidates)
    , FSetup(Setup)
    , FAvailability(Availability)
    , FMetrics(Metrics)
{
}

TCheckRun::~TCheckRun()
{
    for (auto& s : FQueues) {
        if (s->Query)
            s->Query->Abort();
        if (s->RdapQuery)
            s->RdapQuery->Abort();
    }
    for (TSiteMetrics* lookup : FLookups.keys()) {
        lookup->Abort();
        delete lookup;
    }
}

void TCheckRun::Start()
{
    FStarted = true;
    FClock.start();
    // The time left and a pause's countdown change while nothing ends: told again every second.
    auto* ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (!FFinished && !FCancelled)
            Q_EMIT ProgressChanged();
    });
    ticker->start(1000);
    // Everything, the names that need no server included, is judged from the event loop: a caller's
    // handlers are connected by then.
    QTimer::singleShot(0, this, [this] {
        if (FCancelled)
            return;
        if (FAvailability)
            StartAvailability();
        else
            StartMetrics();
    });
}

void TCheckRun::StartAvailability()
{
    FStage = TRunStage::Availability;
    FInAvailability = true;
    FDone = 0;
    FTotal = 0;
    if (!FRestricted) {
        FOnly.resize(size_t(FCandidates.size()));
        for (qsizetype i = 0; i < FCandidates.size(); ++i)
            FOnly[size_t(i)] = i;
    }
    for (const qsizetype i : FOnly)
        FTotal += !FCandidates.at(i).Judged();
    // Names judged without a server are counted in one step, not told one by one.
    FQuiet = true;
    QHash<QString, TServer*> byHost;
    if (FSetup.DnsFirst) {
        FDns = TDelegationCheck::Create(FCandidates, FSetup.DnsServer, FSetup.DnsAtOnce, FSetup.DnsTimeoutMs);
        if (FDns) {
            connect(FDns.get(), &TDelegationCheck::Delegated, this, &TCheckRun::OnDelegated);
            connect(FDns.get(), &TDelegationCheck::Released, this, &TCheckRun::OnReleased);
        }
    }
    for (const qsizetype i : std::exchange(FOnly, {})) {
        TCandidate& d = FCandidates[i];
        if (d.Judged())
            continue;
        d.ClearVerdict();
        // A name that is no domain name is never sent: a registry's "not found" would call it free.
        if (!IsValidCandidateName(d.Name, d.Zone)) {
            d.SetOutcome(TStatus::Failed, TVia::None, {}, CheckReasons::InvalidName());
            Count(i);
            continue;
        }
        // Nor a name its zone does not take: "redкот.ru" would go out in its IDNA form and come back free.
        if (!FSetup.ZoneScripts.Allows(d.Name, d.Zone)) {
            d.SetOutcome(TStatus::Failed, TVia::None, {}, CheckReasons::NotInZone());
            Count(i);
            continue;
        }
        auto zone = FQueueOfZone.constFind(d.Zone);
        if (zone == FQueueOfZone.cend()) {
            const TRoute route = RouteFor(d.Zone, FSetup);
            FRouteOfZone.insert(d.Zone, route);
            zone = FQueueOfZone.insert(d.Zone, QueueFor(route, byHost));
        }
        // DNS first, for every name: one it lets go joins its queue (or fails there without a server).
        if (FDns) {
            FDns->Add(i);
            if (*zone)
                ++(*zone)->AwaitingDns;
            continue;
        }
        if (!*zone) {
            d.SetOutcome(TStatus::Failed, TVia::None, {}, CheckReasons::NoServer());
            Count(i);
            continue;
        }
        (*zone)->Queue.push_back(i);
    }
    FQuiet = false;
    Q_EMIT ProgressChanged();
    for (auto& s : FQueues)
        Pump(*s);
    AvailabilityDone();
}

void TCheckRun::OnDelegated(qsizetype Index)
{
    TCandidate& d = FCandidates[Index];
    if (TServer* server = FQueueOfZone.value(d.Zone))
        --server->AwaitingDns;
    d.SetOutcome(TStatus::Taken, TVia::Dns, FDns->ServerText(), DnsReasons::Delegated());
    Count(Index);
    AvailabilityDone();
}

void TCheckRun::OnReleased(qsizetype Index)
{
    TCandidate& d = FCandidates[Index];
    TServer* server = FQueueOfZone.value(d.Zone);
    if (server)
        --server->AwaitingDns;
    if (server && !server->GaveUp) {
        server->Queue.push_back(Index);
        Pump(*server);
        return;
    }
    d.SetOutcome(TStatus::Failed, TVia::None, {}, server ? *server->GaveUp : CheckReasons::NoServer());
    Count(Index);
    AvailabilityDone();
}

void TCheckRun::Pump(TServer& Server)
{
    if (FCancelled || !FInAvailability || Server.Current >= 0 || Server.Queue.empty())
        return;
    const qint64 now = FClock.elapsed();
    qint64 wait = Server.PausedUntil - now;
    while (Server.Starts.size() > size_t(Server.Queries))
        Server.Starts.pop_front();
    if (Server.Starts.size() >= size_t(Server.Queries))
        wait = std::max(wait, Server.Starts.front() + Server.WindowMs + SafetyMs(Server.WindowMs) - now);
    if (wait > 0) {
        Server.Timer->start(int(std::min<qint64>(wait, std::numeric_limits<int>::max())));
        return;
    }
    Server.Starts.push_back(now);
    Server.Current = Server.Queue.front();
    Server.Queue.pop_front();
    TCandidate& d = FCandidates[Server.Current];
    TServer* server = &Server;
    if (Server.Rdap) {
        const QString base = FRouteOfZone.value(d.Zone).Server;
        // Kept from the moment it is asked: a name the run never reached names no server.
        d.SetServer(base);
        d.Via = TVia::Rdap;
        if (Server.RdapQuery)
            Server.RdapQuery.release()->deleteLater();
        Server.RdapQuery = std::make_unique<TRdapQuery>(FSetup.RdapLimits);
        connect(Server.RdapQuery.get(), &TRdapQuery::Finished, this, [this, server] { OnQueryFinished(*server); });
        QStringList others = FSetup.Rdap.BaseUrlsFor(d.Zone);
        others.removeAll(base);
        Server.RdapQuery->Start(base, d.Name, others);
        return;
    }
    d.SetServer(Server.Host);
    d.Via = TVia::Whois;
    // A fresh exchange for every query: a socket is not reused from inside its own close.
    if (Server.Query)
        Server.Query.release()->deleteLater();
    Server.Query = std::make_unique<TWhoisQuery>(FSetup.WhoisLimits);
    connect(Server.Query.get(), &TWhoisQuery::Finished, this, [this, server] { OnQueryFinished(*server); });
    Server.Query->Start(Server.Host, FSetup.WhoisPort, d.Name);
}

TCheckRun::TServer* TCheckRun::QueueFor(const TRoute& Route, QHash<QString, TServer*>& ByHost)
{
    if (Route.Server.isEmpty())
        return nullptr;
    // RDAP servers are paced by their host: one registry's zones share its limit.
    const QString host = Route.Rdap ? QUrl(Route.Server).host() : Route.Server;
    const QString key = (Route.Rdap ? QStringLiteral("rdap ") : QStringLiteral("whois ")) + host.toLower();
    if (TServer* known = ByHost.value(key))
        return known;
    auto s = std::make_unique<TServer>();
    s->Host = host;
    s->Rdap = Route.Rdap;
    const TServerLimit limit = FSetup.Limits.For(host);
    s->Queries = limit.Queries;
    s->WindowMs = qint64(limit.Seconds) * 1000;
    s->Timer = new QTimer(this);
    s->Timer->setSingleShot(true);
    TServer* server = s.get();
    connect(s->Timer, &QTimer::timeout, this, [this, server] { Pump(*server); });
    ByHost.insert(key, server);
    FQueues.push_back(std::move(s));
    return server;
}

TCheckRun::TRoute TCheckRun::RouteFor(const QString& Zone, const TCheckSetup& Setup)
{
    TRoute route;
    route.Server = Setup.Rdap.BaseUrlFor(Zone);
    route.Rdap = !route.Server.isEmpty();
    if (!route.Rdap)
        route.Server = TCheckSetup::ServerFor(Setup.Servers, Zone).trimmed();
    return route;
}

TCheckRun::TOutcome TCheckRun::Outcome(TServer& Server, qsizetype Index) const
{
    TOutcome out;
    if (Server.Rdap) {
        const TRdapVerdict& v = Server.RdapQuery->Verdict();
        out.Status = v.Status;
        out.Refused = v.Refused;
        // The server said when to come back; its word is the pause.
        out.PauseMs = v.RetryAfterMs;
        out.Failure = v.Failure;
        out.Server = v.Server;
        return out;
    }
    if (Server.Query->Failed()) {
        out.Failure = Server.Query->Failure();
        return out;
    }
    const TWhoisVerdict v = JudgeWhoisAnswer(Server.Query->Answer(), FCandidates.at(Index).Name, Server.Host);
    out.Status = v.Status;
    out.Refused = v.Refused;
    // Doubled with each refusal in a row, from one window.
    const int shift = std::min(Server.RefusalsInRow, 20);
    out.PauseMs = std::min(FSetup.MaxPauseMs, Server.WindowMs << shift);
    out.Failure = v.Failure;
    return out;
}

void TCheckRun::OnQueryFinished(TServer& Server)
{
    const qsizetype index = std::exchange(Server.Current, -1);
    if (index < 0)
        return;
    if (!Server.Starts.empty()) {
        Server.AnswerMs += FClock.elapsed() - Server.Starts.back();
        ++Server.Answers;
    }
    JudgeOne(Server, index);
    Pump(Server);
    AvailabilityDone();
}

void TCheckRun::JudgeOne(TServer& Server, qsizetype Index)
{
    TCandidate& d = FCandidates[Index];
    const TOutcome outcome = Outcome(Server, Index);
    if (!outcome.Refused) {
        Server.RefusalsInRow = 0;
        d.Status = outcome.Status;
        d.SetReason(outcome.Failure);
        // Credited to the server that answered, which a redirect may have made another of the zone's.
        if (!outcome.Server.isEmpty())
            d.SetServer(outcome.Server);
        Count(Index);
        return;
    }
    // A refusal says nothing about the name: the server rests, asks less from now on, and the name waits
    // for its turn again, unless it has been refused too often.
    ++Server.RefusalsInRow;
    Server.PausedUntil = FClock.elapsed() + outcome.PauseMs;
    Server.PauseCause = PauseCause(outcome.Failure.Label);
    Server.Queries = std::max(1, Server.Queries - std::max(1, Server.Queries / 4));
    if (outcome.PauseMs > FSetup.MaxPauseMs) {
        // Longer than a run waits: the server's names fail now rather than hold the run for hours, and
        // none is asked before the server allows it.
        const TCheckFailure failure = RdapReasons::WaitTooLong(outcome.PauseMs);
        Server.GaveUp = failure;
        d.Status = TStatus::Failed;
        d.SetReason(failure);
        Count(Index);
        for (const qsizetype i : Server.Queue) {
            FCandidates[i].Status = TStatus::Failed;
            FCandidates[i].SetReason(failure);
            Count(i);
        }
        Server.Queue.clear();
        return;
    }
    if (++FRefusalsOf[Index] >= FSetup.RefusalsToFail) {
        d.Status = TStatus::Failed;
        d.SetReason(outcome.Failure);
        Count(Index);
        return;
    }
    Server.Queue.push_front(Index);
    // The pause shows at once.
    Q_EMIT ProgressChanged();
}

void TCheckRun::Restrict(std::vector<qsizetype> Rows)
{
    FRestricted = true;
    FOnly = std::move(Rows);
}

void TCheckRun::Count(qsizetype Index)
{
    if (FStage == TRunStage::Availability)
        FCandidates[Index].CheckedAt = QDateTime::currentSecsSinceEpoch();
    ++FDone;
    Q_EMIT Judged(Index);
    if (!FQuiet)
        Q_EMIT ProgressChanged();
}

void TCheckRun::AvailabilityDone()
{
    if (!FInAvailability || FCancelled || (FDns && FDns->Pending() > 0))
        return;
    for (auto& s : FQueues)
        if (s->Current >= 0 || !s->Queue.empty())
            return;
    FInAvailability = false;
    Q_EMIT AvailabilityFinished();
    if (!FCancelled)
        StartMetrics();
}

void TCheckRun::StartMetrics()
{
    if (!FMetrics) {
        Finish();
        return;
    }
    FStage = TRunStage::Metrics;
    FToLookUp.clear();
    for (qsizetype i = 0; i < FCandidates.size(); ++i)
        if (WantsFigures(FCandidates.at(i)))
            FToLookUp.push_back(i);
    FNextLookup = 0;
    FDone = 0;
    FTotal = int(FToLookUp.size());
    FMetricsStartMs = FClock.elapsed();
    FLookupMs = 0;
    Q_EMIT ProgressChanged();
    NextLookups();
}

void TCheckRun::NextLookups()
{
    while (!FCancelled && FLookups.size() < FSetup.MetricsAtOnce && FNextLookup < FToLookUp.size()) {
        const qsizetype index = FToLookUp[FNextLookup++];
        auto* lookup = new TSiteMetrics(this);
        lookup->TimeoutMs = FSetup.MetricsTimeoutMs;
        lookup->Site = FCandidates.at(index).Name;
        FLookups.insert(lookup, index);
        connect(lookup, &TSiteMetrics::Finished, this, [this, lookup] { OnLookupFinished(lookup); });
        lookup->Start();
    }
    if (FLookups.isEmpty() && !FCancelled)
        Finish();
}

void TCheckRun::OnLookupFinished(TSiteMetrics* Lookup)
{
    const qsizetype index = FLookups.take(Lookup);
    Lookup->deleteLater();
    TCandidate& d = FCandidates[index];
    if (Lookup->Failed()) {
        // One page that fails loses only its own figures: the stage goes on.
        d.SetMetricsReason(MetricsReasons::Failed(Lookup->Error()));
    } else {
        d.PR = Lookup->GetPR();
        d.TIC = Lookup->GetTIC();
        d.MetricsReasonId = 0;
    }
    FLookupMs = FClock.elapsed() - FMetricsStartMs;
    Count(index);
    NextLookups();
}

void TCheckRun::Cancel()
{
    if (FFinished || FCancelled)
        return;
    FCancelled = true;
    if (FDns)
        FDns->Stop();
    for (auto& s : FQueues) {
        s->Timer->stop();
        if (s->Query)
            s->Query->Abort();
        if (s->RdapQuery)
            s->RdapQuery->Abort();
        s->Current = -1;
    }
    for (TSiteMetrics* lookup : FLookups.keys()) {
        lookup->Abort();
        lookup->deleteLater();
    }
    FLookups.clear();
    FInAvailability = false;
    Finish();
}

void TCheckRun::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    Q_EMIT Finished();
}

qint64 TCheckRun::AvailabilityMsLeft() const
{
    const qint64 now = FClock.elapsed();
    qint64 left = 0;
    for (const auto& s : FQueues) {
        // Of the names still with DNS, the share it has let go so far will reach the server.
        const qint64 awaiting
            = FDns && FDns->Answered() > 0 ? s->AwaitingDns * FDns->LetGo() / FDns->Answered() : s->AwaitingDns;
        const qint64 pending = qint64(s->Queue.size()) + (s->Current >= 0) + awaiting;
        if (pending == 0)
            continue;
        const qint64 paused = std::max<qint64>(0, s->PausedUntil - now);
        // Past the queries the current window still allows, each further one waits its share of a window;
        // and no server answers faster than it has been answering.
        const auto inWindow
            = std::count_if(s->Starts.cbegin(), s->Starts.cend(), [&](qint64 t) { return t > now - s->WindowMs; });
        const qint64 free = std::max<qint64>(0, qint64(s->Queries) - qint64(inWindow));
        const qint64 paced = std::max<qint64>(0, pending - free) * s->WindowMs / s->Queries;
        const qint64 answering = s->Answers > 0 ? pending * (s->AnswerMs / s->Answers) : 0;
        left = std::max(left, paused + std::max(paced, answering));
    }
    return left;
}

qint64 TCheckRun::MetricsMsLeft() const
{
    if (FDone == 0)
        return -1;
    const qint64 left = qint64(FTotal) - FDone;
    return left * FLookupMs / FDone;
}

TRunProgress TCheckRun::Progress() const
{
    TRunProgress p;
    p.Stage = FStage;
    p.Done = FDone;
    p.Total = FTotal;
    if (!FStarted || FFinished)
        return p;
    p.MsLeft = FStage == TRunStage::Availability ? AvailabilityMsLeft() : MetricsMsLeft();
    const qint64 now = FClock.elapsed();
    for (const auto& s : FQueues)
        if (s->PausedUntil > now && (s->Current >= 0 || !s->Queue.empty()))
            p.Paused.append({ s->Host, s->PausedUntil - now, s->PauseCause });
    return p;
}

bool TCheckRun::WantsFigures(const TCandidate& Candidate)
{
    return !Candidate.HasFigures() && IsValidCandidateName(Candidate.Name, Candidate.Zone);
}

qint64 TCheckRun::EstimateMs(const QHash<QString, qint64>& NamesPerZone, const TCheckSetup& Setup)
{
    // Names per server: zones on one registry share its limit.
    QHash<QString, qint64> perServer;
    for (auto it = NamesPerZone.cbegin(); it != NamesPerZone.cend(); ++it) {
        const TRoute route = RouteFor(it.key(), Setup);
        if (route.Server.isEmpty())
            continue;
        const QString host = route.Rdap ? QUrl(route.Server).host().toLower() : route.Server.toLower();
        perServer[host] += it.value();
    }
    qint64 longest = 0;
    for (auto it = perServer.cbegin(); it != perServer.cend(); ++it) {
        const TServerLimit limit = Setup.Limits.For(it.key());
        longest = std::max(longest, it.value() * qint64(limit.Seconds) * 1000 / limit.Queries);
    }
    return longest;
}
