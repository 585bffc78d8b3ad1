#include "core/checks/DelegationCheck.h"

#include "core/candidates/NameRules.h"

#include <QRandomGenerator>
#include <QTimer>

namespace
{

// A label no one registers: twenty random letters.
QByteArray RandomLabel()
{
    QByteArray label(20, 'a');
    for (char& c : label)
        c = char('a' + QRandomGenerator::global()->bounded(26));
    return label;
}

} // namespace

struct TDelegationCheck::TZone {
    enum class TState {
        Unprobed,
        Probing,
        Usable,
        Skipped,
    };
    QByteArray Ascii;
    TState State = TState::Unprobed;
    std::deque<qsizetype> Waiting;
};

std::unique_ptr<TDelegationCheck> TDelegationCheck::Create(
    const QList<TCandidate>& Candidates, const std::optional<TDnsServer>& Server, int AtOnce, int TimeoutMs)
{
    std::unique_ptr<TDnsResolver> resolver = TDnsResolver::Create(Server, TimeoutMs);
    if (!resolver)
        return nullptr;
    return std::unique_ptr<TDelegationCheck>(new TDelegationCheck(Candidates, std::move(resolver), AtOnce));
}

TDelegationCheck::TDelegationCheck(
    const QList<TCandidate>& Candidates, std::unique_ptr<TDnsResolver> Resolver, int AtOnce)
    : FCandidates(Candidates)
    , FResolver(std::move(Resolver))
    , FAtOnce(std::max(1, AtOnce))
{
}

TDelegationCheck::~TDelegationCheck()
{
    // The lookups in flight are dropped before the zones they point at.
    FResolver.reset();
}

void TDelegationCheck::Add(qsizetype Index)
{
    const QString& zoneName = FCandidates.at(Index).Zone;
    TZone*& zone = FZoneOf[zoneName];
    if (!zone) {
        FZones.push_back(std::make_unique<TZone>());
        zone = FZones.back().get();
        zone->Ascii = AsciiDomainName(zoneName);
        FToProbe.push_back(zone);
    }
    zone->Waiting.push_back(Index);
    ++FPending;
    if (zone->Waiting.size() == 1 && zone->State != TZone::TState::Unprobed && zone->State != TZone::TState::Probing)
        FTurns.push_back(zone);
    if (!FScheduled) {
        FScheduled = true;
        QTimer::singleShot(0, this, [this] {
            FScheduled = false;
            Next();
        });
    }
}

void TDelegationCheck::Stop()
{
    FStopped = true;
    FToProbe.clear();
    FTurns.clear();
}

void TDelegationCheck::Next()
{
    while (!FStopped && FResolver->InFlight() < FAtOnce) {
        // A zone's names wait for its probe, so the probes go first.
        if (!FToProbe.empty()) {
            TZone* zone = FToProbe.front();
            FToProbe.pop_front();
            if (zone->Ascii.isEmpty()) {
                zone->State = TZone::TState::Skipped;
                FTurns.push_back(zone);
                continue;
            }
            zone->State = TZone::TState::Probing;
            FResolver->LookupNs(
                RandomLabel() + '.' + zone->Ascii, [this, zone](TNsAnswer Answer) { OnProbed(*zone, Answer); });
            continue;
        }
        if (FTurns.empty())
            return;
        TZone* zone = FTurns.front();
        FTurns.pop_front();
        const qsizetype index = zone->Waiting.front();
        zone->Waiting.pop_front();
        if (!zone->Waiting.empty())
            FTurns.push_back(zone);
        const QByteArray name = AsciiDomainName(FCandidates.at(index).Name);
        if (zone->State == TZone::TState::Skipped || name.isEmpty()) {
            Let(index);
            continue;
        }
        FResolver->LookupNs(name, [this, index](TNsAnswer Answer) { OnAnswered(index, Answer); });
    }
}

void TDelegationCheck::OnProbed(TZone& Zone, TNsAnswer Answer)
{
    if (FStopped)
        return;
    // Only a clear "no" about a name nobody registered shows that delegation means something here.
    Zone.State = Answer == TNsAnswer::Undelegated ? TZone::TState::Usable : TZone::TState::Skipped;
    if (Zone.State == TZone::TState::Usable) {
        if (!Zone.Waiting.empty())
            FTurns.push_back(&Zone);
    } else {
        while (!Zone.Waiting.empty() && !FStopped) {
            const qsizetype index = Zone.Waiting.front();
            Zone.Waiting.pop_front();
            Let(index);
        }
    }
    Next();
}

void TDelegationCheck::OnAnswered(qsizetype Index, TNsAnswer Answer)
{
    if (FStopped)
        return;
    ++FAnswered;
    if (Answer == TNsAnswer::Delegated) {
        --FPending;
        Q_EMIT Delegated(Index);
    } else {
        ++FLetGo;
        Let(Index);
    }
    Next();
}

void TDelegationCheck::Let(qsizetype Index)
{
    --FPending;
    Q_EMIT Released(Index);
}
