#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/DnsLookup.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

// The DNS stage in front of the registries. Every name added is looked up (AtOnce at a time, the zones
// taking turns) and then either judged taken, because its zone delegates it, or let go to its registry:
// delegation proves registration, its absence proves nothing. Before a zone's names one random name of it
// is looked up: a zone that delegates that too (a wildcard), or that gives no clear answer about it, is
// not asked about at all, and its names are let go at once.
class TDelegationCheck : public QObject
{
    Q_OBJECT
public:
    // Reads Candidates' names and zones; Candidates must outlive the stage. Null when the resolver cannot
    // be set up: the names then go to their registries as they would without DNS.
    static std::unique_ptr<TDelegationCheck> Create(
        const QList<TCandidate>& Candidates, const std::optional<TDnsServer>& Server, int AtOnce, int TimeoutMs);
    ~TDelegationCheck() override;

    // Queues the name at Index; the lookups begin from the event loop.
    void Add(qsizetype Index);
    // Names added and neither judged nor let go yet.
    qsizetype Pending() const { return FPending; }
    // Names whose lookup has ended, and how many of them were let go: the share of the pending names that
    // will reach their registries.
    qsizetype Answered() const { return FAnswered; }
    qsizetype LetGo() const { return FLetGo; }
    // The resolver asked, as people read it.
    QString ServerText() const { return FResolver->ServerText(); }
    // No more lookups and no more signals.
    void Stop();

Q_SIGNALS:
    // The zone delegates the name at Index: it is taken.
    void Delegated(qsizetype Index);
    // DNS cannot say: the registry is to be asked about the name at Index.
    void Released(qsizetype Index);

private:
    struct TZone;
    TDelegationCheck(const QList<TCandidate>& Candidates, std::unique_ptr<TDnsResolver> Resolver, int AtOnce);
    void Next();
    void OnProbed(TZone& Zone, TNsAnswer Answer);
    void OnAnswered(qsizetype Index, TNsAnswer Answer);
    void Let(qsizetype Index);

    const QList<TCandidate>& FCandidates;
    std::unique_ptr<TDnsResolver> FResolver;
    int FAtOnce;
    std::vector<std::unique_ptr<TZone>> FZones;
    QHash<QString, TZone*> FZoneOf;
    // Zones whose random name is still to be looked up, and zones with names ready, in turn.
    std::deque<TZone*> FToProbe;
    std::deque<TZone*> FTurns;
    qsizetype FPending = 0;
    qsizetype FLetGo = 0;
    qsizetype FAnswered = 0;
    bool FScheduled = false;
    bool FStopped = false;
};
