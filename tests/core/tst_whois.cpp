#include "core/checks/RunSession.h"
#include "core/common/Errors.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"
#include "support/WhoisTestServer.h"

#include <QTest>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using TMode = TWhoisTestServer::TMode;

namespace
{

const QString FailureText = u"Одно или несколько доменных имен не удалось проверить на занятость, возможно сервера "
                            "whois указанные в настройках не отвечают."_qs;

// Short limits so that the time-limit cases take a second or two, not a minute.
TWhoisLimits TestLimits()
{
    TWhoisLimits l;
    l.ConnectMs = 1000;
    l.IdleMs = 1000;
    l.TotalMs = 3000;
    return l;
}

TCandidate Candidate(const QString& Name)
{
    return { Name, Name.mid(Name.lastIndexOf(u'.') + 1), {}, {} };
}

// A session whose check goes to a loopback server, with the given candidates.
struct TCheck {
    TWhoisTestServer Server;
    TRunSession Session;
    TSessionProbe Probe { Session };
    QList<TCandidate> Names;
    TCheckSetup Setup;

    explicit TCheck(const QStringList& Names, const QStringList& WhoisLines = { u"*:127.0.0.1"_qs })
    {
        Setup.WhoisPort = Server.Port();
        Setup.WhoisLimits = TestLimits();
        // A refusal pauses the server for its window: a short one keeps the test short.
        Setup.Limits = TServerLimits({ u"*:1000:1"_qs });
        Setup.Servers = TCheckSetup::ParseZoneServers(WhoisLines);
        for (const QString& n : Names)
            this->Names << Candidate(n);
    }

    // The check of every candidate, waited for.
    void Check()
    {
        const int before = Probe.Finished;
        QVERIFY(Session.Restore(Names));
        QVERIFY(Session.Recheck(Setup, false));
        QVERIFY(Probe.WaitFinished(before + 1));
    }

    QList<TStatus> Statuses() const { return Probe.Statuses(); }
    const QList<TCandidate>& Candidates() const { return Session.Candidates(); }
    // The end-of-run message as the window shows it; empty when nothing failed.
    QString Message() const { return TRunSession::FailureMessage(Candidates(), Probe.Summary); }
};

// A port on 127.0.0.1 whose one-place accept queue is already full, so a further connection hangs.
class TFullListener
{
public:
    TFullListener()
    {
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        FListener = socket(AF_INET, SOCK_STREAM, 0);
        bind(FListener, reinterpret_cast<sockaddr*>(&a), len);
        listen(FListener, 0);
        getsockname(FListener, reinterpret_cast<sockaddr*>(&a), &len);
        FPort = ntohs(a.sin_port);
        for (int& c : FFillers) {
            c = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(c, reinterpret_cast<sockaddr*>(&a), len);
        }
        // The queue is full once the first filler is connected; the second one's handshake goes unanswered.
        pollfd first { FFillers[0], POLLOUT, 0 };
        FFilled = ::poll(&first, 1, 5000) == 1 && !(first.revents & (POLLERR | POLLHUP));
    }
    ~TFullListener()
    {
        for (int c : FFillers)
            close(c);
        close(FListener);
    }
    quint16 Port() const { return FPort; }
    bool Filled() const { return FFilled; }

private:
    int FListener = -1;
    int FFillers[2] {};
    quint16 FPort = 0;
    bool FFilled = false;
};

} // namespace

class TestWhois : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void association_data();
    void association();
    void associationRecords();
    void answers_data();
    void answers();
    void unreachable_data();
    void unreachable();
    void oneSummaryForSeveralFailures();
    void stopMidCheck();
    void switchOffSendsNothing();
};

void TestWhois::association_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("server");
    const QStringList ru { u"RU:ru.srv"_qs };
    QTest::newRow("ru matches RU") << ru << u"ru"_qs << u"ru.srv"_qs;
    QTest::newRow("Ru matches RU") << ru << u"Ru"_qs << u"ru.srv"_qs;
    QTest::newRow("RU matches RU") << ru << u"RU"_qs << u"ru.srv"_qs;
    QTest::newRow("рф matches РФ") << QStringList { u"РФ:rf.srv"_qs } << u"рф"_qs << u"rf.srv"_qs;
    const QStringList starFirst { u"*:star.srv"_qs, u"com:com.srv"_qs };
    QTest::newRow("star first, com") << starFirst << u"com"_qs << u"com.srv"_qs;
    QTest::newRow("star first, other zone") << starFirst << u"net"_qs << u"star.srv"_qs;
    QTest::newRow("two lines for one zone")
        << QStringList { u"com:first.srv"_qs, u"COM:second.srv"_qs } << u"com"_qs << u"first.srv"_qs;
    QTest::newRow("last star wins") << QStringList { u"*:a.srv"_qs, u"*:b.srv"_qs } << u"biz"_qs << u"b.srv"_qs;
    QTest::newRow("line without colon") << QStringList { u"com"_qs, u"*:star.srv"_qs } << u"com"_qs << QString();
    QTest::newRow("no server, no default") << QStringList { u"ru:ru.srv"_qs } << u"com"_qs << QString();
    QTest::newRow("trailing space not trimmed") << QStringList { u"ru :ru.srv"_qs } << u"ru"_qs << QString();
    QTest::newRow("Unicode zone by its IDNA form") << QStringList { u"рф:rf.srv"_qs } << u"xn--p1ai"_qs << u"rf.srv"_qs;
    QTest::newRow("zone:host:port keeps the host") << QStringList { u"ru:ru.srv:43"_qs } << u"ru"_qs << u"ru.srv"_qs;
}

void TestWhois::association()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, zone);
    QFETCH(QString, server);
    QCOMPARE(TCheckSetup::ServerFor(TCheckSetup::ParseZoneServers(lines), zone), server);
}

void TestWhois::associationRecords()
{
    const QList<TZoneServer> servers = TCheckSetup::ParseZoneServers(
        { u"RU:whois.tcinet.ru"_qs, QString(), u"nocolon"_qs, u"com:"_qs, u":host"_qs });
    const QList<std::pair<QString, QString>> expected { { u"RU"_qs, u"whois.tcinet.ru"_qs }, { QString(), QString() },
        { u"nocolon"_qs, QString() }, { u"com"_qs, QString() }, { QString(), u"host"_qs } };
    QCOMPARE(servers.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QCOMPARE(servers.at(i).Zone, expected.at(i).first);
        QCOMPARE(servers.at(i).Server, expected.at(i).second);
    }
}

void TestWhois::answers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TMode>("mode");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("intervalMs");
    QTest::addColumn<TStatus>("status");
    // What the server must receive; empty when nothing may be sent.
    QTest::addColumn<QByteArray>("line");
    // For a failed check, its reason as the user reads it.
    QTest::addColumn<QString>("reason");

    const QString name = u"redcat.ru"_qs;
    const QByteArray line = "redcat.ru\r\n";
    const TStatus free = TStatus::Free;
    const TStatus taken = TStatus::Taken;
    const TStatus failed = TStatus::Failed;
    const QString ok;
    // A server of the user's own: the registries' forms, each the whole line, letter case ignored.
    for (const char* form :
        { "No entries found", "No match for redcat.ru", "No match for \"REDCAT.RU\".", "Nothing found for this query.",
            "NOT FOUND", "Domain not found", "No Data Found", "No Match", "no match for REDCAT.RU" })
        QTest::addRow("free: %s", form) << name << TMode::Answer << QByteArray("% header\r\n") + form + "\r\n"
                                        << 0 << free << line << ok;
    // A phrase in a sentence could be about anything: only the whole line is the registry's word.
    QTest::newRow("phrase inside a sentence")
        << name << TMode::Answer << QByteArray("Sorry. No match for \"REDCAT.RU\" in our records.") << 0 << failed
        << line << u"ответ сервера не распознан"_qs;
    QTest::newRow("record of the name") << name << TMode::Answer
                                        << QByteArray("domain: REDCAT.RU\r\nstate: REGISTERED\r\n") << 0 << taken
                                        << line << ok;
    QTest::newRow("no phrase, no record") << name << TMode::Answer << QByteArray("state: REGISTERED\r\n") << 0 << failed
                                          << line << u"ответ сервера не распознан"_qs;
    // Asked again after each refusal, and failed at the third (the forms themselves are the judge's
    // table's business).
    for (const char* refusal : { "Rate limit exceeded", "% You have exceeded allowed connection rate." })
        QTest::addRow("refusal: %s", refusal)
            << name << TMode::Answer << QByteArray("No match for redcat.ru\r\n") + refusal + "\r\n"
            << 0 << failed << line + line + line << u"превышен лимит запросов"_qs;
    QTest::newRow("empty answer") << name << TMode::Answer << QByteArray() << 0 << failed << line
                                  << u"сервер закрыл соединение, ничего не ответив"_qs;
    // The part that arrived holds a free phrase: judging it would call a name free on half an answer.
    QTest::newRow("reset mid-answer") << name << TMode::Reset << QByteArray("No entries found for") << 0 << failed
                                      << line << u"соединение оборвано"_qs;
    QTest::newRow("silence past the limit")
        << name << TMode::Silent << QByteArray() << 0 << failed << line << u"сервер не ответил за 1 с"_qs;
    QTest::newRow("endless stream past 1 MiB") << name << TMode::Endless << QByteArray(4096, 'x') << 0 << failed << line
                                               << u"ответ сервера длиннее 1048576 байт"_qs;
    QTest::newRow("exactly 1 MiB") << name << TMode::Answer << QByteArray((1 << 20) - 9, ' ') + "NOT FOUND" << 0 << free
                                   << line << ok;
    QTest::newRow("one byte past 1 MiB") << name << TMode::Answer << QByteArray((1 << 20) - 8, ' ') + "NOT FOUND" << 0
                                         << failed << line << u"ответ сервера длиннее 1048576 байт"_qs;
    // Three bytes every 250 ms: longer in all than the silence limit, each gap well inside it, and the
    // pieces split the phrase.
    QTest::newRow("slow drip within the limits")
        << name << TMode::Drip << QByteArray("No entries found\r\n") << 250 << free << line << ok;
    QTest::newRow("drip past the total limit") << name << TMode::Endless << QByteArray("No match for ") << 200 << failed
                                               << line << u"сервер не закончил ответ за 3 с"_qs;
    QTest::newRow("Cyrillic name in IDNA form") << u"кот.рф"_qs << TMode::Answer << QByteArray("No entries found") << 0
                                                << free << QByteArray("xn--j1aim.xn--p1ai\r\n") << ok;
    QTest::newRow("ASCII name exactly as stored")
        << u"RedCat.RU"_qs << TMode::Answer << QByteArray("Domain Name: redcat.ru") << 0 << taken
        << QByteArray("RedCat.RU\r\n") << ok;
    const QString invalid = u"недопустимое доменное имя"_qs;
    QTest::newRow("space in the name") << u"red cat.ru"_qs << TMode::Answer << QByteArray("No entries found") << 0
                                       << failed << QByteArray() << invalid;
    QTest::newRow("no IDNA form") << u"red cat.рф"_qs << TMode::Answer << QByteArray("No entries found") << 0 << failed
                                  << QByteArray() << invalid;
    QTest::newRow("line break inside the name")
        << u"red\r\ncat.ru"_qs << TMode::Answer << QByteArray("No entries found") << 0 << failed << QByteArray()
        << invalid;
}

void TestWhois::answers()
{
    QFETCH(QString, name);
    QFETCH(TMode, mode);
    QFETCH(QByteArray, text);
    QFETCH(int, intervalMs);
    QFETCH(TStatus, status);
    QFETCH(QByteArray, line);
    QFETCH(QString, reason);

    TCheck c({ name });
    c.Server.Default = { mode, text, intervalMs, 3 };
    c.Check();

    const TCandidate& d = c.Candidates().at(0);
    QCOMPARE(d.Status, status);
    QCOMPARE(d.Reason().Text, reason);
    QCOMPARE(d.Failed(), !reason.isEmpty());
    // The server asked is kept with every name that reached one.
    QCOMPARE(d.Server(), line.isEmpty() ? QString() : u"127.0.0.1"_qs);
    QCOMPARE(c.Server.Received.join(), line);
    const bool failed = status == TStatus::Failed;
    QCOMPARE(c.Probe.Summary.CheckFailures, int(failed));
    QCOMPARE(c.Message(), failed ? FailureText + u'\n' + d.Reason().Label + u" — 1"_qs : QString());
}

void TestWhois::unreachable_data()
{
    QTest::addColumn<bool>("full");
    QTest::addColumn<QString>("reason");
    QTest::newRow("connection refused") << false << u"сервер отклонил соединение"_qs;
    QTest::newRow("connection never accepted") << true << u"сервер не принял соединение за 0.5 с"_qs;
}

void TestWhois::unreachable()
{
    QFETCH(bool, full);
    QFETCH(QString, reason);
    TCheck c({ u"redcat.ru"_qs, u"catred.ru"_qs });
    std::unique_ptr<TFullListener> listener;
    if (full) {
        listener = std::make_unique<TFullListener>();
        QVERIFY(listener->Filled());
        c.Setup.WhoisPort = listener->Port();
    } else {
        // A port that was just free: nothing listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        c.Setup.WhoisPort = probe.serverPort();
    }
    // Only the connection limit may end a query that never connects.
    c.Setup.WhoisLimits.ConnectMs = 500;
    c.Setup.WhoisLimits.TotalMs = 600000;
    c.Check();
    QCOMPARE(c.Statuses(), (QList<TStatus> { TStatus::Failed, TStatus::Failed }));
    QCOMPARE(c.Probe.Summary.CheckFailures, 2);
    QCOMPARE(c.Candidates().at(0).Reason().Text, reason);
    QCOMPARE(c.Candidates().at(1).Reason().Text, reason);
}

void TestWhois::oneSummaryForSeveralFailures()
{
    // ru goes to the server, xx has no server of its own and no default.
    TCheck c({ u"a.ru"_qs, u"b.xx"_qs, u"c.ru"_qs, u"d.ru"_qs, u"e.xx"_qs }, { u"ru:127.0.0.1"_qs });
    c.Server.Script("a.ru", { TMode::Answer, "No entries found" });
    c.Server.Script("c.ru", { TMode::Answer, QByteArray() });
    c.Check();
    QCOMPARE(c.Statuses(),
        (QList<TStatus> { TStatus::Free, TStatus::Failed, TStatus::Failed, TStatus::Taken, TStatus::Failed }));
    QCOMPARE(c.Probe.Summary.CheckFailures, 3);
    // One message, its first line fixed, then the failures counted by reason.
    QCOMPARE(c.Message(),
        FailureText + u"\nнет сервера WHOIS для зоны — 2; сервер закрыл соединение, ничего не ответив — 1"_qs);
    QCOMPARE(c.Server.Received, (QList<QByteArray> { "a.ru\r\n", "c.ru\r\n", "d.ru\r\n" }));
    QCOMPARE(c.Probe.Progress.Total, 5);
    QCOMPARE(c.Probe.Progress.Done, 5);
}

void TestWhois::stopMidCheck()
{
    TCheck c({ u"a.ru"_qs, u"b.ru"_qs, u"c.ru"_qs, u"d.ru"_qs, u"e.ru"_qs });
    c.Server.Default = { TMode::Answer, "No entries found" };
    c.Server.Script("b.ru", { TMode::Answer, QByteArray() });
    // The stop request arrives as the third answer is judged.
    c.Probe.OnProgress = [&c](const TRunProgress& p) {
        if (p.Done == 3)
            c.Session.Stop();
    };
    c.Check();
    QCOMPARE(c.Statuses(),
        (QList<TStatus> { TStatus::Free, TStatus::Failed, TStatus::Free, TStatus::Unchecked, TStatus::Unchecked }));
    // Names not asked about are unchecked, not failed.
    QVERIFY(!c.Candidates().at(3).Failed());
    QCOMPARE(c.Server.Received.size(), 3);
    QCOMPARE(c.Probe.Progress.Done, 3);
    // The earlier failure is still counted.
    QVERIFY(c.Probe.Summary.Stopped);
    QCOMPARE(c.Probe.Summary.CheckFailures, 1);
}

void TestWhois::switchOffSendsNothing()
{
    TCheck c({ u"a.ru"_qs, u"b.ru"_qs }, { u"ru:127.0.0.1"_qs });
    TRunRequest request;
    request.NamesGiven = true;
    request.Names = QStringList { u"a.ru"_qs, u"b.ru"_qs };
    request.Setup = c.Setup;
    QVERIFY(c.Session.Start(request));
    QVERIFY(c.Probe.WaitFinished());
    QCOMPARE(c.Server.Connections, 0);
    QCOMPARE(c.Statuses(), (QList<TStatus> { TStatus::Unchecked, TStatus::Unchecked }));
}

QTEST_GUILESS_MAIN(TestWhois)
#include "tst_whois.moc"
