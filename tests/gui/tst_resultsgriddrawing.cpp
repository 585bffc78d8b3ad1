#include "gui/ResultsDelegate.h"
#include "support/GridFixture.h"
#include "support/StatusText.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <cmath>
#include <numeric>

namespace
{

// How many rows a grid in a panel of Size shows without a scroll bar.
int RowsThatFit(QSize Size)
{
    TGridFixture probe(Size);
    probe.Show({ Candidate(u"a.ru"_qs) });
    return probe.Grid->viewport()->height() / probe.Grid->rowHeight(0);
}

} // namespace

// How the results grid draws: column widths, cell texts and their places, row colours, cut names and their
// tooltips, and the widths the user sets.
class TestResultsGridDrawing : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void columnWidths_data();
    void columnWidths();
    void statusWordsAndCellTexts_data();
    void statusWordsAndCellTexts();
    void statusMarksAndContrast();
    void figureCells_data();
    void figureCells();
    void rowColours_data();
    void rowColours();
    void textPlacement_data();
    void textPlacement();
    void longNameEndsInEllipsis();
    void userWidthKept();
    void cutNameTooltip_data();
    void cutNameTooltip();
};

void TestResultsGridDrawing::init()
{
    QVERIFY(TGridFixture().Found);
}

void TestResultsGridDrawing::columnWidths_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("scrolls");
    QTest::addColumn<bool>("fillFirst");
    const int fit = RowsThatFit({ 800, 500 });
    QVERIFY(fit > 2);
    QTest::newRow("two rows") << 2 << false << false;
    QTest::newRow("as many as just fit") << fit << false << false;
    QTest::newRow("one too many") << fit + 1 << true << false;
    QTest::newRow("many rows") << 500 << true << false;
    QTest::newRow("many rows, filled without a resize") << 500 << true << true;
    QTest::newRow("two rows, filled without a resize") << 2 << false << true;
}

void TestResultsGridDrawing::columnWidths()
{
    QFETCH(int, rows);
    QFETCH(bool, scrolls);
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

    // The figure columns keep the widths they have with few rows; the name takes the rest of the grid's
    // width, less room for the scroll bar when the rows need one: the last column ends inside the grid.
    TGridFixture few({ 800, 500 });
    few.Show({ Candidate(u"a.ru"_qs), Candidate(u"b.ru"_qs) });
    const QList<int> widths = f.ColumnWidths();
    QCOMPARE(widths.mid(1), few.ColumnWidths().mid(1));
    QCOMPARE(f.Grid->verticalScrollBar()->isVisible(), scrolls);
    const int total = std::accumulate(widths.cbegin(), widths.cend(), 0);
    if (scrolls)
        QVERIFY2(total <= f.Grid->viewport()->width(), qPrintable(QString::number(total)));
    else
        QCOMPARE(total, f.Grid->viewport()->width());
    QVERIFY(!f.Grid->horizontalScrollBar()->isVisible());
}

void TestResultsGridDrawing::statusWordsAndCellTexts_data()
{
    QTest::addColumn<TStatus>("status");
    QTest::addColumn<QString>("pr");
    QTest::addColumn<QString>("shownStatus");
    QTest::newRow("not checked") << TStatus::Unchecked << QString() << u"Не проверен"_qs;
    QTest::newRow("failed") << TStatus::Failed << QString() << u"Не проверен"_qs;
    QTest::newRow("free") << TStatus::Free << QString() << u"свободен"_qs;
    QTest::newRow("taken") << TStatus::Taken << QString() << u"занят"_qs;
    QTest::newRow("free, figures fetched") << TStatus::Free << u"7"_qs << u"свободен"_qs;
}

void TestResultsGridDrawing::statusWordsAndCellTexts()
{
    QFETCH(TStatus, status);
    QFETCH(QString, pr);
    QFETCH(QString, shownStatus);
    TGridFixture f;
    f.Show({ Candidate(u"redcat.ru"_qs, status, pr) });

    // The model gives the words the screen shows, for anything that reads cells.
    const TResultsModel& model = f.Panel.Model();
    QCOMPARE(model.CellText(0, TResultsModel::ColStatus), shownStatus);
    QCOMPARE(model.CellText(0, TResultsModel::ColPR), pr);

    const auto screen = f.ScreenTexts();
    QCOMPARE(screen.value({ 0, 0 }), QStringList { u"redcat.ru"_qs });
    QCOMPARE(screen.value({ 0, 1 }), QStringList { u"ru"_qs });
    QCOMPARE(screen.value({ 0, 2 }), QStringList { shownStatus });
    // Metrics not fetched draw nothing at all; a fetched one draws as it is.
    QCOMPARE(screen.value({ 0, 3 }), pr.isEmpty() ? QStringList() : QStringList { pr });
    // Once fetched, a figure the page did not have shows as a dash.
    QCOMPARE(screen.value({ 0, 4 }), pr.isEmpty() ? QStringList() : QStringList { u"—"_qs });
}

namespace
{

// WCAG's relative luminance and contrast ratio.
double Luminance(const QColor& Colour)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(Colour.redF()) + 0.7152 * channel(Colour.greenF()) + 0.0722 * channel(Colour.blueF());
}

double Contrast(const QColor& A, const QColor& B)
{
    const double a = Luminance(A) + 0.05;
    const double b = Luminance(B) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

} // namespace

void TestResultsGridDrawing::statusMarksAndContrast()
{
    TCandidate failed = Candidate(u"failed.ru"_qs, TStatus::Failed);
    failed.SetReason({ u"x"_qs, u"сервер не ответил"_qs });
    TGridFixture f;
    f.Show({ Candidate(u"free.ru"_qs, TStatus::Free), Candidate(u"taken.ru"_qs, TStatus::Taken), failed,
        Candidate(u"never.ru"_qs) });
    const TResultsModel& model = f.Panel.Model();
    const auto role = [&](int row, int role) { return model.index(row, TResultsModel::ColStatus).data(role); };
    QList<QColor> colours;
    for (int row = 0; row < 3; ++row) {
        const QColor colour = role(row, Qt::ForegroundRole).value<QColor>();
        QVERIFY(colour.isValid());
        // Readable on every row the grid draws, selected or not.
        for (const QColor& background :
            { TResultsDelegate::OddRowColor, TResultsDelegate::EvenRowColor, TResultsDelegate::SelectedColor })
            QVERIFY2(Contrast(colour, background) >= 4.5, qPrintable(colour.name() + u" on "_qs + background.name()));
        QVERIFY(!colours.contains(colour));
        colours << colour;
    }
    // A name never asked is written as the grid's other texts.
    QVERIFY(!role(3, Qt::ForegroundRole).isValid());
    // Never colour alone: free is bold, a failed check carries a mark beside the same word as a name never asked.
    QVERIFY(role(0, Qt::FontRole).value<QFont>().bold());
    QVERIFY(!role(1, Qt::FontRole).value<QFont>().bold());
    QVERIFY(!qvariant_cast<QIcon>(role(2, Qt::DecorationRole)).isNull());
    QVERIFY(qvariant_cast<QIcon>(role(3, Qt::DecorationRole)).isNull());
    QCOMPARE(role(2, Qt::DisplayRole).toString(), role(3, Qt::DisplayRole).toString());
    QCOMPARE(role(2, Qt::ToolTipRole).toString(), u"сервер не ответил"_qs);
    // The mark and the word both fit the column.
    const auto screen = f.ScreenTexts();
    QCOMPARE(screen.value({ 2, TResultsModel::ColStatus }), QStringList { u"Не проверен"_qs });
}

void TestResultsGridDrawing::figureCells_data()
{
    QTest::addColumn<QString>("pr");
    QTest::addColumn<QString>("tic");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("shownPR");
    QTest::addColumn<QString>("shownTIC");
    QTest::addColumn<QString>("tip");
    const QString none = u"На странице нет этого показателя"_qs;
    QTest::newRow("not fetched") << QString() << QString() << false << QString() << QString() << QString();
    QTest::newRow("fetched") << u"3"_qs << u"120"_qs << false << u"3"_qs << u"120"_qs << QString();
    QTest::newRow("the page had none") << u"-1"_qs << QString() << false << u"—"_qs << u"—"_qs << none;
    QTest::newRow("the page failed") << QString() << QString() << true << QString() << QString() << u"страница: 500"_qs;
}

void TestResultsGridDrawing::figureCells()
{
    QFETCH(QString, pr);
    QFETCH(QString, tic);
    QFETCH(bool, failed);
    QFETCH(QString, shownPR);
    QFETCH(QString, shownTIC);
    QFETCH(QString, tip);
    TCandidate d = Candidate(u"redcat.ru"_qs, TStatus::Free, pr, tic);
    if (failed)
        d.SetMetricsReason({ u"x"_qs, u"страница: 500"_qs });
    TGridFixture f;
    f.Show({ d });
    const TResultsModel& model = f.Panel.Model();
    QCOMPARE(model.CellText(0, TResultsModel::ColPR), shownPR);
    QCOMPARE(model.CellText(0, TResultsModel::ColTIC), shownTIC);
    QCOMPARE(model.index(0, TResultsModel::ColPR).data(Qt::ToolTipRole).toString(), tip);
    const auto screen = f.ScreenTexts();
    QCOMPARE(screen.value({ 0, TResultsModel::ColPR }), shownPR.isEmpty() ? QStringList() : QStringList { shownPR });
}

void TestResultsGridDrawing::rowColours_data()
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

void TestResultsGridDrawing::rowColours()
{
    QFETCH(int, selected);
    QFETCH(int, row);
    QFETCH(QColor, colour);
    TGridFixture f;
    f.Show({ Candidate(u"alpha.ru"_qs, TStatus::Taken, u"3"_qs, u"10"_qs),
        Candidate(u"beta.ru"_qs, TStatus::Free, u"4"_qs, u"20"_qs),
        Candidate(u"gamma.ru"_qs, TStatus::Unchecked, u"5"_qs, u"30"_qs), Candidate(u"delta.ru"_qs) });
    if (selected >= 0)
        f.Grid->selectRow(selected);
    // The selection colour does not depend on the grid having the focus.
    f.Grid->clearFocus();
    const QImage screen = f.Screen();

    for (int c = 0; c < 5; ++c) {
        const QRect cell = f.Grid->visualRect(f.Panel.Model().index(row, c));
        const QColor background = screen.pixelColor(cell.left() + 1, cell.center().y());
        QVERIFY2(background == colour, qPrintable(u"column %1: %2"_qs.arg(c).arg(background.name())));
        // The text is black: its darkest pixel is black or nearly so, whatever the background. The status
        // has colours of its own.
        if (c == TResultsModel::ColStatus)
            continue;
        int darkest = 255;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                darkest = qMin(darkest,
                    qMax(qMax(qRed(screen.pixel(x, y)), qGreen(screen.pixel(x, y))), qBlue(screen.pixel(x, y))));
        QVERIFY2(darkest < 40, qPrintable(u"column %1 darkest %2"_qs.arg(c).arg(darkest)));
    }
}

void TestResultsGridDrawing::textPlacement_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("centred");
    QTest::newRow("name left") << 0 << false;
    QTest::newRow("zone left") << 1 << false;
    QTest::newRow("status centred") << 2 << true;
    QTest::newRow("PR centred") << 3 << true;
    QTest::newRow("TIC centred") << 4 << true;
}

void TestResultsGridDrawing::textPlacement()
{
    QFETCH(int, column);
    QFETCH(bool, centred);
    TGridFixture f;
    // Taken: a status in the grid's own weight, so one font measures every column.
    f.Show({ Candidate(u"alpha.ru"_qs), Candidate(u"beta.ru"_qs, TStatus::Taken, u"4"_qs, u"20"_qs) });

    const QFontMetrics metrics(f.Grid->font());
    const QRect cell = f.Grid->visualRect(f.Panel.Model().index(1, column));
    const TTextCapture::TDrawnText drawn = f.Drawn(1, column);
    QVERIFY(!drawn.Text.isEmpty());
    // The name shows where a cell's text starts: a little way in from the left edge, under a character.
    const QRect nameCell = f.Grid->visualRect(f.Panel.Model().index(1, 0));
    const TTextCapture::TDrawnText name = f.Drawn(1, 0);
    const int inset = qRound(name.Origin.x()) - nameCell.left();
    QVERIFY2(inset >= 0 && inset < metrics.averageCharWidth(), qPrintable(QString::number(inset)));
    // Every column on the row's one baseline, the text whole inside its cell.
    const int baseline = qRound(drawn.Origin.y());
    QCOMPARE(baseline, qRound(name.Origin.y()));
    QVERIFY(baseline - metrics.ascent() >= cell.top());
    QVERIFY(baseline + metrics.descent() <= cell.bottom() + 1);
    if (centred) {
        // Centred in what is left of the cell after that inset.
        const qreal middle = drawn.Origin.x() + metrics.horizontalAdvance(drawn.Text) / 2.0;
        const qreal centre = (cell.left() + inset + cell.right() + 1) / 2.0;
        QVERIFY2(qAbs(middle - centre) <= 1.0, qPrintable(u"text middle %1, cell's %2"_qs.arg(middle).arg(centre)));
    } else {
        QCOMPARE(qRound(drawn.Origin.x()) - cell.left(), inset);
    }
}

void TestResultsGridDrawing::longNameEndsInEllipsis()
{
    TGridFixture f;
    const QString longName = QString(200, u'x') + u".ru"_qs;
    f.Show({ Candidate(longName), Candidate(u"short.ru"_qs) });
    const auto screen = f.ScreenTexts();

    const QStringList first = screen.value({ 0, 0 });
    QCOMPARE(first.size(), 1);
    QVERIFY2(first.first().endsWith(QChar(0x2026)), qPrintable(first.first()));
    QVERIFY(first.first().startsWith(u"xxx"_qs));
    const QFontMetrics metrics(f.Grid->font());
    const TTextCapture::TDrawnText drawn = f.Drawn(0, 0);
    QCOMPARE(drawn.Text, first.first());
    QVERIFY(drawn.Origin.x() + metrics.horizontalAdvance(drawn.Text) <= f.Grid->columnViewportPosition(1));
    // Nothing of the long name spills into the zone column.
    QCOMPARE(screen.value({ 0, 1 }), QStringList { u"ru"_qs });
    QCOMPARE(screen.value({ 1, 0 }), QStringList { u"short.ru"_qs });
}

void TestResultsGridDrawing::userWidthKept()
{
    TGridFixture f({ 800, 500 });
    f.Show(SortSample());
    QHeaderView* header = f.Grid->horizontalHeader();
    QCOMPARE(header->sectionResizeMode(3), QHeaderView::Interactive);
    const QList<int> before = f.ColumnWidths();
    // The user widens PR by 40 pixels by dragging its right edge.
    const int edge = header->sectionViewportPosition(3) + header->sectionSize(3) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + 40, 10), header->viewport()->mapToGlobal(QPointF(edge + 40, 10)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(header->viewport(), &move);
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, 10));
    QList<int> chosen = before;
    chosen[3] += 40;
    QCOMPARE(f.ColumnWidths().mid(1), chosen.mid(1));

    // A resize of the panel keeps it; the name column gives up the 40 pixels so nothing goes off the edge.
    f.Panel.resize(900, 500);
    QCoreApplication::processEvents();
    const QList<int> widths = f.ColumnWidths();
    QCOMPARE(widths.mid(1), chosen.mid(1));
    QCOMPARE(std::accumulate(widths.cbegin(), widths.cend(), 0), f.Grid->viewport()->width());
    QVERIFY(!f.Grid->horizontalScrollBar()->isVisible());
}

void TestResultsGridDrawing::cutNameTooltip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("tip");
    QTest::newRow("fits") << u"short.ru"_qs << false;
    QTest::newRow("cut off") << QString(u"long"_qs.repeated(40) + u".ru"_qs) << true;
}

void TestResultsGridDrawing::cutNameTooltip()
{
    QFETCH(QString, name);
    QFETCH(bool, tip);
    TGridFixture f;
    f.Show({ Candidate(name) });
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    const QPoint at = f.Grid->visualRect(f.Panel.Model().index(0, 0)).center();
    QHelpEvent event(QEvent::ToolTip, at, f.Grid->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(f.Grid->viewport(), &event);
    QCOMPARE(QToolTip::isVisible(), tip);
    if (tip)
        QCOMPARE(QToolTip::text(), name);
    QToolTip::hideText();
}

QTEST_MAIN(TestResultsGridDrawing)
#include "tst_resultsgriddrawing.moc"
