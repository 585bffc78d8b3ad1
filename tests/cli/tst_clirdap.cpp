// The batch tool's lists for a check: the RDAP bootstrap list from the data folder or --rdap-bootstrap,
// WHOIS only with --no-rdap, the protocol of each verdict in the JSON output, and the zone rules from the
// data folder or --zone-scripts.
#include "core/common/Paths.h"
#include "core/settings/DataFiles.h"
#include "support/HttpTestServer.h"
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace
{

QByteArray ComList(const QString& Base)
{
    return R"({"version":"1.0","services":[[["com"],[")" + Base.toUtf8() + R"("]]]})";
}

} // namespace

class TestCliRdap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void bootstrapSource_data();
    void bootstrapSource();
    void unusableBootstrap_data();
    void unusableBootstrap();
    void zoneRules_data();
    void zoneRules();

private:
    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<THttpTestServer> FRdap;
    std::unique_ptr<TWhoisTestServer> FWhois;
    QString FWords;
    QString FWhoisList;
    QStringList Common() const;
};

void TestCliRdap::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FRdap = std::make_unique<THttpTestServer>();
    // redcat.com is held, every other name is not.
    FRdap->Handler = [](const THttpTestServer::TRequest& r) {
        THttpTestServer::TReply reply;
        if (r.Target.endsWith("/domain/redcat.com"))
            return THttpTestServer::Text(
                R"({"objectClassName":"domain","ldhName":"REDCAT.COM"})", "application/rdap+json");
        reply.Status = 404;
        reply.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/rdap+json")));
        return reply;
    };
    FWhois = std::make_unique<TWhoisTestServer>();
    FWhois->Script(
        "redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" });
    FWords = FEnv->WriteFile(u"words.txt"_qs, "red\ncat\n");
    FWhoisList = FEnv->WriteFile(u"whois.dat"_qs, "*:127.0.0.1\r\n");
}

void TestCliRdap::cleanup()
{
    FWhois.reset();
    FRdap.reset();
    FEnv.reset();
}

QStringList TestCliRdap::Common() const
{
    return { u"-z"_qs, u"ru"_qs, u"-z"_qs, u"com"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, FWhoisList,
        u"--whois-port"_qs, QString::number(FWhois->Port()), u"-f"_qs, u"json"_qs };
}

void TestCliRdap::bootstrapSource_data()
{
    QTest::addColumn<QString>("inDataFolder"); // path on the RDAP server, or empty for no file
    QTest::addColumn<QString>("given"); // --rdap-bootstrap's path on the server, "-" for --no-rdap
    QTest::addColumn<QString>("asked"); // where the com names went: a path, or empty for WHOIS

    QTest::newRow("data folder") << u"/mine/"_qs << QString() << u"/mine/"_qs;
    QTest::newRow("option replaces the data folder's list") << u"/mine/"_qs << u"/given/"_qs << u"/given/"_qs;
    QTest::newRow("option without a list in the data folder") << QString() << u"/given/"_qs << u"/given/"_qs;
    QTest::newRow("--no-rdap") << u"/mine/"_qs << u"-"_qs << QString();
}

void TestCliRdap::bootstrapSource()
{
    QFETCH(QString, inDataFolder);
    QFETCH(QString, given);
    QFETCH(QString, asked);
    const QString server = FRdap->BaseUrl();
    // Without a file in the data folder, the shipped one would be copied there: an empty one stands in.
    WriteAll(GetDataFolder() + QString::fromUtf16(RdapBootstrapFileName),
        inDataFolder.isEmpty() ? QByteArray(R"({"services":[]})") : ComList(server + inDataFolder));
    QStringList args = Common();
    if (given == u"-")
        args << u"--no-rdap"_qs;
    else if (!given.isEmpty())
        args << u"--rdap-bootstrap"_qs << FEnv->WriteFile(u"given.json"_qs, ComList(server + given));
    const TToolResult r = RunTool(args << FWords);
    QCOMPARE(r.Code, 0);

    const bool rdap = !asked.isEmpty();
    QList<QByteArray> rdapAsked;
    for (const auto& request : FRdap->Requests)
        rdapAsked << request.Target;
    std::sort(rdapAsked.begin(), rdapAsked.end());
    QList<QByteArray> whoisAsked = FWhois->Received;
    std::sort(whoisAsked.begin(), whoisAsked.end());
    if (rdap) {
        const QByteArray path = asked.toUtf8();
        QCOMPARE(rdapAsked, QList<QByteArray>({ path + "domain/catred.com", path + "domain/redcat.com" }));
        QCOMPARE(whoisAsked, QList<QByteArray>({ "catred.ru\r\n", "redcat.ru\r\n" }));
    } else {
        QVERIFY(rdapAsked.isEmpty());
        QCOMPARE(
            whoisAsked, QList<QByteArray>({ "catred.com\r\n", "catred.ru\r\n", "redcat.com\r\n", "redcat.ru\r\n" }));
    }

    // Each line says which protocol judged the name and where.
    const QList<QByteArray> lines = r.Out.trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    for (const QByteArray& line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString name = o.value(u"name").toString();
        const bool overRdap = rdap && name.endsWith(u".com");
        QCOMPARE(o.value(u"via").toString(), overRdap ? u"rdap"_qs : u"whois"_qs);
        QCOMPARE(o.value(u"server").toString(), overRdap ? server + asked : u"127.0.0.1"_qs);
        QCOMPARE(o.value(u"status").toString(),
            name.startsWith(u"redcat") ? (name.endsWith(u".ru") ? u"free"_qs : u"taken"_qs)
                                       : (overRdap ? u"free"_qs : u"taken"_qs));
    }
    // The field order too, the verdict's time after the protocol.
    const QString checked = QJsonDocument::fromJson(lines.at(1)).object().value(u"checked").toString();
    QVERIFY(checked.endsWith(u'Z'));
    if (rdap)
        QCOMPARE(lines.at(1),
            u"{\"name\":\"redcat.com\",\"zone\":\"com\",\"status\":\"taken\",\"server\":\"%1\",\"via\":\"rdap\",\"checked\":\"%2\",\"pr\":null,\"tic\":null}"_qs
                .arg(server + asked, checked)
                .toUtf8());
}

void TestCliRdap::unusableBootstrap_data()
{
    QTest::addColumn<QStringList>("args"); // "LIST" stands for a broken list file
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("broken list given") << QStringList { u"--rdap-bootstrap"_qs, u"LIST"_qs } << 2 << u"LIST"_qs;
    QTest::newRow("missing list given") << QStringList { u"--rdap-bootstrap"_qs, u"/nonexistent/rdap.json"_qs } << 2
                                        << u"/nonexistent/rdap.json"_qs;
    QTest::newRow("both options") << QStringList { u"--rdap-bootstrap"_qs, u"LIST"_qs, u"--no-rdap"_qs } << 1
                                  << u"--no-rdap"_qs;
    QTest::newRow("empty file name") << QStringList { u"--rdap-bootstrap="_qs } << 1 << u"RDAP"_qs;
}

void TestCliRdap::unusableBootstrap()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, says);
    const QString broken = FEnv->WriteFile(u"broken.json"_qs, R"({"services": [[["com"]])");
    args.replaceInStrings(u"LIST"_qs, broken);
    says.replace(u"LIST"_qs, broken);
    const TToolResult r = RunTool(Common() + args << FWords);
    QCOMPARE(r.Code, code);
    QVERIFY2(QString::fromUtf8(r.Err).contains(says), r.Err.constData());
    // Nothing was asked with a list the user cannot have meant.
    QVERIFY(FWhois->Received.isEmpty());
    QVERIFY(FRdap->Requests.isEmpty());
}

void TestCliRdap::zoneRules_data()
{
    QTest::addColumn<QByteArray>("given"); // the --zone-scripts file; null: the data folder's (the shipped one)
    QTest::addColumn<QStringList>("asked");

    QTest::newRow("shipped rules") << QByteArray() << QStringList { u"catred.ru"_qs, u"redcat.ru"_qs };
    QTest::newRow("--zone-scripts") << QByteArray("ru:cyrillic\r\n") << QStringList();
    QTest::newRow("--zone-scripts of any script: still never mixed")
        << QByteArray("ru:*\r\n") << QStringList { u"catred.ru"_qs, u"redcat.ru"_qs };
}

// "redкот.ru" goes out as "xn--red-eeduy.ru" and comes back free: such a name is never sent.
void TestCliRdap::zoneRules()
{
    QFETCH(QByteArray, given);
    QFETCH(QStringList, asked);
    FWhois->Script(
        "redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" });
    QStringList args { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--no-dns"_qs, u"--whois-list"_qs, FWhoisList, u"--whois-port"_qs,
        QString::number(FWhois->Port()), u"-f"_qs, u"json"_qs };
    if (!given.isNull())
        args << u"--zone-scripts"_qs << FEnv->WriteFile(u"zones.dat"_qs, given);
    const TToolResult r = RunTool(args << FEnv->WriteFile(u"three.txt"_qs, "red\ncat\nкот\n"));
    QCOMPARE(r.Code, 4);

    QStringList whoisAsked;
    for (const QByteArray& line : FWhois->Received)
        whoisAsked << QString::fromLatin1(line.trimmed());
    whoisAsked.sort();
    QCOMPARE(whoisAsked, asked);
    const QList<QByteArray> lines = r.Out.trimmed().split('\n');
    QCOMPARE(lines.size(), 6);
    for (const QByteArray& line : lines) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (asked.contains(o.value(u"name").toString()))
            continue;
        QCOMPARE(o.value(u"status").toString(), u"failed"_qs);
        QCOMPARE(o.value(u"reason").toString(), u"имя недопустимо в зоне"_qs);
        QVERIFY(!o.contains(u"server"));
    }
    QVERIFY2(
        QString::fromUtf8(r.Err).contains(u"имя недопустимо в зоне — %1"_qs.arg(6 - asked.size())), r.Err.constData());
}

QTEST_GUILESS_MAIN(TestCliRdap)
#include "tst_clirdap.moc"
