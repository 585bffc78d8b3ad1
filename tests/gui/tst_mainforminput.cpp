// The main window's input: names given whole, the zone check list, the count of the names a Start would
// build, and the choices the window keeps for its next start.
#include "core/checks/RunSession.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"
#include "gui/ZoneChoice.h"
#include "support/FindControl.h"
#include "support/HeaderClick.h"
#include "support/MainWindowControls.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace
{

QStringList ShownNames(const TMainForm& Form)
{
    QStringList names;
    for (int r = 0; r < Form.Results().RowCount(); ++r)
        names << Form.Results().CellText(r, TResultsModel::ColName);
    return names;
}

QStringList FailedNames(const TMainForm& Form)
{
    QStringList names;
    for (const TCandidate& d : Form.Session().Candidates())
        if (d.Failed())
            names << d.Name;
    return names;
}

// The count label's text for Count names: digits grouped by no-break spaces.
QString CountText(const QString& Count)
{
    return u"Будет создано имен: "_qs + QString(Count).replace(u' ', QChar(0x00A0));
}

} // namespace

class TestMainFormInput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void namesGiven_data();
    void namesGiven();
    void namesAskedAgainstLoopback();
    void nothingToStart_data();
    void nothingToStart();
    void countFollowsInput();
    void zoneListClicks();
    void zoneListReloadKeepsMarks_data();
    void zoneListReloadKeepsMarks();
    void choicesSurviveRestart();
    void startupFileWinsOverRemembered();
    void strayStoredValuesIgnored();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestMainFormInput::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestMainFormInput::cleanup()
{
    F.reset();
}

void TestMainFormInput::namesGiven_data()
{
    // The zones are "ru" and "com"; zone 0 checks both, 1 only "ru".
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("failed");
    QTest::newRow("with a zone and without, repeats dropped")
        << u"redcat.com\n sun \n\nsun\nREDCAT.com"_qs << 0
        << QStringList { u"redcat.com"_qs, u"sun.ru"_qs, u"sun.com"_qs } << QStringList();
    QTest::newRow("a zone of its own needs no chosen one")
        << u"sun\nx.org"_qs << 1 << QStringList { u"sun.ru"_qs, u"x.org"_qs } << QStringList();
    QTest::newRow("invalid line failed at once")
        << u"red cat\nok.ru\nbad_name.com"_qs << 1 << QStringList { u"red cat.ru"_qs, u"ok.ru"_qs, u"bad_name.com"_qs }
        << QStringList { u"red cat.ru"_qs, u"bad_name.com"_qs };
    QTest::newRow("an IDN name in both forms is one name")
        << u"кот.рф\nxn--j1aim.xn--p1ai"_qs << 0 << QStringList { u"кот.рф"_qs } << QStringList();
}

void TestMainFormInput::namesGiven()
{
    QFETCH(QString, memo);
    QFETCH(int, zone);
    QFETCH(QStringList, names);
    QFETCH(QStringList, failed);
    TMainForm form;
    form.show();
    Generate(form, memo, TMainForm::GivenNamesChoice, zone);
    QCOMPARE(ShownNames(form), names);
    QCOMPARE(FailedNames(form), failed);
    for (int r = 0; r < form.Results().RowCount(); ++r) {
        const TCandidate& d = form.Results().ShownRow(r);
        if (d.Failed())
            QVERIFY2(TResultsModel::StatusTip(d).contains(u"недопустимое доменное имя"_qs),
                qPrintable(TResultsModel::StatusTip(d)));
        else
            QCOMPARE(d.Status, TStatus::Unchecked);
    }
    QVERIFY(F->Dialogs.FShown.isEmpty());
    // Invalid lines are told as failures are, once the run is over.
    QCOMPARE(F->Dialogs.FNotices.size(), failed.isEmpty() ? 0 : 1);
}

void TestMainFormInput::namesAskedAgainstLoopback()
{
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, "NOT FOUND\r\n" };
    CheckAgainstLoopback();
    TMainForm form;
    form.WhoisPort = server.Port();
    form.show();
    // A one-letter label can be asked now; a line that is no name never reaches the registry.
    Generate(form, u"x\nbad name\ny.com"_qs, TMainForm::GivenNamesChoice, 1);
    QCOMPARE(server.Received, (QList<QByteArray> { "x.ru\r\n", "y.com\r\n" }));
    QCOMPARE(ShownNames(form), (QStringList { u"x.ru"_qs, u"bad name.ru"_qs, u"y.com"_qs }));
    QCOMPARE(form.Results().CellText(0, TResultsModel::ColStatus), u"свободен"_qs);
    QCOMPARE(FailedNames(form), QStringList { u"bad name.ru"_qs });
}

void TestMainFormInput::nothingToStart_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("zone"); // as ChooseZone takes it; -1: none
    QTest::addColumn<QString>("title"); // of the message; empty: the run starts
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    const int names = TMainForm::GivenNamesChoice;
    const QString noZone = u"Нет доменных зон"_qs;
    const QString chooseZone = u"Для продолжения, нужно выбрать хотя бы одну доменную зону"_qs;
    QTest::newRow("one keyword") << 0 << u"red"_qs << 0 << u"Нет слов"_qs
                                 << u"Для продолжения, нужно ввести слова для генерации"_qs << 0;
    QTest::newRow("blank names") << names << u" \n\n\t"_qs << 0 << u"Нет имен"_qs
                                 << u"Для продолжения, нужно ввести доменные имена для проверки"_qs << 0;
    QTest::newRow("keywords, no zone") << 0 << u"red\ncat"_qs << -1 << noZone << chooseZone << 0;
    QTest::newRow("a name without a zone, no zone")
        << names << u"redcat.com\nsun"_qs << -1 << noZone << chooseZone << 0;
    QTest::newRow("names with zones, no zone")
        << names << u"redcat.com\nsun.ru"_qs << -1 << QString() << QString() << 2;
}

void TestMainFormInput::nothingToStart()
{
    QFETCH(int, mode);
    QFETCH(QString, memo);
    QFETCH(int, zone);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(int, rows);
    TMainForm form;
    form.show();
    Generate(form, memo, mode, zone);
    QCOMPARE(F->Dialogs.FShown.size(), title.isEmpty() ? 0 : 1);
    if (!title.isEmpty()) {
        QCOMPARE(F->Dialogs.FShown.at(0).Title, title);
        QCOMPARE(F->Dialogs.FShown.at(0).Text, text);
    }
    QCOMPARE(form.Session().Candidates().size(), rows);
}

void TestMainFormInput::countFollowsInput()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QCOMPARE(ui.NameCount->text(), CountText(u"0"_qs));
    // Typing is counted once it pauses.
    ui.Words->setPlainText(u"red\ncat\nsun\nbig"_qs);
    QTRY_COMPARE(ui.NameCount->text(), CountText(u"24"_qs));
    ui.Zones->SetChecked(1, false);
    QCOMPARE(ui.NameCount->text(), CountText(u"12"_qs));
    ui.WordCount->setCurrentIndex(2);
    QCOMPARE(ui.NameCount->text(), CountText(u"24"_qs));
    ui.Zones->CheckAll(true);
    ui.Words->setPlainText(u"a\nb\nc\nd\ne\nf\ng\nh\ni\nj"_qs);
    // 10 · 9 · 8 three-keyword names in two zones.
    ui.WordCount->setCurrentIndex(1);
    QTRY_COMPARE(ui.NameCount->text(), CountText(u"1 440"_qs));
    ui.WordCount->setCurrentIndex(TMainForm::GivenNamesChoice);
    QCOMPARE(ui.NameCount->text(), CountText(u"20"_qs));
    ui.Words->setPlainText(u"red\nred.com\nsun.org\n\nbad name.ru"_qs);
    QTRY_COMPARE(ui.NameCount->text(), CountText(u"4"_qs));
    ui.Zones->CheckAll(false);
    QCOMPARE(ui.NameCount->text(), CountText(u"3"_qs));
    // The count is what a Start builds.
    ui.Zones->CheckAll(true);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QTRY_VERIFY(!form.Session().Running());
    QCOMPARE(form.Session().Candidates().size(), 4);
}

void TestMainFormInput::zoneListClicks()
{
    WriteZones("ru\r\ncom\r\nорг\r\n");
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(ui.Zones->Summary(), u"Все доменные зоны"_qs);
    ui.Zones->showPopup();
    QAbstractItemView* list = ui.Zones->view();
    QTRY_VERIFY(list->isVisible());
    const auto click = [list](int Row) {
        QTest::mouseClick(
            list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(Row, 0)).center());
    };
    // Each click acts and leaves the list open for the next.
    click(TZoneChoice::NoneRow);
    QVERIFY(ui.Zones->CheckedZones().isEmpty());
    QCOMPARE(ui.Zones->Summary(), u"Зоны не выбраны"_qs);
    click(TZoneChoice::FirstZoneRow + 2);
    click(TZoneChoice::FirstZoneRow);
    QCOMPARE(ui.Zones->CheckedZones(), (QStringList { u"ru"_qs, u"орг"_qs }));
    QCOMPARE(ui.Zones->Summary(), u"ru, орг"_qs);
    QCOMPARE(list->model()->index(TZoneChoice::FirstZoneRow, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    click(TZoneChoice::FirstZoneRow);
    QCOMPARE(ui.Zones->CheckedZones(), QStringList { u"орг"_qs });
    QVERIFY(list->isVisible());
    click(TZoneChoice::AllRow);
    QCOMPARE(ui.Zones->CheckedZones(), (QStringList { u"ru"_qs, u"com"_qs, u"орг"_qs }));
    QCOMPARE(ui.Zones->toolTip(), u"Все доменные зоны"_qs);
    ui.Zones->hidePopup();

    // The keyboard's space toggles the row under the cursor.
    ui.Zones->showPopup();
    QTRY_VERIFY(list->isVisible());
    list->setCurrentIndex(list->model()->index(TZoneChoice::FirstZoneRow + 1, 0));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(ui.Zones->CheckedZones(), (QStringList { u"ru"_qs, u"орг"_qs }));
    ui.Zones->hidePopup();
}

void TestMainFormInput::zoneListReloadKeepsMarks_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QStringList>("after"); // checked once "org" joins the list and "com" leaves it
    QTest::newRow("all stays all") << QStringList { u"ru"_qs, u"com"_qs } << QStringList { u"ru"_qs, u"org"_qs };
    QTest::newRow("a choice keeps out new zones") << QStringList { u"com"_qs } << QStringList();
    QTest::newRow("none stays none") << QStringList() << QStringList();
}

void TestMainFormInput::zoneListReloadKeepsMarks()
{
    QFETCH(QStringList, checked);
    QFETCH(QStringList, after);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    ui.Zones->SetCheckedZones(checked);
    form.Setting_FirstList = QStringList { u"ru"_qs, u"org"_qs };
    // What the settings dialog calls once the zone list is saved.
    form.FillComboZones();
    QCOMPARE(ui.Zones->Zones(), form.Setting_FirstList);
    QCOMPARE(ui.Zones->CheckedZones(), after);
}

void TestMainFormInput::choicesSurviveRestart()
{
    const QString words = u"red\nкот\u00A0пёс\n\nsun\n"_qs;
    {
        TMainForm form;
        TMainControls ui;
        QVERIFY(ui.Find(form));
        form.show();
        Generate(form, words, 1, 2);
        ui.Show->setCurrentIndex(int(TResultsModel::TShow::Unchecked));
        ClickHeader(ui.Grid, TResultsModel::ColName);
        ClickHeader(ui.Grid, TResultsModel::ColName);
        ui.Grid->horizontalHeader()->resizeSection(TResultsModel::ColZone, 77);
        QCOMPARE(form.Results().SortOrder(), Qt::DescendingOrder);
    }
    QVERIFY(QFile::exists(GetDataFolder() + u"keywords.txt"_qs));
    TMainForm again;
    TMainControls ui;
    QVERIFY(ui.Find(again));
    again.show();
    QCOMPARE(MemoText(ui.Words), words);
    QCOMPARE(ui.WordCount->currentIndex(), 1);
    QCOMPARE(ui.Zones->CheckedZones(), QStringList { u"com"_qs });
    QCOMPARE(ui.Show->currentIndex(), int(TResultsModel::TShow::Unchecked));
    QCOMPARE(again.Results().Show(), TResultsModel::TShow::Unchecked);
    QCOMPARE(again.Results().SortColumn(), int(TResultsModel::ColName));
    QCOMPARE(again.Results().SortOrder(), Qt::DescendingOrder);
    QVERIFY(ui.Grid->horizontalHeader()->isSortIndicatorShown());
    QCOMPARE(ui.Grid->horizontalHeader()->sortIndicatorSection(), int(TResultsModel::ColName));
    QCOMPARE(ui.Grid->columnWidth(TResultsModel::ColZone), 77);
    // A column the user left alone still follows the panel.
    QCOMPARE(ui.Grid->columnWidth(TResultsModel::ColStatus), TResultsPanel::FixedWidths[1]);
    QCOMPARE(ui.NameCount->text(), CountText(u"6"_qs));

    // A new run is shown under the view kept, and names given whole and no zone are kept too.
    Generate(again, u"a.ru\nb.ru"_qs, TMainForm::GivenNamesChoice, -1);
    QCOMPARE(ShownNames(again), (QStringList { u"b.ru"_qs, u"a.ru"_qs }));
}

void TestMainFormInput::startupFileWinsOverRemembered()
{
    {
        TMainForm form;
        TMainControls ui;
        QVERIFY(ui.Find(form));
        ui.Words->setPlainText(u"red\ncat"_qs);
    }
    const QString file = F->Env.WriteFile(u"list.txt"_qs, "sun\nsea\n");
    TMainForm again;
    TMainControls ui;
    QVERIFY(ui.Find(again));
    QCOMPARE(MemoText(ui.Words), u"red\ncat"_qs);
    again.OpenStartupFile({ u"orvanta"_qs, file });
    QCOMPARE(MemoText(ui.Words), u"sun\nsea\n"_qs);
}

void TestMainFormInput::strayStoredValuesIgnored()
{
    // Values no window writes: each choice falls back to its default.
    TSettingsStore::WriteDWord(u"WordCount"_qs, 9);
    TSettingsStore::WriteDWord(u"Results_Show"_qs, quint32(-1));
    TSettingsStore::WriteDWord(u"Results_SortColumn"_qs, 5);
    TSettingsStore::WriteString(u"ChosenZones"_qs, u"su\ncom"_qs);
    TSettingsStore::WriteString(u"Results_W1"_qs, u"wide"_qs);
    // A folder where the keyword list is kept: nothing to read, and nothing written over it at the close.
    const QString kept = GetDataFolder() + u"keywords.txt"_qs;
    QVERIFY(QDir().mkpath(kept));
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QCOMPARE(ui.WordCount->currentIndex(), 0);
    QCOMPARE(ui.Show->currentIndex(), 0);
    QCOMPARE(form.Results().SortColumn(), int(TResultsModel::NoSort));
    // A zone the list no longer has is dropped from the choice.
    QCOMPARE(ui.Zones->CheckedZones(), QStringList { u"com"_qs });
    QCOMPARE(MemoText(ui.Words), QString());
    QCOMPARE(ui.Grid->columnWidth(TResultsModel::ColZone), 50);
    ui.Words->setPlainText(u"red\ncat"_qs);
    form.close();
    QVERIFY(QFileInfo(kept).isDir());
}

QTEST_MAIN(TestMainFormInput)
#include "tst_mainforminput.moc"
