#include "core/common/Errors.h"
#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <cstdio>
#include <cstring>

namespace {

QByteArray SettingsWith(const QByteArray& Values)
{
    return "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quorbel Software\\Orvanta]\n"
        + Values;
}

// Dates the file's last change an hour back, as a file that has long been left alone.
void Age(const QString& Path)
{
    QFile f(Path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitText_data();
    void splitText();
    void folders();
    void shippedFolder_data();
    void shippedFolder();
    void boolRoundTrip_data();
    void boolRoundTrip();
    void dateRoundTrip();
    void dateNeverWritten();
    void dateBytesAreOleDouble();
    void wrongTypeReadsAsAbsent();
    void concurrentWritersLoseNothing();
    void corruptFileKeptAsBackup_data();
    void corruptFileKeptAsBackup();
    void foreignSectionsKept();
    void textValuesRoundTrip();
    void copyFollowsTheFile_data();
    void copyFollowsTheFile();
    void copyBelongsToItsPath();
    void repeatedReadsUseTheCopy();
    void openDocumentHandler();
};

void TestSettingsStore::splitText_data()
{
    QTest::addColumn<int>("slots");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("expected");
    // Slots start as "old" so untouched ones show.
    QTest::newRow("zone and server") << 2 << u"ru:whois.example"_qs
                                     << QStringList { u"ru"_qs, u"whois.example"_qs };
    QTest::newRow("no delimiter leaves slot 1") << 2 << u"ru"_qs << QStringList { u"ru"_qs, u"old"_qs };
    QTest::newRow("trailing delimiter") << 2 << u"ru:"_qs << QStringList { u"ru"_qs, QString() };
    QTest::newRow("empty text") << 2 << QString() << QStringList { QString(), u"old"_qs };
    QTest::newRow("two empty parts") << 3 << u"a::"_qs << QStringList { u"a"_qs, QString(), QString() };
    QTest::newRow("more parts than slots") << 2 << u"a:b:c"_qs << QStringList { u"a"_qs, u"b"_qs };
    QTest::newRow("leading delimiter") << 2 << u":b"_qs << QStringList { QString(), u"b"_qs };
    QTest::newRow("no slots") << 0 << u"a:b"_qs << QStringList {};
}

void TestSettingsStore::splitText()
{
    QFETCH(int, slots);
    QFETCH(QString, source);
    QFETCH(QStringList, expected);
    QStringList pieces;
    for (int i = 0; i < slots; ++i)
        pieces << u"old"_qs;
    SplitText(pieces, u":"_qs, source);
    QCOMPARE(pieces, expected);

    QStringList multi { QString(), QString() };
    SplitText(multi, u"::"_qs, u"a::b"_qs);
    QCOMPARE(multi, (QStringList { u"a"_qs, u"b"_qs }));
}

void TestSettingsStore::folders()
{
    TTestEnv env;
    QCOMPARE(GetSpecialFolder(CSIDL_APPDATA), env.DataHome());
    QCOMPARE(GetSpecialFolder(5), QString());
    QCOMPARE(GetDataFolder(), env.DataHome() + u"/Quorbel Software/Orvanta/"_qs);
    QVERIFY(!QFile::exists(GetDataFolder()));
    QVERIFY(GetAppFolder().endsWith(u'/'));
    // The program's folder is the one its executable, here this test, lies in.
    QVERIFY(QFile::exists(GetAppFolder() + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));

    qputenv("XDG_DATA_HOME", "");
    QVERIFY(GetDataFolder().endsWith(u"/.local/share/Quorbel Software/Orvanta/"_qs));
}

void TestSettingsStore::shippedFolder_data()
{
    QTest::addColumn<QString>("made");
    QTest::addColumn<QString>("expected");
    QTest::newRow("installed tree") << u"share/orvanta"_qs << u"share/orvanta/"_qs;
    QTest::newRow("build folder") << QString() << u"bin/"_qs;
    QTest::newRow("share without our folder") << u"share/other"_qs << u"bin/"_qs;
}

// The program sits in <root>/bin; its shipped files are in <root>/share/orvanta when installed.
void TestSettingsStore::shippedFolder()
{
    QFETCH(QString, made);
    QFETCH(QString, expected);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QDir(root.path()).mkpath(u"bin"_qs));
    if (!made.isEmpty())
        QVERIFY(QDir(root.path()).mkpath(made));
    QCOMPARE(GetShippedFolder(root.path() + u"/bin/"_qs), root.path() + u'/' + expected);
}

void TestSettingsStore::boolRoundTrip_data()
{
    QTest::addColumn<bool>("value");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestSettingsStore::boolRoundTrip()
{
    QFETCH(bool, value);
    TTestEnv env;
    QVERIFY(!ReadRegBool(u"NeverWritten"_qs));
    QVERIFY(WriteRegBool(u"NotFirstRun"_qs, value));
    QCOMPARE(ReadRegBool(u"NotFirstRun"_qs), value);
    QCOMPARE(TSettingsStore::ReadDWord(u"NotFirstRun"_qs), std::optional<quint32>(value ? 1 : 0));
    // Any non-zero number reads as yes.
    QVERIFY(TSettingsStore::WriteDWord(u"Other"_qs, 7));
    QVERIFY(ReadRegBool(u"Other"_qs));
}

void TestSettingsStore::dateRoundTrip()
{
    TTestEnv env;
    const QDateTime when(QDate(2026, 12, 9), QTime(13, 45, 30, 250));
    QVERIFY(WriteRegDate(u"LastUpdate"_qs, when));
    QCOMPARE(ReadRegDate(u"LastUpdate"_qs), when);
}

void TestSettingsStore::dateNeverWritten()
{
    TTestEnv env;
    const QDateTime before = QDateTime::currentDateTime();
    const QDateTime first = ReadRegDate(u"LastUpdate"_qs);
    QVERIFY(qAbs(first.msecsTo(before)) < 5000);
    QVERIFY(TSettingsStore::ReadBinary(u"LastUpdate"_qs).has_value());
    // Once the clock has moved on, a new time would be later than the first read's.
    QTRY_VERIFY(QDateTime::currentDateTime() > first.addMSecs(20));
    const QDateTime second = ReadRegDate(u"LastUpdate"_qs);
    // The second read gives the stored time, written just before the first read returned, not a new one.
    QVERIFY(second <= first);
    QVERIFY(qAbs(second.msecsTo(first)) < 1000);
    QCOMPARE(ReadRegDate(u"LastUpdate"_qs), second);
}

void TestSettingsStore::dateBytesAreOleDouble()
{
    TTestEnv env;
    QVERIFY(WriteRegDate(u"D"_qs, QDateTime(QDate(1899, 12, 31), QTime(12, 0))));
    const QByteArray bytes = TSettingsStore::ReadBinary(u"D"_qs).value();
    QCOMPARE(bytes.size(), 8);
    const quint64 bits = qFromLittleEndian<quint64>(bytes.constData());
    double days = 0;
    std::memcpy(&days, &bits, 8);
    QCOMPARE(days, 1.5);
    QCOMPARE(OleDateToDateTime(45000.25), QDateTime(QDate(2023, 3, 15), QTime(6, 0)));
}

void TestSettingsStore::wrongTypeReadsAsAbsent()
{
    TTestEnv env;
    QVERIFY(TSettingsStore::WriteString(u"ShowHelpStart"_qs, u"1"_qs));
    QVERIFY(!ReadRegBool(u"ShowHelpStart"_qs));
    QVERIFY(!TSettingsStore::ReadDWord(u"ShowHelpStart"_qs).has_value());
    QVERIFY(TSettingsStore::WriteDWord(u"LastUpdate"_qs, 5));
    // A date stored as a number is not a date: the current time comes back.
    QVERIFY(qAbs(ReadRegDate(u"LastUpdate"_qs).msecsTo(QDateTime::currentDateTime())) < 5000);
}

void TestSettingsStore::concurrentWritersLoseNothing()
{
    TTestEnv env;
    constexpr int rounds = 150;
    QThread* other = QThread::create([] {
        for (int i = 0; i < rounds; ++i)
            WriteRegDate(u"LastUpdate"_qs, QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(i));
    });
    other->start();
    for (int i = 0; i < rounds; ++i)
        TSettingsStore::WriteDWord(u"Counter"_qs, quint32(i));
    QVERIFY(other->wait(60000));
    delete other;
    QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(rounds - 1));
    QCOMPARE(ReadRegDate(u"LastUpdate"_qs), QDateTime(QDate(2020, 1, 1), QTime(0, 0)).addSecs(rounds - 1));
}

void TestSettingsStore::corruptFileKeptAsBackup_data()
{
    QTest::addColumn<QByteArray>("garbage");
    QTest::newRow("lines that are not values") << QByteArray("\"NotFirstRun\"=dword:zz\nthis is not a settings file\n");
    // Rewriting would put replacement characters where the bytes were.
    QTest::newRow("string with invalid utf-8")
        << QByteArray("[HKEY_CURRENT_USER\\Software\\Quorbel Software\\Orvanta]\n\"NotFirstRun\"=dword:00000001\n"
                      "\"Name\"=\"\xEA\xEE\xF2\"\n");
}

void TestSettingsStore::corruptFileKeptAsBackup()
{
    QFETCH(QByteArray, garbage);
    TTestEnv env;
    QVERIFY(TSettingsStore::OpenKey());
    {
        QFile f(TSettingsStore::FilePath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    QVERIFY(!ReadRegBool(u"NotFirstRun"_qs));
    QVERIFY(!TSettingsStore::Exists(u"NotFirstRun"_qs));
    QVERIFY(WriteRegBool(u"AutoRange"_qs, true));
    QVERIFY(ReadRegBool(u"AutoRange"_qs));
    QFile backup(TSettingsStore::FilePath() + u".bak"_qs);
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), garbage);
}

// Only our key's section is read; another key's section is written back as it was.
void TestSettingsStore::foreignSectionsKept()
{
    TTestEnv env;
    QVERIFY(TSettingsStore::OpenKey());
    const QByteArray other("[HKEY_CURRENT_USER\\Software\\Other]\r\n\"AutoRange\"=dword:00000001\r\n"
                           "\"Odd\"=something we do not read\r\n\r\n; a comment of theirs\r\n");
    WriteAll(TSettingsStore::FilePath(),
        "Windows Registry Editor Version 5.00\r\n\r\n" + other
            + "\r\n[HKEY_CURRENT_USER\\Software\\Quorbel Software\\Orvanta]\r\n\"NotFirstRun\"=dword:00000001\r\n");
    QVERIFY(!ReadRegBool(u"AutoRange"_qs));
    QVERIFY(ReadRegBool(u"NotFirstRun"_qs));
    QVERIFY(WriteRegBool(u"ShowHelpStart"_qs, true));
    QVERIFY(ReadRegBool(u"ShowHelpStart"_qs));
    QVERIFY(ReadRegBool(u"NotFirstRun"_qs));
    QVERIFY(!ReadRegBool(u"AutoRange"_qs));
    QByteArray kept = other;
    kept.replace("\r\n", "\n");
    QVERIFY2(ReadAll(TSettingsStore::FilePath()).contains(kept.trimmed()), ReadAll(TSettingsStore::FilePath()).constData());
    QVERIFY(!QFile::exists(TSettingsStore::FilePath() + u".bak"_qs));
}

void TestSettingsStore::textValuesRoundTrip()
{
    TTestEnv env;
    const QString tricky = u"a \"quoted\" \\ back\r\nслэш ; = [x]"_qs;
    QVERIFY(TSettingsStore::WriteString(u"Name \"with\" quotes"_qs, tricky));
    QVERIFY(TSettingsStore::WriteBinary(u"Empty"_qs, QByteArray()));
    QCOMPARE(TSettingsStore::ReadString(u"Name \"with\" quotes"_qs), std::optional<QString>(tricky));
    QCOMPARE(TSettingsStore::ReadBinary(u"Empty"_qs), std::optional<QByteArray>(QByteArray()));
    QFile f(TSettingsStore::FilePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.startsWith("Windows Registry Editor Version 5.00"));
    QVERIFY(text.contains("[HKEY_CURRENT_USER\\Software\\Quorbel Software\\Orvanta]"));
}

enum class TChange { InPlaceAged, InPlaceAtOnce, Replaced, Removed, Folder };
Q_DECLARE_METATYPE(TChange)

void TestSettingsStore::copyFollowsTheFile_data()
{
    QTest::addColumn<TChange>("change");
    QTest::addColumn<int>("expected"); // -1: nothing
    // The same size, so only the time stamp tells the versions apart.
    QTest::newRow("edited in place") << TChange::InPlaceAged << 2;
    // Within one tick of the file clock even the time stamp can stay as it was.
    QTest::newRow("edited in place at once") << TChange::InPlaceAtOnce << 2;
    QTest::newRow("replaced by another writer") << TChange::Replaced << 2;
    QTest::newRow("removed") << TChange::Removed << -1;
    // Unusable now: reads give nothing and writes refuse.
    QTest::newRow("a folder in its place") << TChange::Folder << -1;
}

// Another writer's change is seen by the next read, however the copy in memory was taken.
void TestSettingsStore::copyFollowsTheFile()
{
    QFETCH(TChange, change);
    QFETCH(int, expected);
    TTestEnv env;
    const QString path = TSettingsStore::FilePath();
    WriteAll(path, SettingsWith("\"AutoRange\"=dword:00000001\n"));
    if (change != TChange::InPlaceAtOnce)
        Age(path);
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(1));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(1));

    const QByteArray changed = SettingsWith("\"AutoRange\"=dword:00000002\n");
    switch (change) {
    case TChange::InPlaceAged:
    case TChange::InPlaceAtOnce:
        WriteAll(path, changed);
        break;
    case TChange::Replaced:
        WriteAll(path + u".new"_qs, changed);
        QCOMPARE(std::rename(QFile::encodeName(path + u".new"_qs).constData(), QFile::encodeName(path).constData()), 0);
        break;
    case TChange::Removed:
        QVERIFY(QFile::remove(path));
        break;
    case TChange::Folder:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        break;
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs),
        expected < 0 ? std::nullopt : std::optional<quint32>(quint32(expected)));
    if (change == TChange::Folder) {
        QVERIFY(TSettingsStore::FileProblem().has_value());
        QVERIFY_THROWS_EXCEPTION(EOrvantaError, TSettingsStore::WriteDWord(u"AutoRange"_qs, 3));
        QVERIFY(QFileInfo(path).isDir());
    }
}

// The copy of one settings file never answers for another: switching XDG_CONFIG_HOME away and back reads
// each file's own values.
void TestSettingsStore::copyBelongsToItsPath()
{
    TTestEnv first;
    QVERIFY(TSettingsStore::WriteDWord(u"Counter"_qs, 1));
    Age(TSettingsStore::FilePath());
    QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(1));
    const QByteArray firstHome = qgetenv("XDG_CONFIG_HOME");
    {
        TTestEnv second;
        QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::nullopt);
        QVERIFY(TSettingsStore::WriteDWord(u"Counter"_qs, 2));
        QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(2));
    }
    QCOMPARE(qgetenv("XDG_CONFIG_HOME"), firstHome);
    QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(1));
}

void TestSettingsStore::repeatedReadsUseTheCopy()
{
    TTestEnv env;
    QVERIFY(TSettingsStore::WriteDWord(u"Counter"_qs, 1));
    QVERIFY(TSettingsStore::WriteString(u"Name"_qs, u"x"_qs));
    Age(TSettingsStore::FilePath());
    const int before = TSettingsStore::FileLoads();
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(1));
        QCOMPARE(TSettingsStore::ReadString(u"Name"_qs), std::optional<QString>(u"x"_qs));
        QVERIFY(!TSettingsStore::Exists(u"Other"_qs));
    }
    QCOMPARE(TSettingsStore::FileLoads(), before + 1);

    // A write goes to the file; the next read takes a new copy.
    QVERIFY(TSettingsStore::WriteDWord(u"Counter"_qs, 2));
    QCOMPARE(TSettingsStore::ReadDWord(u"Counter"_qs), std::optional<quint32>(2));
    QCOMPARE(TSettingsStore::FileLoads(), before + 2);
}

void TestSettingsStore::openDocumentHandler()
{
    QString opened;
    SetOpenDocumentHandler([&](const QString& t) {
        opened = t;
        return true;
    });
    OpenDocument(u"http://127.0.0.1/x"_qs);
    SetOpenDocumentHandler({});
    QCOMPARE(opened, u"http://127.0.0.1/x"_qs);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
