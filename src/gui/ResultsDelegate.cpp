#include "gui/ResultsDelegate.h"

#include "gui/ResultsModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

const QColor TResultsDelegate::OddRowColor(255, 255, 255);
const QColor TResultsDelegate::EvenRowColor(240, 240, 255);
const QColor TResultsDelegate::SelectedColor(200, 200, 255);

void TResultsDelegate::SGWorkResultDrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& Rect, bool Selected,
    const QString& Text, const QColor& TextColour, const QIcon& Mark)
{
    if (ARow == 0)
        return;
    const QColor background = Selected ? SelectedColor : (ARow % 2 == 1 ? OddRowColor : EvenRowColor);
    Canvas.fillRect(Rect, background);
    Canvas.setPen(TextColour.isValid() ? TextColour : QColor(Qt::black));
    QRect textRect = TextRect(Rect);
    if (!Mark.isNull()) {
        // The mark leads the text, so it never hides behind an ellipsis.
        const int side = std::min(16, Rect.height() - 4);
        Mark.paint(&Canvas, QRect(textRect.left(), Rect.top() + (Rect.height() - side) / 2, side, side));
        textRect.setLeft(textRect.left() + side + 3);
    }
    const Qt::Alignment horizontal
        = ACol == TResultsModel::ColName || ACol == TResultsModel::ColZone ? Qt::AlignLeft : Qt::AlignHCenter;
    const QString shown = Canvas.fontMetrics().elidedText(Text, Qt::ElideRight, textRect.width(), Qt::TextSingleLine);
    Canvas.drawText(textRect, int(horizontal | Qt::AlignTop | Qt::TextSingleLine), shown);
}

void TResultsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    QFont font = option.font;
    const QVariant weight = index.data(Qt::FontRole);
    if (weight.canConvert<QFont>() && weight.value<QFont>().bold())
        font.setBold(true);
    painter->setFont(font);
    painter->setClipRect(option.rect);
    const QVariant colour = index.data(Qt::ForegroundRole);
    SGWorkResultDrawCell(*painter, index.column(), index.row() + 1, option.rect,
        option.state.testFlag(QStyle::State_Selected), index.data(Qt::DisplayRole).toString(),
        colour.canConvert<QColor>() ? colour.value<QColor>() : QColor(),
        qvariant_cast<QIcon>(index.data(Qt::DecorationRole)));
    painter->restore();
}

QSize TResultsDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Rows and columns have fixed sizes; this only answers the view's occasional question cheaply.
    Q_UNUSED(index);
    return { option.rect.width(), 24 };
}

QRect TResultsDelegate::TextRect(const QRect& Cell)
{
    return Cell.adjusted(3, 2, 0, 0);
}

bool TResultsDelegate::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && view && index.isValid() && event->type() == QEvent::ToolTip) {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (option.fontMetrics.horizontalAdvance(text) > TextRect(option.rect).width()) {
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
