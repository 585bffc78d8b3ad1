// DNS first over two loopback registries that each allow 100 queries per 2 s and refuse past that, with a
// loopback DNS server delegating 600 of the 1,000 names: the wall time beside the bound the registries'
// limits allow for all 1,000 names, the registry queries sent, and the verdicts against the truth.
#include "RegistryPair.h"
#include "core/checks/RunSession.h"
#include "support/DnsTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <cstdio>

namespace
{

constexpr int NamesPerRegistry = 500;
constexpr int Queries = 100;
constexpr int WindowSeconds = 2;
// Of each registry's names: the first are delegated, the next are registered but not delegated, the rest
// are free.
constexpr int DelegatedPerRegistry = 300;
constexpr int UndelegatedTakenPerRegistry = 50;

const char* Met(bool Yes)
{
    return Yes ? "met" : "MISSED";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TRegistryPair registries(Queries, WindowSeconds);
    TWhoisTestServer& ru = registries.Ru;
    TWhoisTestServer& com = registries.Com;
    TDnsTestServer dns;
    QSet<QString> registered;
    QList<TCandidate> names;
    for (int i = 0; i < NamesPerRegistry; ++i)
        for (const char* zone : { "ru", "com" }) {
            const QString name = QStringLiteral("benchname%1.").arg(i) + QLatin1String(zone);
            names.append({ name, QLatin1String(zone), {}, {} });
            if (i < DelegatedPerRegistry)
                dns.Script(name.toLatin1(), TDnsTestServer::TMode::Delegated);
            if (i < DelegatedPerRegistry + UndelegatedTakenPerRegistry) {
                registered.insert(name);
                (zone[0] == 'r' ? ru : com)
                    .Script(name.toLatin1(), { TWhoisTestServer::TMode::Answer, "Domain Name: %N\r\n" });
            }
        }

    TRunSession session;
    QObject::connect(&session, &TRunSession::Finished, &app, &QCoreApplication::quit);
    TCheckSetup setup = registries.Setup;
    setup.DnsFirst = true;
    setup.DnsServer = TDnsServer { QHostAddress::LocalHost, dns.Port() };
    session.Restore(names);

    QElapsedTimer clock;
    clock.start();
    session.Recheck(setup, false);
    QCoreApplication::exec();
    const double seconds = double(clock.elapsed()) / 1000.0;

    int wrong = 0;
    int unjudged = 0;
    int viaDns = 0;
    for (const TCandidate& d : session.Candidates()) {
        unjudged += !d.Judged();
        wrong += d.Judged() && (d.Status == TStatus::Taken) != registered.contains(d.Name);
        viaDns += d.Via == TVia::Dns;
    }
    const int total = int(session.Candidates().size());
    const int undelegated = total - 2 * DelegatedPerRegistry;
    const int registryQueries = int(ru.Received.size() + com.Received.size());
    const double bound = double(NamesPerRegistry) / (double(Queries) / WindowSeconds);
    std::printf("dns: %d names over two registries of %d queries per %d s, %d delegated in DNS\n", total, Queries,
        WindowSeconds, 2 * DelegatedPerRegistry);
    std::printf("dns: wall time %.2f s, registry-only bound %.2f s (names per registry / rate): %.2fx (target at "
                "most 0.50): %s\n",
        seconds, bound, seconds / bound, Met(seconds <= 0.5 * bound));
    std::printf("dns: registry queries sent %d (target %d, the undelegated names): %s\n", registryQueries, undelegated,
        Met(registryQueries == undelegated));
    std::printf(
        "dns: wrong verdicts %d, unjudged %d (target 0): %s\n", wrong, unjudged, Met(wrong == 0 && unjudged == 0));
    std::printf("dns: taken by DNS %d, DNS queries %d, registry refusals %d\n", viaDns, int(dns.Received.size()),
        ru.Refused + com.Refused);
    return wrong == 0 && unjudged == 0 ? 0 : 1;
}
