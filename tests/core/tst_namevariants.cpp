// The name variants: hyphenated forms, prefixes and suffixes, the Latin spelling of Cyrillic keywords and
// the length limit; what each builds, alone and together, and that the count before a run is what it builds.
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/checks/RunSession.h"
#include "core/settings/ListFiles.h"

#include <QHash>
#include <QTest>

namespace
{

// The shipped Latin spelling table and zone rules, with the switches of a row.
TNameVariants Variants(
    bool Hyphen, const QStringList& Prefixes, const QStringList& Suffixes, bool Translit, int MaxLength)
{
    TNameVariants v;
    v.Hyphen = Hyphen;
    v.Prefixes = Prefixes;
    v.Suffixes = Suffixes;
    v.Translit = Translit;
    v.Table = TTransliteration(ReadListFile(QFINDTESTDATA("../../data/translit.dat")));
    v.ZoneScripts = TZoneScripts(ReadListFile(QFINDTESTDATA("../../data/zone-scripts.dat")));
    v.MaxLength = MaxLength;
    return v;
}

QStringList Built(const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& V)
{
    QList<TCandidate> list;
    BuildCandidates(Words, Zones, Mode, list, V);
    QStringList names;
    for (const TCandidate& d : list) {
        if (!d.Name.endsWith(u'.' + d.Zone))
            return { u"zone not at the end of "_qs + d.Name };
        names << d.Name;
    }
    return names;
}

QHash<QString, qint64> PerZone(const QList<TCandidate>& List)
{
    QHash<QString, qint64> counts;
    for (const TCandidate& d : List)
        ++counts[d.Zone];
    return counts;
}

void AddVariantColumns()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("zones");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("hyphen");
    QTest::addColumn<QStringList>("prefixes");
    QTest::addColumn<QStringList>("suffixes");
    QTest::addColumn<bool>("translit");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QStringList>("expected");
}

// The names of the row, built, streamed, counted, counted per zone and run by a session: all the same.
void CheckRow()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, zones);
    QFETCH(int, mode);
    QFETCH(bool, hyphen);
    QFETCH(QStringList, prefixes);
    QFETCH(QStringList, suffixes);
    QFETCH(bool, translit);
    QFETCH(int, maxLength);
    QFETCH(QStringList, expected);
    const TNameVariants v = Variants(hyphen, prefixes, suffixes, translit, maxLength);
    QCOMPARE(Built(words, zones, mode, v), expected);
    QStringList streamed;
    ForEachCandidate(
        words, zones, mode, [&streamed](const TCandidate& d) { streamed << d.Name; }, v);
    QCOMPARE(streamed, expected);
    QVERIFY(CandidateCount(words, zones, mode, v) == TCandidateCount(expected.size()));

    TRunRequest request;
    request.Keywords = words;
    request.Zones = zones;
    request.Mode = mode;
    request.Variants = v;
    QVERIFY(RequestedCount(request) == TCandidateCount(expected.size()));
    TRunSession session;
    QVERIFY(session.Start(request));
    QCOMPARE(session.Candidates().size(), expected.size());
    QHash<QString, qint64> requested = RequestedPerZone(request);
    requested.removeIf([](const auto& Zone) { return Zone.value() == 0; });
    QCOMPARE(requested, PerZone(session.Candidates()));
}

} // namespace

class TestNameVariants : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void variants_data();
    void variants();
    void hyphenRules_data();
    void hyphenRules();
    void transliteration_data();
    void transliteration();
    void latinOnlyZones_data();
    void latinOnlyZones();
    void countMatchesBuild_data();
    void countMatchesBuild();
};

void TestNameVariants::variants_data()
{
    AddVariantColumns();
    const QStringList none;
    const QStringList redCat { u"red"_qs, u"cat"_qs };
    QTest::newRow("hyphen") << redCat << QStringList { u"ru"_qs } << 0 << true << none << none << false << 0
                            << QStringList { u"redcat.ru"_qs, u"red-cat.ru"_qs, u"catred.ru"_qs, u"cat-red.ru"_qs };
    QTest::newRow("hyphen, zones innermost")
        << redCat << QStringList { u"ru"_qs, u"com"_qs } << 0 << true << none << none << false << 0
        << QStringList { u"redcat.ru"_qs, u"redcat.com"_qs, u"red-cat.ru"_qs, u"red-cat.com"_qs, u"catred.ru"_qs,
               u"catred.com"_qs, u"cat-red.ru"_qs, u"cat-red.com"_qs };
    // Blank lines and repeats of the list are no prefixes.
    QTest::newRow("prefixes") << redCat << QStringList { u"ru"_qs } << 0 << false
                              << QStringList { u"my"_qs, u" get "_qs, QString(), u"My"_qs } << none << false << 0
                              << QStringList { u"redcat.ru"_qs, u"myredcat.ru"_qs, u"getredcat.ru"_qs, u"catred.ru"_qs,
                                     u"mycatred.ru"_qs, u"getcatred.ru"_qs };
    QTest::newRow("suffixes") << redCat << QStringList { u"com"_qs } << 0 << false << none
                              << QStringList { u"shop"_qs, u"pro"_qs } << false << 0
                              << QStringList { u"redcat.com"_qs, u"redcatshop.com"_qs, u"redcatpro.com"_qs,
                                     u"catred.com"_qs, u"catredshop.com"_qs, u"catredpro.com"_qs };
    // A name of Latin and Cyrillic letters is kept as it always was, but no affix makes more of it.
    QTest::newRow("affixes beside their own letters only")
        << QStringList { u"red"_qs, u"кот"_qs, u"пёс"_qs } << QStringList { u"com"_qs } << 0 << false
        << QStringList { u"my"_qs, u"мой"_qs } << none << false << 0
        << QStringList { u"redкот.com"_qs, u"redпёс.com"_qs, u"котred.com"_qs, u"котпёс.com"_qs, u"мойкотпёс.com"_qs,
               u"пёсred.com"_qs, u"пёскот.com"_qs, u"мойпёскот.com"_qs };
    QTest::newRow("digits take either affix") << QStringList { u"24"_qs, u"7"_qs } << QStringList { u"com"_qs } << 0
                                              << false << none << QStringList { u"shop"_qs, u"клуб"_qs } << false << 0
                                              << QStringList { u"247.com"_qs, u"247shop.com"_qs, u"247клуб.com"_qs,
                                                     u"724.com"_qs, u"724shop.com"_qs, u"724клуб.com"_qs };
    QTest::newRow("Latin spelling in ru, Cyrillic in рф")
        << QStringList { u"красный"_qs, u"кот"_qs } << QStringList { u"ru"_qs, u"рф"_qs } << 0 << false << none << none
        << true << 0
        << QStringList { u"krasnyikot.ru"_qs, u"красныйкот.рф"_qs, u"kotkrasnyi.ru"_qs, u"коткрасный.рф"_qs };
    // By the shipped rules su takes Cyrillic too and com any script.
    QTest::newRow("Latin spelling where only Latin is taken")
        << QStringList { u"кот"_qs, u"пёс"_qs }
        << QStringList { u"ru"_qs, u"su"_qs, u"com"_qs, u"рф"_qs, u"RU"_qs, u"msk.ru"_qs } << 0 << false << none << none
        << true << 0
        << QStringList { u"kotpes.ru"_qs, u"котпёс.su"_qs, u"котпёс.com"_qs, u"котпёс.рф"_qs, u"kotpes.RU"_qs,
               u"kotpes.msk.ru"_qs, u"peskot.ru"_qs, u"пёскот.su"_qs, u"пёскот.com"_qs, u"пёскот.рф"_qs,
               u"peskot.RU"_qs, u"peskot.msk.ru"_qs };
    QTest::newRow("Latin spelling mends mixed names")
        << QStringList { u"red"_qs, u"кот"_qs } << QStringList { u"ru"_qs } << 0 << false << none << none << true << 0
        << QStringList { u"redkot.ru"_qs, u"kotred.ru"_qs };
    QTest::newRow("Latin spelling leaves Cyrillic affixes out")
        << QStringList { u"кот"_qs, u"пёс"_qs } << QStringList { u"ru"_qs, u"рф"_qs } << 0 << false
        << QStringList { u"my"_qs, u"мой"_qs } << none << true << 0
        << QStringList { u"kotpes.ru"_qs, u"котпёс.рф"_qs, u"mykotpes.ru"_qs, u"мойкотпёс.рф"_qs, u"peskot.ru"_qs,
               u"пёскот.рф"_qs, u"mypeskot.ru"_qs, u"мойпёскот.рф"_qs };
    QTest::newRow("a word of dropped letters has no Latin names")
        << QStringList { u"ь"_qs, u"кот"_qs } << QStringList { u"ru"_qs, u"рф"_qs } << 0 << false << none << none
        << true << 0 << QStringList { u"ькот.рф"_qs, u"коть.рф"_qs };
    QTest::newRow("length limit") << QStringList { u"red"_qs, u"cat"_qs, u"sunny"_qs } << QStringList { u"ru"_qs } << 0
                                  << false << none << none << false << 6
                                  << QStringList { u"redcat.ru"_qs, u"catred.ru"_qs };
    // Letters, not bytes of any encoding; the hyphen counts.
    QTest::newRow("length limit in Cyrillic letters, hyphen included")
        << QStringList { u"красный"_qs, u"кот"_qs } << QStringList { u"рф"_qs } << 0 << true << none << none << false
        << 10 << QStringList { u"красныйкот.рф"_qs, u"коткрасный.рф"_qs };
    // "й" typed as "и" and a combining breve is one letter.
    QTest::newRow("length limit counts a composed letter once")
        << QStringList { u"чаи\u0306"_qs, u"кот"_qs } << QStringList { u"рф"_qs } << 0 << false << none << none << false
        << 6 << QStringList { u"чаи\u0306кот.рф"_qs, u"котчаи\u0306.рф"_qs };
    QTest::newRow("length limit with affixes") << redCat << QStringList { u"ru"_qs } << 0 << true
                                               << QStringList { u"my"_qs } << QStringList { u"shop"_qs } << false << 8
                                               << QStringList { u"redcat.ru"_qs, u"red-cat.ru"_qs, u"myredcat.ru"_qs,
                                                      u"catred.ru"_qs, u"cat-red.ru"_qs, u"mycatred.ru"_qs };
    QTest::newRow("length limit of each zone's spelling")
        << QStringList { u"щи"_qs, u"кот"_qs } << QStringList { u"ru"_qs, u"рф"_qs } << 0 << false << none << none
        << true << 7 << QStringList { u"щикот.рф"_qs, u"котщи.рф"_qs };
    QTest::newRow("three keywords, every variant but Latin")
        << QStringList { u"a"_qs, u"b"_qs, u"c"_qs } << QStringList { u"com"_qs } << 1 << true
        << QStringList { u"x"_qs } << QStringList { u"z"_qs } << false << 6
        << QStringList { u"abc.com"_qs, u"a-b-c.com"_qs, u"xabc.com"_qs, u"abcz.com"_qs, u"acb.com"_qs, u"a-c-b.com"_qs,
               u"xacb.com"_qs, u"acbz.com"_qs, u"bac.com"_qs, u"b-a-c.com"_qs, u"xbac.com"_qs, u"bacz.com"_qs,
               u"bca.com"_qs, u"b-c-a.com"_qs, u"xbca.com"_qs, u"bcaz.com"_qs, u"cab.com"_qs, u"c-a-b.com"_qs,
               u"xcab.com"_qs, u"cabz.com"_qs, u"cba.com"_qs, u"c-b-a.com"_qs, u"xcba.com"_qs, u"cbaz.com"_qs };
    QTest::newRow("every variant together")
        << QStringList { u"красный"_qs, u"кот"_qs } << QStringList { u"ru"_qs, u"рф"_qs } << 0 << true
        << QStringList { u"my"_qs, u"мой"_qs } << QStringList { u"shop"_qs } << true << 14
        << QStringList { u"krasnyikot.ru"_qs, u"красныйкот.рф"_qs, u"krasnyi-kot.ru"_qs, u"красный-кот.рф"_qs,
               u"mykrasnyikot.ru"_qs, u"my-krasnyi-kot.ru"_qs, u"мойкрасныйкот.рф"_qs, u"krasnyikotshop.ru"_qs,
               u"kotkrasnyi.ru"_qs, u"коткрасный.рф"_qs, u"kot-krasnyi.ru"_qs, u"кот-красный.рф"_qs,
               u"mykotkrasnyi.ru"_qs, u"my-kot-krasnyi.ru"_qs, u"мойкоткрасный.рф"_qs, u"kotkrasnyishop.ru"_qs };
}

void TestNameVariants::variants()
{
    CheckRow();
}

void TestNameVariants::hyphenRules_data()
{
    AddVariantColumns();
    const QStringList none;
    const QStringList ru { u"ru"_qs };
    // A hyphen only goes between two parts, and not beside a hyphen already there; a form that would gain
    // none is not built twice.
    QTest::newRow("keyword ending in a hyphen")
        << QStringList { u"red-"_qs, u"cat"_qs } << ru << 0 << true << none << none << false << 0
        << QStringList { u"red-cat.ru"_qs, u"catred-.ru"_qs, u"cat-red-.ru"_qs };
    QTest::newRow("keyword starting with a hyphen")
        << QStringList { u"-x"_qs, u"y"_qs } << ru << 0 << true << none << none << false << 0
        << QStringList { u"-xy.ru"_qs, u"-x-y.ru"_qs, u"y-x.ru"_qs };
    QTest::newRow("a hyphen for a keyword") << QStringList { u"-"_qs, u"a"_qs } << ru << 0 << true << none << none
                                            << false << 0 << QStringList { u"-a.ru"_qs, u"a-.ru"_qs };
    QTest::newRow("inner hyphen kept") << QStringList { u"a-b"_qs, u"c"_qs } << ru << 0 << true << none << none << false
                                       << 0
                                       << QStringList { u"a-bc.ru"_qs, u"a-b-c.ru"_qs, u"ca-b.ru"_qs, u"c-a-b.ru"_qs };
    QTest::newRow("three keywords, one ending in a hyphen")
        << QStringList { u"a-"_qs, u"b"_qs, u"c"_qs } << ru << 1 << true << none << none << false << 0
        << QStringList { u"a-bc.ru"_qs, u"a-b-c.ru"_qs, u"a-cb.ru"_qs, u"a-c-b.ru"_qs, u"ba-c.ru"_qs, u"b-a-c.ru"_qs,
               u"bca-.ru"_qs, u"b-c-a-.ru"_qs, u"ca-b.ru"_qs, u"c-a-b.ru"_qs, u"cba-.ru"_qs, u"c-b-a-.ru"_qs };
    QTest::newRow("prefix ending in a hyphen")
        << QStringList { u"red"_qs, u"cat"_qs } << ru << 0 << true << QStringList { u"e-"_qs } << none << false << 0
        << QStringList { u"redcat.ru"_qs, u"red-cat.ru"_qs, u"e-redcat.ru"_qs, u"e-red-cat.ru"_qs, u"catred.ru"_qs,
               u"cat-red.ru"_qs, u"e-catred.ru"_qs, u"e-cat-red.ru"_qs };
    QTest::newRow("suffix after a keyword ending in a hyphen")
        << QStringList { u"red-"_qs, u"cat"_qs } << ru << 0 << true << none << QStringList { u"shop"_qs } << false << 0
        << QStringList { u"red-cat.ru"_qs, u"red-catshop.ru"_qs, u"red-cat-shop.ru"_qs, u"catred-.ru"_qs,
               u"cat-red-.ru"_qs, u"catred-shop.ru"_qs, u"cat-red-shop.ru"_qs };
}

void TestNameVariants::hyphenRules()
{
    CheckRow();
}

void TestNameVariants::transliteration_data()
{
    QTest::addColumn<QStringList>("table"); // empty: the shipped one
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("spelt");
    QTest::newRow("every small letter") << QStringList() << u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"_qs
                                        << u"abvgdeezhziiklmnoprstufkhtschshshchieyeiuia"_qs;
    QTest::newRow("every capital letter") << QStringList() << u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_qs
                                          << u"ABVGDEEZhZIIKLMNOPRSTUFKhTsChShShchIeYEIuIa"_qs;
    QTest::newRow("worked example") << QStringList() << u"красный"_qs << u"krasnyi"_qs;
    QTest::newRow("letters typed with combining marks") << QStringList() << u"чаи\u0306 е\u0308ж"_qs << u"chai ezh"_qs;
    QTest::newRow("other characters stay") << QStringList() << u"red-кот24"_qs << u"red-kot24"_qs;
    QTest::newRow("letters the table lacks stay") << QStringList() << u"їжак"_qs << u"їzhak"_qs;
    QTest::newRow("no table") << QStringList { u"# nothing"_qs } << u"кот"_qs << u"кот"_qs;
    // Comments, blank lines, lines of no form and second lines for a letter are passed over.
    QTest::newRow("a table of the user's") << QStringList { u"# comment"_qs, QString(), u"к:q"_qs, u"к:x"_qs,
        u"аб:z"_qs, u"no colon"_qs, u" о : 0 "_qs, u"ь:"_qs, u"К:C"_qs }
                                           << u"Кокьаб"_qs << u"C0qаб"_qs;
}

void TestNameVariants::transliteration()
{
    QFETCH(QStringList, table);
    QFETCH(QString, text);
    QFETCH(QString, spelt);
    const TTransliteration t(table.isEmpty() ? ReadListFile(QFINDTESTDATA("../../data/translit.dat")) : table);
    QCOMPARE(t.Spell(text), spelt);
}

void TestNameVariants::latinOnlyZones_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("latinOnly");
    QTest::newRow("ru") << u"ru"_qs << true;
    QTest::newRow("RU") << u"RU"_qs << true;
    QTest::newRow("below ru") << u"msk.ru"_qs << true;
    QTest::newRow("рф") << u"рф"_qs << false;
    QTest::newRow("рф as ASCII") << u"xn--p1ai"_qs << false;
    QTest::newRow("su, Latin or Cyrillic") << u"su"_qs << false;
    QTest::newRow("com, any script") << u"com"_qs << false;
    QTest::newRow("any other zone") << u"info"_qs << false;
}

void TestNameVariants::latinOnlyZones()
{
    QFETCH(QString, zone);
    QFETCH(bool, latinOnly);
    QCOMPARE(Variants(false, {}, {}, true, 0).ZoneScripts.LatinOnly(zone), latinOnly);
    QVERIFY(!TZoneScripts().LatinOnly(zone));
}

void TestNameVariants::countMatchesBuild_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("hyphen");
    QTest::addColumn<bool>("affixes");
    QTest::addColumn<bool>("translit");
    QTest::addColumn<int>("maxLength");
    for (int mode = 0; mode <= 2; ++mode) {
        QTest::addRow("mode %d, hyphen", mode) << mode << true << false << false << 0;
        QTest::addRow("mode %d, affixes", mode) << mode << false << true << false << 0;
        QTest::addRow("mode %d, Latin spelling", mode) << mode << false << false << true << 0;
        QTest::addRow("mode %d, length limit", mode) << mode << false << false << false << 7;
        QTest::addRow("mode %d, all", mode) << mode << true << true << true << 9;
    }
}

// Keywords of every kind the count tells apart, repeated lines among them: the count is exact for all.
void TestNameVariants::countMatchesBuild()
{
    QFETCH(int, mode);
    QFETCH(bool, hyphen);
    QFETCH(bool, affixes);
    QFETCH(bool, translit);
    QFETCH(int, maxLength);
    const QStringList words { u"a-"_qs, u"-b"_qs, u"кот"_qs, u"red"_qs, u"ь"_qs, u"Ёж"_qs, u"x-y"_qs, u"red"_qs,
        u"щука"_qs, u"7"_qs };
    const QStringList zones { u"ru"_qs, u"рф"_qs, u"com"_qs };
    const QStringList prefixes = affixes ? QStringList { u"my"_qs, u"e-"_qs, u"мой"_qs } : QStringList();
    const QStringList suffixes = affixes ? QStringList { u"-x"_qs, u"shop"_qs, u"клуб"_qs } : QStringList();
    const TNameVariants v = Variants(hyphen, prefixes, suffixes, translit, maxLength);
    QList<TCandidate> built;
    BuildCandidates(words, zones, mode, built, v);
    QVERIFY(!built.isEmpty());
    QVERIFY(CandidateCount(words, zones, mode, v) == TCandidateCount(built.size()));
    const QHash<QString, qint64> perZone = PerZone(built);
    const std::vector<TCandidateCount> counts = ZoneCandidateCounts(words, zones, mode, v);
    for (qsizetype z = 0; z < zones.size(); ++z)
        QVERIFY2(counts[size_t(z)] == TCandidateCount(perZone.value(zones.at(z))), qPrintable(zones.at(z)));
    if (maxLength > 0)
        for (const TCandidate& d : built)
            QVERIFY2(d.Name.size() - d.Zone.size() - 1 <= maxLength, qPrintable(d.Name));
}

QTEST_GUILESS_MAIN(TestNameVariants)
#include "tst_namevariants.moc"
