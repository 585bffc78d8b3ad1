#include "core/checks/RdapClient.h"

#include "core/candidates/NameRules.h"
#include "core/checks/WhoisRules.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTimer>
#include <algorithm>

namespace
{

constexpr qint64 DefaultRetryAfterMs = 10000;

TCheckFailure Reason(const QString& Text)
{
    return { Text, Text };
}

TRdapVerdict Failed(const TCheckFailure& Failure)
{
    TRdapVerdict v;
    v.Failure = Failure;
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

bool SameName(QString Reported, const QByteArray& Asked)
{
    if (Reported.endsWith(u'.'))
        Reported.chop(1);
    return !Asked.isEmpty() && Reported.compare(QString::fromLatin1(Asked), Qt::CaseInsensitive) == 0;
}

bool IsRedirect(int Status)
{
    return Status == 301 || Status == 302 || Status == 303 || Status == 307 || Status == 308;
}

} // namespace

namespace RdapReasons
{
TCheckFailure Exchange(const QString& Detail)
{
    const QString label = QStringLiteral("ошибка обмена с RDAP-сервером");
    return { label, label + QStringLiteral(": ") + Detail };
}
TCheckFailure Status(int Code)
{
    return { QStringLiteral("RDAP-сервер ответил ошибкой"), QStringLiteral("RDAP-сервер ответил кодом %1").arg(Code) };
}
TCheckFailure NotJson()
{
    return Reason(QStringLiteral("ответ RDAP-сервера — не JSON"));
}
TCheckFailure NotDomain()
{
    return Reason(QStringLiteral("ответ RDAP-сервера — не сведения о домене"));
}
TCheckFailure OtherName(const QString& Name)
{
    const QString label = QStringLiteral("RDAP-сервер ответил о другом имени");
    return { label, QStringLiteral("%1: %2").arg(label, Name.left(300)) };
}
TCheckFailure TooManyRedirects()
{
    return Reason(QStringLiteral("слишком много перенаправлений"));
}
TCheckFailure BadRedirect(const QString& Target)
{
    const QString label = QStringLiteral("перенаправление на недопустимый адрес");
    return { label, QStringLiteral("%1 %2").arg(label, Target.left(300)) };
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

TRdapVerdict JudgeRdapAnswer(const THttpAnswer& Answer, const QString& Name, const QDateTime& Now)
{
    if (Answer.Status == 429) {
        TRdapVerdict v = Failed(CheckReasons::RateLimited());
        v.Refused = true;
        v.RetryAfterMs = RetryAfterMs(Answer.Header("Retry-After"), Now);
        return v;
    }
    if (Answer.Status != 200 && Answer.Status != 404)
        return Failed(RdapReasons::Status(Answer.Status));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Answer.Body, &error);
    if (Answer.Status == 404) {
        // A web server's own error page is no registry's answer: a wrong address would call every
        // name free.
        if (!Answer.Body.trimmed().isEmpty() && (error.error != QJsonParseError::NoError || !doc.isObject()))
            return Failed(RdapReasons::NotJson());
        TRdapVerdict v;
        v.Status = TStatus::Free;
        return v;
    }
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Failed(RdapReasons::NotJson());
    const QJsonObject object = doc.object();
    if (object.value(u"objectClassName").toString() != u"domain")
        return Failed(RdapReasons::NotDomain());
    const QString reported = object.value(u"ldhName").toString();
    if (!SameName(reported, AsciiDomainName(Name)))
        return Failed(RdapReasons::OtherName(reported));
    TRdapVerdict v;
    v.Status = TStatus::Taken;
    return v;
}

TRdapQuery::TRdapQuery(const THttpLimits& Limits, QObject* parent)
    : QObject(parent)
    , FLimits(Limits)
{
}

TRdapQuery::~TRdapQuery() = default;

QUrl TRdapQuery::QueryUrl(const QString& BaseUrl, const QString& Name)
{
    const QByteArray ascii = AsciiDomainName(Name);
    if (ascii.isEmpty())
        return {};
    QByteArray base = QUrl(BaseUrl).toEncoded();
    if (!base.endsWith('/'))
        base += '/';
    return QUrl::fromEncoded(base + "domain/" + QUrl::toPercentEncoding(QString::fromLatin1(ascii)), QUrl::StrictMode);
}

THttpHeaders TRdapQuery::RequestHeaders()
{
    return { { "Accept", "application/rdap+json" } };
}

void TRdapQuery::Start(const QString& BaseUrl, const QString& Name)
{
    Abort();
    FName = Name;
    FRedirects = 0;
    FVerdict = {};
    FClock.start();
    const QUrl url = QueryUrl(BaseUrl, Name);
    if (!url.isValid()) {
        QTimer::singleShot(0, this, [this] { Finish(Failed(CheckReasons::InvalidName())); });
        return;
    }
    Get(url);
}

void TRdapQuery::Abort()
{
    if (FExchange) {
        FExchange->Abort();
        FExchange.release()->deleteLater();
    }
}

void TRdapQuery::Get(const QUrl& Url)
{
    FExchange = std::make_unique<THttpExchange>(Url, RequestHeaders(), FLimits.Remaining(FClock.elapsed()));
    connect(FExchange.get(), &THttpExchange::Finished, this, &TRdapQuery::OnAnswer);
    FExchange->Start();
}

void TRdapQuery::OnAnswer()
{
    // The exchange is done with; it goes once this signal has returned to it.
    THttpExchange* exchange = FExchange.release();
    exchange->deleteLater();
    if (exchange->Failed()) {
        Finish(Failed(RdapReasons::Exchange(exchange->Error())));
        return;
    }
    const THttpAnswer& a = exchange->Answer();
    const QByteArray location = a.Header("Location");
    if (IsRedirect(a.Status) && !location.isNull()) {
        const QUrl target = exchange->Url().resolved(QUrl::fromEncoded(location.trimmed()));
        const QString scheme = target.scheme();
        if (!target.isValid() || target.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
            Finish(Failed(RdapReasons::BadRedirect(QString::fromLatin1(location))));
            return;
        }
        if (FRedirects == MaxRedirects) {
            Finish(Failed(RdapReasons::TooManyRedirects()));
            return;
        }
        ++FRedirects;
        Get(target);
        return;
    }
    Finish(JudgeRdapAnswer(a, FName, QDateTime::currentDateTimeUtc()));
}

void TRdapQuery::Finish(const TRdapVerdict& Verdict)
{
    FVerdict = Verdict;
    Q_EMIT Finished();
}
