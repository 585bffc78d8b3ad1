#include "core/checks/DomainEngine.h"
#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/AppIcons.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/NoticeBar.h"
#include "gui/ResultsPanel.h"
#include "gui/UpdateCheck.h"
#include "support/LoopbackSite.h"
#include "support/MainWindowParts.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// The main window's layout, menus, shortcuts and the commands that open pages, dialogs and the update offer.
class TestMainForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layoutAndMenus();
    void hintAndScrollBar();
    void shortcutsAndIcons_data();
    void shortcutsAndIcons();
    void shortcutKeysReachTheirCommands();
    void webCommands();
    void failedWebPageSaysSo();
    void settingsDialogResetsZoneChoice();
    void qtTextsInRussian();
    void updateOfferedInNoticeBar_data();
    void updateOfferedInNoticeBar();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestMainForm::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestMainForm::cleanup()
{
    F.reset();
}

void TestMainForm::layoutAndMenus()
{
    TMainForm form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Orvanta 2.1"));
    QCOMPARE(form.minimumSize(), QSize(750, 480));
    for (QToolButton* b : { form.BtnClearMain, form.BtnOpen, form.BtnSave, form.BtnSetting, form.BtnWeb, form.BtnHelp }) {
        QCOMPARE(b->size(), QSize(54, 49));
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        QVERIFY(!b->toolTip().isEmpty());
    }
    QCOMPARE(form.BtnOpen->toolTip(), QStringLiteral("Открыть (загрузить) список слов для генерации в программу"));
    QCOMPARE(form.BtnStart->text(), QStringLiteral("Начать генерацию"));
    QVERIFY(form.BtnStart->font().bold());
    QCOMPARE(form.ComboBoxWordCount->count(), 3);
    QCOMPARE(form.ComboBoxWordCount->itemText(2), QStringLiteral("4 слова"));
    QCOMPARE(form.ComboBoxWordCount->currentIndex(), 0);
    QCOMPARE(form.ComboBoxZones->itemText(0), QStringLiteral("Все доменные зоны"));
    QCOMPARE(form.PanelContLeft->width(), 249);
    QCOMPARE(form.PanelMainTop->height(), 55);
    QCOMPARE(form.EmptyListHint->text(),
        QStringLiteral("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"));

    QStringList menus;
    for (QAction* a : form.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList { QStringLiteral("Файл"), QStringLiteral("Настройки"), QStringLiteral("Отчет"),
                        QStringLiteral("Справка") }));
    QStringList popup;
    for (QAction* a : form.GridMenu->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (x)")));
    QCOMPARE(popup, (QStringList { QStringLiteral("Копировать имена (x)"),
                        QStringLiteral("Проверить непроверенные заново"), QStringLiteral("-"),
                        QStringLiteral("Очистить список"), QStringLiteral("-"),
                        QStringLiteral("Сохранение результатов (x)"), QStringLiteral("-"),
                        QStringLiteral("Сохранить в текстовый документ"), QStringLiteral("Сохранить в CSV документ"),
                        QStringLiteral("-"), QStringLiteral("Экспорт отчета (x)"), QStringLiteral("-"),
                        QStringLiteral("В текстовом формате (TXT)"), QStringLiteral("В HTML файл (HTML)"),
                        QStringLiteral("В табличном формате (CSV)") }));
    QVERIFY(!form.ResultCommandsEnabled());
    for (QAction* a : { form.MI_ClearResult, form.MI_ExportCSV, form.Mi_ExportText, form.MI_ReportText,
             form.MI_ReportHTML, form.MI_ReportCSV })
        QVERIFY(!a->isEnabled());
}

void TestMainForm::hintAndScrollBar()
{
    TMainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.PanelWordHint->isVisible());
    QTest::keyClick(form.MemoWords, Qt::Key_Space);
    QVERIFY(!form.PanelWordHint->isVisible());
    QTest::keyClick(form.MemoWords, Qt::Key_Backspace);
    QVERIFY(form.PanelWordHint->isVisible());

    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines << QString::number(i);
    form.MemoWords->setPlainText(lines.join(u'\n') + u'\n');
    QCOMPARE(form.MemoWords->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    lines << QStringLiteral("20");
    form.MemoWords->setPlainText(lines.join(u'\n'));
    QCOMPARE(form.MemoWords->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // A click on the hint puts the focus into the memo; the panel stays until something is typed.
    form.MemoWords->clear();
    form.BtnStart->setFocus();
    QTest::mouseClick(form.EmptyListHint, Qt::LeftButton);
    QVERIFY(form.MemoWords->hasFocus());
    QVERIFY(form.PanelWordHint->isVisible());
}

void TestMainForm::shortcutsAndIcons_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("button"); // the toolbar button whose picture the item carries
    QTest::newRow("start") << u"MI_Start"_qs << QKeySequence(u"Ctrl+Return"_qs) << u"BtnStart"_qs;
    QTest::newRow("open") << u"MI_OpenWords"_qs << QKeySequence(u"Ctrl+O"_qs) << u"BtnOpen"_qs;
    QTest::newRow("save") << u"MI_SaveWords"_qs << QKeySequence(u"Ctrl+S"_qs) << u"BtnSave"_qs;
    QTest::newRow("help") << u"MI_Help"_qs << QKeySequence(u"F1"_qs) << u"BtnHelp"_qs;
    QTest::newRow("exit") << u"MI_Exit"_qs << QKeySequence(u"Ctrl+Q"_qs) << QString();
    QTest::newRow("copy") << u"PM_CopyNames"_qs << QKeySequence(u"Ctrl+C"_qs) << QString();
    QTest::newRow("clear") << u"MI_ClearResult"_qs << QKeySequence() << u"BtnClearMain"_qs;
    QTest::newRow("settings") << u"MI_Settings"_qs << QKeySequence() << u"BtnSetting"_qs;
    QTest::newRow("site") << u"MI_Web"_qs << QKeySequence() << u"BtnWeb"_qs;
}

void TestMainForm::shortcutsAndIcons()
{
    QFETCH(QString, item);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, button);
    TMainForm form;
    const QHash<QString, QAction*> actions { { u"MI_Start"_qs, form.MI_Start },
        { u"MI_OpenWords"_qs, form.MI_OpenWords }, { u"MI_SaveWords"_qs, form.MI_SaveWords },
        { u"MI_Help"_qs, form.MI_Help }, { u"MI_Exit"_qs, form.MI_Exit }, { u"PM_CopyNames"_qs, form.PM_CopyNames },
        { u"MI_ClearResult"_qs, form.MI_ClearResult }, { u"MI_Settings"_qs, form.MI_Settings },
        { u"MI_Web"_qs, form.MI_Web } };
    QAction* action = actions.value(item);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), keys);
    QVERIFY(!action->icon().isNull());
    if (!button.isEmpty()) {
        auto* widget = form.findChild<QAbstractButton*>(button);
        QVERIFY(widget);
        QCOMPARE(action->icon().cacheKey(), widget->icon().cacheKey());
    }
}

void TestMainForm::shortcutKeysReachTheirCommands()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Toolbar pictures from the one theme the set-up installs, all at the same size.
    QCOMPARE(AppIconTheme(), u"Tango"_qs);
    QCOMPARE(form.BtnSetting->icon().name(), u"preferences-system"_qs);
    QCOMPARE(form.BtnWeb->icon().name(), u"internet-web-browser"_qs);
    for (QToolButton* b : { form.BtnClearMain, form.BtnOpen, form.BtnSave, form.BtnSetting, form.BtnWeb, form.BtnHelp })
        QCOMPARE(b->iconSize(), QSize(32, 32));

    // Ctrl+Enter in the keyword list starts, and adds no line to it.
    form.MemoWords->setPlainText(u"red\ncat"_qs);
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(form.Grid().RowCount(), 4);
    QCOMPARE(form.MemoWords->toPlainText(), u"red\ncat"_qs);

    // Ctrl+C in the keyword list copies its text, not the grid's names.
    form.ResultsPane->ResultsView()->selectRow(0);
    form.MemoWords->selectAll();
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"red\ncat"_qs);

    // Ctrl+O asks for a word list.
    QTest::keyClick(form.MemoWords, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(F->Dialogs.FFileRequests.size(), 1);
    QVERIFY(F->Dialogs.FFileRequests.at(0).DefaultSuffix.isEmpty());
}

void TestMainForm::webCommands()
{
    QStringList opened;
    SetOpenDocumentHandler([&](const QString& t) {
        opened << t;
        return true;
    });
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9");
    TMainForm form;
    form.BtnHelp->click();
    form.BtnWeb->click();
    form.MI_Suggest->trigger();
    form.MI_Support->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    SetOpenDocumentHandler({});
    QCOMPARE(opened, (QStringList { u"http://127.0.0.1:9/faq.php"_qs, u"http://127.0.0.1:9"_qs,
                         u"http://127.0.0.1:9/contact.php"_qs, u"http://127.0.0.1:9/contact.php"_qs }));
}

void TestMainForm::failedWebPageSaysSo()
{
    SetOpenDocumentHandler([](const QString&) { return false; });
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9");
    TMainForm form;
    form.BtnWeb->click();
    form.MI_Help->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    SetOpenDocumentHandler({});
    QCOMPARE(F->Dialogs.FShown.size(), 2);
    QCOMPARE(F->Dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY(F->Dialogs.FShown.at(0).Text.startsWith(u"Не удалось открыть страницу в браузере:\nhttp://127.0.0.1:9\n"_qs));
    QVERIFY(F->Dialogs.FShown.at(1).Text.contains(u"http://127.0.0.1:9/faq.php"_qs));
    QVERIFY(form.isEnabled());
}

void TestMainForm::settingsDialogResetsZoneChoice()
{
    TMainForm form;
    form.show();
    form.ComboBoxZones->setCurrentIndex(2);
    WriteZones("net\r\norg\r\nbiz\r\n");
    // Closed with "Отмена" as a user would; the zone list is reloaded all the same.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    form.BtnSetting->click();
    QCOMPARE(form.ComboBoxZones->currentIndex(), 0);
    QCOMPARE(form.ComboBoxZones->count(), 4);
    QCOMPARE(form.ComboBoxZones->itemText(3), QStringLiteral("biz"));
    QCOMPARE(form.Setting_FirstList, (QStringList { u"net"_qs, u"org"_qs, u"biz"_qs }));
}

void TestMainForm::qtTextsInRussian()
{
    QVERIFY(InstallQtTranslations());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
}

void TestMainForm::updateOfferedInNoticeBar_data()
{
    QTest::addColumn<bool>("download");
    QTest::newRow("Позже") << false;
    QTest::newRow("Скачать") << true;
}

void TestMainForm::updateOfferedInNoticeBar()
{
    QFETCH(bool, download);
    TLoopbackSite site;
    site.Serve(u"/updates.txt"_qs, { 200, "2.2\r\nНовое\r\n", {}, false });
    site.Serve(u"/upd/orvanta.exe"_qs, { 200, "program", {}, false });
    TSiteUrlOverride siteUrl(site.Url());
    TMainForm form;
    form.show();
    auto* bar = form.findChild<TNoticeBar*>(u"PanelUpdateNotice"_qs);
    QVERIFY(bar && !bar->isVisible());
    auto* check = form.findChild<TUpdateCheck*>();
    QSignalSpy handled(check, &TUpdateCheck::DownloadHandled);
    form.TimerUpdateTimer();
    QVERIFY(handled.wait(20000));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->Text(),
        u"На сайте доступна новая версия программы (2.2)\nНовое\n\n\n\nВы хотите обновить программу?"_qs);
    QVERIFY(F->Dialogs.FShown.isEmpty());

    // Keys meant for the keyword list stay there: Enter and Space answer nothing.
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_Return);
    QTest::keyClick(form.MemoWords, Qt::Key_Space);
    QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
    QVERIFY(bar->isVisible());

    QTest::mouseClick(bar->findChild<QPushButton*>(download ? u"BtnUpdateDownload"_qs : u"BtnUpdateLater"_qs),
        Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    if (download) {
        QVERIFY(handled.wait(20000));
        QCOMPARE(site.Requests(), (QStringList { u"/updates.txt"_qs, u"/upd/orvanta.exe"_qs }));
        QCOMPARE(ReadAll(GetDataFolder() + u"bot.upd"_qs), QByteArray("program"));
    } else {
        QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
        QVERIFY(!QFile::exists(GetDataFolder() + u"bot.upd"_qs));
    }
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
