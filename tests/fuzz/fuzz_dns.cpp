// The NS answer judge: any message, whatever a resolver or a stranger sends, gets one of the three answers,
// and the letter case of the name asked never changes it.
#include "FuzzInput.h"
#include "core/checks/DnsLookup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    static const QByteArray Names[][2] = { { "redcat.ru", "RedCat.RU" },
        { "xn--j1aim.xn--p1ai", "XN--J1AIM.xn--P1AI." }, { "a.b.example", "A.B.EXAMPLE" }, { "ru", "RU." } };
    const auto& name = Names[Data[0] % 4];
    const QByteArray message = FuzzBytes(Data + 1, Size - 1);
    const TNsAnswer answer = JudgeNsAnswer(message, name[0]);
    if (answer != TNsAnswer::Delegated && answer != TNsAnswer::Undelegated && answer != TNsAnswer::None)
        std::abort();
    if (JudgeNsAnswer(message, name[1]) != answer)
        RoundTripDrift("the letter case of the name asked changed the answer");
    return 0;
}
