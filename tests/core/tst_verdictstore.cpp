// The verdict store: verdicts kept across runs, reused while fresh, runs restored, broken and old files.
#include "core/checks/CheckRun.h"
#include "core/checks/RunSession.h"
#include "core/checks/VerdictStore.h"
#include "core/checks/WhoisRules.h"
#include "core/common/Durations.h"
#include "core/common/Errors.h"
#include "support/HttpTestServer.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/StoreSamples.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace
{

constexpr qint64 Day = 86400;

qint64 Now()
{
    return QDateTime::currentSecsSinceEpoch();
}

// A session that writes to Store and asks a loopback registry holding a record of every name.
struct TLoopbackRun {
    TWhoisTestServer Whois;
    TRunSession Session;
    TSessionProbe Probe { Session };

    TLoopbackRun(TVerdictStore& Store, TRunOrigin Origin = TRunOrigin::Batch) { Session.SetStore(&Store, Origin); }

    TRunRequest Request(const QStringList& Words, const TReuseAges& Ages = {}, bool Check = true)
    {
        TRunRequest r;
        r.Keywords = Words;
        r.Zones = { u"ru"_qs };
        r.CheckAvailability = Check;
        r.Reuse = Ages;
        r.Setup.WhoisPort = Whois.Port();
        r.Setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
        return r;
    }

    void Check(const QStringList& Words, const TReuseAges& Ages = {}, bool Availability = true)
    {
        const int before = Probe.Finished;
        QVERIFY(Session.Start(Request(Words, Ages, Availability)));
        QVERIFY(Probe.WaitFinished(before + 1));
    }
};

QString StorePath(const QTemporaryDir& Dir)
{
    return Dir.filePath(u"verdicts.sqlite"_qs);
}

// The first schema as it was written, with a run and four verdicts in it: a free one, a failure with its
// reason, and two protocols' verdicts on one name.
QStringList FirstSchemaFile(qint64 At)
{
    const QString at = QString::number(At);
    return {
        u"CREATE TABLE verdicts (name TEXT NOT NULL, via INTEGER NOT NULL, status INTEGER NOT NULL, reason_label TEXT, "
        "reason TEXT, server TEXT, checked INTEGER NOT NULL, PRIMARY KEY (name, via)) WITHOUT ROWID"_qs,
        u"CREATE TABLE figures (name TEXT NOT NULL PRIMARY KEY, pr TEXT NOT NULL, tic TEXT NOT NULL, "
        "fetched INTEGER NOT NULL) WITHOUT ROWID"_qs,
        u"CREATE TABLE runs (id INTEGER PRIMARY KEY, started INTEGER NOT NULL, ended INTEGER, origin INTEGER NOT NULL, "
        "names_given INTEGER NOT NULL, request TEXT NOT NULL, mode INTEGER NOT NULL, zones TEXT NOT NULL, "
        "availability INTEGER NOT NULL, metrics INTEGER NOT NULL, reuse_taken INTEGER NOT NULL, "
        "reuse_free INTEGER NOT NULL, total_names INTEGER NOT NULL DEFAULT 0, free_names INTEGER NOT NULL DEFAULT 0, "
        "taken_names INTEGER NOT NULL DEFAULT 0, failed_names INTEGER NOT NULL DEFAULT 0, "
        "dismissed INTEGER NOT NULL DEFAULT 0)"_qs,
        u"INSERT INTO verdicts VALUES ('redcat.ru', 1, 1, NULL, NULL, 'whois.tcinet.ru', %1)"_qs.arg(At),
        u"INSERT INTO verdicts VALUES ('catred.ru', 1, 3, 'превышен лимит запросов', 'превышен лимит запросов', "
        "'whois.tcinet.ru', %1)"_qs.arg(At),
        u"INSERT INTO verdicts VALUES ('redcat.com', 2, 2, 'x', 'зарезервировано', 'https://rdap.example/', %1)"_qs.arg(
            At),
        u"INSERT INTO verdicts VALUES ('redcat.com', 1, 2, NULL, NULL, 'whois.verisign-grs.com', %1)"_qs.arg(At - 60),
        u"INSERT INTO figures VALUES ('redcat.ru', '3', '120', %1)"_qs.arg(At),
        u"INSERT INTO runs (started, ended, origin, names_given, request, mode, zones, availability, metrics, "
        "reuse_taken, reuse_free, total_names, free_names, taken_names, failed_names) VALUES (%1, %1, 0, 0, "
        "'red\ncat', 0, 'ru\ncom', 1, 1, 604800, 3600, 4, 1, 1, 1)"_qs.arg(at),
        u"PRAGMA application_id = 1330796110"_qs,
        u"PRAGMA user_version = 1"_qs,
    };
}

} // namespace

class TestVerdictStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void reuseByAge_data();
    void reuseByAge();
    void lookupByQueryOrByPass_data();
    void lookupByQueryOrByPass();
    void committedWhileTheRunGoes();
    void runRestoredAsItStood();
    void figuresRestored();
    void variantsRestored_data();
    void variantsRestored();
    void lastRunOfEachOrigin();
    void askAgainOnlyTheRows();
    void brokenFileMovedAside_data();
    void brokenFileMovedAside();
    void newerSchemaLeftAlone();
    void migrationFromFirstSchema();
    void reuseAgesParsed_data();
    void reuseAgesParsed();
};

void TestVerdictStore::reuseByAge_data()
{
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<qint64>("age");
    QTest::addColumn<qint64>("takenAge");
    QTest::addColumn<qint64>("freeAge");
    QTest::addColumn<bool>("asked");
    const qint64 taken = TReuseAges().TakenSeconds;
    const qint64 free = TReuseAges().FreeSeconds;
    QTest::newRow("taken 6 days ago: reused") << TStatus::Taken << 6 * Day << taken << free << false;
    QTest::newRow("taken 8 days ago: asked") << TStatus::Taken << 8 * Day << taken << free << true;
    QTest::newRow("free 30 min ago: reused") << TStatus::Free << qint64(1800) << taken << free << false;
    QTest::newRow("free 2 h ago: asked") << TStatus::Free << qint64(7200) << taken << free << true;
    QTest::newRow("failed a minute ago: asked") << TStatus::Failed << qint64(60) << taken << free << true;
    QTest::newRow("taken, taken age 0: asked") << TStatus::Taken << qint64(60) << qint64(0) << free << true;
    QTest::newRow("free, free age 0: asked") << TStatus::Free << qint64(60) << taken << qint64(0) << true;
    QTest::newRow("free 2 h ago, free age 3 h: reused")
        << TStatus::Free << qint64(7200) << taken << qint64(3 * 3600) << false;
}

void TestVerdictStore::reuseByAge()
{
    QFETCH(TStatus, status);
    QFETCH(qint64, age);
    QFETCH(qint64, takenAge);
    QFETCH(qint64, freeAge);
    QFETCH(bool, asked);
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    const qint64 checked = Now() - age;
    const TCheckFailure reason = status == TStatus::Failed ? CheckReasons::RateLimited() : TCheckFailure();
    store.Put(StoredOutcome(u"redcat.ru"_qs, status, checked, TVia::Whois, u"old.example"_qs, reason));
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));

    TLoopbackRun run(store);
    run.Check({ u"red"_qs, u"cat"_qs }, { takenAge, freeAge });
    QCOMPARE(Asked(run.Whois).contains(u"redcat.ru"_qs), asked);
    QVERIFY(Asked(run.Whois).contains(u"catred.ru"_qs));
    const TCandidate& d = run.Session.Candidates().at(0);
    QCOMPARE(d.Name, u"redcat.ru"_qs);
    if (asked) {
        QCOMPARE(d.Status, TStatus::Taken);
        QCOMPARE(d.Server(), u"127.0.0.1"_qs);
        QVERIFY(d.CheckedAt >= checked + age);
    } else {
        // Taken over with everything it said, its time included.
        QCOMPARE(d.Status, status);
        QCOMPARE(d.Server(), u"old.example"_qs);
        QCOMPARE(d.Via, TVia::Whois);
        QCOMPARE(d.CheckedAt, checked);
    }
}

void TestVerdictStore::lookupByQueryOrByPass_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("a query per name") << 60;
    QTest::newRow("one pass over the verdicts") << int(TVerdictStore::PointLookupLimit) + 60;
}

void TestVerdictStore::lookupByQueryOrByPass()
{
    QFETCH(int, count);
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    const qint64 now = Now();
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << u"name%1.ru"_qs.arg(i);
    // Every third name: taken over WHOIS three days ago, free over RDAP a minute ago (the latest counts);
    // the next: taken, but long ago; the third: never asked.
    for (int i = 0; i < count; i += 3) {
        store.Put(StoredOutcome(names.at(i), TStatus::Taken, now - 3 * Day, TVia::Whois));
        store.Put(StoredOutcome(names.at(i), TStatus::Free, now - 60, TVia::Rdap, u"https://rdap.example/"_qs));
        if (i + 1 < count)
            store.Put(StoredOutcome(names.at(i + 1), TStatus::Taken, now - 30 * Day));
    }
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    // Registries ignore letter case; a name built twice is filled twice.
    names[0] = names.at(0).toUpper();
    names << names.at(3);
    QList<TCandidate> list = NamesOnly(names);
    QCOMPARE(store.FillFresh(list, TReuseAges(), now), qsizetype((count + 2) / 3 + 1));
    for (int i = 0; i < list.size(); ++i) {
        const TCandidate& d = list.at(i);
        if (i % 3 != 0 && i != count) {
            QCOMPARE(d.Status, TStatus::Unchecked);
            continue;
        }
        QCOMPARE(d.Status, TStatus::Free);
        QCOMPARE(d.Via, TVia::Rdap);
        QCOMPARE(d.Server(), u"https://rdap.example/"_qs);
        QCOMPARE(d.CheckedAt, now - 60);
    }
}

void TestVerdictStore::committedWhileTheRunGoes()
{
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    TLoopbackRun run(store);
    run.Whois.Default = { TWhoisTestServer::TMode::Silent, {} };
    run.Whois.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    QVERIFY(run.Session.Start(run.Request({ u"red"_qs, u"cat"_qs })));
    // Another program reading the file sees the verdict while the run still waits on the second name.
    QTRY_COMPARE_WITH_TIMEOUT(FreshInStore(StorePath(dir), { u"redcat.ru"_qs }).size(), 1, 10000);
    QVERIFY(run.Session.Running());
    const TCandidate seen = FreshInStore(StorePath(dir), { u"redcat.ru"_qs }).value(0);
    QCOMPARE(seen.Status, TStatus::Free);
    QCOMPARE(seen.Server(), u"127.0.0.1"_qs);
    QCOMPARE(seen.CheckedAt, run.Session.Candidates().at(0).CheckedAt);
    run.Session.Stop();
}

void TestVerdictStore::runRestoredAsItStood()
{
    QTemporaryDir dir;
    const qint64 before = Now();
    {
        TVerdictStore store(StorePath(dir));
        // Found fresh at the start, and shown as found; stale, and the run never got to it.
        store.Put(StoredOutcome(u"sunred.ru"_qs, TStatus::Taken, before - 2 * Day));
        store.Put(StoredOutcome(u"suncat.ru"_qs, TStatus::Free, before - 2 * 3600));
        QVERIFY2(store.Flush(), qPrintable(store.LastError()));
        TLoopbackRun run(store, TRunOrigin::Window);
        run.Whois.Default = { TWhoisTestServer::TMode::Silent, {} };
        run.Whois.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
        run.Whois.Script("redsun.ru", { TWhoisTestServer::TMode::Answer, "Domain Name: REDSUN.RU\r\n" });
        run.Whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
        QVERIFY(run.Session.Start(run.Request({ u"red"_qs, u"cat"_qs, u"sun"_qs })));
        QTRY_COMPARE(Asked(run.Whois).size(), 4);
        run.Session.Stop();
        QCOMPARE(run.Session.Candidates().at(2).Status, TStatus::Failed);
    }

    TVerdictStore store(StorePath(dir));
    const auto last = store.LastRun(TRunOrigin::Window);
    QVERIFY(last);
    QCOMPARE(last->Request, QStringList({ u"red"_qs, u"cat"_qs, u"sun"_qs }));
    QCOMPARE(last->Zones, QStringList { u"ru"_qs });
    QVERIFY(last->CheckAvailability);
    QVERIFY(last->Started >= before);
    QVERIFY(last->Ended >= last->Started);
    QCOMPARE(last->Total, 6);
    QCOMPARE(last->Free, 1);
    QCOMPARE(last->Taken, 2);
    QCOMPARE(last->Failed, 1);

    TRunSession session;
    session.SetStore(&store, TRunOrigin::Window);
    QVERIFY(session.RestoreRun(*last));
    QCOMPARE(session.RunId(), last->Id);
    const QList<TCandidate>& rows = session.Candidates();
    QCOMPARE(rows.size(), 6);
    const QList<TStatus> expected { TStatus::Free, TStatus::Taken, TStatus::Failed, TStatus::Unchecked, TStatus::Taken,
        TStatus::Unchecked };
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(rows.at(i).Status, expected.at(i));
    QCOMPARE(rows.at(0).Server(), u"127.0.0.1"_qs);
    QCOMPARE(rows.at(2).Reason().Text, CheckReasons::ClosedSilently().Text);
    QCOMPARE(rows.at(4).CheckedAt, before - 2 * Day);
    QCOMPARE(rows.at(5).CheckedAt, 0);

    // "Проверить непроверенные заново" goes on with the same run: one record, its counts brought up to date.
    TSessionProbe probe(session);
    TWhoisTestServer whois;
    TCheckSetup setup;
    setup.WhoisPort = whois.Port();
    setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
    QVERIFY(session.Recheck(setup, false));
    QVERIFY(probe.WaitFinished());
    QCOMPARE(Asked(whois), QStringList({ u"catred.ru"_qs, u"catsun.ru"_qs, u"suncat.ru"_qs }));
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    const QList<TStoredRun> runs = store.RecentRuns(10);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.at(0).Taken, 5);
    QCOMPARE(runs.at(0).Failed, 0);
}

void TestVerdictStore::figuresRestored()
{
    QTemporaryDir dir;
    THttpTestServer http;
    http.Handler = [](const THttpTestServer::TRequest&) { return THttpTestServer::Text("pr_3_pr tyc_30_tyc"); };
    TSiteUrlOverride site(http.BaseUrl());
    TVerdictStore store(StorePath(dir));
    TLoopbackRun run(store, TRunOrigin::Window);
    TRunRequest request = run.Request({ u"red"_qs, u"cat"_qs }, {}, false);
    request.FetchMetrics = true;
    QVERIFY(run.Session.Start(request));
    QVERIFY(run.Probe.WaitFinished());

    TRunSession restored;
    restored.SetStore(&store, TRunOrigin::Window);
    QVERIFY(restored.RestoreRun(*store.LastRun(TRunOrigin::Window)));
    QCOMPARE(restored.Candidates().size(), 2);
    for (const TCandidate& d : restored.Candidates()) {
        QCOMPARE(d.PR, u"3"_qs);
        QCOMPARE(d.TIC, u"30"_qs);
        // Asked for figures only: no status was asked, none is shown.
        QCOMPARE(d.Status, TStatus::Unchecked);
    }
}

void TestVerdictStore::variantsRestored_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("recorded"); // the record's variants text as another program may have left it
    QTest::addColumn<int>("names");
    QTest::newRow("hyphen, prefix, suffix") << QStringList { u"red"_qs, u"cat"_qs } << QString() << 0;
    QTest::newRow("keywords spelt in Latin by the run's own table")
        << QStringList { u"кот"_qs, u"red"_qs } << QString() << 0;
    QTest::newRow("not JSON: no variants") << QStringList { u"red"_qs, u"cat"_qs } << u"{oops"_qs << 2;
    QTest::newRow("fields of other types: no variants")
        << QStringList { u"red"_qs, u"cat"_qs } << u"{\"hyphen\":\"yes\",\"prefixes\":7,\"maxLength\":1e9}"_qs << 2;
}

// A run built with name variants reopens with every name it had, in its order, even after the lists and the
// table it was built from changed.
void TestVerdictStore::variantsRestored()
{
    QFETCH(QStringList, words);
    QFETCH(QString, recorded);
    QFETCH(int, names);
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    TLoopbackRun run(store, TRunOrigin::Window);
    TRunRequest request = run.Request(words, {}, false);
    request.Variants.Hyphen = true;
    request.Variants.Prefixes = { u"my"_qs };
    request.Variants.Suffixes = { u"shop"_qs };
    request.Variants.Translit = true;
    request.Variants.Table = TTransliteration({ u"к:k"_qs, u"о:o"_qs, u"т:t"_qs });
    request.Variants.ZoneScripts = TZoneScripts({ u"ru:latin"_qs });
    QVERIFY(run.Session.Start(request));
    QVERIFY(run.Probe.WaitFinished());
    QStringList built;
    for (const TCandidate& d : run.Session.Candidates())
        built << d.Name;
    QVERIFY(built.size() > 2);
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    if (!recorded.isNull())
        ExecSql(StorePath(dir), { u"UPDATE runs SET variants = '%1'"_qs.arg(recorded) });

    TRunSession restored;
    restored.SetStore(&store, TRunOrigin::Window);
    const auto last = store.LastRun(TRunOrigin::Window);
    QVERIFY(last);
    QVERIFY(restored.RestoreRun(*last));
    QStringList back;
    for (const TCandidate& d : restored.Candidates())
        back << d.Name;
    if (names == 0)
        QCOMPARE(back, built);
    else
        QCOMPARE(back.size(), names);
}

void TestVerdictStore::lastRunOfEachOrigin()
{
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    TLoopbackRun window(store, TRunOrigin::Window);
    TLoopbackRun batch(store, TRunOrigin::Batch);
    window.Check({ u"red"_qs, u"cat"_qs }, {}, false);
    batch.Check({ u"big"_qs, u"dog"_qs }, {}, false);
    QCOMPARE(store.LastRun(TRunOrigin::Window)->Request.value(0), u"red"_qs);
    QCOMPARE(store.LastRun(TRunOrigin::Batch)->Request.value(0), u"big"_qs);
    const QList<TStoredRun> runs = store.RecentRuns(10);
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs.at(0).Origin, TRunOrigin::Batch);
    QCOMPARE(runs.at(1).Origin, TRunOrigin::Window);
    // Results the user cleared are not reopened, and no older run comes back in their place.
    window.Check({ u"sun"_qs, u"sea"_qs }, {}, false);
    window.Session.Clear();
    QVERIFY(!store.LastRun(TRunOrigin::Window));
    QVERIFY(store.LastRun(TRunOrigin::Batch));
    QCOMPARE(store.RecentRuns(10).size(), 3);
}

void TestVerdictStore::askAgainOnlyTheRows()
{
    QTemporaryDir dir;
    TVerdictStore store(StorePath(dir));
    TLoopbackRun run(store);
    run.Check({ u"red"_qs, u"cat"_qs, u"sun"_qs });
    QCOMPARE(Asked(run.Whois).size(), 6);
    const QList<TCandidate> first = run.Session.Candidates();
    run.Whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    // Fresh verdicts, asked again all the same; the failed and unchecked names of other rows are no part of it.
    QVERIFY(run.Session.AskAgain({ 2 }, run.Request({}).Setup));
    QVERIFY(run.Probe.WaitFinished(2));
    QCOMPARE(Asked(run.Whois).mid(6), QStringList { u"catred.ru"_qs });
    QCOMPARE(run.Session.Candidates().at(2).Status, TStatus::Free);
    QCOMPARE(run.Session.Candidates().at(1).CheckedAt, first.at(1).CheckedAt);
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    QCOMPARE(FreshInStore(store.Path(), { u"catred.ru"_qs }).value(0).Status, TStatus::Free);
    QVERIFY(!run.Session.AskAgain({}, run.Request({}).Setup));
    QVERIFY(!run.Session.AskAgain({ 99 }, run.Request({}).Setup));
}

void TestVerdictStore::brokenFileMovedAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("notice");
    QTest::newRow("text file") << u"text"_qs << u"повреждена"_qs;
    QTest::newRow("damaged page") << u"damaged"_qs << u"повреждена"_qs;
    QTest::newRow("another program's database") << u"foreign"_qs << u"не является базой результатов"_qs;
    QTest::newRow("empty file: used as it is") << u"empty"_qs << QString();
}

void TestVerdictStore::brokenFileMovedAside()
{
    QFETCH(QString, kind);
    QFETCH(QString, notice);
    QTemporaryDir dir;
    const QString path = StorePath(dir);
    if (kind == u"text") {
        WriteAll(path, QByteArray("not a database\n").repeated(50));
        // A journal left beside it belongs to it, not to the new file.
        WriteAll(path + u"-wal"_qs, QByteArray(4096, 'w'));
    } else if (kind == u"damaged") {
        {
            TVerdictStore store(path);
            for (int i = 0; i < 3000; ++i)
                store.Put(StoredOutcome(u"name%1.ru"_qs.arg(i), TStatus::Taken, Now()));
        }
        QByteArray bytes = ReadAll(path);
        QVERIFY(bytes.size() > 3 * 4096);
        bytes.replace(4096, 4096, QByteArray(4096, '\xA5'));
        WriteAll(path, bytes);
    } else if (kind == u"foreign") {
        ExecSql(path, { u"CREATE TABLE notes (body TEXT)"_qs, u"INSERT INTO notes VALUES ('keep me')"_qs });
    } else {
        WriteAll(path, QByteArray());
    }
    const QByteArray before = ReadAll(path);

    TVerdictStore store(path);
    const QStringList aside = QDir(dir.path()).entryList({ u"verdicts.sqlite.bad-*"_qs }, QDir::Files);
    if (notice.isEmpty()) {
        QVERIFY(store.Notice().isEmpty());
        QVERIFY(aside.isEmpty());
    } else {
        // Both files named; the old one kept byte for byte, with the journal that belongs to it.
        QString file;
        for (const QString& name : aside)
            if (file.isEmpty() || name.size() < QFileInfo(file).fileName().size())
                file = dir.filePath(name);
        QVERIFY2(store.Notice().contains(notice), qPrintable(store.Notice()));
        QVERIFY2(store.Notice().contains(path), qPrintable(store.Notice()));
        QVERIFY2(store.Notice().contains(file), qPrintable(store.Notice()));
        QCOMPARE(ReadAll(file), before);
        QCOMPARE(ReadAll(file + u"-wal"_qs), kind == u"text" ? QByteArray(4096, 'w') : QByteArray());
    }
    // The run goes on with a new file.
    store.Put(StoredOutcome(u"redcat.ru"_qs, TStatus::Taken, Now()));
    QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    QCOMPARE(FreshInStore(path, { u"redcat.ru"_qs }).size(), 1);
}

void TestVerdictStore::newerSchemaLeftAlone()
{
    QTemporaryDir dir;
    const QString path = StorePath(dir);
    ExecSql(path,
        { u"CREATE TABLE verdicts (name TEXT)"_qs, u"PRAGMA application_id = 1330796110"_qs,
            u"PRAGMA user_version = 99"_qs });
    const QByteArray before = ReadAll(path);
    try {
        TVerdictStore store(path);
        QFAIL("a file of a newer schema was opened");
    } catch (const EOrvantaError& e) {
        QVERIFY2(
            e.Message().contains(u"более новой версией"_qs) && e.Message().contains(path), qPrintable(e.Message()));
    }
    QCOMPARE(ReadAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList({ u"*.bad-*"_qs }), QStringList());
}

void TestVerdictStore::migrationFromFirstSchema()
{
    QTemporaryDir dir;
    const QString path = StorePath(dir);
    const qint64 at = Now() - 60;
    ExecSql(path, FirstSchemaFile(at));
    {
        TVerdictStore store(path);
        QVERIFY(store.Notice().isEmpty());
        const auto run = store.LastRun(TRunOrigin::Window);
        QVERIFY(run);
        QCOMPARE(run->Zones, QStringList({ u"ru"_qs, u"com"_qs }));
        QCOMPARE(run->Free, 1);
        TRunSession session;
        session.SetStore(&store, TRunOrigin::Window);
        QVERIFY(session.RestoreRun(*run));
        const QList<TCandidate>& rows = session.Candidates();
        QCOMPARE(rows.size(), 4);
        // redcat.ru, redcat.com, catred.ru, catred.com.
        QCOMPARE(rows.at(0).Status, TStatus::Free);
        QCOMPARE(rows.at(0).Server(), u"whois.tcinet.ru"_qs);
        QCOMPARE(rows.at(0).PR, u"3"_qs);
        QCOMPARE(rows.at(0).TIC, u"120"_qs);
        QCOMPARE(rows.at(1).Status, TStatus::Taken);
        QCOMPARE(rows.at(1).Via, TVia::Rdap);
        QCOMPARE(rows.at(1).Reason().Text, u"зарезервировано"_qs);
        QCOMPARE(rows.at(1).Server(), u"https://rdap.example/"_qs);
        QCOMPARE(rows.at(2).Status, TStatus::Failed);
        QCOMPARE(rows.at(2).Reason().Label, u"превышен лимит запросов"_qs);
        QCOMPARE(rows.at(2).CheckedAt, at);
        QCOMPARE(rows.at(3).Status, TStatus::Unchecked);
        // A text already kept is not kept twice.
        store.Put(StoredOutcome(u"catsun.ru"_qs, TStatus::Failed, Now(), TVia::Whois, u"whois.tcinet.ru"_qs,
            { u"превышен лимит запросов"_qs, u"превышен лимит запросов"_qs }));
        QVERIFY2(store.Flush(), qPrintable(store.LastError()));
    }
    QCOMPARE(QuerySql(path, u"PRAGMA user_version"_qs).toInt(), TVerdictStore::SchemaVersion);
    QCOMPARE(QuerySql(path, u"SELECT count(*) FROM texts"_qs).toInt(), 5);
    QCOMPARE(QuerySql(path, u"SELECT count(*) FROM verdicts"_qs).toInt(), 5);
}

void TestVerdictStore::reuseAgesParsed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seconds"); // -1: refused
    QTest::newRow("0") << u"0"_qs << qint64(0);
    QTest::newRow("seconds by default") << u"90"_qs << qint64(90);
    QTest::newRow("seconds") << u"90s"_qs << qint64(90);
    QTest::newRow("minutes") << u"15m"_qs << qint64(900);
    QTest::newRow("hours") << u"2h"_qs << qint64(7200);
    QTest::newRow("days") << u"7d"_qs << qint64(7 * Day);
    QTest::newRow("empty") << QString() << qint64(-1);
    QTest::newRow("unit alone") << u"h"_qs << qint64(-1);
    QTest::newRow("negative") << u"-1"_qs << qint64(-1);
    QTest::newRow("fraction") << u"1.5h"_qs << qint64(-1);
    QTest::newRow("unknown unit") << u"2w"_qs << qint64(-1);
    QTest::newRow("two units") << u"15ms"_qs << qint64(-1);
    QTest::newRow("past a hundred years") << u"36501d"_qs << qint64(-1);
    QTest::newRow("past 64 bits") << u"99999999999999999999"_qs << qint64(-1);
}

void TestVerdictStore::reuseAgesParsed()
{
    QFETCH(QString, text);
    QFETCH(qint64, seconds);
    QCOMPARE(ParseDurationSeconds(text).value_or(-1), seconds);
}

QTEST_GUILESS_MAIN(TestVerdictStore)
#include "tst_verdictstore.moc"
