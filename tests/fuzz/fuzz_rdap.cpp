// The RDAP side: any bootstrap list is read or refused with a reason, and a list read always answers a
// zone with plain http(s) base URLs ending in "/" or nothing; any answer, with any status, headers, body
// and server it came from, gets a verdict: "free" only on a not-found form for the very name asked from a
// server the list names, "taken" only for that very name, and a failure always says why.
#include "FuzzInput.h"
#include "core/candidates/NameRules.h"
#include "core/checks/RdapBootstrap.h"
#include "core/checks/RdapClient.h"
#include "core/common/Errors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

namespace
{

const QString Base = u"https://rdap.example/v1/"_qs;
const QString Listed = u"https://rdap2.example/"_qs;

void Bootstrap(const QByteArray& Json)
{
    try {
        const TRdapBootstrap list = TRdapBootstrap::Parse(Json);
        for (const QString& zone : { u"com"_qs, u"co.uk"_qs, u"рф"_qs, u"xn--p1ai"_qs, u"a.b.c.d"_qs, u""_qs }) {
            for (const QString& base : list.BaseUrlsFor(zone)) {
                const QUrl url(base);
                if (!base.endsWith(u'/') || !(base.startsWith(u"https://") || base.startsWith(u"http://"))
                    || url.hasQuery() || url.hasFragment())
                    std::abort();
            }
            if (list.BaseUrlFor(zone) != list.BaseUrlsFor(zone).value(0))
                std::abort();
        }
    } catch (const EOrvantaError& e) {
        if (e.Message().isEmpty())
            std::abort();
    }
}

bool SaysReserved(const QJsonObject& Object)
{
    // Texts apart, so that no phrase is made across two of them; "available for registration" alone says
    // free, only its negations say held back.
    QString text = Object.value(u"title").toString() + u'\n' + Object.value(u"description").toString();
    for (const QJsonValue& line : Object.value(u"description").toArray())
        text += u'\n' + line.toString();
    for (const char16_t* word : { u"reserved", u"blocked", u"not available for registration",
             u"unavailable for registration", u"not available to register", u"cannot be registered" })
        if (text.contains(QStringView(word), Qt::CaseInsensitive))
            return true;
    return false;
}

// The name a domain object names is the one asked, by its ASCII form (or a Unicode form of it).
bool NamesAsked(const QJsonObject& Object, const QString& Name)
{
    const QByteArray asked = AsciiDomainName(Name).toLower();
    bool named = false;
    for (const char16_t* key : { u"ldhName", u"unicodeName" }) {
        const QJsonValue value = Object.value(QStringView(key));
        if (value.isUndefined())
            continue;
        QString text = value.toString().trimmed();
        if (text.endsWith(u'.'))
            text.chop(1);
        if (QUrl::toAce(text).toLower() != asked)
            return false;
        named = true;
    }
    return named;
}

void Verdict(uint8_t Shape, uint8_t Headers, const QByteArray& Body)
{
    static const int Statuses[] = { 200, 404, 429, 403, 503, 500, 301, 204 };
    static const QString Names[] = { u"redcat.com"_qs, u"кот.рф"_qs };
    static const QString Urls[] = { Base + u"domain/x"_qs, Listed + u"domain/x"_qs, u"https://gateway.example/x"_qs,
        u"http://rdap.example/v1/x"_qs };
    static const QByteArray Types[] = { "application/rdap+json", "application/json; charset=utf-8", "text/html", {} };
    THttpAnswer a;
    a.Status = Statuses[Shape % 8];
    const QString& name = Names[(Shape / 8) % 2];
    a.Url = QUrl(Urls[Headers % 4]);
    const QByteArray type = Types[(Headers / 4) % 4];
    if (!type.isNull())
        a.Headers.append({ "Content-Type", type });
    if ((Headers / 16) % 2)
        a.Headers.append({ "Content-Length", QByteArray::number(Body.size()) });
    // The body's first line doubles as a Retry-After value.
    a.Headers.append({ "Retry-After", Body.left(Body.indexOf('\n')) });
    a.Body = Body;
    const TRdapVerdict v
        = JudgeRdapAnswer(a, name, { Base, Listed }, QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC));
    if ((v.Status == TStatus::Failed && v.Failure.Text.isEmpty()) || (v.Refused && v.Status != TStatus::Failed))
        std::abort();
    if (v.RetryAfterMs < 0 || (v.Refused && a.Status != 429 && a.Status != 403 && a.Status != 503))
        std::abort();
    if (v.Status == TStatus::Failed)
        return;
    // A verdict comes only from a server the list names, and is credited to it.
    const bool fromListed = (Headers % 4) < 2;
    if (!fromListed || v.Server != ((Headers % 4) == 0 ? Base : Listed))
        std::abort();
    const QJsonDocument doc = QJsonDocument::fromJson(Body);
    const QJsonObject o = doc.object();
    if (v.Status == TStatus::Free) {
        const QByteArray media = type.split(';').constFirst();
        if (a.Status != 404 || (media != "application/rdap+json" && media != "application/json"))
            std::abort();
        const bool emptyWithLength = Body.trimmed().isEmpty() && a.Header("Content-Length").trimmed() == "0";
        const bool errorObject = doc.isObject() && !o.contains(u"objectClassName")
            && (o.value(u"errorCode").toDouble() == 404 || o.value(u"rdapConformance").isArray());
        if (!emptyWithLength && !errorObject)
            std::abort();
        if (errorObject && SaysReserved(o))
            std::abort();
        return;
    }
    // Taken: the record of that very name, or the registry's word that it is held back.
    if (a.Status == 200 && (o.value(u"objectClassName").toString() != u"domain" || !NamesAsked(o, name)))
        std::abort();
    if (a.Status == 404 && (!doc.isObject() || !SaysReserved(o)))
        std::abort();
    if (a.Status != 200 && a.Status != 404)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2)
        return 0;
    if (Data[0] & 0x80) {
        Bootstrap(FuzzBytes(Data + 1, Size - 1));
        return 0;
    }
    Verdict(Data[0], Data[1], FuzzBytes(Data + 2, Size - 2));
    return 0;
}
