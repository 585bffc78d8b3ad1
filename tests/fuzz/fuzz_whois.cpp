// The WHOIS answer judge: any answer, from a registry of the built-in list or a server of the user's own,
// gets a verdict, and a failure always says why.
#include "FuzzInput.h"
#include "core/checks/WhoisRules.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    static const QString Hosts[] = { u"whois.tcinet.ru"_qs, u"whois.verisign-grs.com"_qs, u"whois.pir.org"_qs,
        u"whois.nic.biz"_qs, u"whois.educause.edu"_qs, u"whois.example.net"_qs };
    static const QString Names[] = { u"redcat.ru"_qs, u"кот.рф"_qs };
    const QString& host = Hosts[Data[0] % 6];
    const QString& name = Names[(Data[0] / 6) % 2];
    const TWhoisVerdict v = JudgeWhoisAnswer(FuzzBytes(Data + 1, Size - 1), name, host);
    if (v.Status != TStatus::Free && v.Status != TStatus::Taken && v.Status != TStatus::Failed)
        std::abort();
    // A verdict comes without a reason, a failure never without one, and only a failure is a refusal.
    if ((v.Status == TStatus::Failed && v.Failure.Text.isEmpty()) || (v.Refused && v.Status != TStatus::Failed))
        std::abort();
    return 0;
}
