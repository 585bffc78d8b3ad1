// Generation benchmark: 1,000 distinct keywords × 6 zones, two keywords per name (5,994,000 candidates).
#include "core/checks/DomainEngine.h"

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

    TDomain engine;
    engine.FillWordList(words);
    engine.FillFirstDomainList(zones);
    const long before = PeakRssKiB();
    QElapsedTimer timer;
    timer.start();
    engine.Generate(0);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const long peak = PeakRssKiB();
    std::printf("generation: %lld candidates in %.3f s, %.0f candidates/s\n", qlonglong(engine.Candidates.size()),
        seconds, double(engine.Candidates.size()) / seconds);
    std::printf("generation: peak memory %.1f MiB (%.1f MiB before the run)\n", double(peak) / 1024.0,
        double(before) / 1024.0);
    return engine.Candidates.size() == 5994000 ? 0 : 1;
}
