#include "core/checks/DnsLookup.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <ares.h>
#include <arpa/inet.h>
#include <climits>
#include <cstring>

namespace
{

constexpr int HeaderBytes = 12;
constexpr quint16 TypeNs = 2;
constexpr quint16 TypeCname = 5;
constexpr quint16 ClassIn = 1;
constexpr int RcodeNoError = 0;
constexpr int RcodeNoSuchName = 3;

quint16 Read16(const unsigned char* At)
{
    return quint16((At[0] << 8) | At[1]);
}

char AsciiLower(char C)
{
    return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C;
}

// Names compare as DNS compares them: ASCII letters in either case, every other byte exactly, one final
// dot ignored.
bool SameName(QByteArrayView A, QByteArrayView B)
{
    if (A.endsWith('.'))
        A = A.chopped(1);
    if (B.endsWith('.'))
        B = B.chopped(1);
    if (A.size() != B.size())
        return false;
    for (qsizetype i = 0; i < A.size(); ++i)
        if (AsciiLower(A[i]) != AsciiLower(B[i]))
            return false;
    return true;
}

// The name at At of Message, compression followed by the library (which escapes dots and odd bytes
// inside labels, so no such label reads as a plain name); At moves past it. False on a malformed name.
bool ReadName(const unsigned char* Message, int Length, int& At, QByteArray& Name)
{
    if (At >= Length)
        return false;
    char* text = nullptr;
    long used = 0;
    if (ares_expand_name(Message + At, Message, Length, &text, &used) != ARES_SUCCESS)
        return false;
    Name = QByteArray(text);
    ares_free_string(text);
    At += int(used);
    return true;
}

// The answer to one lookup: owned by the library between the query and its callback.
struct TAnswerWait {
    TDnsResolver* Owner;
    QByteArray Name;
    std::function<void(TNsAnswer)> Done;
};

QHostAddress AddressOf(const ares_addr_port_node& Node)
{
    if (Node.family == AF_INET)
        return QHostAddress(ntohl(Node.addr.addr4.s_addr));
    if (Node.family == AF_INET6)
        return QHostAddress(Node.addr.addr6._S6_un._S6_u8);
    return {};
}

} // namespace

TNsAnswer JudgeNsAnswer(QByteArrayView Message, QByteArrayView Name)
{
    if (Message.size() < HeaderBytes || Message.size() > INT_MAX)
        return TNsAnswer::None;
    const auto* m = reinterpret_cast<const unsigned char*>(Message.data());
    const int length = int(Message.size());
    const bool response = m[2] & 0x80;
    const int opcode = (m[2] >> 3) & 0x0F;
    const bool truncated = m[2] & 0x02;
    const int rcode = m[3] & 0x0F;
    if (!response || opcode != 0 || (rcode != RcodeNoError && rcode != RcodeNoSuchName) || Read16(m + 4) != 1)
        return TNsAnswer::None;
    // The one question must be the NS records of the name asked.
    int at = HeaderBytes;
    QByteArray owner;
    if (!ReadName(m, length, at, owner) || length - at < 4 || !SameName(owner, Name) || Read16(m + at) != TypeNs
        || Read16(m + at + 2) != ClassIn)
        return TNsAnswer::None;
    at += 4;
    if (rcode == RcodeNoSuchName)
        return TNsAnswer::Undelegated;
    const int records = Read16(m + 6) + Read16(m + 8);
    bool alias = false;
    bool delegated = false;
    for (int i = 0; i < records; ++i) {
        if (!ReadName(m, length, at, owner) || length - at < 10)
            return TNsAnswer::None;
        const quint16 type = Read16(m + at);
        const quint16 rclass = Read16(m + at + 2);
        const int dataLength = Read16(m + at + 8);
        at += 10;
        if (length - at < dataLength)
            return TNsAnswer::None;
        if (type == TypeNs) {
            // A server's name that does not parse makes the record, and the message, malformed.
            int target = at;
            QByteArray server;
            if (!ReadName(m, at + dataLength, target, server) || target != at + dataLength)
                return TNsAnswer::None;
        }
        at += dataLength;
        if (!SameName(owner, Name))
            continue;
        alias = alias || type == TypeCname;
        delegated = delegated || (type == TypeNs && rclass == ClassIn);
    }
    // Behind an alias the records are another name's.
    if (alias)
        return TNsAnswer::Undelegated;
    if (delegated)
        return TNsAnswer::Delegated;
    // A cut answer may have lost the very records asked for.
    return truncated ? TNsAnswer::None : TNsAnswer::Undelegated;
}

std::optional<TDnsServer> TDnsServer::Parse(const QString& Text)
{
    QString host = Text;
    QString port;
    if (Text.startsWith(u'[')) {
        const qsizetype close = Text.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        host = Text.mid(1, close - 1);
        const QString rest = Text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(u':'))
            return std::nullopt;
        port = rest.mid(1);
        if (!rest.isEmpty() && port.isEmpty())
            return std::nullopt;
    } else if (Text.count(u':') == 1) {
        host = Text.section(u':', 0, 0);
        port = Text.section(u':', 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    TDnsServer out;
    if (!out.Address.setAddress(host) || !out.Address.scopeId().isEmpty())
        return std::nullopt;
    // Only the dotted quad: "10.1" is a typing slip more likely than an address.
    if (out.Address.protocol() == QAbstractSocket::IPv4Protocol && host.count(u'.') != 3)
        return std::nullopt;
    if (!port.isEmpty()) {
        const bool digits = std::all_of(port.cbegin(), port.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        const uint number = port.toUInt();
        if (!digits || number == 0 || number > 65535)
            return std::nullopt;
        out.Port = quint16(number);
    }
    return out;
}

QString TDnsServer::Text() const
{
    const QString address = Address.toString();
    if (Port == 53)
        return address;
    const bool v6 = Address.protocol() == QAbstractSocket::IPv6Protocol;
    return (v6 ? u'[' + address + u']' : address) + u':' + QString::number(Port);
}

struct TDnsResolver::TChannel {
    ares_channel Channel = nullptr;
    ~TChannel()
    {
        if (Channel)
            ares_destroy(Channel);
    }
};

TDnsResolver::TDnsResolver()
    : FChannel(std::make_unique<TChannel>())
    , FTimer(new QTimer(this))
{
    FTimer->setSingleShot(true);
    connect(FTimer, &QTimer::timeout, this, [this] { Process(ARES_SOCKET_BAD, ARES_SOCKET_BAD); });
}

std::unique_ptr<TDnsResolver> TDnsResolver::Create(const std::optional<TDnsServer>& Server, int TimeoutMs)
{
    static const int library = ares_library_init(ARES_LIB_INIT_ALL);
    if (library != ARES_SUCCESS)
        return nullptr;
    std::unique_ptr<TDnsResolver> resolver(new TDnsResolver);
    ares_options options {};
    options.sock_state_cb = &TDnsResolver::OnSocketState;
    options.sock_state_cb_data = resolver.get();
    options.timeout = TimeoutMs;
    // Once: a name DNS does not answer in time goes to its registry, which is the slow path anyway.
    options.tries = 1;
    options.flags = ARES_FLAG_NOSEARCH;
    const int mask = ARES_OPT_SOCK_STATE_CB | ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_FLAGS;
    if (ares_init_options(&resolver->FChannel->Channel, &options, mask) != ARES_SUCCESS) {
        resolver->FChannel->Channel = nullptr;
        return nullptr;
    }
    if (Server) {
        ares_addr_port_node node {};
        if (Server->Address.protocol() == QAbstractSocket::IPv4Protocol) {
            node.family = AF_INET;
            node.addr.addr4.s_addr = htonl(Server->Address.toIPv4Address());
        } else {
            node.family = AF_INET6;
            const Q_IPV6ADDR v6 = Server->Address.toIPv6Address();
            std::memcpy(node.addr.addr6._S6_un._S6_u8, v6.c, sizeof v6.c);
        }
        node.udp_port = node.tcp_port = Server->Port;
        if (ares_set_servers_ports(resolver->FChannel->Channel, &node) != ARES_SUCCESS)
            return nullptr;
    }
    ares_addr_port_node* servers = nullptr;
    if (ares_get_servers_ports(resolver->FChannel->Channel, &servers) == ARES_SUCCESS && servers) {
        TDnsServer first { AddressOf(*servers), quint16(servers->udp_port > 0 ? servers->udp_port : 53) };
        if (!first.Address.isNull())
            resolver->FServerText = first.Text();
        ares_free_data(servers);
    }
    return resolver;
}

TDnsResolver::~TDnsResolver()
{
    FClosing = true;
    FChannel.reset();
}

void TDnsResolver::LookupNs(const QByteArray& Name, std::function<void(TNsAnswer)> Done)
{
    ++FInFlight;
    FSubmitting = true;
    ares_query(FChannel->Channel, Name.constData(), ClassIn, TypeNs, &TDnsResolver::OnAnswer,
        new TAnswerWait { this, Name, std::move(Done) });
    FSubmitting = false;
    ArmTimer();
}

void TDnsResolver::OnAnswer(void* Arg, int Status, int, unsigned char* Answer, int Length)
{
    std::unique_ptr<TAnswerWait> wait(static_cast<TAnswerWait*>(Arg));
    TDnsResolver* self = wait->Owner;
    if (self->FClosing || Status == ARES_EDESTRUCTION)
        return;
    // An answer the library turned into an error (no such name, no data) still comes with its message.
    const TNsAnswer answer = Answer && Length > 0
        ? JudgeNsAnswer(QByteArrayView(reinterpret_cast<const char*>(Answer), Length), wait->Name)
        : TNsAnswer::None;
    if (self->FSubmitting) {
        // Ended inside the library's call (it could not be sent): told from the event loop, as promised.
        QTimer::singleShot(0, self, [self, done = std::move(wait->Done), answer] {
            --self->FInFlight;
            done(answer);
        });
        return;
    }
    --self->FInFlight;
    wait->Done(answer);
}

void TDnsResolver::OnSocketState(void* Data, int Socket, int Readable, int Writable)
{
    auto* self = static_cast<TDnsResolver*>(Data);
    auto& [read, write] = self->FNotifiers[Socket];
    const auto watch = [self, Socket](QSocketNotifier*& Notifier, QSocketNotifier::Type Type, bool On) {
        if (!Notifier && !On)
            return;
        if (!Notifier) {
            Notifier = new QSocketNotifier(Socket, Type, self);
            const bool reading = Type == QSocketNotifier::Read;
            connect(Notifier, &QSocketNotifier::activated, self, [self, Socket, reading] {
                self->Process(reading ? Socket : ARES_SOCKET_BAD, reading ? ARES_SOCKET_BAD : Socket);
            });
        }
        Notifier->setEnabled(On);
    };
    watch(read, QSocketNotifier::Read, Readable != 0);
    watch(write, QSocketNotifier::Write, Writable != 0);
    if (Readable || Writable)
        return;
    // The library closes the socket next: its notifiers go, later, as one of them may be signalling now.
    for (QSocketNotifier* n : { read, write })
        if (n)
            n->deleteLater();
    self->FNotifiers.remove(Socket);
}

void TDnsResolver::Process(int ReadSocket, int WriteSocket)
{
    ares_process_fd(FChannel->Channel, ReadSocket, WriteSocket);
    ArmTimer();
}

void TDnsResolver::ArmTimer()
{
    if (FClosing)
        return;
    timeval buffer {};
    const timeval* next = ares_timeout(FChannel->Channel, nullptr, &buffer);
    if (!next) {
        FTimer->stop();
        return;
    }
    const qint64 ms = qint64(next->tv_sec) * 1000 + (next->tv_usec + 999) / 1000;
    FTimer->start(int(std::min<qint64>(ms, INT_MAX)));
}

namespace DnsReasons
{
TCheckFailure Delegated()
{
    return { QStringLiteral("делегирован в DNS"), QStringLiteral("делегирован в DNS") };
}
} // namespace DnsReasons
