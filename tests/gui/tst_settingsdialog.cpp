#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/DlgSetting.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

const QStringList BuiltInWhois { u"RU:whois.tcinet.ru"_qs, u"РФ:whois.tcinet.ru"_qs,
    u"COM:whois.verisign-grs.com"_qs, u"BIZ:whois.nic.biz"_qs, u"NET:whois.verisign-grs.com"_qs,
    u"ORG:whois.pir.org"_qs, u"EDU:whois.educause.edu"_qs };
const QStringList BuiltInZones { u"ru"_qs, u"com"_qs, u"org"_qs, u"net"_qs, u"biz"_qs, u"info"_qs };
const QString AllZones = u"Все доменные зоны"_qs;
const QString TextFilter = u"Текстовые документы (*.txt)"_qs;

QString DataFile(const char16_t* Name)
{
    return GetDataFolder() + QString::fromUtf16(Name);
}

QStringList Shown(const TScriptedDialogs& Dialogs)
{
    QStringList shown;
    for (const auto& s : Dialogs.FShown)
        shown << s.Title + u'|' + s.Text;
    return shown;
}

// Puts a regular file where the data folder's parent should be, so the data folder cannot be made.
void BlockDataFolder(const TTestEnv& Env)
{
    WriteAll(Env.DataHome() + u"/Quorbel Software"_qs, "not a folder");
}

// The main window's side of the settings command: its settings, its zone choice and how it fills it.
struct TWindowFixture {
    QWidget Window;
    TAppSettings Settings;
    QComboBox* Zones = new QComboBox(&Window);
    int Fills = 0;

    void FillComboZones()
    {
        ++Fills;
        Zones->clear();
        Zones->addItem(AllZones);
        Zones->addItems(Settings.Setting_FirstList);
        Zones->setCurrentIndex(0);
    }
    QStringList Offered() const
    {
        QStringList items;
        for (int i = 0; i < Zones->count(); ++i)
            items << Zones->itemText(i);
        return items;
    }
    TFormSettings* Dialog() const { return Window.findChild<TFormSettings*>(); }

    // Acts on the dialog once it is shown modally; a dialog the action leaves open is cancelled, so a failed
    // check cannot hang the test. Shown tells whether the dialog appeared at all.
    void WhenShown(std::function<void(TFormSettings*)> Act)
    {
        QTimer::singleShot(0, &Window, [this, Act] {
            TFormSettings* dialog = Dialog();
            if (!dialog || !dialog->isVisible())
                return;
            Shown = true;
            Act(dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
    }
    bool Shown = false;

    int Run(const QString& AppFolder)
    {
        return RunSettingsDialog(&Window, Settings, [this] { FillComboZones(); }, AppFolder);
    }
    // Runs the command expecting its error; AtReport looks at the window when the error reaches it.
    QString RunFailing(const QString& AppFolder, const std::function<void()>& AtReport)
    {
        try {
            Run(AppFolder);
        } catch (const EOrvantaError& e) {
            AtReport();
            return e.Message();
        }
        return QString();
    }
};

} // namespace

class TestSettingsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutAndDefaults();
    void builtInListsSaved_data();
    void builtInListsSaved();
    void loadsListFiles_data();
    void loadsListFiles();
    void validation_data();
    void validation();
    void emptyWhoisSavedOnSecondPress();
    void listsSavedAsTyped_data();
    void listsSavedAsTyped();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void markedFileLoadedAndSavedIn1251_data();
    void markedFileLoadedAndSavedIn1251();
    void saveButtonReplacesWithoutQuestion_data();
    void saveButtonReplacesWithoutQuestion();
    void fileDialogsShared();
    void buttonErrorsReported_data();
    void buttonErrorsReported();
    void checkBoxes_data();
    void checkBoxes();
    void saveFailureReportedAfterReload();
    void fillFailureShowsNoDialog();
    void settingsKeyUnavailable();
};

void TestSettingsDialog::layoutAndDefaults()
{
    TTestEnv env;
    TFormSettings dialog;
    QCOMPARE(dialog.windowTitle(), u"Основные настройки"_qs);
    QCOMPARE(dialog.size(), QSize(595, 422));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.BtnOk->isDefault());
    QVERIFY(dialog.BtnOk->font().bold());
    QVERIFY(!dialog.BtnCancel->isDefault());
    QVERIFY(!dialog.CheckBoxAutoCheck->isChecked());
    QVERIFY(dialog.CheckBoxShowAnswer->isChecked());
    QVERIFY(!dialog.CheckBoxAutoRange->isChecked());
    // RDAP is used unless the user turns it off.
    QCOMPARE(dialog.CheckBoxUseRdap->text(), u"Проверять через RDAP, где возможно"_qs);
    QVERIFY(dialog.CheckBoxUseRdap->isChecked());
    QCOMPARE(SplitListLines(MemoText(dialog.MemoWhois)), BuiltInWhois);
    QCOMPARE(SplitListLines(MemoText(dialog.MemoDomains)), BuiltInZones);

    // Enter on a list button would otherwise save and close the dialog.
    for (QPushButton* button : { dialog.BtnOpenWhois, dialog.BtnSaveWhois, dialog.BtnSaveZones, dialog.BtnOpenZones })
        QVERIFY(!button->autoDefault());
}

void TestSettingsDialog::builtInListsSaved_data()
{
    QTest::addColumn<bool>("dataFolderExists");
    QTest::newRow("data folder exists") << true;
    QTest::newRow("data folder made on save") << false;
}

void TestSettingsDialog::builtInListsSaved()
{
    QFETCH(bool, dataFolderExists);
    TTestEnv env;
    QTemporaryDir program;
    if (dataFolderExists)
        QVERIFY(QDir().mkpath(GetDataFolder()));
    TScriptedDialogs dialogs;
    TWindowFixture window;
    window.WhenShown([](TFormSettings* dialog) {
        QCOMPARE(SplitListLines(MemoText(dialog->MemoWhois)), BuiltInWhois);
        QCOMPARE(SplitListLines(MemoText(dialog->MemoDomains)), BuiltInZones);
        dialog->BtnOk->click();
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

void TestSettingsDialog::loadsListFiles_data()
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

void TestSettingsDialog::loadsListFiles()
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
    dialog.LoadSettings();
    QCOMPARE(MemoText(dialog.MemoWhois), shown);
    QCOMPARE(SplitListLines(MemoText(dialog.MemoDomains)), BuiltInZones);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), inData.isNull() ? inProgram : inData);
    QVERIFY(!QFile::exists(DataFile(ZoneListFileName)));
}

void TestSettingsDialog::validation_data()
{
    QTest::addColumn<QString>("zones");
    QTest::addColumn<QString>("whois");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("whoisAfter");
    const QString noZones = u"Нет доменных зон|Список доменных зон не может быть пустым"_qs;
    const QString noWhois = u"Нет WHOIS|Список сервисов WHOIS не может быть пустым"_qs;
    QTest::newRow("both filled") << u"ru\n"_qs << u"RU:a\n"_qs << QStringList() << u"RU:a\n"_qs;
    QTest::newRow("empty zones") << QString() << u"RU:a"_qs << QStringList { noZones } << u"RU:a"_qs;
    QTest::newRow("empty whois gets the default line")
        << u"ru"_qs << QString() << QStringList { noWhois } << u"*:whois.tcinet.ru"_qs;
    QTest::newRow("both empty: zones first, nothing appended")
        << QString() << QString() << QStringList { noZones } << QString();
    QTest::newRow("zones only a line break") << u"\n"_qs << u"RU:a"_qs << QStringList() << u"RU:a"_qs;
    QTest::newRow("whois only spaces") << u"ru"_qs << u"  "_qs << QStringList() << u"  "_qs;
}

void TestSettingsDialog::validation()
{
    QFETCH(QString, zones);
    QFETCH(QString, whois);
    QFETCH(QStringList, messages);
    QFETCH(QString, whoisAfter);
    TTestEnv env;
    TScriptedDialogs dialogs;
    TFormSettings dialog;
    dialog.MemoDomains->setPlainText(zones);
    dialog.MemoWhois->setPlainText(whois);
    dialog.show();

    QTest::mouseClick(dialog.BtnOk, Qt::LeftButton);
    QCOMPARE(Shown(dialogs), messages);
    for (const auto& shown : dialogs.FShown)
        QCOMPARE(shown.Icon, TUserDialogs::TIcon::Warning);
    const bool passes = messages.isEmpty();
    QCOMPARE(dialog.isVisible(), !passes);
    QCOMPARE(dialog.result(), passes ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(MemoText(dialog.MemoWhois), whoisAfter);
    QCOMPARE(MemoText(dialog.MemoDomains), zones);
    QVERIFY(!QFile::exists(TSettingsStore::FilePath()));
}

void TestSettingsDialog::emptyWhoisSavedOnSecondPress()
{
    TTestEnv env;
    QTemporaryDir program;
    TScriptedDialogs dialogs;
    TWindowFixture window;
    window.WhenShown([&dialogs](TFormSettings* dialog) {
        dialog->MemoWhois->clear();
        dialog->BtnOk->click();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialogs.FShown.size(), 1);
        QVERIFY(!QFile::exists(DataFile(WhoisListFileName)));
        dialog->BtnOk->click();
    });

    QCOMPARE(window.Run(program.path()), int(QDialog::Accepted));
    QCOMPARE(dialogs.FShown.size(), 1);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), QByteArray("*:whois.tcinet.ru"));
    QCOMPARE(window.Settings.Setting_WhoisList, QStringList { u"*:whois.tcinet.ru"_qs });
}

void TestSettingsDialog::listsSavedAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("only a line break") << u"\n"_qs << QByteArray("\r\n");
    QTest::newRow("blank line, no final break") << u"ru\n\ncom"_qs << QByteArray("ru\r\n\r\ncom");
    QTest::newRow("cyrillic in 1251") << u"рф\n"_qs << QByteArray("\xF0\xF4\r\n");
    QTest::newRow("no-break space kept") << u"ru\u00A0\n"_qs << QByteArray("ru\xA0\r\n");
    QTest::newRow("beyond 1251, outside the BMP") << u"ru😀\n"_qs << QByteArray("\xEF\xBB\xBFru\xF0\x9F\x98\x80\r\n");
}

void TestSettingsDialog::listsSavedAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, saved);
    TTestEnv env;
    TFormSettings dialog;
    dialog.MemoDomains->setPlainText(typed);
    dialog.MemoWhois->setPlainText(typed);
    dialog.SaveSettings();
    QCOMPARE(ReadAll(DataFile(ZoneListFileName)), saved);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), saved);

    // What was saved loads back into the box unchanged.
    TFormSettings again;
    again.LoadSettings();
    QCOMPARE(MemoText(again.MemoDomains), typed);
}

void TestSettingsDialog::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Отмена") << u"button"_qs;
    QTest::newRow("Escape") << u"escape"_qs;
    QTest::newRow("close box") << u"close"_qs;
}

void TestSettingsDialog::cancelChangesNothing()
{
    QFETCH(QString, how);
    TTestEnv env;
    QTemporaryDir program;
    QVERIFY(WriteFirstRunDefaults());
    WriteAll(DataFile(WhoisListFileName), "RU:a\r\n");
    WriteAll(DataFile(ZoneListFileName), "ru\r\nsu\r\n");
    const QByteArray settingsBefore = ReadAll(TSettingsStore::FilePath());
    TScriptedDialogs dialogs;
    TWindowFixture window;
    LoadSettings(window.Settings, program.path());
    window.FillComboZones();
    window.Zones->setCurrentIndex(2);

    window.WhenShown([how](TFormSettings* dialog) {
        dialog->MemoWhois->setPlainText(u"*:x"_qs);
        dialog->MemoDomains->setPlainText(u"com"_qs);
        for (QCheckBox* box : { dialog->CheckBoxAutoCheck, dialog->CheckBoxShowAnswer, dialog->CheckBoxAutoRange,
                 dialog->CheckBoxUseRdap })
            box->toggle();
        if (how == u"button"_qs)
            dialog->BtnCancel->click();
        else if (how == u"escape"_qs)
            QTest::keyClick(dialog->MemoDomains, Qt::Key_Escape);
        else
            dialog->close();
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(window.Run(program.path()), int(QDialog::Rejected));
    QVERIFY(window.Shown);
    QCOMPARE(ReadAll(TSettingsStore::FilePath()), settingsBefore);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), QByteArray("RU:a\r\n"));
    QCOMPARE(ReadAll(DataFile(ZoneListFileName)), QByteArray("ru\r\nsu\r\n"));
    QCOMPARE(window.Offered(), (QStringList { AllZones, u"ru"_qs, u"su"_qs }));
    QCOMPARE(window.Zones->currentIndex(), 0);
    QVERIFY(dialogs.FShown.isEmpty());
    QVERIFY(!window.Dialog());
}

void TestSettingsDialog::markedFileLoadedAndSavedIn1251_data()
{
    QTest::addColumn<bool>("zones");
    QTest::addColumn<QByteArray>("marked");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("zones") << true << QByteArray("\xEF\xBB\xBFru\r\n\xD1\x80\xD1\x84\r\n")
                           << QByteArray("ru\r\n\xF0\xF4\r\n");
    QTest::newRow("whois") << false << QByteArray("\xEF\xBB\xBF\xD0\xA0\xD0\xA4:whois.tcinet.ru\n")
                           << QByteArray("\xD0\xD4:whois.tcinet.ru\r\n");
}

void TestSettingsDialog::markedFileLoadedAndSavedIn1251()
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
    window.WhenShown([zones](TFormSettings* dialog) {
        (zones ? dialog->BtnOpenZones : dialog->BtnOpenWhois)->click();
        dialog->BtnOk->click();
    });

    QCOMPARE(window.Run(program.path()), int(QDialog::Accepted));
    QCOMPARE(dialogs.FFileRequests.size(), 1);
    QCOMPARE(dialogs.FFileRequests.at(0).Filter, TextFilter);
    QCOMPARE(ReadAll(DataFile(zones ? ZoneListFileName : WhoisListFileName)), saved);
    QCOMPARE(ReadAll(chosen), marked);
    QCOMPARE(ReadListFile(DataFile(zones ? WhoisListFileName : ZoneListFileName)), zones ? BuiltInWhois : BuiltInZones);
}

void TestSettingsDialog::saveButtonReplacesWithoutQuestion_data()
{
    QTest::addColumn<bool>("zones");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("zones over an existing file") << true << u"list.txt"_qs << u"list.txt"_qs;
    QTest::newRow("whois over an existing file") << false << u"list.txt"_qs << u"list.txt"_qs;
    QTest::newRow("typed without extension") << true << u"list"_qs << u"list.txt"_qs;
    QTest::newRow("typed extension kept") << false << u"list.lst"_qs << u"list.lst"_qs;
}

void TestSettingsDialog::saveButtonReplacesWithoutQuestion()
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
    dialog.MemoDomains->setPlainText(u"ru\nрф"_qs);
    dialog.MemoWhois->setPlainText(u"*:w\n"_qs);

    (zones ? dialog.BtnSaveZones : dialog.BtnSaveWhois)->click();
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

void TestSettingsDialog::fileDialogsShared()
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

    dialog.BtnOpenWhois->click();
    dialog.BtnOpenZones->click(); // cancelled: the zone box keeps its list
    dialog.BtnSaveWhois->click();
    dialog.BtnSaveZones->click(); // cancelled: nothing written
    QCOMPARE(MemoText(dialog.MemoWhois), u"RU:a\n"_qs);
    QCOMPARE(SplitListLines(MemoText(dialog.MemoDomains)), BuiltInZones);
    QCOMPARE(QDir(files.filePath(u"b"_qs)).entryList(QDir::Files), QStringList { u"out.txt"_qs });

    QCOMPARE(dialogs.FFileRequests.size(), 4);
    QCOMPARE(dialogs.FFileRequests.at(0).Start, QString());
    QCOMPARE(dialogs.FFileRequests.at(1).Start, first); // the zones' open starts where the whois open ended
    // The save dialog's first use starts in the folder a list last came from; then at its own last file.
    QCOMPARE(dialogs.FFileRequests.at(2).Start, QFileInfo(first).absolutePath());
    QCOMPARE(dialogs.FFileRequests.at(3).Start, saved + u".txt"_qs);

    // The next settings dialog, even after a restart, starts in the folder last used for a list.
    TFormSettings next;
    next.BtnOpenWhois->click();
    QCOMPARE(dialogs.FFileRequests.size(), 5);
    QCOMPARE(dialogs.FFileRequests.at(4).Start, QFileInfo(saved).absolutePath());
}

void TestSettingsDialog::buttonErrorsReported_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("message");
    QTest::newRow("open a missing file") << true << u"Не удалось открыть файл"_qs;
    QTest::newRow("save into a missing folder") << false << u"Не удалось сохранить файл"_qs;
}

void TestSettingsDialog::buttonErrorsReported()
{
    QFETCH(bool, open);
    QFETCH(QString, message);
    TTestEnv env;
    QTemporaryDir files;
    const QString path = files.filePath(u"missing/list.txt"_qs);
    TScriptedDialogs dialogs;
    dialogs.FFileNames << path;
    TFormSettings dialog;
    dialog.show();

    (open ? dialog.BtnOpenWhois : dialog.BtnSaveWhois)->click();
    QCOMPARE(dialogs.FShown.size(), 1);
    QCOMPARE(dialogs.FShown.at(0).Title, u"Orvanta"_qs);
    QCOMPARE(dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY2(dialogs.FShown.at(0).Text.startsWith(message + u" \""_qs + path + u"\". "_qs),
        qPrintable(dialogs.FShown.at(0).Text));
    QVERIFY(dialogs.FShown.at(0).Text.size() > message.size() + path.size() + 5); // the system's reason
    QVERIFY(dialog.isVisible());
    QCOMPARE(SplitListLines(MemoText(dialog.MemoWhois)), BuiltInWhois);
    QVERIFY(!QFile::exists(files.filePath(u"missing"_qs)));
}

void TestSettingsDialog::checkBoxes_data()
{
    QTest::addColumn<bool>("autoCheck");
    QTest::addColumn<bool>("showAnswer");
    QTest::addColumn<bool>("autoRange");
    QTest::addColumn<bool>("useRdap");
    QTest::newRow("all off") << false << false << false << false;
    QTest::newRow("all on") << true << true << true << true;
    QTest::newRow("check only") << true << false << false << false;
    QTest::newRow("tips only") << false << true << false << false;
    QTest::newRow("range only") << false << false << true << false;
    QTest::newRow("RDAP only") << false << false << false << true;
}

void TestSettingsDialog::checkBoxes()
{
    QFETCH(bool, autoCheck);
    QFETCH(bool, showAnswer);
    QFETCH(bool, autoRange);
    QFETCH(bool, useRdap);
    TTestEnv env;
    {
        TFormSettings dialog;
        dialog.CheckBoxAutoCheck->setChecked(autoCheck);
        dialog.CheckBoxShowAnswer->setChecked(showAnswer);
        dialog.CheckBoxAutoRange->setChecked(autoRange);
        dialog.CheckBoxUseRdap->setChecked(useRdap);
        dialog.SaveSettings();
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoCheckGenerate"_qs), std::optional<quint32>(autoCheck));
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(showAnswer));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(autoRange));
    QCOMPARE(TSettingsStore::ReadDWord(u"CheckViaRdap"_qs), std::optional<quint32>(useRdap));

    // Loaded into a dialog whose defaults differ from the stored values wherever they can.
    TFormSettings dialog;
    dialog.CheckBoxAutoCheck->setChecked(!autoCheck);
    dialog.CheckBoxShowAnswer->setChecked(!showAnswer);
    dialog.CheckBoxAutoRange->setChecked(!autoRange);
    dialog.CheckBoxUseRdap->setChecked(!useRdap);
    dialog.LoadSettings();
    QCOMPARE(dialog.CheckBoxAutoCheck->isChecked(), autoCheck);
    QCOMPARE(dialog.CheckBoxShowAnswer->isChecked(), showAnswer);
    QCOMPARE(dialog.CheckBoxAutoRange->isChecked(), autoRange);
    QCOMPARE(dialog.CheckBoxUseRdap->isChecked(), useRdap);

    TAppSettings settings;
    QTemporaryDir program;
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_AutoWhois, autoCheck);
    QCOMPARE(settings.Setting_AutoRange, autoRange);
    QCOMPARE(settings.Setting_UseRdap, useRdap);
}

// The dialog is gone and the window has reloaded everything before the error reaches the window's report.
void TestSettingsDialog::saveFailureReportedAfterReload()
{
    TTestEnv env;
    QTemporaryDir program;
    BlockDataFolder(env);
    TScriptedDialogs dialogs;
    TWindowFixture window;
    window.Settings.Setting_FirstList = QStringList { u"stale"_qs };
    window.WhenShown([](TFormSettings* dialog) {
        dialog->CheckBoxAutoRange->setChecked(true);
        dialog->BtnOk->click();
    });

    const QString error = window.RunFailing(program.path(), [&window] {
        QVERIFY(!window.Dialog());
        QCOMPARE(window.Fills, 1);
        QCOMPARE(window.Offered(), (QStringList { AllZones, u"stale"_qs }));
        QVERIFY(window.Settings.Setting_AutoRange); // reloaded from the value written before the failure
    });
    QVERIFY(window.Shown);
    QVERIFY2(error.startsWith(u"Не удалось создать папку"_qs), qPrintable(error));
    QVERIFY(dialogs.FShown.isEmpty());
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(1));
}

void TestSettingsDialog::fillFailureShowsNoDialog()
{
    TTestEnv env;
    QTemporaryDir program;
    WriteAll(program.filePath(u"whois.dat"_qs), "RU:a\r\n");
    BlockDataFolder(env);
    TWindowFixture window;
    window.WhenShown([](TFormSettings* dialog) { dialog->BtnOk->click(); });

    const QString error = window.RunFailing(program.path(), [&window] {
        QVERIFY(!window.Dialog());
        QCOMPARE(window.Fills, 1);
    });
    QCoreApplication::processEvents(); // the pending look for a shown dialog
    QVERIFY(!window.Shown);
    QVERIFY2(error.startsWith(u"Не удалось создать папку"_qs), qPrintable(error));
    QVERIFY(!QFile::exists(TSettingsStore::FilePath()));
}

// "Сохранить" must not close quietly with nothing kept when the settings cannot be opened.
void TestSettingsDialog::settingsKeyUnavailable()
{
    TTestEnv env;
    WriteAll(env.Root() + u"/blocked"_qs, "not a folder");
    qputenv("XDG_CONFIG_HOME", (env.Root() + u"/blocked/config"_qs).toLocal8Bit());
    TFormSettings dialog;
    dialog.LoadSettings();
    QVERIFY_THROWS_EXCEPTION(EOrvantaError, dialog.SaveSettings());
    QVERIFY(!QFile::exists(GetDataFolder()));
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
