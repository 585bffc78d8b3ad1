#include "core/checks/HttpExchange.h"

#include <QSslError>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace {

constexpr qsizetype MaxHeadBytes = 64 * 1024;

QString Seconds(int Ms)
{
    return QString::number(double(Ms) / 1000.0);
}

} // namespace

QByteArray THttpAnswer::Header(const QByteArray& Name) const
{
    for (const auto& [name, value] : Headers)
        if (name.compare(Name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

THttpResponseReader::THttpResponseReader(qint64 MaxBodyBytes)
    : FMaxBodyBytes(MaxBodyBytes)
{
}

THttpResponseReader::TState THttpResponseReader::Feed(const QByteArray& Bytes)
{
    if (FFailed)
        return TState::Failed;
    if (FDone)
        return TState::Done;
    FBuffer += Bytes;
    if (!FHeadDone && !ParseHead())
        return FFailed ? TState::Failed : TState::More;
    if (ParseBody())
        FDone = true;
    return FFailed ? TState::Failed : FDone ? TState::Done : TState::More;
}

THttpResponseReader::TState THttpResponseReader::Close()
{
    if (FFailed || FDone)
        return FFailed ? TState::Failed : TState::Done;
    // A chunked body whose last chunk came is whole, even when the final empty line did not.
    if (FHeadDone && (FFraming == TFraming::UntilClose || (FFraming == TFraming::Chunked && FInTrailers))) {
        FDone = true;
        return TState::Done;
    }
    Fail(FHeadDone || !FBuffer.isEmpty() ? QStringLiteral("ответ сервера оборван")
                                         : QStringLiteral("сервер закрыл соединение, ничего не ответив"));
    return TState::Failed;
}

void THttpResponseReader::Fail(const QString& Error)
{
    if (FFailed)
        return;
    FFailed = true;
    FError = Error;
    FAnswer = {};
}

bool THttpResponseReader::ParseHead()
{
    qsizetype end = FBuffer.indexOf("\r\n\r\n");
    qsizetype skip = 4;
    const qsizetype bare = FBuffer.indexOf("\n\n");
    if (bare >= 0 && (end < 0 || bare < end)) {
        end = bare;
        skip = 2;
    }
    if (end < 0) {
        if (FBuffer.size() > MaxHeadBytes)
            Fail(QStringLiteral("заголовок ответа сервера слишком длинный"));
        return false;
    }
    const QList<QByteArray> lines = FBuffer.left(end).split('\n');
    FBuffer.remove(0, end + skip);
    const QByteArray statusLine = lines.first().trimmed();
    const QList<QByteArray> parts = statusLine.split(' ');
    bool ok = false;
    const int status = parts.size() >= 2 ? parts.at(1).toInt(&ok) : 0;
    if (!statusLine.startsWith("HTTP/1.") || !ok || status < 100 || status > 999) {
        Fail(QStringLiteral("ответ сервера не по протоколу HTTP"));
        return false;
    }
    FAnswer.Status = status;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            FAnswer.Headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }
    FHeadDone = true;
    const QByteArray encoding = FAnswer.Header("Transfer-Encoding").toLower();
    const QByteArray length = FAnswer.Header("Content-Length");
    if (status == 204 || status == 304 || status < 200) {
        FFraming = TFraming::None;
    } else if (encoding.contains("chunked")) {
        FFraming = TFraming::Chunked;
    } else if (!length.isNull()) {
        FLeft = length.trimmed().toLongLong(&ok);
        if (!ok || FLeft < 0) {
            Fail(QStringLiteral("ответ сервера не по протоколу HTTP"));
            return false;
        }
        if (FLeft > FMaxBodyBytes) {
            Fail(QStringLiteral("ответ сервера длиннее %1 байт").arg(FMaxBodyBytes));
            return false;
        }
        FFraming = TFraming::Length;
    } else {
        FFraming = TFraming::UntilClose;
    }
    return true;
}

bool THttpResponseReader::AppendBody(const QByteArray& Bytes)
{
    if (FAnswer.Body.size() + Bytes.size() > FMaxBodyBytes) {
        Fail(QStringLiteral("ответ сервера длиннее %1 байт").arg(FMaxBodyBytes));
        return false;
    }
    FAnswer.Body += Bytes;
    return true;
}

bool THttpResponseReader::ParseBody()
{
    switch (FFraming) {
    case TFraming::None:
        return true;
    case TFraming::UntilClose: {
        const QByteArray bytes = std::exchange(FBuffer, QByteArray());
        AppendBody(bytes);
        return false;
    }
    case TFraming::Length: {
        const QByteArray bytes = FBuffer.left(FLeft);
        FBuffer.remove(0, bytes.size());
        FLeft -= bytes.size();
        return AppendBody(bytes) && FLeft == 0;
    }
    case TFraming::Chunked:
        for (;;) {
            if (FFailed)
                return false;
            if (FInChunkData) {
                const QByteArray bytes = FBuffer.left(FLeft);
                FBuffer.remove(0, bytes.size());
                FLeft -= bytes.size();
                if (!AppendBody(bytes) || FLeft > 0)
                    return false;
                FInChunkData = false;
                // The line break that closes the chunk's data is read with the next size line.
                continue;
            }
            const qsizetype eol = FBuffer.indexOf('\n');
            if (eol < 0) {
                if (FBuffer.size() > MaxHeadBytes)
                    Fail(QStringLiteral("ответ сервера испорчен"));
                return false;
            }
            const QByteArray line = FBuffer.left(eol).trimmed();
            FBuffer.remove(0, eol + 1);
            if (FInTrailers) {
                if (line.isEmpty())
                    return true;
                continue;
            }
            // The empty line after a chunk's data.
            if (line.isEmpty() && FAnswer.Body.size() > 0)
                continue;
            const qsizetype extension = line.indexOf(';');
            const QByteArray size = (extension < 0 ? line : line.left(extension)).trimmed();
            bool ok = false;
            const qint64 n = size.toLongLong(&ok, 16);
            if (!ok || n < 0 || size.isEmpty()) {
                Fail(QStringLiteral("ответ сервера испорчен"));
                return false;
            }
            if (n == 0) {
                FInTrailers = true;
                continue;
            }
            FLeft = n;
            FInChunkData = true;
        }
    }
    return false;
}

THttpExchange::THttpExchange(const QUrl& Url, const THttpHeaders& Headers, const THttpLimits& Limits, QObject* parent)
    : QObject(parent)
    , FUrl(Url)
    , FRequestHeaders(Headers)
    , FLimits(Limits)
    , FConnectTimer(new QTimer(this))
    , FTotalTimer(new QTimer(this))
    , FReader(Limits.MaxBodyBytes)
{
    FConnectTimer->setSingleShot(true);
    FTotalTimer->setSingleShot(true);
    connect(FConnectTimer, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("сервер не принял соединение за %1 с").arg(Seconds(FLimits.ConnectMs))); });
    connect(FTotalTimer, &QTimer::timeout, this,
        [this] { Fail(QStringLiteral("сервер не ответил за %1 с").arg(Seconds(FLimits.TotalMs))); });
}

THttpExchange::~THttpExchange()
{
    Abort();
}

void THttpExchange::Start()
{
    const QString scheme = FUrl.scheme().toLower();
    if (!FUrl.isValid() || FUrl.host().isEmpty() || (scheme != u"http" && scheme != u"https")) {
        QTimer::singleShot(0, this, [this] { Fail(QStringLiteral("неверный адрес %1").arg(FUrl.toDisplayString())); });
        return;
    }
    const bool tls = scheme == u"https";
    if (tls && !QSslSocket::supportsSsl()) {
        QTimer::singleShot(0, this, [this] { Fail(QStringLiteral("защищенное соединение (TLS) недоступно")); });
        return;
    }
    if (tls) {
        auto* socket = new QSslSocket;
        FSocket.reset(socket);
        connect(socket, &QSslSocket::encrypted, this, &THttpExchange::OnConnected);
        // Certificate errors end the exchange; they are never ignored.
        connect(socket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
            Fail(QStringLiteral("ошибка сертификата сервера: %1")
                     .arg(errors.isEmpty() ? QString() : errors.first().errorString()));
        });
    } else {
        FSocket = std::make_unique<QTcpSocket>();
        connect(FSocket.get(), &QTcpSocket::connected, this, &THttpExchange::OnConnected);
    }
    connect(FSocket.get(), &QTcpSocket::readyRead, this, &THttpExchange::OnReadyRead);
    connect(FSocket.get(), &QTcpSocket::disconnected, this, &THttpExchange::OnClosed);
    connect(FSocket.get(), &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        switch (e) {
        case QAbstractSocket::RemoteHostClosedError:
            OnClosed();
            break;
        case QAbstractSocket::HostNotFoundError:
            Fail(QStringLiteral("сервер %1 не найден").arg(FUrl.host()));
            break;
        case QAbstractSocket::ConnectionRefusedError:
            Fail(QStringLiteral("сервер %1 отклонил соединение").arg(FUrl.host()));
            break;
        case QAbstractSocket::SslHandshakeFailedError:
            Fail(QStringLiteral("не удалось установить защищенное соединение с %1").arg(FUrl.host()));
            break;
        default:
            Fail(QStringLiteral("ошибка связи с сервером %1 (код %2)").arg(FUrl.host()).arg(int(e)));
            break;
        }
    });
    FConnectTimer->start(FLimits.ConnectMs);
    FTotalTimer->start(FLimits.TotalMs);
    const quint16 port = quint16(FUrl.port(tls ? 443 : 80));
    if (tls)
        static_cast<QSslSocket*>(FSocket.get())->connectToHostEncrypted(FUrl.host(), port);
    else
        FSocket->connectToHost(FUrl.host(), port);
}

void THttpExchange::Abort()
{
    FFinished = true;
    FConnectTimer->stop();
    FTotalTimer->stop();
    if (FSocket) {
        FSocket->disconnect(this);
        FSocket->abort();
    }
}

void THttpExchange::OnConnected()
{
    FConnectTimer->stop();
    QByteArray target = FUrl.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
    if (target.isEmpty())
        target = "/";
    QByteArray host = FUrl.host(QUrl::EncodeUnicode).toUtf8();
    if (FUrl.port() != -1)
        host += ':' + QByteArray::number(FUrl.port());
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    for (const auto& [name, value] : FRequestHeaders)
        request += name + ": " + value + "\r\n";
    request += "Connection: close\r\n\r\n";
    FSocket->write(request);
}

void THttpExchange::OnReadyRead()
{
    if (FFinished)
        return;
    TakeState(FReader.Feed(FSocket->readAll()));
}

void THttpExchange::OnClosed()
{
    if (FFinished)
        return;
    if (FSocket->bytesAvailable() > 0)
        OnReadyRead();
    if (FFinished)
        return;
    TakeState(FReader.Close());
}

void THttpExchange::TakeState(THttpResponseReader::TState State)
{
    if (State == THttpResponseReader::TState::Done)
        Done();
    else if (State == THttpResponseReader::TState::Failed)
        Fail(FReader.Error());
}

void THttpExchange::Fail(const QString& Error)
{
    if (FFinished)
        return;
    FError = Error;
    Abort();
    Q_EMIT Finished();
}

void THttpExchange::Done()
{
    if (FFinished)
        return;
    Abort();
    Q_EMIT Finished();
}
