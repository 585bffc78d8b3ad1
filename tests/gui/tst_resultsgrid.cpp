#include "core/checks/DomainEngine.h"
#include "gui/ResultsDelegate.h"
#include "gui/ResultsPanel.h"
#include "support/HeaderClick.h"
#include "support/PanelShell.h"
#include "support/TextCapture.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QComboBox>
#include <QHelpEvent>
#include <QToolTip>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <memory>

namespace
{

TCandidate Candidate(
    const QString& name, qint32 status = StatusUnknown, const QString& pr = QString(), const QString& tic = QString())
{
    const QString zone = name.section(u'.', -1);
    return { name, zone, status, 0, 0, pr, tic };
}

// A shown panel with the engine wired to it the way the main window wires it.
struct TGridFixture {
    TResultsPanel Panel;
    TPanelShell Shell { Panel };
    TDomain Domains { &Shell };

    explicit TGridFixture(QSize size = { 800, 500 })
    {
        QObject::connect(&Panel, &TResultsPanel::Resized, &Panel, [this] {
            try {
                Domains.GridResize();
            } catch (...) {
            }
        });
        Panel.resize(size);
        Panel.show();
        Q_UNUSED(QTest::qWaitForWindowExposed(&Panel));
    }

    QTableView* View() const { return Panel.ResultsView(); }

    void Show(const QList<TCandidate>& rows)
    {
        Domains.Candidates = rows;
        Domains.FillGridData();
        QCoreApplication::processEvents();
    }

    // The texts drawn in each cell of the grid's visible rows, by model row and column.
    QHash<QPair<int, int>, QStringList> ScreenTexts() const
    {
        QHash<QPair<int, int>, QStringList> out;
        for (const auto& t : TTextCapture::Capture(View()->viewport())) {
            const QModelIndex index = View()->indexAt(QPoint(int(t.Origin.x()) + 1, int(t.Origin.y()) - 2));
            out[{ index.row(), index.column() }] << t.Text;
        }
        return out;
    }

    QImage Screen() const { return View()->viewport()->grab().toImage(); }
};

} // namespace

class TestResultsGrid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void columnWidths_data();
    void columnWidths();
    void statusWordsAndCellTexts_data();
    void statusWordsAndCellTexts();
    void rowColours_data();
    void rowColours();
    void textPlacement_data();
    void textPlacement();
    void longNameEndsInEllipsis();
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
    void userWidthKept();
    void cutNameTooltip_data();
    void cutNameTooltip();
    void copySelectedNames();
};

namespace
{

// Four candidates whose order differs in every column; the figures sort wrongly as text ("10" < "9").
QList<TCandidate> SortSample()
{
    return { Candidate(u"beta.ru"_qs, StatusTaken, u"10"_qs, u"5"_qs), Candidate(u"alpha.com"_qs),
        Candidate(u"gamma.ru"_qs, StatusFree, u"9"_qs, u"100"_qs),
        Candidate(u"delta.su"_qs, StatusFree, u"-1"_qs, u"20"_qs) };
}

QStringList ShownNames(const TResultsModel& Model)
{
    QStringList names;
    for (int r = 0; r < Model.rowCount(); ++r)
        names << Model.index(r, TResultsModel::ColName).data().toString();
    return names;
}

} // namespace

void TestResultsGrid::columnWidths_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("first");
    QTest::addColumn<bool>("fillFirst");
    // 500 pixels less the 32-pixel filter bar and the 24-pixel header leave room for 18 rows of 24 pixels.
    QTest::newRow("two rows") << 2 << 460 << false;
    QTest::newRow("18 rows, just fit") << 18 << 460 << false;
    QTest::newRow("19 rows, one too many") << 19 << 440 << false;
    QTest::newRow("many rows") << 500 << 440 << false;
    QTest::newRow("many rows, filled without a resize") << 500 << 440 << true;
    QTest::newRow("two rows, filled without a resize") << 2 << 460 << true;
}

void TestResultsGrid::columnWidths()
{
    QFETCH(int, rows);
    QFETCH(int, first);
    QFETCH(bool, fillFirst);
    TGridFixture f({ fillFirst ? 800 : 700, 500 });
    QList<TCandidate> list;
    for (int i = 0; i < rows; ++i)
        list << Candidate(u"name"_qs + QString::number(i) + u".ru"_qs);
    f.Show(list);
    // Filling decides whether the scroll bar shows, so it recomputes the widths as a resize does.
    if (!fillFirst) {
        f.Panel.resize(800, 500);
        QCoreApplication::processEvents();
    }

    QTableView* view = f.View();
    const QList<int> expected { first, 50, 90, 100, 100 };
    QList<int> widths;
    for (int c = 0; c < 5; ++c)
        widths << view->columnWidth(c);
    QCOMPARE(widths, expected);
    QCOMPARE(view->horizontalHeader()->height(), 24);
    QCOMPARE(view->rowHeight(0), 24);
    QCOMPARE(view->rowViewportPosition(1), 24);
    // The width kept back is exactly the scroll bar's need: the last column ends inside the grid.
    QCOMPARE(view->verticalScrollBar()->isVisible(), first == 440);
    QVERIFY(view->columnViewportPosition(4) + view->columnWidth(4) <= view->viewport()->width());
    QVERIFY(!view->horizontalScrollBar()->isVisible());
}

void TestResultsGrid::statusWordsAndCellTexts_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("pr");
    QTest::addColumn<QString>("rawStatus");
    QTest::addColumn<QString>("shownStatus");
    QTest::newRow("not checked") << -1 << QString() << u"-1"_qs << u"Не проверен"_qs;
    QTest::newRow("free") << 0 << QString() << u"0"_qs << u"свободен"_qs;
    QTest::newRow("taken") << 1 << QString() << u"1"_qs << u"занят"_qs;
    QTest::newRow("unknown code unchanged") << 7 << QString() << u"7"_qs << u"7"_qs;
    QTest::newRow("fetched PR of -1 stays -1") << 1 << u"-1"_qs << u"1"_qs << u"занят"_qs;
}

void TestResultsGrid::statusWordsAndCellTexts()
{
    QFETCH(int, status);
    QFETCH(QString, pr);
    QFETCH(QString, rawStatus);
    QFETCH(QString, shownStatus);
    TGridFixture f;
    f.Show({ Candidate(u"redcat.ru"_qs, status, pr) });

    const TResultsModel& model = f.Panel.Model();
    QCOMPARE(model.CellText(0, TResultsModel::ColStatus), rawStatus);
    QCOMPARE(model.CellText(0, TResultsModel::ColPR), pr);

    const auto screen = f.ScreenTexts();
    QCOMPARE(screen.value({ 0, 0 }), QStringList { u"redcat.ru"_qs });
    QCOMPARE(screen.value({ 0, 1 }), QStringList { u"ru"_qs });
    QCOMPARE(screen.value({ 0, 2 }), QStringList { shownStatus });
    // Metrics not fetched draw nothing at all; a fetched one draws as it is.
    QCOMPARE(screen.value({ 0, 3 }), pr.isEmpty() ? QStringList() : QStringList { pr });
    QCOMPARE(screen.value({ 0, 4 }), QStringList());
}

void TestResultsGrid::rowColours_data()
{
    QTest::addColumn<int>("selected"); // model row, -1 for none
    QTest::addColumn<int>("row"); // model row to look at
    QTest::addColumn<QColor>("colour");
    const QColor white(255, 255, 255), tinted(240, 240, 255), chosen(200, 200, 255);
    QTest::newRow("first candidate white") << -1 << 0 << white;
    QTest::newRow("second tinted") << -1 << 1 << tinted;
    QTest::newRow("third white again") << -1 << 2 << white;
    QTest::newRow("selected row") << 1 << 1 << chosen;
    QTest::newRow("selected odd row") << 2 << 2 << chosen;
    QTest::newRow("row beside the selection") << 1 << 2 << white;
}

void TestResultsGrid::rowColours()
{
    QFETCH(int, selected);
    QFETCH(int, row);
    QFETCH(QColor, colour);
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs, 1, u"3"_qs, u"10"_qs), Candidate(u"beta.ru"_qs, 0, u"4"_qs, u"20"_qs),
        Candidate(u"gamma.ru"_qs, -1, u"5"_qs, u"30"_qs), Candidate(u"delta.ru"_qs) });
    if (selected >= 0)
        f.View()->selectRow(selected);
    // The selection colour does not depend on the grid having the focus.
    f.View()->clearFocus();
    const QImage screen = f.Screen();

    for (int c = 0; c < 5; ++c) {
        const QRect cell = f.View()->visualRect(f.Panel.Model().index(row, c));
        const QColor background = screen.pixelColor(cell.left() + 1, cell.center().y());
        QVERIFY2(background == colour, qPrintable(u"column %1: %2"_qs.arg(c).arg(background.name())));
        // The text is black: its darkest pixel is black or nearly so, whatever the background.
        int darkest = 255;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                darkest = qMin(darkest,
                    qMax(qMax(qRed(screen.pixel(x, y)), qGreen(screen.pixel(x, y))), qBlue(screen.pixel(x, y))));
        QVERIFY2(darkest < 40, qPrintable(u"column %1 darkest %2"_qs.arg(c).arg(darkest)));
    }
}

void TestResultsGrid::textPlacement_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("centred");
    QTest::newRow("name left") << 0 << false;
    QTest::newRow("zone left") << 1 << false;
    QTest::newRow("status centred") << 2 << true;
    QTest::newRow("PR centred") << 3 << true;
    QTest::newRow("TIC centred") << 4 << true;
}

void TestResultsGrid::textPlacement()
{
    QFETCH(int, column);
    QFETCH(bool, centred);
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs), Candidate(u"beta.ru"_qs, 0, u"4"_qs, u"20"_qs) });

    const QFontMetrics metrics(f.View()->font());
    const QRect cell = f.View()->visualRect(f.Panel.Model().index(1, column));
    const auto texts = TTextCapture::Capture(f.View()->viewport());
    const auto drawn = std::find_if(texts.cbegin(), texts.cend(), [&](const TTextCapture::TDrawnText& t) {
        return cell.contains(QPoint(int(t.Origin.x()) + 1, int(t.Origin.y()) - 2));
    });
    QVERIFY(drawn != texts.cend());
    QCOMPARE(qRound(drawn->Origin.y()), cell.top() + 2 + metrics.ascent());
    const QRect textRect = cell.adjusted(3, 2, 0, 0);
    if (centred) {
        const qreal middle = drawn->Origin.x() + metrics.horizontalAdvance(drawn->Text) / 2.0;
        QVERIFY2(qAbs(middle - (textRect.left() + textRect.right() + 1) / 2.0) <= 1.0,
            qPrintable(u"text middle %1 in %2..%3"_qs.arg(middle).arg(textRect.left()).arg(textRect.right())));
    } else {
        QCOMPARE(qRound(drawn->Origin.x()), textRect.left());
    }
}

void TestResultsGrid::longNameEndsInEllipsis()
{
    TGridFixture f;
    const QString longName = QString(200, u'x') + u".ru"_qs;
    f.Show({ Candidate(longName), Candidate(u"short.ru"_qs) });
    const auto screen = f.ScreenTexts();

    const QStringList first = screen.value({ 0, 0 });
    QCOMPARE(first.size(), 1);
    QVERIFY2(first.first().endsWith(QChar(0x2026)), qPrintable(first.first()));
    QVERIFY(first.first().startsWith(u"xxx"_qs));
    const QFontMetrics metrics(f.View()->font());
    QVERIFY(metrics.horizontalAdvance(first.first()) <= f.View()->columnWidth(0) - 3);
    // Nothing of the long name spills into the zone column.
    QCOMPARE(screen.value({ 0, 1 }), QStringList { u"ru"_qs });
    QCOMPARE(screen.value({ 1, 0 }), QStringList { u"short.ru"_qs });
}

void TestResultsGrid::emptyRunKeepsPlaceholder()
{
    TGridFixture f;
    auto* label = f.Panel.PanelHideContent()->findChild<QLabel*>(u"PlaceholderLabel"_qs);
    QVERIFY(label);
    QCOMPARE(label->text(),
        u"Нет данных для отображения...\nВведите ключевые слова и нажмите кнопку начала генерации..."_qs);
    QVERIFY(f.Panel.PanelHideContent()->isVisible());
    QVERIFY(!f.View()->isVisible());

    // Two equal keywords build no candidate.
    f.Domains.FillWordList({ u"red"_qs, u"red"_qs });
    f.Domains.FillFirstDomainList({ u"ru"_qs });
    f.Domains.Generate(0);
    QVERIFY(f.Panel.PanelHideContent()->isVisible());
    QVERIFY(!f.View()->isVisible());

    // After a run with rows, an empty run brings the placeholder back.
    f.Domains.FillWordList({ u"red"_qs, u"cat"_qs });
    f.Domains.Generate(0);
    QVERIFY(f.View()->isVisible());
    QVERIFY(!f.Panel.PanelHideContent()->isVisible());
    f.Domains.FillWordList({ u"red"_qs, u"red"_qs });
    f.Domains.Generate(0);
    QVERIFY(f.Panel.PanelHideContent()->isVisible());
    QVERIFY(!f.View()->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 0);
}

void TestResultsGrid::clearThenRefill()
{
    TGridFixture f;
    f.Domains.FillWordList({ u"red"_qs, u"cat"_qs, u"sun"_qs });
    f.Domains.FillFirstDomainList({ u"ru"_qs });
    f.Domains.Generate(0);
    QCOMPARE(f.Panel.Model().rowCount(), 6);
    f.View()->selectRow(5);

    f.Domains.CleanGrid(true);
    QVERIFY(!f.View()->isVisible());
    QVERIFY(f.Panel.PanelHideContent()->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QCOMPARE(f.Domains.Candidates.size(), 6); // the candidate list is the engine's, untouched
    QCOMPARE(f.Panel.Model().HeaderText(0), u"Доменное имя"_qs);

    f.Domains.FillWordList({ u"big"_qs, u"dog"_qs });
    f.Domains.FillFirstDomainList({ u"com"_qs });
    f.Domains.Generate(0);
    QCoreApplication::processEvents();
    QVERIFY(f.View()->isVisible());
    QCOMPARE(f.Panel.Model().rowCount(), 2);
    const auto screen = f.ScreenTexts();
    QStringList names;
    for (auto it = screen.cbegin(); it != screen.cend(); ++it)
        if (it.key().second == 0)
            names << it.value();
    names.sort();
    QCOMPARE(names, (QStringList { u"bigdog.com"_qs, u"dogbig.com"_qs }));
    QVERIFY(!screen.contains({ 2, 0 }));
    QVERIFY(f.View()->selectionModel()->selectedRows().isEmpty());
}

void TestResultsGrid::modelStaysConsistent()
{
    TGridFixture f;
    QAbstractItemModelTester tester(&f.Panel.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    f.Domains.FillWordList({ u"red"_qs, u"cat"_qs, u"sun"_qs });
    f.Domains.FillFirstDomainList({ u"ru"_qs, u"рф"_qs });
    f.Domains.Generate(0);
    QCOMPARE(f.Panel.Model().rowCount(), 12);
    f.View()->selectRow(3);
    f.View()->scrollToBottom();
    f.Domains.CleanGrid(true);
    f.Domains.FillGridData();
    f.Domains.CleanGrid(false);
    QCOMPARE(f.Panel.Model().HeaderText(0), QString());
    f.Domains.FillWordList({ u"a"_qs, u"a"_qs });
    f.Domains.Generate(0);
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QCOMPARE(f.Panel.Model().HeaderText(4), u"ТИЦ"_qs);
}

void TestResultsGrid::clickSelectsWholeRow()
{
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs), Candidate(u"beta.ru"_qs), Candidate(u"gamma.ru"_qs) });
    QTableView* view = f.View();
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
    QContextMenuEvent event(
        QContextMenuEvent::Mouse, QPoint(10, 10), f.View()->viewport()->mapToGlobal(QPoint(10, 10)));
    QCoreApplication::sendEvent(f.View()->viewport(), &event);
    QVERIFY(menu.isVisible());
    QCOMPARE(menu.pos(), f.View()->viewport()->mapToGlobal(QPoint(10, 10)));
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
    QHeaderView* header = f.View()->horizontalHeader();

    ClickHeader(f.View(), column);
    QCOMPARE(ShownNames(f.Panel.Model()), ascending);
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // The screen and the cell texts follow the shown order.
    QCOMPARE(f.ScreenTexts().value({ 0, 0 }), QStringList { ascending.first() });
    QCOMPARE(f.Panel.Model().CellText(0, TResultsModel::ColName), ascending.first());

    ClickHeader(f.View(), column);
    QCOMPARE(ShownNames(f.Panel.Model()), descending);
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    ClickHeader(f.View(), column);
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
    QComboBox* show = f.Panel.findChild<QComboBox*>(u"ComboBoxShow"_qs);
    QVERIFY(show && show->isVisible());
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
    f.Panel.findChild<QComboBox*>(u"ComboBoxShow"_qs)->setCurrentIndex(1);
    ClickHeader(f.View(), 0);
    ClickHeader(f.View(), 0);
    QCOMPARE(ShownNames(f.Panel.Model()), (QStringList { u"gamma.ru"_qs, u"delta.su"_qs }));

    // A new run is shown under the same choices.
    f.Show({ Candidate(u"a.ru"_qs, StatusFree), Candidate(u"b.ru"_qs, StatusTaken), Candidate(u"c.ru"_qs, StatusFree) });
    QCOMPARE(ShownNames(f.Panel.Model()), (QStringList { u"c.ru"_qs, u"a.ru"_qs }));
    // A filter that lets nothing through leaves the grid and its filter on screen, with no rows.
    f.Panel.findChild<QComboBox*>(u"ComboBoxShow"_qs)->setCurrentIndex(3);
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QVERIFY(f.View()->isVisible());
    f.Domains.CleanGrid(true);
    QCOMPARE(f.Panel.Model().rowCount(), 0);
    QCOMPARE(f.Panel.Model().TotalCount(), 0);
}

void TestResultsGrid::userWidthKept()
{
    TGridFixture f({ 800, 500 });
    f.Show(SortSample());
    QHeaderView* header = f.View()->horizontalHeader();
    QCOMPARE(header->sectionResizeMode(3), QHeaderView::Interactive);
    // The user widens PR by 40 pixels by dragging its right edge.
    const int edge = header->sectionViewportPosition(3) + header->sectionSize(3) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + 40, 10), header->viewport()->mapToGlobal(QPointF(edge + 40, 10)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, 10));
    QCOMPARE(f.View()->columnWidth(3), 140);

    // A resize of the panel keeps it; the first column gives up the 40 pixels so nothing goes off the edge.
    f.Panel.resize(900, 500);
    QCoreApplication::processEvents();
    QList<int> widths;
    for (int c = 0; c < 5; ++c)
        widths << f.View()->columnWidth(c);
    QCOMPARE(widths, (QList<int> { 520, 50, 90, 140, 100 }));
    QVERIFY(!f.View()->horizontalScrollBar()->isVisible());
}

void TestResultsGrid::cutNameTooltip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("tip");
    QTest::newRow("fits") << u"short.ru"_qs << false;
    QTest::newRow("cut off") << QString(u"long"_qs.repeated(40) + u".ru"_qs) << true;
}

void TestResultsGrid::cutNameTooltip()
{
    QFETCH(QString, name);
    QFETCH(bool, tip);
    TGridFixture f;
    f.Show({ Candidate(name) });
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    const QPoint at = f.View()->visualRect(f.Panel.Model().index(0, 0)).center();
    QHelpEvent event(QEvent::ToolTip, at, f.View()->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(f.View()->viewport(), &event);
    QCOMPARE(QToolTip::isVisible(), tip);
    if (tip)
        QCOMPARE(QToolTip::text(), name);
    QToolTip::hideText();
}

void TestResultsGrid::copySelectedNames()
{
    TGridFixture f;
    f.Show(SortSample());
    ClickHeader(f.View(), 0); // alpha, beta, delta, gamma
    QTableView* view = f.View();
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

QTEST_MAIN(TestResultsGrid)
#include "tst_resultsgrid.moc"
