#pragma once

#include "gui/ResultsModel.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QMenu;
class QTableView;
class TRunSession;

// The right-hand panel of the main window: the results grid with its filter bar above it and, in the same
// place, the placeholder shown while the session holds no candidates; exactly one of the two is visible.
// The panel owns the grid's model over the session. The column widths follow the panel's width and whether
// the rows overflow (the scroll bar takes room then): the four narrow columns have fixed widths and the name
// column takes the rest. A header click sorts by that column, a second click reverses, a third returns to
// run order. A column the user has resized keeps its width; the first column takes up the difference.
class TResultsPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 24;

    // Widths of the zone, status, PR and ТИЦ columns; the name column takes what is left of the panel,
    // less ScrollBarRoom while the rows overflow.
    // The status column holds "Не проверен" with the mark of a failed check.
    static constexpr std::array<int, 4> FixedWidths { 50, 110, 100, 100 };
    static constexpr int ScrollBarRoom = 20;

    explicit TResultsPanel(const TRunSession& Session, QWidget* parent = nullptr);

    TResultsModel& Model() const { return *FModel; }
    QTableView* ResultsView() const { return FGrid; }
    QWidget* PanelHideContent() const { return FPlaceholder; }
    QComboBox* ComboBoxShow() const { return FShow; }

    // Shows the grid and hides the placeholder, or the other way round.
    void SetGridVisible(bool Visible);
    bool GridVisible() const;
    // Sets the widths for the panel's size and rows as they are now.
    void UpdateColumnWidths();
    // Each column's width where the user set one, -1 where the column follows the panel.
    using TUserWidths = std::array<int, 5>;
    TUserWidths UserWidths() const;
    // Gives the columns widths as the user set them (a negative one follows the panel).
    void SetUserWidths(const TUserWidths& Widths);
    // Sorts the rows by Column (NoSort: run order), marking the header as a click does.
    void SetSort(int Column, Qt::SortOrder Order);
    // The grid's context menu (not owned); it pops up where the user asked for it.
    void SetPopupMenu(QMenu* Menu);
    // The names of the selected rows in the order shown, one per line.
    QString SelectedNames() const;
    // The session's indexes of the selected rows, in the order shown.
    QList<qsizetype> SelectedRows() const;
    // Puts SelectedNames on the clipboard; nothing selected leaves the clipboard alone.
    void CopySelectedNames();
    // What a click on Column's header does: sorts by it, reverses, returns to run order.
    void CycleSort(int Column);
    // CycleSort on the column of the grid's current cell (the keyboard's way to sort).
    void CycleSortOfCurrentColumn();

Q_SIGNALS:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Visit gets each selected row as shown, once, top to bottom.
    void ForEachSelectedRow(const std::function<void(int)>& Visit) const;
    void PlaceChildren();

    TResultsModel* FModel = nullptr;
    QWidget* FFilterBar = nullptr;
    QComboBox* FShow = nullptr;
    QTableView* FGrid = nullptr;
    // Which columns the user has resized.
    std::array<bool, 5> FUserWidth {};
    bool FSettingWidths = false;
    QWidget* FPlaceholder = nullptr;
    QLabel* FPlaceholderLabel = nullptr;
    QPointer<QMenu> FPopupMenu;
};
