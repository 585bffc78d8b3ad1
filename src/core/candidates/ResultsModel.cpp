#include "core/candidates/ResultsModel.h"

#include <algorithm>

TResultsModel::TResultsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    for (int i = 0; i < ColumnCount; ++i)
        FHeader << QString();
}

int TResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TResultsModel::CellText(int Row, int Col) const
{
    if (Row < 0 || Row >= RowCount())
        return {};
    const TCandidate& d = ShownRow(Row);
    switch (Col) {
    case ColName:
        return d.Name;
    case ColZone:
        return d.Zone;
    case ColStatus:
        return d.Status == TStatus::Free ? QStringLiteral("0")
            : d.Status == TStatus::Taken ? QStringLiteral("1")
                                         : QStringLiteral("-1");
    case ColPR:
        return d.PR;
    case ColTIC:
        return d.TIC;
    default:
        return {};
    }
}

QString TResultsModel::FailureTip(const TCandidate& Row)
{
    if (Row.ReasonId == 0)
        return {};
    const QString server = Row.Server();
    if (server.isEmpty())
        return Row.Reason().Text;
    return QStringLiteral("%1 (%2, %3)").arg(Row.Reason().Text, ViaName(Row.Via), server);
}

QString TResultsModel::HeaderText(int Col) const
{
    return Col >= 0 && Col < FHeader.size() ? FHeader.at(Col) : QString();
}

QVariant TResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return CellText(index.row(), index.column());
    if (role == Qt::ToolTipRole && index.column() == ColStatus)
        return FailureTip(ShownRow(index.row()));
    return {};
}

QVariant TResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return HeaderText(section);
    return section + 1;
}

void TResultsModel::SetHeader(const QStringList& Texts)
{
    for (int i = 0; i < ColumnCount; ++i)
        FHeader[i] = i < Texts.size() ? Texts.at(i) : QString();
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TResultsModel::Clear(bool EmptyHeader)
{
    if (!FRows.isEmpty()) {
        beginResetModel();
        FRows = QList<TCandidate>();
        BuildOrder();
        endResetModel();
    }
    if (EmptyHeader)
        SetHeader({});
}

void TResultsModel::SetRows(const QList<TCandidate>& Rows)
{
    beginResetModel();
    FRows = Rows;
    // A new run is shown under the sort and filter the user chose before it.
    BuildOrder();
    endResetModel();
}

void TResultsModel::SetShow(TShow Show)
{
    if (Show == FShow)
        return;
    beginResetModel();
    FShow = Show;
    BuildOrder();
    endResetModel();
}

void TResultsModel::sort(int column, Qt::SortOrder order)
{
    if (column < NoSort || column >= ColumnCount)
        return;
    if (column == FSortColumn && (order == FSortOrder || column == NoSort))
        return;
    beginResetModel();
    FSortColumn = column;
    FSortOrder = order;
    BuildOrder();
    endResetModel();
}

int TResultsModel::StatusRank(const TCandidate& Row)
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

bool TResultsModel::Passes(const TCandidate& Row) const
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

void TResultsModel::BuildOrder()
{
    if (FShow == TShow::All && FSortColumn == NoSort) {
        FOrdered = false;
        std::vector<int>().swap(FOrder);
        return;
    }
    FOrdered = true;
    FOrder.clear();
    FOrder.reserve(size_t(FRows.size()));
    for (int i = 0; i < FRows.size(); ++i)
        if (Passes(FRows.at(i)))
            FOrder.push_back(i);
    const bool down = FSortOrder == Qt::DescendingOrder;
    // Equal cells keep run order in both directions.
    switch (FSortColumn) {
    case ColName:
    case ColZone: {
        const bool byName = FSortColumn == ColName;
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const QString& x = byName ? FRows.at(a).Name : FRows.at(a).Zone;
            const QString& y = byName ? FRows.at(b).Name : FRows.at(b).Zone;
            return down ? y < x : x < y;
        });
        break;
    }
    case ColStatus:
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const int x = StatusRank(FRows.at(a));
            const int y = StatusRank(FRows.at(b));
            return down ? y < x : x < y;
        });
        break;
    case ColPR:
    case ColTIC: {
        const bool byPR = FSortColumn == ColPR;
        std::vector<TFigureKey> keys(size_t(FRows.size()));
        for (int i : FOrder)
            keys[size_t(i)] = FigureKey(byPR ? FRows.at(i).PR : FRows.at(i).TIC);
        std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
            const TFigureKey& x = keys[size_t(a)];
            const TFigureKey& y = keys[size_t(b)];
            if (x.Kind != y.Kind)
                return x.Kind < y.Kind;
            if (x.Kind == 0)
                return down ? y.Number < x.Number : x.Number < y.Number;
            if (x.Kind == 1) {
                const QString& xt = byPR ? FRows.at(a).PR : FRows.at(a).TIC;
                const QString& yt = byPR ? FRows.at(b).PR : FRows.at(b).TIC;
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
