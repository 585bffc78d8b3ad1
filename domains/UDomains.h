#pragma once

#include "domains/DomainTypes.h"
#include "domains/UPuzomer.h"
#include "domains/WhoisClient.h"

#include <QList>
#include <QStringList>
#include <functional>

class TDomainShell;

// A number of candidates, counted exactly in 128 bits; a count past that saturates at the largest value.
__extension__ typedef unsigned __int128 TCandidateCount;
inline constexpr TCandidateCount CandidateCountMax = ~TCandidateCount(0);

// The count in decimal digits, or "более N" (N the largest count) when it saturated and so is not exact.
QString CandidateCountText(TCandidateCount Count);

// Runs with more candidates than this are confirmed by the user first: they take long and much memory.
inline constexpr quint64 LargeRunThreshold = 2000000;
// "Будет создано N доменных имен. Это может занять много времени и памяти. Продолжить?"
QString LargeRunQuestion(TCandidateCount Count);

// The domain engine: the input lists of a run, the candidate list it builds, and the run stages that
// check, measure and show the candidates. Reaches the window only through TDomainShell.
class TDomain {
public:
    explicit TDomain(TDomainShell* Shell = nullptr);
    ~TDomain();
    TDomain(const TDomain&) = delete;
    TDomain& operator=(const TDomain&) = delete;

    QList<TDomainList> Domens;
    TPuzomer Puzomer;
    QStringList FirstDomains;
    QStringList Words;
    QStringList WhoisSRV;
    QList<TDomeinAssociateSRV> DomainWhoisAssoc;

    // The WHOIS port, 43 in the program; tests and the batch tool point the check at their own servers.
    quint16 WhoisPort = 43;
    TWhoisLimits WhoisLimits;

    void FillWordList(const QStringList& List);
    void FillWhoisList(const QStringList& List);
    void FillFirstDomainList(const QStringList& List);

    // One run: builds the candidates for Mode (0: two keywords, 1: three, 2: four), then the run stages.
    void Generate(int Mode);

    // The exact number of candidates Generate(Mode) builds from these lists, without building them.
    // Saturates at CandidateCountMax.
    static TCandidateCount CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode);
    TCandidateCount CandidateCount(int Mode) const { return CandidateCount(Words, FirstDomains.size(), Mode); }

    // Hands every candidate Generate(Mode) would build from these lists to Visit, in the same order,
    // without keeping them: for writing millions of names straight to a file.
    static void ForEachCandidate(const QStringList& Words, const QStringList& Zones, int Mode,
        const std::function<void(const TDomainList&)>& Visit);

    // True while Generate runs: commands that would change the lists or the grid wait for its end.
    bool Running() const { return FRunning; }

    // Rebuilds DomainWhoisAssoc from WhoisSRV.
    void FillSRVAssoc();
    // The WHOIS server for the zone FDN (letter case ignored), else the "*" default, else empty.
    QString GetAssocWhoisSRV(const QString& FDN) const;
    // Sets every candidate's Status from its WHOIS answer when the check switch is on; failed queries
    // get -1 and one summary message at the end.
    void CheckRegister();
    // How many queries of the last check failed.
    int WhoisFailures() const { return FWhoisFailures; }
    // Fetches PR and ТИЦ for every candidate; the first failed lookup ends it with EOrvantaError.
    void GetPuzomer();

    void FillHeader();
    void CleanGrid(bool Fast);
    void FillGridData();
    void GridResize();

    TDomainShell* Shell() const { return FShell; }

private:
    // The building half of Generate.
    void BuildCandidates(int Mode);
    // The stages after building: progress, checks, grid.
    void RunStages();
    // The per-candidate step of both lookups: advance the bar, let events run; false when a stop was asked.
    bool NextCandidate();

    TDomainShell* FShell = nullptr;
    bool FRunning = false;
    int FWhoisFailures = 0;
};
