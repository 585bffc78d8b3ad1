#pragma once

#include "gui/ResultsPanel.h"
#include "support/TestShell.h"

// The test window stand-in with a real results panel: the engine fills, shows and sizes the real grid.
class TPanelShell : public TTestShell
{
public:
    explicit TPanelShell(TResultsPanel& Panel)
        : FPanel(Panel)
    {
    }

    TResultsPanel& FPanel;

    TResultsModel& Grid() override { return FPanel.Model(); }
    void SetGridVisible(bool Visible) override { FPanel.SetGridVisible(Visible); }
    TGridGeometry GridGeometry() const override { return FPanel.Geometry(); }
    void SetColumnWidths(const std::array<int, 5>& Widths) override { FPanel.SetColumnWidths(Widths); }
};
