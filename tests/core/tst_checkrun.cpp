// The check run against loopback registries that enforce a limit: pacing, pauses, servers side by side,
// stopping.
#include "core/checks/RunSession.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/WhoisTestServer.h"

#include <QElapsedTimer>
#include <QTest>

using TMode = TWhoisTestServer::TMode;

namespace
{

// A session asking about Names, its WHOIS servers on loopback at Port, paced by the limits list.
struct TRun {
    TRunSession Session;
    TSessionProbe Probe { Session };
    TRunRequest Request;

    TRun(quint16 Port, const QStringList& Names, const QStringList& WhoisLines, const QStringList& Limits)
    {
        Request.NamesGiven = true;
        Request.Names = Names;
        Request.CheckAvailability = true;
        Request.Setup.WhoisPort = Port;
        Request.Setup.Servers = TCheckSetup::ParseZoneServers(WhoisLines);
        Request.Setup.Limits = TServerLimits(Limits);
    }

    // Runs the checks to their end; the time they took, in milliseconds (-1 when they did not end).
    qint64 Check(int TimeoutMs = 60000)
    {
        QElapsedTimer clock;
        clock.start();
        if (!Session.Start(Request))
            return -1;
        return Probe.WaitFinished(1, TimeoutMs) ? clock.elapsed() : -1;
    }

    const QList<TCandidate>& Candidates() const { return Session.Candidates(); }
};

QStringList Names(int Count, const QString& Zone)
{
    QStringList out;
    for (int i = 0; i < Count; ++i)
        out << u"name%1."_qs.arg(i) + Zone;
    return out;
}

} // namespace

class TestCheckRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void serversSideBySide();
    void limitRespected();
    void refusalsPauseAndRetry();
    void stopAbortsAtOnce();
    void limitsList_data();
    void limitsList();
};

void TestCheckRun::serversSideBySide()
{
    // Two registries on two loopback addresses, each answering in about 200 ms.
    TWhoisTestServer ru;
    TWhoisTestServer com(nullptr, QHostAddress(u"127.0.0.2"_qs), ru.Port());
    for (TWhoisTestServer* s : { &ru, &com })
        s->Default = { TMode::Drip, "Domain Name: %N\r\n", 200, 4096 };
    QStringList names;
    for (int i = 0; i < 5; ++i)
        names << u"name%1.ru"_qs.arg(i) << u"name%1.com"_qs.arg(i);
    TRun run(ru.Port(), names, { u"ru:127.0.0.1"_qs, u"com:127.0.0.2"_qs }, { u"*:100:1"_qs });
    const qint64 ms = run.Check();
    QVERIFY(ms >= 0);
    QCOMPARE(run.Probe.Judged(), 10);
    QCOMPARE(ru.Received.size(), 5);
    QCOMPARE(com.Received.size(), 5);
    // One connection at a time to each, both at work together: about one server's time, not the sum.
    QCOMPARE(ru.MostAtOnce, 1);
    QCOMPARE(com.MostAtOnce, 1);
    QVERIFY2(ms < 1700, qPrintable(QString::number(ms)));
    QCOMPARE(run.Candidates().at(1).Server(), u"127.0.0.2"_qs);
}

void TestCheckRun::limitRespected()
{
    TWhoisTestServer server;
    server.Limit = { 5, 1000, 3000, server.Limit.Refusal };
    TRun run(server.Port(), Names(12, u"ru"_qs), { u"*:127.0.0.1"_qs }, { u"127.0.0.1:5:1"_qs, u"*:100:1"_qs });
    const qint64 ms = run.Check();
    QVERIFY(ms >= 0);
    QCOMPARE(run.Probe.Judged(), 12);
    QCOMPARE(server.Refused, 0);
    // Twelve names at five a second need two full windows.
    QVERIFY2(ms >= 2000, qPrintable(QString::number(ms)));
    QCOMPARE(run.Probe.Progress.Done, 12);
    QCOMPARE(run.Probe.Progress.Total, 12);
}

void TestCheckRun::refusalsPauseAndRetry()
{
    // The registry allows five a second; the list claims twenty.
    TWhoisTestServer server;
    server.Limit = { 5, 1000, 1000, server.Limit.Refusal };
    TRun run(server.Port(), Names(12, u"ru"_qs), { u"*:127.0.0.1"_qs }, { u"*:20:1"_qs });
    QStringList pauseLines;
    run.Probe.OnProgress = [&pauseLines](const TRunProgress& Progress) {
        for (const TPausedServer& s : Progress.Paused)
            pauseLines << PauseText(s);
    };
    QVERIFY(run.Check() >= 0);
    QVERIFY(server.Refused > 0);
    // Refusals judged nobody: every name ends free or taken, none failed.
    QCOMPARE(run.Probe.Judged(), 12);
    QVERIFY(!pauseLines.isEmpty());
    QVERIFY2(pauseLines.first().startsWith(u"127.0.0.1: пауза "_qs), qPrintable(pauseLines.first()));
    QVERIFY2(pauseLines.first().endsWith(u" — лимит запросов"_qs), qPrintable(pauseLines.first()));
}

void TestCheckRun::stopAbortsAtOnce()
{
    TWhoisTestServer server;
    server.Default = { TMode::Silent, {} };
    server.Script("name0.ru", { TMode::Answer, "No entries found for the selected source(s).\r\n" });
    TRun run(server.Port(), Names(4, u"ru"_qs), { u"*:127.0.0.1"_qs }, {});
    QVERIFY(run.Session.Start(run.Request));
    QTRY_COMPARE(server.Received.size(), 2);
    QElapsedTimer clock;
    clock.start();
    run.Session.Stop();
    // Ended before the call returned, the exchange in flight aborted, the verdict obtained kept.
    QCOMPARE(run.Probe.Finished, 1);
    QVERIFY(run.Probe.Summary.Stopped);
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(!run.Session.Running());
    QCOMPARE(run.Candidates().at(0).Status, TStatus::Free);
    for (int i = 1; i < 4; ++i) {
        QCOMPARE(run.Candidates().at(i).Status, TStatus::Unchecked);
        QVERIFY(!run.Candidates().at(i).Failed());
    }
    // The name in flight was asked; the ones never reached name no server.
    QCOMPARE(run.Candidates().at(1).Server(), u"127.0.0.1"_qs);
    QCOMPARE(run.Candidates().at(2).Server(), QString());
    // Once the server has seen the aborted connection close, a query the run still sent would have come.
    QTRY_COMPARE(server.Open(), 0);
    QCOMPARE(server.Connections, 2);
    QCOMPARE(server.Received.size(), 2);
}

void TestCheckRun::limitsList_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("queries");
    QTest::addColumn<int>("seconds");
    const QStringList shipped { u"whois.tcinet.ru:25:60"_qs, u"*:60:60"_qs };
    QTest::newRow("own line") << shipped << u"whois.tcinet.ru"_qs << 25 << 60;
    QTest::newRow("letter case of the host ignored") << shipped << u"WHOIS.TCINET.RU"_qs << 25 << 60;
    QTest::newRow("star for the others") << shipped << u"whois.pir.org"_qs << 60 << 60;
    QTest::newRow("no star: built-in default") << QStringList { u"a:1:2"_qs } << u"b"_qs << 60 << 60;
    QTest::newRow("first line of a host wins") << QStringList { u"a:1:2"_qs, u"a:3:4"_qs } << u"a"_qs << 1 << 2;
    QTest::newRow("first star line wins too") << QStringList { u"*:1:2"_qs, u"*:3:4"_qs } << u"b"_qs << 1 << 2;
    QTest::newRow("a malformed star line does not count as the first")
        << QStringList { u"*:0:2"_qs, u"*:3:4"_qs, u"*:5:6"_qs } << u"b"_qs << 3 << 4;
    QTest::newRow("malformed lines passed over")
        << QStringList { u"a:x:2"_qs, u"a:0:2"_qs, u"a:5"_qs, u"a:5:-1"_qs, u"a:7:8"_qs } << u"a"_qs << 7 << 8;
    QTest::newRow("spaces around the parts") << QStringList { u" a : 9 : 10 "_qs } << u"a"_qs << 9 << 10;
}

void TestCheckRun::limitsList()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, host);
    QFETCH(int, queries);
    QFETCH(int, seconds);
    const TServerLimit limit = TServerLimits(lines).For(host);
    QCOMPARE(limit.Queries, queries);
    QCOMPARE(limit.Seconds, seconds);
}

QTEST_GUILESS_MAIN(TestCheckRun)
#include "tst_checkrun.moc"
