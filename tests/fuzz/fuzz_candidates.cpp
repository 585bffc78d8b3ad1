// From a word list file to candidate names: keywords cleaned as the program cleans them, every name checked
// as the run checks it, and the count told before a run is the number of names built, with every choice of
// name variants.
#include "FuzzInput.h"
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/settings/ListFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2)
        return 0;
    const int mode = Data[0] % 3;
    // The second byte: the variants' switches and, in its high bits, the length limit.
    const uint8_t choice = Data[1];
    QStringList words = CleanKeywords(SplitListLines(DecodeListText(FuzzBytes(Data + 2, Size - 2))));
    // Enough words, and long enough, for every kind of repeat; few and short enough to build the names of
    // each input quickly.
    if (words.size() > 24)
        words.resize(24);
    for (QString& word : words)
        word.truncate(64);
    const QStringList zones { u"ru"_qs, u"рф"_qs, u"com"_qs };
    TNameVariants variants;
    variants.Hyphen = choice & 1;
    if (choice & 2)
        variants.Prefixes = { u"my"_qs, u"e-"_qs, u"мой"_qs };
    if (choice & 4)
        variants.Suffixes = { u"-x"_qs, u"клуб"_qs };
    variants.Translit = choice & 8;
    variants.Table = TTransliteration({ u"к:k"_qs, u"щ:shch"_qs, u"ь:"_qs, u"ы:y"_qs });
    variants.ZoneScripts = TZoneScripts({ u"ru:latin"_qs, u"рф:cyrillic"_qs, u"*:*"_qs });
    variants.MaxLength = (choice >> 4) * 4;
    const TCandidateCount count = CandidateCount(words, zones, mode, variants);
    if (count > 4000)
        return 0;
    TCandidateCount built = 0;
    ForEachCandidate(
        words, zones, mode,
        [&](const TCandidate& Candidate) {
            if (!zones.contains(Candidate.Zone))
                std::abort();
            // Whatever the keywords, the name check decides without failing.
            (void)IsValidCandidateName(Candidate.Name, Candidate.Zone);
            ++built;
        },
        variants);
    if (built != count)
        RoundTripDrift("candidate count differs from the names built");
    if (!variants.Any() && count != CandidateCount(words, zones.size(), mode))
        RoundTripDrift("candidate count without variants differs");
    if (CandidateCountText(count).isEmpty())
        std::abort();
    return 0;
}
