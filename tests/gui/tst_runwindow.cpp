// The main window while a run goes: usable, live rows, the progress and its stop button, the questions
// before verdicts are lost or an hours-long run starts.
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(QList<TUserDialogs::TAnswer>)

class TestRunWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void closeAsksThenStopsRun_data();
    void closeAsksThenStopsRun();
    void savedResultsCloseWithoutQuestion();
    void clearWithUnsavedResultsAsks();
    void windowUsableDuringRun();
    void stopButtonKeepsVerdicts_data();
    void stopButtonKeepsVerdicts();
    void longRunAnnounced_data();
    void longRunAnnounced();

private:
    std::unique_ptr<TMainWindowFixture> F;
    void PrepareHangingRegistry(TWhoisTestServer& server);
    // The window of CheckAgainstLoopback after a run that judged four names free: verdicts not saved yet.
    void RunChecked(TWhoisTestServer& Server, TMainForm& Form, TMainControls& Ui);
};

void TestRunWindow::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestRunWindow::cleanup()
{
    F.reset();
}

void TestRunWindow::RunChecked(TWhoisTestServer& Server, TMainForm& Form, TMainControls& Ui)
{
    Server.Default = { TWhoisTestServer::TMode::Answer, "NOT FOUND\r\n" };
    QVERIFY(Ui.Find(Form));
    Form.WhoisPort = Server.Port();
    Form.show();
    Generate(Form, u"red\ncat"_qs);
    QVERIFY(Form.Session().HasUnsavedResults());
}

// A registry that judges redcat.ru free and never answers about any other name, and the check switched on
// for the next window.
void TestRunWindow::PrepareHangingRegistry(TWhoisTestServer& server)
{
    server.Default = { TWhoisTestServer::TMode::Silent, {} };
    server.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No match for \"REDCAT.RU\".\r\n" });
    CheckAgainstLoopback();
}

void TestRunWindow::closeAsksThenStopsRun_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes: closed, run stopped") << true;
    QTest::newRow("no: window and run go on") << false;
}

void TestRunWindow::closeAsksThenStopsRun()
{
    QFETCH(bool, yes);
    TWhoisTestServer server;
    PrepareHangingRegistry(server);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.WhoisPort = server.Port();
    form.show();
    ui.Words->setPlainText(u"red\ncat"_qs);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QVERIFY(form.Session().Running());
    QVERIFY(!ui.Start->isEnabled());
    // The second name's server never answers: the run waits on it when the close comes, one verdict kept.
    QTRY_COMPARE(server.Received.size(), 2);
    QTRY_COMPARE(form.Results().CellText(0, 2), u"свободен"_qs);
    F->Dialogs.FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    form.close();
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Buttons, TUserDialogs::TButtons::YesNo);
    QCOMPARE(F->Dialogs.FShown.at(0).Text, u"Результаты проверки не сохранены. Закрыть программу без них?"_qs);
    QCOMPARE(form.isVisible(), !yes);
    QCOMPARE(form.Session().Running(), !yes);
    if (!yes)
        return;
    // Stopped at once: the verdict obtained is kept; the rest stay unchecked, and nothing else is told.
    QCOMPARE(form.Results().CellText(0, 2), u"свободен"_qs);
    QCOMPARE(form.Results().CellText(1, 2), u"Не проверен"_qs);
    QVERIFY(!form.Session().Candidates().at(1).Failed());
    QVERIFY(F->Dialogs.FNotices.isEmpty());
}

void TestRunWindow::savedResultsCloseWithoutQuestion()
{
    TWhoisTestServer server;
    CheckAgainstLoopback();
    TMainForm form;
    TMainControls ui;
    RunChecked(server, form, ui);
    // A report of every row keeps the verdicts: closing asks nothing then.
    QAction* report = nullptr;
    QVERIFY(FindControl(form, u"MI_ReportCSV"_qs, report));
    F->Dialogs.FFileNames << F->Env.Root() + u"/kept"_qs;
    report->trigger();
    form.close();
    QVERIFY(!form.isVisible());
    QVERIFY(F->Dialogs.FShown.isEmpty());
}

void TestRunWindow::clearWithUnsavedResultsAsks()
{
    TWhoisTestServer server;
    CheckAgainstLoopback();
    TMainForm form;
    TMainControls ui;
    RunChecked(server, form, ui);
    F->Dialogs.FAnswers << TUserDialogs::TAnswer::No << TUserDialogs::TAnswer::Yes;
    ui.Clear->click();
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(form.Results().RowCount(), 4);
    ui.Clear->click();
    QCOMPARE(F->Dialogs.FShown.size(), 2);
    QCOMPARE(form.Results().RowCount(), 0);
    QVERIFY(form.Session().Candidates().isEmpty());
}

void TestRunWindow::windowUsableDuringRun()
{
    TWhoisTestServer server;
    PrepareHangingRegistry(server);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    QAction* startCommand = nullptr;
    QAction* recheck = nullptr;
    QAction* copy = nullptr;
    QWidget* progress = nullptr;
    QLabel* stage = nullptr;
    QVERIFY(FindControl(form, u"MI_Start"_qs, startCommand));
    QVERIFY(FindControl(form, u"MI_RecheckUnjudged"_qs, recheck));
    QVERIFY(FindControl(form, u"PM_CopyNames"_qs, copy));
    QVERIFY(FindControl(form, u"RunProgressPanel"_qs, progress));
    QVERIFY(FindControl(form, u"RunStageLabel"_qs, stage));
    form.WhoisPort = server.Port();
    form.show();
    QVERIFY(!progress->isVisible());
    ui.Words->setPlainText(u"red\ncat\nsun"_qs);
    ChooseZone(*ui.Zones, 1);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QTRY_COMPARE(server.Received.size(), 2);
    // The first verdict is on screen while the run still waits for the second.
    QTRY_COMPARE(form.Results().CellText(0, 2), u"свободен"_qs);
    QVERIFY(form.Session().Running());
    QTRY_COMPARE(stage->text(), u"Проверка занятости: 1 из 6"_qs);
    // The counts follow the verdicts as they come.
    QLabel* counts = nullptr;
    QVERIFY(FindControl(form, u"StatusCounts"_qs, counts));
    QTRY_COMPARE(counts->text(), u"Имен: 6 · свободно 1 · занято 0 · ошибок 0 · не проверено 5"_qs);
    // Only starting again waits for the run; the window, its grid, filter and commands are there.
    QVERIFY(form.isEnabled());
    QVERIFY(progress->isVisible());
    QVERIFY(!ui.Start->isEnabled() && !startCommand->isEnabled() && !recheck->isEnabled());
    QVERIFY(ui.Grid->isVisible() && ui.Grid->isEnabled() && ui.Show->isEnabled());
    QVERIFY(copy->isEnabled() && form.ResultCommandsEnabled());
    ui.Grid->selectRow(0);
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"redcat.ru"_qs);
    // Free names only, mid-run: the row shown is the one judged.
    ui.Show->setCurrentIndex(1);
    QCOMPARE(form.Results().RowCount(), 1);
    ui.Show->setCurrentIndex(0);
    form.Session().Stop();
    QVERIFY(!progress->isVisible());
    QVERIFY(ui.Start->isEnabled());
}

void TestRunWindow::stopButtonKeepsVerdicts_data()
{
    QTest::addColumn<qint64>("askAfterMs");
    QTest::addColumn<QList<TUserDialogs::TAnswer>>("answers");
    QTest::addColumn<bool>("stopped");
    QTest::newRow("short run: stopped without a question")
        << qint64(3600000) << QList<TUserDialogs::TAnswer> {} << true;
    QTest::newRow("long run, yes") << qint64(0) << QList<TUserDialogs::TAnswer> { TUserDialogs::TAnswer::Yes } << true;
    QTest::newRow("long run, no") << qint64(0) << QList<TUserDialogs::TAnswer> { TUserDialogs::TAnswer::No } << false;
}

void TestRunWindow::stopButtonKeepsVerdicts()
{
    QFETCH(qint64, askAfterMs);
    QFETCH(QList<TUserDialogs::TAnswer>, answers);
    QFETCH(bool, stopped);
    TWhoisTestServer server;
    PrepareHangingRegistry(server);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    QPushButton* stop = nullptr;
    QVERIFY(FindControl(form, u"RunCancelButton"_qs, stop));
    form.WhoisPort = server.Port();
    form.StopQuestionAfterMs = askAfterMs;
    form.show();
    ui.Words->setPlainText(u"red\ncat\nsun"_qs);
    ChooseZone(*ui.Zones, 1);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QTRY_COMPARE(server.Received.size(), 2);
    // Enter in the keyword list never reaches the stop button.
    QVERIFY(!stop->isDefault() && !stop->autoDefault());
    ui.Words->setFocus();
    QTest::keyClick(ui.Words, Qt::Key_Return);
    QVERIFY(form.Session().Running());
    F->Dialogs.FAnswers = answers;
    QTest::mouseClick(stop, Qt::LeftButton);
    QCOMPARE(F->Dialogs.FShown.size(), answers.size());
    QCOMPARE(form.Session().Running(), !stopped);
    if (!stopped) {
        form.Session().Stop();
        return;
    }
    QVERIFY(ui.Start->isEnabled());
    QCOMPARE(form.Results().RowCount(), 6);
    QTRY_COMPARE(form.Results().CellText(0, 2), u"свободен"_qs);
    for (int r = 1; r < 6; ++r)
        QCOMPARE(form.Results().CellText(r, 2), u"Не проверен"_qs);
    QVERIFY(form.ResultCommandsEnabled());
}

void TestRunWindow::longRunAnnounced_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no: nothing asked of the registry") << false;
    QTest::newRow("yes: the run starts") << true;
}

void TestRunWindow::longRunAnnounced()
{
    QFETCH(bool, yes);
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, "NOT FOUND\r\n" };
    CheckAgainstLoopback();
    // One query an hour: six names take about six hours.
    F->Env.WriteFile(u"data/Quorbel Software/Orvanta/limits.dat"_qs, "*:1:3600\r\n");
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.WhoisPort = server.Port();
    form.show();
    F->Dialogs.FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    ui.Words->setPlainText(u"red\ncat\nsun"_qs);
    ChooseZone(*ui.Zones, 1);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Text, u"Проверка займет около 6 ч. Продолжить?"_qs);
    QCOMPARE(form.Session().Running(), yes);
    if (yes) {
        QTRY_COMPARE(server.Received.size(), 1);
        form.Session().Stop();
    } else {
        QCOMPARE(server.Connections, 0);
    }
}

QTEST_MAIN(TestRunWindow)
#include "tst_runwindow.moc"
