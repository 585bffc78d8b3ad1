// A check run that asks DNS first: delegated names are taken without the registry, every other name reaches
// its registry as DNS lets it go, and nothing DNS does holds a registry up.
#include "core/checks/RunSession.h"
#include "core/checks/WhoisRules.h"
#include "support/DnsTestServer.h"
#include "support/HttpTestServer.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/WhoisTestServer.h"

#include <QTest>

using TDnsMode = TDnsTestServer::TMode;
using TWhoisMode = TWhoisTestServer::TMode;

namespace
{

const QByteArray NotFound = "No entries found for the selected source(s).\r\n";

// A session over the loopback registries of WhoisLines (at Port) and the loopback DNS server.
struct TRun {
    TRunSession Session;
    TSessionProbe Probe { Session };
    TRunRequest Request;

    TRun(const TDnsTestServer& Dns, quint16 Port, const QStringList& Names, const QStringList& WhoisLines)
    {
        Request.NamesGiven = true;
        Request.Names = Names;
        Request.CheckAvailability = true;
        Request.Setup.WhoisPort = Port;
        Request.Setup.Servers = TCheckSetup::ParseZoneServers(WhoisLines);
        Request.Setup.Limits = TServerLimits({ u"*:1000:1"_qs });
        Request.Setup.DnsFirst = true;
        Request.Setup.DnsServer = TDnsServer { QHostAddress::LocalHost, Dns.Port() };
        Request.Setup.DnsTimeoutMs = 500;
    }

    bool Check(int TimeoutMs = 30000) { return Session.Start(Request) && Probe.WaitFinished(1, TimeoutMs); }

    const TCandidate& Row(const QString& Name) const
    {
        for (const TCandidate& d : Session.Candidates())
            if (d.Name == Name)
                return d;
        qFatal("no candidate %s", qPrintable(Name));
    }
};

QList<QByteArray> Lines(const QStringList& Names)
{
    QList<QByteArray> out;
    for (const QString& n : Names)
        out << n.toUtf8() + "\r\n";
    return out;
}

} // namespace

class TestDnsFirst : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void registryAskedOnlyForUndelegated();
    void wildcardZoneGoesToRegistry();
    void slowLookupDoesNotHoldRegistry();
    void zoneWithoutRegistry();
    void serverGivenUpFailsLaterNames();
    void stopDuringLookups();
    void offByDefault();
};

void TestDnsFirst::registryAskedOnlyForUndelegated()
{
    TDnsTestServer dns;
    TWhoisTestServer ru;
    TWhoisTestServer com(nullptr, QHostAddress(u"127.0.0.2"_qs), ru.Port());
    for (TWhoisTestServer* s : { &ru, &com })
        s->Default = { TWhoisMode::Answer, NotFound };
    QStringList names;
    QStringList delegated;
    for (int i = 0; i < 6; ++i)
        for (const QString& zone : { u"ru"_qs, u"com"_qs }) {
            names << u"name%1."_qs.arg(i) + zone;
            if (i % 2 == 0) {
                delegated << names.last();
                dns.Script(names.last().toUtf8(), i == 4 ? TDnsMode::Referral : TDnsMode::Delegated);
            } else if (i == 3) {
                dns.Script(names.last().toUtf8(), TDnsMode::Alias);
            }
        }
    TRun run(dns, ru.Port(), names, { u"ru:127.0.0.1"_qs, u"com:127.0.0.2"_qs });
    QVERIFY(run.Check());
    QCOMPARE(run.Probe.Judged(), 12);
    QStringList undelegated = names;
    for (const QString& n : delegated)
        undelegated.removeOne(n);
    QList<QByteArray> asked = ru.Received + com.Received;
    std::sort(asked.begin(), asked.end());
    QList<QByteArray> expected = Lines(undelegated);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(asked, expected);
    for (const QString& n : delegated) {
        const TCandidate& d = run.Row(n);
        QCOMPARE(d.Status, TStatus::Taken);
        QCOMPARE(d.Via, TVia::Dns);
        QCOMPARE(d.Server(), dns.Address());
        QCOMPARE(d.Reason().Text, u"делегирован в DNS"_qs);
    }
    for (const QString& n : undelegated) {
        QCOMPARE(run.Row(n).Status, TStatus::Free);
        QCOMPARE(run.Row(n).Via, TVia::Whois);
    }
    // Every name counts once, whichever way its verdict came.
    QCOMPARE(run.Probe.Progress.Done, 12);
    QCOMPARE(run.Probe.Progress.Total, 12);
    QCOMPARE(run.Probe.Summary.CheckFailures, 0);
}

void TestDnsFirst::wildcardZoneGoesToRegistry()
{
    TDnsTestServer dns;
    dns.Wildcard("com");
    dns.Script("name0.ru", TDnsMode::Delegated);
    TWhoisTestServer whois;
    whois.Default = { TWhoisMode::Answer, NotFound };
    const QStringList names { u"name0.ru"_qs, u"name1.ru"_qs, u"name0.com"_qs, u"name1.com"_qs };
    TRun run(dns, whois.Port(), names, { u"*:127.0.0.1"_qs });
    QVERIFY(run.Check());
    // The wildcard's delegations are no evidence: the registry judges those names free.
    QCOMPARE(run.Row(u"name0.ru"_qs).Status, TStatus::Taken);
    for (const QString& n : names.mid(1))
        QCOMPARE(run.Row(n).Status, TStatus::Free);
    QCOMPARE(whois.Received.size(), 3);
    QCOMPARE(dns.ReceivedIn("com"), 1);
}

// A name DNS does not answer about waits its time out; the registry meanwhile asks about the names let go.
void TestDnsFirst::slowLookupDoesNotHoldRegistry()
{
    TDnsTestServer dns;
    dns.Script("name0.ru", TDnsMode::Silent);
    TWhoisTestServer whois;
    whois.Default = { TWhoisMode::Answer, NotFound };
    const QStringList names { u"name0.ru"_qs, u"name1.ru"_qs, u"name2.ru"_qs };
    TRun run(dns, whois.Port(), names, { u"*:127.0.0.1"_qs });
    QVERIFY(run.Check());
    QCOMPARE(whois.Received, Lines({ u"name1.ru"_qs, u"name2.ru"_qs, u"name0.ru"_qs }));
    QCOMPARE(run.Probe.Judged(), 3);
}

// DNS asks about every name; a zone without a registry still fails the names DNS cannot judge.
void TestDnsFirst::zoneWithoutRegistry()
{
    TDnsTestServer dns;
    dns.Script("name0.xx", TDnsMode::Delegated);
    TWhoisTestServer whois;
    TRun run(dns, whois.Port(), { u"name0.xx"_qs, u"name1.xx"_qs }, { u"ru:127.0.0.1"_qs });
    QVERIFY(run.Check());
    QCOMPARE(run.Row(u"name0.xx"_qs).Status, TStatus::Taken);
    QCOMPARE(run.Row(u"name1.xx"_qs).Status, TStatus::Failed);
    QCOMPARE(run.Row(u"name1.xx"_qs).Reason().Label, CheckReasons::NoServer().Label);
    QCOMPARE(run.Probe.Summary.CheckFailures, 1);
    QCOMPARE(whois.Received.size(), 0);
}

// A registry whose pause is longer than a run waits is given up; a name DNS lets go after that fails with it
// at once instead of waiting out the pause.
void TestDnsFirst::serverGivenUpFailsLaterNames()
{
    THttpTestServer rdap;
    rdap.Handler = [](const THttpTestServer::TRequest&) {
        THttpTestServer::TReply r;
        r.Status = 429;
        r.Headers = { { "Retry-After", "7200" } };
        return r;
    };
    TDnsTestServer dns;
    dns.Script("slow.com", TDnsMode::Silent);
    dns.Script("known.com", TDnsMode::Delegated);
    TRun run(dns, 43, { u"first.com"_qs, u"slow.com"_qs, u"known.com"_qs }, {});
    run.Request.Setup.Rdap
        = TRdapBootstrap::Parse(R"({"version":"1.0","services":[[["com"],[")" + rdap.BaseUrl().toUtf8() + R"(/"]]]})");
    QVERIFY(run.Check(10000));
    QCOMPARE(rdap.Requests.size(), 1);
    QCOMPARE(run.Row(u"known.com"_qs).Status, TStatus::Taken);
    QVERIFY(run.Row(u"first.com"_qs).Failed());
    QVERIFY(run.Row(u"slow.com"_qs).Failed());
    QCOMPARE(run.Row(u"slow.com"_qs).Reason().Text, run.Row(u"first.com"_qs).Reason().Text);
}

void TestDnsFirst::stopDuringLookups()
{
    TDnsTestServer dns;
    dns.Default = TDnsMode::Silent;
    TWhoisTestServer whois;
    TRun run(dns, whois.Port(), { u"name0.ru"_qs, u"name1.ru"_qs }, { u"*:127.0.0.1"_qs });
    run.Request.Setup.DnsTimeoutMs = 60000;
    QVERIFY(run.Session.Start(run.Request));
    QTRY_COMPARE(dns.Received.size(), 1);
    run.Session.Stop();
    QCOMPARE(run.Probe.Finished, 1);
    QVERIFY(run.Probe.Summary.Stopped);
    QCOMPARE(run.Probe.Statuses(), (QList<TStatus> { TStatus::Unchecked, TStatus::Unchecked }));
    QCOMPARE(whois.Received.size(), 0);
}

// A setup that does not ask for DNS never asks it: the tests and tools that build their own stay on their
// own servers.
void TestDnsFirst::offByDefault()
{
    TDnsTestServer dns;
    dns.Default = TDnsMode::Delegated;
    TWhoisTestServer whois;
    TRun run(dns, whois.Port(), { u"name0.ru"_qs }, { u"*:127.0.0.1"_qs });
    run.Request.Setup = TCheckSetup();
    run.Request.Setup.WhoisPort = whois.Port();
    run.Request.Setup.Servers = TCheckSetup::ParseZoneServers({ u"*:127.0.0.1"_qs });
    run.Request.Setup.DnsServer = TDnsServer { QHostAddress::LocalHost, dns.Port() };
    QVERIFY(run.Check());
    QCOMPARE(run.Row(u"name0.ru"_qs).Via, TVia::Whois);
    QCOMPARE(whois.Received.size(), 1);
    QCOMPARE(dns.Received.size(), 0);
}

QTEST_GUILESS_MAIN(TestDnsFirst)
#include "tst_dnsfirst.moc"
