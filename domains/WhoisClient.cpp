#include "domains/WhoisClient.h"

#include "app/Errors.h"
#include "domains/DomainTypes.h"

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

// A registry that refuses to answer uses one of these; such an answer says nothing about the name.
constexpr const char* RefusalPhrases[] = {
    "excessive querying",
    "LIMIT EXCEEDED",
    "limit exceeded",
    "Rate limit exceeded",
    "connection limit exceeded",
};

// An answer holding any of these means the name is free. Matched as written, letter case significant.
constexpr const char* FreePhrases[] = {
    "No entries found", // whois.tcinet.ru (.ru, .рф, .su)
    "No match for", // whois.verisign-grs.com (.com, .net)
    "Nothing found for this query", // no server of the built-in list; kept for servers users add
    "NOT FOUND", // whois.pir.org (.org)
    "Domain not found", // whois.pir.org (.org)
    "No Data Found", // whois.nic.biz (.biz)
    "No Match", // whois.educause.edu (.edu)
};

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
                Finish(QStringLiteral("Ошибка связи с сервером whois %1: %2").arg(FHost, FSocket.errorString()));
        });
        QObject::connect(&FConnectTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(QStringLiteral("Сервер whois %1 не принял соединение за %2 с.").arg(FHost, Seconds(FLimits.ConnectMs)));
        });
        QObject::connect(&FIdleTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(QStringLiteral("Сервер whois %1 молчит дольше %2 с.").arg(FHost, Seconds(FLimits.IdleMs)));
        });
        QObject::connect(&FTotalTimer, &QTimer::timeout, &FSocket, [this] {
            Finish(QStringLiteral("Сервер whois %1 не закончил ответ за %2 с.").arg(FHost, Seconds(FLimits.TotalMs)));
        });
    }

    ~TExchange() { Reset(); }

    QByteArray Run(const QString& Host, quint16 Port, const QByteArray& Line)
    {
        FHost = Host;
        FLine = Line;
        FAnswer.clear();
        FError.clear();
        FDone = false;
        FConnectTimer.start(FLimits.ConnectMs);
        FTotalTimer.start(FLimits.TotalMs);
        FSocket.connectToHost(Host, Port);
        // A local event loop: the handlers above end it by setting FDone, so no wake-up is needed to leave.
        while (!FDone)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
        Reset();
        if (!FError.isEmpty())
            throw EOrvantaError(FError);
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
            Finish(QStringLiteral("Ответ сервера whois %1 длиннее %2 байт.").arg(FHost).arg(FLimits.MaxBytes));
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
            Finish(QStringLiteral("Сервер whois %1 оборвал соединение.").arg(FHost));
        else if (FAnswer.isEmpty())
            Finish(QStringLiteral("Сервер whois %1 закрыл соединение, ничего не ответив.").arg(FHost));
        else
            Finish(QString());
    }

    void Finish(const QString& Error)
    {
        if (FDone)
            return;
        FDone = true;
        FError = Error;
        if (!Error.isEmpty())
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
    QString FError;
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
            throw EOrvantaError(QStringLiteral("Имя «%1» содержит управляющие символы.").arg(Name));
        ascii = ascii && c.unicode() < 0x80;
    }
    if (ascii)
        return Name.toLatin1() + "\r\n";
    const QByteArray ace = QUrl::toAce(Name);
    if (ace.isEmpty())
        throw EOrvantaError(QStringLiteral("Имя «%1» нельзя записать латиницей (IDNA).").arg(Name));
    return ace + "\r\n";
}

QByteArray TWhoisClient::Query(const QString& Host, const QString& Name)
{
    const QByteArray line = QueryLine(Name);
    if (Host.isEmpty())
        throw EOrvantaError(QStringLiteral("Для имени %1 не указан сервер whois.").arg(Name));
    if (!FExchange)
        FExchange = std::make_unique<TExchange>(FLimits);
    return FExchange->Run(Host, FPort, line);
}

qint32 JudgeWhoisAnswer(const QByteArray& Answer)
{
    for (const char* phrase : RefusalPhrases)
        if (Answer.contains(phrase))
            return StatusUnknown;
    for (const char* phrase : FreePhrases)
        if (Answer.contains(phrase))
            return StatusFree;
    return StatusTaken;
}
