#pragma once

#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainShell.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QComboBox;
class QLabel;
class QMenu;
class QTableView;

// The right-hand panel of the main window: the results grid with its filter bar above it and, in the same
// place, the placeholder shown while there is nothing to show; exactly one of the two is visible. The panel
// owns the grid's model. The main window implements TDomainShell's grid operations with SetGridVisible,
// Geometry and SetColumnWidths, and answers Resized (also sent when the shown rows change, since they decide
// whether the scroll bar takes room) by recomputing the column widths. A header click sorts by that column,
// a second click reverses, a third returns to run order. A column the user has resized keeps its width; the
// first column takes up the difference.
class TResultsPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 24;

    explicit TResultsPanel(QWidget* parent = nullptr);

    TResultsModel& Model() const { return *FModel; }
    QTableView* ResultsView() const { return FGrid; }
    QWidget* PanelHideContent() const { return FPlaceholder; }
    QComboBox* ComboBoxShow() const { return FShow; }

    // Shows the grid and hides the placeholder, or the other way round.
    void SetGridVisible(bool Visible);
    bool GridVisible() const;
    TGridGeometry Geometry() const;
    void SetColumnWidths(const std::array<int, 5>& Widths);
    // The grid's context menu (not owned); it pops up where the user asked for it.
    void SetPopupMenu(QMenu* Menu);
    // The names of the selected rows in the order shown, one per line.
    QString SelectedNames() const;
    // Puts SelectedNames on the clipboard; nothing selected leaves the clipboard alone.
    void CopySelectedNames();

Q_SIGNALS:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void HeaderClicked(int Column);
    void PlaceChildren();

    TResultsModel* FModel = nullptr;
    QWidget* FFilterBar = nullptr;
    QComboBox* FShow = nullptr;
    QTableView* FGrid = nullptr;
    // The widths last computed for the columns, and which columns the user has resized since.
    std::array<int, 5> FDefaultWidths {};
    std::array<bool, 5> FUserWidth {};
    bool FSettingWidths = false;
    QWidget* FPlaceholder = nullptr;
    QLabel* FPlaceholderLabel = nullptr;
    QPointer<QMenu> FPopupMenu;
};
