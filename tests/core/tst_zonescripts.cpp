// Which letters each zone's names may use: the rules list, the shipped rules, and a check run that never
// sends a name its zone does not take.
#include "core/candidates/ZoneScripts.h"
#include "core/checks/RunSession.h"
#include "core/checks/WhoisRules.h"
#include "core/settings/ListFiles.h"
#include "support/StatusText.h"
#include "support/SessionProbe.h"
#include "support/WhoisTestServer.h"

#include <QTest>

class TestZoneScripts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void shippedRules_data();
    void shippedRules();
    void runNeverSendsRefusedNames();
};

void TestZoneScripts::rules_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("allowed");

    const QStringList list { u"# a comment: ru:*"_qs, u"ru:latin"_qs, u"рф:cyrillic"_qs, u"su: latin , CYRILLIC"_qs,
        u"com:*"_qs, u"*:latin,cyrillic"_qs };
    QTest::newRow("latin zone, a to z, digits, hyphen") << list << u"red-cat2.ru"_qs << u"ru"_qs << true;
    QTest::newRow("latin zone, capitals") << list << u"RedCat.ru"_qs << u"ru"_qs << true;
    QTest::newRow("latin zone, Cyrillic word") << list << u"кот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("latin zone, Latin letter beyond a to z") << list << u"café.ru"_qs << u"ru"_qs << false;
    QTest::newRow("zone in capitals") << list << u"кот.RU"_qs << u"RU"_qs << false;
    QTest::newRow("zone below a listed one takes its rule") << list << u"кот.msk.ru"_qs << u"msk.ru"_qs << false;
    QTest::newRow("cyrillic zone, Cyrillic word") << list << u"котёнок-2.рф"_qs << u"рф"_qs << true;
    QTest::newRow("cyrillic zone, capitals") << list << u"КОТ.РФ"_qs << u"РФ"_qs << true;
    QTest::newRow("cyrillic zone, Latin word") << list << u"redcat.рф"_qs << u"рф"_qs << false;
    QTest::newRow("cyrillic zone by its ASCII form") << list << u"redcat.xn--p1ai"_qs << u"xn--p1ai"_qs << false;
    // "й" as "и" and a combining breve is the one letter.
    QTest::newRow("decomposed Cyrillic letter") << list << u"чаи\u0306.рф"_qs << u"рф"_qs << true;
    QTest::newRow("both scripts, Latin word") << list << u"redcat.su"_qs << u"su"_qs << true;
    QTest::newRow("both scripts, Cyrillic word") << list << u"кот.su"_qs << u"su"_qs << true;
    QTest::newRow("any script, Greek") << list << u"γάτα.com"_qs << u"com"_qs << true;
    QTest::newRow("any script, Latin beyond a to z") << list << u"café.com"_qs << u"com"_qs << true;
    // Mixing is refused in every zone, a zone of any script included.
    QTest::newRow("mixed in a latin zone") << list << u"redкот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("mixed in a zone of both") << list << u"redкот.su"_qs << u"su"_qs << false;
    QTest::newRow("mixed in a zone of any script") << list << u"redкот.com"_qs << u"com"_qs << false;
    QTest::newRow("Latin beyond a to z mixed with Cyrillic") << list << u"caféкот.com"_qs << u"com"_qs << false;
    QTest::newRow("look-alike letters mixed") << list << u"p\u0430ypal.com"_qs << u"com"_qs << false;
    QTest::newRow("default line, Cyrillic") << list << u"кот.org"_qs << u"org"_qs << true;
    QTest::newRow("default line, Greek") << list << u"γάτα.org"_qs << u"org"_qs << false;
    QTest::newRow("no lines: any script") << QStringList() << u"γάτα.ru"_qs << u"ru"_qs << true;
    QTest::newRow("no lines: still never mixed") << QStringList() << u"redкот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("unknown word: the line is passed over")
        << QStringList { u"ru:latn"_qs, u"*:cyrillic"_qs } << u"redcat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("first line of a zone holds")
        << QStringList { u"ru:latin"_qs, u"RU:*"_qs } << u"кот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("line without a colon is passed over")
        << QStringList { u"ru latin"_qs } << u"кот.ru"_qs << u"ru"_qs << true;
}

void TestZoneScripts::rules()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, name);
    QFETCH(QString, zone);
    QFETCH(bool, allowed);
    QCOMPARE(TZoneScripts(lines).Allows(name, zone), allowed);
}

void TestZoneScripts::shippedRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("ru: Latin") << u"redcat.ru"_qs << u"ru"_qs << true;
    QTest::newRow("ru: mixed, as a new user typed it") << u"redкот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("ru: Cyrillic") << u"кот.ru"_qs << u"ru"_qs << false;
    QTest::newRow("рф: Cyrillic") << u"кот.рф"_qs << u"рф"_qs << true;
    QTest::newRow("рф: Latin") << u"redcat.рф"_qs << u"рф"_qs << false;
    QTest::newRow("su: Cyrillic") << u"кот.su"_qs << u"su"_qs << true;
    QTest::newRow("com: Cyrillic") << u"кот.com"_qs << u"com"_qs << true;
    QTest::newRow("com: mixed") << u"redкот.com"_qs << u"com"_qs << false;
    QTest::newRow("a zone not listed: Cyrillic") << u"кот.xyz"_qs << u"xyz"_qs << true;
}

void TestZoneScripts::shippedRules()
{
    QFETCH(QString, name);
    QFETCH(QString, zone);
    QFETCH(bool, allowed);
    const TZoneScripts shipped(ReadListFile(QFINDTESTDATA("../../data/zone-scripts.dat")));
    QCOMPARE(shipped.Allows(name, zone), allowed);
}

// Generation builds every name; the check fails those its zone does not take, without asking anyone.
void TestZoneScripts::runNeverSendsRefusedNames()
{
    TWhoisTestServer server;
    TRunSession session;
    TSessionProbe probe(session);
    TRunRequest request;
    request.Keywords = { u"red"_qs, u"кот"_qs, u"cat"_qs };
    request.Zones = { u"ru"_qs, u"рф"_qs };
    request.CheckAvailability = true;
    request.Setup.WhoisPort = server.Port();
    request.Setup.Limits = TServerLimits({ u"*:1000:1"_qs });
    request.Setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
    request.Setup.ZoneScripts = TZoneScripts({ u"ru:latin"_qs, u"рф:cyrillic"_qs });
    QVERIFY(session.Start(request));
    QCOMPARE(session.Candidates().size(), 12);
    QVERIFY(probe.WaitFinished(1, 30000));

    QStringList asked;
    for (const QByteArray& line : server.Received)
        asked << QString::fromLatin1(line.trimmed());
    asked.sort();
    QCOMPARE(asked, QStringList({ u"catred.ru"_qs, u"redcat.ru"_qs }));
    for (const TCandidate& d : session.Candidates()) {
        const bool sent = d.Name == u"redcat.ru" || d.Name == u"catred.ru";
        if (sent)
            continue;
        QCOMPARE(d.Status, TStatus::Failed);
        QCOMPARE(d.Reason().Text, u"имя недопустимо в зоне"_qs);
        QCOMPARE(d.Via, TVia::None);
        QVERIFY(d.Server().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestZoneScripts)
#include "tst_zonescripts.moc"
