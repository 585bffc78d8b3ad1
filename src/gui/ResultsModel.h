#pragma once

#include "core/candidates/ResultsView.h"

#include <QAbstractTableModel>

class TRunSession;

// The results grid's model: the run session's candidates as a table of five columns (name, zone, status,
// PR, ТИЦ), shown in run order or sorted and filtered by a TResultsView. It holds no copy of the list: it
// follows the session's signals, so rows show their verdicts as they arrive, and a row that a new verdict
// moves or hides keeps its selection.
class TResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using Column = TResultsView::Column;
    static constexpr int ColName = TResultsView::ColName;
    static constexpr int ColZone = TResultsView::ColZone;
    static constexpr int ColStatus = TResultsView::ColStatus;
    static constexpr int ColPR = TResultsView::ColPR;
    static constexpr int ColTIC = TResultsView::ColTIC;
    static constexpr int ColumnCount = TResultsView::ColumnCount;
    using TShow = TResultsView::TShow;
    static constexpr int NoSort = TResultsView::NoSort;

    explicit TResultsModel(const TRunSession& Session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Column NoSort restores run order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The rows as shown, for the writers.
    const TResultsView& View() const { return FView; }
    const TRunSession& Session() const { return FSession; }
    int RowCount() const { return FView.RowCount(); }
    int TotalCount() const { return FView.TotalCount(); }
    const TCandidate& ShownRow(int Row) const { return FView.ShownRow(Row); }
    // The text a cell shows on screen.
    QString CellText(int Row, int Col) const;
    static QString HeaderText(int Col);
    // The status as the grid names it: a failed check reads like one never asked, and carries a warning
    // mark (DecorationRole) and its reason instead.
    static QString StatusWord(TStatus Status);
    // The colour a status is written in (ForegroundRole); an invalid colour for the grid's own. Free is also
    // bold and failed has a mark, so colour is never the only difference.
    static QColor StatusColour(TStatus Status);
    // A figure cell as shown: empty when not fetched (or failed), "—" when the page had none.
    static QString FigureText(const TCandidate& Row, bool PR);
    // What a status cell's tooltip says: the reason, with the protocol and the server asked, and how long
    // ago (at Now, seconds since the epoch) the status was obtained: "проверено 3 ч назад".
    static QString StatusTip(const TCandidate& Row, qint64 Now);
    static QString StatusTip(const TCandidate& Row);
    // "проверено только что", "проверено 5 мин назад", "проверено 3 ч назад", "проверено 2 дн назад".
    static QString CheckedAgoText(qint64 Seconds);

    void SetShow(TShow Show);
    TShow Show() const { return FView.Show(); }
    int SortColumn() const { return FView.SortColumn(); }
    Qt::SortOrder SortOrder() const { return FView.Descending() ? Qt::DescendingOrder : Qt::AscendingOrder; }

private:
    void OnRowsChanged(qsizetype First, qsizetype Last);
    void OnRowsReset();
    // Rebuilds the shown order, keeping every selected or current row on its candidate.
    void Relayout();

    const TRunSession& FSession;
    TResultsView FView;
};
