#include "support/GridFixture.h"

#include "support/FindControl.h"

#include <QComboBox>
#include <QTableView>
#include <QTest>

TCandidate Candidate(const QString& name, TStatus status, const QString& pr, const QString& tic)
{
    const QString zone = name.section(u'.', -1);
    return { name, zone, pr, tic, status };
}

QList<TCandidate> SortSample()
{
    return { Candidate(u"beta.ru"_qs, TStatus::Taken, u"10"_qs, u"5"_qs), Candidate(u"alpha.com"_qs),
        Candidate(u"gamma.ru"_qs, TStatus::Free, u"9"_qs, u"100"_qs),
        Candidate(u"delta.su"_qs, TStatus::Free, u"-1"_qs, u"20"_qs) };
}

QStringList ShownNames(const TResultsModel& Model)
{
    QStringList names;
    for (int r = 0; r < Model.rowCount(); ++r)
        names << Model.index(r, TResultsModel::ColName).data().toString();
    return names;
}

TGridFixture::TGridFixture(QSize size)
{
    Found = FoundAll({ FindControl(Panel, u"ResultsView"_qs, Grid),
        FindControl(Panel, u"PanelHideContent"_qs, Placeholder), FindControl(Panel, u"ComboBoxShow"_qs, Filter) });
    Panel.resize(size);
    Panel.show();
    Q_UNUSED(QTest::qWaitForWindowExposed(&Panel));
}

void TGridFixture::Show(const QList<TCandidate>& rows)
{
    QVERIFY(Session.Restore(rows));
    QCoreApplication::processEvents();
}

void TGridFixture::Generate(const QStringList& Words, const QStringList& Zones)
{
    TRunRequest request;
    request.Keywords = Words;
    request.Zones = Zones;
    bool ended = false;
    const auto connection = QObject::connect(&Session, &TRunSession::Finished, [&ended] { ended = true; });
    QVERIFY(Session.Start(request));
    QTRY_VERIFY(ended);
    QObject::disconnect(connection);
}

QHash<QPair<int, int>, QStringList> TGridFixture::ScreenTexts() const
{
    QHash<QPair<int, int>, QStringList> out;
    for (const auto& t : TTextCapture::Capture(Grid->viewport())) {
        const QModelIndex index = Grid->indexAt(QPoint(int(t.Origin.x()) + 1, int(t.Origin.y()) - 2));
        out[{ index.row(), index.column() }] << t.Text;
    }
    return out;
}

TTextCapture::TDrawnText TGridFixture::Drawn(int Row, int Column) const
{
    const QRect cell = Grid->visualRect(Panel.Model().index(Row, Column));
    for (const auto& t : TTextCapture::Capture(Grid->viewport()))
        if (cell.contains(QPoint(int(t.Origin.x()) + 1, int(t.Origin.y()) - 2)))
            return t;
    return {};
}

QList<int> TGridFixture::ColumnWidths() const
{
    QList<int> widths;
    for (int c = 0; c < Panel.Model().columnCount(); ++c)
        widths << Grid->columnWidth(c);
    return widths;
}

QImage TGridFixture::Screen() const
{
    return Grid->viewport()->grab().toImage();
}
