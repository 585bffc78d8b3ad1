#include "core/candidates/Candidate.h"

#include <QHash>
#include <QMutex>
#include <deque>

namespace
{

// Texts kept once and numbered from 1; 0 stands for none. The table only grows: reasons and server names
// are a handful per run, and every distinct text keeps a number of its own.
template <typename TItem> class TTextTable
{
public:
    quint32 Intern(const QString& Key, const TItem& Item)
    {
        QMutexLocker lock(&FLock);
        const auto it = FIds.constFind(Key);
        if (it != FIds.cend())
            return *it;
        FItems.push_back(Item);
        const auto id = quint32(FItems.size());
        FIds.insert(Key, id);
        return id;
    }

    TItem Item(quint32 Id) const
    {
        QMutexLocker lock(&FLock);
        return Id == 0 || Id > FItems.size() ? TItem() : FItems[Id - 1];
    }

private:
    mutable QMutex FLock;
    QHash<QString, quint32> FIds;
    // A deque: growing never moves the texts already handed out.
    std::deque<TItem> FItems;
};

TTextTable<TCheckFailure>& Reasons()
{
    static TTextTable<TCheckFailure> table;
    return table;
}

TTextTable<QString>& Servers()
{
    static TTextTable<QString> table;
    return table;
}

quint32 InternReason(const TCheckFailure& Reason)
{
    return Reason.Text.isEmpty() ? 0 : Reasons().Intern(Reason.Label + u'\n' + Reason.Text, Reason);
}

} // namespace

TCheckFailure TCandidate::Reason() const
{
    return Reasons().Item(ReasonId);
}

TCheckFailure TCandidate::MetricsReason() const
{
    return Reasons().Item(MetricsReasonId);
}

QString TCandidate::Server() const
{
    return Servers().Item(ServerId);
}

void TCandidate::SetReason(const TCheckFailure& Reason)
{
    ReasonId = InternReason(Reason);
}

void TCandidate::SetMetricsReason(const TCheckFailure& Reason)
{
    MetricsReasonId = InternReason(Reason);
}

void TCandidate::SetServer(const QString& Server)
{
    ServerId = Server.isEmpty() ? 0 : Servers().Intern(Server, Server);
}

void TCandidate::SetOutcome(TStatus NewStatus, TVia NewVia, const QString& NewServer, const TCheckFailure& NewReason)
{
    Status = NewStatus;
    Via = NewVia;
    SetServer(NewServer);
    SetReason(NewReason);
}

void TCandidate::ClearVerdict()
{
    Status = TStatus::Unchecked;
    Via = TVia::None;
    ReasonId = 0;
    ServerId = 0;
    CheckedAt = 0;
}

void TStatusCounts::Add(const TCandidate& Candidate)
{
    ++All;
    switch (Candidate.Status) {
    case TStatus::Free:
        ++Free;
        break;
    case TStatus::Taken:
        ++Taken;
        break;
    case TStatus::Failed:
        ++Failed;
        break;
    case TStatus::Unchecked:
        ++Unchecked;
        break;
    }
}

QString ViaName(TVia Via)
{
    switch (Via) {
    case TVia::Whois:
        return QStringLiteral("WHOIS");
    case TVia::Rdap:
        return QStringLiteral("RDAP");
    case TVia::Dns:
        return QStringLiteral("DNS");
    case TVia::None:
        break;
    }
    return {};
}

const char* ViaCode(TVia Via)
{
    switch (Via) {
    case TVia::Whois:
        return "whois";
    case TVia::Rdap:
        return "rdap";
    case TVia::Dns:
        return "dns";
    case TVia::None:
        break;
    }
    return nullptr;
}

TVia ViaOfCode(QStringView Code)
{
    for (TVia via : { TVia::Whois, TVia::Rdap, TVia::Dns })
        if (Code == QLatin1StringView(ViaCode(via)))
            return via;
    return TVia::None;
}
