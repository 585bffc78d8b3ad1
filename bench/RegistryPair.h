#pragma once

#include "core/checks/CheckRun.h"
#include "support/WhoisTestServer.h"

// Two loopback registries that each allow Queries per WindowSeconds and refuse past that, ru on 127.0.0.1
// and com on 127.0.0.2 (one port), each finding no name unless scripted; and the setup of a run over them.
struct TRegistryPair {
    TWhoisTestServer Ru;
    TWhoisTestServer Com { nullptr, QHostAddress(QStringLiteral("127.0.0.2")), Ru.Port() };

    TRegistryPair(int Queries, int WindowSeconds)
    {
        for (TWhoisTestServer* s : { &Ru, &Com }) {
            s->Limit = { Queries, WindowSeconds * 1000, 3000, s->Limit.Refusal };
            s->Default = { TWhoisTestServer::TMode::Answer, "No entries found for the selected source(s).\r\n" };
        }
        const QString limit = QStringLiteral(":%1:%2").arg(Queries).arg(WindowSeconds);
        Setup.WhoisPort = Ru.Port();
        Setup.Servers
            = TCheckSetup::ParseZoneServers({ QStringLiteral("ru:127.0.0.1"), QStringLiteral("com:127.0.0.2") });
        Setup.Limits = TServerLimits({ QStringLiteral("127.0.0.1") + limit, QStringLiteral("127.0.0.2") + limit });
    }

    TCheckSetup Setup;
};
