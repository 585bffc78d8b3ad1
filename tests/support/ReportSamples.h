#pragma once

#include "core/candidates/ResultsView.h"
#include "core/reports/ReportWriters.h"

#include <QByteArray>
#include <QString>

// Candidate rows with a view over them, as the writers read a grid.
struct TSampleGrid : TResultsView {
    TSampleGrid()
        : TResultsView(&Rows)
    {
    }
    TSampleGrid(const TSampleGrid&) = delete;
    TSampleGrid& operator=(const TSampleGrid&) = delete;

    void SetRows(const QList<TCandidate>& NewRows)
    {
        Rows = NewRows;
        Rebuild();
    }

    QList<TCandidate> Rows;
};

// The small grid behind the reports' golden files: not checked, free and taken, empty metrics, a PR of "-1", and names
// holding ';', '"', '<', '>' and '&'.
QList<TCandidate> SampleRows();
void FillSampleGrid(TSampleGrid& Grid);
// A grid of Rows plain rows, statuses cycling through not checked, free, taken.
void FillPlainGrid(TSampleGrid& Grid, int Rows);
// ru_RU, 5 March 2024, 09:07:02: the stamp of the golden files.
TReportStamp SampleStamp();
// The bytes of a golden file under tests/data/reports/; fails the test when it is missing.
QByteArray GoldenReport(const QString& FileName);
