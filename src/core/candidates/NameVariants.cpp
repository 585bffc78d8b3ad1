#include "core/candidates/NameVariants.h"

#include "core/candidates/NameRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace
{

TPartShape ShapeOfText(const QString& Text)
{
    TPartShape part;
    if (Text.isEmpty())
        return part;
    part.Text = Text;
    // Letters as a registry counts them: a letter typed with a combining mark is one.
    part.Length = int(Text.normalized(QString::NormalizationForm_C).toUcs4().size());
    part.Scripts = TZoneScripts::LettersIn(Text);
    part.HyphenFirst = Text.startsWith(u'-');
    part.HyphenLast = Text.endsWith(u'-');
    return part;
}

QStringList StringsOf(const QJsonValue& Value)
{
    QStringList out;
    for (const QJsonValue& v : Value.toArray())
        if (v.isString())
            out << v.toString();
    return out;
}

} // namespace

bool TNameVariants::Any() const
{
    return Hyphen || !Prefixes.isEmpty() || !Suffixes.isEmpty() || Translit || MaxLength > 0;
}

QString VariantsToJson(const TNameVariants& Variants)
{
    // Empty, not null: a null string is bound as SQL NULL.
    if (!Variants.Any())
        return QStringLiteral("");
    QJsonObject o { { u"hyphen"_qs, Variants.Hyphen }, { u"prefixes"_qs, QJsonArray::fromStringList(Variants.Prefixes) },
        { u"suffixes"_qs, QJsonArray::fromStringList(Variants.Suffixes) }, { u"translit"_qs, Variants.Translit },
        { u"maxLength"_qs, Variants.MaxLength } };
    if (Variants.Translit) {
        o.insert(u"table"_qs, QJsonArray::fromStringList(Variants.Table.Lines()));
        o.insert(u"zoneScripts"_qs, QJsonArray::fromStringList(Variants.ZoneScripts.Lines()));
    }
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

TNameVariants VariantsOfJson(const QString& Json)
{
    TNameVariants v;
    const QJsonObject o = QJsonDocument::fromJson(Json.toUtf8()).object();
    v.Hyphen = o.value(u"hyphen").toBool();
    v.Prefixes = StringsOf(o.value(u"prefixes"));
    v.Suffixes = StringsOf(o.value(u"suffixes"));
    v.Translit = o.value(u"translit").toBool();
    v.Table = TTransliteration(StringsOf(o.value(u"table")));
    v.ZoneScripts = TZoneScripts(StringsOf(o.value(u"zoneScripts")));
    v.MaxLength = std::clamp(o.value(u"maxLength").toInt(), 0, MaxLabelLetters);
    return v;
}

TVariantPlan::TVariantPlan(const QStringList& Words, const std::vector<int>& ClassOfLine, const QStringList& Zones,
    const TNameVariants& Variants)
    : FClassOfLine(ClassOfLine)
    , FMaxLength(std::clamp(Variants.MaxLength, 0, MaxLabelLetters))
    , FHyphen(Variants.Hyphen)
{
    FZoneSpellings.reserve(size_t(Zones.size()));
    for (const QString& zone : Zones) {
        const TSpelling spelling = Variants.Translit && Variants.ZoneScripts.LatinOnly(zone) ? Latin : AsTyped;
        FZoneSpellings.push_back(spelling);
        FUsed[spelling] = true;
    }
    const int classes = ClassOfLine.empty() ? 0 : *std::max_element(ClassOfLine.cbegin(), ClassOfLine.cend()) + 1;
    FClassSizes.assign(size_t(classes), 0);
    for (std::vector<TPartShape>& parts : FParts)
        parts.resize(size_t(classes));
    for (size_t line = 0; line < ClassOfLine.size(); ++line) {
        const int c = ClassOfLine[line];
        if (FClassSizes[size_t(c)]++ > 0)
            continue;
        const QString& word = Words.at(qsizetype(line));
        FParts[AsTyped][size_t(c)] = ShapeOfText(word);
        if (FUsed[Latin])
            FParts[Latin][size_t(c)] = ShapeOfText(Variants.Table.Spell(word));
    }
    const QStringList prefixes = CleanKeywords(Variants.Prefixes);
    FPrefixCount = int(prefixes.size());
    for (const QStringList& list : { prefixes, CleanKeywords(Variants.Suffixes) })
        for (const QString& affix : list) {
            FAffixes.push_back(ShapeOfText(affix));
            FLongestAffix = std::max(FLongestAffix, int(affix.size()));
        }
}

const TPartShape* TVariantPlan::Part(TSpelling Spelling, int Line) const
{
    const TPartShape& part = FParts[Spelling][size_t(FClassOfLine[size_t(Line)])];
    return part.Text.isEmpty() ? nullptr : &part;
}

TTupleShape TVariantPlan::ShapeOf(const TPartShape* const* Parts, int Count)
{
    TTupleShape shape;
    for (int i = 0; i < Count; ++i) {
        shape.Length += Parts[i]->Length;
        shape.Scripts |= Parts[i]->Scripts;
        shape.Joints += i > 0 && HyphenBetween(*Parts[i - 1], *Parts[i]);
    }
    shape.HyphenFirst = Count > 0 && Parts[0]->HyphenFirst;
    shape.HyphenLast = Count > 0 && Parts[Count - 1]->HyphenLast;
    return shape;
}

void TVariantPlan::AppendForm(QString& Out, const TPartShape* const* Parts, int Count, int Affix, bool Hyphen) const
{
    const TPartShape* previous = nullptr;
    const auto put = [&](const TPartShape& part) {
        if (Hyphen && previous && HyphenBetween(*previous, part))
            Out += u'-';
        Out += part.Text;
        previous = &part;
    };
    if (Affix > 0 && IsPrefix(Affix))
        put(FAffixes[size_t(Affix) - 1]);
    for (int i = 0; i < Count; ++i)
        put(*Parts[i]);
    if (Affix > 0 && !IsPrefix(Affix))
        put(FAffixes[size_t(Affix) - 1]);
}
