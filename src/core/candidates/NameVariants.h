#pragma once

#include "core/candidates/Transliteration.h"
#include "core/candidates/ZoneScripts.h"

#include <QString>
#include <QStringList>
#include <vector>

// The forms each keyword combination takes besides its keywords joined in each zone.

// The most letters a label may have (the DNS limit), and so the highest length limit.
inline constexpr int MaxLabelLetters = 63;

struct TNameVariants {
    // Each name also with a hyphen wherever two of its parts meet, unless one of them already has a hyphen
    // there: "red-cat" beside "redcat", never two hyphens in a row nor one at either end.
    bool Hyphen = false;
    // Each name also after each prefix ("myredcat") and before each suffix ("redcatshop"), where the name
    // is of the affix's letters: Latin and Cyrillic never meet in one label, and where the keywords are
    // spelt in Latin, affixes with Cyrillic letters are left out. Blank lines and repeats (letter case
    // ignored) are dropped, as for keywords.
    QStringList Prefixes;
    QStringList Suffixes;
    // In zones that take the letters a to z only (by ZoneScripts), keywords are spelt in Latin by Table.
    bool Translit = false;
    TTransliteration Table;
    TZoneScripts ZoneScripts;
    // Names whose label has more letters than this are dropped; 0: no limit (else 1 to MaxLabelLetters).
    // A label's letters are the sum of its parts' (the code points of each, composed) and its hyphens.
    int MaxLength = 0;

    // Some variant is asked for: without one the names are the keywords joined, as they always were.
    bool Any() const;
};

// Variants as a JSON object, the tables they were made of included, for a run's record: empty when none
// is asked for. VariantsOfJson reads it back; what it cannot read (another program's text) is no variant.
QString VariantsToJson(const TNameVariants& Variants);
TNameVariants VariantsOfJson(const QString& Json);

// A keyword or an affix as it stands in a name.
struct TPartShape {
    QString Text;
    int Length = 0;
    quint8 Scripts = 0; // TZoneScripts::Latin, Cyrillic
    bool HyphenFirst = false;
    bool HyphenLast = false;
};

// A combination of keywords as its forms depend on it.
struct TTupleShape {
    int Length = 0;
    quint8 Scripts = 0;
    // The places between keywords where the hyphenated form puts a hyphen.
    int Joints = 0;
    bool HyphenFirst = false;
    bool HyphenLast = false;
};

// A hyphen goes between two parts unless one of them has one there already.
inline bool HyphenBetween(const TPartShape& Left, const TPartShape& Right)
{
    return !Left.HyphenLast && !Right.HyphenFirst;
}

// The variants of one run prepared for its keywords and zones. A keyword is spelt one of two ways in a
// zone: as typed, or in Latin.
class TVariantPlan
{
public:
    enum TSpelling : quint8 { AsTyped = 0, Latin = 1 };
    static constexpr int SpellingCount = 2;

    // Keywords are numbered by their lines in Words; ClassOfLine numbers each line's text from 0, so lines
    // of equal text share a class and a shape.
    TVariantPlan(const QStringList& Words, const std::vector<int>& ClassOfLine, const QStringList& Zones,
        const TNameVariants& Variants);

    TSpelling SpellingOfZone(qsizetype Zone) const { return FZoneSpellings.at(size_t(Zone)); }
    bool SpellingUsed(TSpelling Spelling) const { return FUsed[Spelling]; }
    // Line's keyword in Spelling; nullptr when nothing of it is left there (a word of dropped letters).
    const TPartShape* Part(TSpelling Spelling, int Line) const;

    // Visits the forms of a combination of Shape spelt in Spelling, in their order: the plain name, then
    // each prefix, then each suffix (Affix 0, 1 to PrefixCount, and on), each joined and then hyphenated.
    template <typename TVisit> void ForEachForm(const TTupleShape& Shape, TSpelling Spelling, TVisit&& Visit) const
    {
        const quint8 scripts = Shape.Scripts | (Spelling == Latin ? quint8(TZoneScripts::Latin) : quint8(0));
        for (int affix = 0; affix <= int(FAffixes.size()); ++affix) {
            int length = Shape.Length;
            int hyphens = Shape.Joints;
            if (affix > 0) {
                const TPartShape& a = FAffixes[size_t(affix) - 1];
                if (Mixed(scripts | a.Scripts))
                    continue;
                length += a.Length;
                hyphens += IsPrefix(affix) ? !a.HyphenLast && !Shape.HyphenFirst : !Shape.HyphenLast && !a.HyphenFirst;
            }
            if (Fits(length))
                Visit(affix, false);
            if (FHyphen && hyphens > 0 && Fits(length + hyphens))
                Visit(affix, true);
        }
    }
    // The shape of the combination of Parts (Count of them, none null).
    static TTupleShape ShapeOf(const TPartShape* const* Parts, int Count);
    // The text of a form ForEachForm visited.
    void AppendForm(QString& Out, const TPartShape* const* Parts, int Count, int Affix, bool Hyphen) const;
    // The longest affix, for estimates.
    int LongestAffix() const { return FLongestAffix; }

    // The number of lines of each class, and a class's shape in Spelling (null text: no form there).
    const std::vector<int>& ClassSizes() const { return FClassSizes; }
    const TPartShape& ClassPart(TSpelling Spelling, int Class) const { return FParts[Spelling][size_t(Class)]; }
    int MaxLength() const { return FMaxLength; }
    bool Hyphen() const { return FHyphen; }
    bool HasAffixes() const { return !FAffixes.empty(); }

private:
    static bool Mixed(quint8 Scripts) { return (Scripts & TZoneScripts::Latin) && (Scripts & TZoneScripts::Cyrillic); }
    bool Fits(int Length) const { return FMaxLength <= 0 || Length <= FMaxLength; }
    bool IsPrefix(int Affix) const { return Affix <= FPrefixCount; }

    std::vector<TSpelling> FZoneSpellings;
    bool FUsed[SpellingCount] = { false, false };
    std::vector<int> FClassOfLine;
    std::vector<int> FClassSizes;
    // Per spelling, per class; a null text stands for no form.
    std::vector<TPartShape> FParts[SpellingCount];
    std::vector<TPartShape> FAffixes;
    int FPrefixCount = 0;
    int FLongestAffix = 0;
    int FMaxLength = 0;
    bool FHyphen = false;
};
