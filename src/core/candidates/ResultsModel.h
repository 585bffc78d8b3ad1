#pragma once

#include "core/candidates/Candidate.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <vector>

// The results grid's cells: a header row of five texts and one row per candidate (name, zone, status
// code as text, PR, ТИЦ). Rows share the engine's candidate records, so a row costs no copy of its texts.
// The rows are shown in run order, or sorted by one column and cut down by a status filter; the writers
// read the rows as shown. Without sort and filter no row index is kept, so millions of rows cost nothing more.
class TResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    enum Column { ColName = 0, ColZone = 1, ColStatus = 2, ColPR = 3, ColTIC = 4 };
    // Which rows the filter lets through, in the order of the filter's choices.
    enum class TShow { All, Free, Taken, Unchecked };
    // No column sorts: run order.
    static constexpr int NoSort = -1;

    explicit TResultsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Column NoSort restores run order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Candidate rows as shown (the header row not counted).
    int RowCount() const { return FOrdered ? int(FOrder.size()) : int(FRows.size()); }
    // Every candidate row, whatever the filter hides.
    int TotalCount() const { return int(FRows.size()); }
    // The candidate shown at row Row (0-based); Row must be valid.
    const TCandidate& ShownRow(int Row) const { return FRows.at(FOrdered ? FOrder[size_t(Row)] : Row); }
    // The cell text of shown candidate row Row (0-based) and column Col.
    QString CellText(int Row, int Col) const;
    QString HeaderText(int Col) const;
    // Why the check of Row failed, with the protocol and server asked; empty unless it failed.
    static QString FailureTip(const TCandidate& Row);

    void SetHeader(const QStringList& Texts);
    // Cuts the grid down to its header row; with EmptyHeader the header texts are emptied too.
    void Clear(bool EmptyHeader);
    // Replaces the candidate rows; the list is shared, not copied.
    void SetRows(const QList<TCandidate>& Rows);
    // Every candidate in run order.
    const QList<TCandidate>& Rows() const { return FRows; }

    void SetShow(TShow Show);
    TShow Show() const { return FShow; }
    int SortColumn() const { return FSortColumn; }
    Qt::SortOrder SortOrder() const { return FSortOrder; }

    // Where a status sorts: free, taken, failed, not checked.
    static int StatusRank(const TCandidate& Row);

private:
    bool Passes(const TCandidate& Row) const;
    // Rebuilds FOrder from the sort and the filter; callers wrap it in a model reset.
    void BuildOrder();

    QStringList FHeader;
    QList<TCandidate> FRows;
    TShow FShow = TShow::All;
    int FSortColumn = NoSort;
    Qt::SortOrder FSortOrder = Qt::AscendingOrder;
    // The shown rows' indexes into FRows; used only while FOrdered.
    bool FOrdered = false;
    std::vector<int> FOrder;
};
