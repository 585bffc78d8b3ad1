#include "domains/UPuzomer.h"

#include "app/Errors.h"
#include "consts/QuorbelConsts.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <limits>

#include <tuple>

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
    : IDReq(std::make_unique<QNetworkAccessManager>())
    , TIC(QStringLiteral("-1"))
    , PR(QStringLiteral("-1"))
{
    // Redirects are followed by Fetch, up to MaxRedirects.
    IDReq->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
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
    std::tie(PR, TIC) = ParsePage(page.Body, page.ContentType);
}

std::pair<QString, QString> TPuzomer::ParsePage(const QByteArray& Body, const QString& ContentType)
{
    const QString answer = Decode(Body, ContentType);
    QString pr = Between(answer, QStringLiteral("pr_"), QStringLiteral("_pr"));
    if (pr.isEmpty())
        pr = QStringLiteral("-1");
    return { pr, Between(answer, QStringLiteral("tyc_"), QStringLiteral("_tyc")) };
}

TPuzomer::TAnswer TPuzomer::Fetch(const QUrl& Url)
{
    // Redirects are followed here rather than inside Qt, which sends some redirected requests twice over
    // a kept-alive connection; the time limit covers the whole chain.
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
    QNetworkRequest request(Url);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);

    std::unique_ptr<QNetworkReply> reply(IDReq->get(request));
    TAnswer answer;
    bool tooLarge = false;
    bool timedOut = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply.get(), [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
        answer.Body += reply->read(MaxBodyBytes + 1 - answer.Body.size());
        if (answer.Body.size() > MaxBodyBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(int(std::min<qint64>(TimeLeftMs, std::numeric_limits<int>::max())));
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    timer.stop();

    if (timedOut)
        throw EOrvantaError(QStringLiteral("Сервер PR и ТИЦ не ответил за %1 с на запрос для %2.")
                                .arg(QString::number(double(TimeoutMs) / 1000.0), Site));
    if (!tooLarge)
        answer.Body += reply->read(MaxBodyBytes + 1 - answer.Body.size());
    if (tooLarge || answer.Body.size() > MaxBodyBytes)
        throw EOrvantaError(
            QStringLiteral("Ответ сервера PR и ТИЦ для %1 длиннее %2 байт.").arg(Site).arg(MaxBodyBytes));
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    // Qt reports an HTTP error status as a network error too; the status decides those.
    if (!status.isValid() || (reply->error() != QNetworkReply::NoError && status.toInt() >= 200 && status.toInt() <= 399))
        throw EOrvantaError(QStringLiteral("Не удалось получить PR и ТИЦ для %1: %2").arg(Site, reply->errorString()));
    answer.Status = status.toInt();
    answer.Location = QUrl::fromEncoded(reply->rawHeader("Location"));
    answer.ContentType = reply->header(QNetworkRequest::ContentTypeHeader).toString();
    return answer;
}
