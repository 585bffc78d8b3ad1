#include "gui/ResultsModel.h"

#include "core/checks/ReasonTexts.h"
#include "core/checks/RunSession.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QDateTime>
#include <QHash>
#include <QIcon>
#include <QStyle>

TResultsModel::TResultsModel(const TRunSession& Session, QObject* parent)
    : QAbstractTableModel(parent)
    , FSession(Session)
    , FView(&Session.Candidates())
{
    connect(&Session, &TRunSession::RowsReset, this, &TResultsModel::OnRowsReset);
    connect(&Session, &TRunSession::RowsChanged, this, &TResultsModel::OnRowsChanged);
}

int TResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TResultsModel::StatusWord(TStatus Status)
{
    switch (Status) {
    case TStatus::Free:
        return tr("свободен");
    case TStatus::Taken:
        return tr("занят");
    case TStatus::Unchecked:
    case TStatus::Failed:
        break;
    }
    return tr("Не проверен");
}

QColor TResultsModel::StatusColour(TStatus Status)
{
    // Dark enough to read on the grid's white, tinted and selected rows (contrast 4.5:1 at least).
    switch (Status) {
    case TStatus::Free:
        return QColor(0, 100, 0);
    case TStatus::Taken:
        return QColor(160, 0, 0);
    case TStatus::Failed:
        return QColor(120, 70, 0);
    case TStatus::Unchecked:
        break;
    }
    return {};
}

QString TResultsModel::FigureText(const TCandidate& Row, bool PR)
{
    if (!Row.HasFigures())
        return {};
    const QString& figure = PR ? Row.PR : Row.TIC;
    // The page's "none" is written as -1 in files, shown as a dash.
    return figure.isEmpty() || figure == u"-1" ? QStringLiteral("—") : figure;
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
        return StatusWord(d.Status);
    case ColPR:
        return FigureText(d, true);
    case ColTIC:
        return FigureText(d, false);
    default:
        return {};
    }
}

QString TResultsModel::CheckedAgoText(qint64 Seconds)
{
    if (Seconds < 60)
        return tr("проверено только что");
    if (Seconds < 3600)
        return tr("проверено %1 мин назад").arg(Seconds / 60);
    if (Seconds < 86400)
        return tr("проверено %1 ч назад").arg(Seconds / 3600);
    return tr("проверено %1 дн назад").arg(Seconds / 86400);
}

QString TResultsModel::StatusTip(const TCandidate& Row, qint64 Now)
{
    QStringList lines;
    if (Row.ReasonId != 0) {
        const QString server = Row.Server();
        const QString reason = ShownReason(Row.Reason().Text);
        lines << (server.isEmpty() ? reason : QStringLiteral("%1 (%2, %3)").arg(reason, ViaName(Row.Via), server));
    }
    // A verdict reused from the store may be days old: its age tells whether to ask again.
    if (Row.Status != TStatus::Unchecked && Row.CheckedAt != 0)
        lines << CheckedAgoText(Now - Row.CheckedAt);
    return lines.join(u'\n');
}

QString TResultsModel::StatusTip(const TCandidate& Row)
{
    return StatusTip(Row, QDateTime::currentSecsSinceEpoch());
}

QString TResultsModel::HeaderText(int Col)
{
    switch (Col) {
    case ColName:
        return tr("Доменное имя");
    case ColZone:
        return tr("Зона");
    case ColStatus:
        return tr("Занятость");
    case ColPR:
        return QStringLiteral("PR");
    case ColTIC:
        return tr("ТИЦ");
    default:
        return {};
    }
}

QVariant TResultsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    // What is shown is what a screen reader reads.
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return CellText(index.row(), index.column());
    const TCandidate& d = ShownRow(index.row());
    const bool figure = index.column() == ColPR || index.column() == ColTIC;
    switch (role) {
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        if (index.column() == ColStatus)
            return StatusTip(d);
        if (figure && d.MetricsFailed())
            return ShownReason(d.MetricsReason().Text);
        if (figure && CellText(index.row(), index.column()) == u"—")
            return tr("На странице нет этого показателя");
        return {};
    case Qt::ForegroundRole:
        if (index.column() == ColStatus && StatusColour(d.Status).isValid())
            return StatusColour(d.Status);
        return {};
    case Qt::FontRole:
        if (index.column() == ColStatus && d.Status == TStatus::Free) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::DecorationRole:
        if (index.column() == ColStatus && d.Failed())
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        return {};
    default:
        return {};
    }
}

QVariant TResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return HeaderText(section);
    return section + 1;
}

void TResultsModel::SetShow(TShow Show)
{
    if (Show == FView.Show())
        return;
    beginResetModel();
    FView.SetShow(Show);
    endResetModel();
}

void TResultsModel::sort(int column, Qt::SortOrder order)
{
    if (column < NoSort || column >= ColumnCount)
        return;
    const bool descending = order == Qt::DescendingOrder;
    if (column == FView.SortColumn() && (descending == FView.Descending() || column == NoSort))
        return;
    beginResetModel();
    FView.SetSort(column, descending);
    endResetModel();
}

void TResultsModel::OnRowsReset()
{
    beginResetModel();
    // A new run is shown under the sort and filter the user chose before it.
    FView.SetSource(&FSession.Candidates());
    endResetModel();
}

void TResultsModel::OnRowsChanged(qsizetype First, qsizetype Last)
{
    if (FView.FollowsVerdicts()) {
        Relayout();
        return;
    }
    if (RowCount() == 0)
        return;
    // In run order the changed rows are where the list has them; sorted by name or zone they are anywhere.
    const bool runOrder = FView.SortColumn() == NoSort;
    const int first = runOrder ? int(First) : 0;
    const int last = runOrder ? int(std::min<qsizetype>(Last, RowCount() - 1)) : RowCount() - 1;
    Q_EMIT dataChanged(index(first, 0), index(last, ColumnCount - 1));
}

void TResultsModel::Relayout()
{
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<int> sources;
    sources.reserve(before.size());
    for (const QModelIndex& i : before)
        sources << (i.isValid() && i.row() < RowCount() ? FView.SourceIndex(i.row()) : -1);
    FView.Rebuild();
    if (!before.isEmpty()) {
        QHash<int, int> shownAt;
        for (int r = 0; r < RowCount(); ++r)
            shownAt.insert(FView.SourceIndex(r), r);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype k = 0; k < before.size(); ++k) {
            const int row = shownAt.value(sources.at(k), -1);
            after << (row < 0 ? QModelIndex() : index(row, before.at(k).column()));
        }
        changePersistentIndexList(before, after);
    }
    Q_EMIT layoutChanged();
}
