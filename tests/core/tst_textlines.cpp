#include "core/updates/TextLines.h"

#include <QTemporaryDir>
#include <QTest>

class TestTextLines : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decode_data();
    void decode();
    void unreadableFile();
};

void TestTextLines::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBFru\r\n\xD1\x80\xD1\x84")
                                << QStringList { u"ru"_qs, u"рф"_qs };
    QTest::newRow("utf-16 le mark") << QByteArray("\xFF\xFEr\0u\0\r\0\n\0\x40\x04\x44\x04", 14)
                                    << QStringList { u"ru"_qs, u"рф"_qs };
    QTest::newRow("utf-16 be mark") << QByteArray("\xFE\xFF\0r\0u\0\n\x04\x40\x04\x44", 12)
                                    << QStringList { u"ru"_qs, u"рф"_qs };
    QTest::newRow("1251 without mark") << QByteArray("ru\r\n\xF0\xF4") << QStringList { u"ru"_qs, u"рф"_qs };
    QTest::newRow("valid utf-8 without mark is utf-8") << QByteArray("\xD1\x80") << QStringList { u"р"_qs };
    QTest::newRow("CR, LF and CR LF") << QByteArray("a\rb\nc\r\nd")
                                      << QStringList { u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs };
    QTest::newRow("final break adds nothing") << QByteArray("a\r\n") << QStringList { u"a"_qs };
    QTest::newRow("inner empty lines stay")
        << QByteArray("a\r\n\r\n\nb") << QStringList { u"a"_qs, QString(), QString(), u"b"_qs };
    QTest::newRow("CR CR LF is two breaks") << QByteArray("a\r\r\nb") << QStringList { u"a"_qs, QString(), u"b"_qs };
    QTest::newRow("one break") << QByteArray("\r\n") << QStringList { QString() };
    QTest::newRow("blank line is a line") << QByteArray("  ") << QStringList { u"  "_qs };
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << QStringList();
}

void TestTextLines::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(DecodeTextLines(bytes), lines);
}

void TestTextLines::unreadableFile()
{
    QTemporaryDir dir;
    QStringList lines { u"old"_qs };
    QVERIFY(!ReadTextLines(dir.filePath(u"missing.txt"_qs), lines));
    QVERIFY(lines.isEmpty());
    QVERIFY(!ReadTextLines(dir.path(), lines));
}

QTEST_GUILESS_MAIN(TestTextLines)
#include "tst_textlines.moc"
