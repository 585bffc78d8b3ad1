#include "core/checks/DomainEngine.h"
#include "core/common/Errors.h"
#include "support/HttpTestServer.h"
#include "support/TestShell.h"
#include "support/WhoisTestServer.h"

#include <QTest>
#include <functional>

namespace {

// A test shell that also lets a test look at the run when the information message appears.
class TMessageShell : public TTestShell {
public:
    std::function<void()> FOnMessage;
    void ShowInformation(const QString& Caption, const QString& Text) override
    {
        if (FOnMessage)
            FOnMessage();
        TTestShell::ShowInformation(Caption, Text);
    }
};

// An engine whose WHOIS check and metrics lookup go to loopback servers. Every name is free and every
// page says PR 3, ТИЦ 30 unless a test scripts otherwise.
struct TRun {
    TWhoisTestServer Whois;
    THttpTestServer Http;
    TSiteUrlOverride Site { Http.BaseUrl() };
    TMessageShell Shell;
    TDomain Engine { &Shell };

    TRun(bool AutoWhois, bool AutoRange)
    {
        Shell.FAutoWhois = AutoWhois;
        Shell.FAutoRange = AutoRange;
        Engine.WhoisPort = Whois.Port();
        Engine.FillWhoisList({ u"*:127.0.0.1"_qs });
        Whois.Default = { TWhoisTestServer::TMode::Answer, "No entries found" };
        Http.Handler = [](const THttpTestServer::TRequest&) { return THttpTestServer::Text("pr_3_pr tyc_30_tyc"); };
    }

    // Two keywords in ZoneCount zones: 2 × ZoneCount candidates.
    void Generate(int ZoneCount, const QStringList& Words = { u"red"_qs, u"cat"_qs })
    {
        QStringList zones;
        for (int i = 0; i < ZoneCount; ++i)
            zones << u"z"_qs + QString::number(i);
        Engine.FillWordList(Words);
        Engine.FillFirstDomainList(zones);
        const int before = Shell.FFinished;
        Engine.Generate(0);
        QTRY_COMPARE(Shell.FFinished, before + 1);
    }

    QStringList Column(int Col) const
    {
        QStringList out;
        for (int r = 0; r < Shell.FGrid.RowCount(); ++r)
            out << Shell.FGrid.CellText(r, Col);
        return out;
    }
};

QStringList Repeat(const QString& Text, int Count) { return QStringList(Count, Text); }

} // namespace

class TestRunStages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stages_data();
    void stages();
    void noCandidates();
    void metricsFailureStillFillsGrid();
    void stopDuringMetrics();
    void secondStartDuringRunIgnored();
};

void TestRunStages::stages_data()
{
    QTest::addColumn<bool>("whois");
    QTest::addColumn<bool>("range");
    QTest::addColumn<int>("zones");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<bool>("shown");
    QTest::newRow("check only, 6 candidates") << true << false << 3 << 6 << true;
    QTest::newRow("metrics only, 6 candidates") << false << true << 3 << 6 << true;
    QTest::newRow("both, 6 candidates") << true << true << 3 << 12 << true;
    QTest::newRow("both, 4 candidates") << true << true << 2 << 8 << false;
    QTest::newRow("check only, 4 candidates") << true << false << 2 << 4 << false;
    // The bar is left alone, and nothing goes out.
    QTest::newRow("both off, 6 candidates") << false << false << 3 << 0 << false;
}

void TestRunStages::stages()
{
    QFETCH(bool, whois);
    QFETCH(bool, range);
    QFETCH(int, zones);
    QFETCH(int, maximum);
    QFETCH(bool, shown);
    TRun run(whois, range);
    QList<bool> visibleAtEvents;
    run.Shell.FOnProgress = [&run, &visibleAtEvents](int position) {
        if (position > 0)
            visibleAtEvents << run.Shell.FVisible;
    };
    run.Generate(zones);

    const int n = 2 * zones;
    QCOMPARE(run.Shell.FMax, maximum);
    QCOMPARE(run.Shell.FPosition, maximum);
    QCOMPARE(run.Shell.FShowCount, int(shown));
    QCOMPARE(visibleAtEvents, QList<bool>(maximum, shown));
    QVERIFY(!run.Shell.FVisible);
    QCOMPARE(run.Whois.Received.size(), whois ? n : 0);
    QCOMPARE(run.Http.Requests.size(), range ? n : 0);

    QVERIFY(run.Shell.FGridVisible);
    QCOMPARE(run.Shell.FGrid.RowCount(), n);
    QCOMPARE(run.Column(2), Repeat(whois ? u"0"_qs : u"-1"_qs, n));
    QCOMPARE(run.Column(3), Repeat(range ? u"3"_qs : QString(), n));
    QCOMPARE(run.Column(4), Repeat(range ? u"30"_qs : QString(), n));
    QVERIFY(run.Shell.FMessages.isEmpty());
    QVERIFY(run.Shell.FError.isEmpty());
    QVERIFY(!run.Engine.Running());
}

void TestRunStages::noCandidates()
{
    TRun run(true, true);
    run.Generate(3, { u"red"_qs, u"red"_qs });
    QCOMPARE(run.Shell.FShowCount, 0);
    QCOMPARE(run.Whois.Connections, 0);
    QVERIFY(run.Http.Requests.isEmpty());
    QVERIFY(!run.Shell.FGridVisible);
    QCOMPARE(run.Shell.FGrid.RowCount(), 0);
}

void TestRunStages::metricsFailureStillFillsGrid()
{
    TRun run(false, false);
    run.Generate(1, { u"old"_qs, u"rows"_qs });
    QCOMPARE(run.Shell.FGrid.RowCount(), 2);

    run.Shell.FAutoWhois = true;
    run.Shell.FAutoRange = true;
    run.Whois.Script("catred.z1", { TWhoisTestServer::TMode::Answer, QByteArray() });
    // The first two pages answer, the third fails, the rest never answer: the failure must end the run
    // and abort them.
    run.Http.Handler = [&run](const THttpTestServer::TRequest& r) {
        THttpTestServer::TReply reply = THttpTestServer::Text("pr_3_pr tyc_30_tyc");
        if (r.Target.endsWith("redcat.z2"))
            reply.Status = 500;
        else if (!r.Target.endsWith("redcat.z0") && !r.Target.endsWith("redcat.z1"))
            reply.Silent = true;
        return reply;
    };
    // The check's summary comes at the end of its stage, with the dialog up and no lookup made yet.
    bool visibleAtMessage = false;
    qsizetype requestsAtMessage = -1;
    run.Shell.FOnMessage = [&] {
        visibleAtMessage = run.Shell.FVisible;
        requestsAtMessage = run.Http.Requests.size();
    };
    run.Generate(5);
    QVERIFY2(run.Shell.FError.contains(u"500"_qs), qPrintable(run.Shell.FError));
    QVERIFY(!run.Shell.FVisible);
    QCOMPARE(run.Shell.FShowCount, 1);
    QCOMPARE(run.Shell.FMessages.size(), 1);
    QVERIFY(visibleAtMessage);
    QCOMPARE(requestsAtMessage, 0);

    // The grid shows this run's ten candidates with everything obtained before the failure.
    QVERIFY(run.Shell.FGridVisible);
    QCOMPARE(run.Shell.FGrid.RowCount(), 10);
    QCOMPARE(run.Column(0).first(), u"redcat.z0"_qs);
    QStringList statuses = Repeat(u"0"_qs, 10);
    statuses[6] = u"-1"_qs; // catred.z1
    QCOMPARE(run.Column(2), statuses);
    QCOMPARE(run.Column(3), QStringList({ u"3"_qs, u"3"_qs }) + Repeat(QString(), 8));
    QCOMPARE(run.Column(4), QStringList({ u"30"_qs, u"30"_qs }) + Repeat(QString(), 8));
    QVERIFY(!run.Engine.Running());
}

void TestRunStages::stopDuringMetrics()
{
    TRun run(true, true);
    // Six checks, then the stop request arrives as the second lookup ends.
    run.Shell.FOnProgress = [&run](int position) {
        if (position == 6 + 2)
            run.Engine.CancelRun();
    };
    run.Generate(3);
    QCOMPARE(run.Column(2), Repeat(u"0"_qs, 6));
    QStringList figures = run.Column(3);
    figures.removeAll(QString());
    QCOMPARE(figures, QStringList({ u"3"_qs, u"3"_qs }));
    QVERIFY(run.Shell.FGridVisible);
    QVERIFY(!run.Shell.FVisible);
    QVERIFY(run.Shell.FError.isEmpty());
}

void TestRunStages::secondStartDuringRunIgnored()
{
    TRun run(true, false);
    bool runningSeen = false;
    run.Shell.FOnProgress = [&run, &runningSeen](int position) {
        if (position != 2)
            return;
        runningSeen = run.Engine.Running();
        run.Engine.FillWordList({ u"x"_qs, u"y"_qs });
        run.Engine.Generate(0);
    };
    run.Generate(3);
    QVERIFY(runningSeen);
    QCOMPARE(run.Engine.Candidates.size(), 6);
    QCOMPARE(run.Engine.Candidates.first().Name, u"redcat.z0"_qs);
    QCOMPARE(run.Whois.Received.size(), 6);
    QCOMPARE(run.Shell.FGrid.RowCount(), 6);
}

QTEST_GUILESS_MAIN(TestRunStages)
#include "tst_runstages.moc"
