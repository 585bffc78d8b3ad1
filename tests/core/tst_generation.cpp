#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/checks/RunSession.h"
#include "support/SessionProbe.h"
#include "support/StatusText.h"

#include <QTest>
#include <limits>

namespace
{

QStringList Names(const QList<TCandidate>& List)
{
    QStringList out;
    for (const TCandidate& c : List)
        out << c.Name;
    return out;
}

// The names a run builds from the keyword lines as the user typed them.
QStringList Generate(const QStringList& words, const QStringList& zones, int mode = 0)
{
    QList<TCandidate> list;
    BuildCandidates(CleanKeywords(words), zones, mode, list);
    return Names(list);
}

} // namespace

class TestGeneration : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void workedExample();
    void twoWordEdges_data();
    void twoWordEdges();
    void longerNames_data();
    void longerNames();
    void countMatchesBuild_data();
    void countMatchesBuild();
    void countForms_data();
    void countForms();
    void tooManyIsRefusedUnbuilt();
    void zoneSharedAndFiguresEmpty();
    void newRunReplacesOld();
};

void TestGeneration::workedExample()
{
    QList<TCandidate> d;
    BuildCandidates({ u"red"_qs, u"cat"_qs, u"sun"_qs }, { u"ru"_qs, u"com"_qs }, 0, d);
    const QStringList expected { u"redcat.ru"_qs, u"redcat.com"_qs, u"redsun.ru"_qs, u"redsun.com"_qs, u"catred.ru"_qs,
        u"catred.com"_qs, u"catsun.ru"_qs, u"catsun.com"_qs, u"sunred.ru"_qs, u"sunred.com"_qs, u"suncat.ru"_qs,
        u"suncat.com"_qs };
    QCOMPARE(Names(d), expected);
    for (const TCandidate& c : d) {
        QCOMPARE(c.Status, TStatus::Unchecked);
        QVERIFY(c.PR.isEmpty());
        QVERIFY(c.TIC.isEmpty());
        QVERIFY(c.Name.endsWith(u'.' + c.Zone));
    }
    QCOMPARE(d.at(1).Zone, u"com"_qs);
}

void TestGeneration::twoWordEdges_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("zones");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one keyword") << QStringList { u"red"_qs } << QStringList { u"ru"_qs } << QStringList {};
    QTest::newRow("two equal keywords") << QStringList { u"red"_qs, u"red"_qs } << QStringList { u"ru"_qs }
                                        << QStringList {};
    QTest::newRow("no keywords") << QStringList {} << QStringList { u"ru"_qs } << QStringList {};
    QTest::newRow("no zones") << QStringList { u"a"_qs, u"b"_qs } << QStringList {} << QStringList {};
    // A repeated keyword is one keyword, so no name is built, or asked about, twice.
    QTest::newRow("red red cat") << QStringList { u"red"_qs, u"red"_qs, u"cat"_qs } << QStringList { u"ru"_qs }
                                 << QStringList { u"redcat.ru"_qs, u"catred.ru"_qs };
    QTest::newRow("blank keyword lines") << QStringList { u"red"_qs, QString(), u"  "_qs, u"cat"_qs }
                                         << QStringList { u"ru"_qs }
                                         << QStringList { u"redcat.ru"_qs, u"catred.ru"_qs };
    QTest::newRow("repeat in another letter case")
        << QStringList { u"Red"_qs, u"red"_qs } << QStringList { u"ru"_qs } << QStringList {};
    QTest::newRow("keyword letter case and zone case kept")
        << QStringList { u" Red "_qs, u"b"_qs } << QStringList { u"RU"_qs, u"РФ"_qs }
        << QStringList { u"Redb.RU"_qs, u"Redb.РФ"_qs, u"bRed.RU"_qs, u"bRed.РФ"_qs };
    QTest::newRow("empty zone line") << QStringList { u"a"_qs, u"b"_qs } << QStringList { QString() }
                                     << QStringList { u"ab."_qs, u"ba."_qs };
}

void TestGeneration::twoWordEdges()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, zones);
    QFETCH(QStringList, expected);
    QCOMPARE(Generate(words, zones, 0), expected);
}

void TestGeneration::longerNames_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("zoneCount");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("first");

    const QStringList four { u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs };
    const QStringList five { u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs };
    // n(n-1)(n-2)·m and n(n-1)(n-2)(n-3)·m
    QTest::newRow("3 words, 4 keywords, 2 zones")
        << 1 << four << 2 << 4 * 3 * 2 * 2
        << QStringList { u"abc.z0"_qs, u"abc.z1"_qs, u"abd.z0"_qs, u"abd.z1"_qs, u"acb.z0"_qs };
    QTest::newRow("3 words, 5 keywords, 1 zone")
        << 1 << five << 1 << 5 * 4 * 3 << QStringList { u"abc.z0"_qs, u"abd.z0"_qs, u"abe.z0"_qs, u"acb.z0"_qs };
    QTest::newRow("4 words, 4 keywords, 1 zone")
        << 2 << four << 1 << 4 * 3 * 2 * 1 << QStringList { u"abcd.z0"_qs, u"abdc.z0"_qs, u"acbd.z0"_qs };
    QTest::newRow("4 words, 5 keywords, 3 zones")
        << 2 << five << 3 << 5 * 4 * 3 * 2 * 3
        << QStringList { u"abcd.z0"_qs, u"abcd.z1"_qs, u"abcd.z2"_qs, u"abce.z0"_qs };
    QTest::newRow("3 words, repeated keyword used once")
        << 1 << QStringList { u"a"_qs, u"a"_qs, u"b"_qs, u"c"_qs } << 1 << 6
        << QStringList { u"abc.z0"_qs, u"acb.z0"_qs, u"bac.z0"_qs, u"bca.z0"_qs, u"cab.z0"_qs, u"cba.z0"_qs };
    QTest::newRow("3 words, only two different")
        << 1 << QStringList { u"a"_qs, u"b"_qs, u"a"_qs } << 1 << 0 << QStringList {};
    QTest::newRow("4 words, three keywords")
        << 2 << QStringList { u"a"_qs, u"b"_qs, u"c"_qs } << 2 << 0 << QStringList {};
}

void TestGeneration::longerNames()
{
    QFETCH(int, mode);
    QFETCH(QStringList, words);
    QFETCH(int, zoneCount);
    QFETCH(int, count);
    QFETCH(QStringList, first);
    QStringList zones;
    for (int i = 0; i < zoneCount; ++i)
        zones << u"z"_qs + QString::number(i);
    const QStringList names = Generate(words, zones, mode);
    QCOMPARE(names.size(), count);
    QCOMPARE(names.mid(0, first.size()), first);
}

void TestGeneration::countMatchesBuild_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("zoneCount");
    const QStringList mixed { u"a"_qs, u"b"_qs, u"a"_qs, QString(), u"c"_qs, u"b"_qs, u"d"_qs, u"A"_qs };
    for (int mode = 0; mode <= 2; ++mode) {
        QTest::addRow("mode %d%s", mode, ", empty") << mode << QStringList {} << 3;
        QTest::addRow("mode %d%s", mode, ", no zones") << mode << QStringList { u"a"_qs, u"b"_qs } << 0;
        QTest::addRow("mode %d%s", mode, ", all equal") << mode << QStringList { u"x"_qs, u"x"_qs, u"x"_qs } << 2;
        QTest::addRow("mode %d%s", mode, ", mixed duplicates") << mode << mixed << 3;
        QTest::addRow("mode %d%s", mode, ", distinct")
            << mode << QStringList { u"p"_qs, u"q"_qs, u"r"_qs, u"s"_qs, u"t"_qs } << 2;
    }
}

void TestGeneration::countMatchesBuild()
{
    QFETCH(int, mode);
    QFETCH(QStringList, words);
    QFETCH(int, zoneCount);
    QStringList zones;
    for (int i = 0; i < zoneCount; ++i)
        zones << u"z"_qs + QString::number(i);
    const QStringList built = Generate(words, zones, mode);
    // The window and the batch tool count and stream the keywords as the engine takes them.
    words = CleanKeywords(words);
    QVERIFY(CandidateCount(words, zones.size(), mode) == TCandidateCount(built.size()));
    // Streaming gives the same names in the same order, each a fresh unchecked candidate.
    QStringList streamed;
    ForEachCandidate(words, zones, mode, [&](const TCandidate& d) {
        streamed << d.Name;
        QCOMPARE(d.Status, TStatus::Unchecked);
        QVERIFY(d.PR.isNull() && d.TIC.isNull());
    });
    QCOMPARE(streamed, built);
}

namespace
{

QStringList Numbers(int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << QString::number(i);
    return words;
}

} // namespace

void TestGeneration::countForms_data()
{
    QTest::addColumn<int>("wordCount");
    QTest::addColumn<qsizetype>("zoneCount");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::newRow("within 64 bits") << 100000 << qsizetype(6) << 0 << u"59999400000"_qs;
    // 100000·99999·99998·99997·1000 needs 77 bits: exact, not wrapped round nor cut at 64 bits.
    QTest::newRow("past 64 bits, still exact") << 100000 << qsizetype(1000) << 2 << u"99994000109999400000000"_qs;
    QTest::newRow("past 128 bits") << 100000 << std::numeric_limits<qsizetype>::max() << 2
                                   << u"более 340282366920938463463374607431768211455"_qs;
}

void TestGeneration::countForms()
{
    QFETCH(int, wordCount);
    QFETCH(qsizetype, zoneCount);
    QFETCH(int, mode);
    QFETCH(QString, text);
    const TCandidateCount count = CandidateCount(Numbers(wordCount), zoneCount, mode);
    QCOMPARE(CandidateCountText(count), text);
    QCOMPARE(LargeRunQuestion(count),
        u"Будет создано "_qs + text + u" доменных имен. Это может занять много времени и памяти. Продолжить?"_qs);
}

void TestGeneration::tooManyIsRefusedUnbuilt()
{
    TRunSession session;
    TRunRequest first;
    first.Keywords = { u"a"_qs, u"b"_qs };
    first.Zones = { u"ru"_qs };
    QVERIFY(session.Start(first));
    TRunRequest huge;
    huge.Keywords = Numbers(100000);
    huge.Mode = 2;
    huge.Zones = { u"ru"_qs };
    QVERIFY_THROWS_EXCEPTION(std::exception, session.Start(huge));
    // Refused before anything was built: the list shown stays as it was.
    QCOMPARE(Names(session.Candidates()), (QStringList { u"ab.ru"_qs, u"ba.ru"_qs }));
    QVERIFY(!session.Running());
}

void TestGeneration::zoneSharedAndFiguresEmpty()
{
    const QStringList zones { QString::fromLatin1("ru") }; // heap text, as read from a file
    QList<TCandidate> d;
    BuildCandidates({ u"alpha"_qs, u"beta"_qs }, zones, 0, d);
    QCOMPARE(d.size(), 2);
    // The zone text is the zone list's own, not a copy; empty figures own no memory.
    QVERIFY(d.at(0).Zone.isSharedWith(zones.at(0)));
    QVERIFY(d.at(1).Zone.isSharedWith(zones.at(0)));
    QVERIFY(d.at(0).PR.isNull());
    QVERIFY(d.at(0).TIC.isNull());

    // Names are independent texts: changing one, or outliving the list, leaves the others intact.
    QString kept = d.at(0).Name;
    d[0].Name.append(u"xyz"_qs);
    QCOMPARE(d.at(0).Name, u"alphabeta.ruxyz"_qs);
    QCOMPARE(d.at(1).Name, u"betaalpha.ru"_qs);
    QCOMPARE(QString::fromUtf16(reinterpret_cast<const char16_t*>(d.at(1).Name.utf16())), u"betaalpha.ru"_qs);
    d.clear();
    kept.append(u"-more-text-than-fits-anywhere"_qs);
    QCOMPARE(kept, u"alphabeta.ru-more-text-than-fits-anywhere"_qs);
}

void TestGeneration::newRunReplacesOld()
{
    TRunSession session;
    TSessionProbe probe(session);
    TRunRequest request;
    request.Keywords = { u"a"_qs, u"b"_qs };
    request.Zones = { u"ru"_qs };
    QVERIFY(session.Start(request));
    QVERIFY(probe.WaitFinished(1));
    QCOMPARE(session.Candidates().size(), 2);
    request.Keywords = { u"x"_qs, u"x"_qs };
    QVERIFY(session.Start(request));
    QVERIFY(session.Candidates().isEmpty());
    QCOMPARE(probe.Resets, 2);
}

QTEST_GUILESS_MAIN(TestGeneration)
#include "tst_generation.moc"
