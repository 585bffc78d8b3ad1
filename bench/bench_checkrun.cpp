// The check run over two loopback registries that each allow 100 queries per 2 s and refuse past that: the
// wall time beside the bound the limits allow, the refusals provoked, and the longest stall of the event loop.
#include "RegistryPair.h"
#include "core/checks/RunSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace
{

constexpr int NamesPerRegistry = 300;
constexpr int Queries = 100;
constexpr int WindowSeconds = 2;

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TRegistryPair registries(Queries, WindowSeconds);
    TWhoisTestServer& ru = registries.Ru;
    TWhoisTestServer& com = registries.Com;

    TRunSession session;
    QObject::connect(&session, &TRunSession::Finished, &app, &QCoreApplication::quit);
    QList<TCandidate> names;
    for (int i = 0; i < NamesPerRegistry; ++i)
        for (const char* zone : { "ru", "com" })
            names.append({ QStringLiteral("benchname%1.").arg(i) + QLatin1String(zone), QLatin1String(zone), {}, {} });
    session.Restore(names);

    // A timer that should fire every 5 ms: any lateness beyond that is time the event loop could not run.
    constexpr int TickMs = 5;
    QElapsedTimer clock;
    qint64 lastTick = -1;
    qint64 stall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0)
            stall = std::max(stall, now - lastTick - TickMs);
        lastTick = now;
    });
    clock.start();
    ticker.start(TickMs);
    session.Recheck(registries.Setup, false);
    QCoreApplication::exec();
    const double seconds = double(clock.elapsed()) / 1000.0;
    ticker.stop();

    int judged = 0;
    for (const TCandidate& d : session.Candidates())
        judged += d.Status == TStatus::Free;
    const double bound = double(NamesPerRegistry) / (double(Queries) / WindowSeconds);
    const int refusals = ru.Refused + com.Refused;
    std::printf("checkrun: %d names over two registries of %d queries per %d s, %d judged free\n",
        int(session.Candidates().size()), Queries, WindowSeconds, judged);
    std::printf(
        "checkrun: wall time %.2f s, bound %.2f s (names per registry / rate): %.2fx (target at most 1.10): %s\n",
        seconds, bound, seconds / bound, seconds <= 1.1 * bound ? "met" : "MISSED");
    std::printf("checkrun: refusals provoked %d (target 0): %s\n", refusals, refusals == 0 ? "met" : "MISSED");
    std::printf("checkrun: longest event-loop stall %lld ms (target at most 50): %s\n", static_cast<long long>(stall),
        stall <= 50 ? "met" : "MISSED");
    std::printf("checkrun: most connections at once per registry %d and %d\n", ru.MostAtOnce, com.MostAtOnce);
    return judged == int(session.Candidates().size()) ? 0 : 1;
}
