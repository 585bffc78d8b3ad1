#pragma once

#include "core/candidates/Candidate.h"
#include "core/checks/CheckRun.h"
#include "core/checks/WhoisClient.h"

#include <QList>
#include <QStringList>
#include <functional>

#include "core/candidates/Generation.h"

class TDomainShell;

// The failures among List counted by reason, most frequent first: "превышен лимит запросов — 10; сервер
// не ответил — 2". Empty when none failed.
QString FailureCounts(const QList<TCandidate>& List);
// The end-of-check message: its fixed first line, then the counts by reason.
QString CheckFailureMessage(const QList<TCandidate>& List);

// The domain engine: the input lists of a run, the candidate list it builds, and the run stages that
// check, measure and show the candidates. Reaches the window only through TDomainShell.
class TDomain {
public:
    explicit TDomain(TDomainShell* Shell = nullptr);
    ~TDomain();
    TDomain(const TDomain&) = delete;
    TDomain& operator=(const TDomain&) = delete;

    QList<TCandidate> Candidates;
    QStringList FirstDomains;
    QStringList Words;
    QStringList WhoisServerLines;
    QList<TZoneServer> ZoneServers;

    // The WHOIS port, 43 in the program; tests and the batch tool point the check at their own servers.
    quint16 WhoisPort = 43;
    TWhoisLimits WhoisLimits;
    // The limits list (lines "HOST:QUERIES:SECONDS") that paces each WHOIS server.
    QStringList ServerLimits;
    // Zones this list names are checked over RDAP; an empty list checks every zone over WHOIS.
    TRdapBootstrap RdapBootstrap;
    // The zone rules list (lines "ZONE:SCRIPTS"): which letters each zone's names may use.
    QStringList ZoneScripts;
    // Time limit of one metrics lookup.
    int MetricsTimeoutMs = 30000;

    // The keywords as the user means them (CleanKeywords): trimmed, no blank lines, no repeats.
    void FillWordList(const QStringList& List);
    void FillWhoisList(const QStringList& List);
    void FillFirstDomainList(const QStringList& List);

    // One run: builds the candidates for Mode (0: two keywords, 1: three, 2: four), then starts the run
    // stages. Building errors are thrown; the stages go on from the event loop and end with the shell's
    // RunFinished.
    void Generate(int Mode);
    // The stages after building: the checks the shell's switches ask for, then the grid. Asynchronous
    // when there is a check to make; ends with the shell's RunFinished.
    void RunStages();
    // Asks again about every name without a verdict (failed or not checked), WHOIS only, then refills
    // the grid; ends with the shell's RunFinished. False when there is nothing to ask or a run is going.
    bool RecheckUnjudged();
    // Stops the run in progress at once: every verdict obtained is kept, the rest stay unchecked, the
    // grid shows them, and RunFinished comes before this returns.
    void CancelRun();


    // True while a run's checks are in progress: the candidate list must not change under them.
    bool Running() const { return FRun != nullptr; }

    // Rebuilds ZoneServers from WhoisServerLines.
    void FillZoneServers();
    // The WHOIS server for the zone FDN (letter case ignored), else the "*" default, else empty.
    QString WhoisServerFor(const QString& FDN) const;
    // How many names the last WHOIS stage could not judge.
    int WhoisFailures() const { return FWhoisFailures; }

    void FillHeader();
    void CleanGrid(bool Fast);
    void FillGridData();
    void GridResize();

    TDomainShell* Shell() const { return FShell; }

    // The exact number of candidates Generate(Mode) builds from these lists, without building them.
    TCandidateCount CandidateCount(int Mode) const;

    // The building half of Generate: replaces Candidates by every candidate of Mode. Throws EOrvantaError
    // when the run is too large for this machine.
    void BuildCandidates(int Mode);

private:
    void StartRun(bool Whois, bool Metrics);
    void OnRunFinished();

    TDomainShell* FShell = nullptr;
    TCheckRun* FRun = nullptr;
    int FWhoisFailures = 0;
};
