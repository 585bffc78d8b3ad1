#include "core/candidates/NameRules.h"

#include <QSet>
#include <QUrl>
#include <algorithm>

namespace
{

constexpr qsizetype MaxLabelOctets = 63;
constexpr qsizetype MaxNameOctets = 253;

bool IsLdh(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-';
}

// The label's ASCII form, or empty when it has none.
QString AsciiLabel(const QString& Label)
{
    if (Label.isEmpty() || Label.startsWith(u'-') || Label.endsWith(u'-'))
        return {};
    bool ascii = true;
    for (char32_t c : Label.toUcs4()) {
        if (c < 0x80) {
            if (!IsLdh(QChar(char16_t(c))))
                return {};
        } else {
            ascii = false;
            // Letters, digits and combining marks only: no spaces, punctuation or symbols of any script
            // (a lone surrogate arrives here as a replacement character, a symbol).
            if (!QChar::isLetterOrNumber(c) && !QChar::isMark(c))
                return {};
        }
    }
    if (ascii)
        return Label;
    const QString ace = QString::fromLatin1(QUrl::toAce(Label));
    if (!ace.startsWith(u"xn--", Qt::CaseInsensitive))
        return {};
    for (QChar c : ace)
        if (!IsLdh(c))
            return {};
    return ace;
}

} // namespace

QStringList CleanKeywords(const QStringList& Lines)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString& line : Lines) {
        const QString word = line.trimmed();
        if (word.isEmpty())
            continue;
        const QString key = word.toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        out << word;
    }
    return out;
}

bool IsValidDomainName(const QString& Name)
{
    if (Name.isEmpty())
        return false;
    qsizetype octets = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype dot = Name.indexOf(u'.', from);
        const QString ascii = AsciiLabel(Name.mid(from, dot < 0 ? -1 : dot - from));
        if (ascii.isEmpty() || ascii.size() > MaxLabelOctets)
            return false;
        octets += ascii.size() + (dot < 0 ? 0 : 1);
        if (dot < 0)
            break;
        from = dot + 1;
    }
    return octets <= MaxNameOctets;
}

bool IsValidCandidateName(const QString& Name, const QString& Zone)
{
    if (Zone.isEmpty() || !Name.endsWith(Zone) || Name.size() < Zone.size() + 2
        || Name.at(Name.size() - Zone.size() - 1) != u'.')
        return false;
    const QStringView stem = QStringView(Name).left(Name.size() - Zone.size() - 1);
    return !stem.contains(u'.') && IsValidDomainName(Name);
}

QByteArray AsciiDomainName(const QString& Name)
{
    bool ascii = true;
    for (QChar c : Name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return {};
        ascii = ascii && c.unicode() < 0x80;
    }
    return ascii ? Name.toLatin1() : QUrl::toAce(Name);
}

bool IsSameDomainName(QString Reported, const QString& Asked)
{
    const QByteArray asked = AsciiDomainName(Asked).toLower();
    Reported = Reported.trimmed();
    if (Reported.endsWith(u'.'))
        Reported.chop(1);
    if (asked.isEmpty() || Reported.isEmpty())
        return false;
    const QByteArray ascii = AsciiDomainName(Reported);
    if (ascii.isEmpty() || ascii.toLower() != asked)
        return false;
    if (std::all_of(Reported.cbegin(), Reported.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return true;
    // A Unicode name must come back from its ASCII form unchanged, so that no mapping or case folding made
    // it equal.
    const auto asciiLower = [](const QString& Text) {
        QString out = Text;
        for (QChar& c : out)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + (u'a' - u'A'));
        return out;
    };
    return asciiLower(QUrl::fromAce(ascii)) == asciiLower(Reported);
}

QString ZoneKey(const QString& Zone)
{
    QString zone = Zone.trimmed().toLower();
    while (zone.startsWith(u'.'))
        zone.remove(0, 1);
    while (zone.endsWith(u'.'))
        zone.chop(1);
    if (zone.isEmpty())
        return {};
    return QString::fromLatin1(QUrl::toAce(zone)).toLower();
}

QStringList ZoneKeys(const QString& Zone)
{
    QStringList out;
    for (QString key = ZoneKey(Zone); !key.isEmpty();) {
        out << key;
        const qsizetype dot = key.indexOf(u'.');
        key = dot < 0 ? QString() : key.mid(dot + 1);
    }
    return out;
}
