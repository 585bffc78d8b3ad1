// The batch tool's command line, run as a real process: its options and their errors, --help, and names
// given whole instead of keywords.
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/WhoisTestServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace
{

const QByteArray WorkedWords = "red\ncat\nsun\n";

QByteArray ThousandWords()
{
    QByteArray b;
    for (int i = 0; i < 1000; ++i)
        b += "w" + QByteArray::number(i) + "\n";
    return b;
}

} // namespace

class TestCliOptions : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void usageErrors_data();
    void usageErrors();
    void namesGiven_data();
    void namesGiven();
    void namesChecked();
    void helpAndVersion();

private:
    TTestEnv FEnv;
    using TResult = TToolResult;
    TResult Run(const QStringList& Args, const QByteArray& Input = QByteArray()) { return RunTool(Args, Input); }
};

void TestCliOptions::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("message"); // the first line on standard error
    QTest::newRow("unknown option") << QStringList { u"--frobnicate"_qs } << WorkedWords
                                    << u"неизвестный параметр \"--frobnicate\""_qs;
    QTest::newRow("unknown short option")
        << QStringList { u"-x"_qs } << WorkedWords << u"неизвестный параметр \"-x\""_qs;
    QTest::newRow("bad word count") << QStringList { u"-n"_qs, u"5"_qs } << WorkedWords
                                    << u"количество слов должно быть 2, 3 или 4, а не \"5\""_qs;
    QTest::newRow("bad word count joined")
        << QStringList { u"-n1"_qs } << WorkedWords << u"количество слов должно быть 2, 3 или 4, а не \"1\""_qs;
    QTest::newRow("missing value") << QStringList { u"-f"_qs } << WorkedWords << u"параметру -f нужно значение"_qs;
    QTest::newRow("missing value of a long option") << QStringList { u"--zone"_qs, u"ru"_qs, u"--output"_qs }
                                                    << WorkedWords << u"параметру --output нужно значение"_qs;
    QTest::newRow("value of a switch") << QStringList { u"--whois=yes"_qs } << WorkedWords
                                       << u"параметр --whois не принимает значения"_qs;
    QTest::newRow("unknown format") << QStringList { u"-f"_qs, u"pdf"_qs } << WorkedWords
                                    << u"неизвестный формат \"pdf\""_qs;
    QTest::newRow("bad port") << QStringList { u"--whois-port"_qs, u"70000"_qs } << WorkedWords
                              << u"неверный порт \"70000\""_qs;
    QTest::newRow("empty output name") << QStringList { u"--output="_qs } << WorkedWords
                                       << u"пустое имя выходного файла"_qs;
    QTest::newRow("two word files") << QStringList { u"a"_qs, u"b"_qs } << WorkedWords << u"лишний аргумент \"b\""_qs;
    QTest::newRow("RDAP list and no RDAP") << QStringList { u"--rdap-bootstrap"_qs, u"r.json"_qs,
        u"--no-rdap"_qs } << WorkedWords << u"параметры --rdap-bootstrap и --no-rdap исключают друг друга"_qs;
    QTest::newRow("bad DNS server") << QStringList { u"--dns-server"_qs, u"ns.example.net"_qs } << WorkedWords
                                    << u"неверный адрес сервера DNS \"ns.example.net\""_qs;
    QTest::newRow("DNS server and no DNS") << QStringList { u"--dns-server"_qs, u"127.0.0.1"_qs, u"--no-dns"_qs }
                                           << WorkedWords << u"параметры --dns-server и --no-dns исключают друг друга"_qs;
    QTest::newRow("keywords and names") << QStringList { u"--names"_qs, u"names.txt"_qs, u"words.txt"_qs }
                                        << WorkedWords << u"файл слов и параметр --names исключают друг друга"_qs;
    QTest::newRow("length limit of none") << QStringList { u"--max-length"_qs, u"0"_qs } << WorkedWords
                                          << u"длина имени должна быть от 1 до 63, а не \"0\""_qs;
    QTest::newRow("length limit past the DNS limit") << QStringList { u"--max-length=64"_qs } << WorkedWords
                                                     << u"длина имени должна быть от 1 до 63, а не \"64\""_qs;
    QTest::newRow("length limit no number") << QStringList { u"--max-length"_qs, u"ten"_qs } << WorkedWords
                                            << u"длина имени должна быть от 1 до 63, а не \"ten\""_qs;
    QTest::newRow("empty prefix file name")
        << QStringList { u"--prefixes="_qs } << WorkedWords << u"пустое имя файла префиксов"_qs;
    QTest::newRow("names and a variant") << QStringList { u"--names"_qs, u"-"_qs, u"--hyphen"_qs } << WorkedWords
                                         << u"параметры --hyphen и --names исключают друг друга"_qs;
    QTest::newRow("one keyword") << QStringList { u"-z"_qs, u"ru"_qs } << QByteArray("red\n")
                                 << u"Для продолжения, нужно ввести слова для генерации"_qs;
    QTest::newRow("blank names") << QStringList { u"-z"_qs, u"ru"_qs, u"--names"_qs, u"-"_qs } << QByteArray(" \n\n")
                                 << u"Для продолжения, нужно ввести доменные имена для проверки"_qs;
    QTest::newRow("large run without --yes") << QStringList { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"su"_qs, u"-z"_qs,
        u"com"_qs } << ThousandWords() << u"будет создано 2997000 доменных имен; чтобы продолжить, укажите --yes"_qs;
    // The question counts the variants: 1998000 names, twice that with hyphens.
    QTest::newRow("large run by its variants")
        << QStringList { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"--hyphen"_qs } << ThousandWords()
        << u"будет создано 3996000 доменных имен; чтобы продолжить, укажите --yes"_qs;
}

void TestCliOptions::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, message);
    const TResult r = Run(args, input);
    QCOMPARE(r.Code, 1);
    QVERIFY(r.Out.isEmpty());
    QCOMPARE(QString::fromUtf8(r.Err.split('\n').constFirst()), u"orvanta-cli: "_qs + message);
}

void TestCliOptions::namesGiven_data()
{
    QTest::addColumn<bool>("standardInput");
    QTest::newRow("from a file") << false;
    QTest::newRow("from standard input") << true;
}

void TestCliOptions::namesGiven()
{
    QFETCH(bool, standardInput);
    const QByteArray names = "redcat.com\n x \n\nxn--j1aim.XN--P1AI\nbad name\nREDCAT.COM\nкот.рф\n";
    const QString source = standardInput ? u"-"_qs : FEnv.WriteFile(u"names.txt"_qs, names);
    const QByteArray input = standardInput ? names : QByteArray();
    const QStringList zones { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"рф"_qs };
    QCOMPARE(Run(zones + QStringList { u"--names"_qs, source, u"--dry-run"_qs }, input).Out, QByteArray("6\n"));

    const TResult r = Run(zones + QStringList { u"--names"_qs, source, u"-f"_qs, u"json"_qs }, input);
    // Done, but a line was no name: it is written failed, and told.
    QCOMPARE(r.Code, 4);
    const QStringList expected { u"redcat.com com unchecked"_qs, u"x.ru ru unchecked"_qs, u"x.рф рф unchecked"_qs,
        u"кот.рф рф unchecked"_qs, u"bad name.ru ru failed недопустимое доменное имя"_qs,
        u"bad name.рф рф failed недопустимое доменное имя"_qs };
    QStringList got;
    for (const QByteArray& line : r.Out.split('\n'))
        if (!line.isEmpty()) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            got << QStringList { o.value(u"name").toString(), o.value(u"zone").toString(),
                o.value(u"status").toString(), o.value(u"reason").toString() }
                       .join(u' ')
                       .trimmed();
        }
    QCOMPARE(got, expected);
    QVERIFY2(QString::fromUtf8(r.Err).contains(u"недопустимое доменное имя — 2"_qs), r.Err.constData());
}

void TestCliOptions::namesChecked()
{
    // A one-letter label is asked; a line that is no name never reaches the registry.
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" };
    const QString whois = FEnv.WriteFile(u"whois.dat"_qs, "*:127.0.0.1\r\n");
    const TResult r
        = Run({ u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--no-rdap"_qs, u"--no-dns"_qs, u"--whois-list"_qs, whois, u"--whois-port"_qs,
                  QString::number(server.Port()), u"-f"_qs, u"export-text"_qs, u"--names"_qs, u"-"_qs },
            "x\nred cat.ru\n");
    QCOMPARE(r.Code, 4);
    QCOMPARE(server.Received, QList<QByteArray> { "x.ru\r\n" });
    QCOMPARE(r.Out, QByteArray("\xEF\xBB\xBFx.ru\r\nred cat.ru\r\n"));
}

void TestCliOptions::helpAndVersion()
{
    const TResult v = Run({ u"--version"_qs });
    QCOMPARE(v.Code, 0);
    QCOMPARE(v.Out, QByteArray("Orvanta 2.1\n"));
    const TResult h = Run({ u"-h"_qs });
    QCOMPARE(h.Code, 0);
    QVERIFY(h.Out.contains("--whois-port"));
    QVERIFY(QString::fromUtf8(h.Out).contains(QStringLiteral("Использование")));
}

QTEST_GUILESS_MAIN(TestCliOptions)
#include "tst_clioptions.moc"
