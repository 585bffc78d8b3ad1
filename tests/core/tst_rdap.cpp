// RDAP checks: the bootstrap list, the verdicts, the query against a loopback RDAP server, and a run that
// asks each zone over its own protocol.
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RdapClient.h"
#include "core/checks/RunSession.h"
#include "core/checks/WhoisRules.h"
#include "support/HttpTestServer.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/WhoisTestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTest>
#include <optional>

Q_DECLARE_METATYPE(THttpAnswer)

namespace
{

using TReply = THttpTestServer::TReply;

THttpAnswer Answer(int Status, const QByteArray& Body = {}, const THttpHeaders& Headers = {})
{
    THttpAnswer a;
    a.Status = Status;
    a.Body = Body;
    a.Headers = Headers;
    return a;
}

TReply Reply(int Status, const THttpTestServer::THeaders& Headers = {}, const QByteArray& Body = {})
{
    TReply r;
    r.Status = Status;
    r.Headers = Headers;
    r.Body = Body;
    return r;
}

QByteArray DomainObject(const QByteArray& LdhName)
{
    return R"({"objectClassName":"domain","ldhName":")" + LdhName
        + R"(","status":["active"],"rdapConformance":["rdap_level_0"]})";
}

// An RDAP registry on loopback: names in Taken have a record, every other name under Prefix is not found.
TReply Registry(const THttpTestServer::TRequest& Request, const QByteArray& Prefix, const QList<QByteArray>& Taken)
{
    if (!Request.Target.startsWith(QByteArray(Prefix + "domain/")))
        return THttpTestServer::Text("<html>no such page</html>", "text/html");
    const QByteArray name = Request.Target.mid(Prefix.size() + 7);
    if (Taken.contains(name))
        return THttpTestServer::Text(DomainObject(name), "application/rdap+json");
    TReply r = THttpTestServer::Text(R"({"errorCode":404,"title":"Not Found"})", "application/rdap+json");
    r.Status = 404;
    return r;
}

QByteArray HttpDate(const QDateTime& At)
{
    return QLocale::c().toString(At.toUTC(), u"ddd, dd MMM yyyy HH:mm:ss 'GMT'"_qs).toLatin1();
}

// A session over loopback servers: WHOIS at WhoisPort for the lines given, RDAP per the bootstrap Json.
struct TRun {
    TRunSession Session;
    TSessionProbe Probe { Session };
    QList<TCandidate> Names;
    TCheckSetup Setup;

    TRun(const QStringList& Names, quint16 WhoisPort, const QStringList& WhoisLines, const QByteArray& Json)
    {
        Setup.WhoisPort = WhoisPort;
        Setup.Servers = TCheckSetup::ParseZoneServers(WhoisLines);
        Setup.Limits = TServerLimits({ u"*:1000:1"_qs });
        Setup.Rdap = TRdapBootstrap::Parse(Json);
        for (const QString& n : Names)
            this->Names.append({ n, n.section(u'.', 1), {}, {} });
    }

    bool Check(int TimeoutMs = 30000)
    {
        return Session.Restore(Names) && Session.Recheck(Setup, false) && Probe.WaitFinished(1, TimeoutMs);
    }

    const TCandidate& Row(const QString& Name) const
    {
        for (const TCandidate& d : Session.Candidates())
            if (d.Name == Name)
                return d;
        qFatal("no candidate %s", qPrintable(Name));
    }
};

QByteArray Bootstrap(const QList<std::pair<QStringList, QStringList>>& Services)
{
    QByteArray out = R"({"version":"1.0","publication":"2026-12-01T00:00:00Z","services":[)";
    for (qsizetype i = 0; i < Services.size(); ++i) {
        out += i ? ",[[" : "[[";
        out += '"' + Services.at(i).first.join(u"\",\""_qs).toUtf8() + "\"],[\"";
        out += Services.at(i).second.join(u"\",\""_qs).toUtf8() + "\"]]";
    }
    return out + "]}";
}

} // namespace

class TestRdap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bootstrapLookup_data();
    void bootstrapLookup();
    void bootstrapRejected_data();
    void bootstrapRejected();
    void shippedListNamesTheRegistries();
    void retryAfter_data();
    void retryAfter();
    void verdicts_data();
    void verdicts();
    void queryOverLoopback_data();
    void queryOverLoopback();
    void queryRequest();
    void queryUnreachable();
    void queryOverTls_data();
    void queryOverTls();
    void runAsksEachZoneOverItsProtocol();
    void refusalWaitsRetryAfter_data();
    void refusalWaitsRetryAfter();
    void waitLongerThanRunFailsServerNames();
};

void TestRdap::bootstrapLookup_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("base");

    const QByteArray list = Bootstrap({ { { u"com"_qs, u"NET"_qs }, { u"https://rdap.example/v1"_qs } },
        { { u"xn--p1acf"_qs }, { u"http://plain.example/rdap/"_qs, u"https://secure.example/rdap/"_qs } },
        { { u"co.uk"_qs }, { u"https://co.example/"_qs } }, { { u"uk"_qs }, { u"https://uk.example/"_qs } },
        { { u"com"_qs }, { u"https://second.example/"_qs } }, { { u"org"_qs }, { u"http://only-http.example/"_qs } } });
    QTest::newRow("zone, slash added") << list << u"com"_qs << u"https://rdap.example/v1/"_qs;
    QTest::newRow("letter case ignored") << list << u"Net"_qs << u"https://rdap.example/v1/"_qs;
    QTest::newRow("Unicode zone by its IDNA form") << list << u"рус"_qs << u"https://secure.example/rdap/"_qs;
    QTest::newRow("longest run of labels") << list << u"co.uk"_qs << u"https://co.example/"_qs;
    QTest::newRow("shorter run when the longer is absent") << list << u"org.uk"_qs << u"https://uk.example/"_qs;
    QTest::newRow("http when it is the only address") << list << u"org"_qs << u"http://only-http.example/"_qs;
    QTest::newRow("zone not listed") << list << u"ru"_qs << QString();
    QTest::newRow("empty list") << QByteArray(R"({"version":"1.0","services":[]})") << u"com"_qs << QString();
}

void TestRdap::bootstrapLookup()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, zone);
    QFETCH(QString, base);
    QCOMPARE(TRdapBootstrap::Parse(json).BaseUrlFor(zone), base);
}

void TestRdap::bootstrapRejected_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says");

    QTest::newRow("not JSON") << QByteArray("<html>") << u"ошибка JSON"_qs;
    QTest::newRow("no services") << QByteArray(R"({"version":"1.0"})") << u"services"_qs;
    QTest::newRow("entry without addresses") << QByteArray(R"({"services":[[["com"]]]})") << u"запись 1"_qs;
    QTest::newRow("no http or https address")
        << QByteArray(R"({"services":[[["com"],["https://x.example/"]],[["net"],["ftp://x.example/"]]]})")
        << u"записи 2"_qs;
    QTest::newRow("zone that is no name")
        << QByteArray(R"({"services":[[["com", ""],["https://x.example/"]]]})") << u"неверная зона"_qs;
}

void TestRdap::bootstrapRejected()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, says);
    try {
        TRdapBootstrap::Parse(json);
        QFAIL("accepted");
    } catch (const EOrvantaError& e) {
        QVERIFY2(e.Message().contains(says), qPrintable(e.Message()));
    }
}

void TestRdap::shippedListNamesTheRegistries()
{
    const TRdapBootstrap shipped = TRdapBootstrap::Load(QFINDTESTDATA("../../data/rdap.json"));
    QCOMPARE(shipped.BaseUrlFor(u"com"_qs), u"https://rdap.verisign.com/com/v1/"_qs);
    QCOMPARE(shipped.BaseUrlFor(u"net"_qs), u"https://rdap.verisign.com/net/v1/"_qs);
    QCOMPARE(shipped.BaseUrlFor(u"org"_qs), u"https://rdap.publicinterestregistry.org/rdap/"_qs);
    QCOMPARE(shipped.BaseUrlFor(u"biz"_qs), u"https://rdap.nic.biz/"_qs);
    // Registries without RDAP stay on WHOIS.
    for (const QString& zone : { u"ru"_qs, u"su"_qs, u"рф"_qs, u"edu"_qs })
        QVERIFY2(shipped.BaseUrlFor(zone).isEmpty(), qPrintable(zone));
}

void TestRdap::retryAfter_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint64>("ms");

    const QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC);
    QTest::newRow("absent") << QByteArray() << qint64(10000);
    QTest::newRow("seconds") << QByteArray("7") << qint64(7000);
    QTest::newRow("zero") << QByteArray("0") << qint64(0);
    QTest::newRow("IMF date") << QByteArray("Thu, 10 Dec 2026 12:01:30 GMT") << qint64(90000);
    QTest::newRow("RFC 850 date") << QByteArray("Thursday, 10-Dec-26 12:00:05 GMT") << qint64(5000);
    QTest::newRow("asctime date") << QByteArray("Thu Dec 10 12:00:20 2026") << qint64(20000);
    QTest::newRow("date already past") << QByteArray("Thu, 10 Dec 2026 11:00:00 GMT") << qint64(0);
    QTest::newRow("negative") << QByteArray("-5") << qint64(10000);
    QTest::newRow("unreadable") << QByteArray("soon") << qint64(10000);
    QTest::newRow("huge number stays positive") << QByteArray("99999999999999999999") << qint64(366) * 24 * 3600 * 1000;
}

void TestRdap::retryAfter()
{
    QFETCH(QByteArray, value);
    QFETCH(qint64, ms);
    QCOMPARE(RetryAfterMs(value, QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC)), ms);
}

void TestRdap::verdicts_data()
{
    QTest::addColumn<THttpAnswer>("answer");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("reason");

    const QString name = u"example.com"_qs;
    QTest::newRow("404 without body: free") << Answer(404) << name << TStatus::Free << false << QString();
    QTest::newRow("404 with error object: free")
        << Answer(404, R"({"errorCode":404,"title":"Not Found"})") << name << TStatus::Free << false << QString();
    QTest::newRow("404 page of a web server is no verdict")
        << Answer(404, "<html><body>Not Found</body></html>") << name << TStatus::Failed << false
        << RdapReasons::NotJson().Text;
    QTest::newRow("200 domain of that name: taken")
        << Answer(200, DomainObject("example.com")) << name << TStatus::Taken << false << QString();
    QTest::newRow("letter case ignored") << Answer(200, DomainObject("EXAMPLE.COM")) << name << TStatus::Taken << false
                                         << QString();
    QTest::newRow("trailing dot") << Answer(200, DomainObject("example.com.")) << name << TStatus::Taken << false
                                  << QString();
    QTest::newRow("Unicode name by its IDNA form")
        << Answer(200, DomainObject("xn--e1afmkfd.com")) << u"пример.com"_qs << TStatus::Taken << false << QString();
    QTest::newRow("another name") << Answer(200, DomainObject("other.com")) << name << TStatus::Failed << false
                                  << RdapReasons::OtherName(u"other.com"_qs).Text;
    QTest::newRow("a longer name that contains it")
        << Answer(200, DomainObject("example.com.evil")) << name << TStatus::Failed << false
        << RdapReasons::OtherName(u"example.com.evil"_qs).Text;
    QTest::newRow("no ldhName") << Answer(200, R"({"objectClassName":"domain"})") << name << TStatus::Failed << false
                                << RdapReasons::OtherName(QString()).Text;
    QTest::newRow("another object") << Answer(200, R"({"objectClassName":"entity","ldhName":"example.com"})") << name
                                    << TStatus::Failed << false << RdapReasons::NotDomain().Text;
    QTest::newRow("200 not JSON") << Answer(200, "<html>parked</html>") << name << TStatus::Failed << false
                                  << RdapReasons::NotJson().Text;
    QTest::newRow("200 empty") << Answer(200) << name << TStatus::Failed << false << RdapReasons::NotJson().Text;
    QTest::newRow("200 JSON array") << Answer(200, "[1,2]") << name << TStatus::Failed << false
                                    << RdapReasons::NotJson().Text;
    QTest::newRow("500") << Answer(500, R"({"errorCode":500})") << name << TStatus::Failed << false
                         << RdapReasons::Status(500).Text;
    QTest::newRow("403") << Answer(403) << name << TStatus::Failed << false << RdapReasons::Status(403).Text;
    QTest::newRow("redirect without a place")
        << Answer(302) << name << TStatus::Failed << false << RdapReasons::Status(302).Text;
    QTest::newRow("429 is a refusal") << Answer(429, {}, { { "Retry-After", "3" } }) << name << TStatus::Failed << true
                                      << CheckReasons::RateLimited().Text;
}

void TestRdap::verdicts()
{
    QFETCH(THttpAnswer, answer);
    QFETCH(QString, name);
    QFETCH(TStatus, status);
    QFETCH(bool, refused);
    QFETCH(QString, reason);
    const TRdapVerdict v = JudgeRdapAnswer(answer, name, QDateTime::currentDateTimeUtc());
    QCOMPARE(v.Status, status);
    QCOMPARE(v.Refused, refused);
    QCOMPARE(v.Failure.Text, reason);
    if (refused)
        QCOMPARE(v.RetryAfterMs, qint64(3000));
}

void TestRdap::queryOverLoopback_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("requests");

    QTest::newRow("404") << u"free.com"_qs << TStatus::Free << QString() << 1;
    QTest::newRow("matching 200") << u"taken.com"_qs << TStatus::Taken << QString() << 1;
    QTest::newRow("500") << u"broken.com"_qs << TStatus::Failed << RdapReasons::Status(500).Text << 1;
    QTest::newRow("200 not JSON") << u"page.com"_qs << TStatus::Failed << RdapReasons::NotJson().Text << 1;
    QTest::newRow("200 for another name")
        << u"alias.com"_qs << TStatus::Failed << RdapReasons::OtherName(u"other.com"_qs).Text << 1;
    QTest::newRow("redirect followed") << u"moved.com"_qs << TStatus::Taken << QString() << 2;
    QTest::newRow("five redirects followed") << u"hop5.com"_qs << TStatus::Free << QString() << 6;
    QTest::newRow("six are too many") << u"hop6.com"_qs << TStatus::Failed << RdapReasons::TooManyRedirects().Text << 6;
    QTest::newRow("redirect to another scheme")
        << u"ftp.com"_qs << TStatus::Failed << RdapReasons::BadRedirect(u"ftp://127.0.0.1/x"_qs).Text << 1;
}

void TestRdap::queryOverLoopback()
{
    QFETCH(QString, name);
    QFETCH(TStatus, status);
    QFETCH(QString, reason);
    QFETCH(int, requests);

    THttpTestServer server;
    server.Handler = [](const THttpTestServer::TRequest& r) -> TReply {
        const QByteArray t = r.Target;
        if (t == "/rdap/domain/broken.com")
            return Reply(500, {}, R"({"errorCode":500})");
        if (t == "/rdap/domain/page.com")
            return THttpTestServer::Text("<html>parked</html>", "text/html");
        if (t == "/rdap/domain/alias.com")
            return THttpTestServer::Text(DomainObject("other.com"), "application/rdap+json");
        if (t == "/rdap/domain/moved.com")
            return THttpTestServer::Redirect("/elsewhere/domain/moved.com", 301);
        if (t == "/elsewhere/domain/moved.com")
            return THttpTestServer::Text(DomainObject("moved.com"), "application/rdap+json");
        if (t == "/rdap/domain/ftp.com")
            return THttpTestServer::Redirect("ftp://127.0.0.1/x");
        // hopN.com: N redirects through /hop/K/, then the registry's answer.
        if (t.startsWith("/rdap/domain/hop") || t.startsWith("/hop/")) {
            const int hops = t.mid(t.indexOf("domain/hop") + 10, 1).toInt();
            const int at = t.startsWith("/hop/") ? t.mid(5, 1).toInt() : 0;
            if (at < hops)
                return THttpTestServer::Redirect(
                    "/hop/" + QByteArray::number(at + 1) + "/domain/hop" + QByteArray::number(hops) + ".com", 307);
            return Reply(404);
        }
        return Registry(r, "/rdap/", { "taken.com" });
    };
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    query.Start(server.BaseUrl() + u"/rdap/"_qs, name);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Status, status);
    QCOMPARE(query.Verdict().Failure.Text, reason);
    QCOMPARE(server.Requests.size(), requests);
    QVERIFY(!finished.wait(100));
}

void TestRdap::queryRequest()
{
    THttpTestServer server;
    server.Handler = [](const THttpTestServer::TRequest& r) { return Registry(r, "/base/", {}); };
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    // Without the slash the base URL gets one; a Unicode name goes in its IDNA form.
    query.Start(server.BaseUrl() + u"/base"_qs, u"Пример.com"_qs);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Status, TStatus::Free);
    QCOMPARE(server.Requests.size(), 1);
    QCOMPARE(server.Requests.at(0).RequestLine, QByteArray("GET /base/domain/xn--e1afmkfd.com HTTP/1.1"));
    QCOMPARE(server.Requests.at(0).Header("Accept"), QByteArray("application/rdap+json"));

    // A name that cannot be sent is never sent.
    query.Start(server.BaseUrl() + u"/base/"_qs, u"bad\nname.com"_qs);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Failure.Text, CheckReasons::InvalidName().Text);
    QCOMPARE(server.Requests.size(), 1);
}

void TestRdap::queryUnreachable()
{
    // A port nothing listens on: the failure says so, and judges nothing.
    quint16 port = 0;
    {
        THttpTestServer gone;
        port = gone.Port();
    }
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    query.Start(u"http://127.0.0.1:%1/rdap/"_qs.arg(port), u"example.com"_qs);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Status, TStatus::Failed);
    QVERIFY(!query.Verdict().Refused);
    QCOMPARE(query.Verdict().Failure.Label, RdapReasons::Exchange({}).Label);
}

void TestRdap::queryOverTls_data()
{
    QTest::addColumn<bool>("trusted");
    QTest::newRow("certificate trusted") << true;
    QTest::newRow("certificate of nobody the system trusts") << false;
}

void TestRdap::queryOverTls()
{
    QFETCH(bool, trusted);
    if (!QSslSocket::supportsSsl())
        QFAIL("no TLS backend: the set-up step installs it");
    // Made once for 127.0.0.1: openssl req -x509 -newkey rsa:2048 -nodes -days 36500 -subj /CN=127.0.0.1
    // -addext subjectAltName=IP:127.0.0.1
    QFile certFile(QFINDTESTDATA("../data/tls/loopback.crt"));
    QFile keyFile(QFINDTESTDATA("../data/tls/loopback.key"));
    QVERIFY(certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate cert(&certFile, QSsl::Pem);
    const QSslKey key(&keyFile, QSsl::Rsa, QSsl::Pem);
    QVERIFY(!cert.isNull() && !key.isNull());

    // A registry that answers every request with 404, over TLS on loopback.
    QSslServer server;
    QSslConfiguration serverTls = QSslConfiguration::defaultConfiguration();
    serverTls.setLocalCertificate(cert);
    serverTls.setPrivateKey(key);
    server.setSslConfiguration(serverTls);
    QList<QByteArray> requests;
    connect(&server, &QTcpServer::pendingConnectionAvailable, &server, [&] {
        while (auto* socket = static_cast<QSslSocket*>(server.nextPendingConnection())) {
            connect(socket, &QSslSocket::readyRead, socket, [&requests, socket] {
                const QByteArray bytes = socket->readAll();
                requests << bytes.left(bytes.indexOf('\r'));
                socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
        }
    });
    QVERIFY(server.listen(QHostAddress::LocalHost));

    const QSslConfiguration before = QSslConfiguration::defaultConfiguration();
    if (trusted) {
        QSslConfiguration client = before;
        client.addCaCertificate(cert);
        QSslConfiguration::setDefaultConfiguration(client);
    }
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    query.Start(u"https://127.0.0.1:%1/rdap/"_qs.arg(server.serverPort()), u"example.com"_qs);
    const bool ended = finished.wait(10000);
    QSslConfiguration::setDefaultConfiguration(before);
    QVERIFY(ended);
    if (trusted) {
        QCOMPARE(query.Verdict().Status, TStatus::Free);
        QCOMPARE(requests, QList<QByteArray> { "GET /rdap/domain/example.com HTTP/1.1" });
    } else {
        // Never ignored: the name fails with the reason, and nothing was asked.
        QCOMPARE(query.Verdict().Status, TStatus::Failed);
        QVERIFY2(query.Verdict().Failure.Text.contains(u"сертификат"_qs), qPrintable(query.Verdict().Failure.Text));
        QVERIFY(requests.isEmpty());
    }
}

void TestRdap::runAsksEachZoneOverItsProtocol()
{
    THttpTestServer rdap;
    rdap.Handler = [](const THttpTestServer::TRequest& r) {
        return r.Target.startsWith("/com/") ? Registry(r, "/com/", { "red.com" })
                                            : Registry(r, "/net/", { "blue.net" });
    };
    TWhoisTestServer whois;
    whois.Script("red.ru", { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" });
    const QString base = rdap.BaseUrl();
    const QByteArray list
        = Bootstrap({ { { u"com"_qs }, { base + u"/com/"_qs } }, { { u"net"_qs }, { base + u"/net/"_qs } } });
    const QStringList names { u"red.com"_qs, u"blue.com"_qs, u"red.net"_qs, u"blue.net"_qs, u"red.ru"_qs,
        u"blue.ru"_qs };
    // The WHOIS list names a server for every zone: the RDAP zones must still not go to it.
    TRun run(names, whois.Port(), { u"*:127.0.0.1"_qs }, list);
    QVERIFY(run.Check());

    QStringList rdapAsked;
    for (const auto& r : rdap.Requests)
        rdapAsked << QString::fromLatin1(r.Target);
    rdapAsked.sort();
    QCOMPARE(rdapAsked,
        QStringList({ u"/com/domain/blue.com"_qs, u"/com/domain/red.com"_qs, u"/net/domain/blue.net"_qs,
            u"/net/domain/red.net"_qs }));
    QList<QByteArray> whoisAsked = whois.Received;
    std::sort(whoisAsked.begin(), whoisAsked.end());
    QCOMPARE(whoisAsked, QList<QByteArray>({ "blue.ru\r\n", "red.ru\r\n" }));

    const struct {
        QString Name;
        TStatus Status;
        QString Server;
    } expected[] = {
        { u"red.com"_qs, TStatus::Taken, base + u"/com/"_qs },
        { u"blue.com"_qs, TStatus::Free, base + u"/com/"_qs },
        { u"red.net"_qs, TStatus::Free, base + u"/net/"_qs },
        { u"blue.net"_qs, TStatus::Taken, base + u"/net/"_qs },
        { u"red.ru"_qs, TStatus::Free, u"127.0.0.1"_qs },
        { u"blue.ru"_qs, TStatus::Taken, u"127.0.0.1"_qs },
    };
    for (const auto& e : expected) {
        const TCandidate& d = run.Row(e.Name);
        QCOMPARE(d.Status, e.Status);
        QCOMPARE(d.Server(), e.Server);
        QCOMPARE(d.Via, e.Server.startsWith(u"http") ? TVia::Rdap : TVia::Whois);
    }
}

void TestRdap::refusalWaitsRetryAfter_data()
{
    QTest::addColumn<bool>("asDate");
    QTest::newRow("seconds") << false;
    QTest::newRow("HTTP date") << true;
}

void TestRdap::refusalWaitsRetryAfter()
{
    QFETCH(bool, asDate);
    THttpTestServer rdap;
    QElapsedTimer clock;
    clock.start();
    std::optional<qint64> refusedAt;
    QDateTime allowedFrom;
    qint64 retriedAt = -1;
    QDateTime retriedOn;
    rdap.Handler = [&](const THttpTestServer::TRequest& r) -> TReply {
        if (!refusedAt) {
            refusedAt = clock.elapsed();
            // Whole seconds: the date form cannot say less.
            allowedFrom = QDateTime::currentDateTimeUtc().addSecs(2);
            allowedFrom.setTime(
                QTime(allowedFrom.time().hour(), allowedFrom.time().minute(), allowedFrom.time().second()));
            return Reply(429, { { "Retry-After", asDate ? HttpDate(allowedFrom) : QByteArray("1") } });
        }
        if (retriedAt < 0) {
            retriedAt = clock.elapsed();
            retriedOn = QDateTime::currentDateTimeUtc();
        }
        return Registry(r, "/", {});
    };
    TRun run(
        { u"wait.com"_qs, u"next.com"_qs }, 43, {}, Bootstrap({ { { u"com"_qs }, { rdap.BaseUrl() + u"/"_qs } } }));
    QVERIFY(run.Check());
    QCOMPARE(run.Row(u"wait.com"_qs).Status, TStatus::Free);
    QCOMPARE(run.Row(u"next.com"_qs).Status, TStatus::Free);
    QVERIFY(refusedAt && retriedAt >= 0);
    if (asDate)
        QVERIFY2(retriedOn >= allowedFrom, qPrintable(retriedOn.toString(Qt::ISODateWithMs)));
    else
        QVERIFY2(retriedAt - *refusedAt >= 1000, qPrintable(QString::number(retriedAt - *refusedAt)));
    // The name refused went again first: nothing else was asked during the pause.
    QCOMPARE(rdap.Requests.at(1).Target, QByteArray("/domain/wait.com"));
}

void TestRdap::waitLongerThanRunFailsServerNames()
{
    THttpTestServer rdap;
    rdap.Handler = [](const THttpTestServer::TRequest&) { return Reply(429, { { "Retry-After", "7200" } }); };
    TRun run({ u"one.com"_qs, u"two.com"_qs, u"three.com"_qs }, 43, {},
        Bootstrap({ { { u"com"_qs }, { rdap.BaseUrl() + u"/"_qs } } }));
    QVERIFY(run.Check(10000));
    // Asked once; the others are not asked before the server allows it, and none is judged.
    QCOMPARE(rdap.Requests.size(), 1);
    for (const TCandidate& d : run.Session.Candidates()) {
        QVERIFY(d.Failed());
        QCOMPARE(d.Reason().Label, CheckReasons::RateLimited().Label);
    }
}

QTEST_GUILESS_MAIN(TestRdap)
#include "tst_rdap.moc"
