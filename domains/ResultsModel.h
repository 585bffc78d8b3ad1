#pragma once

#include "domains/DomainTypes.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The results grid's cells: a header row of five texts and one row per candidate (name, zone, status
// code as text, PR, ТИЦ). Rows share the engine's candidate records, so a row costs no copy of its texts.
class TResultsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 5;
    enum Column { ColName = 0, ColZone = 1, ColStatus = 2, ColPR = 3, ColTIC = 4 };

    explicit TResultsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Candidate rows (the header row not counted).
    int RowCount() const { return int(FRows.size()); }
    // The cell text of candidate row Row (0-based) and column Col.
    QString CellText(int Row, int Col) const;
    QString HeaderText(int Col) const;
    // Why the check of Row failed, with the protocol and server asked; empty unless it failed.
    static QString FailureTip(const TDomainList& Row);

    void SetHeader(const QStringList& Texts);
    // Cuts the grid down to its header row; with EmptyHeader the header texts are emptied too.
    void Clear(bool EmptyHeader);
    // Replaces the candidate rows; the list is shared, not copied.
    void SetRows(const QList<TDomainList>& Rows);
    const QList<TDomainList>& Rows() const { return FRows; }

private:
    QStringList FHeader;
    QList<TDomainList> FRows;
};
