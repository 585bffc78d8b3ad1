#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

// Draws the candidate cells of the results grid: row colours, black text inset from the cell's corner,
// one line cut with an ellipsis (its whole text then shows as a tooltip). The header row is the header view's own.
class TResultsDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static const QColor OddRowColor;
    static const QColor EvenRowColor;
    static const QColor SelectedColor;

    // One cell of the grid: ACol 0..4, ARow counting the header row as 0, so ARow 1 is the first candidate;
    // the text in TextColour (black when invalid), after Mark when there is one.
    static void SGWorkResultDrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& Rect, bool Selected,
        const QString& Text, const QColor& TextColour = {}, const QIcon& Mark = {});
    // Where a cell's text is drawn within the cell.
    static QRect TextRect(const QRect& Cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A cell cut with an ellipsis shows its whole text as a tooltip; other cells show the model's tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;
};
