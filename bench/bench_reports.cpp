// Writer benchmark: each of the five writers saves a grid of 1,000,000 rows to a file (target: under
// 1.5 s each).
#include "core/candidates/ResultsView.h"
#include "core/reports/ReportFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int RowCount = 1000000;
    const QStringList zones { QStringLiteral("ru"), QStringLiteral("рф"), QStringLiteral("com") };
    QList<TCandidate> rows;
    rows.reserve(RowCount);
    for (int i = 0; i < RowCount; ++i) {
        const QString& zone = zones.at(i % zones.size());
        // Names as a run makes them, some metrics fetched and some not.
        rows.append({ QStringLiteral("keyword%1другое.").arg(i) + zone, zone,
            i % 2 ? QString::number(i % 10) : QString(), i % 2 ? QString::number(i % 1000) : QString(),
            i % 3 == 0       ? TStatus::Unchecked
                : i % 3 == 1 ? TStatus::Free
                             : TStatus::Taken });
    }
    const TResultsView grid(&rows);

    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const struct {
        TReportKind Kind;
        const char* Name;
        const char* File;
    } writers[] = {
        { TReportKind::ExportCSV, "ExportCSV", "export.csv" },
        { TReportKind::ExportText, "ExportText", "export.txt" },
        { TReportKind::ReportText, "ReportText", "report.txt" },
        { TReportKind::ReportHTML, "ReportHTML", "report.htm" },
        { TReportKind::ReportCSV, "ReportCSV", "report.csv" },
    };
    bool allFast = true;
    for (const auto& w : writers) {
        const QString path = dir.filePath(QString::fromLatin1(w.File));
        QElapsedTimer timer;
        timer.start();
        SaveReportFile(w.Kind, grid, path);
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        allFast = allFast && seconds < 1.5;
        std::printf("%-10s %d rows: %.3f s, %.1f MiB written%s\n", w.Name, RowCount, seconds,
            double(QFileInfo(path).size()) / (1024.0 * 1024.0), seconds < 1.5 ? "" : "  (over the 1.5 s target)");
    }
    std::printf("target under 1.5 s each: %s\n", allFast ? "met" : "missed");
    return 0;
}
