#pragma once

#include "domains/DomainTypes.h"

#include <QList>
#include <QStringList>

class TDomainShell;

// The domain engine: the input lists of a run, the candidate list it builds, and the run stages that
// check, measure and show the candidates. Reaches the window only through TDomainShell.
class TDomain {
public:
    explicit TDomain(TDomainShell* Shell = nullptr);
    ~TDomain();
    TDomain(const TDomain&) = delete;
    TDomain& operator=(const TDomain&) = delete;

    QList<TDomainList> Domens;
    QStringList FirstDomains;
    QStringList Words;
    QStringList WhoisSRV;
    QList<TDomeinAssociateSRV> DomainWhoisAssoc;

    void FillWordList(const QStringList& List);
    void FillWhoisList(const QStringList& List);
    void FillFirstDomainList(const QStringList& List);

    // One run: builds the candidates for Mode (0: two keywords, 1: three, 2: four), then the run stages.
    void Generate(int Mode);

    // The exact number of candidates Generate(Mode) builds from these lists, without building them.
    // Saturates at the largest quint64.
    static quint64 CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode);
    quint64 CandidateCount(int Mode) const { return CandidateCount(Words, FirstDomains.size(), Mode); }

    // True while Generate runs: commands that would change the lists or the grid wait for its end.
    bool Running() const { return FRunning; }

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

    TDomainShell* FShell = nullptr;
    bool FRunning = false;
};
