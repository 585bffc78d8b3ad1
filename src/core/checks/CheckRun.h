#pragma once

#include "core/candidates/Candidate.h"
#include "core/candidates/ZoneScripts.h"
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

struct TCheckRunOptions {
    bool Whois = false;
    bool Metrics = false;
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
};

// One check run over a candidate list: the WHOIS stage asks each name's registry whether it is taken, over
// RDAP where the registry offers it and over WHOIS elsewhere, every server with its own queue, paced by its limit and
// paused by its refusals, all servers side by side; the metrics stage then fetches PR and ТИЦ, a few at a time. Driven
// by the sockets' signals: nothing waits. Only names with no verdict yet are asked (a run resumed or repeated keeps
// what was judged).
class TCheckRun : public QObject
{
    Q_OBJECT
public:
    // Candidates is changed in place and must outlive the run; Servers is the zone-to-server table.
    TCheckRun(QList<TCandidate>& Candidates, const QList<TZoneServer>& Servers, const TCheckRunOptions& Options,
        QObject* parent = nullptr);
    ~TCheckRun() override;

    // Starts the run; Progress, WhoisFinished and Finished follow from the event loop.
    void Start();
    // Ends the run at once: every exchange in flight is aborted, the verdicts obtained are kept, and
    // WhoisFinished (when the WHOIS stage was on) and Finished are emitted before it returns.
    void Cancel();

    // Why the metrics stage ended the run; empty when it did not.
    const QString& Error() const { return FError; }
    int Done() const { return FDone; }
    int Total() const { return FTotal; }
    // Estimated time left, in milliseconds; -1 when there is nothing to go by yet.
    qint64 MsLeft() const;
    // The servers now paused: "whois.tcinet.ru: пауза 40 с — лимит запросов".
    QStringList Pauses() const;
    // What the progress shows beside its bar: "Проверено N из M", the time left, the pauses.
    QStringList StatusLines() const;

    // The server for Zone: its own line (letter case ignored), else the last "*" line's, else empty.
    static QString ServerFor(const QList<TZoneServer>& Servers, const QString& Zone);

Q_SIGNALS:
    void Progress(int Done, int Total);
    // The WHOIS stage is over (also when stopped); the metrics stage starts when the handlers return.
    void WhoisFinished();
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

    void StartWhois();
    void Pump(TServer& Server);
    void OnQueryFinished(TServer& Server);
    void JudgeOne(TServer& Server, qsizetype Index);
    TOutcome Outcome(TServer& Server, qsizetype Index) const;
    TRoute RouteFor(const QString& Zone);
    // The queue of Route's server, made on first use; null when the route names no server.
    TServer* QueueFor(const TRoute& Route, QHash<QString, TServer*>& ByHost);
    void Count();
    void WhoisDone();
    void StartMetrics();
    void NextLookups();
    void OnLookupFinished(TSiteMetrics* Lookup);
    void Finish();

    QList<TCandidate>& FCandidates;
    QList<TZoneServer> FServers;
    TCheckRunOptions FOptions;
    QElapsedTimer FClock;
    std::vector<std::unique_ptr<TServer>> FQueues;
    QHash<qsizetype, int> FRefusalsOf;
    QHash<QString, TRoute> FRouteOfZone;
    bool FInWhois = false;
    bool FQuiet = false;
    bool FStarted = false;
    bool FCancelled = false;
    bool FFinished = false;
    int FDone = 0;
    int FTotal = 0;
    QString FError;
    // Metrics stage
    qsizetype FNextLookup = 0;
    QHash<TSiteMetrics*, qsizetype> FLookups;
    qint64 FMetricsStartMs = 0;
    qint64 FLookupMs = 0; // spent in the metrics stage when the last lookup ended
    int FLookupsDone = 0;
};
