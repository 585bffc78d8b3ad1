// Generation benchmark: 1,000 distinct keywords × 6 zones, two keywords per name (5,994,000 candidates).
#include "core/checks/RunSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <sys/resource.h>

static long PeakRssKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList words;
    for (int i = 0; i < 1000; ++i)
        words << QStringLiteral("word%1").arg(i);
    const QStringList zones { QStringLiteral("ru"), QStringLiteral("рф"), QStringLiteral("su"),
        QStringLiteral("com"), QStringLiteral("net"), QStringLiteral("org") };

    TRunSession session;
    TRunRequest request;
    request.Keywords = words;
    request.Zones = zones;
    const long before = PeakRssKiB();
    QElapsedTimer timer;
    timer.start();
    session.Start(request);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const long peak = PeakRssKiB();
    std::printf("generation: %lld candidates in %.3f s, %.0f candidates/s\n", qlonglong(session.Candidates().size()),
        seconds, double(session.Candidates().size()) / seconds);
    std::printf("generation: peak memory %.1f MiB (%.1f MiB before the run)\n", double(peak) / 1024.0,
        double(before) / 1024.0);
    return session.Candidates().size() == 5994000 ? 0 : 1;
}
