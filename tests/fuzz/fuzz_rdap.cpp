// The RDAP side: any bootstrap list is read or refused with a reason, and a list read always answers a
// zone with an http(s) base URL ending in "/" or nothing; any answer body, with any status and Retry-After,
// gets a verdict, "taken" only for the very name asked, and a failure always says why.
#include "FuzzInput.h"
#include "core/candidates/NameRules.h"
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RdapClient.h"
#include "core/common/Errors.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace
{

void Bootstrap(const QByteArray& Json)
{
    try {
        const TRdapBootstrap list = TRdapBootstrap::Parse(Json);
        for (const QString& zone : { u"com"_qs, u"co.uk"_qs, u"рф"_qs, u"xn--p1ai"_qs, u"a.b.c.d"_qs, u""_qs }) {
            const QString base = list.BaseUrlFor(zone);
            if (!base.isEmpty()
                && (!base.endsWith(u'/') || !(base.startsWith(u"https://") || base.startsWith(u"http://"))))
                std::abort();
        }
    } catch (const EOrvantaError& e) {
        if (e.Message().isEmpty())
            std::abort();
    }
}

void Verdict(uint8_t Selector, const QByteArray& Body)
{
    static const int Statuses[] = { 200, 404, 429, 500, 301, 204 };
    static const QString Names[] = { u"redcat.com"_qs, u"кот.рф"_qs };
    THttpAnswer a;
    a.Status = Statuses[Selector % 6];
    const QString& name = Names[(Selector / 6) % 2];
    // The body's first line doubles as a Retry-After value.
    a.Headers.append({ "Retry-After", Body.left(Body.indexOf('\n')) });
    a.Body = Body;
    const TRdapVerdict v = JudgeRdapAnswer(a, name, QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC));
    if ((v.Status == TStatus::Failed && v.Failure.Text.isEmpty()) || (v.Refused && v.Status != TStatus::Failed))
        std::abort();
    if (v.RetryAfterMs < 0 || (v.Refused && a.Status != 429))
        std::abort();
    if (v.Status == TStatus::Free && a.Status != 404)
        std::abort();
    if (v.Status == TStatus::Taken) {
        const QJsonObject o = QJsonDocument::fromJson(Body).object();
        QString reported = o.value(u"ldhName").toString();
        if (reported.endsWith(u'.'))
            reported.chop(1);
        if (a.Status != 200 || o.value(u"objectClassName").toString() != u"domain"
            || reported.compare(QString::fromLatin1(AsciiDomainName(name)), Qt::CaseInsensitive) != 0)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 1)
        return 0;
    const QByteArray bytes = FuzzBytes(Data + 1, Size - 1);
    if (Data[0] & 0x80)
        Bootstrap(bytes);
    else
        Verdict(Data[0], bytes);
    return 0;
}
