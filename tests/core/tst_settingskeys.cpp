#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QTest>
#include <QVariant>

namespace {

// Writes Value under Name with the key type its QVariant type stands for (bytes as they are), and reads it
// back the same way.
bool WriteAs(const QString& Name, const QVariant& Value)
{
    switch (Value.typeId()) {
    case QMetaType::Bool:
        return WriteSetting(TBoolKey { Name }, Value.toBool());
    case QMetaType::Int:
        return WriteSetting(TIntKey { Name }, Value.toInt());
    case QMetaType::QString:
        return WriteSetting(TStringKey { Name }, Value.toString());
    case QMetaType::QDateTime:
        return WriteSetting(TDateKey { Name }, Value.toDateTime());
    case QMetaType::QStringList:
        return WriteSetting(TListKey { Name }, Value.toStringList());
    case QMetaType::QByteArray:
        return TSettingsStore::WriteBinary(Name, Value.toByteArray());
    default:
        return false;
    }
}

QVariant ReadAs(const QString& Name, QMetaType Type)
{
    const auto wrap = [](const auto& Value) { return Value ? QVariant::fromValue(*Value) : QVariant(); };
    switch (Type.id()) {
    case QMetaType::Bool:
        return wrap(ReadSetting(TBoolKey { Name }));
    case QMetaType::Int:
        return wrap(ReadSetting(TIntKey { Name }));
    case QMetaType::QString:
        return wrap(ReadSetting(TStringKey { Name }));
    case QMetaType::QDateTime:
        return wrap(ReadSetting(TDateKey { Name }));
    case QMetaType::QStringList:
        return wrap(ReadSetting(TListKey { Name }));
    default:
        return {};
    }
}

} // namespace

class TestSettingsKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void otherTypeReadsAsNothing_data();
    void otherTypeReadsAsNothing();
};

void TestSettingsKeys::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("line"); // as the file holds it
    namespace K = SettingsKeys;
    QTest::newRow("switch on") << K::NotFirstRun.Name.toString() << QVariant(true)
                               << QByteArray("\"NotFirstRun\"=dword:00000001");
    QTest::newRow("switch off") << K::CheckViaRdap.Name.toString() << QVariant(false)
                                << QByteArray("\"CheckViaRdap\"=dword:00000000");
    QTest::newRow("window state") << K::MainFormState.Name.toString() << QVariant(2)
                                  << QByteArray("\"MainForm_WS\"=dword:00000002");
    // A window left of the primary screen.
    QTest::newRow("negative left edge") << K::MainFormLeft.Name.toString() << QVariant(-300)
                                        << QByteArray("\"MainForm_L\"=dword:fffffed4");
    QTest::newRow("largest width") << K::MainFormWidth.Name.toString() << QVariant(2147483647)
                                   << QByteArray("\"MainForm_W\"=dword:7fffffff");
    QTest::newRow("folder") << K::LastFolderResults.Name.toString() << QVariant(u"/home/u/Отчёты \"2026\""_qs)
                            << u"\"LastFolder_Results\"=\"/home/u/Отчёты \\\"2026\\\"\""_qs.toUtf8();
    QTest::newRow("empty text") << K::LastFolderWordList.Name.toString() << QVariant(QString())
                                << QByteArray("\"LastFolder_WordList\"=\"\"");
    QTest::newRow("date") << K::LastUpdate.Name.toString() << QVariant(QDateTime(QDate(1899, 12, 31), QTime(12, 0)))
                          << QByteArray("\"LastUpdate\"=hex:00,00,00,00,00,00,f8,3f");
    QTest::newRow("list") << K::ChosenZones.Name.toString() << QVariant(QStringList { u"ru"_qs, u"рф"_qs, u"co.uk"_qs })
                          << u"\"ChosenZones\"=\"ru\\nрф\\nco.uk\""_qs.toUtf8();
    // Nothing chosen is not the same as nothing kept.
    QTest::newRow("empty list") << K::ChosenZones.Name.toString() << QVariant(QStringList())
                                << QByteArray("\"ChosenZones\"=\"\"");
}

void TestSettingsKeys::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(QByteArray, line);
    TTestEnv env;
    QVERIFY(WriteAs(name, value));
    QCOMPARE(ReadAs(name, value.metaType()), value);
    const QByteArray file = ReadAll(TSettingsStore::FilePath());
    QVERIFY2(file.contains(QByteArray('\n' + line + '\n')), file.constData());
}

void TestSettingsKeys::otherTypeReadsAsNothing_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QVariant>("readAs");
    QTest::newRow("text read as a switch") << QVariant(u"1"_qs) << QVariant(true);
    QTest::newRow("switch read as text") << QVariant(true) << QVariant(u"1"_qs);
    QTest::newRow("number read as a date") << QVariant(5) << QVariant(QDateTime::currentDateTime());
    QTest::newRow("date read as a number") << QVariant(QDateTime::currentDateTime()) << QVariant(5);
    QTest::newRow("number read as a list") << QVariant(5) << QVariant(QStringList { u"ru"_qs });
    const QVariant date(QDateTime::currentDateTime());
    QTest::newRow("seven bytes read as a date") << QVariant(QByteArray(7, '\0')) << date;
    QTest::newRow("bytes of a NaN read as a date") << QVariant(QByteArray("\0\0\0\0\0\0\xF8\x7F", 8)) << date;
}

void TestSettingsKeys::otherTypeReadsAsNothing()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariant, readAs);
    TTestEnv env;
    QVERIFY(WriteAs(u"Value"_qs, stored));
    QCOMPARE(ReadAs(u"Value"_qs, readAs.metaType()), QVariant());
    QCOMPARE(ReadAs(u"Absent"_qs, readAs.metaType()), QVariant());
}

QTEST_GUILESS_MAIN(TestSettingsKeys)
#include "tst_settingskeys.moc"
