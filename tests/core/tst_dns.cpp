// DNS first: the answer judge, resolver addresses, lookups through the resolver library against a loopback
// server, and the stage that lets names go to their registries.
#include "core/checks/DelegationCheck.h"
#include "core/checks/DnsLookup.h"
#include "support/DnsTestServer.h"

#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace DnsWire;
using TMode = TDnsTestServer::TMode;

Q_DECLARE_METATYPE(TNsAnswer)
Q_DECLARE_METATYPE(TDnsTestServer::TMode)

namespace
{

const QByteArray Name = "redcat.ru";

TMessage Asked(const QByteArray& Question = Name)
{
    TMessage m;
    m.Question = Question;
    return m;
}

QList<TRecord> Ns(const QByteArray& Owner)
{
    return { { Owner, TypeNs, "ns1.example.net" }, { Owner, TypeNs, "ns2.example.net" } };
}

QByteArray With(TMessage Message, const std::function<void(TMessage&)>& Change)
{
    Change(Message);
    return Encode(Message);
}

std::optional<TDnsServer> Loopback(quint16 Port)
{
    return TDnsServer { QHostAddress::LocalHost, Port };
}

// Candidates of full names, each in the zone after its first label.
QList<TCandidate> Candidates(const QStringList& Names)
{
    QList<TCandidate> out;
    for (const QString& n : Names)
        out.append({ n, n.section(u'.', 1), {}, {} });
    return out;
}

// What the stage did with each name.
struct TStageProbe {
    QList<qsizetype> Delegated;
    QList<qsizetype> Released;
    explicit TStageProbe(TDelegationCheck& Stage)
    {
        QObject::connect(&Stage, &TDelegationCheck::Delegated, [this](qsizetype i) { Delegated << i; });
        QObject::connect(&Stage, &TDelegationCheck::Released, [this](qsizetype i) { Released << i; });
    }
};

} // namespace

class TestDns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void judge_data();
    void judge();
    void serverAddress_data();
    void serverAddress();
    void resolver_data();
    void resolver();
    void stageSplitsNames();
    void unclearZone_data();
    void unclearZone();
    void stageKeepsItsLimit();
};

void TestDns::judge_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<TNsAnswer>("expected");
    const TMessage asked = Asked();
    const auto delegated = [&](const char* Row, const QByteArray& Message, const QByteArray& AskedName = Name) {
        QTest::newRow(Row) << Message << AskedName << TNsAnswer::Delegated;
    };
    const auto undelegated = [&](const char* Row, const QByteArray& Message) {
        QTest::newRow(Row) << Message << Name << TNsAnswer::Undelegated;
    };
    const auto none
        = [&](const char* Row, const QByteArray& Message) { QTest::newRow(Row) << Message << Name << TNsAnswer::None; };
    const QByteArray ns = With(asked, [](TMessage& m) { m.Answers = Ns(Name); });

    delegated("NS of the name", ns);
    delegated("owner in other letter case", With(asked, [](TMessage& m) { m.Answers = Ns("RedCat.RU"); }));
    delegated("question in other letter case", Encode([] {
        TMessage m = Asked("REDCAT.ru");
        m.Answers = Ns("REDCAT.ru");
        return m;
    }()));
    delegated("name asked with a final dot", ns, "redcat.ru.");
    delegated("referral in the authority section", With(asked, [](TMessage& m) { m.Authority = Ns(Name); }));
    delegated("cut short after complete NS records", With(asked, [](TMessage& m) {
        m.Truncated = true;
        m.Answers = Ns(Name);
    }));

    undelegated("no such name", With(asked, [](TMessage& m) { m.Rcode = NoSuchName; }));
    undelegated("no such name, NS records anyway", With(asked, [](TMessage& m) {
        m.Rcode = NoSuchName;
        m.Answers = Ns(Name);
    }));
    undelegated("no data", Encode(asked));
    undelegated("NS of the zone", With(asked, [](TMessage& m) { m.Answers = Ns("ru"); }));
    undelegated("NS of a name below", With(asked, [](TMessage& m) { m.Answers = Ns("www.redcat.ru"); }));
    undelegated("NS of a name ending alike", With(asked, [](TMessage& m) { m.Answers = Ns("bigredcat.ru"); }));
    undelegated("CNAME, then the target's NS", With(asked, [](TMessage& m) {
        m.Answers = { { Name, TypeCname, "parked.example.net" } };
        m.Answers += Ns("parked.example.net");
    }));
    undelegated("CNAME beside NS of the name", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        m.Answers += TRecord { Name, TypeCname, "parked.example.net" };
    }));
    undelegated("NS of the name in another class", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        for (TRecord& r : m.Answers)
            r.Class = 3;
    }));
    // One label holding a dot: "redcat.ru" as a single label is not the name redcat.ru.
    undelegated("a dot inside one label", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        for (TRecord& r : m.Answers)
            r.OwnerWire = QByteArray("\x09redcat.ru\x00", 11);
    }));

    none("server failure", With(asked, [](TMessage& m) { m.Rcode = ServerFailure; }));
    none("server failure with NS records", With(asked, [](TMessage& m) {
        m.Rcode = ServerFailure;
        m.Answers = Ns(Name);
    }));
    none("refused", With(asked, [](TMessage& m) { m.Rcode = Refused; }));
    none("a query, not an answer", With(asked, [](TMessage& m) {
        m.Response = false;
        m.Answers = Ns(Name);
    }));
    none("another name's question", Encode([] {
        TMessage m = Asked("catred.ru");
        m.Answers = Ns("catred.ru");
        return m;
    }()));
    none("another type's question", With(asked, [](TMessage& m) {
        m.QuestionType = TypeA;
        m.Answers = Ns(Name);
    }));
    none("no question", With(asked, [](TMessage& m) {
        m.QuestionCount = 0;
        m.Answers = Ns(Name);
    }));
    none("two questions claimed", ns.left(5) + '\x02' + ns.mid(6));
    none("cut short without NS records", With(asked, [](TMessage& m) { m.Truncated = true; }));
    // Each NS record here: a 2-byte owner, 10 bytes of type, class, time and length, 17 bytes of data.
    none("record data past the end", ns.chopped(1));
    none("record header past the end", ns.chopped(22));
    none("answers claimed, none there", ns.left(Encode(asked).size()));
    none("owner pointing past the end", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        m.Answers[0].OwnerWire = "\xC0\xFF";
    }));
    // The first record starts at 12 + 11 (the question's name) + 4: a pointer there points at itself.
    none("owner pointing at itself", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        m.Answers[0].OwnerWire = "\xC0\x1B";
    }));
    none("NS data that is no name", With(asked, [](TMessage& m) {
        m.Answers = Ns(Name);
        m.Answers[1].DataWire = "\x05"
                                "ab";
    }));
    none("header only", ns.left(12).replace(4, 2, QByteArray(2, '\0')));
    none("shorter than a header", ns.left(11));
    none("empty", QByteArray());
}

void TestDns::judge()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, name);
    QFETCH(TNsAnswer, expected);
    QCOMPARE(JudgeNsAnswer(message, name), expected);
}

void TestDns::serverAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("shown");
    QTest::newRow("IPv4") << u"192.0.2.53"_qs << true << u"192.0.2.53"_qs << 53 << u"192.0.2.53"_qs;
    QTest::newRow("IPv4 with a port") << u"127.0.0.1:5353"_qs << true << u"127.0.0.1"_qs << 5353
                                      << u"127.0.0.1:5353"_qs;
    QTest::newRow("IPv4 with port 53") << u"127.0.0.1:53"_qs << true << u"127.0.0.1"_qs << 53 << u"127.0.0.1"_qs;
    QTest::newRow("IPv6") << u"::1"_qs << true << u"::1"_qs << 53 << u"::1"_qs;
    QTest::newRow("IPv6 in brackets") << u"[::1]"_qs << true << u"::1"_qs << 53 << u"::1"_qs;
    QTest::newRow("IPv6 with a port") << u"[2001:db8::1]:5353"_qs << true << u"2001:db8::1"_qs << 5353
                                      << u"[2001:db8::1]:5353"_qs;
    const QStringList bad { u""_qs, u"localhost"_qs, u"ns.example.net:53"_qs, u"10.1"_qs, u"127.0.0.1:"_qs,
        u"127.0.0.1:0"_qs, u"127.0.0.1:65536"_qs, u"127.0.0.1:+53"_qs, u"127.0.0.1:53 "_qs, u"127.0.0.1:5x"_qs,
        u"[::1"_qs, u"[::1]5353"_qs, u"[::1]:"_qs, u"[127.0.0.1"_qs, u"fe80::1%eth0"_qs, u"300.0.0.1"_qs };
    for (const QString& b : bad)
        QTest::newRow(qPrintable(u"bad: \""_qs + b + u'"')) << b << false << QString() << 0 << QString();
}

void TestDns::serverAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, address);
    QFETCH(int, port);
    QFETCH(QString, shown);
    const std::optional<TDnsServer> s = TDnsServer::Parse(text);
    QCOMPARE(s.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(s->Address, QHostAddress(address));
    QCOMPARE(int(s->Port), port);
    QCOMPARE(s->Text(), shown);
}

void TestDns::resolver_data()
{
    QTest::addColumn<TMode>("mode");
    QTest::addColumn<TNsAnswer>("expected");
    QTest::newRow("delegated") << TMode::Delegated << TNsAnswer::Delegated;
    QTest::newRow("referral") << TMode::Referral << TNsAnswer::Delegated;
    QTest::newRow("no such name") << TMode::NoSuchName << TNsAnswer::Undelegated;
    QTest::newRow("no data") << TMode::NoData << TNsAnswer::Undelegated;
    QTest::newRow("alias") << TMode::Alias << TNsAnswer::Undelegated;
    QTest::newRow("another owner's NS") << TMode::OtherOwner << TNsAnswer::Undelegated;
    QTest::newRow("server failure") << TMode::ServerFailure << TNsAnswer::None;
    QTest::newRow("silence") << TMode::Silent << TNsAnswer::None;
}

// Each answer of the server, through the library's own sockets and timers.
void TestDns::resolver()
{
    QFETCH(TMode, mode);
    QFETCH(TNsAnswer, expected);
    TDnsTestServer server;
    server.Script(Name, mode);
    const auto resolver = TDnsResolver::Create(Loopback(server.Port()), 300);
    QVERIFY(resolver);
    QCOMPARE(resolver->ServerText(), server.Address());
    std::optional<TNsAnswer> answer;
    resolver->LookupNs("RedCat.ru", [&answer](TNsAnswer a) { answer = a; });
    QCOMPARE(resolver->InFlight(), 1);
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, expected);
    QCOMPARE(resolver->InFlight(), 0);
    QCOMPARE(server.Received, QList<QByteArray> { "RedCat.ru" });
}

void TestDns::stageSplitsNames()
{
    TDnsTestServer server;
    server.Script("redcat.ru", TMode::Delegated);
    server.Script("catsun.com", TMode::Referral);
    server.Script("sunred.ru", TMode::Alias);
    // Under a wildcard every name looks delegated: none of them is asked about.
    server.Wildcard("net");
    const QList<TCandidate> list = Candidates({ u"redcat.ru"_qs, u"redcat.com"_qs, u"catsun.com"_qs, u"sunred.ru"_qs,
        u"redcat.net"_qs, u"catsun.net"_qs, u"кот.рф"_qs });
    server.Script("xn--j1aim.xn--p1ai", TMode::Delegated);
    auto stage = TDelegationCheck::Create(list, Loopback(server.Port()), 32, 1000);
    QVERIFY(stage);
    TStageProbe probe(*stage);
    for (qsizetype i = 0; i < list.size(); ++i)
        stage->Add(i);
    QCOMPARE(stage->Pending(), list.size());
    QTRY_COMPARE(stage->Pending(), 0);
    std::sort(probe.Delegated.begin(), probe.Delegated.end());
    std::sort(probe.Released.begin(), probe.Released.end());
    QCOMPARE(probe.Delegated, (QList<qsizetype> { 0, 2, 6 }));
    QCOMPARE(probe.Released, (QList<qsizetype> { 1, 3, 4, 5 }));
    QCOMPARE(stage->Answered(), 5);
    QCOMPARE(stage->LetGo(), 2);
    // One random name per zone, then the names of the zones without a wildcard.
    QCOMPARE(server.ReceivedIn("net"), 1);
    QCOMPARE(server.ReceivedIn("ru"), 3);
    QCOMPARE(server.ReceivedIn("com"), 3);
    QCOMPARE(server.ReceivedIn("xn--p1ai"), 2);
    // The random names go first, one per zone: twenty letters.
    for (const QByteArray& p : server.Received.mid(0, 4)) {
        const QByteArray label = p.left(p.indexOf('.'));
        QVERIFY2(label.size() == 20
                && std::all_of(label.cbegin(), label.cend(), [](char c) { return c >= 'a' && c <= 'z'; }),
            p.constData());
    }
}

void TestDns::unclearZone_data()
{
    QTest::addColumn<TMode>("probeMode");
    QTest::newRow("probe delegated (a wildcard)") << TMode::Delegated;
    QTest::newRow("probe failed") << TMode::ServerFailure;
    QTest::newRow("probe unanswered") << TMode::Silent;
}

// A zone whose random name does not get a clear "no" is not asked about: its names go to the registry.
void TestDns::unclearZone()
{
    QFETCH(TMode, probeMode);
    TDnsTestServer server;
    server.Default = probeMode;
    server.Script("redcat.ru", TMode::Delegated);
    server.Script("catred.ru", TMode::NoSuchName);
    const QList<TCandidate> list = Candidates({ u"redcat.ru"_qs, u"catred.ru"_qs });
    auto stage = TDelegationCheck::Create(list, Loopback(server.Port()), 32, 300);
    QVERIFY(stage);
    TStageProbe probe(*stage);
    stage->Add(0);
    stage->Add(1);
    QTRY_COMPARE(stage->Pending(), 0);
    QCOMPARE(probe.Delegated, QList<qsizetype>());
    QCOMPARE(probe.Released, (QList<qsizetype> { 0, 1 }));
    QCOMPARE(server.Received.size(), 1);
}

// No more lookups at once than allowed: when the first of four silent lookups runs out of time, the server
// has seen the zone's random name and four names, not all ten.
void TestDns::stageKeepsItsLimit()
{
    TDnsTestServer server;
    QStringList names;
    for (int i = 0; i < 10; ++i) {
        names << u"name%1.ru"_qs.arg(i);
        server.Script(names.last().toUtf8(), TMode::Silent);
    }
    const QList<TCandidate> list = Candidates(names);
    auto stage = TDelegationCheck::Create(list, Loopback(server.Port()), 4, 300);
    QVERIFY(stage);
    int seenAtFirst = -1;
    connect(stage.get(), &TDelegationCheck::Released, this, [&](qsizetype) {
        if (seenAtFirst < 0)
            seenAtFirst = int(server.Received.size());
    });
    for (qsizetype i = 0; i < list.size(); ++i)
        stage->Add(i);
    QTRY_COMPARE_WITH_TIMEOUT(stage->Pending(), 0, 10000);
    QCOMPARE(seenAtFirst, 5);
    QCOMPARE(server.Received.size(), 11);
}

QTEST_GUILESS_MAIN(TestDns)
#include "tst_dns.moc"
