// The batch tool and the verdict store: reuse across runs, the store options, a run killed halfway, two
// programs writing at once, a broken file.
#include "core/checks/RunSession.h"
#include "core/checks/VerdictStore.h"
#include "core/common/Paths.h"
#include "support/ProgramProcess.h"
#include "support/SessionProbe.h"
#include "support/StoreSamples.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <csignal>

namespace
{

const QStringList SixNames { u"redcat.ru"_qs, u"redsun.ru"_qs, u"catred.ru"_qs, u"catsun.ru"_qs, u"sunred.ru"_qs,
    u"suncat.ru"_qs };

QList<QJsonObject> JsonRows(const QByteArray& Out)
{
    QList<QJsonObject> rows;
    for (const QByteArray& line : Out.split('\n'))
        if (!line.isEmpty())
            rows << QJsonDocument::fromJson(line).object();
    return rows;
}

} // namespace

class TestCliStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void reuseAcrossRuns_data();
    void reuseAcrossRuns();
    void killedRunKeepsCommittedVerdicts();
    void twoWritersAtOnce();
    void storeFileProblems_data();
    void storeFileProblems();

private:
    std::unique_ptr<TTestEnv> FEnv;
    QString FWords;
    QString FWhois;
    // The checks of the six names of FWords in ru against Server, with Extra.
    QStringList CheckArgs(const TWhoisTestServer& Server, const QStringList& Extra = {}) const;
};

void TestCliStore::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FWords = FEnv->WriteFile(u"words.txt"_qs, "red\ncat\nsun\n");
    FWhois = FEnv->WriteFile(u"whois.dat"_qs, "*:127.0.0.1\r\n");
    // The shipped RDAP list names real registries; the checks here never leave loopback.
    WriteAll(GetDataFolder() + u"rdap.json"_qs, R"({"version":"1.0","services":[]})");
}

void TestCliStore::cleanup()
{
    FEnv.reset();
}

QStringList TestCliStore::CheckArgs(const TWhoisTestServer& Server, const QStringList& Extra) const
{
    return QStringList { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, FWhois, u"--whois-port"_qs,
        QString::number(Server.Port()), u"-f"_qs, u"json"_qs }
    + Extra + QStringList { FWords };
}

void TestCliStore::reuseAcrossRuns_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("second");
    QTest::addColumn<int>("askedAgain");
    QTest::addColumn<bool>("dataFolderStore");
    const QByteArray taken = "Domain Name: %N\r\n";
    const QByteArray free = "No entries found\r\n";
    const QStringList none;
    const QStringList elsewhere { u"--store"_qs, u"elsewhere.sqlite"_qs };
    QTest::newRow("taken: none asked again") << taken << none << none << 0 << true;
    QTest::newRow("--reuse-taken 0: all asked again")
        << taken << none << QStringList { u"--reuse-taken"_qs, u"0"_qs } << 6 << true;
    QTest::newRow("free: none asked again within the hour") << free << none << none << 0 << true;
    QTest::newRow("--reuse-free 0: free asked again")
        << free << none << QStringList { u"--reuse-free=0"_qs } << 6 << true;
    QTest::newRow("--reuse-free 0 keeps taken")
        << taken << none << QStringList { u"--reuse-free"_qs, u"0"_qs } << 0 << true;
    QTest::newRow("--no-store: all asked, nothing kept")
        << taken << QStringList { u"--no-store"_qs } << QStringList { u"--no-store"_qs } << 6 << false;
    QTest::newRow("--store elsewhere: kept there") << taken << elsewhere << elsewhere << 0 << false;
    QTest::newRow("--store elsewhere, then the data folder's") << taken << elsewhere << none << 6 << true;
}

void TestCliStore::reuseAcrossRuns()
{
    QFETCH(QByteArray, answer);
    QFETCH(QStringList, first);
    QFETCH(QStringList, second);
    QFETCH(int, askedAgain);
    QFETCH(bool, dataFolderStore);
    // --store names a file in the test's folder.
    for (QStringList* args : { &first, &second })
        for (QString& a : *args)
            if (a.endsWith(u".sqlite"))
                a = FEnv->Root() + u'/' + a;
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, answer };
    const TToolResult one = RunTool(CheckArgs(server, first));
    QCOMPARE(one.Code, 0);
    QCOMPARE(server.Received.size(), 6);
    const TToolResult two = RunTool(CheckArgs(server, second));
    QCOMPARE(two.Code, 0);
    QVERIFY2(two.Err.isEmpty(), two.Err.constData());
    QCOMPARE(server.Received.size(), 6 + askedAgain);
    // A name not asked again keeps its verdict and the time it was obtained.
    const QList<QJsonObject> before = JsonRows(one.Out);
    const QList<QJsonObject> after = JsonRows(two.Out);
    QCOMPARE(after.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(after.at(i).value(u"status"), before.at(i).value(u"status"));
        QVERIFY(!after.at(i).value(u"checked").toString().isEmpty());
        if (askedAgain == 0)
            QCOMPARE(after.at(i).value(u"checked"), before.at(i).value(u"checked"));
    }
    QCOMPARE(QFileInfo::exists(TVerdictStore::DefaultPath()), dataFolderStore);
}

// A run killed with SIGKILL loses at most its last second: what was committed is there, and the next run
// does not ask about it again.
void TestCliStore::killedRunKeepsCommittedVerdicts()
{
    TWhoisTestServer slow;
    slow.Default = { TWhoisTestServer::TMode::Silent, {} };
    slow.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "Domain Name: REDCAT.RU\r\n" });
    slow.Script("redsun.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    QProcess tool;
    tool.setProcessEnvironment(ProgramEnvironment());
    tool.start(BuildFile(u"orvanta-cli"_qs), CheckArgs(slow));
    QVERIFY(tool.waitForStarted(5000));
    tool.closeWriteChannel();
    QTRY_COMPARE_WITH_TIMEOUT(FreshInStore(TVerdictStore::DefaultPath(), SixNames).size(), 2, 20000);
    QCOMPARE(tool.state(), QProcess::Running);
    ::kill(pid_t(tool.processId()), SIGKILL);
    QVERIFY(tool.waitForFinished(10000));
    QCOMPARE(tool.exitStatus(), QProcess::CrashExit);

    TWhoisTestServer registry;
    registry.Default = { TWhoisTestServer::TMode::Answer, "No entries found\r\n" };
    const qint64 start = QDateTime::currentSecsSinceEpoch();
    const TToolResult r = RunTool(CheckArgs(registry));
    QCOMPARE(r.Code, 0);
    QCOMPARE(Asked(registry), QStringList({ u"catred.ru"_qs, u"catsun.ru"_qs, u"sunred.ru"_qs, u"suncat.ru"_qs }));
    const QList<QJsonObject> rows = JsonRows(r.Out);
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows.at(0).value(u"status").toString(), u"taken"_qs);
    QCOMPARE(rows.at(1).value(u"status").toString(), u"free"_qs);
    for (const QJsonObject& row : rows) {
        // When each verdict was obtained, in UTC: the killed run's before this run started.
        const QDateTime checked = QDateTime::fromString(row.value(u"checked").toString(), Qt::ISODate);
        QVERIFY2(checked.isValid() && checked.timeSpec() == Qt::UTC, qPrintable(row.value(u"checked").toString()));
        if (row.value(u"name").toString().startsWith(u"red"))
            QVERIFY(checked.toSecsSinceEpoch() <= start);
        else
            QVERIFY(checked.toSecsSinceEpoch() >= start);
        QCOMPARE(row.value(u"server").toString(), u"127.0.0.1"_qs);
    }
    // The killed run never ended; the second did.
    TVerdictStore store(TVerdictStore::DefaultPath());
    const QList<TStoredRun> runs = store.RecentRuns(10);
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs.at(1).Ended, 0);
    QVERIFY(runs.at(0).Ended >= start);
    QCOMPARE(runs.at(0).Origin, TRunOrigin::Batch);
}

// The window and the batch tool check at the same time, each writing its verdicts as they come.
void TestCliStore::twoWritersAtOnce()
{
    TWhoisTestServer server;
    QStringList words;
    for (int i = 0; i < 12; ++i)
        words << u"w%1"_qs.arg(i);
    const QString batchWords = FEnv->WriteFile(u"batch.txt"_qs, words.join(u'\n').toUtf8());
    // 132 names at 20 a second: the tool takes seven seconds.
    const QString limits = FEnv->WriteFile(u"limits.dat"_qs, "127.0.0.1:20:1\r\n");
    QProcess tool;
    tool.setProcessEnvironment(ProgramEnvironment());
    tool.start(BuildFile(u"orvanta-cli"_qs),
        { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--whois-list"_qs, FWhois, u"--whois-port"_qs,
            QString::number(server.Port()), u"--whois-limits"_qs, limits, u"-o"_qs, FEnv->Root() + u"/out.csv"_qs,
            batchWords });
    QVERIFY(tool.waitForStarted(5000));
    tool.closeWriteChannel();
    QTRY_VERIFY_WITH_TIMEOUT(server.Received.size() >= 10, 20000);

    TVerdictStore store(TVerdictStore::DefaultPath());
    TRunSession window;
    TSessionProbe probe(window);
    window.SetStore(&store, TRunOrigin::Window);
    TRunRequest request;
    request.Keywords = words.mid(0, 8);
    request.Zones = { u"com"_qs };
    request.CheckAvailability = true;
    request.Setup.WhoisPort = server.Port();
    request.Setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
    request.Setup.Limits = TServerLimits({ u"127.0.0.1:20:1"_qs });
    QVERIFY(window.Start(request));
    QVERIFY(probe.WaitFinished(1, 30000));
    // Both wrote at once: the tool was still at work when the window's run was over.
    QCOMPARE(tool.state(), QProcess::Running);
    // The registry answers from this process's event loop.
    QVERIFY(WaitFor([&] { return tool.state() == QProcess::NotRunning; }, 60000));
    QCOMPARE(tool.exitCode(), 0);
    const QByteArray err = tool.readAllStandardError();
    QVERIFY2(err.isEmpty(), err.constData());
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));

    QStringList all;
    for (const TCandidate& d : window.Candidates())
        all << d.Name;
    QCOMPARE(all.size(), 56);
    for (int a = 0; a < words.size(); ++a)
        for (int b = 0; b < words.size(); ++b)
            if (a != b)
                all << words.at(a) + words.at(b) + u".ru"_qs;
    QCOMPARE(FreshInStore(store.Path(), all).size(), 56 + 132);
    // The tool's run began first.
    const QList<TStoredRun> runs = store.RecentRuns(10);
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs.at(1).Origin, TRunOrigin::Batch);
    QCOMPARE(runs.at(1).Taken, 132);
    QCOMPARE(runs.at(0).Origin, TRunOrigin::Window);
    QCOMPARE(runs.at(0).Taken, 56);
}

void TestCliStore::storeFileProblems_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("broken file in the data folder: moved aside")
        << u"broken"_qs << 0 << u"повреждена; она сохранена как"_qs;
    QTest::newRow("newer schema in the data folder: left alone")
        << u"newer"_qs << 0 << u"записана более новой версией программы"_qs;
    QTest::newRow("--store under a file: input error") << u"under a file"_qs << 2 << u"Не удалось создать папку"_qs;
}

void TestCliStore::storeFileProblems()
{
    QFETCH(QString, problem);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString path = TVerdictStore::DefaultPath();
    QStringList extra;
    if (problem == u"broken") {
        WriteAll(path, "not a database, just text\n");
    } else if (problem == u"newer") {
        ExecSql(path,
            { u"CREATE TABLE verdicts (name TEXT)"_qs, u"PRAGMA application_id = 1330796110"_qs,
                u"PRAGMA user_version = 99"_qs });
    } else {
        WriteAll(FEnv->Root() + u"/file"_qs, "a file");
        extra << u"--store"_qs << FEnv->Root() + u"/file/verdicts.sqlite"_qs;
    }
    const QByteArray before = ReadAll(path);
    TWhoisTestServer server;
    const TToolResult r = RunTool(CheckArgs(server, extra));
    QCOMPARE(r.Code, code);
    const QString err = QString::fromUtf8(r.Err);
    // One line on standard error, naming the file.
    QVERIFY2(err.startsWith(u"orvanta-cli: "_qs) && err.count(u'\n') == 1, qPrintable(err));
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY2(err.contains(problem == u"under a file" ? FEnv->Root() + u"/file"_qs : path), qPrintable(err));
    if (code != 0) {
        QVERIFY(server.Received.isEmpty());
        return;
    }
    QCOMPARE(server.Received.size(), 6);
    QCOMPARE(JsonRows(r.Out).size(), 6);
    if (problem == u"newer") {
        QCOMPARE(ReadAll(path), before);
        return;
    }
    const QStringList aside = QDir(GetDataFolder()).entryList({ u"verdicts.sqlite.bad-*"_qs });
    QCOMPARE(aside.size(), 1);
    QVERIFY(err.contains(GetDataFolder() + aside.at(0)));
    QCOMPARE(ReadAll(GetDataFolder() + aside.at(0)), before);
    QCOMPARE(FreshInStore(path, SixNames).size(), 6);
}

QTEST_GUILESS_MAIN(TestCliStore)
#include "tst_clistore.moc"
