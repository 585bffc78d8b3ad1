#include "domains/WhoisClient.h"

#include "app/Errors.h"
#include "domains/WhoisRules.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

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

// The socket, the timers and the state of the query in progress.
class TWhoisClient::TExchange {
public:
    explicit TExchange(const TWhoisLimits& Limits)
        : FLimits(Limits)
    {
        for (QTimer* t : { &FConnectTimer, &FIdleTimer, &FTotalTimer })
            t->setSingleShot(true);
        QObject::connect(&FSocket, &QTcpSocket::connected, &FSocket, [this] { OnConnected(); });
        QObject::connect(&FSocket, &QTcpSocket::readyRead, &FSocket, [this] { OnReadyRead(); });
        QObject::connect(&FSocket, &QTcpSocket::disconnected, &FSocket, [this] { OnClosed(); });
        QObject::connect(&FSocket, &QTcpSocket::errorOccurred, &FSocket, [this](QAbstractSocket::SocketError e) {
            if (e == QAbstractSocket::RemoteHostClosedError)
                OnClosed();
            else
                Finish(ConnectionFailure(e));
        });
        QObject::connect(&FConnectTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не принял соединение за %1 с").arg(Seconds(FLimits.ConnectMs))));
        });
        QObject::connect(&FIdleTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не ответил за %1 с").arg(Seconds(FLimits.IdleMs))));
        });
        QObject::connect(&FTotalTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(CheckReasons::NoAnswer(QStringLiteral("сервер не закончил ответ за %1 с").arg(Seconds(FLimits.TotalMs))));
        });
    }

    ~TExchange() { Reset(); }

    QByteArray Run(const QString& Host, quint16 Port, const QByteArray& Line)
    {
        FHost = Host;
        FLine = Line;
        FAnswer.clear();
        FError = {};
        FDone = false;
        FConnectTimer.start(FLimits.ConnectMs);
        FTotalTimer.start(FLimits.TotalMs);
        FSocket.connectToHost(Host, Port);
        // A local event loop: the handlers above end it by setting FDone, so no wake-up is needed to leave.
        while (!FDone)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
        Reset();
        if (!FError.Text.isEmpty())
            throw ECheckFailed(FError);
        return std::exchange(FAnswer, QByteArray());
    }

private:
    void OnConnected()
    {
        FConnectTimer.stop();
        const int fd = int(FSocket.socketDescriptor());
        FDupFd = ::dup(fd);
        FIdleTimer.start(FLimits.IdleMs);
        // Qt would hold the line back for a later turn of the event loop; a new connection's empty send
        // buffer takes it at once. Whatever does not go out is left to the socket.
        const ssize_t sent = ::send(fd, FLine.constData(), size_t(FLine.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < FLine.size())
            FSocket.write(FLine.mid(sent > 0 ? qsizetype(sent) : 0));
    }

    void OnReadyRead()
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

    void OnClosed()
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

    void Finish(const TCheckFailure& Error)
    {
        if (FDone)
            return;
        FDone = true;
        FError = Error;
        if (!Error.Text.isEmpty())
            FAnswer.clear();
    }

    void Reset()
    {
        FDone = true;
        for (QTimer* t : { &FConnectTimer, &FIdleTimer, &FTotalTimer })
            t->stop();
        FSocket.abort();
        if (FDupFd >= 0) {
            ::close(FDupFd);
            FDupFd = -1;
        }
    }

    TWhoisLimits FLimits;
    QTcpSocket FSocket;
    QTimer FConnectTimer;
    QTimer FIdleTimer;
    QTimer FTotalTimer;
    QString FHost;
    QByteArray FLine;
    QByteArray FAnswer;
    TCheckFailure FError;
    bool FDone = true;
    int FDupFd = -1;
};

TWhoisClient::TWhoisClient(quint16 Port, const TWhoisLimits& Limits)
    : FPort(Port)
    , FLimits(Limits)
{
}

TWhoisClient::~TWhoisClient() = default;

QByteArray TWhoisClient::QueryLine(const QString& Name)
{
    bool ascii = true;
    for (QChar c : Name) {
        // A line break or other control character would smuggle a second query into the line.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            throw ECheckFailed(CheckReasons::InvalidName());
        ascii = ascii && c.unicode() < 0x80;
    }
    if (ascii)
        return Name.toLatin1() + "\r\n";
    const QByteArray ace = QUrl::toAce(Name);
    if (ace.isEmpty())
        throw ECheckFailed(CheckReasons::InvalidName());
    return ace + "\r\n";
}

QByteArray TWhoisClient::Query(const QString& Host, const QString& Name)
{
    const QByteArray line = QueryLine(Name);
    if (Host.isEmpty())
        throw ECheckFailed(CheckReasons::NoServer());
    if (!FExchange)
        FExchange = std::make_unique<TExchange>(FLimits);
    return FExchange->Run(Host, FPort, line);
}
