// RDAP over the network: the query against loopback RDAP servers (framings, redirects, TLS), and runs that
// ask each zone over its own protocol, keep one connection per server and pause on refusals.
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

namespace
{

using TReply = THttpTestServer::TReply;

TReply Reply(int Status, const THttpTestServer::THeaders& Headers = {}, const QByteArray& Body = {})
{
    TReply r;
    r.Status = Status;
    r.Headers = Headers;
    r.Body = Body;
    return r;
}

TReply Raw(const QByteArray& Bytes, THttpTestServer::TEnd End = THttpTestServer::TEnd::Close, bool ByteByByte = false)
{
    TReply r;
    r.Raw = Bytes;
    r.End = End;
    r.ByteByByte = ByteByByte;
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
    void queryOverLoopback_data();
    void queryOverLoopback();
    void cutChunkedBodyNeverJudged();
    void redirectToAnotherServer_data();
    void redirectToAnotherServer();
    void queryRequest();
    void queryUnreachable();
    void queryOverTls_data();
    void queryOverTls();
    void runAsksEachZoneOverItsProtocol();
    void refusalWaitsRetryAfter_data();
    void refusalWaitsRetryAfter();
    void waitLongerThanRunFailsServerNames();
};

void TestRdap::queryOverLoopback_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<int>("requests");

    const QString exchange = RdapReasons::Exchange({}).Text;
    QTest::newRow("404") << u"free.com"_qs << TStatus::Free << QString() << 1;
    QTest::newRow("matching 200") << u"taken.com"_qs << TStatus::Taken << QString() << 1;
    QTest::newRow("404 reserved") << u"reserved.com"_qs << TStatus::Taken << RdapReasons::Reserved().Text << 1;
    QTest::newRow("500") << u"broken.com"_qs << TStatus::Failed << RdapReasons::Status(500).Text << 1;
    QTest::newRow("200 not JSON") << u"page.com"_qs << TStatus::Failed << RdapReasons::NotJson().Text << 1;
    QTest::newRow("200 for another name")
        << u"alias.com"_qs << TStatus::Failed << RdapReasons::OtherName(u"other.com"_qs).Text << 1;
    QTest::newRow("404 of a gateway, as HTML")
        << u"gateway.com"_qs << TStatus::Failed << RdapReasons::NotRdap("text/html").Text << 1;
    QTest::newRow("404 empty without a content type")
        << u"bare.com"_qs << TStatus::Failed << RdapReasons::NotRdap({}).Text << 1;
    QTest::newRow("404 head, then a reset")
        << u"reset.com"_qs << TStatus::Failed << RdapReasons::UnframedEmpty().Text << 1;
    QTest::newRow("404 cut short of its length")
        << u"short.com"_qs << TStatus::Failed << exchange + u"ответ сервера оборван"_qs << 1;
    QTest::newRow("404 with two lengths")
        << u"lengths.com"_qs << TStatus::Failed << exchange + u"длина ответа сервера противоречива"_qs << 1;
    QTest::newRow("interim 100 Continue, then 404") << u"continue.com"_qs << TStatus::Free << QString() << 1;
    QTest::newRow("redirect followed") << u"moved.com"_qs << TStatus::Taken << QString() << 2;
    QTest::newRow("five redirects followed") << u"hop5.com"_qs << TStatus::Free << QString() << 6;
    QTest::newRow("six are too many") << u"hop6.com"_qs << TStatus::Failed
                                      << RdapReasons::Redirect(u"слишком много перенаправлений"_qs).Text << 6;
    QTest::newRow("redirect to another scheme")
        << u"ftp.com"_qs << TStatus::Failed
        << RdapReasons::Redirect(u"перенаправление на недопустимый адрес ftp://127.0.0.1/x"_qs).Text << 1;
}

void TestRdap::queryOverLoopback()
{
    QFETCH(QString, name);
    QFETCH(TStatus, status);
    QFETCH(QString, reason);
    QFETCH(int, requests);

    const QByteArray notFound = "HTTP/1.1 404 Not Found\r\nContent-Type: application/rdap+json\r\n";
    const QMap<QByteArray, TReply> scripted {
        { "broken.com", Reply(500, {}, R"({"errorCode":500})") },
        { "page.com", THttpTestServer::Text("<html>parked</html>", "text/html") },
        { "alias.com", THttpTestServer::Text(DomainObject("other.com"), "application/rdap+json") },
        { "reserved.com",
            Reply(404, { { "Content-Type", "application/rdap+json" } },
                R"({"errorCode":404,"title":"Not Found","description":)"
                R"(["This name is not available for registration: Registry Reserved"]})") },
        { "gateway.com", Reply(404, { { "Content-Type", "text/html" } }, R"({"detail":"Not Found"})") },
        { "bare.com", Reply(404) },
        { "reset.com", Raw(notFound + "\r\n", THttpTestServer::TEnd::Reset) },
        { "short.com", Raw(notFound + "Content-Length: 40\r\n\r\n{\"errorCode\":404}") },
        { "lengths.com", Raw(notFound + "Content-Length: 2\r\nContent-Length: 3\r\n\r\n{}}") },
        { "continue.com",
            Raw("HTTP/1.1 100 Continue\r\n\r\n" + notFound + "Content-Length: 0\r\n\r\n",
                THttpTestServer::TEnd::KeepOpen) },
        { "moved.com", THttpTestServer::Redirect("/elsewhere/domain/moved.com", 301) },
        { "ftp.com", THttpTestServer::Redirect("ftp://127.0.0.1/x") },
    };
    THttpTestServer server;
    server.Handler = [&scripted](const THttpTestServer::TRequest& r) -> TReply {
        const QByteArray t = r.Target;
        const auto it = scripted.constFind(t.mid(t.lastIndexOf('/') + 1));
        if (t.startsWith("/rdap/") && it != scripted.cend())
            return *it;
        if (t == "/elsewhere/domain/moved.com")
            return THttpTestServer::Text(DomainObject("moved.com"), "application/rdap+json");
        // hopN.com: N redirects through /hop/K/, then the registry's answer.
        if (t.startsWith("/rdap/domain/hop") || t.startsWith("/hop/")) {
            const int hops = t.mid(t.indexOf("domain/hop") + 10, 1).toInt();
            const int at = t.startsWith("/hop/") ? t.mid(5, 1).toInt() : 0;
            if (at < hops)
                return THttpTestServer::Redirect(
                    "/hop/" + QByteArray::number(at + 1) + "/domain/hop" + QByteArray::number(hops) + ".com", 307);
        }
        return Registry(r, t.startsWith("/hop/") ? t.left(7) : QByteArray("/rdap/"), { "taken.com" });
    };
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    query.Start(server.BaseUrl() + u"/rdap/"_qs, name);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Status, status);
    QCOMPARE(query.Verdict().Failure.Text, reason);
    // Qt sends a request again by itself when the server closes the connection before Qt has read the
    // answer; that is no second query of ours.
    const TReply script = scripted.value(name.toUtf8());
    if (!script.Raw.isNull() && script.End != THttpTestServer::TEnd::KeepOpen)
        QVERIFY(server.Requests.size() >= requests);
    else
        QCOMPARE(server.Requests.size(), requests);
    QVERIFY(!finished.wait(100));
}

// Qt sees the cut of a chunked body in some deliveries and takes the body for whole in others; either
// way the name fails, with the cut or with the error object it left, which is no JSON.
void TestRdap::cutChunkedBodyNeverJudged()
{
    for (const bool byteByByte : { false, true }) {
        THttpTestServer server;
        server.Handler = [byteByByte](const THttpTestServer::TRequest&) {
            return Raw("HTTP/1.1 404 Not Found\r\nContent-Type: application/rdap+json\r\n"
                       "Transfer-Encoding: chunked\r\n\r\n20\r\n{\"errorCode\":404,",
                THttpTestServer::TEnd::Close, byteByByte);
        };
        TRdapQuery query;
        QSignalSpy finished(&query, &TRdapQuery::Finished);
        query.Start(server.BaseUrl() + u"/rdap/"_qs, u"redcat.com"_qs);
        QVERIFY(finished.wait(10000));
        const TCheckFailure& why = query.Verdict().Failure;
        QCOMPARE(query.Verdict().Status, TStatus::Failed);
        QVERIFY2(why.Text == RdapReasons::NotJson().Text || why.Text.endsWith(u"ответ сервера оборван"_qs),
            qPrintable(why.Text));
    }
}

void TestRdap::redirectToAnotherServer_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("server the list names for the zone") << true;
    // One new user found the tool following such a redirect to a local port 22.
    QTest::newRow("server the list does not name") << false;
}

// A redirect leaves the server asked only for another server of the zone's entry, and the verdict is
// then that server's.
void TestRdap::redirectToAnotherServer()
{
    QFETCH(bool, listed);
    THttpTestServer other;
    other.Handler = [](const THttpTestServer::TRequest& r) { return Registry(r, "/v2/", { "redcat.com" }); };
    THttpTestServer asked;
    asked.Handler = [&other](const THttpTestServer::TRequest& r) {
        return THttpTestServer::Redirect((other.BaseUrl() + u"/v2/"_qs).toUtf8() + r.Target.mid(4), 301);
    };
    const QString otherBase = other.BaseUrl() + u"/v2/"_qs;
    TRun run({ u"redcat.com"_qs, u"bluecat.com"_qs }, 43, {},
        Bootstrap({ { { u"com"_qs },
            listed ? QStringList { asked.BaseUrl() + u"/v1/"_qs, otherBase }
                   : QStringList { asked.BaseUrl() + u"/v1/"_qs } } }));
    QVERIFY(run.Check());
    if (listed) {
        QCOMPARE(run.Row(u"redcat.com"_qs).Status, TStatus::Taken);
        QCOMPARE(run.Row(u"bluecat.com"_qs).Status, TStatus::Free);
        for (const TCandidate& d : run.Session.Candidates())
            QCOMPARE(d.Server(), otherBase);
        return;
    }
    QCOMPARE(other.Connections, 0);
    for (const TCandidate& d : run.Session.Candidates()) {
        QCOMPARE(d.Status, TStatus::Failed);
        QCOMPARE(d.Reason().Label, RdapReasons::Redirect({}).Label);
        QVERIFY2(d.Reason().Text.contains(u"другой сервер"_qs), qPrintable(d.Reason().Text));
        QCOMPARE(d.Server(), asked.BaseUrl() + u"/v1/"_qs);
    }
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

    // A name that cannot be sent is never sent, nor anything to a base whose query would swallow the path.
    query.Start(server.BaseUrl() + u"/base/"_qs, u"bad\nname.com"_qs);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Failure.Text, CheckReasons::InvalidName().Text);
    const QString withQuery = server.BaseUrl() + u"/base/?x=1"_qs;
    query.Start(withQuery, u"redcat.com"_qs);
    QVERIFY(finished.wait(10000));
    QCOMPARE(query.Verdict().Failure.Text, RdapReasons::BadBase(withQuery).Text);
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
    int connections = 0;
    connect(&server, &QTcpServer::pendingConnectionAvailable, &server, [&] {
        while (auto* socket = static_cast<QSslSocket*>(server.nextPendingConnection())) {
            ++connections;
            // Kept open: each request is one head without a body.
            connect(socket, &QSslSocket::readyRead, socket, [&requests, socket] {
                const QList<QByteArray> heads = socket->readAll().split('\n');
                for (const QByteArray& line : heads) {
                    if (!line.startsWith("GET "))
                        continue;
                    requests << line.trimmed();
                    socket->write("HTTP/1.1 404 Not Found\r\nContent-Type: application/rdap+json\r\n"
                                  "Content-Length: 0\r\n\r\n");
                }
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
    // Three names over one connection: the TLS handshake is made once.
    TRdapQuery query;
    QSignalSpy finished(&query, &TRdapQuery::Finished);
    bool ended = true;
    for (const QString& name : { u"one.com"_qs, u"two.com"_qs, u"three.com"_qs }) {
        query.Start(u"https://127.0.0.1:%1/rdap/"_qs.arg(server.serverPort()), name);
        ended = ended && finished.wait(10000);
        if (!trusted || query.Verdict().Status != TStatus::Free)
            break;
    }
    QSslConfiguration::setDefaultConfiguration(before);
    QVERIFY(ended);
    if (trusted) {
        QCOMPARE(query.Verdict().Status, TStatus::Free);
        QCOMPARE(requests,
            QList<QByteArray>({ "GET /rdap/domain/one.com HTTP/1.1", "GET /rdap/domain/two.com HTTP/1.1",
                "GET /rdap/domain/three.com HTTP/1.1" }));
        QCOMPARE(connections, 1);
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
    // Both zones' server is one host, asked one query at a time: over one kept connection.
    QCOMPARE(rdap.Connections, 1);
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
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("asDate");
    QTest::newRow("429, seconds") << 429 << false;
    QTest::newRow("429, HTTP date") << 429 << true;
    QTest::newRow("403 page: queries exceeded") << 403 << false;
}

void TestRdap::refusalWaitsRetryAfter()
{
    QFETCH(int, status);
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
            return Reply(status,
                { { "Retry-After", asDate ? HttpDate(allowedFrom) : QByteArray("1") },
                    { "Content-Type", "text/html" } },
                status == 403 ? "<html><body>Number of allowed queries exceeded.</body></html>" : "");
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
