#pragma once

#include "core/candidates/Candidate.h"

#include <QList>
#include <vector>

// The results as a grid shows them: the candidates of a list in run order, or sorted by one column and
// cut down by a status filter. The writers read the rows as shown. Without sort and filter no row index
// is kept, so millions of rows cost nothing more. It reads a list someone else owns; that owner tells
// it (Rebuild) when the list or its verdicts change.
class TResultsView
{
public:
    static constexpr int ColumnCount = 5;
    enum Column { ColName = 0, ColZone = 1, ColStatus = 2, ColPR = 3, ColTIC = 4 };
    // Which rows the filter lets through, in the order of the filter's choices.
    enum class TShow { All, Free, Taken, Unchecked };
    // No column sorts: run order.
    static constexpr int NoSort = -1;

    explicit TResultsView(const QList<TCandidate>* Rows = nullptr);

    // Shows Rows (not owned; null shows nothing).
    void SetSource(const QList<TCandidate>* Rows);
    // The rows as shown, after the list or its verdicts changed.
    void Rebuild();

    // Candidate rows as shown.
    int RowCount() const { return FOrdered ? int(FOrder.size()) : TotalCount(); }
    // Every candidate row, whatever the filter hides.
    int TotalCount() const { return FRows ? int(FRows->size()) : 0; }
    // The candidate shown at row Row (0-based); Row must be valid.
    const TCandidate& ShownRow(int Row) const { return FRows->at(SourceIndex(Row)); }
    // The index in the list of the candidate shown at Row.
    int SourceIndex(int Row) const { return FOrdered ? FOrder[size_t(Row)] : Row; }

    void SetShow(TShow Show);
    TShow Show() const { return FShow; }
    // Column NoSort restores run order.
    void SetSort(int Column, bool Descending);
    int SortColumn() const { return FSortColumn; }
    bool Descending() const { return FDescending; }
    // The shown order depends on verdicts or figures: a new verdict may move or hide a row.
    bool FollowsVerdicts() const;

    // Where a status sorts: free, taken, failed, not checked.
    static int StatusRank(const TCandidate& Row);

private:
    bool Passes(const TCandidate& Row) const;

    const QList<TCandidate>* FRows = nullptr;
    TShow FShow = TShow::All;
    int FSortColumn = NoSort;
    bool FDescending = false;
    // The shown rows' indexes into the list; used only while FOrdered.
    bool FOrdered = false;
    std::vector<int> FOrder;
};
