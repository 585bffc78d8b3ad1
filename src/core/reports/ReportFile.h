#pragma once

#include "core/common/AtomicFile.h"
#include "core/reports/ReportWriters.h"

#include <QString>

// Writes the report or export of Kind on Grid's rows to Path through WriteFileAtomically: the old file
// stays whole unless the new one is complete, and errors raise EOrvantaError with the user's message.
void SaveReportFile(
    TReportKind Kind, const TResultsView& Grid, const QString& Path, const TReportStamp& Stamp = TReportStamp());
