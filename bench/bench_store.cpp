// Verdict store benchmark: 100,000 verdicts written through the store (targets: under 20 µs a verdict until
// committed, under 200 bytes a verdict on disk), then 1,000,000 candidates looked up against a store of
// 1,000,000 verdicts before a run (target: under 2 s).
#include "core/checks/VerdictStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace
{

const char* Met(bool Met)
{
    return Met ? "met" : "missed";
}

// Names as a run makes them, in three zones; verdicts as registries give them: mostly taken, some free,
// some failed with a reason, over WHOIS and RDAP.
QList<TCandidate> Verdicts(int Count, qint64 Now)
{
    const QStringList zones { QStringLiteral("ru"), QStringLiteral("com"), QStringLiteral("рф") };
    const TCheckFailure refused { QStringLiteral("превышен лимит запросов"),
        QStringLiteral("превышен лимит запросов") };
    QList<TCandidate> out;
    out.reserve(Count);
    for (int i = 0; i < Count; ++i) {
        TCandidate d;
        d.Zone = zones.at(i % zones.size());
        d.Name = QStringLiteral("keyword%1word.").arg(i) + d.Zone;
        const bool rdap = d.Zone == u"com";
        const TStatus status = i % 10 == 0 ? TStatus::Failed : i % 4 == 0 ? TStatus::Free : TStatus::Taken;
        d.SetOutcome(status, rdap ? TVia::Rdap : TVia::Whois,
            rdap ? QStringLiteral("https://rdap.verisign.com/com/v1/") : QStringLiteral("whois.tcinet.ru"),
            status == TStatus::Failed ? refused : TCheckFailure());
        d.CheckedAt = Now - i % 3600;
        out.append(d);
    }
    return out;
}

double Seconds(const QElapsedTimer& Timer)
{
    return double(Timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const qint64 now = QDateTime::currentSecsSinceEpoch();

    constexpr int WriteCount = 100000;
    const QString small = dir.filePath(QStringLiteral("write.sqlite"));
    const QList<TCandidate> written = Verdicts(WriteCount, now);
    double handOver = 0;
    double committed = 0;
    {
        TVerdictStore store(small);
        QElapsedTimer timer;
        timer.start();
        for (const TCandidate& d : written)
            store.Put(d);
        handOver = Seconds(timer);
        if (!store.Flush())
            return 1;
        committed = Seconds(timer);
    }
    const double perVerdictUs = committed / WriteCount * 1e6;
    const double bytes = double(QFileInfo(small).size()) / WriteCount;
    std::printf("write: %d verdicts handed over in %.3f s (%.2f µs each on the run's thread), committed in %.3f s\n",
        WriteCount, handOver, handOver / WriteCount * 1e6, committed);
    std::printf(
        "write: %.2f µs per verdict until committed (target under 20 µs: %s)\n", perVerdictUs, Met(perVerdictUs < 20));
    std::printf("write: %.1f bytes per verdict on disk, %.1f MiB in all (target under 200 bytes: %s)\n", bytes,
        double(QFileInfo(small).size()) / (1024.0 * 1024.0), Met(bytes < 200));

    constexpr int LookupCount = 1000000;
    const QString large = dir.filePath(QStringLiteral("lookup.sqlite"));
    TVerdictStore store(large);
    {
        QElapsedTimer timer;
        timer.start();
        for (const TCandidate& d : Verdicts(LookupCount, now))
            store.Put(d);
        if (!store.Flush())
            return 1;
        std::printf("lookup: a store of %d verdicts written in %.3f s, %.1f MiB\n", LookupCount, Seconds(timer),
            double(QFileInfo(large).size()) / (1024.0 * 1024.0));
    }
    QList<TCandidate> candidates = Verdicts(LookupCount, now);
    for (TCandidate& d : candidates)
        d.ClearVerdict();
    QElapsedTimer timer;
    timer.start();
    const qsizetype reused = store.FillFresh(candidates, TReuseAges(), now);
    const double lookup = Seconds(timer);
    std::printf("lookup: %d candidates against %d verdicts in %.3f s, %lld fresh verdicts taken (target under 2 s: "
                "%s)\n",
        LookupCount, LookupCount, lookup, qlonglong(reused), Met(lookup < 2));
    // Every verdict but the failures is fresh: a lookup that finds fewer is broken, not fast.
    return reused == LookupCount - LookupCount / 10 ? 0 : 1;
}
