// The WHOIS answer judge: any answer gets one of the three verdicts.
#include "domains/DomainTypes.h"
#include "domains/WhoisClient.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const qint32 verdict = JudgeWhoisAnswer(FuzzBytes(Data, Size));
    if (verdict != StatusFree && verdict != StatusTaken && verdict != StatusUnknown)
        std::abort();
    return 0;
}
