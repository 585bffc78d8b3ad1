#include "domains/gui/ResultsDelegate.h"

#include "domains/ResultsModel.h"

#include <QPainter>

const QColor TResultsDelegate::OddRowColor(255, 255, 255);
const QColor TResultsDelegate::EvenRowColor(240, 240, 255);
const QColor TResultsDelegate::SelectedColor(200, 200, 255);

QString TResultsDelegate::DisplayText(int ACol, const QString& Text)
{
    return ACol == TResultsModel::ColStatus ? StatusGridWord(Text) : Text;
}

void TResultsDelegate::SGWorkResultDrawCell(
    QPainter& Canvas, int ACol, int ARow, const QRect& Rect, bool Selected, const QString& Text)
{
    if (ARow == 0)
        return;
    const QColor background = Selected ? SelectedColor : (ARow % 2 == 1 ? OddRowColor : EvenRowColor);
    Canvas.fillRect(Rect, background);
    Canvas.setPen(Qt::black);
    const QRect textRect = Rect.adjusted(3, 2, 0, 0);
    const Qt::Alignment horizontal
        = ACol == TResultsModel::ColName || ACol == TResultsModel::ColZone ? Qt::AlignLeft : Qt::AlignHCenter;
    const QString shown = Canvas.fontMetrics().elidedText(
        DisplayText(ACol, Text), Qt::ElideRight, textRect.width(), Qt::TextSingleLine);
    Canvas.drawText(textRect, int(horizontal | Qt::AlignTop | Qt::TextSingleLine), shown);
}

void TResultsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    SGWorkResultDrawCell(*painter, index.column(), index.row() + 1, option.rect,
        option.state.testFlag(QStyle::State_Selected), index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize TResultsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Rows and columns have fixed sizes; this only answers the view's occasional question cheaply.
    Q_UNUSED(index);
    return { option.rect.width(), 24 };
}
