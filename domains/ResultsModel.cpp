#include "domains/ResultsModel.h"

TResultsModel::TResultsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
    for (int i = 0; i < ColumnCount; ++i)
        FHeader << QString();
}

int TResultsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TResultsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TResultsModel::CellText(int Row, int Col) const
{
    if (Row < 0 || Row >= FRows.size())
        return {};
    const TDomainList& d = FRows.at(Row);
    switch (Col) {
    case ColName:
        return d.Name;
    case ColZone:
        return d.Zone;
    case ColStatus:
        return StatusCodeText(d.Status);
    case ColPR:
        return d.PR;
    case ColTIC:
        return d.TIC;
    default:
        return {};
    }
}

QString TResultsModel::FailureTip(const TDomainList& Row)
{
    if (!Row.Failed())
        return {};
    const QString server = Row.Server();
    return server.isEmpty() ? Row.Failure().Text : QStringLiteral("%1 (WHOIS, %2)").arg(Row.Failure().Text, server);
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
        return FailureTip(FRows.at(index.row()));
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
        FRows = QList<TDomainList>();
        endResetModel();
    }
    if (EmptyHeader)
        SetHeader({});
}

void TResultsModel::SetRows(const QList<TDomainList>& Rows)
{
    beginResetModel();
    FRows = Rows;
    endResetModel();
}
