// What a check may conclude from an answer, and which keywords and names it may ask about at all.
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/checks/CheckRun.h"
#include "core/checks/RunSession.h"
#include "core/checks/WhoisRules.h"
#include "core/reports/JsonLines.h"
#include "support/StatusText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace
{

enum TExpect { Free, Taken, Failed, Refused };

const QByteArray TcinetHeader = "% TCI Whois Service. Terms of use:\n"
                                "% https://tcinet.ru/documents/whois_ru_rf.pdf (in Russian)\n"
                                "% https://tcinet.ru/documents/whois_su.pdf (in Russian)\n\n";
const QByteArray TcinetRecord = "domain:        REDCAT.RU\n"
                                "nserver:       ns1.example.net.\n"
                                "state:         REGISTERED, DELEGATED, VERIFIED\n"
                                "registrar:     TEST-RU\n"
                                "created:       2005-01-01T00:00:00Z\n"
                                "source:        TCI\n\n"
                                "Last updated on 2026-12-10T04:00:00Z\n";
const QByteArray VerisignFooter = ">>> Last update of whois database: 2026-12-10T04:00:00Z <<<\r\n\r\n"
                                  "NOTICE: The expiration date displayed in this record is the date the\r\n"
                                  "registrar's sponsorship of the domain name registration in the registry is\r\n"
                                  "currently set to expire.\r\n";
const QByteArray VerisignRecord = "   Domain Name: REDCAT.COM\r\n"
                                  "   Registry Domain ID: 1234567_DOMAIN_COM-VRSN\r\n"
                                  "   Registrar WHOIS Server: whois.example.com\r\n"
                                  "   Name Server: NS1.EXAMPLE.NET\r\n";

} // namespace

class TestVerdicts : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void judge_data();
    void judge();
    void keywords_data();
    void keywords();
    void names_data();
    void names();
    void failureCounts();
    void everyDistinctTextKept();
    void jsonLines();
};

void TestVerdicts::judge_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("expect");
    // For failures, the reason's label.
    QTest::addColumn<QString>("label");

    const QString tci = u"whois.tcinet.ru"_qs;
    const QString vrsn = u"whois.verisign-grs.com"_qs;
    const QString pir = u"whois.pir.org"_qs;
    const QString biz = u"whois.nic.biz"_qs;
    const QString edu = u"whois.educause.edu"_qs;
    const QString own = u"whois.example.net"_qs;
    const QString none;
    const QString limit = u"превышен лимит запросов"_qs;
    const QString down = u"сервер временно не отвечает на запросы"_qs;
    const QString unknown = u"ответ сервера не распознан"_qs;
    const QString other = u"сервер ответил о другом имени"_qs;

    // The registries of the built-in list, in the forms they send.
    QTest::newRow("tcinet taken") << tci << u"redcat.ru"_qs << TcinetHeader + TcinetRecord << int(Taken) << none;
    QTest::newRow("tcinet free") << tci << u"redcat.ru"_qs
                                 << TcinetHeader + "No entries found for the selected source(s).\n\nLast updated on x\n"
                                 << int(Free) << none;
    QTest::newRow("tcinet IDN record") << tci << u"кот.рф"_qs
                                       << TcinetHeader + "domain:        XN--J1AIM.XN--P1AI\nstate: REGISTERED\n"
                                       << int(Taken) << none;
    QTest::newRow("tcinet rate refusal") << tci << u"redcat.ru"_qs
                                         << QByteArray("% You have exceeded allowed connection rate.\n"
                                                       "% Please try to connect later.\n")
                                         << int(Refused) << limit;
    QTest::newRow("tcinet record with a stray free remark")
        << tci << u"redcat.ru"_qs << TcinetHeader + "% Note: No entries found in the secondary mirror\n" + TcinetRecord
        << int(Taken) << none;
    QTest::newRow("tcinet stray remark alone")
        << tci << u"redcat.ru"_qs << TcinetHeader + "% Note: No entries found in the secondary mirror\n"
        << int(Failed) << unknown;
    QTest::newRow("verisign taken") << vrsn << u"redcat.com"_qs << VerisignRecord + VerisignFooter << int(Taken)
                                    << none;
    QTest::newRow("verisign free") << vrsn << u"redcat.com"_qs << "No match for \"REDCAT.COM\".\r\n" + VerisignFooter
                                   << int(Free) << none;
    QTest::newRow("verisign free for another name")
        << vrsn << u"redcat.com"_qs << "No match for \"OTHER.COM\".\r\n" + VerisignFooter << int(Failed) << other;
    QTest::newRow("verisign free, IDN in its ASCII form")
        << vrsn << u"кот.com"_qs << "No match for \"XN--J1AIM.COM\".\r\n" + VerisignFooter << int(Free) << none;
    QTest::newRow("verisign free, IDN in its Unicode form")
        << vrsn << u"кот.com"_qs << "No match for \"кот.com\".\r\n" + VerisignFooter << int(Free) << none;
    QTest::newRow("verisign, long s is no s")
        << vrsn << u"suncat.com"_qs << "No match for \"\xc5\xbfuncat.com\".\r\n" + VerisignFooter << int(Failed)
        << unknown;
    QTest::newRow("verisign record of another name")
        << vrsn << u"redcat.com"_qs << QByteArray("   Domain Name: OTHER.COM\r\n") + VerisignFooter << int(Failed)
        << other;
    QTest::newRow("verisign free line inside a sentence")
        << vrsn << u"redcat.com"_qs << "Sorry, No match for \"REDCAT.COM\". Try later?\r\n" + VerisignFooter
        << int(Failed) << unknown;
    QTest::newRow("tcinet record of another name, then not found")
        << tci << u"redcat.ru"_qs
        << TcinetHeader + "domain:        OTHER.RU\nstate: REGISTERED\n\nNo entries found for the selected source(s).\n"
        << int(Failed) << other;
    QTest::newRow("pir record of another name, then NOT FOUND")
        << pir << u"redcat.org"_qs << QByteArray("Domain Name: other.org\r\nNOT FOUND\r\n") << int(Failed) << other;
    QTest::newRow("verisign database down")
        << vrsn << u"redcat.com"_qs << QByteArray("Sorry, the Whois database is currently down.\r\n") << int(Refused)
        << down;
    QTest::newRow("pir taken") << pir << u"redcat.org"_qs
                               << QByteArray("Domain Name: redcat.org\r\nRegistry Domain ID: x\r\n") << int(Taken)
                               << none;
    QTest::newRow("pir free") << pir << u"redcat.org"_qs << QByteArray("NOT FOUND\r\n") << int(Free) << none;
    QTest::newRow("pir free, older form")
        << pir << u"redcat.org"_qs << QByteArray("Domain not found.\r\n") << int(Free) << none;
    QTest::newRow("pir limit") << pir << u"redcat.org"_qs
                               << QByteArray("WHOIS LIMIT EXCEEDED - SEE WWW.PIR.ORG/WHOIS FOR DETAILS\r\n")
                               << int(Refused) << limit;
    QTest::newRow("biz taken") << biz << u"redcat.biz"_qs << QByteArray("Domain Name: redcat.biz\r\n") << int(Taken)
                               << none;
    QTest::newRow("biz free") << biz << u"redcat.biz"_qs << QByteArray("No Data Found\r\n") << int(Free) << none;
    QTest::newRow("biz free, naming the name")
        << biz << u"redcat.biz"_qs << QByteArray("Not found: redcat.biz\r\n") << int(Free) << none;
    QTest::newRow("edu taken") << edu << u"redcat.edu"_qs
                               << QByteArray("Domain Name: REDCAT.EDU\r\n\r\nRegistrant:\r\n  Red Cat College\r\n")
                               << int(Taken) << none;
    QTest::newRow("edu free") << edu << u"redcat.edu"_qs << QByteArray("No Match\r\n") << int(Free) << none;
    QTest::newRow("edu free, upper case")
        << edu << u"redcat.edu"_qs << QByteArray("NO MATCH: REDCAT.EDU\r\n") << int(Free) << none;
    QTest::newRow("registry host in upper case")
        << u"WHOIS.PIR.ORG"_qs << u"redcat.org"_qs << QByteArray("NOT FOUND") << int(Free) << none;

    // Servers the user adds: the generic phrases, letter case ignored.
    QTest::newRow("generic free") << own << u"redcat.xyz"_qs << QByteArray("Nothing found for this query.\n")
                                  << int(Free) << none;
    QTest::newRow("generic free, lower case")
        << own << u"redcat.xyz"_qs << QByteArray("no match for redcat.xyz\n") << int(Free) << none;
    QTest::newRow("generic taken") << own << u"redcat.xyz"_qs << QByteArray("Domain Name: REDCAT.XYZ\n") << int(Taken)
                                   << none;
    QTest::newRow("generic taken with a free remark")
        << own << u"redcat.xyz"_qs << QByteArray("domain: redcat.xyz\n% No entries found in mirror\n") << int(Taken)
        << none;
    QTest::newRow("generic record without a name")
        << own << u"redcat.xyz"_qs << QByteArray("state: REGISTERED\n") << int(Failed) << unknown;
    QTest::newRow("generic free for another name")
        << own << u"redcat.xyz"_qs << QByteArray("No match for \"OTHER-NAME.COM\".\n") << int(Failed) << other;
    QTest::newRow("generic not-found inside a sentence")
        << own << u"redcat.xyz"_qs << QByteArray("The domain is NOT FOUND in the mirror, ask the registry.\n")
        << int(Failed) << unknown;
    QTest::newRow("generic record with the name on the next line, not-found footer")
        << own << u"redcat.xyz"_qs << QByteArray("Domain:\r\n    REDCAT.XYZ\r\n\r\nStatus: active\r\n\r\nNOT FOUND\r\n")
        << int(Taken) << none;
    QTest::newRow("generic record of another name on the next line, not-found footer")
        << own << u"redcat.xyz"_qs << QByteArray("Domain:\r\n    OTHER.XYZ\r\n\r\nStatus: active\r\n\r\nNOT FOUND\r\n")
        << int(Failed) << other;
    QTest::newRow("generic key without a name, then not found")
        << own << u"redcat.xyz"_qs << QByteArray("Domain:\r\n\r\nNOT FOUND\r\n") << int(Free) << none;
    QTest::newRow("generic try again") << own << u"redcat.xyz"_qs << QByteArray("Busy, please try again later.\n")
                                       << int(Refused) << down;

    // Answers that say nothing about the name.
    QTest::newRow("lone NUL") << tci << u"redcat.ru"_qs << QByteArray(1, '\0') << int(Failed)
                              << u"ответ сервера — не текст"_qs;
    QTest::newRow("blank lines") << tci << u"redcat.ru"_qs << QByteArray("\r\n\r\n  \r\n") << int(Failed)
                                 << u"пустой ответ сервера"_qs;
    QTest::newRow("binary junk") << vrsn << u"redcat.com"_qs << QByteArray("\x89PNG\r\n\x1a\n\x01\x02\xff", 11)
                                 << int(Failed) << u"ответ сервера — не текст"_qs;
    QTest::newRow("HTTP error line") << pir << u"redcat.org"_qs << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n")
                                     << int(Failed) << unknown;
    QTest::newRow("HTTP error line, own server")
        << own << u"redcat.xyz"_qs << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n") << int(Failed) << unknown;
}

void TestVerdicts::judge()
{
    QFETCH(QString, host);
    QFETCH(QString, name);
    QFETCH(QByteArray, answer);
    QFETCH(int, expect);
    QFETCH(QString, label);

    const TWhoisVerdict v = JudgeWhoisAnswer(answer, name, host);
    const TStatus status = expect == Free ? TStatus::Free : expect == Taken ? TStatus::Taken : TStatus::Failed;
    QCOMPARE(v.Status, status);
    QCOMPARE(v.Refused, expect == Refused);
    QCOMPARE(v.Failure.Label, label);
    QCOMPARE(v.Failure.Text.isEmpty(), label.isEmpty());
}

void TestVerdicts::keywords_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("keywords");
    QTest::newRow("as typed") << QStringList { u"red"_qs, u"cat"_qs } << QStringList { u"red"_qs, u"cat"_qs };
    QTest::newRow("blank and whitespace-only lines") << QStringList { u"red"_qs, QString(), u"   "_qs, u"\t"_qs,
        u"cat"_qs, u"\u00a0"_qs } << QStringList { u"red"_qs, u"cat"_qs };
    QTest::newRow("trimmed") << QStringList { u"  red"_qs, u"cat \t"_qs } << QStringList { u"red"_qs, u"cat"_qs };
    QTest::newRow("repeats, letter case ignored") << QStringList { u"Red"_qs, u"cat"_qs, u"red"_qs, u" RED "_qs,
        u"Кот"_qs, u"КОТ"_qs } << QStringList { u"Red"_qs, u"cat"_qs, u"Кот"_qs };
    QTest::newRow("inner space kept") << QStringList { u"red cat"_qs } << QStringList { u"red cat"_qs };
}

void TestVerdicts::keywords()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, keywords);
    QCOMPARE(CleanKeywords(lines), keywords);

    // The count and generation see the same keywords.
    const quint64 pairs = quint64(keywords.size()) * quint64(std::max<qsizetype>(keywords.size() - 1, 0));
    QCOMPARE(CandidateCount(CleanKeywords(lines), 1, 0), pairs);
}

void TestVerdicts::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("valid");
    const QString label63(63, u'a');
    QTest::newRow("letters and digits") << u"redcat2.ru"_qs << u"ru"_qs << true;
    QTest::newRow("upper case") << u"RedCat.RU"_qs << u"RU"_qs << true;
    QTest::newRow("inner hyphen") << u"red-cat.com"_qs << u"com"_qs << true;
    QTest::newRow("leading hyphen") << u"-redcat.com"_qs << u"com"_qs << false;
    QTest::newRow("trailing hyphen") << u"redcat-.com"_qs << u"com"_qs << false;
    QTest::newRow("space") << u"red cat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("dot in a keyword") << u"red.catdog.ru"_qs << u"ru"_qs << false;
    QTest::newRow("slash") << u"red/cat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("underscore") << u"red_cat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("control character") << u"red\tcat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("line break") << u"red\r\ncat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("label of 63") << label63 + u".ru"_qs << u"ru"_qs << true;
    QTest::newRow("label of 64") << label63 + u"a.ru"_qs << u"ru"_qs << false;
    QTest::newRow("name of 253") << label63 + u'.' + label63 + u'.' + label63 + u'.' + QString(61, u'b')
                                 << label63 + u'.' + label63 + u'.' + QString(61, u'b') << true;
    QTest::newRow("name of 254") << label63 + u'.' + label63 + u'.' + label63 + u'.' + QString(62, u'b')
                                 << label63 + u'.' + label63 + u'.' + QString(62, u'b') << false;
    QTest::newRow("valid IDN") << u"котик.рф"_qs << u"рф"_qs << true;
    QTest::newRow("IDN in upper case") << u"КОТИК.РФ"_qs << u"РФ"_qs << true;
    QTest::newRow("mixed scripts") << u"redкот.рф"_qs << u"рф"_qs << true;
    // Each letter beyond ASCII takes at least one octet of the ASCII form, behind its "xn--".
    QTest::newRow("IDN label over 63 octets") << QString(60, u'ж') + u".рф"_qs << u"рф"_qs << false;
    QTest::newRow("symbol") << u"red\u2605cat.ru"_qs << u"ru"_qs << false;
    QTest::newRow("emoji") << u"red\U0001F600.ru"_qs << u"ru"_qs << false;
    QTest::newRow("lone surrogate") << u"red"_qs + QChar(0xd800) + u".ru"_qs << u"ru"_qs << false;
    QTest::newRow("empty zone") << u"redcat."_qs << QString() << false;
    QTest::newRow("zone with a leading dot") << u"redcat..ru"_qs << u".ru"_qs << false;
    QTest::newRow("two-level zone") << u"redcat.msk.ru"_qs << u"msk.ru"_qs << true;
}

void TestVerdicts::names()
{
    QFETCH(QString, name);
    QFETCH(QString, zone);
    QFETCH(bool, valid);
    QCOMPARE(IsValidCandidateName(name, zone), valid);
}

void TestVerdicts::failureCounts()
{
    QList<TCandidate> list(6);
    list[0].Status = TStatus::Failed;
    list[0].SetReason(CheckReasons::NoAnswer(u"сервер не ответил за 15 с"_qs));
    list[1].Status = TStatus::Failed;
    list[1].SetReason(CheckReasons::RateLimited());
    list[2].Status = TStatus::Failed;
    list[2].SetReason(CheckReasons::RateLimited());
    list[3].Status = TStatus::Free;
    list[4].Status = TStatus::Failed;
    list[4].SetReason(CheckReasons::NoAnswer(u"сервер не принял соединение за 10 с"_qs));
    list[5].Status = TStatus::Failed;
    list[5].SetReason(CheckReasons::RateLimited());
    QCOMPARE(TRunSession::FailureCounts(list), u"превышен лимит запросов — 3; сервер не ответил — 2"_qs);
    TRunSummary summary;
    summary.CheckFailures = 5;
    QCOMPARE(TRunSession::FailureMessage(list, summary).section(u'\n', 1), TRunSession::FailureCounts(list));
    QCOMPARE(TRunSession::FailureCounts(list.mid(3, 1)), QString());
    QCOMPARE(TRunSession::FailureMessage(list.mid(3, 1), {}), QString());
    // The full text stays with the candidate.
    QCOMPARE(list.at(4).Reason().Text, u"сервер не принял соединение за 10 с"_qs);
}

void TestVerdicts::everyDistinctTextKept()
{
    // Past 65,535 distinct texts a 16-bit table would hand out a number already taken.
    QList<TCandidate> list(70000);
    for (qsizetype i = 0; i < list.size(); ++i) {
        list[i].SetServer(u"server%1.example"_qs.arg(i));
        list[i].SetReason({ u"label"_qs, u"reason %1"_qs.arg(i) });
    }
    for (const qsizetype i : { qsizetype(0), qsizetype(65534), qsizetype(65535), qsizetype(69999) }) {
        QCOMPARE(list.at(i).Server(), u"server%1.example"_qs.arg(i));
        QCOMPARE(list.at(i).Reason().Text, u"reason %1"_qs.arg(i));
    }
}

void TestVerdicts::jsonLines()
{
    TCandidate free { u"redcat.ru"_qs, u"ru"_qs, u"3"_qs, u"120"_qs };
    free.SetOutcome(TStatus::Free, TVia::Whois, u"whois.tcinet.ru"_qs);
    free.CheckedAt = 1709629622;
    TCandidate taken { u"котик.рф"_qs, u"рф"_qs, u"-1"_qs, QString() };
    taken.SetOutcome(TStatus::Taken, TVia::Whois, u"whois.tcinet.ru"_qs);
    TCandidate failed { u"say\"hi\\.com"_qs, u"com"_qs, QString(), u"n/a"_qs };
    failed.SetOutcome(TStatus::Failed, TVia::Whois, u"whois.verisign-grs.com"_qs, CheckReasons::RateLimited());
    failed.CheckedAt = 1709629683;
    // A time without a status (a verdict cleared by hand) is no verdict's time.
    TCandidate unchecked { u"catred.ru"_qs, u"ru"_qs, {}, {} };
    unchecked.CheckedAt = 1709629622;
    // A verdict may carry a reason too; the figures' failure has a field of its own.
    TCandidate reserved { u"reserved.com"_qs, u"com"_qs, {}, {} };
    reserved.SetOutcome(TStatus::Taken, TVia::Rdap, u"https://rdap.example/"_qs, { u"x"_qs, u"зарезервировано"_qs });
    reserved.SetMetricsReason(MetricsReasons::Failed(u"страница не ответила"_qs));

    struct TCase {
        const TCandidate& Candidate;
        const char* Status;
        QJsonValue Reason;
        QJsonValue Server;
        QJsonValue Via;
        QJsonValue PR;
        QJsonValue TIC;
        QJsonValue MetricsReason;
        // When the status was obtained; absent where the time is not known (a verdict of an old output).
        QJsonValue Checked;
    };
    const QJsonValue absent(QJsonValue::Undefined);
    const TCase cases[] = {
        { free, "free", absent, u"whois.tcinet.ru"_qs, u"whois"_qs, 3, 120, absent, u"2024-03-05T09:07:02Z"_qs },
        { taken, "taken", absent, u"whois.tcinet.ru"_qs, u"whois"_qs, -1, QJsonValue::Null, absent, absent },
        { failed, "failed", u"превышен лимит запросов"_qs, u"whois.verisign-grs.com"_qs, u"whois"_qs, QJsonValue::Null,
            u"n/a"_qs, absent, u"2024-03-05T09:08:03Z"_qs },
        { unchecked, "unchecked", absent, absent, absent, QJsonValue::Null, QJsonValue::Null, absent, absent },
        { reserved, "taken", u"зарезервировано"_qs, u"https://rdap.example/"_qs, u"rdap"_qs, QJsonValue::Null,
            QJsonValue::Null, u"страница не ответила"_qs, absent },
    };
    for (const TCase& c : cases) {
        const QByteArray line = CandidateJsonLine(c.Candidate);
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1);
        QJsonParseError error {};
        const QJsonObject o = QJsonDocument::fromJson(line, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o.value(u"name"), QJsonValue(c.Candidate.Name));
        QCOMPARE(o.value(u"zone"), QJsonValue(c.Candidate.Zone));
        QCOMPARE(o.value(u"status").toString(), QString::fromLatin1(c.Status));
        QCOMPARE(o.value(u"reason"), c.Reason);
        QCOMPARE(o.value(u"server"), c.Server);
        QCOMPARE(o.value(u"via"), c.Via);
        QCOMPARE(o.value(u"pr"), c.PR);
        QCOMPARE(o.value(u"tic"), c.TIC);
        QCOMPARE(o.value(u"metrics_reason"), c.MetricsReason);
        QCOMPARE(o.value(u"checked"), c.Checked);
        // Read back as the time it was written from.
        if (c.Checked.isString())
            QCOMPARE(CheckedOfText(c.Checked.toString()), c.Candidate.CheckedAt);
    }
}

QTEST_GUILESS_MAIN(TestVerdicts)
#include "tst_verdicts.moc"
