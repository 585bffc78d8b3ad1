#include "domains/UPuzomer.h"

#include "app/Errors.h"
#include "consts/QuorbelConsts.h"
#include "domains/HttpExchange.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

namespace {

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

TPuzomer::TPuzomer()
    : TIC(QStringLiteral("-1"))
    , PR(QStringLiteral("-1"))
{
}

TPuzomer::~TPuzomer() = default;

QUrl TPuzomer::RequestUrl(const QString& Site)
{
    // Only what an address cannot carry is encoded, so an ordinary name is sent exactly as written.
    return QUrl::fromEncoded(QuorbelConsts::MetricsUrl().toUtf8() + QUrl::toPercentEncoding(Site, ":/"));
}

void TPuzomer::FillPuzomer()
{
    if (TrimBlanks(Site).isEmpty())
        return;
    if (!Site.contains(SchemePrefix))
        Site = SchemePrefix + Site;
    const TAnswer page = Fetch(RequestUrl(Site));
    const QString answer = Decode(page.Body, page.ContentType);
    PR = Between(answer, QStringLiteral("pr_"), QStringLiteral("_pr"));
    if (PR.isEmpty())
        PR = QStringLiteral("-1");
    TIC = Between(answer, QStringLiteral("tyc_"), QStringLiteral("_tyc"));
}

TPuzomer::TAnswer TPuzomer::Fetch(const QUrl& Url)
{
    // Redirects are followed here, one exchange per hop; the time limit covers the whole chain.
    QElapsedTimer clock;
    clock.start();
    QUrl url = Url;
    for (int redirects = 0;; ++redirects) {
        TAnswer answer = Get(url, std::max<qint64>(0, TimeoutMs - clock.elapsed()));
        const QUrl target = url.resolved(answer.Location);
        if (answer.Status >= 300 && answer.Status <= 399 && !answer.Location.isEmpty() && target.isValid()
            && (target.scheme() == u"http" || target.scheme() == u"https")) {
            if (redirects == MaxRedirects)
                throw EOrvantaError(
                    QStringLiteral("Слишком много перенаправлений при запросе PR и ТИЦ для %1.").arg(Site));
            url = target;
            continue;
        }
        if (answer.Status < 200 || answer.Status > 299)
            throw EOrvantaError(
                QStringLiteral("Сервер PR и ТИЦ ответил кодом %1 на запрос для %2.").arg(answer.Status).arg(Site));
        return answer;
    }
}

TPuzomer::TAnswer TPuzomer::Get(const QUrl& Url, qint64 TimeLeftMs)
{
    THttpLimits limits;
    limits.TotalMs = int(std::min<qint64>(TimeLeftMs, std::numeric_limits<int>::max()));
    limits.ConnectMs = std::min(limits.ConnectMs, limits.TotalMs);
    limits.MaxBodyBytes = MaxBodyBytes;
    THttpExchange exchange(Url, RequestHeaders(), limits);
    QEventLoop loop;
    QObject::connect(&exchange, &THttpExchange::Finished, &loop, &QEventLoop::quit);
    exchange.Start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (exchange.Failed())
        throw EOrvantaError(QStringLiteral("Не удалось получить PR и ТИЦ для %1: %2").arg(Site, exchange.Error()));
    const THttpAnswer& a = exchange.Answer();
    return { a.Status, QUrl::fromEncoded(a.Header("Location")), QString::fromLatin1(a.Header("Content-Type")), a.Body };
}

THttpHeaders TPuzomer::RequestHeaders()
{
    return { { "Accept", "text/html, */*" }, { "User-Agent", "Mozilla/3.0 (compatible; Indy Library)" } };
}
