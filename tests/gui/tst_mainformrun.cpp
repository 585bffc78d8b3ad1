#include "core/checks/RunSession.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/FindControl.h"
#include "support/HeaderClick.h"
#include "support/HttpTestServer.h"
#include "support/MainWindowControls.h"
#include "support/StatusText.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

// Runs from the main window: generation, checks, the failures told, asking again, and the commands on the
// results.
class TestMainFormRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void startFillsGrid_data();
    void startFillsGrid();
    void noWords_data();
    void noWords();
    void equalWordsGiveNothing();
    void startAgainReplacesRows();
    void clearClearsSession();
    void largeRunAsksFirst_data();
    void largeRunAsksFirst();
    void writersFromBothMenus_data();
    void writersFromBothMenus();
    void failuresToldAfterTheRun();
    void recheckAsksOnlyUnjudged();
    void reportsWriteRowsAsShown();
    void copyNamesFromContextMenu();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestMainFormRun::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestMainFormRun::cleanup()
{
    F.reset();
}

void TestMainFormRun::startFillsGrid_data()
{
    QTest::addColumn<QByteArray>("zonesFile");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("all zones") << QByteArray("ru\r\ncom\r\n") << QStringLiteral("red\ncat\n") << 0 << 0
                               << QStringList { u"redcat.ru"_qs, u"redcat.com"_qs, u"catred.ru"_qs, u"catred.com"_qs };
    QTest::newRow("one zone as written") << QByteArray("ru\r\nCOM\r\n") << QStringLiteral("red\ncat") << 0 << 2
                                         << QStringList { u"redcat.COM"_qs, u"catred.COM"_qs };
    QTest::newRow("empty zone line used")
        << QByteArray("ru\r\n\r\ncom") << QStringLiteral("a\nb") << 0 << 0
        << QStringList { u"ab.ru"_qs, u"ab."_qs, u"ab.com"_qs, u"ba.ru"_qs, u"ba."_qs, u"ba.com"_qs };
    QTest::newRow("no-break space inside kept")
        << QByteArray("ru") << u"a\u00A0c\nb"_qs << 0 << 1 << QStringList { u"a\u00A0cb.ru"_qs, u"ba\u00A0c.ru"_qs };
    QTest::newRow("keywords trimmed, blank lines dropped")
        << QByteArray("ru") << QStringLiteral("a \n\n \nb") << 0 << 1 << QStringList { u"ab.ru"_qs, u"ba.ru"_qs };
    QTest::newRow("three words") << QByteArray("ru") << QStringLiteral("a\nb\nc") << 1 << 1
                                 << QStringList { u"abc.ru"_qs, u"acb.ru"_qs, u"bac.ru"_qs, u"bca.ru"_qs, u"cab.ru"_qs,
                                        u"cba.ru"_qs };
}

void TestMainFormRun::startFillsGrid()
{
    QFETCH(QByteArray, zonesFile);
    QFETCH(QString, memo);
    QFETCH(int, mode);
    QFETCH(int, zone);
    QFETCH(QStringList, names);
    WriteZones(zonesFile);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    Generate(form, memo, mode, zone);
    QStringList shown;
    for (int r = 0; r < form.Results().RowCount(); ++r) {
        shown << form.Results().CellText(r, 0);
        QCOMPARE(form.Results().CellText(r, 2), QStringLiteral("Не проверен"));
    }
    QCOMPARE(shown, names);
    QVERIFY(ui.Grid->isVisible());
    QVERIFY(form.ResultCommandsEnabled());
    QVERIFY(F->Dialogs.FShown.isEmpty());
}

void TestMainFormRun::noWords_data()
{
    QTest::addColumn<QString>("memo");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("red");
    QTest::newRow("one line with a break") << QStringLiteral("red\n");
}

void TestMainFormRun::noWords()
{
    QFETCH(QString, memo);
    TMainForm form;
    form.show();
    Generate(form, memo);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Title, QStringLiteral("Нет слов"));
    QCOMPARE(F->Dialogs.FShown.at(0).Text, QStringLiteral("Для продолжения, нужно ввести слова для генерации"));
    QCOMPARE(F->Dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Information);
    QVERIFY(form.Session().Candidates().isEmpty());
    QCOMPARE(form.Results().RowCount(), 0);
}

void TestMainFormRun::equalWordsGiveNothing()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    // One keyword typed twice, in two letter cases, is one keyword: not enough to start.
    Generate(form, QStringLiteral("red\n RED\n\n"));
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Title, QStringLiteral("Нет слов"));
    QCOMPARE(ui.Words->toPlainText(), QStringLiteral("red\n RED\n\n"));
    QCOMPARE(form.Results().RowCount(), 0);
    QVERIFY(!ui.Grid->isVisible());
    QVERIFY(ui.Placeholder->isVisible());
    QVERIFY(!form.ResultCommandsEnabled());
}

void TestMainFormRun::startAgainReplacesRows()
{
    TMainForm form;
    form.show();
    Generate(form, QStringLiteral("red\ncat\nsun"));
    QCOMPARE(form.Results().RowCount(), 12);
    Generate(form, QStringLiteral("x\ny"), 0, 1);
    QCOMPARE(form.Results().RowCount(), 2);
    QCOMPARE(form.Results().CellText(0, 0), QStringLiteral("xy.ru"));
    QCOMPARE(form.Results().CellText(0, 2), QStringLiteral("Не проверен"));
    QCOMPARE(form.Results().CellText(1, 0), QStringLiteral("yx.ru"));
}

void TestMainFormRun::clearClearsSession()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    Generate(form, QStringLiteral("red\ncat"));
    QVERIFY(form.ResultCommandsEnabled());
    ui.Clear->click();
    QCOMPARE(form.Results().RowCount(), 0);
    QVERIFY(ui.Placeholder->isVisible());
    QVERIFY(!ui.Grid->isVisible());
    // Clearing empties the session itself, so nothing can bring the rows back; the result commands stay.
    QCOMPARE(form.Session().Candidates().size(), 0);
    QVERIFY(form.ResultCommandsEnabled());
    // Names alone are no results worth a question.
    QVERIFY(F->Dialogs.FShown.isEmpty());
    // A run without candidates disables them. (Start no longer makes one: it needs two keywords or a name,
    // and a zone where the names need one.)
    QVERIFY(form.Session().Start(TRunRequest()));
    QTRY_VERIFY(!form.Session().Running());
    QCOMPARE(form.Session().Candidates().size(), 0);
    QVERIFY(!form.ResultCommandsEnabled());
}

void TestMainFormRun::largeRunAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no keeps everything") << false;
    QTest::newRow("yes runs") << true;
}

void TestMainFormRun::largeRunAsksFirst()
{
    QFETCH(bool, yes);
    TMainForm form;
    // 1000 keywords in two zones: 1000·999·2 = 1,998,000 names, not more than the limit: no question.
    QStringList words;
    for (int i = 0; i < 1000; ++i)
        words << QStringLiteral("w%1").arg(i);
    Generate(form, words.join(u'\n'), 0, 0);
    QVERIFY(F->Dialogs.FShown.isEmpty());
    QCOMPARE(form.Results().RowCount(), 1998000);

    // One more keyword: 1001·1000·2 = 2,002,000 names.
    words << QStringLiteral("w1000");
    F->Dialogs.FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    Generate(form, words.join(u'\n'), 0, 0);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Text,
        QStringLiteral("Будет создано 2002000 доменных имен. Это может занять много времени и памяти. Продолжить?"));
    QCOMPARE(F->Dialogs.FShown.at(0).Buttons, TUserDialogs::TButtons::YesNo);
    QCOMPARE(form.Results().RowCount(), yes ? 2002000 : 1998000);
}

void TestMainFormRun::writersFromBothMenus_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("firstLine");
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("menu CSV export") << u"MI_ExportCSV"_qs << u"csv"_qs << bom + "redcat.ru;ru;-1;;;";
    QTest::newRow("menu text export") << u"MI_ExportText"_qs << u"txt"_qs << bom + "redcat.ru";
    QTest::newRow("menu text report") << u"MI_ReportText"_qs << u"txt"_qs
                                      << bom + QStringLiteral("Отчет подготовлен в программе Orvanta").toUtf8();
    QTest::newRow("menu HTML report") << u"MI_ReportHTML"_qs << u"htm"_qs << bom + "<html>";
    QTest::newRow("menu CSV report") << u"MI_ReportCSV"_qs << u"csv"_qs
                                     << bom + QStringLiteral("Домен;Статус;PR;ТИЦ").toUtf8();
    QTest::newRow("popup CSV export") << u"PM_ExportCSV"_qs << u"csv"_qs << bom + "redcat.ru;ru;-1;;;";
    QTest::newRow("popup text export") << u"PM_ExportText"_qs << u"txt"_qs << bom + "redcat.ru";
    QTest::newRow("popup text report") << u"PM_ReportText"_qs << u"txt"_qs
                                       << bom + QStringLiteral("Отчет подготовлен в программе Orvanta").toUtf8();
    QTest::newRow("popup HTML report") << u"PM_ReportHTML"_qs << u"htm"_qs << bom + "<html>";
    QTest::newRow("popup CSV report") << u"PM_ReportCSV"_qs << u"csv"_qs
                                      << bom + QStringLiteral("Домен;Статус;PR;ТИЦ").toUtf8();
}

void TestMainFormRun::writersFromBothMenus()
{
    QFETCH(QString, item);
    QFETCH(QString, suffix);
    QFETCH(QByteArray, firstLine);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    Generate(form, QStringLiteral("red\ncat"));
    QAction* command = nullptr;
    QVERIFY(FindControl(form, item, command));
    F->Dialogs.FFileNames << F->Env.Root() + u"/results"_qs;
    command->trigger();
    const QByteArray written = ReadAll(F->Env.Root() + u"/results."_qs + suffix);
    QVERIFY2(written.startsWith(firstLine), written.left(80).constData());
    QCOMPARE(written.count("redcat.ru"), 1);
    QCOMPARE(written.count("catred.com"), 1);
    QVERIFY(F->Dialogs.FShown.isEmpty());

    // After clearing, the commands stay enabled and write a file without rows.
    ui.Clear->click();
    F->Dialogs.FFileNames << F->Env.Root() + u"/cleared"_qs;
    command->trigger();
    const QByteArray cleared = ReadAll(F->Env.Root() + u"/cleared."_qs + suffix);
    QVERIFY(cleared.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!cleared.contains("redcat"));
}

void TestMainFormRun::failuresToldAfterTheRun()
{
    TWhoisTestServer whois;
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
    THttpTestServer http;
    http.Handler = [](const THttpTestServer::TRequest& r) {
        return r.Target.endsWith("redcat.com") ? THttpTestServer::TReply { 500, {}, "broken", false, {} }
                                               : THttpTestServer::Text("pr_ 2 _pr tyc_ 10 _tyc");
    };
    TSiteUrlOverride site(http.BaseUrl());
    CheckAgainstLoopback();
    TSettingsStore::WriteDWord(u"AutoRange"_qs, 1);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.WhoisPort = whois.Port();
    form.show();
    Generate(form, QStringLiteral("red\ncat"));

    // One page failing stopped nothing: every other name has its figures.
    QCOMPARE(http.Requests.size(), 4);
    // Told once the run is over, in a message that waits for nobody: nothing blocking, no error report.
    QVERIFY(F->Dialogs.FShown.isEmpty());
    QCOMPARE(F->Dialogs.FNotices.size(), 1);
    const QStringList lines = F->Dialogs.FNotices.at(0).Text.split(u'\n');
    QCOMPARE(lines.value(1), u"сервер закрыл соединение, ничего не ответив — 1"_qs);
    QCOMPARE(lines.value(2), u"PR и ТИЦ не удалось получить для доменных имен: 1."_qs);
    QCOMPARE(form.Results().RowCount(), 4);
    QVERIFY(ui.Grid->isVisible());
    QVERIFY(form.ResultCommandsEnabled());
    // The failed name says why, and where it was asked; the others only when they were checked.
    const QAbstractItemModel* model = ui.Grid->model();
    QCOMPARE(model->index(2, 0).data().toString(), u"catred.ru"_qs);
    QCOMPARE(model->index(2, 2).data(Qt::ToolTipRole).toString(),
        u"сервер закрыл соединение, ничего не ответив (WHOIS, 127.0.0.1)\nпроверено только что"_qs);
    QCOMPARE(model->index(0, 2).data(Qt::ToolTipRole).toString(), u"проверено только что"_qs);
    // So do failed figures, on their own cells.
    QCOMPARE(model->index(1, 0).data().toString(), u"redcat.com"_qs);
    QVERIFY(model->index(1, 3).data(Qt::ToolTipRole).toString().contains(u"500"_qs));
    QCOMPARE(model->index(0, 3).data().toString(), u"2"_qs);
}

void TestMainFormRun::recheckAsksOnlyUnjudged()
{
    TWhoisTestServer whois;
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
    CheckAgainstLoopback();
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.WhoisPort = whois.Port();
    form.show();
    Generate(form, QStringLiteral("red\ncat"), 0, 1);
    QCOMPARE(whois.Received.size(), 2);
    QCOMPARE(form.Results().CellText(1, 2), u"Не проверен"_qs);
    F->Dialogs.FNotices.clear();

    // The registry answers now; the command (in the report menu and the grid's context menu) asks about
    // the failed name only.
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    QList<QAction*> commands;
    for (QAction* a : form.findChildren<QAction*>())
        if (a->text().remove(u'&') == u"Проверить непроверенные заново"_qs)
            commands << a;
    QCOMPARE(commands.size(), 2);
    QAction* command = commands.first();
    command->trigger();
    QTRY_VERIFY(!form.Session().Running());
    QCOMPARE(whois.Received, (QList<QByteArray> { "redcat.ru\r\n", "catred.ru\r\n", "catred.ru\r\n" }));
    QCOMPARE(form.Results().CellText(0, 2), u"занят"_qs);
    QCOMPARE(form.Results().CellText(1, 2), u"свободен"_qs);
    QCOMPARE(ui.Grid->model()->index(1, 2).data(Qt::ToolTipRole).toString(), u"проверено только что"_qs);
    QVERIFY(F->Dialogs.FNotices.isEmpty());
    QVERIFY(ui.Start->isEnabled());
    // Nothing left to ask: the command does nothing.
    command->trigger();
    QVERIFY(!form.Session().Running());
    QCOMPARE(whois.Received.size(), 3);
}

void TestMainFormRun::reportsWriteRowsAsShown()
{
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, "NOT FOUND\r\n" };
    server.Script("catred.ru", { TWhoisTestServer::TMode::Answer, "Domain Name: CATRED.RU\r\n" });
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    F->Env.WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "ru:127.0.0.1\r\n");
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.WhoisPort = server.Port();
    form.show();
    Generate(form, u"red\ncat\nsun"_qs, 0, 1);
    QCOMPARE(form.Results().TotalCount(), 6);
    // Free names only, name descending: the order and the rows of the screen.
    ui.Show->setCurrentIndex(1);
    ClickHeader(ui.Grid, 0);
    ClickHeader(ui.Grid, 0);
    QAction* exportText = nullptr;
    QAction* exportCsv = nullptr;
    QVERIFY(FindControl(form, u"MI_ExportText"_qs, exportText));
    QVERIFY(FindControl(form, u"MI_ExportCSV"_qs, exportCsv));
    F->Dialogs.FFileNames << F->Env.Root() + u"/shown"_qs << F->Env.Root() + u"/shown"_qs;
    exportText->trigger();
    QCOMPARE(ReadAll(F->Env.Root() + u"/shown.txt"_qs),
        QByteArray("\xEF\xBB\xBFsunred.ru\r\nsuncat.ru\r\nredsun.ru\r\nredcat.ru\r\ncatsun.ru\r\n"));
    exportCsv->trigger();
    const QByteArray csv = ReadAll(F->Env.Root() + u"/shown.csv"_qs);
    QVERIFY2(csv.startsWith("\xEF\xBB\xBFsunred.ru;ru;0;"), csv.constData());
    QVERIFY(!csv.contains("catred"));
}

void TestMainFormRun::copyNamesFromContextMenu()
{
    TMainForm form;
    TMainControls ui;
    QAction* copy = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"PM_CopyNames"_qs, copy));
    form.show();
    Generate(form, u"red\ncat"_qs, 0, 1);
    QVERIFY(copy->isEnabled());
    QTableView* grid = ui.Grid;
    grid->selectionModel()->select(
        QItemSelection(grid->model()->index(0, 0), grid->model()->index(1, 4)), QItemSelectionModel::ClearAndSelect);
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"redcat.ru\ncatred.ru"_qs);
}

QTEST_MAIN(TestMainFormRun)
#include "tst_mainformrun.moc"
