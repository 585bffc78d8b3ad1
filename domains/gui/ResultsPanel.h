#pragma once

#include "domains/DomainShell.h"
#include "domains/ResultsModel.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QLabel;
class QMenu;
class QTableView;

// The right-hand panel of the main window: the results grid and, in the same place, the placeholder shown
// while there is nothing to show; exactly one of the two is visible. The panel owns the grid's model.
// The main window implements TDomainShell's grid operations with SetGridVisible, Geometry and
// SetColumnWidths, and answers Resized by recomputing the column widths.
class TResultsPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 24;

    explicit TResultsPanel(QWidget* parent = nullptr);

    TResultsModel& Model() const { return *FModel; }
    QTableView* SGWorkResult() const { return FGrid; }
    QWidget* PanelHideContent() const { return FPlaceholder; }

    // Shows the grid and hides the placeholder, or the other way round.
    void SetGridVisible(bool Visible);
    bool GridVisible() const;
    TGridGeometry Geometry() const;
    void SetColumnWidths(const std::array<int, 5>& Widths);
    // The grid's context menu (not owned); it pops up where the user asked for it.
    void SetPopupMenu(QMenu* Menu);

Q_SIGNALS:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TResultsModel* FModel = nullptr;
    QTableView* FGrid = nullptr;
    QWidget* FPlaceholder = nullptr;
    QLabel* FPlaceholderLabel = nullptr;
    QPointer<QMenu> FPopupMenu;
};
