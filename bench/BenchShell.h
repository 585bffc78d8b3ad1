#pragma once

#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainShell.h"

#include <QCoreApplication>

// The window as a benchmark's check run needs it: the check switch on, nothing shown, the event loop left
// when the run ends.
class TBenchShell : public TDomainShell {
public:
    bool AutoWhois() const override { return true; }
    bool AutoRange() const override { return false; }
    void ProgressSetMax(int) override { }
    void ProgressSetPosition(int) override { }
    void ProgressDetails(const QStringList&) override { }
    void ProgressShow() override { }
    void ProgressHide() override { }
    void ShowInformation(const QString&, const QString& Text) override { FMessage = Text; }
    void RunFinished(const QString&) override { QCoreApplication::quit(); }
    TResultsModel& Grid() override { return FGrid; }
    void SetGridVisible(bool) override { }
    TGridGeometry GridGeometry() const override { return {}; }
    void SetColumnWidths(const std::array<int, 5>&) override { }

    QString FMessage;
    TResultsModel FGrid;
};
