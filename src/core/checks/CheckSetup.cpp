#include "core/checks/CheckRun.h"

#include "core/settings/ListFiles.h"

#include <QUrl>

namespace {

// Zones compare by their ASCII form, letter case ignored: "рф" and "xn--p1ai" are one zone.
QString WhoisZoneKey(const QString& Zone)
{
    const QString zone = Zone.toLower();
    const QByteArray ace = QUrl::toAce(zone);
    return ace.isEmpty() ? zone : QString::fromLatin1(ace).toLower();
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

QList<TZoneServer> TCheckSetup::ParseZoneServers(const QStringList& Lines)
{
    QList<TZoneServer> out;
    out.reserve(Lines.size());
    for (const QString& line : Lines) {
        QStringList pieces { QString(), QString() };
        SplitText(pieces, QStringLiteral(":"), line);
        out.append(TZoneServer { pieces.at(0), pieces.at(1) });
    }
    return out;
}

QString TCheckSetup::ServerFor(const QList<TZoneServer>& Servers, const QString& Zone)
{
    const QString zone = WhoisZoneKey(Zone);
    QString fallback;
    for (const TZoneServer& a : Servers) {
        if (WhoisZoneKey(a.Zone) == zone)
            return a.Server;
        if (a.Zone == u"*")
            fallback = a.Server;
    }
    return fallback;
}
