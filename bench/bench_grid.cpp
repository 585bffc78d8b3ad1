// Results grid benchmark: 1,000 distinct keywords × 6 zones, two keywords per name (5,994,000 rows). Times the
// building alone, then filling the grid and painting its first screen, refilling it, and scrolling to the last
// row and back, sorting by a column and filtering by status; prints peak and current memory.
#include "core/candidates/Generation.h"
#include "core/checks/RunSession.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

double PeakMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double CurrentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(getpagesize()) / 1048576.0 : 0;
}

double Seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Lets the window settle and paints the grid's visible rows, as the screen would show them.
void ShowScreen(TResultsPanel& panel)
{
    QCoreApplication::processEvents();
    panel.ResultsView()->viewport()->grab();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList words;
    for (int i = 0; i < 1000; ++i)
        words << QStringLiteral("word%1").arg(i);
    const QStringList zones { QStringLiteral("ru"), QStringLiteral("рф"), QStringLiteral("su"), QStringLiteral("com"),
        QStringLiteral("net"), QStringLiteral("org") };

    TRunSession session;
    TResultsPanel panel(session);
    panel.resize(559, 657);
    panel.show();
    ShowScreen(panel);
    const double baseCurrent = CurrentMiB();

    // Building alone, without a window.
    QList<TCandidate> plain;
    QElapsedTimer timer;
    timer.start();
    BuildCandidates(words, zones, 0, plain);
    const double buildSeconds = Seconds(timer);
    const double buildCurrent = CurrentMiB() - baseCurrent;

    // The same candidates into the empty grid: what a run adds to the building.
    timer.restart();
    session.Restore(std::move(plain));
    ShowScreen(panel);
    const double fillSeconds = Seconds(timer);
    const double gridCurrent = CurrentMiB() - baseCurrent - buildCurrent;
    const qsizetype rows = panel.Model().rowCount();

    timer.restart();
    session.Restore(session.Candidates());
    ShowScreen(panel);
    const double refillSeconds = Seconds(timer);

    QTableView* view = panel.ResultsView();
    timer.restart();
    view->scrollToBottom();
    ShowScreen(panel);
    const double bottomSeconds = Seconds(timer);
    const bool lastShown = view->indexAt(QPoint(1, view->viewport()->height() - 2)).row() == rows - 1;

    timer.restart();
    view->scrollToTop();
    ShowScreen(panel);
    const double topSeconds = Seconds(timer);

    timer.restart();
    panel.resize(800, 657);
    ShowScreen(panel);
    const double resizeSeconds = Seconds(timer);

    const double peakOneList = PeakMiB();
    // A whole run replacing the full grid: building, filling and the first screen. The grid keeps showing
    // the old rows until the new ones are built, so both lists are alive for a while.
    TRunRequest request;
    request.Keywords = words;
    request.Zones = zones;
    timer.restart();
    session.Start(request);
    ShowScreen(panel);
    const double runSeconds = Seconds(timer);
    const double peakAfterRun = PeakMiB();

    // Sorting and filtering the full grid, each with its first screen; run order again costs nothing.
    TResultsModel& model = panel.Model();
    const auto timed = [&](auto&& change) {
        timer.restart();
        change();
        ShowScreen(panel);
        return Seconds(timer);
    };
    const double sortNameSeconds = timed([&] { model.sort(TResultsModel::ColName, Qt::AscendingOrder); });
    const double sortNameDownSeconds = timed([&] { model.sort(TResultsModel::ColName, Qt::DescendingOrder); });
    const double sortStatusSeconds = timed([&] { model.sort(TResultsModel::ColStatus, Qt::AscendingOrder); });
    const double sortTICSeconds = timed([&] { model.sort(TResultsModel::ColTIC, Qt::AscendingOrder); });
    const double filterSeconds = timed([&] { model.SetShow(TResultsModel::TShow::Unchecked); });
    const double sortedScrollSeconds = timed([&] { view->scrollToBottom(); });
    const double sortedPeak = PeakMiB();
    const double runOrderSeconds = timed([&] {
        model.sort(TResultsModel::NoSort);
        model.SetShow(TResultsModel::TShow::All);
    });


    std::printf("grid: %lld rows\n", qlonglong(rows));
    std::printf("grid: building alone %.3f s\n", buildSeconds);
    std::printf("grid: fill of the empty grid + first screen %.3f s (target < 1 s beyond building)\n", fillSeconds);
    std::printf("grid: refill of the full grid + first screen %.3f s\n", refillSeconds);
    std::printf("grid: whole run replacing the full grid (building, fill, first screen) %.3f s\n", runSeconds);
    std::printf("grid: scroll to the last row %.4f s (last row on screen: %s), back to the top %.4f s\n", bottomSeconds,
        lastShown ? "yes" : "no", topSeconds);
    std::printf("grid: panel resize with the full grid %.4f s\n", resizeSeconds);
    std::printf("grid: sort by name %.3f s, reversed %.3f s; by status %.3f s; by ТИЦ %.3f s (each with its first screen)\n",
        sortNameSeconds, sortNameDownSeconds, sortStatusSeconds, sortTICSeconds);
    std::printf("grid: filter \"непроверенные\" under the sort %.3f s; scroll to its last row %.4f s; back to run order, "
                "all rows %.4f s; peak memory with a sort %.1f MiB\n",
        filterSeconds, sortedScrollSeconds, runOrderSeconds, sortedPeak);
    std::printf("grid: memory of the candidates %.1f MiB; the grid adds %.1f MiB, %.1f bytes per row\n", buildCurrent,
        gridCurrent, gridCurrent * 1048576.0 / double(rows));
    std::printf("grid: peak memory %.1f MiB with one candidate list, %.1f MiB after a run replacing it\n", peakOneList,
        peakAfterRun);
    return rows == 5994000 && lastShown ? 0 : 1;
}
