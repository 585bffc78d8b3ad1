// The main window and the verdict store: the last run reopened, a run cut short continued, the history
// menu, asking again about chosen rows, reuse as the settings say, a broken store file.
#include "core/checks/VerdictStore.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/StoreSamples.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(QList<TUserDialogs::TAnswer>)

namespace
{

// The statuses the grid shows, top to bottom.
QStringList StatusColumn(const TMainForm& Form)
{
    QStringList out;
    for (int r = 0; r < Form.Results().RowCount(); ++r)
        out << Form.Results().CellText(r, TResultsModel::ColStatus);
    return out;
}

QStringList NameColumn(const TMainForm& Form)
{
    QStringList out;
    for (int r = 0; r < Form.Results().RowCount(); ++r)
        out << Form.Results().CellText(r, TResultsModel::ColName);
    return out;
}

// The history menu as the user opens it: its items' captions and the items.
QList<QAction*> OpenHistory(TMainForm& Form)
{
    Q_EMIT Form.MenuHistory->aboutToShow();
    return Form.MenuHistory->actions();
}

} // namespace

class TestStoreWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void lastRunReopened();
    void runCutShortContinued();
    void clearedResultsNotReopened();
    void historyMenu_data();
    void historyMenu();
    void askAgainSelectedRows();
    void reuseFollowsSettings_data();
    void reuseFollowsSettings();
    void brokenStoreToldWithoutWaiting();

private:
    std::unique_ptr<TMainWindowFixture> F;
    std::unique_ptr<TWhoisTestServer> FWhois;
    // A window checking against FWhois.
    std::unique_ptr<TMainForm> Window();
};

void TestStoreWindow::init()
{
    F = std::make_unique<TMainWindowFixture>();
    FWhois = std::make_unique<TWhoisTestServer>();
    CheckAgainstLoopback();
}

void TestStoreWindow::cleanup()
{
    FWhois.reset();
    F.reset();
}

std::unique_ptr<TMainForm> TestStoreWindow::Window()
{
    auto form = std::make_unique<TMainForm>();
    form->WhoisPort = FWhois->Port();
    form->show();
    return form;
}

void TestStoreWindow::lastRunReopened()
{
    FWhois->Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    {
        auto form = Window();
        // Starting the program makes no file; nothing was kept yet.
        const QList<QAction*> empty = OpenHistory(*form);
        QCOMPARE(empty.size(), 1);
        QCOMPARE(empty.at(0)->text(), u"Сохраненных запусков нет"_qs);
        QVERIFY(!empty.at(0)->isEnabled());
        QVERIFY(!QFileInfo::exists(TVerdictStore::DefaultPath()));
        Generate(*form, u"red\ncat"_qs, 0, 1);
        QCOMPARE(StatusColumn(*form), QStringList({ u"свободен"_qs, u"занят"_qs }));
        F->Dialogs.FAnswers << TUserDialogs::TAnswer::Yes;
        form->close();
    }
    auto form = Window();
    TMainControls ui;
    QVERIFY(ui.Find(*form));
    QCOMPARE(NameColumn(*form), QStringList({ u"redcat.ru"_qs, u"catred.ru"_qs }));
    QCOMPARE(StatusColumn(*form), QStringList({ u"свободен"_qs, u"занят"_qs }));
    QCOMPARE(ui.Grid->model()->index(1, 2).data(Qt::ToolTipRole).toString(), u"проверено только что"_qs);
    QVERIFY(ui.Grid->isVisible());
    QVERIFY(form->ResultCommandsEnabled());
    // The keywords are the remembered choices, not taken from the run; and nothing was asked again.
    QCOMPARE(ui.Words->toPlainText(), u"red\ncat"_qs);
    QCOMPARE(FWhois->Received.size(), 2);
    QVERIFY(F->Dialogs.FNotices.isEmpty());
}

// A run the program never finished (a crash, the power gone) comes back with what it had; its names never
// asked are unchecked, and "Проверить непроверенные заново" goes on with that run.
void TestStoreWindow::runCutShortContinued()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    {
        TVerdictStore store(TVerdictStore::DefaultPath());
        TStoredRun run;
        run.Started = now - 120;
        run.Request = { u"red"_qs, u"cat"_qs, u"sun"_qs };
        run.Zones = { u"ru"_qs };
        run.CheckAvailability = true;
        run.Total = 6;
        store.BeginRun(run);
        store.Put(StoredOutcome(u"redcat.ru"_qs, TStatus::Free, now - 100, TVia::Whois, u"127.0.0.1"_qs));
        store.Put(StoredOutcome(u"redsun.ru"_qs, TStatus::Taken, now - 3 * 3600, TVia::Whois, u"127.0.0.1"_qs));
    }
    auto form = Window();
    TMainControls ui;
    QVERIFY(ui.Find(*form));
    QCOMPARE(StatusColumn(*form),
        QStringList({ u"свободен"_qs, u"занят"_qs, u"Не проверен"_qs, u"Не проверен"_qs, u"Не проверен"_qs,
            u"Не проверен"_qs }));
    QCOMPARE(ui.Grid->model()->index(1, 2).data(Qt::ToolTipRole).toString(), u"проверено 3 ч назад"_qs);
    QVERIFY(ui.Grid->model()->index(2, 2).data(Qt::ToolTipRole).toString().isEmpty());

    QAction* recheck = nullptr;
    QVERIFY(FindControl(*form, u"MI_RecheckUnjudged"_qs, recheck));
    recheck->trigger();
    QTRY_VERIFY(!form->Session().Running());
    QCOMPARE(Asked(*FWhois), QStringList({ u"catred.ru"_qs, u"catsun.ru"_qs, u"sunred.ru"_qs, u"suncat.ru"_qs }));
    const QList<QAction*> history = OpenHistory(*form);
    QCOMPARE(history.size(), 1);
    QVERIFY2(history.at(0)->text().endsWith(u"red, cat, sun — имен: 6, свободно: 1, занято: 5, не проверено: 0"_qs),
        qPrintable(history.at(0)->text()));
}

void TestStoreWindow::clearedResultsNotReopened()
{
    {
        auto form = Window();
        TMainControls ui;
        QVERIFY(ui.Find(*form));
        Generate(*form, u"red\ncat"_qs, 0, 1);
        F->Dialogs.FAnswers << TUserDialogs::TAnswer::Yes;
        ui.Clear->click();
        QCOMPARE(form->Results().RowCount(), 0);
    }
    auto form = Window();
    TMainControls ui;
    QVERIFY(ui.Find(*form));
    QCOMPARE(form->Results().RowCount(), 0);
    QVERIFY(ui.Placeholder->isVisible());
    // Still in the history.
    QCOMPARE(OpenHistory(*form).size(), 1);
}

void TestStoreWindow::historyMenu_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<TUserDialogs::TAnswer>>("answers");
    QTest::addColumn<QString>("words");
    using A = TUserDialogs::TAnswer;
    QTest::newRow("empty keyword list: filled, nothing asked") << QString() << QList<A>() << u"red\ncat"_qs;
    QTest::newRow("other words, yes: replaced") << u"big\ndog"_qs << QList<A> { A::Yes } << u"red\ncat"_qs;
    QTest::newRow("other words, no: kept") << u"big\ndog"_qs << QList<A> { A::No } << u"big\ndog"_qs;
    QTest::newRow("the same words: nothing asked") << u"red\n cat\n"_qs << QList<A>() << u"red\n cat\n"_qs;
}

void TestStoreWindow::historyMenu()
{
    QFETCH(QString, typed);
    QFETCH(QList<TUserDialogs::TAnswer>, answers);
    QFETCH(QString, words);
    FWhois->Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    auto form = Window();
    TMainControls ui;
    QVERIFY(ui.Find(*form));
    Generate(*form, u"red\ncat"_qs, 0, 1);
    Generate(*form, u"big\ndog"_qs, 0, 2);
    QCOMPARE(NameColumn(*form), QStringList({ u"bigdog.com"_qs, u"dogbig.com"_qs }));

    // Newest first: when, the words, the counts.
    const QList<QAction*> items = OpenHistory(*form);
    QCOMPARE(items.size(), 2);
    const QString today = QDate::currentDate().toString(u"dd.MM.yyyy");
    QVERIFY2(items.at(0)->text().startsWith(today), qPrintable(items.at(0)->text()));
    QVERIFY2(items.at(0)->text().endsWith(u" — big, dog — имен: 2, свободно: 0, занято: 2, не проверено: 0"_qs),
        qPrintable(items.at(0)->text()));
    QVERIFY2(items.at(1)->text().endsWith(u" — red, cat — имен: 2, свободно: 1, занято: 1, не проверено: 0"_qs),
        qPrintable(items.at(1)->text()));

    ui.Words->setPlainText(typed);
    F->Dialogs.FAnswers = answers;
    items.at(1)->trigger();
    QCOMPARE(F->Dialogs.FShown.size(), answers.size());
    QCOMPARE(ui.Words->toPlainText(), words);
    // The grid shows the run chosen whatever the answer, from the store: nobody was asked again.
    QCOMPARE(NameColumn(*form), QStringList({ u"redcat.ru"_qs, u"catred.ru"_qs }));
    QCOMPARE(StatusColumn(*form), QStringList({ u"свободен"_qs, u"занят"_qs }));
    QCOMPARE(FWhois->Received.size(), 4);
}

// Fresh verdicts are asked again when the user says so: only the rows chosen, wherever the grid shows them.
void TestStoreWindow::askAgainSelectedRows()
{
    auto form = Window();
    TMainControls ui;
    QVERIFY(ui.Find(*form));
    Generate(*form, u"red\ncat\nsun"_qs, 0, 1);
    QCOMPARE(FWhois->Received.size(), 6);
    QAction* askAgain = nullptr;
    QVERIFY(FindControl(*form, u"PM_AskAgain"_qs, askAgain));
    QCOMPARE(askAgain->text().remove(u'&'), u"Проверить заново"_qs);
    QVERIFY(ui.GridMenu->actions().contains(askAgain));

    // Names descending: sunred.ru, suncat.ru, redsun.ru, ...
    form->Results().sort(TResultsModel::ColName, Qt::DescendingOrder);
    FWhois->Script("sunred.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    ui.Grid->selectionModel()->select(
        QItemSelection(ui.Grid->model()->index(0, 0), ui.Grid->model()->index(0, 4)), QItemSelectionModel::Select);
    ui.Grid->selectionModel()->select(
        QItemSelection(ui.Grid->model()->index(2, 0), ui.Grid->model()->index(2, 4)), QItemSelectionModel::Select);
    askAgain->trigger();
    QTRY_VERIFY(!form->Session().Running() && ui.Start->isEnabled());
    QCOMPARE(Asked(*FWhois).mid(6), QStringList({ u"sunred.ru"_qs, u"redsun.ru"_qs }));
    QCOMPARE(form->Results().CellText(0, TResultsModel::ColStatus), u"свободен"_qs);

    // Nothing selected: nothing asked.
    ui.Grid->clearSelection();
    askAgain->trigger();
    QVERIFY(!form->Session().Running());
    QCOMPARE(FWhois->Received.size(), 8);
}

void TestStoreWindow::reuseFollowsSettings_data()
{
    QTest::addColumn<int>("takenDays"); // -1: not set
    QTest::addColumn<int>("askedAgain");
    QTest::newRow("default: a week") << -1 << 0;
    QTest::newRow("0 days: asked again") << 0 << 2;
}

void TestStoreWindow::reuseFollowsSettings()
{
    QFETCH(int, takenDays);
    QFETCH(int, askedAgain);
    if (takenDays >= 0)
        TSettingsStore::WriteDWord(u"ReuseTakenDays"_qs, quint32(takenDays));
    auto form = Window();
    Generate(*form, u"red\ncat"_qs, 0, 1);
    QCOMPARE(FWhois->Received.size(), 2);
    Generate(*form, u"red\ncat"_qs, 0, 1);
    QCOMPARE(FWhois->Received.size(), 2 + askedAgain);
    QCOMPARE(StatusColumn(*form), QStringList({ u"занят"_qs, u"занят"_qs }));
}

void TestStoreWindow::brokenStoreToldWithoutWaiting()
{
    WriteAll(TVerdictStore::DefaultPath(), "not a database\n");
    auto form = Window();
    // Told in a notice that waits for nobody, naming both files.
    QVERIFY(F->Dialogs.FShown.isEmpty());
    QCOMPARE(F->Dialogs.FNotices.size(), 1);
    const QString notice = F->Dialogs.FNotices.at(0).Text;
    const QStringList aside
        = QDir(QFileInfo(TVerdictStore::DefaultPath()).path()).entryList({ u"verdicts.sqlite.bad-*"_qs }, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QVERIFY2(notice.contains(TVerdictStore::DefaultPath()) && notice.contains(aside.at(0)), qPrintable(notice));
    QCOMPARE(form->Results().RowCount(), 0);
    // The new file keeps the next run.
    Generate(*form, u"red\ncat"_qs, 0, 1);
    QCOMPARE(OpenHistory(*form).size(), 1);
    QCOMPARE(F->Dialogs.FNotices.size(), 1);
}

QTEST_MAIN(TestStoreWindow)
#include "tst_storewindow.moc"
