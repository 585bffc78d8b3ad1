#include "core/candidates/Transliteration.h"

TTransliteration::TTransliteration(const QStringList& Lines)
    : FLines(Lines)
{
    for (const QString& line : Lines) {
        const QString text = line.trimmed();
        const qsizetype colon = text.indexOf(u':', 1);
        if (text.isEmpty() || text.startsWith(u'#') || colon < 0)
            continue;
        const QList<uint> letter = text.left(colon).trimmed().normalized(QString::NormalizationForm_C).toUcs4();
        if (letter.size() != 1 || FLetters.contains(letter.constFirst()))
            continue;
        FLetters.insert(letter.constFirst(), text.mid(colon + 1).trimmed());
    }
}

QString TTransliteration::Spell(const QString& Text) const
{
    if (FLetters.isEmpty())
        return Text;
    QString out;
    out.reserve(Text.size() * 2);
    for (const char32_t c : Text.normalized(QString::NormalizationForm_C).toUcs4()) {
        auto it = FLetters.constFind(c);
        if (it != FLetters.cend()) {
            out += *it;
            continue;
        }
        const char32_t small = QChar::toLower(c);
        it = small == c ? FLetters.cend() : FLetters.constFind(small);
        if (it == FLetters.cend()) {
            out += QStringView(QChar::fromUcs4(c));
            continue;
        }
        const qsizetype at = out.size();
        out += *it;
        if (at < out.size())
            out[at] = out.at(at).toUpper();
    }
    return out;
}
