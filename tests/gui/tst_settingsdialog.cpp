#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "gui/DlgSetting.h"
#include "support/FindControl.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsDialogFixture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace
{

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

} // namespace

// The settings dialog's switches, its checks on "Сохранить", cancelling, and how its errors reach the user.
class TestSettingsDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layoutAndDefaults();
    void validation_data();
    void validation();
    void emptyWhoisSavedOnSecondPress();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void buttonErrorsReported_data();
    void buttonErrorsReported();
    void checkBoxes_data();
    void checkBoxes();
    void reuseAges();
    void saveFailureReportedAfterReload();
    void fillFailureShowsNoDialog();
    void settingsKeyUnavailable();
};

void TestSettingsDialog::layoutAndDefaults()
{
    TTestEnv env;
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    QCOMPARE(dialog.windowTitle(), u"Основные настройки"_qs);
    // Of a fixed size that holds every control whole.
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), dialog.minimumSize());
    for (const QWidget* control : std::initializer_list<const QWidget*> { ui.AutoCheck, ui.ShowAnswer, ui.AutoRange,
             ui.UseRdap, ui.DnsFirst, ui.CheckUpdates, ui.ReuseTaken, ui.ReuseFree, ui.Whois, ui.OpenWhois,
             ui.SaveWhois, ui.Zones, ui.OpenZones, ui.SaveZones, ui.Ok, ui.Cancel })
        QVERIFY2(ShownWhole(dialog, *control), qPrintable(control->objectName()));
    QVERIFY(ui.Ok->isDefault());
    QVERIFY(ui.Ok->font().bold());
    QVERIFY(!ui.Cancel->isDefault());
    QVERIFY(!ui.AutoCheck->isChecked());
    QVERIFY(ui.ShowAnswer->isChecked());
    QVERIFY(!ui.AutoRange->isChecked());
    // RDAP is used unless the user turns it off.
    QCOMPARE(ui.UseRdap->text().remove(u'&'), u"Проверять через RDAP, где возможно"_qs);
    QVERIFY(ui.UseRdap->isChecked());
    // So is DNS before the registry.
    QCOMPARE(ui.DnsFirst->text().remove(u'&'), u"Сначала проверять через DNS"_qs);
    QVERIFY(ui.DnsFirst->isChecked());
    // A verdict "taken" stands for a week, "free" for an hour.
    QCOMPARE(ui.ReuseTaken->value(), 7);
    QCOMPARE(ui.ReuseFree->value(), 60);
    // So is the update check.
    QCOMPARE(ui.CheckUpdates->text().remove(u'&'), u"Проверять обновления при запуске"_qs);
    QVERIFY(ui.CheckUpdates->isChecked());
    QCOMPARE(SplitListLines(MemoText(ui.Whois)), BuiltInWhois);
    QCOMPARE(SplitListLines(MemoText(ui.Zones)), BuiltInZones);

    // Enter on a list button would otherwise save and close the dialog.
    for (QPushButton* button : { ui.OpenWhois, ui.SaveWhois, ui.SaveZones, ui.OpenZones })
        QVERIFY(!button->autoDefault());
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
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    ui.Zones->setPlainText(zones);
    ui.Whois->setPlainText(whois);
    dialog.show();

    QTest::mouseClick(ui.Ok, Qt::LeftButton);
    QCOMPARE(Shown(dialogs), messages);
    for (const auto& shown : dialogs.FShown)
        QCOMPARE(shown.Icon, TUserDialogs::TIcon::Warning);
    const bool passes = messages.isEmpty();
    QCOMPARE(dialog.isVisible(), !passes);
    QCOMPARE(dialog.result(), passes ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(MemoText(ui.Whois), whoisAfter);
    QCOMPARE(MemoText(ui.Zones), zones);
    QVERIFY(!QFile::exists(TSettingsStore::FilePath()));
}

void TestSettingsDialog::emptyWhoisSavedOnSecondPress()
{
    TTestEnv env;
    QTemporaryDir program;
    TScriptedDialogs dialogs;
    TWindowFixture window;
    window.WhenShown([&dialogs](TFormSettings* dialog, const TSettingsControls& ui) {
        ui.Whois->clear();
        ui.Ok->click();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialogs.FShown.size(), 1);
        QVERIFY(!QFile::exists(DataFile(WhoisListFileName)));
        ui.Ok->click();
    });

    QCOMPARE(window.Run(program.path()), int(QDialog::Accepted));
    QCOMPARE(dialogs.FShown.size(), 1);
    QCOMPARE(ReadAll(DataFile(WhoisListFileName)), QByteArray("*:whois.tcinet.ru"));
    QCOMPARE(window.Settings.Setting_WhoisList, QStringList { u"*:whois.tcinet.ru"_qs });
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

    window.WhenShown([how](TFormSettings* dialog, const TSettingsControls& ui) {
        ui.Whois->setPlainText(u"*:x"_qs);
        ui.Zones->setPlainText(u"com"_qs);
        for (QCheckBox* box : ui.Switches())
            box->toggle();
        if (how == u"button"_qs)
            ui.Cancel->click();
        else if (how == u"escape"_qs)
            QTest::keyClick(ui.Zones, Qt::Key_Escape);
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
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    dialog.show();

    (open ? ui.OpenWhois : ui.SaveWhois)->click();
    QCOMPARE(dialogs.FShown.size(), 1);
    QCOMPARE(dialogs.FShown.at(0).Title, u"Orvanta"_qs);
    QCOMPARE(dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY2(dialogs.FShown.at(0).Text.startsWith(message + u" \""_qs + path + u"\". "_qs),
        qPrintable(dialogs.FShown.at(0).Text));
    QVERIFY(dialogs.FShown.at(0).Text.size() > message.size() + path.size() + 5); // the system's reason
    QVERIFY(dialog.isVisible());
    QCOMPARE(SplitListLines(MemoText(ui.Whois)), BuiltInWhois);
    QVERIFY(!QFile::exists(files.filePath(u"missing"_qs)));
}

void TestSettingsDialog::checkBoxes_data()
{
    QTest::addColumn<bool>("autoCheck");
    QTest::addColumn<bool>("showAnswer");
    QTest::addColumn<bool>("autoRange");
    QTest::addColumn<bool>("useRdap");
    QTest::addColumn<bool>("dnsFirst");
    QTest::addColumn<bool>("checkUpdates");
    QTest::newRow("all off") << false << false << false << false << false << false;
    QTest::newRow("all on") << true << true << true << true << true << true;
    QTest::newRow("check only") << true << false << false << false << false << false;
    QTest::newRow("tips only") << false << true << false << false << false << false;
    QTest::newRow("range only") << false << false << true << false << false << false;
    QTest::newRow("RDAP only") << false << false << false << true << false << false;
    QTest::newRow("DNS only") << false << false << false << false << true << false;
    QTest::newRow("update check only") << false << false << false << false << false << true;
}

void TestSettingsDialog::checkBoxes()
{
    QFETCH(bool, autoCheck);
    QFETCH(bool, showAnswer);
    QFETCH(bool, autoRange);
    QFETCH(bool, useRdap);
    QFETCH(bool, dnsFirst);
    QFETCH(bool, checkUpdates);
    TTestEnv env;
    {
        TFormSettings dialog;
        TSettingsControls ui;
        QVERIFY(ui.Find(dialog));
        ui.AutoCheck->setChecked(autoCheck);
        ui.ShowAnswer->setChecked(showAnswer);
        ui.AutoRange->setChecked(autoRange);
        ui.UseRdap->setChecked(useRdap);
        ui.DnsFirst->setChecked(dnsFirst);
        ui.CheckUpdates->setChecked(checkUpdates);
        dialog.SaveSettings();
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoCheckGenerate"_qs), std::optional<quint32>(autoCheck));
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(showAnswer));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(autoRange));
    QCOMPARE(TSettingsStore::ReadDWord(u"CheckViaRdap"_qs), std::optional<quint32>(useRdap));
    QCOMPARE(TSettingsStore::ReadDWord(u"CheckViaDnsFirst"_qs), std::optional<quint32>(dnsFirst));
    QCOMPARE(TSettingsStore::ReadDWord(u"CheckUpdates"_qs), std::optional<quint32>(checkUpdates));

    // Loaded into a dialog whose defaults differ from the stored values wherever they can.
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    ui.AutoCheck->setChecked(!autoCheck);
    ui.ShowAnswer->setChecked(!showAnswer);
    ui.AutoRange->setChecked(!autoRange);
    ui.UseRdap->setChecked(!useRdap);
    ui.DnsFirst->setChecked(!dnsFirst);
    ui.CheckUpdates->setChecked(!checkUpdates);
    dialog.LoadSettings();
    QCOMPARE(ui.AutoCheck->isChecked(), autoCheck);
    QCOMPARE(ui.ShowAnswer->isChecked(), showAnswer);
    QCOMPARE(ui.AutoRange->isChecked(), autoRange);
    QCOMPARE(ui.UseRdap->isChecked(), useRdap);
    QCOMPARE(ui.DnsFirst->isChecked(), dnsFirst);
    QCOMPARE(ui.CheckUpdates->isChecked(), checkUpdates);

    TAppSettings settings;
    QTemporaryDir program;
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_AutoWhois, autoCheck);
    QCOMPARE(settings.Setting_AutoRange, autoRange);
    QCOMPARE(settings.Setting_UseRdap, useRdap);
    QCOMPARE(settings.Setting_DnsFirst, dnsFirst);
    QCOMPARE(settings.Setting_CheckUpdates, checkUpdates);
}

// The two ages go to the settings and back, 0 included; the window reads them.
void TestSettingsDialog::reuseAges()
{
    TTestEnv env;
    {
        TFormSettings dialog;
        TSettingsControls ui;
        QVERIFY(ui.Find(dialog));
        ui.ReuseTaken->setValue(30);
        ui.ReuseFree->setValue(0);
        dialog.SaveSettings();
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"ReuseTakenDays"_qs), std::optional<quint32>(30));
    QCOMPARE(TSettingsStore::ReadDWord(u"ReuseFreeMinutes"_qs), std::optional<quint32>(0));
    TFormSettings dialog;
    TSettingsControls ui;
    QVERIFY(ui.Find(dialog));
    dialog.LoadSettings();
    QCOMPARE(ui.ReuseTaken->value(), 30);
    QCOMPARE(ui.ReuseFree->value(), 0);
    TAppSettings settings;
    QTemporaryDir program;
    LoadSettings(settings, program.path());
    QCOMPARE(settings.Setting_ReuseTakenDays, 30);
    QCOMPARE(settings.Setting_ReuseFreeMinutes, 0);
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
    window.WhenShown([](TFormSettings*, const TSettingsControls& ui) {
        ui.AutoRange->setChecked(true);
        ui.Ok->click();
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
    window.WhenShown([](TFormSettings*, const TSettingsControls& ui) { ui.Ok->click(); });

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
