#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The Latin spelling of words written in other letters, letter by letter, from the transliteration table:
// lines "LETTER:SPELLING" ("щ:shch"; "ь:" drops the letter). Blank lines and lines starting with "#" are
// comments; a line of any other form (no colon, more than one letter before it) is passed over, and of two
// lines for one letter the first holds.
class TTransliteration
{
public:
    explicit TTransliteration(const QStringList& Lines = {});

    // Text, composed first (NFC), with every letter the table names replaced by its spelling; other
    // characters stay. A capital letter the table names only in small letters takes that spelling with its
    // first letter capital ("Щука": "Shchuka").
    QString Spell(const QString& Text) const;
    // The lines the table was made of, so that a run can be rebuilt as it was.
    const QStringList& Lines() const { return FLines; }

private:
    QStringList FLines;
    QHash<char32_t, QString> FLetters;
};
