// RDAP without the network: the bootstrap list as read, Retry-After, and the verdict of every kind of
// answer (status, headers, body, the server it came from).
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RdapClient.h"
#include "core/checks/WhoisRules.h"
#include "core/common/Errors.h"
#include "support/StatusText.h"

#include <QTest>

Q_DECLARE_METATYPE(THttpAnswer)

namespace
{

const QString Base = u"https://rdap.example/v1/"_qs;
const QString Listed = u"https://rdap2.example/"_qs;

// An answer as it came from Url (by default the zone's first server).
THttpAnswer Answer(int Status, const QByteArray& Body = {}, const THttpHeaders& Headers = {}, const QString& Url = {})
{
    THttpAnswer a;
    a.Status = Status;
    a.Body = Body;
    a.Headers = Headers;
    a.Url = QUrl(Url.isEmpty() ? Base + u"domain/redcat.com"_qs : Url);
    return a;
}

// An answer as RDAP JSON with its length.
THttpAnswer Rdap(int Status, const QByteArray& Body = {}, const QString& Url = {})
{
    return Answer(Status, Body,
        { { "Content-Type", "application/rdap+json" }, { "Content-Length", QByteArray::number(Body.size()) } }, Url);
}

QByteArray DomainObject(const QByteArray& Members)
{
    return R"({"objectClassName":"domain",)" + Members + "}";
}

QByteArray Bootstrap(const QByteArray& Services)
{
    return R"({"version":"1.0","services":[)" + Services + "]}";
}

} // namespace

class TestRdapVerdicts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void bootstrapLookup_data();
    void bootstrapLookup();
    void bootstrapRejected_data();
    void bootstrapRejected();
    void shippedListNamesTheRegistries();
    void queryUrl_data();
    void queryUrl();
    void retryAfter_data();
    void retryAfter();
    void verdicts_data();
    void verdicts();
};

void TestRdapVerdicts::bootstrapLookup_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QStringList>("bases");

    const QByteArray list
        = Bootstrap(R"([["com","NET"],["https://rdap.example/v1"]],)"
                    R"([["xn--p1acf"],["http://plain.example/rdap/","https://secure.example/rdap/"]],)"
                    R"([["co.uk"],["https://co.example/"]],[["uk"],["https://uk.example/"]],)"
                    R"([["com"],["https://second.example/"]],[["org"],["http://only-http.example/"]])");
    QTest::newRow("zone, slash added") << list << u"com"_qs << QStringList { u"https://rdap.example/v1/"_qs };
    QTest::newRow("letter case ignored") << list << u"Net"_qs << QStringList { u"https://rdap.example/v1/"_qs };
    QTest::newRow("Unicode zone by its IDNA form, https first, every address kept")
        << list << u"рус"_qs << QStringList { u"https://secure.example/rdap/"_qs, u"http://plain.example/rdap/"_qs };
    QTest::newRow("longest run of labels") << list << u"co.uk"_qs << QStringList { u"https://co.example/"_qs };
    QTest::newRow("shorter run when the longer is absent")
        << list << u"org.uk"_qs << QStringList { u"https://uk.example/"_qs };
    QTest::newRow("http when it is the only address")
        << list << u"org"_qs << QStringList { u"http://only-http.example/"_qs };
    QTest::newRow("zone not listed") << list << u"ru"_qs << QStringList();
    QTest::newRow("empty list") << Bootstrap({}) << u"com"_qs << QStringList();
}

void TestRdapVerdicts::bootstrapLookup()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, zone);
    QFETCH(QStringList, bases);
    const TRdapBootstrap list = TRdapBootstrap::Parse(json);
    QCOMPARE(list.BaseUrlsFor(zone), bases);
    QCOMPARE(list.BaseUrlFor(zone), bases.value(0));
}

void TestRdapVerdicts::bootstrapRejected_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("says");

    QTest::newRow("not JSON") << QByteArray("<html>") << u"ошибка JSON"_qs;
    QTest::newRow("no services") << QByteArray(R"({"version":"1.0"})") << u"services"_qs;
    QTest::newRow("entry without addresses") << Bootstrap(R"([["com"]])") << u"запись 1"_qs;
    QTest::newRow("no address at all") << Bootstrap(R"([["com"],[]])") << u"у записи 1 нет адреса"_qs;
    QTest::newRow("another scheme") << Bootstrap(R"([["com"],["https://x.example/"]],[["net"],["ftp://x.example/"]])")
                                    << u"в записи 2 адрес «ftp://x.example/» — не адрес http или https"_qs;
    // Every query would go to "/?x=1domain/NAME" or "/": the same answer for every name.
    QTest::newRow("base with a query") << Bootstrap(R"([["com"],["https://x.example/rdap/?x=1"]])")
                                       << u"в записи 1 адрес «https://x.example/rdap/?x=1» содержит лишнее"_qs;
    QTest::newRow("base with a fragment")
        << Bootstrap(R"([["com"],["https://x.example/rdap/#top"]])") << u"«https://x.example/rdap/#top»"_qs;
    QTest::newRow("second address of an entry")
        << Bootstrap(R"([["com"],["https://x.example/","https://y.example/?"]])") << u"«https://y.example/?»"_qs;
    QTest::newRow("zone that is no name")
        << Bootstrap(R"([["com", ""],["https://x.example/"]])") << u"неверная зона"_qs;
}

void TestRdapVerdicts::bootstrapRejected()
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

void TestRdapVerdicts::shippedListNamesTheRegistries()
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

void TestRdapVerdicts::queryUrl_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("url"); // empty: nothing is sent

    QTest::newRow("slash added") << u"https://r.example/v1"_qs << u"redcat.com"_qs
                                 << QByteArray("https://r.example/v1/domain/redcat.com");
    QTest::newRow("Unicode name in its IDNA form")
        << u"https://r.example/"_qs << u"Пример.com"_qs << QByteArray("https://r.example/domain/xn--e1afmkfd.com");
    QTest::newRow("base with a query") << u"https://r.example/?x=1"_qs << u"redcat.com"_qs << QByteArray();
    QTest::newRow("base with a fragment") << u"https://r.example/#x"_qs << u"redcat.com"_qs << QByteArray();
    QTest::newRow("base of another scheme") << u"ftp://r.example/"_qs << u"redcat.com"_qs << QByteArray();
    QTest::newRow("name that cannot be sent") << u"https://r.example/"_qs << u"bad\nname.com"_qs << QByteArray();
}

void TestRdapVerdicts::queryUrl()
{
    QFETCH(QString, base);
    QFETCH(QString, name);
    QFETCH(QByteArray, url);
    const QUrl got = TRdapQuery::QueryUrl(base, name);
    QCOMPARE(got.isValid(), !url.isEmpty());
    if (!url.isEmpty())
        QCOMPARE(got.toEncoded(), url);
}

void TestRdapVerdicts::retryAfter_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint64>("ms");

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

void TestRdapVerdicts::retryAfter()
{
    QFETCH(QByteArray, value);
    QFETCH(qint64, ms);
    QCOMPARE(RetryAfterMs(value, QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC)), ms);
}

void TestRdapVerdicts::verdicts_data()
{
    QTest::addColumn<THttpAnswer>("answer");
    QTest::addColumn<QString>("name");
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<qint64>("retryMs"); // -1: no refusal
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("server");

    const QString name = u"redcat.com"_qs;
    const qint64 no = -1;
    const QString none;
    const QByteArray html = "text/html; charset=utf-8";

    // 404: free only as RDAP JSON from the zone's server, empty with its length or an RDAP error object.
    QTest::newRow("404 empty, length 0") << Rdap(404) << name << TStatus::Free << no << none << Base;
    QTest::newRow("404 empty as JSON with a charset")
        << Answer(404, {}, { { "Content-Type", "application/json; charset=utf-8" }, { "Content-Length", "0" } }) << name
        << TStatus::Free << no << none << Base;
    QTest::newRow("404 error object") << Rdap(404, R"({"errorCode":404,"title":"Not Found"})") << name << TStatus::Free
                                      << no << none << Base;
    QTest::newRow("404 error object naming its conformance only")
        << Rdap(404, R"({"rdapConformance":["rdap_level_0"],"title":"Not Found"})") << name << TStatus::Free << no
        << none << Base;
    QTest::newRow("404 from another server of the zone")
        << Rdap(404, {}, Listed + u"domain/redcat.com"_qs) << name << TStatus::Free << no << none << Listed;
    QTest::newRow("404 reserved by the registry")
        << Rdap(404,
               R"({"errorCode":404,"title":"Not Found","description":)"
               R"(["This name is not available for registration: Registry Reserved"]})")
        << name << TStatus::Taken << no << RdapReasons::Reserved().Text << Base;
    QTest::newRow("404 blocked, in the title") << Rdap(404, R"({"errorCode":404,"title":"Name BLOCKED"})") << name
                                               << TStatus::Taken << no << RdapReasons::Reserved().Text << Base;
    QTest::newRow("404 reserved, description as one line")
        << Rdap(404, R"({"errorCode":404,"description":"reserved name"})") << name << TStatus::Taken << no
        << RdapReasons::Reserved().Text << Base;
    QTest::newRow("404 empty without a content type") << Answer(404, {}, { { "Content-Length", "0" } }) << name
                                                      << TStatus::Failed << no << RdapReasons::NotRdap({}).Text << Base;
    QTest::newRow("404 empty without a length (a reset after the head)")
        << Answer(404, {}, { { "Content-Type", "application/rdap+json" } }) << name << TStatus::Failed << no
        << RdapReasons::UnframedEmpty().Text << Base;
    QTest::newRow("404 of a web framework, as HTML")
        << Answer(404, R"({"detail":"Not Found"})", { { "Content-Type", html } }) << name << TStatus::Failed << no
        << RdapReasons::NotRdap(html).Text << Base;
    QTest::newRow("404 of a web framework, as JSON")
        << Answer(404, R"({"detail":"Not Found"})", { { "Content-Type", "application/json" } }) << name
        << TStatus::Failed << no << RdapReasons::NotErrorObject().Text << Base;
    QTest::newRow("404 page of a web server")
        << Answer(404, "<html>Not Found</html>", { { "Content-Type", html } }) << name << TStatus::Failed << no
        << RdapReasons::NotRdap(html).Text << Base;
    QTest::newRow("404 error object of another code")
        << Rdap(404, R"({"errorCode":500,"title":"Oops"})") << name << TStatus::Failed << no
        << RdapReasons::NotErrorObject().Text << Base;
    QTest::newRow("404 with a domain object") << Rdap(404, DomainObject(R"("ldhName":"redcat.com")")) << name
                                              << TStatus::Failed << no << RdapReasons::NotErrorObject().Text << Base;
    QTest::newRow("404 JSON cut short") << Rdap(404, R"({"errorCode":404,"ti)") << name << TStatus::Failed << no
                                        << RdapReasons::NotJson().Text << Base;
    QTest::newRow("404 from a server the list does not name")
        << Rdap(404, {}, u"https://gateway.example/domain/redcat.com"_qs) << name << TStatus::Failed << no
        << RdapReasons::OtherServer(QUrl(u"https://gateway.example/"_qs)).Text << none;
    QTest::newRow("404 over http from the https server")
        << Rdap(404, {}, u"http://rdap.example/v1/domain/redcat.com"_qs) << name << TStatus::Failed << no
        << RdapReasons::OtherServer(QUrl(u"http://rdap.example/"_qs)).Text << none;
    QTest::newRow("404 from another port of the server")
        << Rdap(404, {}, u"https://rdap.example:22/v1/domain/redcat.com"_qs) << name << TStatus::Failed << no
        << RdapReasons::OtherServer(QUrl(u"https://rdap.example:22/"_qs)).Text << none;

    // 200: taken only for a domain object of the very name asked, by its IDNA ASCII form.
    QTest::newRow("200 domain of that name")
        << Rdap(200, DomainObject(R"("ldhName":"redcat.com")")) << name << TStatus::Taken << no << none << Base;
    QTest::newRow("ASCII letter case ignored")
        << Rdap(200, DomainObject(R"("ldhName":"REDCAT.COM.")")) << name << TStatus::Taken << no << none << Base;
    QTest::newRow("Unicode name by its IDNA form") << Rdap(200, DomainObject(R"("ldhName":"xn--e1afmkfd.com")"))
                                                   << u"пример.com"_qs << TStatus::Taken << no << none << Base;
    QTest::newRow("Unicode form beside the ASCII one")
        << Rdap(200, DomainObject(R"("ldhName":"xn--e1afmkfd.com","unicodeName":"пример.com")")) << u"пример.com"_qs
        << TStatus::Taken << no << none << Base;
    QTest::newRow("Unicode form alone") << Rdap(200, DomainObject(R"("unicodeName":"пример.com")")) << u"пример.com"_qs
                                        << TStatus::Taken << no << none << Base;
    QTest::newRow("U-label in ldhName") << Rdap(200, DomainObject(R"("ldhName":"пример.com")")) << u"пример.com"_qs
                                        << TStatus::Taken << no << none << Base;
    QTest::newRow("long s is no s") << Rdap(200, DomainObject(R"("ldhName":"ſuncat.com")")) << u"suncat.com"_qs
                                    << TStatus::Failed << no << RdapReasons::OtherName(u"ſuncat.com"_qs).Text << Base;
    QTest::newRow("Unicode letter case is not ignored")
        << Rdap(200, DomainObject(R"("unicodeName":"ПРИМЕР.com")")) << u"пример.com"_qs << TStatus::Failed << no
        << RdapReasons::OtherName(u"ПРИМЕР.com"_qs).Text << Base;
    QTest::newRow("Unicode form of another name")
        << Rdap(200, DomainObject(R"("ldhName":"redcat.com","unicodeName":"other.com")")) << name << TStatus::Failed
        << no << RdapReasons::OtherName(u"other.com"_qs).Text << Base;
    QTest::newRow("another name") << Rdap(200, DomainObject(R"("ldhName":"other.com")")) << name << TStatus::Failed
                                  << no << RdapReasons::OtherName(u"other.com"_qs).Text << Base;
    QTest::newRow("a longer name that contains it")
        << Rdap(200, DomainObject(R"("ldhName":"redcat.com.evil")")) << name << TStatus::Failed << no
        << RdapReasons::OtherName(u"redcat.com.evil"_qs).Text << Base;
    QTest::newRow("no name") << Rdap(200, DomainObject(R"("status":["active"])")) << name << TStatus::Failed << no
                             << RdapReasons::OtherName(QString()).Text << Base;
    QTest::newRow("another object") << Rdap(200, R"({"objectClassName":"entity","ldhName":"redcat.com"})") << name
                                    << TStatus::Failed << no << RdapReasons::NotDomain().Text << Base;
    QTest::newRow("200 not JSON") << Answer(200, "<html>parked</html>") << name << TStatus::Failed << no
                                  << RdapReasons::NotJson().Text << Base;
    QTest::newRow("200 empty") << Rdap(200) << name << TStatus::Failed << no << RdapReasons::NotJson().Text << Base;
    QTest::newRow("200 JSON array") << Rdap(200, "[1,2]") << name << TStatus::Failed << no
                                    << RdapReasons::NotJson().Text << Base;
    QTest::newRow("200 from a server the list does not name")
        << Rdap(200, DomainObject(R"("ldhName":"redcat.com")"), u"https://gateway.example/x"_qs) << name
        << TStatus::Failed << no << RdapReasons::OtherServer(QUrl(u"https://gateway.example/"_qs)).Text << none;

    // Refusals say nothing about the name; other statuses fail it.
    const QString limit = CheckReasons::RateLimited().Text;
    QTest::newRow("429") << Answer(429, {}, { { "Retry-After", "3" } }) << name << TStatus::Failed << qint64(3000)
                         << limit << Base;
    QTest::newRow("429 without Retry-After")
        << Answer(429) << name << TStatus::Failed << qint64(10000) << limit << Base;
    QTest::newRow("403 page: queries exceeded")
        << Answer(403, "<html><body>Number of allowed queries exceeded.</body></html>", { { "Content-Type", html } })
        << name << TStatus::Failed << qint64(10000) << limit << Base;
    QTest::newRow("403 JSON: too many requests") << Rdap(403, R"({"errorCode":403,"title":"Too Many Requests"})")
                                                 << name << TStatus::Failed << qint64(10000) << limit << Base;
    QTest::newRow("503 with Retry-After")
        << Answer(503, {}, { { "Retry-After", "5" } }) << name << TStatus::Failed << qint64(5000) << limit << Base;
    QTest::newRow("503 rate limit, upper case")
        << Answer(503, "RATE LIMIT REACHED") << name << TStatus::Failed << qint64(10000) << limit << Base;
    QTest::newRow("403 without a word of limits")
        << Answer(403, "Forbidden") << name << TStatus::Failed << no << RdapReasons::Status(403).Text << Base;
    QTest::newRow("503 without a word of limits")
        << Answer(503) << name << TStatus::Failed << no << RdapReasons::Status(503).Text << Base;
    QTest::newRow("500") << Rdap(500, R"({"errorCode":500})") << name << TStatus::Failed << no
                         << RdapReasons::Status(500).Text << Base;
    QTest::newRow("redirect without a place")
        << Answer(302) << name << TStatus::Failed << no << RdapReasons::Status(302).Text << Base;
    QTest::newRow("interim status as the answer")
        << Answer(102) << name << TStatus::Failed << no << RdapReasons::Status(102).Text << Base;
}

void TestRdapVerdicts::verdicts()
{
    QFETCH(THttpAnswer, answer);
    QFETCH(QString, name);
    QFETCH(TStatus, status);
    QFETCH(qint64, retryMs);
    QFETCH(QString, reason);
    QFETCH(QString, server);
    const TRdapVerdict v = JudgeRdapAnswer(answer, name, { Base, Listed }, QDateTime::currentDateTimeUtc());
    QCOMPARE(v.Status, status);
    QCOMPARE(v.Refused, retryMs >= 0);
    if (retryMs >= 0)
        QCOMPARE(v.RetryAfterMs, retryMs);
    QCOMPARE(v.Failure.Text, reason);
    QCOMPARE(v.Server, server);
}

QTEST_GUILESS_MAIN(TestRdapVerdicts)
#include "tst_rdapverdicts.moc"
