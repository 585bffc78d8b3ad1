// The run session: the one list of candidates, its stages, and what it tells as they go.
#include "core/checks/RunSession.h"
#include "core/common/Errors.h"
#include "support/HttpTestServer.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/WhoisTestServer.h"

#include <QTest>

namespace
{

// A session whose availability check and metrics lookup go to loopback servers. Every name is free and
// every page says PR 3, ТИЦ 30 unless a test scripts otherwise.
struct TRun {
    TWhoisTestServer Whois;
    THttpTestServer Http;
    TSiteUrlOverride Site { Http.BaseUrl() };
    TRunSession Session;
    TSessionProbe Probe { Session };

    TRun()
    {
        Whois.Default = { TWhoisTestServer::TMode::Answer, "No entries found" };
        Http.Handler = [](const THttpTestServer::TRequest&) { return THttpTestServer::Text("pr_3_pr tyc_30_tyc"); };
    }

    TRunRequest Request(bool Check, bool Metrics, int ZoneCount, const QStringList& Words = { u"red"_qs, u"cat"_qs })
    {
        TRunRequest r;
        r.Keywords = Words;
        for (int i = 0; i < ZoneCount; ++i)
            r.Zones << u"z"_qs + QString::number(i);
        r.CheckAvailability = Check;
        r.FetchMetrics = Metrics;
        r.Setup.WhoisPort = Whois.Port();
        r.Setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
        return r;
    }

    // Two keywords in ZoneCount zones: 2 × ZoneCount candidates; waits for the run's end.
    void Generate(bool Check, bool Metrics, int ZoneCount, const QStringList& Words = { u"red"_qs, u"cat"_qs })
    {
        const int before = Probe.Finished;
        QVERIFY(Session.Start(Request(Check, Metrics, ZoneCount, Words)));
        QVERIFY(Probe.WaitFinished(before + 1));
    }

    QStringList Column(QString TCandidate::*Field) const
    {
        QStringList out;
        for (const TCandidate& d : Session.Candidates())
            out << d.*Field;
        return out;
    }
};

QStringList Repeat(const QString& Text, int Count)
{
    return QStringList(Count, Text);
}

} // namespace

class TestRunSession : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void stages_data();
    void stages();
    void noCandidates();
    void rowsToldAsVerdictsArrive();
    void metricsFailureFailsOnlyItsName();
    void stopDuringMetrics();
    void secondStartDuringRunRefused();
    void recheckAsksUnjudgedAndMissingFigures();
    void clearEmptiesTheList();
    void unsavedResults();
    void namesAsGiven_data();
    void namesAsGiven();
    void invalidNamesNeverSent_data();
    void invalidNamesNeverSent();
    void estimateFollowsLimits();
};

void TestRunSession::stages_data()
{
    QTest::addColumn<bool>("check");
    QTest::addColumn<bool>("metrics");
    QTest::newRow("check only") << true << false;
    QTest::newRow("metrics only") << false << true;
    QTest::newRow("both") << true << true;
    QTest::newRow("both off") << false << false;
}

void TestRunSession::stages()
{
    QFETCH(bool, check);
    QFETCH(bool, metrics);
    TRun run;
    run.Generate(check, metrics, 3);

    const int n = 6;
    QCOMPARE(run.Whois.Received.size(), check ? n : 0);
    QCOMPARE(run.Http.Requests.size(), metrics ? n : 0);
    QCOMPARE(run.Probe.Statuses(), QList<TStatus>(n, check ? TStatus::Free : TStatus::Unchecked));
    QCOMPARE(run.Column(&TCandidate::PR), Repeat(metrics ? u"3"_qs : QString(), n));
    QCOMPARE(run.Column(&TCandidate::TIC), Repeat(metrics ? u"30"_qs : QString(), n));
    QCOMPARE(run.Probe.Summary.CheckFailures, 0);
    QCOMPARE(run.Probe.Summary.MetricsFailures, 0);
    QVERIFY(!run.Probe.Summary.Stopped);
    QVERIFY(!run.Session.Running());

    // Each stage counts its own names: never the two stages' names added up.
    QList<TRunStage> stages;
    for (const TRunProgress& p : run.Probe.Progresses) {
        QCOMPARE(p.Total, n);
        QVERIFY(p.Done <= p.Total);
        if (stages.isEmpty() || stages.last() != p.Stage)
            stages << p.Stage;
    }
    QList<TRunStage> expected;
    if (check)
        expected << TRunStage::Availability;
    if (metrics)
        expected << TRunStage::Metrics;
    QCOMPARE(stages, expected);
    if (check || metrics)
        QCOMPARE(run.Probe.Progresses.last().Done, n);
}

void TestRunSession::noCandidates()
{
    TRun run;
    run.Generate(true, true, 3, { u"red"_qs, u"red"_qs });
    QCOMPARE(run.Whois.Connections, 0);
    QVERIFY(run.Http.Requests.isEmpty());
    QVERIFY(run.Session.Candidates().isEmpty());
    QCOMPARE(run.Probe.Finished, 1);
}

void TestRunSession::rowsToldAsVerdictsArrive()
{
    TRun run;
    // The second name's answer never comes: the first verdict must be told while the run still waits.
    run.Whois.Script("catred.z0", { TWhoisTestServer::TMode::Silent, {} });
    QVERIFY(run.Session.Start(run.Request(true, false, 1)));
    QTRY_VERIFY(!run.Probe.Changes.isEmpty());
    QVERIFY(run.Session.Running());
    QCOMPARE(run.Probe.Changes.constFirst(), (QPair<qsizetype, qsizetype>(0, 0)));
    QCOMPARE(run.Session.Candidates().at(0).Status, TStatus::Free);
    QCOMPARE(run.Probe.Progress.Done, 1);
    QCOMPARE(run.Probe.Progress.Total, 2);
    run.Session.Stop();
    QCOMPARE(run.Probe.Finished, 1);
    QVERIFY(run.Probe.Summary.Stopped);
}

void TestRunSession::metricsFailureFailsOnlyItsName()
{
    TRun run;
    // One page answers 500: its name's figures fail with the reason, every other name still gets its own.
    run.Http.Handler = [](const THttpTestServer::TRequest& r) {
        THttpTestServer::TReply reply = THttpTestServer::Text("pr_3_pr tyc_30_tyc");
        if (r.Target.endsWith("redcat.z2"))
            reply.Status = 500;
        return reply;
    };
    run.Generate(false, true, 5);
    QCOMPARE(run.Http.Requests.size(), 10);
    const QList<TCandidate>& list = run.Session.Candidates();
    QCOMPARE(run.Probe.Summary.MetricsFailures, 1);
    for (const TCandidate& d : list) {
        const bool failed = d.Name == u"redcat.z2";
        QCOMPARE(d.MetricsFailed(), failed);
        QCOMPARE(d.PR, failed ? QString() : u"3"_qs);
        if (failed)
            QVERIFY2(d.MetricsReason().Text.contains(u"500"_qs), qPrintable(d.MetricsReason().Text));
    }
    QCOMPARE(TRunSession::FailureCounts(list, true), u"не удалось получить PR и ТИЦ — 1"_qs);
    QVERIFY(TRunSession::FailureMessage(list, run.Probe.Summary).contains(u"PR и ТИЦ"_qs));

    // Asking again fetches only the figures still missing.
    run.Http.Handler = [](const THttpTestServer::TRequest&) { return THttpTestServer::Text("pr_4_pr tyc_40_tyc"); };
    QVERIFY(run.Session.Recheck(run.Request(false, true, 5).Setup, true));
    QVERIFY(run.Probe.WaitFinished(2));
    QCOMPARE(run.Http.Requests.size(), 11);
    QVERIFY(run.Http.Requests.last().Target.endsWith("redcat.z2"));
    QCOMPARE(run.Probe.Summary.MetricsFailures, 0);
    QCOMPARE(list.at(2).Name, u"redcat.z2"_qs);
    QCOMPARE(list.at(2).PR, u"4"_qs);
    QCOMPARE(list.at(0).PR, u"3"_qs);
}

void TestRunSession::stopDuringMetrics()
{
    TRun run;
    // Six checks, then the stop request arrives as the second lookup ends.
    run.Probe.OnProgress = [&run](const TRunProgress& p) {
        if (p.Stage == TRunStage::Metrics && p.Done == 2)
            run.Session.Stop();
    };
    run.Generate(true, true, 3);
    QCOMPARE(run.Probe.Statuses(), QList<TStatus>(6, TStatus::Free));
    QStringList figures = run.Column(&TCandidate::PR);
    figures.removeAll(QString());
    QCOMPARE(figures, QStringList({ u"3"_qs, u"3"_qs }));
    QVERIFY(run.Probe.Summary.Stopped);
    QCOMPARE(run.Probe.Summary.MetricsFailures, 0);
}

void TestRunSession::secondStartDuringRunRefused()
{
    TRun run;
    bool refused = false;
    run.Probe.OnProgress = [&run, &refused](const TRunProgress& p) {
        if (p.Done == 2)
            refused = !run.Session.Start(run.Request(true, false, 1, { u"x"_qs, u"y"_qs }));
    };
    run.Generate(true, false, 3);
    QVERIFY(refused);
    QCOMPARE(run.Session.Candidates().size(), 6);
    QCOMPARE(run.Session.Candidates().first().Name, u"redcat.z0"_qs);
    QCOMPARE(run.Whois.Received.size(), 6);
}

void TestRunSession::recheckAsksUnjudgedAndMissingFigures()
{
    TRun run;
    run.Whois.Script("catred.z0", { TWhoisTestServer::TMode::Answer, QByteArray() });
    run.Generate(true, false, 1);
    QCOMPARE(run.Probe.Statuses(), (QList<TStatus> { TStatus::Free, TStatus::Failed }));
    QCOMPARE(run.Probe.Summary.CheckFailures, 1);

    run.Whois.Script("catred.z0", { TWhoisTestServer::TMode::Answer, "Domain Name: catred.z0" });
    QVERIFY(run.Session.Recheck(run.Request(true, false, 1).Setup, false));
    QVERIFY(run.Probe.WaitFinished(2));
    // Only the failed name was asked again; the list is the same list, not rebuilt.
    QCOMPARE(run.Whois.Received.size(), 3);
    QCOMPARE(run.Probe.Resets, 1);
    QCOMPARE(run.Probe.Statuses(), (QList<TStatus> { TStatus::Free, TStatus::Taken }));
    // Nothing left to ask.
    QVERIFY(!run.Session.Recheck(run.Request(true, false, 1).Setup, false));
}

void TestRunSession::clearEmptiesTheList()
{
    TRun run;
    run.Whois.Default = { TWhoisTestServer::TMode::Silent, {} };
    QVERIFY(run.Session.Start(run.Request(true, false, 2)));
    QTRY_COMPARE(run.Whois.Received.size(), 1);
    run.Session.Clear();
    // The run is stopped and the list gone: asking again has nothing left to bring back.
    QCOMPARE(run.Probe.Finished, 1);
    QVERIFY(!run.Session.Running());
    QVERIFY(run.Session.Candidates().isEmpty());
    QCOMPARE(run.Probe.Resets, 2);
    QVERIFY(!run.Session.Recheck(run.Request(true, false, 2).Setup, true));
}

void TestRunSession::unsavedResults()
{
    TRun run;
    run.Generate(false, false, 1);
    // Names alone cost nothing to build again.
    QVERIFY(!run.Session.HasUnsavedResults());
    run.Generate(true, false, 1);
    QVERIFY(run.Session.HasUnsavedResults());
    run.Session.MarkSaved();
    QVERIFY(!run.Session.HasUnsavedResults());
}

void TestRunSession::namesAsGiven_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("zones");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("nameZones");
    // The names failed at once as no domain name; every other one is left unchecked.
    QTest::addColumn<QStringList>("invalid");
    const QStringList two { u"ru"_qs, u"com"_qs };
    const QStringList rf { u"рф"_qs };
    QTest::newRow("zone given") << QStringList { u"redcat.com"_qs } << two << QStringList { u"redcat.com"_qs }
                                << QStringList { u"com"_qs } << QStringList();
    QTest::newRow("no zone: every chosen zone")
        << QStringList { u"redcat"_qs } << two << QStringList { u"redcat.ru"_qs, u"redcat.com"_qs } << two
        << QStringList();
    QTest::newRow("zone not chosen kept as written")
        << QStringList { u"redcat.Net"_qs } << two << QStringList { u"redcat.Net"_qs } << QStringList { u"Net"_qs }
        << QStringList();
    QTest::newRow("one letter") << QStringList { u"x"_qs, u"y.com"_qs } << QStringList { u"ru"_qs }
                                << QStringList { u"x.ru"_qs, u"y.com"_qs } << QStringList { u"ru"_qs, u"com"_qs }
                                << QStringList();
    QTest::newRow("trimmed, blank lines dropped")
        << QStringList { u"  redcat.com \t"_qs, u""_qs, u"   "_qs } << two << QStringList { u"redcat.com"_qs }
        << QStringList { u"com"_qs } << QStringList();
    QTest::newRow("repeats by ASCII form and letter case")
        << QStringList { u"кот.рф"_qs, u"xn--j1aim.xn--p1ai"_qs, u"RedCat.com"_qs, u"redcat.COM"_qs } << two
        << QStringList { u"кот.рф"_qs, u"RedCat.com"_qs } << QStringList { u"рф"_qs, u"com"_qs } << QStringList();
    QTest::newRow("a line without zone repeats one with it")
        << QStringList { u"кот"_qs, u"xn--j1aim.xn--p1ai"_qs, u"КОТ.рф"_qs } << rf << QStringList { u"кот.рф"_qs } << rf
        << QStringList();
    QTest::newRow("zone in ASCII form, chosen in Unicode")
        << QStringList { u"кот.XN--P1AI"_qs } << rf << QStringList { u"кот.рф"_qs } << rf << QStringList();
    QTest::newRow("whole name in ASCII form, zone chosen in Unicode")
        << QStringList { u"xn--j1aim.xn--p1ai"_qs } << rf << QStringList { u"кот.рф"_qs } << rf << QStringList();
    QTest::newRow("zone in Unicode, chosen in ASCII form")
        << QStringList { u"кот.рф"_qs } << QStringList { u"xn--p1ai"_qs } << QStringList { u"кот.xn--p1ai"_qs }
        << QStringList { u"xn--p1ai"_qs } << QStringList();
    QTest::newRow("zone in other letter case takes the chosen spelling")
        << QStringList { u"RedCat.COM"_qs } << two << QStringList { u"RedCat.com"_qs } << QStringList { u"com"_qs }
        << QStringList();
    QTest::newRow("two-level zone") << QStringList { u"redcat.co.uk"_qs } << two << QStringList { u"redcat.co.uk"_qs }
                                    << QStringList { u"co.uk"_qs } << QStringList();
    QTest::newRow("invalid lines stay, failed")
        << QStringList { u"red cat.com"_qs, u"-red.com"_qs, u"redcat."_qs, u"a..ru"_qs, u"red_cat"_qs, u"ok.ru"_qs }
        << QStringList { u"ru"_qs }
        << QStringList { u"red cat.com"_qs, u"-red.com"_qs, u"redcat."_qs, u"a..ru"_qs, u"red_cat.ru"_qs, u"ok.ru"_qs }
        << QStringList { u"com"_qs, u"com"_qs, QString(), u".ru"_qs, u"ru"_qs, u"ru"_qs }
        << QStringList { u"red cat.com"_qs, u"-red.com"_qs, u"redcat."_qs, u"a..ru"_qs, u"red_cat.ru"_qs };
    QTest::newRow("label past 63 octets")
        << QStringList { QString(64, u'a') + u".ru"_qs, QString(63, u'a') } << QStringList { u"ru"_qs }
        << QStringList { QString(64, u'a') + u".ru"_qs, QString(63, u'a') + u".ru"_qs }
        << QStringList { u"ru"_qs, u"ru"_qs } << QStringList { QString(64, u'a') + u".ru"_qs };
}

void TestRunSession::namesAsGiven()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, zones);
    QFETCH(QStringList, names);
    QFETCH(QStringList, nameZones);
    QFETCH(QStringList, invalid);
    QStringList gotNames;
    QStringList gotZones;
    QStringList gotInvalid;
    const QList<TCandidate> candidates = CandidatesOfNames(lines, zones);
    for (const TCandidate& d : candidates) {
        gotNames << d.Name;
        gotZones << d.Zone;
        if (d.Failed()) {
            gotInvalid << d.Name;
            QCOMPARE(d.Reason().Text, u"недопустимое доменное имя"_qs);
            QCOMPARE(d.Via, TVia::None);
        } else {
            QCOMPARE(d.Status, TStatus::Unchecked);
        }
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotZones, nameZones);
    QCOMPARE(gotInvalid, invalid);
    // What the window shows before a Start and the batch tool's --dry-run print.
    TRunRequest request;
    request.NamesGiven = true;
    request.Names = lines;
    request.Zones = zones;
    QCOMPARE(RequestedCount(request), TCandidateCount(names.size()));
}

void TestRunSession::invalidNamesNeverSent_data()
{
    stages_data();
}

void TestRunSession::invalidNamesNeverSent()
{
    QFETCH(bool, check);
    QFETCH(bool, metrics);
    TRun run;
    TRunRequest request = run.Request(check, metrics, 0);
    request.NamesGiven = true;
    request.Names = QStringList { u"x.z0"_qs, u"red cat.z0"_qs };
    QVERIFY(run.Session.Start(request));
    QVERIFY(run.Probe.WaitFinished(1));
    QCOMPARE(run.Whois.Received.size(), check ? 1 : 0);
    QCOMPARE(run.Http.Requests.size(), metrics ? 1 : 0);
    QCOMPARE(run.Probe.Statuses(), (QList<TStatus> { check ? TStatus::Free : TStatus::Unchecked, TStatus::Failed }));
    // The failure is told as a run's failures are, also when nothing was asked.
    QCOMPARE(run.Probe.Summary.CheckFailures, 1);
    QCOMPARE(run.Probe.Summary.MetricsFailures, 0);
    QCOMPARE(TRunSession::FailureCounts(run.Session.Candidates()), u"недопустимое доменное имя — 1"_qs);
    // Asking again sends nothing about it either (the valid name is asked once in all).
    QVERIFY(run.Session.Recheck(request.Setup, true));
    QVERIFY(run.Probe.WaitFinished(2));
    QCOMPARE(run.Whois.Received.size(), 1);
    QCOMPARE(run.Http.Requests.size(), 1);
    QCOMPARE(run.Session.Candidates().at(1).Status, TStatus::Failed);
}

void TestRunSession::estimateFollowsLimits()
{
    TCheckSetup setup;
    setup.Servers = TCheckSetup::ParseZoneServers(
        { u"ru:whois.tcinet.ru"_qs, u"su:whois.tcinet.ru"_qs, u"com:whois.verisign-grs.com"_qs });
    setup.Limits = TServerLimits({ u"whois.tcinet.ru:25:60"_qs, u"*:60:60"_qs });
    // ru and su share one registry's 25 a minute; com works beside them at 60 a minute.
    const QHash<QString, qint64> perZone { { u"ru"_qs, 1000 }, { u"su"_qs, 500 }, { u"com"_qs, 1500 } };
    QCOMPARE(TCheckRun::EstimateMs(perZone, setup), qint64(1500) * 60000 / 25);
    // A zone with no server costs nothing.
    QCOMPARE(TCheckRun::EstimateMs({ { u"xx"_qs, 1000 } }, setup), qint64(0));
}

QTEST_GUILESS_MAIN(TestRunSession)
#include "tst_runsession.moc"
