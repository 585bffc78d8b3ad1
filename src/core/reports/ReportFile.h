#pragma once

#include "core/reports/ReportWriters.h"

#include <QString>
#include <functional>

class QIODevice;

// Writes the file Path whole through Writer. The new content goes to a temporary file beside Path and
// replaces an existing file only once all of it is written, so a failure leaves the old file as it was.
// A path that holds a folder, a device node, a pipe or a link loop is refused and left as it is; a link to a
// regular file is written through. Errors raise EOrvantaError: "Не удалось создать файл "<path>". <reason>"
// when the file cannot be created or put in place, WriteErrorMessage when a write stops short; an error
// Writer raises passes unchanged.
void WriteFileAtomically(const QString& Path, const std::function<void(QIODevice&)>& Writer);

// Writes the report or export of Kind on Grid's rows to Path, as WriteFileAtomically does.
void SaveReportFile(TReportKind Kind, const TResultsModel& Grid, const QString& Path,
    const TReportStamp& Stamp = TReportStamp());
