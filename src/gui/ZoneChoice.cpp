#include "gui/ZoneChoice.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

TZoneChoice::TZoneChoice(QWidget* parent)
    : QComboBox(parent)
    , FModel(new QStandardItemModel(this))
{
    setModel(FModel);
    // Some styles draw the list as a menu, which has no check boxes.
    setItemDelegate(new QStyledItemDelegate(this));
    for (const QString& text : { tr("все"), tr("ни одной") }) {
        auto* item = new QStandardItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        QFont font = item->font();
        font.setItalic(true);
        item->setFont(font);
        FModel->appendRow(item);
    }
    // Ahead of the popup's own handling, which would choose the row and close the list.
    view()->viewport()->installEventFilter(this);
    view()->installEventFilter(this);
    setToolTip(Summary());
}

void TZoneChoice::SetZones(const QStringList& Zones)
{
    const QStringList before = this->Zones();
    const QList<bool> marks = Marks();
    const bool newChecked = !FFilled || AllChecked();
    QList<bool> checked;
    for (const QString& zone : Zones) {
        const qsizetype was = before.indexOf(zone);
        checked << (was >= 0 ? marks.at(was) : newChecked);
    }
    FFilled = true;
    FModel->removeRows(FirstZoneRow, FModel->rowCount() - FirstZoneRow);
    for (const QString& zone : Zones) {
        auto* item = new QStandardItem(zone);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        FModel->appendRow(item);
    }
    // The list changed even when no mark did.
    SetMarks(checked);
    Tell();
}

QStringList TZoneChoice::Zones() const
{
    QStringList out;
    for (int row = FirstZoneRow; row < FModel->rowCount(); ++row)
        out << FModel->item(row)->text();
    return out;
}

QList<bool> TZoneChoice::Marks() const
{
    QList<bool> out;
    for (int row = FirstZoneRow; row < FModel->rowCount(); ++row)
        out << (FModel->item(row)->checkState() == Qt::Checked);
    return out;
}

QStringList TZoneChoice::CheckedZones() const
{
    QStringList out;
    for (int row = FirstZoneRow; row < FModel->rowCount(); ++row)
        if (FModel->item(row)->checkState() == Qt::Checked)
            out << FModel->item(row)->text();
    return out;
}

void TZoneChoice::SetCheckedZones(const QStringList& Checked)
{
    QList<bool> marks;
    for (const QString& zone : Zones())
        marks << Checked.contains(zone);
    Apply(marks);
}

bool TZoneChoice::IsChecked(int Zone) const
{
    const QStandardItem* item = FModel->item(FirstZoneRow + Zone);
    return item && item->checkState() == Qt::Checked;
}

void TZoneChoice::SetChecked(int Zone, bool Checked)
{
    QList<bool> marks = Marks();
    if (Zone < 0 || Zone >= marks.size())
        return;
    marks[Zone] = Checked;
    Apply(marks);
}

void TZoneChoice::CheckAll(bool Checked)
{
    Apply(QList<bool>(FModel->rowCount() - FirstZoneRow, Checked));
}

bool TZoneChoice::AllChecked() const
{
    return !Marks().contains(false);
}

void TZoneChoice::Apply(const QList<bool>& Checked)
{
    if (SetMarks(Checked))
        Tell();
}

void TZoneChoice::Tell()
{
    setToolTip(Summary());
    update();
    Q_EMIT CheckedChanged();
}

bool TZoneChoice::SetMarks(const QList<bool>& Checked)
{
    bool changed = false;
    for (int i = 0; i < Checked.size(); ++i) {
        QStandardItem* item = FModel->item(FirstZoneRow + i);
        const Qt::CheckState state = Checked.at(i) ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state) {
            item->setCheckState(state);
            changed = true;
        }
    }
    return changed;
}

QString TZoneChoice::Summary() const
{
    const QStringList checked = CheckedZones();
    if (checked.isEmpty())
        return tr("Зоны не выбраны");
    if (AllChecked())
        return tr("Все доменные зоны");
    return checked.join(u", ");
}

void TZoneChoice::ActOnRow(int Row)
{
    if (Row == AllRow)
        CheckAll(true);
    else if (Row == NoneRow)
        CheckAll(false);
    else if (Row >= FirstZoneRow)
        SetChecked(Row - FirstZoneRow, !IsChecked(Row - FirstZoneRow));
}

bool TZoneChoice::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == view()->viewport() && Event->type() == QEvent::MouseButtonRelease) {
        const QModelIndex index = view()->indexAt(static_cast<QMouseEvent*>(Event)->position().toPoint());
        if (index.isValid())
            ActOnRow(index.row());
        return true;
    }
    if (Watched == view() && Event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Space) {
        ActOnRow(view()->currentIndex().row());
        return true;
    }
    return QComboBox::eventFilter(Watched, Event);
}

void TZoneChoice::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect text = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    option.currentText = fontMetrics().elidedText(Summary(), Qt::ElideRight, text.width());
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}
