#include "core/settings/ListFiles.h"

#include "core/common/AtomicFile.h"
#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>
#include <array>
#include <new>

namespace {

// Code points of the bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<char16_t, 64> Cp1251Upper = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98: 0x98 unassigned
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

constexpr char16_t CyrillicA = 0x0410;

std::optional<char> Cp1251Byte(char16_t c)
{
    if (c < 0x80)
        return char(c);
    if (c >= CyrillicA && c < CyrillicA + 64)
        return char(0xC0 + (c - CyrillicA));
    for (size_t i = 0; i < Cp1251Upper.size(); ++i) {
        if (Cp1251Upper[i] == c)
            return char(0x80 + i);
    }
    return std::nullopt;
}

// Decodes all of Bytes as one encoding; a mark inside Bytes is text, not a mark.
QString DecodeAs(QStringConverter::Encoding Encoding, QByteArrayView Bytes, bool* Valid = nullptr)
{
    QStringDecoder decoder(Encoding, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(Bytes);
    if (Valid)
        *Valid = !decoder.hasError();
    return text;
}

QString NormalizeBreaks(QString Text)
{
    Text.replace(u"\r\n"_qs, u"\n"_qs);
    Text.replace(u'\r', u'\n');
    return Text;
}

bool HasLoneSurrogate(QStringView Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text.at(i);
        if (c.isHighSurrogate() && i + 1 < Text.size() && Text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

QString DecodeCp1251(const QByteArray& Bytes)
{
    QString text(Bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char b : Bytes) {
        const auto u = uchar(b);
        *out++ = QChar(u < 0x80 ? char16_t(u) : u < 0xC0 ? Cp1251Upper[u - 0x80] : char16_t(CyrillicA + (u - 0xC0)));
    }
    return text;
}

std::optional<QByteArray> EncodeCp1251(QStringView Text)
{
    QByteArray bytes(Text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : Text) {
        const auto b = Cp1251Byte(c.unicode());
        if (!b)
            return std::nullopt;
        *out++ = *b;
    }
    return bytes;
}

QString DecodeListText(const QByteArray& Bytes)
{
    const QByteArrayView view(Bytes);
    QString text;
    if (view.startsWith("\xEF\xBB\xBF")) {
        text = DecodeAs(QStringConverter::Utf8, view.sliced(3));
    } else if (view.startsWith("\xFF\xFE")) {
        text = DecodeAs(QStringConverter::Utf16LE, view.sliced(2));
    } else if (view.startsWith("\xFE\xFF")) {
        text = DecodeAs(QStringConverter::Utf16BE, view.sliced(2));
    } else {
        bool utf8 = false;
        text = DecodeAs(QStringConverter::Utf8, view, &utf8);
        if (!utf8)
            text = DecodeCp1251(Bytes);
    }
    return NormalizeBreaks(std::move(text));
}

QStringList SplitListLines(const QString& Text)
{
    if (Text.isEmpty())
        return {};
    QStringList lines = Text.split(u'\n');
    if (Text.endsWith(u'\n'))
        lines.removeLast();
    return lines;
}

QByteArray EncodeListText(const QString& Text)
{
    const QString text = NormalizeBreaks(Text);
    QString crlf = text;
    crlf.replace(u'\n', u"\r\n"_qs);
    // A 1251 text can look like UTF-8 ("Сё" is D1 B8) or begin like a mark ("яю" is FF FE); such a text
    // goes out as UTF-8 with a mark instead, so the reader gets back what was written.
    if (const auto ansi = EncodeCp1251(crlf); ansi && DecodeListText(*ansi) == text)
        return *ansi;
    // A lone surrogate (from a UTF-16 file) has no UTF-8 form: UTF-8 would put '?' in its place, UTF-16
    // keeps every code unit.
    if (!HasLoneSurrogate(crlf))
        return QByteArray("\xEF\xBB\xBF") + crlf.toUtf8();
    QByteArray utf16("\xFF\xFE");
    utf16.reserve(2 + crlf.size() * 2);
    for (const QChar c : crlf) {
        utf16.append(char(c.unicode() & 0xFF));
        utf16.append(char(c.unicode() >> 8));
    }
    return utf16;
}

QString ReadListText(const QString& Path)
{
    TBoundedInput input(Path, ListFileMaxBytes);
    return ReadListText(input);
}

QString ReadListText(TBoundedInput& Input)
{
    const QByteArray bytes = Input.ReadAll();
    try {
        return DecodeListText(bytes);
    } catch (const std::bad_alloc&) {
        throw Input.OutOfMemory();
    }
}

QStringList ReadListFile(const QString& Path)
{
    TBoundedInput input(Path, ListFileMaxBytes);
    const QString text = ReadListText(input);
    try {
        return SplitListLines(text);
    } catch (const std::bad_alloc&) {
        throw input.OutOfMemory();
    }
}

void WriteListFile(const QString& Path, const QString& Text)
{
    try {
        WriteFileAtomically(Path, EncodeListText(Text));
    } catch (const EFileReplaceError& e) {
        throw EOrvantaError(QCoreApplication::translate("ListFiles", "Не удалось сохранить файл \"%1\". %2")
                                .arg(QDir::toNativeSeparators(Path), e.Failure().DeviceReason()));
    }
}

void SplitText(QStringList& Pieces, const QString& Delimiter, const QString& SourceText)
{
    if (Delimiter.isEmpty())
        return;
    qsizetype slot = 0;
    qsizetype from = 0;
    // SourceText followed by one delimiter yields k + 1 parts for k delimiters.
    while (slot < Pieces.size()) {
        const qsizetype at = SourceText.indexOf(Delimiter, from);
        if (at < 0) {
            Pieces[slot] = SourceText.mid(from);
            return;
        }
        Pieces[slot++] = SourceText.mid(from, at - from);
        from = at + Delimiter.size();
    }
}
