#include "gui/ResultsPanel.h"

#include "gui/AppFonts.h"
#include "gui/ResultsDelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>
#include <map>

namespace {

constexpr int FilterBarHeight = 32;

} // namespace

TResultsPanel::TResultsPanel(const TRunSession& Session, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ResultsPane"));
    setFont(TahomaFont(13));
    FModel = new TResultsModel(Session, this);

    FFilterBar = new QWidget(this);
    FFilterBar->setObjectName(QStringLiteral("PanelResultsFilter"));
    auto* bar = new QHBoxLayout(FFilterBar);
    bar->setContentsMargins(3, 3, 3, 3);
    bar->setSpacing(6);
    auto* showLabel = new QLabel(tr("&Показать:"), FFilterBar);
    FShow = new QComboBox(FFilterBar);
    FShow->setObjectName(QStringLiteral("ComboBoxShow"));
    // In the order of TResultsModel::TShow.
    FShow->addItems({ tr("все"), tr("свободные"), tr("занятые"),
        tr("непроверенные") });
    showLabel->setBuddy(FShow);
    bar->addWidget(showLabel);
    bar->addWidget(FShow);
    bar->addStretch(1);
    connect(FShow, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            FModel->SetShow(TResultsModel::TShow(index));
    });

    FGrid = new QTableView(this);
    FGrid->setObjectName(QStringLiteral("ResultsView"));
    // Without a frame the four fixed widths plus column 0 fill the panel exactly, and the 20 pixels kept
    // back when rows overflow hold the scroll bar, so no column is ever cut at the right edge.
    FGrid->setFrameShape(QFrame::NoFrame);
    FGrid->setItemDelegate(new TResultsDelegate(FGrid));
    FGrid->setModel(FModel);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Only columns the user widened past the panel bring it.
    FGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FGrid->setShowGrid(true);
    FGrid->setWordWrap(false);
    FGrid->setTabKeyNavigation(false);
    FGrid->setContextMenuPolicy(Qt::CustomContextMenu);

    // Millions of rows: every row has the same fixed height, so the view never asks a row for its size.
    QHeaderView* rows = FGrid->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(RowHeight);
    rows->setDefaultSectionSize(RowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = FGrid->horizontalHeader();
    header->setFixedHeight(RowHeight);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &TResultsPanel::CycleSort);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (!FSettingWidths && column >= 0 && column < int(FUserWidth.size()))
            FUserWidth[size_t(column)] = true;
    });
    // The shown rows decide whether the scroll bar takes room and whether there is a grid to show at all.
    const auto rowsChanged = [this] {
        SetGridVisible(FModel->TotalCount() > 0);
        UpdateColumnWidths();
        Q_EMIT Resized();
    };
    connect(FModel, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(FModel, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    FGrid->installEventFilter(this);

    connect(FGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (FPopupMenu)
            FPopupMenu->popup(FGrid->viewport()->mapToGlobal(pos));
    });

    FPlaceholder = new QWidget(this);
    FPlaceholder->setObjectName(QStringLiteral("PanelHideContent"));
    FPlaceholderLabel = new QLabel(FPlaceholder);
    FPlaceholderLabel->setObjectName(QStringLiteral("PlaceholderLabel"));
    FPlaceholderLabel->setText(tr("Нет данных для отображения...\n"
                                              "Введите ключевые слова и нажмите кнопку начала генерации..."));
    FPlaceholderLabel->setAlignment(Qt::AlignCenter);
    // Wrapping keeps a narrow panel from being held wide by the long second line.
    FPlaceholderLabel->setWordWrap(true);
    QPalette grey = FPlaceholderLabel->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    FPlaceholderLabel->setPalette(grey);
    auto* layout = new QVBoxLayout(FPlaceholder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FPlaceholderLabel);

    SetGridVisible(false);
}

void TResultsPanel::SetGridVisible(bool Visible)
{
    FFilterBar->setVisible(Visible);
    FGrid->setVisible(Visible);
    FPlaceholder->setVisible(!Visible);
}

bool TResultsPanel::GridVisible() const
{
    return !FGrid->isHidden();
}

void TResultsPanel::UpdateColumnWidths()
{
    // The height the candidate rows have below the header row: more rows than fit there bring the scroll bar.
    const int inner = FGrid->height() - 2 * FGrid->frameWidth() - FGrid->horizontalHeader()->height();
    const bool overflow = qint64(RowHeight) * FModel->RowCount() > inner;
    int fixed = 0;
    for (int w : FixedWidths)
        fixed += w;
    std::array<int, 5> widths { width() - fixed - (overflow ? ScrollBarRoom : 0), FixedWidths[0], FixedWidths[1],
        FixedWidths[2], FixedWidths[3] };
    // A column the user resized keeps its width; the first column gives or takes the difference, so the
    // total still leaves the scroll bar its room.
    for (size_t i = 1; i < widths.size(); ++i)
        if (FUserWidth[i]) {
            widths[0] -= FGrid->columnWidth(int(i)) - widths[i];
            widths[i] = FGrid->columnWidth(int(i));
        }
    if (FUserWidth[0])
        widths[0] = FGrid->columnWidth(0);
    FSettingWidths = true;
    for (int i = 0; i < int(widths.size()); ++i)
        FGrid->setColumnWidth(i, qMax(0, widths[size_t(i)]));
    FSettingWidths = false;
}

void TResultsPanel::CycleSort(int Column)
{
    int column = Column;
    Qt::SortOrder order = Qt::AscendingOrder;
    if (Column == FModel->SortColumn()) {
        if (FModel->SortOrder() == Qt::AscendingOrder)
            order = Qt::DescendingOrder;
        else
            column = TResultsModel::NoSort;
    }
    SetSort(column, order);
}

void TResultsPanel::SetSort(int Column, Qt::SortOrder Order)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FModel->sort(Column, Order);
    QApplication::restoreOverrideCursor();
    QHeaderView* header = FGrid->horizontalHeader();
    header->setSortIndicatorShown(Column != TResultsModel::NoSort);
    header->setSortIndicator(Column, Order);
}

TResultsPanel::TUserWidths TResultsPanel::UserWidths() const
{
    TUserWidths widths;
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = FUserWidth[i] ? FGrid->columnWidth(int(i)) : -1;
    return widths;
}

void TResultsPanel::SetUserWidths(const TUserWidths& Widths)
{
    FSettingWidths = true;
    for (size_t i = 0; i < Widths.size(); ++i) {
        FUserWidth[i] = Widths[i] >= 0;
        if (FUserWidth[i])
            FGrid->setColumnWidth(int(i), Widths[i]);
    }
    FSettingWidths = false;
    UpdateColumnWidths();
}

void TResultsPanel::CycleSortOfCurrentColumn()
{
    const QModelIndex current = FGrid->currentIndex();
    CycleSort(current.isValid() ? current.column() : TResultsModel::ColName);
}

void TResultsPanel::ForEachSelectedRow(const std::function<void(int)>& Visit) const
{
    // Whole-row ranges, read by row so that a selection of millions costs no index list.
    std::map<int, int> rows;
    for (const QItemSelectionRange& range : FGrid->selectionModel()->selection())
        rows[range.top()] = std::max(rows[range.top()], range.bottom());
    int next = 0;
    for (const auto& [top, bottom] : rows)
        for (int r = std::max(top, next); r <= bottom; ++r) {
            Visit(r);
            next = r + 1;
        }
}

QString TResultsPanel::SelectedNames() const
{
    QString out;
    ForEachSelectedRow([&](int Row) { out += FModel->ShownRow(Row).Name + u'\n'; });
    out.chop(1);
    return out;
}

QList<qsizetype> TResultsPanel::SelectedRows() const
{
    QList<qsizetype> out;
    ForEachSelectedRow([&](int Row) { out << FModel->View().SourceIndex(Row); });
    return out;
}

void TResultsPanel::CopySelectedNames()
{
    const QString names = SelectedNames();
    if (!names.isEmpty())
        QGuiApplication::clipboard()->setText(names);
}

bool TResultsPanel::eventFilter(QObject* Watched, QEvent* Event)
{
    // The view would copy only its current cell on the copy keys.
    if (Watched == FGrid && (Event->type() == QEvent::KeyPress || Event->type() == QEvent::ShortcutOverride)
        && static_cast<QKeyEvent*>(Event)->matches(QKeySequence::Copy)) {
        if (Event->type() == QEvent::KeyPress)
            CopySelectedNames();
        Event->accept();
        return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

void TResultsPanel::SetPopupMenu(QMenu* Menu)
{
    FPopupMenu = Menu;
}

void TResultsPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceChildren();
    UpdateColumnWidths();
    Q_EMIT Resized();
}

void TResultsPanel::PlaceChildren()
{
    // Each child always has its place, also while hidden, so the geometry is right at any time.
    FFilterBar->setGeometry(0, 0, width(), FilterBarHeight);
    FGrid->setGeometry(0, FilterBarHeight, width(), std::max(0, height() - FilterBarHeight));
    FPlaceholder->setGeometry(rect());
}
