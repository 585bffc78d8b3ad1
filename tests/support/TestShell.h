#pragma once

#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainShell.h"

#include <QStringList>
#include <functional>

// A window stand-in for engine tests: records what the engine asked of it.
class TTestShell : public TDomainShell {
public:
    bool FAutoWhois = false;
    bool FAutoRange = false;
    int FMax = 0;
    int FPosition = 0;
    bool FVisible = false;
    int FShowCount = 0;
    int FHideCount = 0;
    bool FGridVisible = false;
    QStringList FMessages; // "caption|text"
    QStringList FDetails; // the last progress details
    int FFinished = 0; // runs ended
    QString FError; // the last run's error
    TGridGeometry FGeometry;
    std::array<int, 5> FWidths {};
    TResultsModel FGrid;
    // Runs on every progress step, with the position; tests use it to act in the middle of a run.
    std::function<void(int)> FOnProgress;
    // Runs when the information message comes.
    std::function<void()> FOnMessage;

    bool AutoWhois() const override { return FAutoWhois; }
    bool AutoRange() const override { return FAutoRange; }
    void ProgressSetMax(int Maximum) override { FMax = Maximum; }
    void ProgressSetPosition(int Position) override
    {
        FPosition = Position;
        if (FOnProgress)
            FOnProgress(Position);
    }
    void ProgressDetails(const QStringList& Lines) override { FDetails = Lines; }
    void ProgressShow() override
    {
        FVisible = true;
        ++FShowCount;
    }
    void ProgressHide() override
    {
        FVisible = false;
        ++FHideCount;
    }
    void ShowInformation(const QString& Caption, const QString& Text) override
    {
        FMessages << Caption + u'|' + Text;
        if (FOnMessage)
            FOnMessage();
    }
    void RunFinished(const QString& Error) override
    {
        ++FFinished;
        FError = Error;
    }
    TResultsModel& Grid() override { return FGrid; }
    void SetGridVisible(bool Visible) override { FGridVisible = Visible; }
    TGridGeometry GridGeometry() const override { return FGeometry; }
    void SetColumnWidths(const std::array<int, 5>& Widths) override { FWidths = Widths; }
};
