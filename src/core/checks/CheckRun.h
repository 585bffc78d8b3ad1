#pragma once

#include "core/candidates/Candidate.h"
#include "core/candidates/ZoneScripts.h"
#include "core/checks/DnsLookup.h"
#include "core/checks/HttpRequest.h"
#include "core/checks/RdapBootstrap.h"
#include "core/checks/WhoisClient.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

class TDelegationCheck;
class TSiteMetrics;
class QTimer;

// How fast one server may be asked: at most Queries queries in any Seconds seconds.
struct TServerLimit {
    int Queries = 60;
    int Seconds = 60;
};

// The limits list: lines "HOST:QUERIES:SECONDS", letter case of the host ignored, "*" for every other
// server. Lines that do not have that form are passed over.
class TServerLimits
{
public:
    explicit TServerLimits(const QStringList& Lines = {});
    TServerLimit For(const QString& Host) const;

private:
    QHash<QString, TServerLimit> FHosts;
    TServerLimit FDefault;
};

// Where and how the names of a run are asked: the servers, their limits and the query limits.
struct TCheckSetup {
    // The zone-to-WHOIS-server table (ParseZoneServers of the WHOIS list's lines).
    QList<TZoneServer> Servers;
    quint16 WhoisPort = 43;
    TWhoisLimits WhoisLimits;
    TServerLimits Limits;
    // Zones this list names are asked over RDAP, all others over WHOIS; empty: WHOIS only.
    TRdapBootstrap Rdap;
    THttpLimits RdapLimits;
    // Which letters each zone's names may use; a name that breaks its zone's rule is never sent.
    TZoneScripts ZoneScripts;
    // The product site is one host: this many lookups at once.
    int MetricsAtOnce = 4;
    int MetricsTimeoutMs = 30000;
    // A name refused this many times fails with the refusal's reason.
    int RefusalsToFail = 3;
    qint64 MaxPauseMs = qint64(3600) * 1000;
    // DNS first: a name its zone delegates is taken without asking the registry. Off unless the window or
    // the batch tool switches it on, so nothing asks a resolver it was not meant to.
    bool DnsFirst = false;
    // The resolver asked; none: the system's (/etc/resolv.conf).
    std::optional<TDnsServer> DnsServer;
    int DnsAtOnce = 32;
    int DnsTimeoutMs = 2000;

    // The table of a WHOIS list: "zone:server" per line; a third piece ("zone:host:port") is dropped.
    static QList<TZoneServer> ParseZoneServers(const QStringList& Lines);
    // The server for Zone: its own line (letter case ignored, Unicode zones by their IDNA form), else the
    // last "*" line's, else empty.
    static QString ServerFor(const QList<TZoneServer>& Servers, const QString& Zone);
};

// The two stages of a check run.
enum class TRunStage {
    Availability,
    Metrics,
};

// A server resting after a refusal.
struct TPausedServer {
    QString Host;
    qint64 MsLeft = 0;
    // What the pause is for, in a few words: "лимит запросов".
    QString Cause;
};

// Where a run stands: its stage, the names of that stage done and in all, the stage's estimated time left
// (-1 when there is nothing to go by yet) and the servers now paused.
struct TRunProgress {
    TRunStage Stage = TRunStage::Availability;
    int Done = 0;
    int Total = 0;
    qint64 MsLeft = -1;
    QList<TPausedServer> Paused;
};

// One check run over a candidate list: the availability stage asks each name's registry whether it is
// taken, over RDAP where the registry offers it and over WHOIS elsewhere, every server with its own queue,
// paced by its limit and paused by its refusals, all servers side by side; the metrics stage then fetches
// PR and ТИЦ, a few at a time, a failed page failing only its own name's figures. Driven by the network's
// signals: nothing waits. Only names with no verdict are asked, and only names without figures are looked
// up, so a run repeated over the same list goes on where the last one stopped.
class TCheckRun : public QObject
{
    Q_OBJECT
public:
    // Candidates is changed in place and must outlive the run: its owner hands it over for the run's life
    // and does not change its length meanwhile.
    TCheckRun(QList<TCandidate>& Candidates, const TCheckSetup& Setup, bool Availability, bool Metrics,
        QObject* parent = nullptr);
    ~TCheckRun() override;

    // Starts the run; Judged, ProgressChanged, AvailabilityFinished and Finished follow from the event loop.
    void Start();
    // Ends the run at once: every exchange in flight is aborted, the verdicts obtained are kept, and
    // Finished is emitted before it returns.
    void Cancel();

    // Asks only about the names at Rows (those without a verdict) instead of every name; before Start.
    void Restrict(std::vector<qsizetype> Rows);

    bool Cancelled() const { return FCancelled; }
    TRunProgress Progress() const;
    TRunStage Stage() const { return FStage; }

    // How long asking the names of each zone (zone -> how many) would take at the servers' limits, in
    // milliseconds: the slowest server's share, servers working side by side.
    static qint64 EstimateMs(const QHash<QString, qint64>& NamesPerZone, const TCheckSetup& Setup);
    // The metrics stage looks the name up: it has no figures yet, and it is a domain name (anything else
    // is never sent).
    static bool WantsFigures(const TCandidate& Candidate);

Q_SIGNALS:
    // The candidate at Index has a new verdict, failure or figures.
    void Judged(qsizetype Index);
    // Where the run stands has changed (also once a second while waiting, for the time left).
    void ProgressChanged();
    // The availability stage is over; the metrics stage starts when the handlers return.
    void AvailabilityFinished();
    void Finished();

private:
    struct TServer;
    // Where the names of one zone are asked: a WHOIS host, or an RDAP base URL.
    struct TRoute {
        QString Server;
        bool Rdap = false;
    };
    // What one query said, whichever protocol asked.
    struct TOutcome {
        TStatus Status = TStatus::Failed;
        bool Refused = false;
        qint64 PauseMs = 0;
        TCheckFailure Failure;
        // The server that answered, when it is not the one asked.
        QString Server;
    };

    void StartAvailability();
    void OnDelegated(qsizetype Index);
    void OnReleased(qsizetype Index);
    void Pump(TServer& Server);
    void OnQueryFinished(TServer& Server);
    void JudgeOne(TServer& Server, qsizetype Index);
    TOutcome Outcome(TServer& Server, qsizetype Index) const;
    static TRoute RouteFor(const QString& Zone, const TCheckSetup& Setup);
    // The queue of Route's server, made on first use; null when the route names no server.
    TServer* QueueFor(const TRoute& Route, QHash<QString, TServer*>& ByHost);
    // Records the end of the name at Index in the current stage.
    void Count(qsizetype Index);
    void AvailabilityDone();
    void StartMetrics();
    void NextLookups();
    void OnLookupFinished(TSiteMetrics* Lookup);
    qint64 AvailabilityMsLeft() const;
    qint64 MetricsMsLeft() const;
    void Finish();

    QList<TCandidate>& FCandidates;
    TCheckSetup FSetup;
    bool FAvailability;
    bool FMetrics;
    QElapsedTimer FClock;
    std::vector<std::unique_ptr<TServer>> FQueues;
    QHash<qsizetype, int> FRefusalsOf;
    QHash<QString, TRoute> FRouteOfZone;
    // Each zone's queue, found once: millions of names share a handful of zones. Null: no server.
    QHash<QString, TServer*> FQueueOfZone;
    std::unique_ptr<TDelegationCheck> FDns;
    bool FRestricted = false;
    std::vector<qsizetype> FOnly;
    TRunStage FStage = TRunStage::Availability;
    bool FInAvailability = false;
    bool FQuiet = false;
    bool FStarted = false;
    bool FCancelled = false;
    bool FFinished = false;
    int FDone = 0;
    int FTotal = 0;
    // Metrics stage: the names to look up, the next of them, the lookups in flight.
    std::vector<qsizetype> FToLookUp;
    size_t FNextLookup = 0;
    QHash<TSiteMetrics*, qsizetype> FLookups;
    qint64 FMetricsStartMs = 0;
    qint64 FLookupMs = 0; // spent in the metrics stage when the last lookup ended
};

namespace MetricsReasons
{
// The figures of a page that could not be fetched: Detail says why.
TCheckFailure Failed(const QString& Detail);
} // namespace MetricsReasons
