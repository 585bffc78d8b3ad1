#include "core/candidates/ResultsView.h"
#include "core/common/Paths.h"
#include "core/reports/ReportWriters.h"
#include "support/HttpTestServer.h"
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// The batch tool, run as a real process.
namespace {

const QByteArray WorkedWords = "red\ncat\nsun\n";

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void workedExample_data();
    void workedExample();
    void matchesDesktopWriters();
    void threeWordsAndZoneOrder_data();
    void threeWordsAndZoneOrder();
    void standardInput();
    void dryRun();
    void unreadableInput();
    void unwritableOutput();
    void outputFaults_data();
    void outputFaults();
    void whoisFailuresGiveFour();
    void jsonLinesEveryStatus();
    void metricsFailureStillWrites();
    void signalStopsChecksAndWrites_data();
    void signalStopsChecksAndWrites();
    void limitsAndResume();
    void progressOnTerminal();

private:
    std::unique_ptr<TTestEnv> FEnv;
    QString FWords;
    QString FZones;
    using TResult = TToolResult;
    // The batch tool with this test's preparation of its process.
    TResult Run(const QStringList& args, const QByteArray& input = QByteArray(), int timeoutMs = 60000,
        const QStringList& program = {});
    // Applied to the next runs' process before it starts (output redirection, limits of the child).
    std::function<void(QProcess&)> FPrepare;
};

void TestCli::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FWords = FEnv->WriteFile(QStringLiteral("words.txt"), WorkedWords);
    FZones = FEnv->WriteFile(QStringLiteral("zones.dat"), "ru\r\ncom\r\n");
    // The shipped RDAP list names real registries; the checks here never leave loopback.
    WriteAll(GetDataFolder() + u"rdap.json"_qs, R"({"version":"1.0","services":[]})");
}

void TestCli::cleanup()
{
    FPrepare = nullptr;
    FEnv.reset();
}

TestCli::TResult TestCli::Run(const QStringList& args, const QByteArray& input, int timeoutMs, const QStringList& program)
{
    return RunTool(args, input, timeoutMs, FPrepare, program);
}

void TestCli::workedExample_data()
{
    AddGoldenFormatRows();
}

void TestCli::workedExample()
{
    QFETCH(QString, format);
    QFETCH(QString, golden);
    const QByteArray expected = ReadAll(GoldenCliFile(golden));
    QVERIFY(!expected.isEmpty());
    // To standard output, and to a file.
    const TResult r = Run({ QStringLiteral("--zone-list"), FZones, QStringLiteral("-f"), format, FWords });
    QCOMPARE(r.Code, 0);
    QCOMPARE(r.Out, expected);
    QVERIFY2(r.Err.isEmpty(), r.Err.constData());
    const QString out = FEnv->Root() + QStringLiteral("/out");
    const TResult f = Run({ QStringLiteral("--zone-list"), FZones, QStringLiteral("--format=") + format,
        QStringLiteral("-o"), out, FWords });
    QCOMPARE(f.Code, 0);
    QVERIFY(f.Out.isEmpty());
    QCOMPARE(ReadAll(out), expected);
}

void TestCli::matchesDesktopWriters()
{
    // The same grid through the library's writers gives the same bytes.
    QList<TCandidate> rows;
    for (const char* w1 : { "red", "cat", "sun" })
        for (const char* w2 : { "red", "cat", "sun" })
            if (qstrcmp(w1, w2) != 0)
                for (const char* z : { "ru", "com" })
                    rows.append(
                        { QLatin1String(w1) + QLatin1String(w2) + u'.' + QLatin1String(z), QLatin1String(z), {}, {} });
    const TResultsView grid(&rows);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ExportCSV(grid, buffer);
    QCOMPARE(Run({ QStringLiteral("--zone-list"), FZones, FWords }).Out, buffer.data());
}

void TestCli::threeWordsAndZoneOrder_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("-n 3, one zone") << QStringList { u"-n"_qs, u"3"_qs, u"-z"_qs, u"ru"_qs, u"-f"_qs, u"export-text"_qs }
                                    << QByteArray("\xEF\xBB\xBFredcatsun.ru\r\nredsuncat.ru\r\ncatredsun.ru\r\n"
                                                  "catsunred.ru\r\nsunredcat.ru\r\nsuncatred.ru\r\n");
    QTest::newRow("zones in the order given")
        << QStringList { u"-z"_qs, u"net"_qs, u"-zРФ"_qs, u"-f"_qs, u"export-text"_qs }
        << QByteArray("\xEF\xBB\xBFredcat.net\r\nredcat.РФ\r\nredsun.net\r\nredsun.РФ\r\n").append(
               "catred.net\r\ncatred.РФ\r\ncatsun.net\r\ncatsun.РФ\r\nsunred.net\r\nsunred.РФ\r\n"
               "suncat.net\r\nsuncat.РФ\r\n");
}

void TestCli::threeWordsAndZoneOrder()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    const TResult r = Run(args << FWords);
    QCOMPARE(r.Code, 0);
    QCOMPARE(r.Out, expected);
}

void TestCli::standardInput()
{
    const QByteArray expected = ReadAll(GoldenCliFile(QStringLiteral("export.csv")));
    // Windows-1251 is read as the program reads a word list; here plain ASCII through "-" and without a file.
    QCOMPARE(Run({ u"--zone-list"_qs, FZones, u"-"_qs }, WorkedWords).Out, expected);
    QCOMPARE(Run({ u"--zone-list"_qs, FZones }, "\xEF\xBB\xBFred\r\ncat\r\nsun").Out, expected);
    const TResult cyr = Run({ u"-z"_qs, u"рф"_qs, u"-f"_qs, u"export-text"_qs }, "\xEA\xEE\xF2\n\xEF\xF1");
    QCOMPARE(cyr.Out, QByteArray("\xEF\xBB\xBFкотпс.рф\r\nпскот.рф\r\n"));
}

void TestCli::dryRun()
{
    const TResult r = Run({ u"--zone-list"_qs, FZones, u"--dry-run"_qs, u"-n"_qs, u"4"_qs, FWords });
    QCOMPARE(r.Code, 0);
    QCOMPARE(r.Out, QByteArray("0\n"));
    QCOMPARE(Run({ u"--zone-list"_qs, FZones, u"--dry-run"_qs, FWords }).Out, QByteArray("12\n"));
    // Far past any limit: counted, never built.
    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many << QString::number(i);
    const TResult big = Run({ u"-z"_qs, u"ru"_qs, u"--dry-run"_qs, u"-n"_qs, u"4"_qs, u"-"_qs }, many.join(u'\n').toUtf8());
    QCOMPARE(big.Out, QByteArray("80838098982000\n"));
    // 70000·69999·69998·69997 needs 65 bits: still exact, not wrapped round.
    many.clear();
    for (int i = 0; i < 70000; ++i)
        many << QString::number(i);
    const TResult huge = Run({ u"-z"_qs, u"ru"_qs, u"--dry-run"_qs, u"-n"_qs, u"4"_qs, u"-"_qs }, many.join(u'\n').toUtf8());
    QCOMPARE(huge.Out, QByteArray("24007942053899580000\n"));
}

void TestCli::unreadableInput()
{
    const TResult r = Run({ u"-z"_qs, u"ru"_qs, FEnv->Root() + u"/missing.txt"_qs });
    QCOMPARE(r.Code, 2);
    QVERIFY(!r.Err.isEmpty());
    QCOMPARE(Run({ u"--zone-list"_qs, FEnv->Root() + u"/none.dat"_qs, FWords }).Code, 2);
}

void TestCli::unwritableOutput()
{
    const QString old = FEnv->WriteFile(QStringLiteral("old.csv"), "keep me");
    const TResult r = Run({ u"-z"_qs, u"ru"_qs, u"-o"_qs, FEnv->Root() + u"/no/such/dir/out.csv"_qs, FWords });
    QCOMPARE(r.Code, 3);
    QVERIFY2(QString::fromUtf8(r.Err).contains(u"Не удалось создать файл"_qs + u" \""_qs + FEnv->Root()
                 + u"/no/such/dir/out.csv\". Нет такого файла или папки"_qs),
        r.Err.constData());
    // A path under a regular file fails even as root.
    QCOMPARE(Run({ u"-z"_qs, u"ru"_qs, u"-o"_qs, old + u"/out.csv"_qs, FWords }).Code, 3);
    QCOMPARE(ReadAll(old), QByteArray("keep me"));
}

enum class TOutputFault { FullStdout, FullStdoutDryRun, FullStdoutHelp, DeviceNode, LinkLoop, Folder, SizeLimit, LinkToFile };
Q_DECLARE_METATYPE(TOutputFault)

void TestCli::outputFaults_data()
{
    QTest::addColumn<TOutputFault>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString full = u"orvanta-cli: стандартный вывод: Не удалось записать данные. На устройстве нет свободного места."_qs;
    QTest::newRow("names to a full standard output") << TOutputFault::FullStdout << 3 << full;
    QTest::newRow("dry run to a full standard output") << TOutputFault::FullStdoutDryRun << 3 << full;
    QTest::newRow("help to a full standard output") << TOutputFault::FullStdoutHelp << 3 << full;
    QTest::newRow("-o onto a device node") << TOutputFault::DeviceNode << 3
                                           << u"Это не обычный файл, а устройство, канал или сокет"_qs;
    QTest::newRow("-o onto a link loop") << TOutputFault::LinkLoop << 3 << u"Символические ссылки образуют петлю"_qs;
    QTest::newRow("-o onto a folder") << TOutputFault::Folder << 3 << u"Это папка, а не файл"_qs;
    QTest::newRow("file size limit") << TOutputFault::SizeLimit << 3
                                     << u"Не удалось записать данные. Превышен допустимый размер файла."_qs;
    QTest::newRow("-o through a link to a file") << TOutputFault::LinkToFile << 0 << QString();
}

// Each fault ends with exit 3 and a Russian message, and leaves the output folder exactly as it was.
void TestCli::outputFaults()
{
    QFETCH(TOutputFault, fault);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString dir = FEnv->Root() + u"/out"_qs;
    QVERIFY(QDir().mkpath(dir));
    const QString target = dir + u"/report.csv"_qs;
    QStringList args { u"-z"_qs, u"ru"_qs, u"-o"_qs, target, FWords };
    QByteArray input;
    const auto toFullDevice = [](QProcess& p) { p.setStandardOutputFile(u"/dev/full"_qs); };
    switch (fault) {
    case TOutputFault::FullStdout:
        args = QStringList { u"-z"_qs, u"ru"_qs, FWords };
        FPrepare = toFullDevice;
        break;
    case TOutputFault::FullStdoutDryRun:
        args = QStringList { u"-z"_qs, u"ru"_qs, u"--dry-run"_qs, FWords };
        FPrepare = toFullDevice;
        break;
    case TOutputFault::FullStdoutHelp:
        args = QStringList { u"--help"_qs };
        FPrepare = toFullDevice;
        break;
    case TOutputFault::DeviceNode:
        // The null device's numbers: harmless if it were ever written.
        if (::mknod(QFile::encodeName(target).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("device nodes cannot be made here (root only)");
        break;
    case TOutputFault::LinkLoop:
        QVERIFY(QFile::link(dir + u"/other.csv"_qs, target));
        QVERIFY(QFile::link(target, dir + u"/other.csv"_qs));
        break;
    case TOutputFault::Folder:
        QVERIFY(QDir().mkpath(target));
        break;
    case TOutputFault::SizeLimit: {
        WriteAll(target, "keep me");
        args = QStringList { u"-z"_qs, u"ru"_qs, u"-o"_qs, target, u"-"_qs };
        for (int i = 0; i < 300; ++i)
            input += "w" + QByteArray::number(i) + "\n";
        // The tool starts as a shell would start it under "ulimit -f": the limit set, SIGXFSZ as default.
        FPrepare = [](QProcess& p) {
            p.setChildProcessModifier([] {
                std::signal(SIGXFSZ, SIG_DFL);
                rlimit limit {};
                getrlimit(RLIMIT_FSIZE, &limit);
                limit.rlim_cur = 64 * 1024;
                setrlimit(RLIMIT_FSIZE, &limit);
            });
        };
        break;
    }
    case TOutputFault::LinkToFile:
        WriteAll(dir + u"/real.csv"_qs, "old");
        QVERIFY(QFile::link(dir + u"/real.csv"_qs, target));
        break;
    }
    const QString before = FolderState(dir);
    const TResult r = Run(args, input);
    QCOMPARE(r.Code, code);
    QString err = QString::fromUtf8(r.Err);
    if (code == 0) {
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(QFile::symLinkTarget(target), dir + u"/real.csv"_qs);
        QVERIFY(ReadAll(dir + u"/real.csv"_qs).contains("redcat"));
        return;
    }
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(FolderState(dir), before);
    // Nothing in English: what is left once the tool's name and the paths are taken out has no Latin word.
    err.remove(u"orvanta-cli"_qs).remove(target).remove(FEnv->Root());
    QVERIFY2(!err.contains(QRegularExpression(u"[A-Za-z]{3,}"_qs)), qPrintable(err));
}

void TestCli::whoisFailuresGiveFour()
{
    TWhoisTestServer server;
    server.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No match for \"REDCAT.RU\".\r\n" });
    server.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
    const QString whois = FEnv->WriteFile(QStringLiteral("whois.dat"), "RU:127.0.0.1\r\n");
    const TResult r = Run({ u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs,
        whois, u"--whois-port"_qs, QString::number(server.Port()), u"-f"_qs, u"export-csv"_qs, FWords });
    QCOMPARE(r.Code, 4);
    const QList<QByteArray> lines = r.Out.mid(3).split('\n');
    QCOMPARE(lines.at(0), QByteArray("redcat.ru;ru;0;;;\r"));
    // No server for com: failed, still unknown.
    QCOMPARE(lines.at(1), QByteArray("redcat.com;com;-1;;;\r"));
    QCOMPARE(lines.at(2), QByteArray("redsun.ru;ru;1;;;\r"));
    // An empty answer is a failure, not "taken".
    QCOMPARE(lines.at(4), QByteArray("catred.ru;ru;-1;;;\r"));
    // Six com names and catred.ru failed: one summary line, no progress line (standard error is a pipe).
    QCOMPARE(r.Err, QStringLiteral("Не удалось проверить на занятость доменных имен: 7.\n"
                                   "нет сервера WHOIS для зоны — 6; сервер закрыл соединение, ничего не ответив — 1\n")
                        .toUtf8());
    QCOMPARE(server.Received.size(), 6);
    QCOMPARE(server.Received.at(0), QByteArray("redcat.ru\r\n"));
}

void TestCli::jsonLinesEveryStatus()
{
    TWhoisTestServer server;
    server.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" });
    server.Script("redcat.com", { TWhoisTestServer::TMode::Answer, QByteArray() });
    const QString whois = FEnv->WriteFile(QStringLiteral("whois.dat"), "ru:127.0.0.1\r\ncom:127.0.0.1\r\n");
    const QString words = FEnv->WriteFile(QStringLiteral("two.txt"), "red\ncat\n");
    const QStringList zones { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"-z"_qs, u"xx"_qs, u"-z"_qs, u"b_d"_qs };
    const TResult r = Run(zones
        + QStringList { u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, whois, u"--whois-port"_qs,
            QString::number(server.Port()), u"-f"_qs, u"json"_qs, words });
    QCOMPARE(r.Code, 4);

    const QString local = u"127.0.0.1"_qs;
    const QString noServer = u"нет сервера WHOIS для зоны"_qs;
    const QString invalid = u"недопустимое доменное имя"_qs;
    struct TRow {
        QString Name;
        QString Status;
        QString Reason;
        QString Server;
    };
    const QList<TRow> expected {
        { u"redcat.ru"_qs, u"free"_qs, {}, local },
        { u"redcat.com"_qs, u"failed"_qs, u"сервер закрыл соединение, ничего не ответив"_qs, local },
        { u"redcat.xx"_qs, u"failed"_qs, noServer, {} },
        { u"redcat.b_d"_qs, u"failed"_qs, invalid, {} },
        { u"catred.ru"_qs, u"taken"_qs, {}, local },
        { u"catred.com"_qs, u"taken"_qs, {}, local },
        { u"catred.xx"_qs, u"failed"_qs, noServer, {} },
        { u"catred.b_d"_qs, u"failed"_qs, invalid, {} },
    };
    const QList<QByteArray> lines = r.Out.split('\n');
    QCOMPARE(lines.size(), expected.size() + 1);
    QVERIFY(lines.last().isEmpty());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const TRow& e = expected.at(i);
        const QJsonObject o = QJsonDocument::fromJson(lines.at(i)).object();
        QCOMPARE(o.value(u"name").toString(), e.Name);
        QCOMPARE(o.value(u"zone").toString(), e.Name.section(u'.', 1));
        QCOMPARE(o.value(u"status").toString(), e.Status);
        QCOMPARE(o.contains(u"reason"), !e.Reason.isEmpty());
        QCOMPARE(o.value(u"reason").toString(), e.Reason);
        QCOMPARE(o.contains(u"server"), !e.Server.isEmpty());
        QCOMPARE(o.value(u"server").toString(), e.Server);
        QCOMPARE(o.value(u"via").toString(), e.Server.isEmpty() ? QString() : u"whois"_qs);
        QVERIFY(o.value(u"pr").isNull());
        QVERIFY(o.value(u"tic").isNull());
    }
    // Only the valid names with a server were asked about.
    QCOMPARE(server.Received, (QList<QByteArray> { "redcat.ru\r\n", "redcat.com\r\n", "catred.ru\r\n",
                                  "catred.com\r\n" }));
    QVERIFY2(r.Err.endsWith(QStringLiteral("нет сервера WHOIS для зоны — 2; недопустимое доменное имя — 2; сервер "
                                           "закрыл соединение, ничего не ответив — 1\n")
                                .toUtf8()),
        r.Err.constData());

    // Without checks every name is unchecked, streamed as it is built.
    const TResult plain = Run(zones + QStringList { u"-f"_qs, u"json"_qs, words });
    QCOMPARE(plain.Code, 0);
    const QList<QByteArray> plainLines = plain.Out.split('\n');
    QCOMPARE(plainLines.size(), 9);
    QCOMPARE(plainLines.at(3), QByteArray(R"({"name":"redcat.b_d","zone":"b_d","status":"unchecked","pr":null,"tic":null})"));
}

void TestCli::metricsFailureStillWrites()
{
    // One page fails: its name's figures stay empty, every other name gets its own, and the tool says so.
    THttpTestServer http;
    http.Handler = [&](const THttpTestServer::TRequest& r) {
        if (r.Target.endsWith("catred.ru"))
            return THttpTestServer::TReply { 500, {}, "broken", false, {} };
        return THttpTestServer::Text("pr_ 4 _pr tyc_ 30 _tyc");
    };
    qputenv("ORVANTA_SITE_URL", http.BaseUrl().toUtf8());
    const TResult r = Run({ u"-z"_qs, u"ru"_qs, u"--metrics"_qs, u"-f"_qs, u"export-csv"_qs, FWords });
    qunsetenv("ORVANTA_SITE_URL");
    QCOMPARE(r.Code, 4);
    QVERIFY2(r.Err.contains("PR и ТИЦ для доменных имен: 1."), r.Err.constData());
    const QList<QByteArray> lines = r.Out.mid(3).split('\n');
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(0), QByteArray("redcat.ru;ru;-1;4;30;\r"));
    QCOMPARE(lines.at(1), QByteArray("redsun.ru;ru;-1;4;30;\r"));
    QCOMPARE(lines.at(2), QByteArray("catred.ru;ru;-1;;;\r"));
    QCOMPARE(lines.at(5), QByteArray("suncat.ru;ru;-1;4;30;\r"));
}

void TestCli::signalStopsChecksAndWrites_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("code");
    QTest::newRow("SIGINT") << SIGINT << 130;
    QTest::newRow("SIGTERM") << SIGTERM << 130;
    QTest::newRow("SIGHUP") << SIGHUP << 129;
}

// A signal during a query to a server that never answers ends the tool within a second, with the verdicts
// obtained so far written.
void TestCli::signalStopsChecksAndWrites()
{
    QFETCH(int, signal);
    QFETCH(int, code);
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Silent, {} };
    server.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    server.Script("redcat.com", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    const QString whois = FEnv->WriteFile(QStringLiteral("whois.dat"), "*:127.0.0.1\r\n");
    const QString out = FEnv->Root() + u"/out.csv"_qs;
    QProcess p;
    p.setProcessEnvironment(ProgramEnvironment());
    p.start(BuildFile(QStringLiteral("orvanta-cli")),
        { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, whois,
            u"--whois-port"_qs, QString::number(server.Port()), u"-f"_qs, u"export-csv"_qs, u"-o"_qs, out, FWords });
    QVERIFY(p.waitForStarted(5000));
    p.closeWriteChannel();
    // The third name's query hangs: the server never answers it.
    QVERIFY(WaitFor([&] { return server.Received.size() >= 3; }, 20000));
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(WaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), code);
    const QList<QByteArray> lines = ReadAll(out).mid(3).split('\n');
    QCOMPARE(lines.size(), 13);
    QCOMPARE(lines.at(0), QByteArray("redcat.ru;ru;0;;;\r"));
    QCOMPARE(lines.at(1), QByteArray("redcat.com;com;0;;;\r"));
    // The names never answered stay unchecked.
    QCOMPARE(lines.at(2), QByteArray("redsun.ru;ru;-1;;;\r"));
    QCOMPARE(lines.at(11), QByteArray("suncat.com;com;-1;;;\r"));
    QCOMPARE(server.Received.size(), 3);
}

// The limits list paces the server; the names judged in an earlier JSON output are not asked about again.
// Without the verdict store: it would answer for every name of the first run.
void TestCli::limitsAndResume()
{
    TWhoisTestServer server;
    server.Limit = { 2, 1000, 5000, server.Limit.Refusal };
    const QString whois = FEnv->WriteFile(QStringLiteral("whois.dat"), "*:127.0.0.1\r\n");
    const QString limits = FEnv->WriteFile(QStringLiteral("limits.txt"), "127.0.0.1:2:1\r\n");
    const auto common = [&](const TWhoisTestServer& s) {
        return QStringList { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, whois,
            u"--whois-port"_qs, QString::number(s.Port()), u"--whois-limits"_qs, limits, u"--no-store"_qs, u"-f"_qs,
            u"json"_qs };
    };
    QElapsedTimer clock;
    clock.start();
    const TResult first = Run(common(server) + QStringList { FWords });
    // Six names at two a second: three windows, and the registry never had to refuse.
    QCOMPARE(first.Code, 0);
    QVERIFY2(clock.elapsed() >= 2000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(server.Refused, 0);
    QCOMPARE(server.Received.size(), 6);

    // An earlier output where two names were judged, one failed and one is not there at all.
    const QString earlier = FEnv->WriteFile(QStringLiteral("earlier.jsonl"),
        "{\"name\":\"redcat.ru\",\"zone\":\"ru\",\"status\":\"free\",\"server\":\"old.example\",\"pr\":null,\"tic\":null}\n"
        "{\"name\":\"redsun.ru\",\"zone\":\"ru\",\"status\":\"taken\",\"reason\":\"зарезервировано реестром\","
        "\"server\":\"old.example\",\"pr\":null,\"tic\":null}\n"
        "{\"name\":\"catred.ru\",\"zone\":\"ru\",\"status\":\"failed\",\"reason\":\"x\",\"pr\":null,\"tic\":null}\n");
    // A registry of its own, which the first run has not used up.
    TWhoisTestServer second;
    const TResult resumed = Run(common(second) + QStringList { u"--resume"_qs, earlier, FWords });
    QCOMPARE(resumed.Code, 0);
    QCOMPARE(second.Received.size(), 4);
    QVERIFY(!second.Received.contains("redcat.ru\r\n"));
    QVERIFY(!second.Received.contains("redsun.ru\r\n"));
    const QList<QByteArray> lines = resumed.Out.split('\n');
    QCOMPARE(QJsonDocument::fromJson(lines.at(0)).object().value(u"status").toString(), u"free"_qs);
    QCOMPARE(QJsonDocument::fromJson(lines.at(0)).object().value(u"server").toString(), u"old.example"_qs);
    QCOMPARE(QJsonDocument::fromJson(lines.at(1)).object().value(u"status").toString(), u"taken"_qs);
    // What qualified a verdict stays with it.
    QCOMPARE(QJsonDocument::fromJson(lines.at(1)).object().value(u"reason").toString(), u"зарезервировано реестром"_qs);

    // A file that is no such output is an input error.
    const QString junk = FEnv->WriteFile(QStringLiteral("junk.txt"), "not json\n");
    const TResult bad = Run(common(second) + QStringList { u"--resume"_qs, junk, FWords });
    QCOMPARE(bad.Code, 2);
    QVERIFY(QString::fromUtf8(bad.Err).contains(u"строка 1"_qs));
}

void TestCli::progressOnTerminal()
{
    // Standard error on a pseudo-terminal: the progress line is drawn in place and ended at the finish.
    TWhoisTestServer server;
    const QString whois = FEnv->WriteFile(QStringLiteral("whois.dat"), "*:127.0.0.1\r\n");
    const QString out = FEnv->Root() + u"/out.csv"_qs;
    const QString command = QStringLiteral("'%1' -z ru --whois --no-dns --whois-list '%2' --whois-port %3 -o '%4' '%5'")
                                .arg(BuildFile(u"orvanta-cli"_qs), whois, QString::number(server.Port()), out, FWords);
    const TResult r = Run({}, {}, 60000, { u"script"_qs, u"-qec"_qs, command, u"/dev/null"_qs });
    QCOMPARE(r.Code, 0);
    const QString shown = QString::fromUtf8(r.Out);
    // The stage's own count, never the two stages' names added up.
    QVERIFY2(shown.contains(u"\rПроверка занятости: 6/6"_qs), qPrintable(shown));
    QVERIFY(shown.contains(u"в секунду"_qs));
    // What the window's progress shows too: the time left (and any paused server) beside the count.
    QVERIFY2(shown.contains(u"осталось примерно"_qs), qPrintable(shown));
    QVERIFY(ReadAll(out).startsWith("\xEF\xBB\xBFredcat.ru;ru;1;;;"));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
