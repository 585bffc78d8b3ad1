#include "core/candidates/ResultsView.h"

#include <algorithm>

TResultsView::TResultsView(const QList<TCandidate>* Rows)
    : FRows(Rows)
{
}

void TResultsView::SetSource(const QList<TCandidate>* Rows)
{
    FRows = Rows;
    Rebuild();
}

void TResultsView::SetShow(TShow Show)
{
    FShow = Show;
    Rebuild();
}

void TResultsView::SetSort(int Column, bool Descending)
{
    if (Column < NoSort || Column >= ColumnCount)
        return;
    FSortColumn = Column;
    FDescending = Column != NoSort && Descending;
    Rebuild();
}

bool TResultsView::FollowsVerdicts() const
{
    return FShow != TShow::All || FSortColumn == ColStatus || FSortColumn == ColPR || FSortColumn == ColTIC;
}

int TResultsView::StatusRank(const TCandidate& Row)
{
    switch (Row.Status) {
    case TStatus::Free:
        return 0;
    case TStatus::Taken:
        return 1;
    case TStatus::Failed:
        return 2;
    case TStatus::Unchecked:
        break;
    }
    return 3;
}

bool TResultsView::Passes(const TCandidate& Row) const
{
    switch (FShow) {
    case TShow::All:
        return true;
    case TShow::Free:
        return Row.Status == TStatus::Free;
    case TShow::Taken:
        return Row.Status == TStatus::Taken;
    case TShow::Unchecked:
        return !Row.Judged();
    }
    return true;
}

namespace
{

// A figure cell as it sorts: numbers by value, then other texts, then empty cells, which stay at the
// bottom in both directions.
struct TFigureKey {
    int Kind = 2; // 0 number, 1 text, 2 empty
    double Number = 0;
};

TFigureKey FigureKey(const QString& Text)
{
    if (Text.isEmpty())
        return {};
    bool ok = false;
    const double number = Text.toDouble(&ok);
    return ok ? TFigureKey { 0, number } : TFigureKey { 1, 0 };
}

} // namespace

void TResultsView::Rebuild()
{
    if (!FRows || (FShow == TShow::All && FSortColumn == NoSort)) {
        FOrdered = false;
        std::vector<int>().swap(FOrder);
        return;
    }
    const QList<TCandidate>& rows = *FRows;
    FOrdered = true;
    FOrder.clear();
    FOrder.reserve(size_t(rows.size()));
    for (int i = 0; i < rows.size(); ++i)
        if (Passes(rows.at(i)))
            FOrder.push_back(i);
    const bool down = FDescending;
    // Equal cells keep run order in both directions.
    switch (FSortColumn) {
    case ColName:
    case ColZone: {
        const bool byName = FSortColumn == ColName;
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const QString& x = byName ? rows.at(a).Name : rows.at(a).Zone;
            const QString& y = byName ? rows.at(b).Name : rows.at(b).Zone;
            return down ? y < x : x < y;
        });
        break;
    }
    case ColStatus:
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const int x = StatusRank(rows.at(a));
            const int y = StatusRank(rows.at(b));
            return down ? y < x : x < y;
        });
        break;
    case ColPR:
    case ColTIC: {
        const bool byPR = FSortColumn == ColPR;
        std::vector<TFigureKey> keys(size_t(rows.size()));
        for (int i : FOrder)
            keys[size_t(i)] = FigureKey(byPR ? rows.at(i).PR : rows.at(i).TIC);
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const TFigureKey& x = keys[size_t(a)];
            const TFigureKey& y = keys[size_t(b)];
            if (x.Kind != y.Kind)
                return x.Kind < y.Kind;
            if (x.Kind == 0)
                return down ? y.Number < x.Number : x.Number < y.Number;
            if (x.Kind == 1) {
                const QString& xt = byPR ? rows.at(a).PR : rows.at(a).TIC;
                const QString& yt = byPR ? rows.at(b).PR : rows.at(b).TIC;
                return down ? yt < xt : xt < yt;
            }
            return false;
        });
        break;
    }
    default:
        break;
    }
}
