#pragma once

#include "core/candidates/Candidate.h"
#include "core/candidates/NameVariants.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Building the candidates of a run: every ordered choice of 2, 3 or 4 different keywords, joined, in every
// zone, keywords outermost in list order and zones innermost. With variants (TNameVariants) each choice
// gives its forms in turn, each in every zone that has it.

// A number of candidates, counted exactly in 128 bits; a count past that saturates at the largest value.
__extension__ typedef unsigned __int128 TCandidateCount;
inline constexpr TCandidateCount CandidateCountMax = ~TCandidateCount(0);

// Sums and products of counts, saturating.
inline TCandidateCount CountSum(TCandidateCount a, TCandidateCount b)
{
    TCandidateCount r = 0;
    return __builtin_add_overflow(a, b, &r) ? CandidateCountMax : r;
}

inline TCandidateCount CountProduct(TCandidateCount a, TCandidateCount b)
{
    TCandidateCount r = 0;
    return __builtin_mul_overflow(a, b, &r) ? CandidateCountMax : r;
}

// The count in decimal digits, or "более N" (N the largest count) when it saturated and so is not exact.
QString CandidateCountText(TCandidateCount Count);

// Runs with more candidates than this are confirmed by the user first: they take long and much memory.
inline constexpr quint64 LargeRunThreshold = 2000000;
// "Будет создано N доменных имен. Это может занять много времени и памяти. Продолжить?"
QString LargeRunQuestion(TCandidateCount Count);

// The exact number of candidates of Mode (0: two keywords, 1: three, 2: four) from Words and ZoneCount
// zones, without building them. Saturates at CandidateCountMax.
TCandidateCount CandidateCount(const QStringList& Words, qsizetype ZoneCount, int Mode);
// The same with Variants: the number of candidates in each of Zones, in their order, and their sum.
std::vector<TCandidateCount> ZoneCandidateCounts(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants);
TCandidateCount CandidateCount(
    const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants);

// Replaces Out by every candidate of Mode. Throws EOrvantaError when the run is too large for this
// machine's memory; Out is then empty.
void BuildCandidates(const QStringList& Words, const QStringList& Zones, int Mode, QList<TCandidate>& Out,
    const TNameVariants& Variants = TNameVariants());

// Hands every candidate BuildCandidates would build to Visit, in the same order, without keeping them:
// for writing millions of names straight to a file.
void ForEachCandidate(const QStringList& Words, const QStringList& Zones, int Mode,
    const std::function<void(const TCandidate&)>& Visit, const TNameVariants& Variants = TNameVariants());
// The keyword half of that order: Visit gets the line numbers in Words of each candidate's keywords,
// once for all its zones, first keyword outermost. For writers that build names themselves.
void ForEachKeywordTuple(const QStringList& Words, int Mode, const std::function<void(const int* Lines, int Count)>& Visit);
