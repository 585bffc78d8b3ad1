#pragma once

#include <QString>
#include <QStringList>
#include <array>

class TResultsModel;

// The size of what shows the results, as the column widths need it.
struct TGridGeometry {
    int PanelWidth = 0; // width of the panel that holds the grid and the placeholder
    int GridHeight = 0; // inner height of the grid
    int RowHeight = 24; // height of row 0
};

// Everything the engine needs of the window around it: the switches, the progress dialog, the
// information message, the end of a run and the results grid. The main window implements it; the batch
// tool and the tests implement it in a few lines.
class TDomainShell {
public:
    virtual ~TDomainShell() = default;

    virtual bool AutoWhois() const = 0;
    virtual bool AutoRange() const = 0;

    virtual void ProgressSetMax(int Maximum) = 0;
    virtual void ProgressSetPosition(int Position) = 0;
    // What the run says beside its bar: "Проверено N из M", the time left, paused servers.
    virtual void ProgressDetails(const QStringList& Lines) = 0;
    virtual void ProgressShow() = 0;
    virtual void ProgressHide() = 0;

    // An information message box owned by the application window.
    virtual void ShowInformation(const QString& Caption, const QString& Text) = 0;
    // The run is over and the grid shows it; Error is why it ended early (a metrics lookup failed), or
    // empty.
    virtual void RunFinished(const QString& Error) = 0;

    // The results grid's cell texts, and which of grid or placeholder is visible.
    virtual TResultsModel& Grid() = 0;
    virtual void SetGridVisible(bool Visible) = 0;
    virtual TGridGeometry GridGeometry() const = 0;
    virtual void SetColumnWidths(const std::array<int, 5>& Widths) = 0;
};
