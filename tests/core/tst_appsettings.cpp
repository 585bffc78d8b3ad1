#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"
#include "support/FileSizeLimit.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray ShippedZones("ru\r\ncom\r\n");
const QByteArray UserZones("su\r\n");
const QByteArray ShippedWhois("RU:whois.tcinet.ru\r\n");

QString DataFile(const QString& Name)
{
    return GetDataFolder() + Name;
}

const QString Zones = QString::fromUtf16(ZoneListFileName);
const QString Whois = QString::fromUtf16(WhoisListFileName);

QByteArray SettingsFile(const QByteArray& Values)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quorbel Software\\Orvanta]\n"
        + Values;
}

} // namespace

class TestAppSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRunDefaults();
    void dataFileLookup_data();
    void dataFileLookup();
    void dataFolderCopyCountsFromThenOn();
    void copyFailure();
    void loadSettings_data();
    void loadSettings();
    void reuseAges_data();
    void reuseAges();
    void oneBadListLeavesTheOther();
    void shippedListsAtFirstStart();
    void failedSettingsWriteKeepsOldValues();
};

void TestAppSettings::firstRunDefaults()
{
    TTestEnv env;
    QVERIFY(WriteFirstRunDefaults());
    const QStringList names { u"NotFirstRun"_qs, u"ShowHelpStart"_qs, u"AutoCheckGenerate"_qs, u"AutoRange"_qs };
    const QList<quint32> firstRun { 1, 1, 0, 0 };
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(TSettingsStore::ReadDWord(names[i]), std::optional<quint32>(firstRun[i]));

    // The user's choices survive the next start.
    QVERIFY(WriteRegBool(u"ShowHelpStart"_qs, false));
    QVERIFY(WriteRegBool(u"AutoCheckGenerate"_qs, true));
    QVERIFY(WriteRegBool(u"AutoRange"_qs, true));
    QVERIFY(!WriteFirstRunDefaults());
    const QList<quint32> later { 1, 0, 1, 1 };
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(TSettingsStore::ReadDWord(names[i]), std::optional<quint32>(later[i]));
}

void TestAppSettings::dataFileLookup_data()
{
    QTest::addColumn<bool>("inProgram");
    QTest::addColumn<bool>("inData");
    QTest::addColumn<bool>("dataFolderExists");
    QTest::addColumn<QStringList>("expected"); // empty: nothing loaded, the list keeps "kept"
    const QStringList shipped { u"ru"_qs, u"com"_qs };
    const QStringList user { u"su"_qs };
    QTest::newRow("shipped only, data folder exists") << true << false << true << shipped;
    QTest::newRow("shipped only, no data folder yet") << true << false << false << shipped;
    QTest::newRow("both: the data folder's counts") << true << true << true << user;
    QTest::newRow("data folder only") << false << true << true << user;
    QTest::newRow("neither, no data folder") << false << false << false << QStringList();
    QTest::newRow("neither, data folder exists") << false << false << true << QStringList();
}

void TestAppSettings::dataFileLookup()
{
    QFETCH(bool, inProgram);
    QFETCH(bool, inData);
    QFETCH(bool, dataFolderExists);
    QFETCH(QStringList, expected);
    TTestEnv env;
    QTemporaryDir program;
    if (inProgram)
        WriteAll(program.filePath(Zones), ShippedZones);
    if (dataFolderExists)
        QVERIFY(QDir().mkpath(GetDataFolder()));
    if (inData)
        WriteAll(DataFile(Zones), UserZones);

    QStringList list { u"kept"_qs };
    const bool found = LoadDataList(Zones, list, program.path());
    QCOMPARE(found, !expected.isEmpty());
    QCOMPARE(list, found ? expected : QStringList { u"kept"_qs });
    QCOMPARE(FindDataFile(Zones, program.path()), found ? DataFile(Zones) : QString());
    if (inProgram) {
        QCOMPARE(ReadAll(program.filePath(Zones)), ShippedZones);
        QCOMPARE(ReadAll(DataFile(Zones)), inData ? UserZones : ShippedZones);
    }
    // The lookup makes the data folder only to copy into it.
    QCOMPARE(QFileInfo::exists(GetDataFolder()), dataFolderExists || inProgram);
}

void TestAppSettings::dataFolderCopyCountsFromThenOn()
{
    TTestEnv env;
    QTemporaryDir program;
    WriteAll(program.filePath(Zones), ShippedZones);
    QStringList list;
    QVERIFY(LoadDataList(Zones, list, program.path()));

    WriteAll(program.filePath(Zones), QByteArray("net\r\n"));
    QVERIFY(LoadDataList(Zones, list, program.path()));
    QCOMPARE(list, (QStringList { u"ru"_qs, u"com"_qs }));

    // What the settings dialog saves into the data folder is what loads next; the shipped copy is untouched.
    WriteListFile(DataFile(Zones), u"рф\norg"_qs);
    QVERIFY(LoadDataList(Zones, list, program.path()));
    QCOMPARE(list, (QStringList { u"рф"_qs, u"org"_qs }));
    QCOMPARE(ReadAll(program.filePath(Zones)), QByteArray("net\r\n"));
}

void TestAppSettings::copyFailure()
{
    TTestEnv env;
    QTemporaryDir program;
    WriteAll(program.filePath(Zones), ShippedZones);
    WriteAll(program.filePath(Whois), ShippedWhois);
    // A data home below a plain file: the data folder can never be made.
    const QString blocker = env.WriteFile(u"blocker"_qs, "x");
    qputenv("XDG_DATA_HOME", blocker.toLocal8Bit());
    try {
        FindDataFile(Zones, program.path());
        QFAIL("no error when the copy cannot be made");
    } catch (const EOrvantaError& e) {
        QVERIFY2(e.Message().startsWith(u"Не удалось создать папку"_qs), qPrintable(e.Message()));
    }

    TAppSettings settings;
    settings.Setting_FirstList = QStringList { u"old"_qs };
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_FirstList, QStringList { u"old"_qs });
    QVERIFY(settings.Setting_WhoisList.isEmpty());
}

void TestAppSettings::loadSettings_data()
{
    QTest::addColumn<QByteArray>("settingsFile"); // empty: none
    QTest::addColumn<bool>("settingsFolderBlocked");
    QTest::addColumn<bool>("presetWhois");
    QTest::addColumn<bool>("presetRange");
    QTest::addColumn<bool>("expectWhois");
    QTest::addColumn<bool>("expectRange");
    QTest::newRow("nothing stored: fields keep their values")
        << QByteArray() << false << true << false << true << false;
    QTest::newRow("stored values") << SettingsFile(
        "\"AutoCheckGenerate\"=dword:00000001\n\"AutoRange\"=dword:00000000\n")
                                   << false << false << true << true << false;
    QTest::newRow("non-zero reads as yes")
        << SettingsFile("\"AutoCheckGenerate\"=dword:00000007\n\"AutoRange\"=dword:ffffffff\n") << false << false
        << false << true << true;
    QTest::newRow("AutoCheckGenerate as text counts as absent")
        << SettingsFile("\"AutoCheckGenerate\"=\"1\"\n\"AutoRange\"=dword:00000001\n") << false << false << false
        << false << true;
    QTest::newRow("AutoRange as binary counts as absent")
        << SettingsFile("\"AutoCheckGenerate\"=dword:00000001\n\"AutoRange\"=hex:01,00,00,00\n") << false << false
        << true << true << true;
    QTest::newRow("unreadable settings file")
        << QByteArray("\"AutoRange\"=dword:zz\nnot settings\n") << false << true << false << true << false;
    QTest::newRow("settings folder cannot be made") << QByteArray() << true << false << true << false << true;
}

void TestAppSettings::loadSettings()
{
    QFETCH(QByteArray, settingsFile);
    QFETCH(bool, settingsFolderBlocked);
    QFETCH(bool, presetWhois);
    QFETCH(bool, presetRange);
    QFETCH(bool, expectWhois);
    QFETCH(bool, expectRange);
    TTestEnv env;
    QTemporaryDir program;
    WriteAll(program.filePath(Zones), ShippedZones);
    WriteAll(program.filePath(Whois), ShippedWhois);
    if (!settingsFile.isEmpty())
        WriteAll(TSettingsStore::FilePath(), settingsFile);
    if (settingsFolderBlocked)
        qputenv("XDG_CONFIG_HOME", env.WriteFile(u"blocker"_qs, "x").toLocal8Bit());

    TAppSettings settings;
    settings.Setting_AutoWhois = presetWhois;
    settings.Setting_AutoRange = presetRange;
    settings.Setting_FirstList = QStringList { u"old"_qs };
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_AutoWhois, expectWhois);
    QCOMPARE(settings.Setting_AutoRange, expectRange);
    // Whatever happened to the values, both lists load, replacing what the fields held.
    QCOMPARE(settings.Setting_FirstList, (QStringList { u"ru"_qs, u"com"_qs }));
    QCOMPARE(settings.Setting_WhoisList, QStringList { u"RU:whois.tcinet.ru"_qs });
}

void TestAppSettings::reuseAges_data()
{
    QTest::addColumn<QByteArray>("values");
    QTest::addColumn<int>("takenDays");
    QTest::addColumn<int>("freeMinutes");
    QTest::newRow("nothing stored: a week and an hour") << QByteArray() << 7 << 60;
    QTest::newRow("stored") << QByteArray("\"ReuseTakenDays\"=dword:0000001e\n\"ReuseFreeMinutes\"=dword:0000000a\n")
                            << 30 << 10;
    QTest::newRow("0: ask again") << QByteArray(
        "\"ReuseTakenDays\"=dword:00000000\n\"ReuseFreeMinutes\"=dword:00000000\n")
                                  << 0 << 0;
    QTest::newRow("negative or text: passed over")
        << QByteArray("\"ReuseTakenDays\"=dword:ffffffff\n\"ReuseFreeMinutes\"=\"5\"\n") << 7 << 60;
}

void TestAppSettings::reuseAges()
{
    QFETCH(QByteArray, values);
    QFETCH(int, takenDays);
    QFETCH(int, freeMinutes);
    TTestEnv env;
    WriteAll(TSettingsStore::FilePath(), SettingsFile(values));
    TAppSettings settings;
    LoadSettings(settings);
    QCOMPARE(settings.Setting_ReuseTakenDays, takenDays);
    QCOMPARE(settings.Setting_ReuseFreeMinutes, freeMinutes);
}

void TestAppSettings::oneBadListLeavesTheOther()
{
    TTestEnv env;
    QTemporaryDir program;
    WriteAll(program.filePath(Zones), ShippedZones);
    // A folder where the WHOIS list should be: it is found but cannot be read.
    QVERIFY(QDir().mkpath(DataFile(Whois)));
    TAppSettings settings;
    settings.Setting_WhoisList = QStringList { u"*:old"_qs };
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_WhoisList, QStringList { u"*:old"_qs });
    QCOMPARE(settings.Setting_FirstList, (QStringList { u"ru"_qs, u"com"_qs }));
    QVERIFY_THROWS_EXCEPTION(EOrvantaError, LoadDataList(Whois, settings.Setting_WhoisList, program.path()));
}

void TestAppSettings::shippedListsAtFirstStart()
{
    const QString buildDir = qEnvironmentVariable("ORVANTA_BUILD_DIR");
    QVERIFY2(!buildDir.isEmpty(), "run through ctest, which names the build folder");
    TTestEnv env;
    QVERIFY(!QFileInfo::exists(GetDataFolder()));

    TAppSettings settings;
    LoadSettings(settings, buildDir);
    QVERIFY(WriteFirstRunDefaults());
    QVERIFY(!settings.Setting_AutoWhois);
    QVERIFY(!settings.Setting_AutoRange);
    QCOMPARE(settings.Setting_FirstList,
        (QStringList { u"ru"_qs, u"рф"_qs, u"su"_qs, u"com"_qs, u"net"_qs, u"org"_qs, u"biz"_qs }));
    QCOMPARE(settings.Setting_WhoisList,
        (QStringList { u"RU:whois.tcinet.ru"_qs, u"РФ:whois.tcinet.ru"_qs, u"SU:whois.tcinet.ru"_qs,
            u"COM:whois.verisign-grs.com"_qs, u"NET:whois.verisign-grs.com"_qs, u"BIZ:whois.nic.biz"_qs,
            u"ORG:whois.pir.org"_qs, u"EDU:whois.educause.edu"_qs }));
    for (const QString& name : { Zones, Whois })
        QCOMPARE(ReadAll(DataFile(name)), ReadAll(QDir(buildDir).filePath(name)));
}

void TestAppSettings::failedSettingsWriteKeepsOldValues()
{
    TTestEnv env;
    QVERIFY(WriteFirstRunDefaults());
    const QByteArray before = ReadAll(TSettingsStore::FilePath());
    {
        TFileSizeLimit limit(32);
        QVERIFY_THROWS_EXCEPTION(EOrvantaError, WriteRegBool(u"AutoRange"_qs, true));
    }
    QCOMPARE(ReadAll(TSettingsStore::FilePath()), before);
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(1));
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
