#include "core/checks/WhoisClient.h"

#include "core/candidates/NameRules.h"
#include "core/checks/WhoisRules.h"
#include "core/common/Errors.h"

#include <QTimer>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString Seconds(int Ms) { return QString::number(double(Ms) / 1000.0); }

// Qt reports a reset connection exactly like an orderly close, so the kernel is asked instead: after the
// peer's FIN our side waits in CLOSE_WAIT, after a reset the connection is gone.
bool PeerReset(int Fd)
{
#if defined(__linux__)
    tcp_info info {};
    socklen_t length = sizeof info;
    if (Fd >= 0 && getsockopt(Fd, IPPROTO_TCP, TCP_INFO, &info, &length) == 0)
        return info.tcpi_state == TCP_CLOSE;
#else
    Q_UNUSED(Fd);
#endif
    return false;
}

// Our own words for the ways a connection can fail: Qt's texts are English.
TCheckFailure ConnectionFailure(QAbstractSocket::SocketError Error)
{
    switch (Error) {
    case QAbstractSocket::HostNotFoundError:
        return CheckReasons::NoConnection(QStringLiteral("сервер не найден"));
    case QAbstractSocket::ConnectionRefusedError:
        return CheckReasons::NoConnection(QStringLiteral("сервер отклонил соединение"));
    case QAbstractSocket::NetworkError:
        return CheckReasons::NoConnection(QStringLiteral("сеть недоступна"));
    case QAbstractSocket::SocketTimeoutError:
        return CheckReasons::NoAnswer(QStringLiteral("время ожидания сервера истекло"));
    default:
        return CheckReasons::NoConnection(QStringLiteral("ошибка связи с сервером (код %1)").arg(int(Error)));
    }
}

} // namespace

TWhoisQuery::TWhoisQuery(const TWhoisLimits& Limits, QObject* parent)
    : QObject(parent)
    , FLimits(Limits)
{
    for (QTimer* t : { &FConnectTimer, &FIdleTimer, &FTotalTimer })
        t->setSingleShot(true);
    connect(&FSocket, &QTcpSocket::connected, this, &TWhoisQuery::OnConnected);
    connect(&FSocket, &QTcpSocket::readyRead, this, &TWhoisQuery::OnReadyRead);
    connect(&FSocket, &QTcpSocket::disconnected, this, &TWhoisQuery::OnClosed);
    connect(&FSocket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (e == QAbstractSocket::RemoteHostClosedError)
            OnClosed();
        else
            Finish(ConnectionFailure(e));
    });
    connect(&FConnectTimer, &QTimer::timeout, this, [this] {
        Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не принял соединение за %1 с").arg(Seconds(FLimits.ConnectMs))));
    });
    connect(&FIdleTimer, &QTimer::timeout, this, [this] {
        Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не ответил за %1 с").arg(Seconds(FLimits.IdleMs))));
    });
    connect(&FTotalTimer, &QTimer::timeout, this, [this] {
        Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не закончил ответ за %1 с").arg(Seconds(FLimits.TotalMs))));
    });
}

TWhoisQuery::~TWhoisQuery()
{
    Reset();
}

void TWhoisQuery::Start(const QString& Host, quint16 Port, const QString& Name)
{
    Reset();
    FAnswer.clear();
    FFailure = {};
    FDone = false;
    try {
        FLine = QueryLine(Name);
        if (Host.isEmpty())
            throw ECheckFailed(CheckReasons::NoServer());
    } catch (const ECheckFailed& e) {
        const TCheckFailure failure = e.Failure();
        QTimer::singleShot(0, this, [this, failure] { Finish(failure); });
        return;
    }
    FConnectTimer.start(FLimits.ConnectMs);
    FTotalTimer.start(FLimits.TotalMs);
    FSocket.connectToHost(Host, Port);
}

void TWhoisQuery::Abort()
{
    FDone = true;
    Reset();
}

void TWhoisQuery::OnConnected()
{
    FConnectTimer.stop();
    const int fd = int(FSocket.socketDescriptor());
    FDupFd = ::dup(fd);
    FIdleTimer.start(FLimits.IdleMs);
    // Qt would hold the line back for a later turn of the event loop; a new connection's empty send buffer
    // takes it at once. Whatever does not go out is left to the socket.
    const ssize_t sent = ::send(fd, FLine.constData(), size_t(FLine.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < FLine.size())
        FSocket.write(FLine.mid(sent > 0 ? qsizetype(sent) : 0));
}

void TWhoisQuery::OnReadyRead()
{
    if (FDone)
        return;
    FAnswer += FSocket.read(FLimits.MaxBytes + 1 - FAnswer.size());
    if (FAnswer.size() > FLimits.MaxBytes) {
        Finish(CheckReasons::TooLong(FLimits.MaxBytes));
        return;
    }
    FIdleTimer.start(FLimits.IdleMs);
}

void TWhoisQuery::OnClosed()
{
    if (FDone)
        return;
    if (FSocket.bytesAvailable() > 0)
        OnReadyRead();
    if (FDone)
        return;
    if (PeerReset(FDupFd))
        Finish(CheckReasons::Reset());
    else if (FAnswer.isEmpty())
        Finish(CheckReasons::ClosedSilently());
    else
        Finish({});
}

void TWhoisQuery::Finish(const TCheckFailure& Failure)
{
    if (FDone)
        return;
    FDone = true;
    FFailure = Failure;
    if (Failed())
        FAnswer.clear();
    Reset();
    Q_EMIT Finished();
}

void TWhoisQuery::Reset()
{
    for (QTimer* t : { &FConnectTimer, &FIdleTimer, &FTotalTimer })
        t->stop();
    FSocket.abort();
    if (FDupFd >= 0) {
        ::close(FDupFd);
        FDupFd = -1;
    }
}

QByteArray TWhoisQuery::QueryLine(const QString& Name)
{
    // A line break or other control character would smuggle a second query into the line.
    const QByteArray ascii = AsciiDomainName(Name);
    if (ascii.isEmpty())
        throw ECheckFailed(CheckReasons::InvalidName());
    return ascii + "\r\n";
}
