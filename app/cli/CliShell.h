#pragma once

#include "domains/DomainShell.h"
#include "domains/ResultsModel.h"

#include <QElapsedTimer>

class TSignalWatcher;

// The batch tool's stand-in for the window: progress on standard error when it is a terminal, the stop
// request from SIGINT/SIGTERM, and the results grid without a widget.
class TCliShell : public TDomainShell {
public:
    TCliShell(bool Whois, bool Metrics, const TSignalWatcher& Signals, bool ShowProgress);

    bool AutoWhois() const override { return FWhois; }
    bool AutoRange() const override { return FMetrics; }
    void ProgressSetMax(int Maximum) override;
    void ProgressSetPosition(int Position) override;
    int ProgressPosition() const override { return FPosition; }
    void ProgressShow() override { }
    void ProgressHide() override;
    bool StopRequested() const override;
    void ProcessEvents() override;
    // The engine's summary message is the window's; the tool prints its own summary line at the end.
    void ShowInformation(const QString&, const QString&) override { }
    TResultsModel& Grid() override { return FGrid; }
    void SetGridVisible(bool) override { }
    TGridGeometry GridGeometry() const override { return {}; }
    void SetColumnWidths(const std::array<int, 5>&) override { }

private:
    void DrawProgress(bool Force);

    bool FWhois;
    bool FMetrics;
    const TSignalWatcher& FSignals;
    bool FShowProgress;
    int FMax = 0;
    int FPosition = 0;
    bool FDrawn = false;
    QElapsedTimer FClock;
    qint64 FLastDraw = -1;
    TResultsModel FGrid;
};
