#include "core/candidates/Candidate.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <limits>

namespace {

// Texts kept once and numbered from 1; 0 stands for none. The table only grows: reasons and server
// names are a handful per run. When it is full, new texts share the last place.
template <typename TItem, typename TKey> class TTextTable {
public:
    quint16 Intern(const TKey& Key, const TItem& Item)
    {
        QMutexLocker lock(&FLock);
        const auto it = FIds.constFind(Key);
        if (it != FIds.cend())
            return *it;
        if (FItems.size() >= std::numeric_limits<quint16>::max())
            return quint16(FItems.size());
        FItems.append(Item);
        const quint16 id = quint16(FItems.size());
        FIds.insert(Key, id);
        return id;
    }

    TItem Item(quint16 Id) const
    {
        QMutexLocker lock(&FLock);
        return Id == 0 || Id > FItems.size() ? TItem() : FItems.at(Id - 1);
    }

private:
    mutable QMutex FLock;
    QHash<TKey, quint16> FIds;
    QList<TItem> FItems;
};

TTextTable<TCheckFailure, QString>& Reasons()
{
    static TTextTable<TCheckFailure, QString> table;
    return table;
}

TTextTable<QString, QString>& Servers()
{
    static TTextTable<QString, QString> table;
    return table;
}

} // namespace

TCheckFailure TCandidate::Failure() const
{
    return Reasons().Item(ReasonId);
}

QString TCandidate::Server() const
{
    return Servers().Item(ServerId);
}

bool TCandidate::AskedOverRdap() const
{
    return IsRdapServer(Server());
}

bool IsRdapServer(const QString& Server)
{
    return Server.startsWith(u"https://") || Server.startsWith(u"http://");
}

void TCandidate::SetFailure(const TCheckFailure& Failure)
{
    ReasonId = Failure.Text.isEmpty() ? 0 : Reasons().Intern(Failure.Label + u'\n' + Failure.Text, Failure);
}

void TCandidate::SetServer(const QString& Server)
{
    ServerId = Server.isEmpty() ? 0 : Servers().Intern(Server, Server);
}

QString StatusCodeText(qint32 Status)
{
    // The three codes are constant texts: the writers ask for millions of them.
    switch (Status) {
    case StatusUnknown:
        return QStringLiteral("-1");
    case StatusFree:
        return QStringLiteral("0");
    case StatusTaken:
        return QStringLiteral("1");
    default:
        return QString::number(Status);
    }
}

QString StatusGridWord(const QString& code)
{
    if (code == u"-1")
        return QStringLiteral("Не проверен");
    if (code == u"0")
        return QStringLiteral("свободен");
    if (code == u"1")
        return QStringLiteral("занят");
    return code;
}

QString StatusReportWord(const QString& code)
{
    if (code == u"-1")
        return QStringLiteral("неизвестен");
    if (code == u"0")
        return QStringLiteral("свободен");
    if (code == u"1")
        return QStringLiteral("занят");
    return code;
}
