// The batch tool asks DNS first: a delegated name is taken without its registry and written with the
// resolver and "via":"dns"; --dns-server names the resolver, --no-dns leaves DNS out.
#include "core/common/Paths.h"
#include "support/DnsTestServer.h"
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestCliDns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void dnsFirst_data();
    void dnsFirst();

private:
    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<TDnsTestServer> FDns;
    std::unique_ptr<TWhoisTestServer> FWhois;
};

void TestCliDns::init()
{
    FEnv = std::make_unique<TTestEnv>();
    // The shipped RDAP list names real registries; the checks here never leave loopback.
    WriteAll(GetDataFolder() + u"rdap.json"_qs, R"({"version":"1.0","services":[]})");
    FDns = std::make_unique<TDnsTestServer>();
    FDns->Script("redcat.ru", TDnsTestServer::TMode::Delegated);
    FWhois = std::make_unique<TWhoisTestServer>();
    FWhois->Default = { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" };
}

void TestCliDns::cleanup()
{
    FWhois.reset();
    FDns.reset();
    FEnv.reset();
}

void TestCliDns::dnsFirst_data()
{
    QTest::addColumn<bool>("useDns");
    QTest::addColumn<QList<QByteArray>>("registryAsked");
    QTest::newRow("--dns-server") << true << QList<QByteArray> { "catred.ru\r\n" };
    QTest::newRow("--no-dns") << false << QList<QByteArray> { "redcat.ru\r\n", "catred.ru\r\n" };
}

void TestCliDns::dnsFirst()
{
    QFETCH(bool, useDns);
    QFETCH(QList<QByteArray>, registryAsked);
    QStringList args { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--whois-list"_qs,
        FEnv->WriteFile(u"whois.dat"_qs, "*:127.0.0.1\r\n"), u"--whois-port"_qs, QString::number(FWhois->Port()),
        u"-f"_qs, u"json"_qs };
    if (useDns)
        args << u"--dns-server"_qs << FDns->Address();
    else
        args << u"--no-dns"_qs;
    const TToolResult r = RunTool(args << FEnv->WriteFile(u"words.txt"_qs, "red\ncat\n"));
    QCOMPARE(r.Code, 0);
    QCOMPARE(FWhois->Received, registryAsked);
    const QList<QByteArray> lines = r.Out.split('\n');
    QCOMPARE(lines.size(), 3);
    const QJsonObject redcat = QJsonDocument::fromJson(lines.at(0)).object();
    const QJsonObject catred = QJsonDocument::fromJson(lines.at(1)).object();
    QCOMPARE(redcat.value(u"name").toString(), u"redcat.ru"_qs);
    QCOMPARE(catred.value(u"status").toString(), u"free"_qs);
    QCOMPARE(catred.value(u"via").toString(), u"whois"_qs);
    if (!useDns) {
        QCOMPARE(FDns->Received.size(), 0);
        QCOMPARE(redcat.value(u"via").toString(), u"whois"_qs);
        return;
    }
    QCOMPARE(redcat.value(u"status").toString(), u"taken"_qs);
    QCOMPARE(redcat.value(u"via").toString(), u"dns"_qs);
    QCOMPARE(redcat.value(u"server").toString(), FDns->Address());
    QCOMPARE(redcat.value(u"reason").toString(), u"делегирован в DNS"_qs);
    // The zone's random name, then the two names.
    QCOMPARE(FDns->Received.size(), 3);
}

QTEST_GUILESS_MAIN(TestCliDns)
#include "tst_clidns.moc"
