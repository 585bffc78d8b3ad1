#pragma once

#include "domains/DomainShell.h"
#include "domains/ResultsModel.h"

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
    bool FStop = false;
    int FEvents = 0;
    bool FGridVisible = false;
    QStringList FMessages; // "caption|text"
    TGridGeometry FGeometry;
    std::array<int, 5> FWidths {};
    TResultsModel FGrid;
    // Runs on every ProcessEvents, after counting it; tests use it to act between candidates.
    std::function<void(int)> FOnEvents;

    bool AutoWhois() const override { return FAutoWhois; }
    bool AutoRange() const override { return FAutoRange; }
    void ProgressSetMax(int Maximum) override { FMax = Maximum; }
    void ProgressSetPosition(int Position) override { FPosition = Position; }
    int ProgressPosition() const override { return FPosition; }
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
    bool StopRequested() const override { return FStop; }
    void ProcessEvents() override
    {
        ++FEvents;
        if (FOnEvents)
            FOnEvents(FEvents);
    }
    void ShowInformation(const QString& Caption, const QString& Text) override
    {
        FMessages << Caption + u'|' + Text;
    }
    TResultsModel& Grid() override { return FGrid; }
    void SetGridVisible(bool Visible) override { FGridVisible = Visible; }
    TGridGeometry GridGeometry() const override { return FGeometry; }
    void SetColumnWidths(const std::array<int, 5>& Widths) override { FWidths = Widths; }
};
