// From a word list file to candidate names: keywords cleaned as the program cleans them, every name checked
// as the run checks it, and the count told before a run is the number of names built.
#include "FuzzInput.h"
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/settings/ListFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const int mode = Data[0] % 3;
    QStringList words = CleanKeywords(SplitListLines(DecodeListText(FuzzBytes(Data + 1, Size - 1))));
    // Enough words, and long enough, for every kind of repeat; few and short enough to build the names of
    // each input quickly.
    if (words.size() > 24)
        words.resize(24);
    for (QString& word : words)
        word.truncate(64);
    const QStringList zones { u"ru"_qs, u"рф"_qs };
    const TCandidateCount count = CandidateCount(words, zones.size(), mode);
    if (count > 2000)
        return 0;
    TCandidateCount built = 0;
    ForEachCandidate(words, zones, mode, [&](const TCandidate& Candidate) {
        if (!zones.contains(Candidate.Zone))
            std::abort();
        // Whatever the keywords, the name check decides without failing.
        (void)IsValidCandidateName(Candidate.Name, Candidate.Zone);
        ++built;
    });
    if (built != count)
        RoundTripDrift("candidate count differs from the names built");
    if (CandidateCountText(count).isEmpty())
        std::abort();
    return 0;
}
