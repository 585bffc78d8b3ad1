#pragma once

#include "core/reports/ReportWriters.h"

#include <QByteArray>
#include <QString>

class TResultsModel;

// The small grid behind the reports' golden files: statuses -1, 0 and 1, empty metrics, a PR of "-1",
// and names holding ';', '"', '<', '>' and '&'. Header set as the engine sets it.
void FillSampleGrid(TResultsModel& Grid);
// A grid of Rows plain rows, statuses cycling through -1, 0, 1.
void FillPlainGrid(TResultsModel& Grid, int Rows);
// ru_RU, 5 March 2024, 09:07:02: the stamp of the golden files.
TReportStamp SampleStamp();
// The bytes of a golden file under tests/data/reports/; fails the test when it is missing.
QByteArray GoldenReport(const QString& FileName);
