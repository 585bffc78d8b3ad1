#include "core/checks/CheckRun.h"
#include "core/checks/RdapClient.h"
#include "core/checks/ReasonTexts.h"
#include "core/checks/WhoisRules.h"
#include "core/common/QtTranslations.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <QUrl>
#include <QXmlStreamReader>

// The English translation: complete, with the arguments of every text, and reasons shown in it while they
// are kept in Russian.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyTextTranslated();
    void interfaceLanguage_data();
    void interfaceLanguage();
    void reasonsShown_data();
    void reasonsShown();

private:
    QString FBuildTranslations;
    QTranslator FEnglish;
};

void TestTranslations::initTestCase()
{
    FBuildTranslations = qEnvironmentVariable("ORVANTA_BUILD_DIR") + u"/translations/"_qs;
    QVERIFY(FEnglish.load(FBuildTranslations + u"orvanta_en.qm"_qs));
}

// lupdate run over the sources as they are finds every text in the translation file, translated, and no
// entry whose text left the sources; each translation keeps its source's %1, %2.
void TestTranslations::everyTextTranslated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString source = qEnvironmentVariable("ORVANTA_SOURCE_DIR");
    const QString ts = dir.filePath(u"orvanta_en.ts"_qs);
    QVERIFY(QFile::copy(source + u"/translations/orvanta_en.ts"_qs, ts));
    QProcess lupdate;
    lupdate.start(qEnvironmentVariable("ORVANTA_LUPDATE"),
        { u"-silent"_qs, u"-locations"_qs, u"none"_qs, u"-extensions"_qs, u"cpp,h"_qs, u"-I"_qs, source + u"/src"_qs,
            source + u"/src"_qs, u"-ts"_qs, ts });
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    QFile file(ts);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList faults;
    QString context, text;
    static const QRegularExpression placeholder(u"%\\d"_qs);
    const auto placeholders = [](const QString& Text) {
        QStringList found;
        for (auto it = placeholder.globalMatch(Text); it.hasNext();)
            found << it.next().captured();
        found.sort();
        return found;
    };
    int messages = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"name")
            context = xml.readElementText();
        else if (xml.name() == u"source")
            text = xml.readElementText();
        else if (xml.name() == u"translation") {
            ++messages;
            const QString type = xml.attributes().value(u"type"_qs).toString();
            const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            const QString where = context + u": \""_qs + text + u'"';
            if (!type.isEmpty())
                faults << where + u" is "_qs + type;
            else if (placeholders(translation) != placeholders(text))
                faults << where + u" has other arguments in English"_qs;
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
}

void TestTranslations::interfaceLanguage_data()
{
    QTest::addColumn<TUiLanguage>("choice");
    QTest::addColumn<QStringList>("uiLanguages");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English system") << TUiLanguage::System << QStringList { u"en-US"_qs, u"en"_qs } << u"en"_qs;
    QTest::newRow("British English") << TUiLanguage::System << QStringList { u"en_GB"_qs } << u"en"_qs;
    QTest::newRow("Russian system") << TUiLanguage::System << QStringList { u"ru-RU"_qs, u"en-US"_qs } << u"ru"_qs;
    QTest::newRow("first spoken language wins")
        << TUiLanguage::System << QStringList { u"de-DE"_qs, u"en-US"_qs, u"ru"_qs } << u"en"_qs;
    QTest::newRow("unknown language") << TUiLanguage::System << QStringList { u"de-DE"_qs } << u"ru"_qs;
    QTest::newRow("C locale") << TUiLanguage::System << QStringList { u"C"_qs } << u"ru"_qs;
    QTest::newRow("none") << TUiLanguage::System << QStringList() << u"ru"_qs;
    QTest::newRow("Russian chosen") << TUiLanguage::Russian << QStringList { u"en-US"_qs } << u"ru"_qs;
    QTest::newRow("English chosen") << TUiLanguage::English << QStringList { u"ru-RU"_qs } << u"en"_qs;
}

void TestTranslations::interfaceLanguage()
{
    QFETCH(TUiLanguage, choice);
    QFETCH(QStringList, uiLanguages);
    QFETCH(QString, expected);
    QCOMPARE(InterfaceLanguage(choice, uiLanguages, FBuildTranslations), expected);
    // Without the translation file the system's English is not spoken.
    if (choice == TUiLanguage::System)
        QCOMPARE(InterfaceLanguage(choice, uiLanguages, u"/nonexistent/"_qs), u"ru"_qs);
}

void TestTranslations::reasonsShown_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("label") << CheckReasons::InvalidName().Text << u"invalid domain name"_qs;
    QTest::newRow("verdict's reason") << RdapReasons::Reserved().Text << u"reserved by the registry"_qs;
    QTest::newRow("detail with a number")
        << CheckReasons::TooLong(1024).Text << u"the server's answer is longer than 1024 bytes"_qs;
    QTest::newRow("label and translated detail")
        << RdapReasons::Status(503).Text << u"the RDAP server answered with status 503"_qs;
    QTest::newRow("label with two details")
        << RdapReasons::WaitTooLong(90500).Text << u"query limit exceeded: the server asks to wait 91 s"_qs;
    QTest::newRow("label and a name") << CheckReasons::OtherName(u"other.ru"_qs).Text
                                      << u"the server answered about another name: other.ru"_qs;
    QTest::newRow("nested details")
        << RdapReasons::Exchange(u"ошибка связи с сервером rdap.example: Connection refused"_qs).Text
        << u"error talking to the RDAP server: error talking to the server rdap.example: Connection refused"_qs;
    QTest::newRow("server's own words stay")
        << RdapReasons::NotRdap("text/html").Text << u"the RDAP server's answer is not RDAP: type \"text/html\""_qs;
    QTest::newRow("unknown text stays") << u"что-то иное: 42"_qs << u"что-то иное: 42"_qs;
    QTest::newRow("empty") << QString() << QString();
}

// The stored reason stays Russian; only what is shown is English.
void TestTranslations::reasonsShown()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QVERIFY(QCoreApplication::installTranslator(&FEnglish));
    const QString english = ShownReason(stored);
    QCoreApplication::removeTranslator(&FEnglish);
    QCOMPARE(english, shown);
    QCOMPARE(ShownReason(stored), stored);
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
