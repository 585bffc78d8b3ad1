#pragma once

#include "core/candidates/Candidate.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

// What an answer to an NS query says about the name asked.
enum class TNsAnswer : quint8 {
    // NS records owned by the very name: the zone delegates it, so it is registered.
    Delegated,
    // A valid answer without them: no such name, no data, an alias, another owner's records. It proves
    // nothing: a registered name may be undelegated.
    Undelegated,
    // No valid answer: a server failure or refusal, a cut or malformed message, silence.
    None,
};

// Judges the DNS message Message, the answer to the NS query of Name (its ASCII form, a final dot
// allowed). Only an answer to that very question counts; owners compare with ASCII letter case ignored;
// NS records count in the answer and in the authority section (a referral from the zone's own server),
// never behind a CNAME of the name.
TNsAnswer JudgeNsAnswer(QByteArrayView Message, QByteArrayView Name);

// A resolver's address as given to the batch tool: "ADDR", "ADDR:PORT", "[IPV6]:PORT" (port 53 by
// default). Empty when Text is none of these.
struct TDnsServer {
    QHostAddress Address;
    quint16 Port = 53;

    static std::optional<TDnsServer> Parse(const QString& Text);
    // As people read it: "127.0.0.1", "127.0.0.1:5353", "[::1]:5353".
    QString Text() const;
};

// NS lookups through the resolver library, driven by the event loop: its sockets are watched by socket
// notifiers and its time limits by a timer, so nothing blocks. Each lookup is tried once, for TimeoutMs.
class TDnsResolver : public QObject
{
    Q_OBJECT
public:
    // A resolver asking Server, or the system's resolvers (/etc/resolv.conf) without one. Null when the
    // library cannot set one up.
    static std::unique_ptr<TDnsResolver> Create(const std::optional<TDnsServer>& Server, int TimeoutMs);
    // Lookups still going are dropped without their Done. Not to be destroyed from inside a Done.
    ~TDnsResolver() override;

    // Asks for the NS records of Name (ASCII form). Done gets the judged answer later, from the event loop,
    // never from inside this call; None when nothing usable came in time.
    void LookupNs(const QByteArray& Name, std::function<void(TNsAnswer)> Done);
    int InFlight() const { return FInFlight; }
    // The resolver asked (the first of the system's), as people read it; empty when it has none.
    QString ServerText() const { return FServerText; }

private:
    struct TChannel;
    TDnsResolver();
    static void OnSocketState(void* Data, int Socket, int Readable, int Writable);
    static void OnAnswer(void* Arg, int Status, int Timeouts, unsigned char* Answer, int Length);
    void Process(int ReadSocket, int WriteSocket);
    void ArmTimer();

    std::unique_ptr<TChannel> FChannel;
    QTimer* FTimer = nullptr;
    // Per socket of the library: the notifiers of its readability and writability.
    QHash<int, std::pair<QSocketNotifier*, QSocketNotifier*>> FNotifiers;
    QString FServerText;
    int FInFlight = 0;
    bool FSubmitting = false;
    bool FClosing = false;
};

namespace DnsReasons
{
// A name the zone delegates: taken, by DNS's word.
TCheckFailure Delegated();
} // namespace DnsReasons
