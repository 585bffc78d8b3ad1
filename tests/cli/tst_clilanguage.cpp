#include "support/ProgramProcess.h"
#include "support/TestEnv.h"

#include <QTest>

// The batch tool speaks the language of the user's locale on standard error and in --help, and writes the
// same bytes whatever it is.
namespace
{

// Runs the tool in a locale given the way a user's session gives it: LANG alone, LC_ALL over it, or the
// LANGUAGE list over both.
TToolResult RunIn(const QStringList& Environment, const QStringList& Args, const QByteArray& Input = {})
{
    return RunTool(Args, Input, 60000, [&](QProcess& p) {
        QProcessEnvironment env = p.processEnvironment();
        for (const QString& name : { u"LANG"_qs, u"LC_ALL"_qs, u"LC_MESSAGES"_qs, u"LANGUAGE"_qs })
            env.remove(name);
        for (const QString& setting : Environment)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        p.setProcessEnvironment(env);
    });
}

} // namespace

class TestCliLanguage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void messages_data();
    void messages();
    void filesAlike_data();
    void filesAlike();

private:
    TTestEnv FEnv;
};

void TestCliLanguage::messages_data()
{
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QStringList help { u"--help"_qs };
    const QStringList badCount { u"-n"_qs, u"7"_qs };
    const QByteArray enUsage = "Usage: orvanta-cli [options] [KEYWORD_FILE]\n";
    const QByteArray ruUsage = "Использование: orvanta-cli [параметры] [ФАЙЛ_СЛОВ]\n";
    const QByteArray enError = "orvanta-cli: the word count must be 2, 3 or 4, not \"7\"\nMore: orvanta-cli --help\n";
    const QByteArray ruError
        = "orvanta-cli: количество слов должно быть 2, 3 или 4, а не \"7\"\nПодробнее: orvanta-cli --help\n";
    QTest::newRow("help, LANG English") << QStringList { u"LANG=en_US.UTF-8"_qs } << help << 0 << enUsage
                                        << QByteArray();
    QTest::newRow("help, LANG Russian") << QStringList { u"LANG=ru_RU.UTF-8"_qs } << help << 0 << ruUsage
                                        << QByteArray();
    QTest::newRow("error, LANG English") << QStringList { u"LANG=en_US.UTF-8"_qs } << badCount << 1 << QByteArray()
                                         << enError;
    QTest::newRow("error, LANG Russian") << QStringList { u"LANG=ru_RU.UTF-8"_qs } << badCount << 1 << QByteArray()
                                         << ruError;
    QTest::newRow("LC_ALL over LANG") << QStringList { u"LANG=ru_RU.UTF-8"_qs, u"LC_ALL=en_GB.UTF-8"_qs } << badCount
                                      << 1 << QByteArray() << enError;
    // LANGUAGE is a list read in order: the first language the tool speaks wins.
    QTest::newRow("LANGUAGE, first known English")
        << QStringList { u"LANG=ru_RU.UTF-8"_qs, u"LANGUAGE=de:en:ru"_qs } << badCount << 1 << QByteArray() << enError;
    QTest::newRow("LANGUAGE, first known Russian")
        << QStringList { u"LANG=en_US.UTF-8"_qs, u"LANGUAGE=fr:ru:en"_qs } << badCount << 1 << QByteArray() << ruError;
    QTest::newRow("unknown language") << QStringList { u"LANG=de_DE.UTF-8"_qs } << badCount << 1 << QByteArray()
                                      << ruError;
    QTest::newRow("C locale") << QStringList { u"LANG=C.UTF-8"_qs } << badCount << 1 << QByteArray() << ruError;
}

void TestCliLanguage::messages()
{
    QFETCH(QStringList, environment);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    const TToolResult r = RunIn(environment, args);
    QCOMPARE(r.Code, code);
    if (out.isEmpty())
        QCOMPARE(r.Out, QByteArray());
    else
        QVERIFY2(r.Out.startsWith(out), r.Out.left(300).constData());
    QCOMPARE(r.Err, err);
}

void TestCliLanguage::filesAlike_data()
{
    QTest::addColumn<QString>("format");
    for (const char* format : { "export-csv", "export-text", "report-csv", "report-text", "report-html", "json" })
        QTest::newRow(format) << QString::fromLatin1(format);
}

// Names given whole make failed rows with a reason, so reasons are written too.
void TestCliLanguage::filesAlike()
{
    QFETCH(QString, format);
    const QStringList args { u"--names"_qs, u"-"_qs, u"-z"_qs, u"ru"_qs, u"-f"_qs, format };
    const QByteArray names = "redcat\nкот.рф\nbad..name\n";
    const TToolResult ru = RunIn({ u"LANG=ru_RU.UTF-8"_qs }, args, names);
    const TToolResult en = RunIn({ u"LANG=ru_RU.UTF-8"_qs, u"LANGUAGE=en"_qs }, args, names);
    QCOMPARE(ru.Code, 4);
    QCOMPARE(en.Code, 4);
    QVERIFY(!ru.Out.isEmpty());
    if (format == u"json")
        QVERIFY(ru.Out.contains("\"reason\":\"недопустимое доменное имя\""));
    QCOMPARE(en.Out, ru.Out);
    // Only the end-of-run words differ: the reason counted in English.
    QVERIFY2(en.Err.contains("invalid domain name — 1"), en.Err.constData());
    QVERIFY2(ru.Err.contains("недопустимое доменное имя — 1"), ru.Err.constData());
}

QTEST_GUILESS_MAIN(TestCliLanguage)
#include "tst_clilanguage.moc"
