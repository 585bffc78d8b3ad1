#include "core/checks/HttpRequest.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QSslError>
#include <QSslSocket>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <mutex>

namespace
{

QString Seconds(int Ms)
{
    return QString::number(double(Ms) / 1000.0);
}

bool IsRedirect(int Status)
{
    return Status == 301 || Status == 302 || Status == 303 || Status == 307 || Status == 308;
}

// Qt turns 4xx and 5xx statuses into errors of these groups; the answer itself still came whole.
bool IsStatusError(QNetworkReply::NetworkError Error)
{
    const int e = int(Error);
    return (e >= 201 && e <= 299) || (e >= 401 && e <= 499) || Error == QNetworkReply::ProtocolInvalidOperationError;
}

// A host that names this machine or a private network: a literal address in those ranges, or
// "localhost" and its subdomains.
bool IsLocalHost(const QString& Host)
{
    const QString host = Host.toLower();
    if (host == u"localhost" || host.endsWith(u".localhost"))
        return true;
    QHostAddress address;
    if (!address.setAddress(host))
        return false;
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped) {
        static const std::pair<quint32, int> Ranges[] = { { 0x00000000, 8 }, { 0x0a000000, 8 }, { 0x64400000, 10 },
            { 0x7f000000, 8 }, { 0xa9fe0000, 16 }, { 0xac100000, 12 }, { 0xc0a80000, 16 } };
        return std::any_of(std::begin(Ranges), std::end(Ranges),
            [v4](const std::pair<quint32, int>& r) { return (v4 >> (32 - r.second)) == (r.first >> (32 - r.second)); });
    }
    return address.isLoopback() || address.isLinkLocal() || address.isUniqueLocalUnicast() || address.isSiteLocal()
        || address == QHostAddress::AnyIPv6;
}

// The Content-Length values of an answer, one per header (Qt joins repeated headers with commas).
QList<QByteArray> LengthValues(const THttpAnswer& Answer)
{
    QList<QByteArray> out;
    const QByteArray joined = Answer.Header("Content-Length");
    if (joined.isNull())
        return out;
    for (const QByteArray& part : joined.split(','))
        out << part.trimmed();
    return out;
}

} // namespace

QByteArray THttpAnswer::Header(const QByteArray& Name) const
{
    QByteArray out;
    for (const auto& [name, value] : Headers) {
        if (name.compare(Name, Qt::CaseInsensitive) != 0)
            continue;
        out = out.isNull() ? value : out + ", " + value;
    }
    return out;
}

QString AmbiguousFraming(const THttpAnswer& Answer)
{
    const QList<QByteArray> lengths = LengthValues(Answer);
    if (lengths.isEmpty())
        return {};
    if (!Answer.Header("Transfer-Encoding").isNull())
        return QStringLiteral("ответ сервера указывает и длину, и блочную передачу");
    for (const QByteArray& value : lengths) {
        const bool digits = !value.isEmpty()
            && std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits || value.size() > 18 || value.toLongLong() != lengths.first().toLongLong())
            return QStringLiteral("длина ответа сервера противоречива");
    }
    return {};
}

bool BodyCutShort(const THttpAnswer& Answer, qint64 Received)
{
    // A head without a body of its own says nothing about the bytes that follow.
    if (Answer.Status < 200 || Answer.Status == 204 || Answer.Status == 304)
        return false;
    const QList<QByteArray> lengths = LengthValues(Answer);
    if (!lengths.isEmpty())
        return Received < lengths.first().toLongLong();
    // Qt reads a chunk size it cannot parse as the last chunk, and a connection closed before the first
    // chunk as no chunks: an empty chunked body is one of those far more often than a real one.
    return Received == 0 && Answer.Header("Transfer-Encoding").toLower().contains("chunked");
}

bool SameOrigin(const QUrl& A, const QUrl& B)
{
    const QString scheme = A.scheme().toLower();
    const int port = scheme == u"https" ? 443 : 80;
    return scheme == B.scheme().toLower() && A.host().compare(B.host(), Qt::CaseInsensitive) == 0
        && A.port(port) == B.port(port);
}

QString RedirectRefusal(
    const QUrl& First, const QUrl& From, const QUrl& Target, const std::function<bool(const QUrl&)>& OtherOrigin)
{
    const QString shown = Target.toDisplayString().left(300);
    const QString scheme = Target.scheme().toLower();
    if (!Target.isValid() || Target.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return QStringLiteral("перенаправление на недопустимый адрес %1").arg(shown);
    if (From.scheme().toLower() == u"https" && scheme == u"http")
        return QStringLiteral("перенаправление с защищенного соединения на незащищенное: %1").arg(shown);
    if (IsLocalHost(Target.host()) && !IsLocalHost(First.host()))
        return QStringLiteral("перенаправление на локальный адрес %1").arg(shown);
    if (!SameOrigin(First, Target) && !(OtherOrigin && OtherOrigin(Target)))
        return QStringLiteral("перенаправление на другой сервер: %1").arg(shown);
    return {};
}

THttpRequest::THttpRequest(QObject* parent)
    : QObject(parent)
    , FConnectTimer(new QTimer(this))
    , FTotalTimer(new QTimer(this))
{
    FConnectTimer->setSingleShot(true);
    FTotalTimer->setSingleShot(true);
    connect(FConnectTimer, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("сервер не принял соединение за %1 с").arg(Seconds(Limits.ConnectMs))); });
    connect(FTotalTimer, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("сервер не ответил за %1 с").arg(Seconds(Limits.TotalMs))); });
}

THttpRequest::~THttpRequest()
{
    Abort();
}

namespace
{
constexpr qint64 ReadAheadBytes = qint64(1) << 20;
} // namespace

QNetworkAccessManager* THttpRequest::Manager()
{
    static std::once_flag proxies;
    std::call_once(proxies, [] { QNetworkProxyFactory::setUseSystemConfiguration(true); });
    static thread_local QPointer<QNetworkAccessManager> manager;
    if (manager)
        return manager;
    manager = new QNetworkAccessManager;
    // Redirects are followed here, one request per hop, so that every hop passes the same checks.
    manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        // Gone while the application still is: its open TLS connections close through the application.
        qAddPostRoutine([] { delete manager.data(); });
    } else {
        connect(QThread::currentThread(), &QThread::finished, manager, &QObject::deleteLater);
    }
    return manager;
}

void THttpRequest::Start(const QUrl& Url)
{
    Abort();
    FDone = false;
    FFirst = Url;
    FRedirects = 0;
    FRedirectFailed = false;
    FTooLong = false;
    FAnswer = {};
    FError.clear();
    FClock.start();
    const QString scheme = Url.scheme().toLower();
    if (!Url.isValid() || Url.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        QTimer::singleShot(
            0, this, [this] { Fail(QStringLiteral("неверный адрес %1").arg(FFirst.toDisplayString())); });
        return;
    }
    FTotalTimer->start(std::max(1, Limits.TotalMs));
    Get(Url);
}

void THttpRequest::Abort()
{
    FDone = true;
    FConnectTimer->stop();
    FTotalTimer->stop();
    DropReply();
}

void THttpRequest::DropReply()
{
    if (!FReply)
        return;
    QNetworkReply* reply = FReply;
    FReply = nullptr;
    reply->disconnect(this);
    reply->disconnect(FConnectTimer);
    // From the event loop: a reply aborted inside one of its own signals reports its error twice. A reply
    // that finished gives its connection back for the next request.
    if (!reply->isFinished())
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
    reply->deleteLater();
}

void THttpRequest::Get(const QUrl& Url)
{
    FReceived = 0;
    FSslError.clear();
    FAnswer = {};
    FAnswer.Url = Url;
    if (Url.scheme().toLower() == u"https" && !QSslSocket::supportsSsl()) {
        QTimer::singleShot(0, this, [this] { Fail(QStringLiteral("защищенное соединение (TLS) недоступно")); });
        return;
    }
    QNetworkRequest request(Url);
    // HTTP/1.1 only: the framing checks below are made for it.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    // The body as sent, so that its length can be held against Content-Length.
    request.setRawHeader("Accept-Encoding", "identity");
    for (const auto& [name, value] : Headers)
        request.setRawHeader(name, value);
    FReply = Manager()->get(request);
    // Back-pressure: without a cap Qt's network thread reads on ahead of this one without limit, so an endless
    // body piles up in memory and a stop waits behind everything already read.
    FReply->setReadBufferSize(ReadAheadBytes);
    connect(FReply, &QNetworkReply::requestSent, FConnectTimer, &QTimer::stop);
    connect(FReply, &QNetworkReply::metaDataChanged, this, &THttpRequest::OnMetaData);
    connect(FReply, &QNetworkReply::readyRead, this, &THttpRequest::OnReadyRead);
    connect(FReply, &QNetworkReply::finished, this, &THttpRequest::OnFinished);
    // Certificate errors end the request; they are never ignored. The first one names the cause.
    connect(FReply, &QNetworkReply::sslErrors, this, [this](const QList<QSslError>& Errors) {
        if (FSslError.isEmpty() && !Errors.isEmpty())
            FSslError = Errors.first().errorString();
    });
    const qint64 left = Limits.TotalMs - FClock.elapsed();
    FConnectTimer->start(int(std::clamp<qint64>(std::min<qint64>(Limits.ConnectMs, left), 1, Limits.TotalMs)));
}

void THttpRequest::OnMetaData()
{
    FAnswer.Status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    FAnswer.Headers.clear();
    for (const auto& [name, value] : FReply->rawHeaderPairs())
        FAnswer.Headers.append({ name, value });
    const QList<QByteArray> lengths = LengthValues(FAnswer);
    if (AmbiguousFraming(FAnswer).isEmpty() && !lengths.isEmpty() && lengths.first().toLongLong() > Limits.MaxBodyBytes
        && !(FollowRedirects && IsRedirect(FAnswer.Status)))
        FailTooLong();
}

void THttpRequest::OnReadyRead()
{
    if (FDone || !FReply)
        return;
    TakeBody(FReply->readAll());
}

bool THttpRequest::TakeBody(const QByteArray& Bytes)
{
    if (Bytes.isEmpty())
        return true;
    FReceived += Bytes.size();
    if (FReceived > Limits.MaxBodyBytes) {
        FailTooLong();
        return false;
    }
    // The body of a redirect about to be followed is nobody's.
    if (FollowRedirects && IsRedirect(FAnswer.Status) && !FAnswer.Header("Location").isNull())
        return true;
    if (!Sink) {
        FAnswer.Body += Bytes;
        return true;
    }
    if (Sink->write(Bytes) != Bytes.size()) {
        Fail(QStringLiteral("не удалось записать ответ сервера: %1").arg(Sink->errorString()));
        return false;
    }
    return true;
}

QString THttpRequest::ReplyError() const
{
    const QString host = FReply->url().host();
    switch (FReply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("сервер %1 отклонил соединение").arg(host);
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("сервер %1 не найден").arg(host);
    case QNetworkReply::RemoteHostClosedError:
        return FAnswer.Status > 0 ? QStringLiteral("ответ сервера оборван")
                                  : QStringLiteral("сервер закрыл соединение, ничего не ответив");
    case QNetworkReply::SslHandshakeFailedError:
        return FSslError.isEmpty() ? QStringLiteral("не удалось установить защищенное соединение с %1").arg(host)
                                   : QStringLiteral("ошибка сертификата сервера: %1").arg(FSslError);
    default:
        return QStringLiteral("ошибка связи с сервером %1: %2").arg(host, FReply->errorString());
    }
}

void THttpRequest::OnFinished()
{
    if (FDone || !FReply)
        return;
    if (!TakeBody(FReply->readAll()))
        return;
    FConnectTimer->stop();
    FAnswer.Status = FReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = FReply->error();
    if (error != QNetworkReply::NoError && !(FAnswer.Status > 0 && IsStatusError(error))) {
        Fail(ReplyError());
        return;
    }
    // Qt reports a body cut short of its length, or framed by lengths that disagree, as whole.
    const QString ambiguous = AmbiguousFraming(FAnswer);
    if (!ambiguous.isEmpty()) {
        Fail(ambiguous);
        return;
    }
    if (BodyCutShort(FAnswer, FReceived)) {
        Fail(QStringLiteral("ответ сервера оборван"));
        return;
    }
    FAnswer.LengthChecked = !LengthValues(FAnswer).isEmpty();
    const QByteArray location = FAnswer.Header("Location");
    if (FollowRedirects && IsRedirect(FAnswer.Status) && !location.isNull()) {
        const QUrl from = FAnswer.Url;
        const QUrl target = from.resolved(QUrl::fromEncoded(location.trimmed()));
        const QString refusal = RedirectRefusal(FFirst, from, target, OtherOrigin);
        FRedirectFailed = !refusal.isEmpty() || FRedirects >= Limits.MaxRedirects;
        if (FRedirectFailed) {
            Fail(refusal.isEmpty() ? QStringLiteral("слишком много перенаправлений") : refusal);
            return;
        }
        ++FRedirects;
        DropReply();
        Get(target);
        return;
    }
    DropReply();
    FDone = true;
    FConnectTimer->stop();
    FTotalTimer->stop();
    Q_EMIT Finished();
}

void THttpRequest::FailTooLong()
{
    FTooLong = !FDone;
    Fail(QStringLiteral("ответ сервера длиннее %1 байт").arg(Limits.MaxBodyBytes));
}

void THttpRequest::Fail(const QString& Error)
{
    if (FDone)
        return;
    FError = Error;
    FAnswer.Body.clear();
    Abort();
    Q_EMIT Finished();
}
