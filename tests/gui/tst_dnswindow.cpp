// The window asks DNS first when its setting says so: a delegated name is taken without the registry, and
// its tooltip names DNS and the resolver.
#include "core/common/Paths.h"
#include "core/settings/DataFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/DnsTestServer.h"
#include "support/MainWindowControls.h"
#include "support/StatusText.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QTest>

class TestDnsWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void settingChoosesDns_data();
    void settingChoosesDns();
};

void TestDnsWindow::settingChoosesDns_data()
{
    QTest::addColumn<bool>("dnsFirst");
    QTest::newRow("switched on") << true;
    QTest::newRow("switched off: the registry for every name") << false;
}

void TestDnsWindow::settingChoosesDns()
{
    QFETCH(bool, dnsFirst);
    TMainWindowFixture fixture;
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    TSettingsStore::WriteDWord(u"CheckViaDnsFirst"_qs, dnsFirst);
    TDnsTestServer dns;
    dns.Script("redcat.ru", TDnsTestServer::TMode::Delegated);
    TWhoisTestServer whois;
    whois.Default = { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" };
    WriteAll(GetDataFolder() + QString::fromUtf16(WhoisListFileName), "*:127.0.0.1\r\n");

    TMainForm form;
    form.WhoisPort = whois.Port();
    form.DnsServer = TDnsServer { QHostAddress::LocalHost, dns.Port() };
    form.show();
    Generate(form, u"red\ncat"_qs, 0, 1);

    const QList<TCandidate>& rows = form.Session().Candidates();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).Name, u"redcat.ru"_qs);
    QCOMPARE(rows.at(1).Status, TStatus::Free);
    if (!dnsFirst) {
        QCOMPARE(whois.Received, (QList<QByteArray> { "redcat.ru\r\n", "catred.ru\r\n" }));
        QVERIFY(dns.Received.isEmpty());
        QCOMPARE(rows.at(0).Via, TVia::Whois);
        return;
    }
    QCOMPARE(whois.Received, QList<QByteArray> { "catred.ru\r\n" });
    QCOMPARE(rows.at(0).Status, TStatus::Taken);
    QCOMPARE(TResultsModel::StatusTip(rows.at(0)).section(u'\n', 0, 0), u"делегирован в DNS (DNS, %1)"_qs.arg(dns.Address()));
}

QTEST_MAIN(TestDnsWindow)
#include "tst_dnswindow.moc"
