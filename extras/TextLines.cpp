#include "extras/TextLines.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QString DecodeText(const QByteArray& Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless)(Bytes.mid(3));
    if (Bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringConverter::Utf16LE, QStringConverter::Flag::Stateless)(Bytes.mid(2));
    if (Bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless)(Bytes.mid(2));
    QStringDecoder ansi("windows-1251", QStringConverter::Flag::Stateless);
    // Qt without ICU has no 1251; Latin-1 keeps every byte rather than losing the file.
    if (!ansi.isValid())
        return QString::fromLatin1(Bytes);
    return ansi(Bytes);
}

} // namespace

QStringList DecodeTextLines(const QByteArray& Bytes)
{
    const QString text = DecodeText(Bytes);
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

bool ReadTextLines(const QString& FileName, QStringList& Lines)
{
    Lines.clear();
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFile::NoError)
        return false;
    Lines = DecodeTextLines(bytes);
    return true;
}
