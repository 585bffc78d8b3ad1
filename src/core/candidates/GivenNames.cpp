#include "core/candidates/GivenNames.h"

#include "core/candidates/NameRules.h"

#include <QHash>
#include <QSet>
#include <QUrl>

namespace
{

// Names and zones compare by their ASCII form, letter case ignored; text with no such form by its letters.
QString Key(const QString& Name)
{
    const QByteArray ascii = AsciiDomainName(Name);
    return ascii.isEmpty() ? Name.toLower() : QString::fromLatin1(ascii).toLower();
}

bool IsAscii(const QString& Text)
{
    for (QChar c : Text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The first label as shown in Zone: an ACE label in Unicode when the zone is spelt in Unicode.
QString LabelFor(const QString& Label, const QString& Zone)
{
    if (IsAscii(Zone) || !Label.startsWith(u"xn--", Qt::CaseInsensitive))
        return Label;
    const QString unicode = QUrl::fromAce(Label.toLatin1(), QUrl::IgnoreIDNWhitelist);
    return unicode.isEmpty() || unicode.startsWith(u"xn--", Qt::CaseInsensitive) ? Label : unicode;
}

} // namespace

void ForEachGivenName(const QStringList& Lines, const QStringList& Zones,
    const std::function<void(const QString& Name, const QString& Zone)>& Visit)
{
    QHash<QString, qsizetype> zoneOfKey;
    for (qsizetype i = Zones.size() - 1; i >= 0; --i)
        zoneOfKey.insert(Key(Zones.at(i)), i);
    QSet<QString> seen;
    const auto visit = [&](const QString& Name, const QString& Zone) {
        const QString key = Key(Name);
        if (seen.contains(key))
            return;
        seen.insert(key);
        Visit(Name, Zone);
    };
    for (const QString& line : Lines) {
        const QString name = line.trimmed();
        if (name.isEmpty())
            continue;
        const qsizetype dot = name.indexOf(u'.');
        if (dot < 0) {
            for (const QString& zone : Zones)
                visit(name + u'.' + zone, zone);
            continue;
        }
        const QString zone = name.mid(dot + 1);
        const auto chosen = zoneOfKey.constFind(Key(zone));
        if (chosen == zoneOfKey.cend() || Zones.at(*chosen) == zone) {
            visit(name, zone);
            continue;
        }
        const QString& spelt = Zones.at(*chosen);
        visit(LabelFor(name.left(dot), spelt) + u'.' + spelt, spelt);
    }
}

qsizetype GivenNameCount(const QStringList& Lines, const QStringList& Zones)
{
    qsizetype count = 0;
    ForEachGivenName(Lines, Zones, [&count](const QString&, const QString&) { ++count; });
    return count;
}

bool GivenNamesNeedZones(const QStringList& Lines)
{
    for (const QString& line : Lines) {
        const QString name = line.trimmed();
        if (!name.isEmpty() && !name.contains(u'.'))
            return true;
    }
    return false;
}

bool HasGivenNames(const QStringList& Lines)
{
    for (const QString& line : Lines)
        if (!line.trimmed().isEmpty())
            return true;
    return false;
}
