#include "core/reports/ReportFile.h"

#include <QIODevice>

void SaveReportFile(TReportKind Kind, const TResultsView& Grid, const QString& Path, const TReportStamp& Stamp)
{
    WriteFileAtomically(Path, [&](QIODevice& Out) { WriteReport(Kind, Grid, Out, Stamp); });
}
