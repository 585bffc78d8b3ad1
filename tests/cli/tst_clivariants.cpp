// The batch tool's name variants, run as a real process: --hyphen, --prefixes, --suffixes, --translit and
// --max-length alone and together, their count, the user's Latin spelling table, and a checked run.
#include "core/common/Paths.h"
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QTest>

namespace
{

// The export text of Names: a byte-order mark, then a name a line.
QByteArray ExportText(const QStringList& Names)
{
    QByteArray out = "\xEF\xBB\xBF";
    for (const QString& name : Names)
        out += name.toUtf8() + "\r\n";
    return out;
}

} // namespace

class TestCliVariants : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void variants_data();
    void variants();
    void withoutVariantsAsBefore_data();
    void withoutVariantsAsBefore();
    void usersSpellingAndRules();
    void checkedRunAsksTheVariants();

private:
    std::unique_ptr<TTestEnv> FEnv;
};

void TestCliVariants::init()
{
    FEnv = std::make_unique<TTestEnv>();
    // The shipped RDAP list names real registries; the checks here never leave loopback.
    WriteAll(GetDataFolder() + u"rdap.json"_qs, R"({"version":"1.0","services":[]})");
}

void TestCliVariants::cleanup()
{
    FEnv.reset();
}

void TestCliVariants::variants_data()
{
    QTest::addColumn<QStringList>("args"); // PREFIXES and SUFFIXES stand for the files of "my" and "shop"
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QStringList>("expected");
    const QByteArray redCat = "red\ncat\n";
    const QByteArray cyrillic = "красный\nкот\n";
    QTest::newRow("--hyphen") << QStringList { u"-z"_qs, u"ru"_qs, u"--hyphen"_qs } << redCat
                              << QStringList { u"redcat.ru"_qs, u"red-cat.ru"_qs, u"catred.ru"_qs, u"cat-red.ru"_qs };
    QTest::newRow("--prefixes") << QStringList { u"-z"_qs, u"com"_qs, u"--prefixes"_qs, u"PREFIXES"_qs } << redCat
                                << QStringList { u"redcat.com"_qs, u"myredcat.com"_qs, u"catred.com"_qs,
                                       u"mycatred.com"_qs };
    QTest::newRow("--suffixes") << QStringList { u"-z"_qs, u"com"_qs, u"--suffixes"_qs, u"SUFFIXES"_qs } << redCat
                                << QStringList { u"redcat.com"_qs, u"redcatshop.com"_qs, u"catred.com"_qs,
                                       u"catredshop.com"_qs };
    // The shipped table and zone rules, seeded into the data folder.
    QTest::newRow("--translit") << QStringList { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"рф"_qs, u"--translit"_qs } << cyrillic
                                << QStringList { u"krasnyikot.ru"_qs, u"красныйкот.рф"_qs, u"kotkrasnyi.ru"_qs,
                                       u"коткрасный.рф"_qs };
    QTest::newRow("--max-length") << QStringList { u"-z"_qs, u"ru"_qs, u"--max-length"_qs, u"6"_qs }
                                  << QByteArray("red\ncat\nsunny\n")
                                  << QStringList { u"redcat.ru"_qs, u"catred.ru"_qs };
    QTest::newRow("together") << QStringList { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"рф"_qs, u"--hyphen"_qs, u"--prefixes"_qs,
        u"PREFIXES"_qs, u"--suffixes"_qs, u"SUFFIXES"_qs, u"--translit"_qs, u"--max-length=14"_qs }
                              << cyrillic
                              << QStringList { u"krasnyikot.ru"_qs, u"красныйкот.рф"_qs, u"krasnyi-kot.ru"_qs,
                                     u"красный-кот.рф"_qs, u"mykrasnyikot.ru"_qs, u"my-krasnyi-kot.ru"_qs,
                                     u"krasnyikotshop.ru"_qs, u"kotkrasnyi.ru"_qs, u"коткрасный.рф"_qs,
                                     u"kot-krasnyi.ru"_qs, u"кот-красный.рф"_qs, u"mykotkrasnyi.ru"_qs,
                                     u"my-kot-krasnyi.ru"_qs, u"kotkrasnyishop.ru"_qs };
}

void TestCliVariants::variants()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, words);
    QFETCH(QStringList, expected);
    args.replaceInStrings(u"PREFIXES"_qs, FEnv->WriteFile(u"prefixes.txt"_qs, "my\n"));
    args.replaceInStrings(u"SUFFIXES"_qs, FEnv->WriteFile(u"suffixes.txt"_qs, "shop\n"));
    const QString file = FEnv->WriteFile(u"words.txt"_qs, words);
    const TToolResult r = RunTool(QStringList(args) << u"-f"_qs << u"export-text"_qs << file);
    QCOMPARE(r.Code, 0);
    QVERIFY2(r.Err.isEmpty(), r.Err.constData());
    QCOMPARE(r.Out, ExportText(expected));
    // Streamed or held for a run, and counted: the same names.
    const TToolResult json = RunTool(QStringList(args) << u"-f"_qs << u"json"_qs << file);
    QCOMPARE(json.Out.count('\n'), expected.size());
    QCOMPARE(RunTool(QStringList(args) << u"--dry-run"_qs << file).Out, QByteArray::number(expected.size()) + '\n');
}

void TestCliVariants::withoutVariantsAsBefore_data()
{
    AddGoldenFormatRows();
}

// Without a variant the files are those the tool always wrote; a variant that leaves every name as it is
// (a limit no name reaches) writes them one row at a time, to the same bytes.
void TestCliVariants::withoutVariantsAsBefore()
{
    QFETCH(QString, format);
    QFETCH(QString, golden);
    const QByteArray expected = ReadAll(GoldenCliFile(golden));
    QVERIFY(!expected.isEmpty());
    const QString words = FEnv->WriteFile(u"words.txt"_qs, "red\ncat\nsun\n");
    const QStringList args { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"-f"_qs, format, words };
    const TToolResult plain = RunTool(args);
    QCOMPARE(plain.Code, 0);
    QCOMPARE(plain.Out, expected);
    QCOMPARE(RunTool(QStringList(args) << u"--max-length=63"_qs).Out, expected);
}

void TestCliVariants::usersSpellingAndRules()
{
    WriteAll(GetDataFolder() + u"translit.dat"_qs, "к:q\nо:o\nт:t\n");
    const QString words = FEnv->WriteFile(u"words.txt"_qs, "кот\nred\n");
    const TToolResult users = RunTool({ u"-z"_qs, u"ru"_qs, u"--translit"_qs, u"-f"_qs, u"export-text"_qs, words });
    QCOMPARE(users.Out, ExportText({ u"qotred.ru"_qs, u"redqot.ru"_qs }));
    // Other zone rules: here com takes Latin only, ru anything.
    const QString rules = FEnv->WriteFile(u"rules.dat"_qs, "com:latin\n*:*\n");
    const TToolResult other = RunTool({ u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"--translit"_qs, u"--zone-scripts"_qs,
        rules, u"-f"_qs, u"export-text"_qs, words });
    QCOMPARE(other.Out, ExportText({ u"котred.ru"_qs, u"qotred.com"_qs, u"redкот.ru"_qs, u"redqot.com"_qs }));
}

void TestCliVariants::checkedRunAsksTheVariants()
{
    TWhoisTestServer server;
    const QString whois = FEnv->WriteFile(u"whois.dat"_qs, "RU:127.0.0.1\r\n");
    const QString words = FEnv->WriteFile(u"words.txt"_qs, "красный\nкот\n");
    const TToolResult r = RunTool({ u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--whois-list"_qs, whois, u"--whois-port"_qs,
        QString::number(server.Port()), u"--translit"_qs, u"--hyphen"_qs, u"-f"_qs, u"export-text"_qs, words });
    const QStringList expected { u"krasnyikot.ru"_qs, u"krasnyi-kot.ru"_qs, u"kotkrasnyi.ru"_qs, u"kot-krasnyi.ru"_qs };
    QCOMPARE(r.Out, ExportText(expected));
    QStringList asked;
    for (const QByteArray& query : server.Received)
        asked << QString::fromLatin1(query.trimmed());
    asked.sort();
    QStringList sorted = expected;
    sorted.sort();
    QCOMPARE(asked, sorted);
}

QTEST_MAIN(TestCliVariants)
#include "tst_clivariants.moc"
