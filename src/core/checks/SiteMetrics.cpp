#include "core/checks/SiteMetrics.h"

#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"

#include <QStringDecoder>
#include <QTimer>
#include <QUrl>
#include <tuple>

namespace
{

const QString SchemePrefix = QStringLiteral("http://");

// Removes every character up to and including the space from both ends, control characters too.
QString TrimBlanks(const QString& Text)
{
    qsizetype from = 0;
    qsizetype to = Text.size();
    while (from < to && Text.at(from).unicode() <= u' ')
        ++from;
    while (to > from && Text.at(to - 1).unicode() <= u' ')
        --to;
    return Text.mid(from, to - from);
}

// Count characters from the 1-based Position: a start below 1 counts as 1, a count of zero or less gives
// nothing, a count past the end stops there.
QString CopyText(const QString& Text, qsizetype Position, qsizetype Count)
{
    if (Position < 1)
        Position = 1;
    if (Count <= 0 || Position > Text.size())
        return {};
    return Text.mid(Position - 1, Count);
}

// The trimmed text between the first Open and the first Close, by their 1-based positions (0 when absent).
QString Between(const QString& Answer, const QString& Open, const QString& Close)
{
    const qsizetype a = Answer.indexOf(Open) + 1;
    const qsizetype b = Answer.indexOf(Close) + 1;
    return TrimBlanks(CopyText(Answer, a + Open.size(), b - a - Open.size()));
}

// A figure's marker opened and never closed after it: the page ends inside a figure.
bool EndsInsideFigure(const QString& Page)
{
    for (const auto& [open, close] : { std::pair { u"pr_", u"_pr" }, std::pair { u"tyc_", u"_tyc" } }) {
        const qsizetype at = Page.indexOf(QStringView(open));
        if (at >= 0 && Page.indexOf(QStringView(close), at + QStringView(open).size()) < 0)
            return true;
    }
    return false;
}

// The charset parameter of a Content-Type value, or empty.
QByteArray Charset(const QString& ContentType)
{
    const QStringList parts = ContentType.split(u';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString p = parts.at(i).trimmed();
        if (!p.startsWith(QStringLiteral("charset="), Qt::CaseInsensitive))
            continue;
        QString value = p.mid(8).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        return value.toLatin1();
    }
    return {};
}

QString Decode(const QByteArray& Body, const QString& ContentType)
{
    const QByteArray charset = Charset(ContentType);
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(Body);
    }
    return QString::fromUtf8(Body);
}

} // namespace

TSiteMetrics::TSiteMetrics(QObject* parent)
    : QObject(parent)
    , TIC(QStringLiteral("-1"))
    , PR(QStringLiteral("-1"))
{
    FRequest.Headers = RequestHeaders();
    connect(&FRequest, &THttpRequest::Finished, this, &TSiteMetrics::OnAnswer);
}

TSiteMetrics::~TSiteMetrics() = default;

QUrl TSiteMetrics::RequestUrl(const QString& Site)
{
    // Only what an address cannot carry is encoded, so an ordinary name is sent exactly as written.
    return QUrl::fromEncoded(QuorbelConsts::MetricsUrl().toUtf8() + QUrl::toPercentEncoding(Site, ":/"));
}

THttpHeaders TSiteMetrics::RequestHeaders()
{
    return { { "Accept", "text/html, */*" }, { "User-Agent", "Mozilla/3.0 (compatible; Indy Library)" } };
}

void TSiteMetrics::Start()
{
    Abort();
    FError.clear();
    if (TrimBlanks(Site).isEmpty()) {
        // Nothing to ask: the figures of the last lookup stay.
        QTimer::singleShot(0, this, [this] { Q_EMIT Finished(); });
        return;
    }
    if (!Site.contains(SchemePrefix))
        Site = SchemePrefix + Site;
    FRequest.Limits.TotalMs = TimeoutMs;
    FRequest.Limits.MaxBodyBytes = MaxBodyBytes;
    FRequest.Limits.MaxRedirects = MaxRedirects;
    const QUrl url = RequestUrl(Site);
    FRequest.OtherOrigin = [url](const QUrl& Target) { return SameSite(url, Target); };
    FRequest.Start(url);
}

void TSiteMetrics::Abort()
{
    FRequest.Abort();
}

bool TSiteMetrics::SameSite(const QUrl& From, const QUrl& Target)
{
    const auto bare = [](const QUrl& Url) {
        const QString host = Url.host().toLower();
        return host.startsWith(u"www.") ? host.mid(4) : host;
    };
    const int port = Target.port(-1);
    const int own = Target.scheme().toLower() == u"https" ? 443 : 80;
    return bare(From) == bare(Target) && (port == -1 || port == own || port == From.port(-1));
}

void TSiteMetrics::OnAnswer()
{
    if (FRequest.Failed()) {
        const QString& error = FRequest.Error();
        if (FRequest.RedirectFailed() && FRequest.Redirects() == MaxRedirects)
            Fail(QStringLiteral("Слишком много перенаправлений при запросе PR и ТИЦ для %1.").arg(Site));
        else
            Fail(QStringLiteral("Не удалось получить PR и ТИЦ для %1: %2").arg(Site, error));
        return;
    }
    const THttpAnswer& a = FRequest.Answer();
    if (a.Status < 200 || a.Status > 299) {
        Fail(QStringLiteral("Сервер PR и ТИЦ ответил кодом %1 на запрос для %2.").arg(a.Status).arg(Site));
        return;
    }
    const QString contentType = QString::fromLatin1(a.Header("Content-Type"));
    // Without a length to hold it against, a page that ends inside a figure was cut, not written so.
    if (!a.LengthChecked && EndsInsideFigure(Decode(a.Body, contentType))) {
        Fail(QStringLiteral("Не удалось получить PR и ТИЦ для %1: ответ сервера оборван").arg(Site));
        return;
    }
    std::tie(PR, TIC) = ParsePage(a.Body, contentType);
    Q_EMIT Finished();
}

std::pair<QString, QString> TSiteMetrics::ParsePage(const QByteArray& Body, const QString& ContentType)
{
    const QString answer = Decode(Body, ContentType);
    QString pr = Between(answer, QStringLiteral("pr_"), QStringLiteral("_pr"));
    if (pr.isEmpty())
        pr = QStringLiteral("-1");
    return { pr, Between(answer, QStringLiteral("tyc_"), QStringLiteral("_tyc")) };
}

void TSiteMetrics::Fail(const QString& Error)
{
    FError = Error;
    Q_EMIT Finished();
}
