#include "core/candidates/ZoneScripts.h"

#include "core/candidates/NameRules.h"

namespace
{

// What a character of a label is, for the zone rules.
enum class TLetter { Neutral, BasicLatin, OtherLatin, Cyrillic, Other };

TLetter LetterOf(char32_t C)
{
    if ((C >= U'0' && C <= U'9') || C == U'-')
        return TLetter::Neutral;
    if ((C >= U'a' && C <= U'z') || (C >= U'A' && C <= U'Z'))
        return TLetter::BasicLatin;
    switch (QChar::script(C)) {
    case QChar::Script_Latin:
        return TLetter::OtherLatin;
    case QChar::Script_Cyrillic:
        return TLetter::Cyrillic;
    default:
        // Marks, symbols and letters of other scripts: only a zone of every script takes them.
        return TLetter::Other;
    }
}

// The scripts of one list entry ("latin,cyrillic"); 0 when a word is unknown.
quint8 ParseScripts(const QString& Text)
{
    quint8 bits = 0;
    for (const QString& word : Text.split(u',')) {
        const QString w = word.trimmed().toLower();
        if (w == u"latin")
            bits |= TZoneScripts::Latin;
        else if (w == u"cyrillic")
            bits |= TZoneScripts::Cyrillic;
        else if (w == u"*")
            bits |= TZoneScripts::Any;
        else
            return 0;
    }
    return bits;
}

bool LabelAllowed(const QString& Label, quint8 Scripts)
{
    bool latin = false;
    bool cyrillic = false;
    // Composed first: "й" typed as "и" and a combining breve is the one Cyrillic letter a registry sees.
    for (const char32_t c : Label.normalized(QString::NormalizationForm_C).toUcs4()) {
        const TLetter letter = LetterOf(c);
        latin = latin || letter == TLetter::BasicLatin || letter == TLetter::OtherLatin;
        cyrillic = cyrillic || letter == TLetter::Cyrillic;
        if (Scripts & TZoneScripts::Any)
            continue;
        const bool allowed = letter == TLetter::Neutral
            || (letter == TLetter::BasicLatin && (Scripts & TZoneScripts::Latin))
            || (letter == TLetter::Cyrillic && (Scripts & TZoneScripts::Cyrillic));
        if (!allowed)
            return false;
    }
    return !(latin && cyrillic);
}

} // namespace

TZoneScripts::TZoneScripts(const QStringList& Lines)
    : FLines(Lines)
{
    bool defaultSet = false;
    for (const QString& line : Lines) {
        const QString text = line.trimmed();
        const qsizetype colon = text.indexOf(u':');
        if (text.isEmpty() || text.startsWith(u'#') || colon <= 0)
            continue;
        const QString zone = text.left(colon).trimmed();
        const quint8 scripts = ParseScripts(text.mid(colon + 1));
        if (scripts == 0)
            continue;
        if (zone == u"*") {
            if (!defaultSet)
                FDefault = scripts;
            defaultSet = true;
            continue;
        }
        const QString key = ZoneKey(zone);
        if (!key.isEmpty() && !FZones.contains(key))
            FZones.insert(key, scripts);
    }
}

quint8 TZoneScripts::ScriptsFor(const QString& Zone) const
{
    for (const QString& key : ZoneKeys(Zone)) {
        const auto it = FZones.constFind(key);
        if (it != FZones.cend())
            return *it;
    }
    return FDefault;
}

bool TZoneScripts::Allows(const QString& Name, const QString& Zone) const
{
    const QString stem
        = Name.endsWith(Zone) && Name.size() > Zone.size() && Name.at(Name.size() - Zone.size() - 1) == u'.'
        ? Name.left(Name.size() - Zone.size() - 1)
        : Name;
    const quint8 scripts = ScriptsFor(Zone);
    for (const QString& label : stem.split(u'.'))
        if (!LabelAllowed(label, scripts))
            return false;
    return true;
}

bool TZoneScripts::LatinOnly(const QString& Zone) const
{
    return ScriptsFor(Zone) == Latin;
}

quint8 TZoneScripts::LettersIn(QStringView Text)
{
    quint8 scripts = 0;
    for (const char32_t c : Text.toUcs4()) {
        const TLetter letter = LetterOf(c);
        if (letter == TLetter::BasicLatin || letter == TLetter::OtherLatin)
            scripts |= Latin;
        else if (letter == TLetter::Cyrillic)
            scripts |= Cyrillic;
    }
    return scripts;
}
