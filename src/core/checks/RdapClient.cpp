#include "core/checks/RdapClient.h"

#include "core/candidates/NameRules.h"
#include "core/checks/WhoisRules.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>
#include <algorithm>

namespace
{

constexpr qint64 DefaultRetryAfterMs = 10000;

// What an error object says when the name exists in the registry's eyes but cannot be had.
const char16_t* const ReservedPhrases[] = {
    u"reserved",
    u"blocked",
    u"not available for registration",
    u"unavailable for registration",
    u"not available to register",
    u"cannot be registered",
};

// What a 403 or 503 says when the client asked too often.
const char16_t* const RefusalPhrases[] = { u"exceeded", u"too many", u"rate limit" };

TCheckFailure Reason(const QString& Text)
{
    return { Text, Text };
}

// A reason counted under Label, with what the user needs to see beside it.
TCheckFailure WithDetail(const QString& Label, const QString& Detail)
{
    return { Label, QStringLiteral("%1: %2").arg(Label, Detail.left(300)) };
}

TRdapVerdict Failed(const TCheckFailure& Failure, const QString& Server = {})
{
    TRdapVerdict v;
    v.Failure = Failure;
    v.Server = Server;
    return v;
}

TRdapVerdict Verdict(TStatus Status, const QString& Server, const TCheckFailure& Reason = {})
{
    TRdapVerdict v;
    v.Status = Status;
    v.Server = Server;
    v.Failure = Reason;
    return v;
}

// An HTTP date in any of its three forms (RFC 9110, 5.6.7); invalid when it is none of them.
QDateTime HttpDate(const QString& Text)
{
    // "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov 6 08:49:37 1994". The day
    // of the week goes first: it says nothing the date does not, and a two-digit year would not match it.
    const QString text = Text.simplified().section(u' ', 1);
    const QLocale c = QLocale::c();
    static const char* const Forms[]
        = { "dd MMM yyyy HH:mm:ss 'GMT'", "dd-MMM-yy HH:mm:ss 'GMT'", "MMM d HH:mm:ss yyyy" };
    for (const char* form : Forms) {
        QDateTime t = c.toDateTime(text, QString::fromLatin1(form));
        if (!t.isValid())
            continue;
        t.setTimeSpec(Qt::UTC);
        // Two-digit years of the old form: the nearer century.
        if (t.date().year() < 1970)
            t = t.addYears(100);
        return t;
    }
    return {};
}

template <typename TPhrases> bool ContainsAny(const QString& Text, const TPhrases& Phrases)
{
    return std::any_of(std::begin(Phrases), std::end(Phrases),
        [&Text](const char16_t* p) { return Text.contains(QString::fromUtf16(p), Qt::CaseInsensitive); });
}

bool IsJsonType(const QByteArray& ContentType)
{
    const QByteArray type = ContentType.split(';').constFirst().trimmed().toLower();
    return type == "application/rdap+json" || type == "application/json";
}

// The base URL of BaseUrls whose origin Url is on; empty when none.
QString ServerOf(const QUrl& Url, const QStringList& BaseUrls)
{
    for (const QString& base : BaseUrls)
        if (SameOrigin(QUrl(base), Url))
            return base;
    return {};
}

// The texts of an error object's title and description (a list of lines, or one line).
QString ErrorTexts(const QJsonObject& Object)
{
    QStringList texts { Object.value(u"title").toString() };
    const QJsonValue description = Object.value(u"description");
    if (description.isString())
        texts << description.toString();
    for (const QJsonValue& line : description.toArray())
        texts << line.toString();
    return texts.join(u'\n');
}

// A 404 from the right server, as RDAP JSON: free, unless the registry says the name is held back.
TRdapVerdict JudgeNotFound(const THttpAnswer& Answer, const QString& Server)
{
    const QByteArray type = Answer.Header("Content-Type");
    if (!IsJsonType(type))
        return Failed(RdapReasons::NotRdap(type), Server);
    if (Answer.Body.trimmed().isEmpty()) {
        // Without a length an empty body cannot be told from a connection that broke after the head.
        if (Answer.Header("Content-Length").trimmed() != "0")
            return Failed(RdapReasons::UnframedEmpty(), Server);
        return Verdict(TStatus::Free, Server);
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Answer.Body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Failed(RdapReasons::NotJson(), Server);
    const QJsonObject object = doc.object();
    // An error object names its code, or at least the RDAP it conforms to; anything else is some other
    // service's "not found" (a gateway's, a web framework's).
    const QJsonValue code = object.value(u"errorCode");
    const bool rdapMark = code.isDouble() || object.value(u"rdapConformance").isArray();
    if (object.contains(u"objectClassName") || !rdapMark || (!code.isUndefined() && code.toDouble() != 404))
        return Failed(RdapReasons::NotErrorObject(), Server);
    if (ContainsAny(ErrorTexts(object), ReservedPhrases))
        return Verdict(TStatus::Taken, Server, RdapReasons::Reserved());
    return Verdict(TStatus::Free, Server);
}

// A 200 from the right server: taken when it is the domain object of that very name.
TRdapVerdict JudgeFound(const THttpAnswer& Answer, const QString& Name, const QString& Server)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Answer.Body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Failed(RdapReasons::NotJson(), Server);
    const QJsonObject object = doc.object();
    if (object.value(u"objectClassName").toString() != u"domain")
        return Failed(RdapReasons::NotDomain(), Server);
    // Either form may name it; neither may name another.
    bool same = false;
    for (const char16_t* key : { u"ldhName", u"unicodeName" }) {
        const QJsonValue value = object.value(QStringView(key));
        if (value.isUndefined())
            continue;
        if (!IsSameDomainName(value.toString(), Name))
            return Failed(RdapReasons::OtherName(value.toString()), Server);
        same = true;
    }
    if (!same)
        return Failed(RdapReasons::OtherName(QString()), Server);
    return Verdict(TStatus::Taken, Server);
}

} // namespace

namespace RdapReasons
{
TCheckFailure Exchange(const QString& Detail)
{
    return WithDetail(QStringLiteral("ошибка обмена с RDAP-сервером"), Detail);
}
TCheckFailure Status(int Code)
{
    return { QStringLiteral("RDAP-сервер ответил ошибкой"), QStringLiteral("RDAP-сервер ответил кодом %1").arg(Code) };
}
TCheckFailure NotJson()
{
    return Reason(QStringLiteral("ответ RDAP-сервера — не JSON"));
}
TCheckFailure NotRdap(const QByteArray& ContentType)
{
    return WithDetail(QStringLiteral("ответ RDAP-сервера — не RDAP"),
        QStringLiteral("тип «%1»").arg(QString::fromLatin1(ContentType)));
}
TCheckFailure NotDomain()
{
    return Reason(QStringLiteral("ответ RDAP-сервера — не сведения о домене"));
}
TCheckFailure NotErrorObject()
{
    return Reason(QStringLiteral("ответ RDAP-сервера — не сообщение RDAP об ошибке"));
}
TCheckFailure UnframedEmpty()
{
    return Reason(QStringLiteral("пустой ответ RDAP-сервера без указанной длины"));
}
TCheckFailure OtherName(const QString& Name)
{
    return WithDetail(QStringLiteral("RDAP-сервер ответил о другом имени"), Name);
}
TCheckFailure OtherServer(const QUrl& Url)
{
    return WithDetail(QStringLiteral("ответ не от сервера реестра"),
        Url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toDisplayString());
}
TCheckFailure Reserved()
{
    return Reason(QStringLiteral("зарезервировано реестром"));
}
TCheckFailure BadBase(const QString& BaseUrl)
{
    return WithDetail(QStringLiteral("неверный адрес RDAP-сервера"), BaseUrl);
}
TCheckFailure Redirect(const QString& Detail)
{
    const QString label = QStringLiteral("недопустимое перенаправление");
    return { label, Detail };
}
TCheckFailure WaitTooLong(qint64 Ms)
{
    const TCheckFailure limited = CheckReasons::RateLimited();
    return { limited.Label,
        QStringLiteral("%1: сервер просит подождать %2 с").arg(limited.Text).arg((Ms + 999) / 1000) };
}
} // namespace RdapReasons

qint64 RetryAfterMs(const QByteArray& Value, const QDateTime& Now)
{
    const QByteArray value = Value.trimmed();
    if (value.isEmpty())
        return DefaultRetryAfterMs;
    bool digits = true;
    for (char c : value)
        digits = digits && c >= '0' && c <= '9';
    if (digits) {
        // Past a year it makes no difference: the pause is capped by the caller.
        return value.size() > 8 ? qint64(366) * 24 * 3600 * 1000 : value.toLongLong() * 1000;
    }
    const QDateTime at = HttpDate(QString::fromLatin1(value));
    if (!at.isValid())
        return DefaultRetryAfterMs;
    return std::max<qint64>(0, Now.msecsTo(at));
}

TRdapVerdict JudgeRdapAnswer(
    const THttpAnswer& Answer, const QString& Name, const QStringList& BaseUrls, const QDateTime& Now)
{
    const QString server = ServerOf(Answer.Url, BaseUrls);
    if (server.isEmpty())
        return Failed(RdapReasons::OtherServer(Answer.Url));
    const QByteArray retryAfter = Answer.Header("Retry-After");
    const bool tooMany = Answer.Status == 429
        || ((Answer.Status == 403 || Answer.Status == 503)
            && (!retryAfter.isNull() || ContainsAny(QString::fromUtf8(Answer.Body), RefusalPhrases)));
    if (tooMany) {
        TRdapVerdict v = Failed(CheckReasons::RateLimited(), server);
        v.Refused = true;
        v.RetryAfterMs = RetryAfterMs(retryAfter, Now);
        return v;
    }
    if (Answer.Status == 404)
        return JudgeNotFound(Answer, server);
    if (Answer.Status == 200)
        return JudgeFound(Answer, Name, server);
    return Failed(RdapReasons::Status(Answer.Status), server);
}

TRdapQuery::TRdapQuery(const THttpLimits& Limits, QObject* parent)
    : QObject(parent)
{
    FRequest.Limits = Limits;
    FRequest.Limits.MaxRedirects = MaxRedirects;
    FRequest.Headers = RequestHeaders();
    // Another server the bootstrap list names for the zone may take over; no other.
    FRequest.OtherOrigin = [this](const QUrl& Target) { return !ServerOf(Target, FBases).isEmpty(); };
    connect(&FRequest, &THttpRequest::Finished, this, &TRdapQuery::OnAnswer);
}

TRdapQuery::~TRdapQuery() = default;

QUrl TRdapQuery::QueryUrl(const QString& BaseUrl, const QString& Name)
{
    const QByteArray ascii = AsciiDomainName(Name);
    const QUrl base(BaseUrl, QUrl::StrictMode);
    const QString scheme = base.scheme().toLower();
    if (ascii.isEmpty() || !base.isValid() || base.host().isEmpty() || base.hasQuery() || base.hasFragment()
        || (scheme != u"http" && scheme != u"https"))
        return {};
    QByteArray path = base.toEncoded();
    if (!path.endsWith('/'))
        path += '/';
    return QUrl::fromEncoded(path + "domain/" + QUrl::toPercentEncoding(QString::fromLatin1(ascii)), QUrl::StrictMode);
}

THttpHeaders TRdapQuery::RequestHeaders()
{
    return { { "Accept", "application/rdap+json" } };
}

void TRdapQuery::Start(const QString& BaseUrl, const QString& Name, const QStringList& OtherBases)
{
    Abort();
    FName = Name;
    FBases = QStringList { BaseUrl } + OtherBases;
    FVerdict = {};
    const QUrl url = QueryUrl(BaseUrl, Name);
    if (!url.isValid()) {
        const TCheckFailure why
            = AsciiDomainName(Name).isEmpty() ? CheckReasons::InvalidName() : RdapReasons::BadBase(BaseUrl);
        QTimer::singleShot(0, this, [this, why] { Finish(Failed(why)); });
        return;
    }
    FRequest.Start(url);
}

void TRdapQuery::Abort()
{
    FRequest.Abort();
}

void TRdapQuery::OnAnswer()
{
    if (FRequest.Failed()) {
        const QString& error = FRequest.Error();
        Finish(Failed(FRequest.RedirectFailed() ? RdapReasons::Redirect(error) : RdapReasons::Exchange(error)));
        return;
    }
    Finish(JudgeRdapAnswer(FRequest.Answer(), FName, FBases, QDateTime::currentDateTimeUtc()));
}

void TRdapQuery::Finish(const TRdapVerdict& Verdict)
{
    FVerdict = Verdict;
    Q_EMIT Finished();
}
