#pragma once

#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainShell.h"

#include <QElapsedTimer>
#include <functional>

// The batch tool's stand-in for the window: progress on standard error when it is a terminal, the end of
// the run handed to the tool, and the results grid without a widget.
class TCliShell : public TDomainShell {
public:
    TCliShell(bool Whois, bool Metrics, bool ShowProgress);

    bool AutoWhois() const override { return FWhois; }
    bool AutoRange() const override { return FMetrics; }
    void ProgressSetMax(int Maximum) override;
    void ProgressSetPosition(int Position) override;
    void ProgressDetails(const QStringList& Lines) override;
    void ProgressShow() override { }
    void ProgressHide() override;
    // The engine's summary message is the window's; the tool prints its own summary at the end.
    void ShowInformation(const QString&, const QString&) override { }
    void RunFinished(const QString& Error) override;
    TResultsModel& Grid() override { return FGrid; }
    void SetGridVisible(bool) override { }
    TGridGeometry GridGeometry() const override { return {}; }
    void SetColumnWidths(const std::array<int, 5>&) override { }

    // Called when a run ends, with its error (empty when none).
    std::function<void(const QString&)> OnFinished;

private:
    void DrawProgress(bool Force);

    bool FWhois;
    bool FMetrics;
    bool FShowProgress;
    int FMax = 0;
    int FPosition = 0;
    QStringList FDetails;
    bool FDrawn = false;
    QElapsedTimer FClock;
    qint64 FLastDraw = -1;
    TResultsModel FGrid;
};
