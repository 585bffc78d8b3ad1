#include "core/checks/SiteMetrics.h"
#include "core/common/Errors.h"
#include "support/HttpTestServer.h"

#include <QSignalSpy>
#include <QTest>

using TReply = THttpTestServer::TReply;

namespace {

const QByteArray PagePath = "/other/page.php?site=";

// A metrics page on a loopback server, and a fetcher pointed at it.
struct TLookup {
    THttpTestServer Server;
    TSiteUrlOverride Site { Server.BaseUrl() };
    TSiteMetrics Metrics;

    // One lookup of Name answered with Reply.
    void Run(const QString& Name, const TReply& Reply)
    {
        Server.Handler = [Reply](const THttpTestServer::TRequest&) { return Reply; };
        Metrics.Site = Name;
        Lookup();
    }

    // One lookup of the Site set, waited for; a failed one throws its error, as a caller would see it.
    void Lookup()
    {
        QSignalSpy finished(&Metrics, &TSiteMetrics::Finished);
        Metrics.Start();
        if (!finished.wait(60000))
            throw EOrvantaError(u"no end"_qs);
        QCOMPARE_EQ(finished.size(), 1);
        if (Metrics.Failed())
            throw EOrvantaError(Metrics.Error());
    }
};

} // namespace

class TestSiteMetrics : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initialFigures();
    void markers_data();
    void markers();
    void charsets_data();
    void charsets();
    void requestAsSent();
    void siteForms_data();
    void siteForms();
    void blankSite_data();
    void blankSite();
    void redirects_data();
    void redirects();
    void failures_data();
    void failures();
    void incompleteBodies_data();
    void incompleteBodies();
};

void TestSiteMetrics::initialFigures()
{
    TSiteMetrics p;
    QCOMPARE(p.GetPR(), u"-1"_qs);
    QCOMPARE(p.GetTIC(), u"-1"_qs);
    QVERIFY(p.Site.isEmpty());
}

void TestSiteMetrics::markers_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("pr");
    QTest::addColumn<QString>("tic");
    QTest::newRow("both figures") << QByteArray("<p>pr_3_pr tyc_120_tyc</p>") << u"3"_qs << u"120"_qs;
    QTest::newRow("spaces around the figure") << QByteArray("pr_ 5 _pr") << u"5"_qs << QString();
    QTest::newRow("control characters trimmed") << QByteArray("pr_\r\n\t7 _pr tyc_\t10\r\n_tyc") << u"7"_qs
                                                << u"10"_qs;
    QTest::newRow("neither marker") << QByteArray("nothing here") << u"-1"_qs << QString();
    QTest::newRow("pr_ without _pr") << QByteArray("pr_5 and more") << u"-1"_qs << QString();
    // No "pr_": the figure is characters 3 to 9, trimmed.
    QTest::newRow("_pr at position 10 without pr_") << QByteArray("AB cdefg _pr") << u"cdefg"_qs << QString();
    QTest::newRow("_pr before pr_") << QByteArray("x_pr pr_4") << u"-1"_qs << QString();
    QTest::newRow("empty ТИЦ has no fallback") << QByteArray("pr_2_pr tyc__tyc") << u"2"_qs << QString();
    QTest::newRow("markers are case sensitive") << QByteArray("PR_2_PR TYC_3_TYC") << u"-1"_qs << QString();
    QTest::newRow("first markers count") << QByteArray("pr_1_pr pr_2_pr tyc_8_tyc tyc_9_tyc") << u"1"_qs << u"8"_qs;
    QTest::newRow("empty body") << QByteArray() << u"-1"_qs << QString();
}

void TestSiteMetrics::markers()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, pr);
    QFETCH(QString, tic);
    TLookup l;
    l.Run(u"redcat.ru"_qs, THttpTestServer::Text(body));
    QCOMPARE(l.Metrics.GetPR(), pr);
    QCOMPARE(l.Metrics.GetTIC(), tic);
}

void TestSiteMetrics::charsets_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    const QByteArray cp1251 = "pr_\xcf\xf0\xe8\xec\xe5\xf0_pr tyc_\xd2\xc8\xd6_tyc";
    const QByteArray utf8 = QStringLiteral("pr_Пример_pr tyc_ТИЦ_tyc").toUtf8();
    QTest::newRow("windows-1251") << cp1251 << QByteArray("text/html; charset=windows-1251");
    QTest::newRow("windows-1251 quoted, upper case") << cp1251 << QByteArray("text/html;charset=\"WINDOWS-1251\"");
    QTest::newRow("UTF-8 named") << utf8 << QByteArray("text/html; charset=utf-8");
    QTest::newRow("no charset is UTF-8") << utf8 << QByteArray("text/html");
    QTest::newRow("no content type is UTF-8") << utf8 << QByteArray();
    QTest::newRow("unknown charset is UTF-8") << utf8 << QByteArray("text/html; charset=x-no-such-charset");
}

void TestSiteMetrics::charsets()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    TLookup l;
    TReply reply;
    reply.Body = body;
    if (!contentType.isEmpty())
        reply.Headers.append({ "Content-Type", contentType });
    l.Run(u"redcat.ru"_qs, reply);
    QCOMPARE(l.Metrics.GetPR(), u"Пример"_qs);
    QCOMPARE(l.Metrics.GetTIC(), u"ТИЦ"_qs);
}

void TestSiteMetrics::requestAsSent()
{
    TLookup l;
    l.Run(u"redcat.ru"_qs, THttpTestServer::Text("pr_1_pr"));
    QCOMPARE(l.Server.Requests.size(), 1);
    const THttpTestServer::TRequest& r = l.Server.Requests.at(0);
    QCOMPARE(r.RequestLine, QByteArray("GET /other/page.php?site=http://redcat.ru HTTP/1.1"));
    QCOMPARE(r.Header("Accept"), QByteArray("text/html, */*"));
    QCOMPARE(r.Header("User-Agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    QCOMPARE(r.Header("Host"), QByteArray("127.0.0.1:") + QByteArray::number(l.Server.Port()));
}

void TestSiteMetrics::siteForms_data()
{
    QTest::addColumn<QString>("site");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QString>("siteAfter");
    QTest::newRow("plain name") << u"redcat.ru"_qs << QByteArray("http://redcat.ru") << u"http://redcat.ru"_qs;
    QTest::newRow("already prefixed") << u"http://redcat.ru"_qs << QByteArray("http://redcat.ru")
                                      << u"http://redcat.ru"_qs;
    QTest::newRow("prefix anywhere counts") << u"xhttp://a.ru"_qs << QByteArray("xhttp://a.ru") << u"xhttp://a.ru"_qs;
    QTest::newRow("prefix is case sensitive") << u"HTTP://a.ru"_qs << QByteArray("http://HTTP://a.ru")
                                              << u"http://HTTP://a.ru"_qs;
    QTest::newRow("space") << u"red cat.ru"_qs << QByteArray("http://red%20cat.ru") << u"http://red cat.ru"_qs;
    QTest::newRow("characters with a meaning in addresses")
        << u"a#b&c+d%e?.ru"_qs << QByteArray("http://a%23b%26c%2Bd%25e%3F.ru") << u"http://a#b&c+d%e?.ru"_qs;
    QTest::newRow("Cyrillic as UTF-8") << u"кот.рф"_qs << QByteArray("http://%D0%BA%D0%BE%D1%82.%D1%80%D1%84")
                                       << u"http://кот.рф"_qs;
}

void TestSiteMetrics::siteForms()
{
    QFETCH(QString, site);
    QFETCH(QByteArray, query);
    QFETCH(QString, siteAfter);
    TLookup l;
    l.Run(site, THttpTestServer::Text("pr_1_pr"));
    QCOMPARE(l.Server.Requests.size(), 1);
    QCOMPARE(l.Server.Requests.at(0).Target, PagePath + query);
    QCOMPARE(l.Metrics.Site, siteAfter);
}

void TestSiteMetrics::blankSite_data()
{
    QTest::addColumn<QString>("site");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << u"   "_qs;
    QTest::newRow("tabs and line breaks") << u"\t\r\n "_qs;
}

void TestSiteMetrics::blankSite()
{
    QFETCH(QString, site);
    TLookup l;
    l.Run(u"redcat.ru"_qs, THttpTestServer::Text("pr_4_pr tyc_40_tyc"));
    l.Run(site, THttpTestServer::Text("pr_9_pr tyc_90_tyc"));
    QCOMPARE(l.Server.Requests.size(), 1);
    QCOMPARE(l.Metrics.GetPR(), u"4"_qs);
    QCOMPARE(l.Metrics.GetTIC(), u"40"_qs);
    QCOMPARE(l.Metrics.Site, site);
}

void TestSiteMetrics::redirects_data()
{
    QTest::addColumn<int>("hops");
    QTest::addColumn<bool>("followed");
    QTest::newRow("15 redirects are followed") << 15 << true;
    QTest::newRow("16 redirects are an error") << 16 << false;
}

void TestSiteMetrics::redirects()
{
    QFETCH(int, hops);
    QFETCH(bool, followed);
    TLookup l;
    // The page sends the client along /hop/1 ... /hop/<hops>, which answers.
    l.Server.Handler = [hops](const THttpTestServer::TRequest& r) {
        const int hop = r.Target.startsWith("/hop/") ? r.Target.mid(5).toInt() : 0;
        if (hop < hops)
            return THttpTestServer::Redirect("/hop/" + QByteArray::number(hop + 1), hop % 2 ? 301 : 302);
        return THttpTestServer::Text("pr_6_pr tyc_60_tyc");
    };
    l.Metrics.Site = u"redcat.ru"_qs;
    if (followed) {
        l.Lookup();
        QCOMPARE(l.Metrics.GetPR(), u"6"_qs);
        QCOMPARE(l.Metrics.GetTIC(), u"60"_qs);
        // One request per hop, each with the lookup's headers.
        QCOMPARE(l.Server.Requests.size(), hops + 1);
        for (const THttpTestServer::TRequest& r : l.Server.Requests)
            QCOMPARE(r.Header("User-Agent"), QByteArray("Mozilla/3.0 (compatible; Indy Library)"));
    } else {
        QVERIFY_THROWS_EXCEPTION(EOrvantaError, l.Lookup());
        QCOMPARE(l.Metrics.GetPR(), u"-1"_qs);
        QCOMPARE(l.Server.Requests.size(), hops);
    }
}

void TestSiteMetrics::failures_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("bodyBytes");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("cause");
    QTest::newRow("404") << 404 << qint64(0) << false << false << u"кодом 404"_qs;
    QTest::newRow("500") << 500 << qint64(0) << false << false << u"кодом 500"_qs;
    QTest::newRow("body over 1 MiB") << 200 << (qint64(1) << 20) + 1 << false << false << u"длиннее"_qs;
    QTest::newRow("no answer within the time limit") << 200 << qint64(0) << true << false << u"не ответил"_qs;
    QTest::newRow("connection refused") << 200 << qint64(0) << false << true << u"Не удалось получить"_qs;
}

void TestSiteMetrics::failures()
{
    QFETCH(int, status);
    QFETCH(qint64, bodyBytes);
    QFETCH(bool, silent);
    QFETCH(bool, refused);
    QFETCH(QString, cause);
    TLookup l;
    l.Metrics.TimeoutMs = 500;
    l.Run(u"first.ru"_qs, THttpTestServer::Text("pr_4_pr tyc_40_tyc"));

    TReply reply = THttpTestServer::Text(QByteArray(bodyBytes, 'x') + "pr_9_pr");
    reply.Status = status;
    reply.Silent = silent;
    std::unique_ptr<TSiteUrlOverride> deadSite;
    if (refused) {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        deadSite = std::make_unique<TSiteUrlOverride>(QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()));
    }
    QString message;
    try {
        l.Run(u"second.ru"_qs, reply);
    } catch (const EOrvantaError& e) {
        message = e.Message();
    }
    QVERIFY2(message.contains(cause), qPrintable(message));
    // The failed lookup changes neither figure.
    QCOMPARE(l.Metrics.GetPR(), u"4"_qs);
    QCOMPARE(l.Metrics.GetTIC(), u"40"_qs);
}

void TestSiteMetrics::incompleteBodies_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("complete");
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n";
    QTest::newRow("cut short of its length") << head + "Content-Length: 100\r\n\r\npr_ 5 _pr tyc_ 7" << false;
    QTest::newRow("chunked, cut short") << head + "Transfer-Encoding: chunked\r\n\r\n10\r\npr_ 5 _pr tyc_" << false;
    QTest::newRow("chunked, broken size") << head + "Transfer-Encoding: chunked\r\n\r\nzz\r\npr_ 5 _pr\r\n0\r\n\r\n"
                                          << false;
    QTest::newRow("chunked, complete") << head + "Transfer-Encoding: chunked\r\n\r\n9\r\npr_ 5 _pr\r\n0\r\n\r\n"
                                       << true;
    // Without a length the body runs until the close; only a page that ends inside a figure shows the cut.
    QTest::newRow("until the close") << head + "Connection: close\r\n\r\npr_ 5 _pr" << true;
    QTest::newRow("until the close, inside a figure") << head + "Connection: close\r\n\r\npr_ 5 _pr tyc_ 7" << false;
}

// A body the HTTP layer could not read whole is a failed lookup, never "an answer without markers".
void TestSiteMetrics::incompleteBodies()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, complete);
    TLookup l;
    l.Metrics.TimeoutMs = 5000;
    TReply reply;
    reply.Raw = raw;
    bool failed = false;
    try {
        l.Run(u"second.ru"_qs, reply);
    } catch (const EOrvantaError& e) {
        failed = true;
        QVERIFY2(!complete, qPrintable(e.Message()));
    }
    QCOMPARE(failed, !complete);
    QCOMPARE(l.Metrics.GetPR(), complete ? u"5"_qs : u"-1"_qs);
}

QTEST_GUILESS_MAIN(TestSiteMetrics)
#include "tst_sitemetrics.moc"
