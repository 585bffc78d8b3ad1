#include "core/common/Errors.h"
#include "core/settings/ListFiles.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Utf16(QStringConverter::Encoding Encoding, const QString& Text)
{
    QStringEncoder encoder(Encoding, QStringConverter::Flag::Stateless);
    return encoder.encode(Text);
}

const QByteArray Utf8Mark("\xEF\xBB\xBF");

} // namespace

class TestListFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decode_data();
    void decode();
    void cp1251_data();
    void cp1251();
    void cp1251EveryByteRoundTrips();
    void encode_data();
    void encode();
    void writeReplacesWholeFile();
    void failedWriteKeepsPreviousFile_data();
    void failedWriteKeepsPreviousFile();
    void unreadableFile_data();
    void unreadableFile();
};

void TestListFiles::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    const QStringList zones { u"ru"_qs, u"рф"_qs };
    QTest::newRow("utf-8 with mark") << Utf8Mark + u"ru\r\nрф\r\n"_qs.toUtf8() << zones;
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE") + Utf16(QStringConverter::Utf16LE, u"ru\r\nрф\r\n"_qs)
                               << zones;
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF") + Utf16(QStringConverter::Utf16BE, u"ru\r\nрф"_qs) << zones;
    QTest::newRow("1251 without mark") << QByteArray("ru\r\n\xF0\xF4\r\n") << zones;
    QTest::newRow("1251 upper half") << QByteArray("\xA8\xB8\xB9\x88\x96") << QStringList { u"Ёё№€–"_qs };
    QTest::newRow("utf-8 without mark") << u"ru\nрф\n"_qs.toUtf8() << zones;
    QTest::newRow("truncated utf-8 reads as 1251") << QByteArray("ru\n\xD0") << QStringList { u"ru"_qs, u"Р"_qs };
    QTest::newRow("lone cr") << QByteArray("a\rb\rc") << QStringList { u"a"_qs, u"b"_qs, u"c"_qs };
    QTest::newRow("lone lf") << QByteArray("a\nb\nc") << QStringList { u"a"_qs, u"b"_qs, u"c"_qs };
    QTest::newRow("cr lf") << QByteArray("a\r\nb\r\nc") << QStringList { u"a"_qs, u"b"_qs, u"c"_qs };
    QTest::newRow("mixed breaks") << QByteArray("a\r\nb\rc\nd") << QStringList { u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs };
    QTest::newRow("cr then cr lf") << QByteArray("a\r\r\nb") << QStringList { u"a"_qs, QString(), u"b"_qs };
    QTest::newRow("final break adds no entry") << QByteArray("ru\ncom\n") << QStringList { u"ru"_qs, u"com"_qs };
    QTest::newRow("blank lines between kept")
        << QByteArray("ru\r\n\r\n\r\ncom\r\n") << QStringList { u"ru"_qs, QString(), QString(), u"com"_qs };
    QTest::newRow("blank last line kept") << QByteArray("ru\n\n") << QStringList { u"ru"_qs, QString() };
    QTest::newRow("only a break") << QByteArray("\r\n") << QStringList { QString() };
    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("mark only") << Utf8Mark << QStringList {};
    QTest::newRow("second mark is text") << Utf8Mark + Utf8Mark + "a" << QStringList { u"\uFEFFa"_qs };
    QTest::newRow("spaces kept") << QByteArray(" ru \n\tcom") << QStringList { u" ru "_qs, u"\tcom"_qs };
    QTest::newRow("line of spaces is an entry") << QByteArray("  ") << QStringList { u"  "_qs };
}

void TestListFiles::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QCOMPARE(SplitListLines(DecodeListText(bytes)), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"list.dat"_qs);
    WriteAll(path, bytes);
    QCOMPARE(ReadListFile(path), expected);
}

void TestListFiles::cp1251_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("ascii") << 0x41 << 0x41;
    QTest::newRow("first upper byte") << 0x80 << 0x0402;
    QTest::newRow("euro") << 0x88 << 0x20AC;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("unassigned 0x98 keeps its byte") << 0x98 << 0x0098;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("ukrainian ghe") << 0xA5 << 0x0490;
    QTest::newRow("capital io") << 0xA8 << 0x0401;
    QTest::newRow("small io") << 0xB8 << 0x0451;
    QTest::newRow("numero") << 0xB9 << 0x2116;
    QTest::newRow("small yi") << 0xBF << 0x0457;
    QTest::newRow("capital a") << 0xC0 << 0x0410;
    QTest::newRow("small ya") << 0xFF << 0x044F;
}

void TestListFiles::cp1251()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QByteArray bytes(1, char(byte));
    QCOMPARE(DecodeCp1251(bytes), QString(QChar(char16_t(codePoint))));
    QCOMPARE(EncodeCp1251(QString(QChar(char16_t(codePoint)))), std::optional<QByteArray>(bytes));
}

void TestListFiles::cp1251EveryByteRoundTrips()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = DecodeCp1251(all);
    QCOMPARE(text.size(), 256);
    // Distinct code points: no two bytes may share a character, or a write would change the file.
    QSet<char16_t> seen;
    for (QChar c : text)
        seen.insert(c.unicode());
    QCOMPARE(seen.size(), 256);
    QCOMPARE(EncodeCp1251(text), std::optional<QByteArray>(all));
    QCOMPARE(EncodeCp1251(u"ü"_qs), std::nullopt);
    QCOMPARE(EncodeCp1251(u"😀"_qs), std::nullopt);
}

void TestListFiles::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii, no final break added") << u"ru\ncom"_qs << QByteArray("ru\r\ncom");
    QTest::newRow("final break kept") << u"ru\ncom\n"_qs << QByteArray("ru\r\ncom\r\n");
    QTest::newRow("blank lines kept") << u"\nru\n\n"_qs << QByteArray("\r\nru\r\n\r\n");
    QTest::newRow("cr and cr lf become cr lf") << u"a\rb\r\nc"_qs << QByteArray("a\r\nb\r\nc");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("cyrillic fits 1251") << u"рф\nЁё№"_qs << QByteArray("\xF0\xF4\r\n\xA8\xB8\xB9");
    QTest::newRow("outside 1251: utf-8 with mark") << u"рф\nü"_qs << Utf8Mark + u"рф\r\nü"_qs.toUtf8();
    QTest::newRow("beyond the basic plane") << u"😀"_qs << Utf8Mark + u"😀"_qs.toUtf8();
    // These fit 1251, but their 1251 bytes would read back as something else.
    QTest::newRow("1251 that is valid utf-8") << u"Сё"_qs << Utf8Mark + u"Сё"_qs.toUtf8();
    QTest::newRow("1251 that starts like utf-16 le") << u"яю\nru"_qs << Utf8Mark + u"яю\r\nru"_qs.toUtf8();
    QTest::newRow("1251 that starts like utf-16 be") << u"юя"_qs << Utf8Mark + u"юя"_qs.toUtf8();
    QTest::newRow("1251 that starts like a utf-8 mark") << u"п»ї"_qs << Utf8Mark + u"п»ї"_qs.toUtf8();
    QTest::newRow("leading mark character") << u"\uFEFFru"_qs << Utf8Mark + u"\uFEFFru"_qs.toUtf8();
    // A lone surrogate, as a UTF-16 file can hold, has no UTF-8 form; UTF-16 keeps it.
    QTest::newRow("lone high surrogate: utf-16 le with mark")
        << u"ru\n"_qs + QChar(0xD800) + u"я"_qs << QByteArray("\xFF\xFEr\0u\0\r\0\n\0\x00\xD8\x4F\x04", 14);
    QTest::newRow("lone low surrogate at the end") << u"a"_qs + QChar(0xDC01) << QByteArray("\xFF\xFE" "a\0\x01\xDC", 6);
}

void TestListFiles::encode()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(EncodeListText(text), expected);
    QString normal = text;
    normal.replace(u"\r\n"_qs, u"\n"_qs).replace(u'\r', u'\n');
    QCOMPARE(DecodeListText(expected), normal);
}

void TestListFiles::writeReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"first.dat"_qs);
    WriteAll(path, QByteArray("a much longer previous content\r\nwith lines\r\n"));
    WriteListFile(path, u"ru\nрф\n"_qs);
    QCOMPARE(ReadAll(path), QByteArray("ru\r\n\xF0\xF4\r\n"));
    QCOMPARE(ReadListFile(path), (QStringList { u"ru"_qs, u"рф"_qs }));
    QCOMPARE(ReadListText(path), u"ru\nрф\n"_qs);
}

void TestListFiles::failedWriteKeepsPreviousFile_data()
{
    QTest::addColumn<int>("size");
    // Small texts are buffered and fail only when flushed; large ones fail in the write itself.
    QTest::newRow("buffered") << 4096;
    QTest::newRow("written directly") << 100000;
}

void TestListFiles::failedWriteKeepsPreviousFile()
{
    QFETCH(int, size);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"whois.dat"_qs);
    const QByteArray previous("RU:whois.tcinet.ru\r\n");
    WriteAll(path, previous);
    const QString big = QString(size, u'x');
    bool thrown = false;
    {
        TFileSizeLimit limit(16);
        try {
            WriteListFile(path, big);
        } catch (const EOrvantaError& e) {
            thrown = true;
            QVERIFY2(e.Message().startsWith(u"Не удалось сохранить файл \""_qs + path + u'"'), qPrintable(e.Message()));
        }
    }
    QVERIFY(thrown);
    QCOMPARE(ReadAll(path), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { u"whois.dat"_qs });

    // A missing folder is an error too, not a file silently left unwritten.
    QVERIFY_THROWS_EXCEPTION(EOrvantaError, WriteListFile(dir.filePath(u"missing/first.dat"_qs), u"ru"_qs));
}

void TestListFiles::unreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << u"missing.dat"_qs << u"Нет такого файла или папки."_qs;
    QTest::newRow("a folder") << u"folder.dat"_qs << u"Это папка, а не файл."_qs;
    // Its size is 0: only counting what comes stops it.
    QTest::newRow("a device that never ends") << u"/dev/zero"_qs << u"Он больше 64 МиБ."_qs;
}

void TestListFiles::unreadableFile()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder.dat"_qs));
    const QString path = QDir(dir.path()).absoluteFilePath(name);
    try {
        ReadListFile(path);
        QFAIL("no error for an unreadable file");
    } catch (const EOrvantaError& e) {
        QVERIFY2(e.Message().contains(u'"' + path + u"\". "_qs + reason), qPrintable(e.Message()));
        QVERIFY(e.Message().startsWith(u"Не удалось"_qs));
    }
}

QTEST_GUILESS_MAIN(TestListFiles)
#include "tst_listfiles.moc"
