#include "core/checks/CheckRun.h"

#include "core/candidates/NameRules.h"
#include "core/checks/RdapClient.h"
#include "core/checks/SiteMetrics.h"
#include "core/checks/WhoisRules.h"

#include <QDateTime>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Registries count by their own clock; starting a little after the window has passed keeps a query from
// landing just inside it.
qint64 SafetyMs(qint64 WindowMs)
{
    return std::max<qint64>(50, WindowMs / 50);
}

QString Duration(qint64 Ms)
{
    const qint64 s = (Ms + 999) / 1000;
    if (s < 60)
        return QStringLiteral("%1 с").arg(s);
    if (s < 3600)
        return QStringLiteral("%1 мин %2 с").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 ч %2 мин").arg(s / 3600).arg((s % 3600) / 60);
}

// What a pause is for, in a few words.
QString PauseCause(const QString& Label)
{
    return Label == CheckReasons::RateLimited().Label ? QStringLiteral("лимит запросов") : Label;
}

} // namespace

TServerLimits::TServerLimits(const QStringList& Lines)
{
    // One rule for a server named twice, "*" included: its first valid line counts.
    bool defaultGiven = false;
    for (const QString& line : Lines) {
        const QStringList parts = line.trimmed().split(u':');
        if (parts.size() != 3)
            continue;
        bool okQ = false;
        bool okS = false;
        const int queries = parts.at(1).trimmed().toInt(&okQ);
        const int seconds = parts.at(2).trimmed().toInt(&okS);
        const QString host = parts.at(0).trimmed().toLower();
        if (!okQ || !okS || queries < 1 || seconds < 1 || host.isEmpty())
            continue;
        if (host != u"*") {
            if (!FHosts.contains(host))
                FHosts.insert(host, { queries, seconds });
        } else if (!defaultGiven) {
            FDefault = { queries, seconds };
            defaultGiven = true;
        }
    }
}

TServerLimit TServerLimits::For(const QString& Host) const
{
    return FHosts.value(Host.toLower(), FDefault);
}

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
    QTimer* Timer = nullptr;
};

TCheckRun::TCheckRun(QList<TCandidate>& Candidates, const QList<TZoneServer>& Servers,
    const TCheckRunOptions& Options, QObject* parent)
    : QObject(parent)
    , FCandidates(Candidates)
    , FServers(Servers)
    , FOptions(Options)
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

QString TCheckRun::ServerFor(const QList<TZoneServer>& Servers, const QString& Zone)
{
    const QString zone = Zone.toLower();
    QString fallback;
    for (const TZoneServer& a : Servers) {
        if (a.Zone.toLower() == zone)
            return a.Server;
        if (a.Zone == u"*")
            fallback = a.Server;
    }
    return fallback;
}

void TCheckRun::Start()
{
    FStarted = true;
    FClock.start();
    // The time left and a pause's countdown change while nothing ends: told again every second.
    auto* ticker = new QTimer(this);
    connect(ticker, &QTimer::timeout, this, [this] {
        if (!FFinished && !FCancelled)
            Q_EMIT Progress(FDone, FTotal);
    });
    ticker->start(1000);
    if (FOptions.Whois)
        for (const TCandidate& d : FCandidates)
            FTotal += d.Status == StatusUnknown;
    if (FOptions.Metrics)
        FTotal += int(FCandidates.size());
    // Everything, the names that need no server included, is judged from the event loop: a caller's
    // handlers are connected by then.
    QTimer::singleShot(0, this, [this] {
        if (FCancelled)
            return;
        if (FOptions.Whois)
            StartWhois();
        else
            StartMetrics();
    });
}

void TCheckRun::StartWhois()
{
    FInWhois = true;
    // Names judged without a server are counted in one step, not told one by one.
    FQuiet = true;
    QHash<QString, TServer*> byHost;
    // Each zone's queue, found once: millions of names share a handful of zones. Null: no server.
    QHash<QString, TServer*> byZone;
    for (qsizetype i = 0; i < FCandidates.size(); ++i) {
        TCandidate& d = FCandidates[i];
        if (d.Status != StatusUnknown)
            continue;
        d.SetFailure({});
        d.SetServer({});
        // A name that is no domain name is never sent: a registry's "not found" would call it free.
        if (!IsValidCandidateName(d.Name, d.Zone)) {
            d.SetFailure(CheckReasons::InvalidName());
            Count();
            continue;
        }
        auto zone = byZone.constFind(d.Zone);
        if (zone == byZone.cend())
            zone = byZone.insert(d.Zone, QueueFor(RouteFor(d.Zone), byHost));
        if (!*zone) {
            d.SetFailure(CheckReasons::NoServer());
            Count();
            continue;
        }
        (*zone)->Queue.push_back(i);
    }
    FQuiet = false;
    if (FDone > 0)
        Q_EMIT Progress(FDone, FTotal);
    for (auto& s : FQueues)
        Pump(*s);
    WhoisDone();
}

void TCheckRun::Pump(TServer& Server)
{
    if (FCancelled || !FInWhois || Server.Current >= 0 || Server.Queue.empty())
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
        if (Server.RdapQuery)
            Server.RdapQuery.release()->deleteLater();
        Server.RdapQuery = std::make_unique<TRdapQuery>(FOptions.RdapLimits);
        connect(Server.RdapQuery.get(), &TRdapQuery::Finished, this, [this, server] { OnQueryFinished(*server); });
        Server.RdapQuery->Start(base, d.Name);
        return;
    }
    d.SetServer(Server.Host);
    // A fresh exchange for every query: a socket is not reused from inside its own close.
    if (Server.Query)
        Server.Query.release()->deleteLater();
    Server.Query = std::make_unique<TWhoisQuery>(FOptions.WhoisLimits);
    connect(Server.Query.get(), &TWhoisQuery::Finished, this, [this, server] { OnQueryFinished(*server); });
    Server.Query->Start(Server.Host, FOptions.WhoisPort, d.Name);
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
    const TServerLimit limit = FOptions.Limits.For(host);
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

TCheckRun::TRoute TCheckRun::RouteFor(const QString& Zone)
{
    auto it = FRouteOfZone.constFind(Zone);
    if (it == FRouteOfZone.cend()) {
        TRoute route;
        route.Server = FOptions.Rdap.BaseUrlFor(Zone);
        route.Rdap = !route.Server.isEmpty();
        if (!route.Rdap)
            route.Server = ServerFor(FServers, Zone).trimmed();
        it = FRouteOfZone.insert(Zone, route);
    }
    return *it;
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
    out.PauseMs = std::min(FOptions.MaxPauseMs, Server.WindowMs << shift);
    out.Failure = v.Failure;
    return out;
}

void TCheckRun::OnQueryFinished(TServer& Server)
{
    const qsizetype index = std::exchange(Server.Current, -1);
    if (index < 0)
        return;
    JudgeOne(Server, index);
    Pump(Server);
    WhoisDone();
}

void TCheckRun::JudgeOne(TServer& Server, qsizetype Index)
{
    TCandidate& d = FCandidates[Index];
    const TOutcome outcome = Outcome(Server, Index);
    if (!outcome.Refused) {
        Server.RefusalsInRow = 0;
        d.Status = outcome.Status;
        d.SetFailure(outcome.Failure);
        Count();
        return;
    }
    // A refusal says nothing about the name: the server rests, asks less from now on, and the name waits
    // for its turn again, unless it has been refused too often.
    ++Server.RefusalsInRow;
    Server.PausedUntil = FClock.elapsed() + outcome.PauseMs;
    Server.PauseCause = PauseCause(outcome.Failure.Label);
    Server.Queries = std::max(1, Server.Queries - std::max(1, Server.Queries / 4));
    if (outcome.PauseMs > FOptions.MaxPauseMs) {
        // Longer than a run waits: the server's names fail now rather than hold the run for hours, and
        // none is asked before the server allows it.
        const TCheckFailure failure = RdapReasons::WaitTooLong(outcome.PauseMs);
        d.SetFailure(failure);
        Count();
        for (const qsizetype i : Server.Queue) {
            FCandidates[i].SetFailure(failure);
            Count();
        }
        Server.Queue.clear();
        return;
    }
    if (++FRefusalsOf[Index] >= FOptions.RefusalsToFail) {
        d.SetFailure(outcome.Failure);
        Count();
        return;
    }
    Server.Queue.push_front(Index);
    // The pause shows at once.
    Q_EMIT Progress(FDone, FTotal);
}

void TCheckRun::Count()
{
    ++FDone;
    if (!FQuiet)
        Q_EMIT Progress(FDone, FTotal);
}

void TCheckRun::WhoisDone()
{
    if (!FInWhois || FCancelled)
        return;
    for (auto& s : FQueues)
        if (s->Current >= 0 || !s->Queue.empty())
            return;
    FInWhois = false;
    Q_EMIT WhoisFinished();
    if (!FCancelled)
        StartMetrics();
}

void TCheckRun::StartMetrics()
{
    if (!FOptions.Metrics) {
        Finish();
        return;
    }
    FNextLookup = 0;
    FMetricsStartMs = FClock.elapsed();
    NextLookups();
}

void TCheckRun::NextLookups()
{
    while (!FCancelled && FLookups.size() < FOptions.MetricsAtOnce && FNextLookup < FCandidates.size()) {
        auto* lookup = new TSiteMetrics(this);
        lookup->TimeoutMs = FOptions.MetricsTimeoutMs;
        lookup->Site = FCandidates.at(FNextLookup).Name;
        FLookups.insert(lookup, FNextLookup++);
        connect(lookup, &TSiteMetrics::Finished, this, [this, lookup] { OnLookupFinished(lookup); });
        lookup->Start();
    }
    if (FLookups.isEmpty())
        Finish();
}

void TCheckRun::OnLookupFinished(TSiteMetrics* Lookup)
{
    const qsizetype index = FLookups.take(Lookup);
    Lookup->deleteLater();
    if (Lookup->Failed()) {
        // The first failed lookup ends the run; what was obtained stays.
        FError = Lookup->Error();
        Cancel();
        return;
    }
    TCandidate& d = FCandidates[index];
    d.PR = Lookup->GetPR();
    d.TIC = Lookup->GetTIC();
    ++FLookupsDone;
    FLookupMs = FClock.elapsed() - FMetricsStartMs;
    Count();
    NextLookups();
}

void TCheckRun::Cancel()
{
    if (FFinished || FCancelled)
        return;
    FCancelled = true;
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
    if (FInWhois) {
        FInWhois = false;
        Q_EMIT WhoisFinished();
    }
    Finish();
}

void TCheckRun::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    Q_EMIT Finished();
}

qint64 TCheckRun::MsLeft() const
{
    if (!FStarted || FFinished)
        return -1;
    const qint64 now = FClock.elapsed();
    qint64 whois = 0;
    for (const auto& s : FQueues) {
        const qint64 pending = qint64(s->Queue.size()) + (s->Current >= 0);
        if (pending == 0)
            continue;
        const qint64 paused = std::max<qint64>(0, s->PausedUntil - now);
        // Past the queries the current window still allows, each further one waits its share of a window.
        const qint64 free = std::max<qint64>(0, qint64(s->Queries) - qint64(s->Starts.size()));
        whois = std::max(whois, paused + std::max<qint64>(0, pending - free) * s->WindowMs / s->Queries);
    }
    qint64 metrics = 0;
    if (FOptions.Metrics) {
        const qint64 left = qint64(FCandidates.size()) - FLookupsDone;
        if (FLookupsDone > 0)
            metrics = left * (FLookupMs / FLookupsDone);
        else if (!FInWhois)
            return -1;
    }
    return whois + metrics;
}

QStringList TCheckRun::Pauses() const
{
    QStringList out;
    const qint64 now = FClock.elapsed();
    for (const auto& s : FQueues)
        if (s->PausedUntil > now && (s->Current >= 0 || !s->Queue.empty()))
            out << QStringLiteral("%1: пауза %2 — %3").arg(s->Host, Duration(s->PausedUntil - now), s->PauseCause);
    return out;
}

QStringList TCheckRun::StatusLines() const
{
    QStringList out { QStringLiteral("Проверено %1 из %2").arg(FDone).arg(FTotal) };
    const qint64 left = MsLeft();
    if (left >= 0)
        out << QStringLiteral("Осталось примерно %1").arg(Duration(left));
    out << Pauses();
    return out;
}
