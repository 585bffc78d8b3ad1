#include "core/common/Paths.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/DlgSetting.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsDialogFixture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString TextFilter = u"Текстовые документы (*.txt)"_qs;

} // namespace

// The settings dialog's two lists: where they come from, how they are saved, and their open and save buttons.
class TestSettingsLists : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtInListsSaved_data();
    void builtInListsSaved();
    void loadsListFiles_data();
    void loadsListFiles();
    void listsSavedAsTyped_data();
    void listsSavedAsTyped();
    void markedFileLoadedAndSavedIn1251_data();
    void markedFileLoadedAndSavedIn1251();
    void saveButtonReplacesWithoutQuestion_data();
    void saveButtonReplacesWithoutQuestion();
    void fileDialogsShared();
};

void TestSettingsLists::builtInListsSaved_data()
{
    QTest::addColumn<bool>("dataFolderExists");
    QTest::newRow("data folder exists") << true;
    QTest::newRow("data folder made on save") << false;
}

void TestSettingsLists::builtInListsSaved()
{
    QFETCH(bool, dataFolderExists);
    TTestEnv env;
    QTemporaryDir program;
    if (dataFolderExists)
        QVERIFY(QDir().mkpath(GetDataFolder()));
    TScriptedDialogs dialogs;
    TWindowFixture window;
    window.WhenShown([](TFormSettings*, const TSettingsControls& ui) {
        QCOMPARE(SplitListLines(MemoText(ui.Whois)), BuiltInWhois);
        QCOMPARE(SplitListLines(MemoText(ui.Zones)), BuiltInZones);
        ui.Ok->click();
    });

    QCOMPARE(window.Run(program.path()), int(QDialog::Accepted));
    QVERIFY(window.Shown);
    QVERIFY(dialogs.FShown.isEmpty());
    QCOMPARE(ReadListFile(DataFile(WhoisListFileName)), BuiltInWhois);
    QCOMPARE(ReadAll(DataFile(ZoneListFileName)), QByteArray("ru\r\ncom\r\norg\r\nnet\r\nbiz\r\ninfo\r\n"));
    QCOMPARE(window.Settings.Setting_WhoisList, BuiltInWhois);
    QCOMPARE(window.Settings.Setting_FirstList, BuiltInZones);
    QCOMPARE(window.Offered(), QStringList { AllZones } + BuiltInZones);
    QVERIFY(QDir(program.path()).isEmpty());
    QVERIFY(!window.Dialog());
}

void TestSettingsLists::loadsListFiles_data()
{
    QTest::addColumn<QByteArray>("inProgram");
    QTest::addColumn<QByteArray>("inData");
    QTest::addColumn<QString>("shown");
    QTest::newRow("data folder, text kept as written")
        << QByteArray() << QByteArray("RU:a\r\n\r\n*:b") << u"RU:a\n\n*:b"_qs;
    QTest::newRow("program folder only, copied") << QByteArray("COM:c\r\n") << QByteArray() << u"COM:c\n"_qs;
    QTest::newRow("data folder wins") << QByteArray("COM:c\r\n") << QByteArray("NET:d\n") << u"NET:d\n"_qs;
    QTest::newRow("empty file, empty box") << QByteArray() << QByteArray("") << QString();
}

void TestSettingsLists::loadsListFiles()
{
    QFETCH(QByteArray, inProgram);
    QFETCH(QByteArray, inData);
    QFETCH(QString, shown);
    TTestEnv env;
    QTemporaryDir program;
    if (!inProgram.isNull())
        WriteAll(program.filePath(u"whois.dat"_qs), inProgram);
    if (!inData.isNull())
        WriteAll(DataFile(WhoisListFileName), inData);

    TFormSettings dialog(nullptr, program.path());
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    dialog.LoadSettings();
    QCOMPARE(MemoText(ui.Whois), shown);
    QCOMPARE(SplitListLines(MemoText(ui.Zones)), BuiltInZones);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), inData.isNull() ? inProgram : inData);
    QVERIFY(!QFile::exists(DataFile(ZoneListFileName)));
}

void TestSettingsLists::listsSavedAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("only a line break") << u"\n"_qs << QByteArray("\r\n");
    QTest::newRow("blank line, no final break") << u"ru\n\ncom"_qs << QByteArray("ru\r\n\r\ncom");
    QTest::newRow("cyrillic in 1251") << u"рф\n"_qs << QByteArray("\xF0\xF4\r\n");
    QTest::newRow("no-break space kept") << u"ru\u00A0\n"_qs << QByteArray("ru\xA0\r\n");
    QTest::newRow("beyond 1251, outside the BMP") << u"ru😀\n"_qs << QByteArray("\xEF\xBB\xBFru\xF0\x9F\x98\x80\r\n");
}

void TestSettingsLists::listsSavedAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);
    TTestEnv env;
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    ui.Zones->setPlainText(typed);
    ui.Whois->setPlainText(typed);
    dialog.SaveSettings();
    QCOMPARE(ReadAll(DataFile(ZoneListFileName)), saved);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), saved);

    // What was saved loads back into the box unchanged.
    TFormSettings again;
    TSettingsControls againUi;
    QVERIFY(againUi.Find(again));
    again.LoadSettings();
    QCOMPARE(MemoText(againUi.Zones), typed);
}

void TestSettingsLists::markedFileLoadedAndSavedIn1251_data()
{
    QTest::addColumn<bool>("zones");
    QTest::addColumn<QByteArray>("marked");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("zones") << true << QByteArray("\xEF\xBB\xBFru\r\n\xD1\x80\xD1\x84\r\n")
                           << QByteArray("ru\r\n\xF0\xF4\r\n");
    QTest::newRow("whois") << false << QByteArray("\xEF\xBB\xBF\xD0\xA0\xD0\xA4:whois.tcinet.ru\n")
                           << QByteArray("\xD0\xD4:whois.tcinet.ru\r\n");
}

void TestSettingsLists::markedFileLoadedAndSavedIn1251()
{
    QFETCH(bool, zones);
    QFETCH(QByteArray, marked);
    QFETCH(QByteArray, saved);
    TTestEnv env;
    QTemporaryDir program;
    QTemporaryDir files;
    const QString chosen = files.filePath(u"list.txt"_qs);
    WriteAll(chosen, marked);
    TScriptedDialogs dialogs;
    dialogs.FFileNames << chosen;
    TWindowFixture window;
    window.WhenShown([zones](TFormSettings*, const TSettingsControls& ui) {
        (zones ? ui.OpenZones : ui.OpenWhois)->click();
        ui.Ok->click();
    });

    QCOMPARE(window.Run(program.path()), int(QDialog::Accepted));
    QCOMPARE(dialogs.FFileRequests.size(), 1);
    QCOMPARE(dialogs.FFileRequests.at(0).Filter, TextFilter);
    QCOMPARE(ReadAll(DataFile(zones ? ZoneListFileName : WhoisListFileName)), saved);
    QCOMPARE(ReadAll(chosen), marked);
    QCOMPARE(ReadListFile(DataFile(zones ? WhoisListFileName : ZoneListFileName)), zones ? BuiltInWhois : BuiltInZones);
}

void TestSettingsLists::saveButtonReplacesWithoutQuestion_data()
{
    QTest::addColumn<bool>("zones");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("zones over an existing file") << true << u"list.txt"_qs << u"list.txt"_qs;
    QTest::newRow("whois over an existing file") << false << u"list.txt"_qs << u"list.txt"_qs;
    QTest::newRow("typed without extension") << true << u"list"_qs << u"list.txt"_qs;
    QTest::newRow("typed extension kept") << false << u"list.lst"_qs << u"list.lst"_qs;
}

void TestSettingsLists::saveButtonReplacesWithoutQuestion()
{
    QFETCH(bool, zones);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    TTestEnv env;
    QTemporaryDir files;
    WriteAll(files.filePath(u"list.txt"_qs), "old\r\nlonger old content\r\n");
    TScriptedDialogs dialogs;
    dialogs.FFileNames << files.filePath(typed);
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    ui.Zones->setPlainText(u"ru\nрф"_qs);
    ui.Whois->setPlainText(u"*:w\n"_qs);

    (zones ? ui.SaveZones : ui.SaveWhois)->click();
    QVERIFY(dialogs.FShown.isEmpty());
    QCOMPARE(dialogs.FFileRequests.size(), 1);
    QCOMPARE(dialogs.FFileRequests.at(0).Filter, TextFilter);
    QCOMPARE(dialogs.FFileRequests.at(0).DefaultSuffix, u"txt"_qs);
    QCOMPARE(ReadAll(files.filePath(written)), zones ? QByteArray("ru\r\n\xF0\xF4") : QByteArray("*:w\r\n"));
    // The settings and the data folder's lists are written by "Сохранить" alone; only the folder the file
    // went to is remembered.
    const auto stored = TSettingsStore::Parse(ReadAll(TSettingsStore::FilePath()));
    QVERIFY(stored);
    QCOMPARE(stored->keys(), QStringList { u"LastFolder_DataList"_qs });
    QVERIFY(!QFile::exists(GetDataFolder()));
}

void TestSettingsLists::fileDialogsShared()
{
    TTestEnv env;
    QTemporaryDir files;
    const QString first = files.filePath(u"a/whois.txt"_qs);
    WriteAll(first, "RU:a\r\n");
    TScriptedDialogs dialogs;
    const QString saved = files.filePath(u"b/out"_qs);
    QVERIFY(QDir().mkpath(files.filePath(u"b"_qs)));
    dialogs.FFileNames << first << QString() << saved << QString();
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));

    ui.OpenWhois->click();
    ui.OpenZones->click(); // cancelled: the zone box keeps its list
    ui.SaveWhois->click();
    ui.SaveZones->click(); // cancelled: nothing written
    QCOMPARE(MemoText(ui.Whois), u"RU:a\n"_qs);
    QCOMPARE(SplitListLines(MemoText(ui.Zones)), BuiltInZones);
    QCOMPARE(QDir(files.filePath(u"b"_qs)).entryList(QDir::Files), QStringList { u"out.txt"_qs });

    QCOMPARE(dialogs.FFileRequests.size(), 4);
    QCOMPARE(dialogs.FFileRequests.at(0).Start, QString());
    QCOMPARE(dialogs.FFileRequests.at(1).Start, first); // the zones' open starts where the whois open ended
    // The save dialog's first use starts in the folder a list last came from; then at its own last file.
    QCOMPARE(dialogs.FFileRequests.at(2).Start, QFileInfo(first).absolutePath());
    QCOMPARE(dialogs.FFileRequests.at(3).Start, saved + u".txt"_qs);

    // The next settings dialog, even after a restart, starts in the folder last used for a list.
    TFormSettings next;
    TSettingsControls nextUi;
    QVERIFY(nextUi.Find(next));
    nextUi.OpenWhois->click();
    QCOMPARE(dialogs.FFileRequests.size(), 5);
    QCOMPARE(dialogs.FFileRequests.at(4).Start, QFileInfo(saved).absolutePath());
}

QTEST_MAIN(TestSettingsLists)
#include "tst_settingslists.moc"
