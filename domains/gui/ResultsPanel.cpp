#include "domains/gui/ResultsPanel.h"

#include "app/gui/AppFonts.h"
#include "domains/ResultsModel.h"
#include "domains/gui/ResultsDelegate.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

TResultsPanel::TResultsPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("PanelContRight"));
    setFont(TahomaFont(13));
    FModel = new TResultsModel(this);

    FGrid = new QTableView(this);
    FGrid->setObjectName(QStringLiteral("SGWorkResult"));
    // Without a frame the four fixed widths plus column 0 fill the panel exactly, and the 20 pixels kept
    // back when rows overflow hold the scroll bar, so no column is ever cut at the right edge.
    FGrid->setFrameShape(QFrame::NoFrame);
    FGrid->setItemDelegate(new TResultsDelegate(FGrid));
    FGrid->setModel(FModel);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
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
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(FGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        if (FPopupMenu)
            FPopupMenu->popup(FGrid->viewport()->mapToGlobal(pos));
    });

    FPlaceholder = new QWidget(this);
    FPlaceholder->setObjectName(QStringLiteral("PanelHideContent"));
    FPlaceholderLabel = new QLabel(FPlaceholder);
    FPlaceholderLabel->setObjectName(QStringLiteral("sLabel1"));
    FPlaceholderLabel->setText(QStringLiteral("Нет данных для отображения...\n"
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
    FGrid->setVisible(Visible);
    FPlaceholder->setVisible(!Visible);
}

bool TResultsPanel::GridVisible() const
{
    return !FGrid->isHidden();
}

TGridGeometry TResultsPanel::Geometry() const
{
    // The height the candidate rows have below the header row: more rows than fit there bring the scroll bar.
    const int inner = FGrid->height() - 2 * FGrid->frameWidth() - FGrid->horizontalHeader()->height();
    return { width(), inner, FGrid->horizontalHeader()->height() };
}

void TResultsPanel::SetColumnWidths(const std::array<int, 5>& Widths)
{
    for (int i = 0; i < int(Widths.size()); ++i)
        FGrid->setColumnWidth(i, qMax(0, Widths[size_t(i)]));
}

void TResultsPanel::SetPopupMenu(QMenu* Menu)
{
    FPopupMenu = Menu;
}

void TResultsPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Both children always cover the whole panel, also while hidden, so the geometry is right at any time.
    FGrid->setGeometry(rect());
    FPlaceholder->setGeometry(rect());
    Q_EMIT Resized();
}
