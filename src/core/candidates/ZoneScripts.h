#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// Which letters the names of each zone may use, from the zone rules list: lines "ZONE:SCRIPTS", SCRIPTS a
// comma-separated list of "latin" (the letters a to z), "cyrillic" (letters of the Cyrillic script) and
// "*" (letters of any script); ZONE "*" stands for every zone the list does not name. Blank lines and
// lines starting with "#" are comments; a line of any other form is passed over, and of two lines for
// one zone the first holds. Digits and hyphens are allowed everywhere, and in every zone a label that
// mixes Latin and Cyrillic letters is refused: no registry takes one.
class TZoneScripts
{
public:
    explicit TZoneScripts(const QStringList& Lines = {});

    // True when every label of Name before its Zone uses only letters Zone takes. The zone's own line
    // holds, else that of the longest trailing run of its labels ("ru" for "msk.ru"), else the "*" line;
    // without any, letters of every script (still never Latin beside Cyrillic).
    bool Allows(const QString& Name, const QString& Zone) const;
    // True when Zone's names may use the letters a to z and no others, by the same line Allows takes.
    bool LatinOnly(const QString& Zone) const;

    // The scripts words of the list.
    enum TScript : quint8 {
        Latin = 1,
        Cyrillic = 2,
        Any = 4,
    };

    // The Latin and Cyrillic bits of the letters in Text (letters of other scripts count for neither).
    static quint8 LettersIn(QStringView Text);

    // The lines the rules were made of, so that a run can be rebuilt as it was.
    const QStringList& Lines() const { return FLines; }

private:
    QStringList FLines;
    quint8 ScriptsFor(const QString& Zone) const;

    QHash<QString, quint8> FZones; // zone key -> TScript bits
    quint8 FDefault = Any;
};
