#pragma once

#include "core/reports/ReportWriters.h"

class QWidget;
class TResultsModel;

// The save command behind each writer's menu and context-menu items: asks for a file name through the
// dialog seam (starting in the folder last used for results, with the writer's default extension and
// filter; a name typed without an extension gets the default one), then writes Grid's rows as shown to
// that file. Returns false when the user cancelled, in
// which case nothing is written. Errors raise EOrvantaError for the caller's general error report.
bool SaveReport(TReportKind Kind, const TResultsModel& Grid, QWidget* Parent,
    const TReportStamp& Stamp = TReportStamp());
