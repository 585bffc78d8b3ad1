#pragma once

#include <QStyledItemDelegate>

// Draws the candidate cells of the results grid: row colours, black text inset from the cell's corner,
// one line cut with an ellipsis, the status column as words. The header row is the header view's own.
class TResultsDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QColor OddRowColor;
    static const QColor EvenRowColor;
    static const QColor SelectedColor;

    // One cell of the grid: ACol 0..4, ARow counting the header row as 0, so ARow 1 is the first candidate.
    static void SGWorkResultDrawCell(
        QPainter& Canvas, int ACol, int ARow, const QRect& Rect, bool Selected, const QString& Text);
    // What a cell shows on screen for its cell text.
    static QString DisplayText(int ACol, const QString& Text);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
