#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/AppIcons.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/NoticeBar.h"
#include "gui/ResultsModel.h"
#include "gui/UpdateCheck.h"
#include "gui/ZoneChoice.h"
#include "support/FindControl.h"
#include "support/LoopbackSite.h"
#include "support/MainWindowControls.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
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
class TestMainForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layout();
    void captionsAndMenus();
    void hintAndScrollBar();
    void shortcutsAndIcons_data();
    void shortcutsAndIcons();
    void shortcutKeysReachTheirCommands();
    void webCommands();
    void failedWebPageSaysSo_data();
    void failedWebPageSaysSo();
    void settingsDialogReloadsZones();
    void qtTextsInRussian();
    void updateOfferedInNoticeBar_data();
    void updateOfferedInNoticeBar();
    void updateCheckSetting_data();
    void updateCheckSetting();

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

// The window shows each of its controls whole at any size it can take; the keyword side and the toolbar keep
// their size and the results take what the window gains.
void TestMainForm::layout()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto settle = [&form](QSize Size) {
        form.resize(Size);
        form.layout()->activate();
        QCoreApplication::sendPostedEvents();
    };

    // Asked to shrink to nothing, the window stops at its minimum, where everything still fits.
    settle(QSize(1, 1));
    QCOMPARE(form.size(), form.minimumSize());
    const QSize smallest = form.size();
    const int keywordWidth = ui.KeywordPanel->width();
    const int toolbarHeight = ui.Toolbar->height();
    const int resultsWidth = ui.Results->width();
    QVERIFY(resultsWidth > 0);
    for (const QWidget* control : std::initializer_list<const QWidget*> { ui.Words, ui.WordCount, ui.Zones,
             ui.NameCount, ui.Start, ui.Results, ui.Placeholder })
        QVERIFY2(ShownWhole(form, *control), qPrintable(control->objectName()));
    // The toolbar's buttons are alike, side by side in order, each whole.
    QWidget* previous = nullptr;
    for (QToolButton* b : ui.Buttons()) {
        QVERIFY2(ShownWhole(form, *b), qPrintable(b->objectName()));
        QCOMPARE(b->size(), ui.Clear->size());
        if (previous)
            QVERIFY2(b->x() > previous->geometry().right(), qPrintable(b->objectName()));
        previous = b;
    }

    settle(smallest + QSize(300, 200));
    QCOMPARE(ui.KeywordPanel->width(), keywordWidth);
    QCOMPARE(ui.Toolbar->height(), toolbarHeight);
    QCOMPARE(ui.Results->width(), resultsWidth + 300);
    QVERIFY(ShownWhole(form, *ui.Start));
}

void TestMainForm::captionsAndMenus()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Orvanta 2.1"));
    for (QToolButton* b : ui.Buttons()) {
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        QVERIFY(!b->toolTip().isEmpty());
    }
    QCOMPARE(ui.Open->toolTip(), QStringLiteral("Открыть (загрузить) список слов для генерации в программу"));
    QCOMPARE(ui.Start->text().remove(u'&'), QStringLiteral("Начать генерацию"));
    QVERIFY(ui.Start->font().bold());
    QCOMPARE(ui.WordCount->count(), 4);
    QCOMPARE(ui.WordCount->itemText(2), QStringLiteral("4 слова"));
    QCOMPARE(ui.WordCount->itemText(3), QStringLiteral("Готовые имена"));
    QCOMPARE(ui.WordCount->currentIndex(), 0);
    QCOMPARE(ui.Zones->Summary(), QStringLiteral("Все доменные зоны"));
    QCOMPARE(ui.EmptyListHint->text(),
        QStringLiteral("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"));

    QStringList menus;
    for (QAction* a : form.menuBar()->actions())
        menus << a->text().remove(u'&');
    QCOMPARE(menus, (QStringList { QStringLiteral("Файл"), QStringLiteral("Настройки"), QStringLiteral("Отчет"),
                        QStringLiteral("История"), QStringLiteral("Справка") }));
    QStringList popup;
    for (QAction* a : ui.GridMenu->actions())
        popup << (a->isSeparator() ? QStringLiteral("-")
                                   : a->text().remove(u'&') + (a->isEnabled() ? QString() : QStringLiteral(" (x)")));
    QCOMPARE(popup,
        (QStringList { QStringLiteral("Копировать имена (x)"), QStringLiteral("Проверить непроверенные заново"),
            QStringLiteral("Сортировать по этому столбцу"), QStringLiteral("Проверить заново"), QStringLiteral("-"), QStringLiteral("Очистить список"),
            QStringLiteral("-"), QStringLiteral("Сохранение результатов (x)"), QStringLiteral("-"),
            QStringLiteral("Сохранить в текстовый документ"), QStringLiteral("Сохранить в CSV документ"),
            QStringLiteral("-"), QStringLiteral("Экспорт отчета (x)"), QStringLiteral("-"),
            QStringLiteral("В текстовом формате (TXT)"), QStringLiteral("В HTML файл (HTML)"),
            QStringLiteral("В табличном формате (CSV)") }));
    QVERIFY(!form.ResultCommandsEnabled());
    for (const QString& name : { u"MI_ClearResult"_qs, u"MI_ExportCSV"_qs, u"MI_ExportText"_qs, u"MI_ReportText"_qs,
             u"MI_ReportHTML"_qs, u"MI_ReportCSV"_qs }) {
        QAction* command = nullptr;
        QVERIFY(FindControl(form, name, command));
        QVERIFY2(!command->isEnabled(), qPrintable(name));
    }
}

void TestMainForm::hintAndScrollBar()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(ui.WordHint->isVisible());
    QTest::keyClick(ui.Words, Qt::Key_Space);
    QVERIFY(!ui.WordHint->isVisible());
    QTest::keyClick(ui.Words, Qt::Key_Backspace);
    QVERIFY(ui.WordHint->isVisible());

    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines << QString::number(i);
    ui.Words->setPlainText(lines.join(u'\n') + u'\n');
    QCOMPARE(ui.Words->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    lines << QStringLiteral("20");
    ui.Words->setPlainText(lines.join(u'\n'));
    QCOMPARE(ui.Words->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // A click on the hint puts the focus into the memo; the panel stays until something is typed.
    ui.Words->clear();
    ui.Start->setFocus();
    QTest::mouseClick(ui.EmptyListHint, Qt::LeftButton);
    QVERIFY(ui.Words->hasFocus());
    QVERIFY(ui.WordHint->isVisible());
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
    QAction* action = nullptr;
    QVERIFY(FindControl(form, item, action));
    QCOMPARE(action->shortcut(), keys);
    QVERIFY(!action->icon().isNull());
    if (!button.isEmpty()) {
        QAbstractButton* widget = nullptr;
        QVERIFY(FindControl(form, button, widget));
        QCOMPARE(action->icon().cacheKey(), widget->icon().cacheKey());
    }
}

void TestMainForm::shortcutKeysReachTheirCommands()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Toolbar pictures from the one theme the set-up installs, all at the same size.
    QCOMPARE(AppIconTheme(), u"Tango"_qs);
    QCOMPARE(ui.Settings->icon().name(), u"preferences-system"_qs);
    QCOMPARE(ui.Web->icon().name(), u"internet-web-browser"_qs);
    for (QToolButton* b : ui.Buttons())
        QCOMPARE(b->iconSize(), ui.Clear->iconSize());

    // Ctrl+Enter in the keyword list starts, and adds no line to it.
    ui.Words->setPlainText(u"red\ncat"_qs);
    ui.Words->setFocus();
    QTest::keyClick(ui.Words, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(form.Results().RowCount(), 4);
    QCOMPARE(ui.Words->toPlainText(), u"red\ncat"_qs);

    // Ctrl+C in the keyword list copies its text, not the grid's names.
    ui.Grid->selectRow(0);
    ui.Words->selectAll();
    ui.Words->setFocus();
    QTest::keyClick(ui.Words, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"red\ncat"_qs);

    // Ctrl+O asks for a word list.
    QTest::keyClick(ui.Words, Qt::Key_O, Qt::ControlModifier);
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
    TMainControls ui;
    QAction* suggest = nullptr;
    QAction* support = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"MI_Suggest"_qs, suggest));
    QVERIFY(FindControl(form, u"MI_Support"_qs, support));
    ui.Help->click();
    ui.Web->click();
    suggest->trigger();
    support->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    QTRY_COMPARE(opened,
        (QStringList { u"http://127.0.0.1:9/faq.php"_qs, u"http://127.0.0.1:9"_qs, u"http://127.0.0.1:9/contact.php"_qs,
            u"http://127.0.0.1:9/contact.php"_qs }));
    SetOpenDocumentHandler({});
    QVERIFY(F->Dialogs.FNotices.isEmpty());
}

void TestMainForm::failedWebPageSaysSo_data()
{
    QTest::addColumn<bool>("noOpener");
    // The desktop's opener is not there at all, or it runs and says no browser took the page.
    QTest::newRow("no opener") << true;
    QTest::newRow("opener fails") << false;
}

void TestMainForm::failedWebPageSaysSo()
{
    QFETCH(bool, noOpener);
    // The real opener, found through PATH: none at all, or one that fails as xdg-open does without a browser.
    const QString bin = F->Env.Root() + u"/bin"_qs;
    QVERIFY(QDir().mkpath(bin));
    if (!noOpener) {
        F->Env.WriteFile(u"bin/xdg-open"_qs, "#!/bin/sh\necho 'no method available for opening' >&2\nexit 3\n");
        QVERIFY(QFile::setPermissions(bin + u"/xdg-open"_qs, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit());
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9");
    TMainForm form;
    TMainControls ui;
    QAction* help = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"MI_Help"_qs, help));
    ui.Web->click();
    help->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    QTRY_COMPARE(F->Dialogs.FNotices.size(), 2);
    qputenv("PATH", path);
    // Said without stopping anything, with the address to copy.
    QVERIFY(F->Dialogs.FShown.isEmpty());
    QCOMPARE(F->Dialogs.FNotices.at(0).Icon, TUserDialogs::TIcon::Warning);
    // Two openers run side by side: each page's message names its own address, in whatever order they end.
    QStringList addresses;
    for (const auto& notice : F->Dialogs.FNotices) {
        QVERIFY(notice.Text.startsWith(u"Не удалось открыть страницу в браузере"_qs));
        addresses << notice.Text.section(u'\n', -1);
    }
    addresses.sort();
    QCOMPARE(addresses, (QStringList { u"http://127.0.0.1:9"_qs, u"http://127.0.0.1:9/faq.php"_qs }));
    QVERIFY(form.isEnabled());
}

void TestMainForm::settingsDialogReloadsZones()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    ChooseZone(*ui.Zones, 2);
    WriteZones("net\r\ncom\r\nbiz\r\n");
    // Closed with "Отмена" as a user would; the zone list is reloaded all the same.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    ui.Settings->click();
    QCOMPARE(form.Setting_FirstList, (QStringList { u"net"_qs, u"com"_qs, u"biz"_qs }));
    QCOMPARE(ui.Zones->Zones(), form.Setting_FirstList);
    // A zone still listed keeps its mark; the new ones join only a choice of every zone.
    QCOMPARE(ui.Zones->CheckedZones(), QStringList { u"com"_qs });
}

void TestMainForm::qtTextsInRussian()
{
    QVERIFY(InstallQtTranslations());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
}

void TestMainForm::updateOfferedInNoticeBar_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Позже") << u"later"_qs;
    QTest::newRow("Скачать") << u"download"_qs;
    // The program file comes without end; closing the window stops it at once.
    QTest::newRow("Скачать, then the window closed") << u"close"_qs;
}

void TestMainForm::updateOfferedInNoticeBar()
{
    QFETCH(QString, answer);
    const bool download = answer != u"later"_qs;
    TLoopbackSite site;
    site.Serve(u"/updates.txt"_qs, { 200, "2.2\r\nНовое\r\n", {}, false });
    TLoopbackSite::TReply program { 200, "program", {}, false };
    program.Endless = answer == u"close"_qs;
    site.Serve(u"/upd/orvanta.exe"_qs, program);
    TSiteUrlOverride siteUrl(site.Url());
    TMainForm form;
    TMainControls ui;
    TNoticeBar* bar = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"PanelUpdateNotice"_qs, bar));
    form.show();
    QVERIFY(!bar->isVisible());
    auto* check = form.findChild<TUpdateCheck*>();
    QSignalSpy handled(check, &TUpdateCheck::DownloadHandled);
    form.TimerUpdateTimer();
    QVERIFY(handled.wait(20000));
    QVERIFY(bar->isVisible());
    QCOMPARE(
        bar->Text(), u"На сайте доступна новая версия программы (2.2)\nНовое\n\n\n\nВы хотите обновить программу?"_qs);
    QVERIFY(F->Dialogs.FShown.isEmpty());

    // Keys meant for the keyword list stay there: Enter and Space answer nothing.
    ui.Words->setFocus();
    QTest::keyClick(ui.Words, Qt::Key_Return);
    QTest::keyClick(ui.Words, Qt::Key_Space);
    QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
    QVERIFY(bar->isVisible());

    QPushButton* button = nullptr;
    QVERIFY(FindControl(*bar, download ? u"BtnUpdateDownload"_qs : u"BtnUpdateLater"_qs, button));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    const QString programFile = GetDataFolder() + u"bot.upd"_qs;
    if (answer == u"download"_qs) {
        QVERIFY(handled.wait(20000));
        QCOMPARE(site.Requests(), (QStringList { u"/updates.txt"_qs, u"/upd/orvanta.exe"_qs }));
        QCOMPARE(ReadAll(programFile), QByteArray("program"));
    } else if (answer == u"close"_qs) {
        QTRY_VERIFY(site.EndlessBytes() > 8 * 1024 * 1024);
        QVERIFY(check->Busy());
        QVERIFY(form.close());
        QVERIFY(!check->Busy());
        // The window object lives on; the download does not: its connection closes, no temporary file stays.
        QTRY_VERIFY_WITH_TIMEOUT(site.ClosedConnections() > 0, CloseNoticedMs);
        QCOMPARE(FilesIn(GetDataFolder()).filter(u"bot.upd"_qs), QStringList());
        QCOMPARE(handled.size(), 1);
        QVERIFY(F->Dialogs.FShown.isEmpty());
    } else {
        QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
        QVERIFY(!QFile::exists(programFile));
    }
}

void TestMainForm::updateCheckSetting_data()
{
    QTest::addColumn<QVariant>("stored"); // "CheckUpdates"; null: never set
    QTest::addColumn<bool>("asks");
    QTest::newRow("never set") << QVariant() << true;
    QTest::newRow("on") << QVariant(1u) << true;
    QTest::newRow("off") << QVariant(0u) << false;
}

// The timer fires either way; with the check off nothing is asked at all.
void TestMainForm::updateCheckSetting()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, asks);
    if (!stored.isNull())
        TSettingsStore::WriteDWord(u"CheckUpdates"_qs, stored.toUInt());
    TLoopbackSite site;
    site.Serve(u"/updates.txt"_qs, { 200, "2.1\r\n", {}, false });
    TSiteUrlOverride siteUrl(site.Url());
    TMainForm form;
    auto* timer = form.findChild<QTimer*>(u"TimerUpdate"_qs);
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 50000);
    auto* check = form.findChild<TUpdateCheck*>();
    QSignalSpy handled(check, &TUpdateCheck::DownloadHandled);
    form.TimerUpdateTimer();
    QVERIFY(!timer->isActive());
    // A request starts inside the timer's handler, so a check that does not ask is idle right after it.
    QCOMPARE(check->Busy(), asks);
    if (asks) {
        QVERIFY(handled.wait(20000));
        QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
    } else {
        QVERIFY(!QFile::exists(GetDataFolder() + u"updates.txt"_qs));
        QVERIFY(site.Requests().isEmpty());
    }
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
