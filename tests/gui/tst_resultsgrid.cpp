#include "gui/ResultsModel.h"
#include "support/FindControl.h"
#include "support/GridFixture.h"
#include "support/HeaderClick.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QTest>

// The results grid's rows: the placeholder, refills, selection, the context menu, sorting, the filter and copying.
class TestResultsGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void emptyRunKeepsPlaceholder();
    void clearThenRefill();
    void modelStaysConsistent();
    void clickSelectsWholeRow();
    void contextMenuPopsUp();
    void headerClicksSort_data();
    void headerClicksSort();
    void filterShows_data();
    void filterShows();
    void filterAndSortOutliveRefill();
    void copySelectedNames();
    void statusTipSaysWhen_data();
    void statusTipSaysWhen();
};

void TestResultsGrid::init()
{
    QVERIFY(TGridFixture().Found);
}

void TestResultsGrid::emptyRunKeepsPlaceholder()
{
    TGridFixture f;
    QLabel* label = nullptr;
    QVERIFY(FindControl(*f.Placeholder, u"PlaceholderLabel"_qs, label));
    QCOMPARE(label->text(),
        u"Нет данных для отображения...\nВведите ключевые слова и нажмите кнопку начала генерации..."_qs);
    QVERIFY(f.Placeholder->isVisible());
    QVERIFY(!f.Grid->isVisible());

    // Two equal keywords build no candidate.
    f.Generate({ u"red"_qs, u"red"_qs }, { u"ru"_qs });
    QVERIFY(f.Placeholder->isVisible());
    QVERIFY(!f.Grid->isVisible());

    // After a run with rows, an empty run brings the placeholder back.
    f.Generate({ u"red"_qs, u"cat"_qs }, { u"ru"_qs });
    QVERIFY(f.Grid->isVisible());
    QVERIFY(!f.Placeholder->isVisible());
    f.Generate({ u"red"_qs, u"red"_qs }, { u"ru"_qs });
    QVERIFY(f.Placeholder->isVisible());
    QVERIFY(!f.Grid->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 0);
}

void TestResultsGrid::clearThenRefill()
{
    TGridFixture f;
    f.Generate({ u"red"_qs, u"cat"_qs, u"sun"_qs }, { u"ru"_qs });
    QCOMPARE(f.Panel.Model().rowCount(), 6);
    f.Grid->selectRow(5);

    // Clearing clears the session itself: nothing is left to bring the rows back.
    f.Session.Clear();
    QVERIFY(!f.Grid->isVisible());
    QVERIFY(f.Placeholder->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QVERIFY(f.Session.Candidates().isEmpty());
    QCOMPARE(f.Panel.Model().headerData(0, Qt::Horizontal).toString(), u"Доменное имя"_qs);

    f.Generate({ u"big"_qs, u"dog"_qs }, { u"com"_qs });
    QCoreApplication::processEvents();
    QVERIFY(f.Grid->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 2);
    const auto screen = f.ScreenTexts();
    QStringList names;
    for (auto it = screen.cbegin(); it != screen.cend(); ++it)
        if (it.key().second == 0)
            names << it.value();
    names.sort();
    QCOMPARE(names, (QStringList { u"bigdog.com"_qs, u"dogbig.com"_qs }));
    QVERIFY(!screen.contains({ 2, 0 }));
    QVERIFY(f.Grid->selectionModel()->selectedRows().isEmpty());
}

void TestResultsGrid::modelStaysConsistent()
{
    TGridFixture f;
    QAbstractItemModelTester tester(&f.Panel.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Generate({ u"red"_qs, u"cat"_qs, u"sun"_qs }, { u"ru"_qs, u"рф"_qs });
    QCOMPARE(f.Panel.Model().rowCount(), 12);
    f.Grid->selectRow(3);
    f.Grid->scrollToBottom();
    f.Session.Clear();
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    f.Generate({ u"a"_qs, u"a"_qs }, { u"ru"_qs });
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QCOMPARE(f.Panel.Model().headerData(4, Qt::Horizontal).toString(), u"ТИЦ"_qs);
}

void TestResultsGrid::clickSelectsWholeRow()
{
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs), Candidate(u"beta.ru"_qs), Candidate(u"gamma.ru"_qs) });
    QTableView* view = f.Grid;
    const auto click = [view](int row, int column) {
        QTest::mouseClick(
            view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(row, column)).center());
    };
    click(1, 3);
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 5);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(view->selectionModel()->selectedRows().first().row(), 1);
    click(2, 0);
    QCOMPARE(view->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(view->selectionModel()->selectedRows().first().row(), 2);
}

void TestResultsGrid::contextMenuPopsUp()
{
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs) });
    QMenu menu;
    menu.addAction(u"Очистить список"_qs);
    f.Panel.SetPopupMenu(&menu);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), f.Grid->viewport()->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(f.Grid->viewport(), &event);
    QVERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), f.Grid->viewport()->mapToGlobal(QPoint(10, 10)));
    menu.hide();
}

void TestResultsGrid::headerClicksSort_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");
    QTest::addColumn<QStringList>("descending");
    QTest::newRow("name") << 0 << QStringList { u"alpha.com"_qs, u"beta.ru"_qs, u"delta.su"_qs, u"gamma.ru"_qs }
                          << QStringList { u"gamma.ru"_qs, u"delta.su"_qs, u"beta.ru"_qs, u"alpha.com"_qs };
    // Equal zones keep run order both ways.
    QTest::newRow("zone") << 1 << QStringList { u"alpha.com"_qs, u"beta.ru"_qs, u"gamma.ru"_qs, u"delta.su"_qs }
                          << QStringList { u"delta.su"_qs, u"beta.ru"_qs, u"gamma.ru"_qs, u"alpha.com"_qs };
    QTest::newRow("status: free, taken, unchecked")
        << 2 << QStringList { u"gamma.ru"_qs, u"delta.su"_qs, u"beta.ru"_qs, u"alpha.com"_qs }
        << QStringList { u"alpha.com"_qs, u"beta.ru"_qs, u"gamma.ru"_qs, u"delta.su"_qs };
    // Numbers by value; an empty figure stays at the bottom both ways.
    QTest::newRow("PR") << 3 << QStringList { u"delta.su"_qs, u"gamma.ru"_qs, u"beta.ru"_qs, u"alpha.com"_qs }
                        << QStringList { u"beta.ru"_qs, u"gamma.ru"_qs, u"delta.su"_qs, u"alpha.com"_qs };
    QTest::newRow("ТИЦ") << 4 << QStringList { u"beta.ru"_qs, u"delta.su"_qs, u"gamma.ru"_qs, u"alpha.com"_qs }
                         << QStringList { u"gamma.ru"_qs, u"delta.su"_qs, u"beta.ru"_qs, u"alpha.com"_qs };
}

void TestResultsGrid::headerClicksSort()
{
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    QFETCH(QStringList, descending);
    TGridFixture f;
    QAbstractItemModelTester tester(&f.Panel.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Show(SortSample());
    const QStringList runOrder = ShownNames(f.Panel.Model());
    QHeaderView* header = f.Grid->horizontalHeader();

    ClickHeader(f.Grid, column);
    QCOMPARE(ShownNames(f.Panel.Model()), ascending);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // The screen and the cell texts follow the shown order.
    QCOMPARE(f.ScreenTexts().value({ 0, 0 }), QStringList { ascending.first() });
    QCOMPARE(f.Panel.Model().CellText(0, TResultsModel::ColName), ascending.first());

    ClickHeader(f.Grid, column);
    QCOMPARE(ShownNames(f.Panel.Model()), descending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeader(f.Grid, column);
    QCOMPARE(ShownNames(f.Panel.Model()), runOrder);
    QVERIFY(!header->isSortIndicatorShown());
}

void TestResultsGrid::filterShows_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("все") << 0 << QStringList { u"beta.ru"_qs, u"alpha.com"_qs, u"gamma.ru"_qs, u"delta.su"_qs };
    QTest::newRow("свободные") << 1 << QStringList { u"gamma.ru"_qs, u"delta.su"_qs };
    QTest::newRow("занятые") << 2 << QStringList { u"beta.ru"_qs };
    QTest::newRow("непроверенные") << 3 << QStringList { u"alpha.com"_qs };
}

void TestResultsGrid::filterShows()
{
    QFETCH(int, choice);
    QFETCH(QStringList, names);
    TGridFixture f;
    QAbstractItemModelTester tester(&f.Panel.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Show(SortSample());
    QComboBox* show = f.Filter;
    QVERIFY(show->isVisible());
    QCOMPARE(show->count(), 4);
    QCOMPARE(show->itemText(choice),
        (QStringList { u"все"_qs, u"свободные"_qs, u"занятые"_qs, u"непроверенные"_qs }.at(choice)));
    show->setCurrentIndex(choice);
    QCOMPARE(ShownNames(f.Panel.Model()), names);
    QCOMPARE(f.Panel.Model().RowCount(), names.size());
    QCOMPARE(f.Panel.Model().TotalCount(), 4);
    QCOMPARE(f.Panel.Model().CellText(names.size(), 0), QString());
}

void TestResultsGrid::filterAndSortOutliveRefill()
{
    TGridFixture f;
    f.Show(SortSample());
    f.Filter->setCurrentIndex(1);
    ClickHeader(f.Grid, 0);
    ClickHeader(f.Grid, 0);
    QCOMPARE(ShownNames(f.Panel.Model()), (QStringList { u"gamma.ru"_qs, u"delta.su"_qs }));

    // A new run is shown under the same choices.
    f.Show({ Candidate(u"a.ru"_qs, TStatus::Free), Candidate(u"b.ru"_qs, TStatus::Taken),
        Candidate(u"c.ru"_qs, TStatus::Free) });
    QCOMPARE(ShownNames(f.Panel.Model()), (QStringList { u"c.ru"_qs, u"a.ru"_qs }));
    // A filter that lets nothing through leaves the grid and its filter on screen, with no rows.
    f.Filter->setCurrentIndex(3);
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QVERIFY(f.Grid->isVisible());
    f.Session.Clear();
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QCOMPARE(f.Panel.Model().TotalCount(), 0);
}

void TestResultsGrid::copySelectedNames()
{
    TGridFixture f;
    f.Show(SortSample());
    ClickHeader(f.Grid, 0); // alpha, beta, delta, gamma
    QTableView* view = f.Grid;
    const auto click = [view](int row, Qt::KeyboardModifiers keys) {
        QTest::mouseClick(
            view->viewport(), Qt::LeftButton, keys, view->visualRect(view->model()->index(row, 1)).center());
    };
    click(3, {});
    click(0, Qt::ControlModifier);
    click(2, Qt::ControlModifier);
    QGuiApplication::clipboard()->setText(u"before"_qs);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    // In the order shown, not the order clicked; whole names, one per line.
    QCOMPARE(QGuiApplication::clipboard()->text(), u"alpha.com\ndelta.su\ngamma.ru"_qs);

    // Nothing selected leaves the clipboard alone.
    view->clearSelection();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"alpha.com\ndelta.su\ngamma.ru"_qs);
}

void TestResultsGrid::statusTipSaysWhen_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("timed"); // whether the time of the status is known
    QTest::addColumn<qint64>("age"); // seconds before now
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("tip");
    const int taken = int(TStatus::Taken);
    QTest::newRow("59 s") << taken << true << qint64(59) << QString() << u"проверено только что"_qs;
    QTest::newRow("a minute") << taken << true << qint64(60) << QString() << u"проверено 1 мин назад"_qs;
    QTest::newRow("59 min") << int(TStatus::Free) << true << qint64(3599) << QString() << u"проверено 59 мин назад"_qs;
    QTest::newRow("3 h") << taken << true << qint64(3 * 3600 + 1799) << QString() << u"проверено 3 ч назад"_qs;
    QTest::newRow("23 h") << taken << true << qint64(86399) << QString() << u"проверено 23 ч назад"_qs;
    QTest::newRow("2 days") << taken << true << qint64(2 * 86400 + 5) << QString() << u"проверено 2 дн назад"_qs;
    QTest::newRow("a clock set back") << taken << true << qint64(-30) << QString() << u"проверено только что"_qs;
    QTest::newRow("failed: the reason, then when")
        << int(TStatus::Failed) << true << qint64(7200) << u"превышен лимит запросов"_qs
        << u"превышен лимит запросов (WHOIS, whois.tcinet.ru)\nпроверено 2 ч назад"_qs;
    QTest::newRow("from an output without times") << taken << false << qint64(0) << QString() << QString();
}

void TestResultsGrid::statusTipSaysWhen()
{
    QFETCH(int, status);
    QFETCH(bool, timed);
    QFETCH(qint64, age);
    QFETCH(QString, reason);
    QFETCH(QString, tip);
    const qint64 now = 1709629622;
    TCandidate d;
    d.Name = u"redcat.ru"_qs;
    d.Zone = u"ru"_qs;
    d.SetOutcome(TStatus(status), TVia::Whois, u"whois.tcinet.ru"_qs, { reason, reason });
    d.CheckedAt = timed ? now - age : 0;
    QCOMPARE(TResultsModel::StatusTip(d, now), tip);
}

QTEST_MAIN(TestResultsGrid)
#include "tst_resultsgrid.moc"
