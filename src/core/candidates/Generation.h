#pragma once

#include "core/candidates/Candidate.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Building the candidates of a run: every ordered choice of 2, 3 or 4 different keywords, joined, in every
// zone, keywords outermost in list order and zones innermost.

// A number of candidates, counted exactly in 128 bits; a count past that saturates at the largest value.
__extension__ typedef unsigned __int128 TCandidateCount;
inline constexpr TCandidateCount CandidateCountMax = ~TCandidateCount(0);

// The count in decimal digits, or "более N" (N the largest count) when it saturated and so is not exact.
QString CandidateCountText(TCandidateCount Count);

// Runs with more candidates than this are confirmed by the user first: they take long and much memory.
inline constexpr quint64 LargeRunThreshold = 2000000;
// "Будет создано N доменных имен. Это может занять много времени и памяти. Продолжить?"
QString LargeRunQuestion(TCandidateCount Count);

// The exact number of candidates of Mode (0: two keywords, 1: three, 2: four) from Words and ZoneCount
// zones, without building them. Saturates at CandidateCountMax.
TCandidateCount CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode);

// Replaces Out by every candidate of Mode. Throws EOrvantaError when the run is too large for this
// machine's memory; Out is then empty.
void BuildCandidates(const QStringList& Words, const QStringList& Zones, int Mode, QList<TCandidate>& Out);

// Hands every candidate BuildCandidates would build to Visit, in the same order, without keeping them:
// for writing millions of names straight to a file.
void ForEachCandidate(const QStringList& Words, const QStringList& Zones, int Mode,
    const std::function<void(const TCandidate&)>& Visit);
// The keyword half of that order: Visit gets the line numbers in Words of each candidate's keywords,
// once for all its zones, first keyword outermost. For writers that build names themselves.
void ForEachKeywordTuple(const QStringList& Words, int Mode, const std::function<void(const int* Lines, int Count)>& Visit);
