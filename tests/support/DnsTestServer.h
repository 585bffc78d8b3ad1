#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUdpSocket>

// The pieces of a DNS message, as the tests build answers.
namespace DnsWire
{
enum : quint16 {
    TypeNs = 2,
    TypeCname = 5,
    TypeSoa = 6,
    TypeA = 1,
    ClassIn = 1,
};
enum : int {
    NoError = 0,
    ServerFailure = 2,
    NoSuchName = 3,
    Refused = 5,
};

// A record whose data is one name (NS, CNAME). OwnerWire and DataWire, when set, are written as they are
// instead of the owner's and the target's encoding: odd labels, pointers, garbage.
struct TRecord {
    QByteArray Owner;
    quint16 Type = TypeNs;
    QByteArray Target;
    quint16 Class = ClassIn;
    QByteArray OwnerWire {};
    QByteArray DataWire {};
};

struct TMessage {
    quint16 Id = 0;
    bool Response = true;
    bool Truncated = false;
    int Rcode = NoError;
    // The question; QuestionCount overrides how many the header claims.
    QByteArray Question;
    quint16 QuestionType = TypeNs;
    int QuestionCount = 1;
    QList<TRecord> Answers;
    QList<TRecord> Authority;
};

// "a.b" as labels: 1 'a' 1 'b' 0; uncompressed.
QByteArray EncodeName(const QByteArray& Name);
// The message's bytes. Owners equal to the question are written as a pointer to it, as servers do.
QByteArray Encode(const TMessage& Message);
} // namespace DnsWire

// A DNS server on 127.0.0.1 (UDP, a free port) answering NS queries by script: each name asked gets its
// scripted behaviour, a name under a wildcard zone is delegated, any other gets Default.
class TDnsTestServer : public QObject
{
    Q_OBJECT
public:
    enum class TMode {
        Delegated, // NS records of the name in the answer
        NoSuchName, // NXDOMAIN
        NoData, // no error, nothing in the answer
        ServerFailure, // SERVFAIL
        Silent, // never answers
        Alias, // a CNAME of the name to another, with the other's NS records
        OtherOwner, // NS records of the zone, not of the name
        Referral, // NS records of the name in the authority section, as a zone's own server refers
    };

    explicit TDnsTestServer(QObject* parent = nullptr);

    quint16 Port() const { return FSocket.localPort(); }
    // "127.0.0.1:PORT", as the batch tool and the settings take it.
    QString Address() const;

    void Script(const QByteArray& Name, TMode Mode) { FScript.insert(Name.toLower(), Mode); }
    // Every name under Zone, a random one included, is delegated.
    void Wildcard(const QByteArray& Zone) { FWildcards.insert(Zone.toLower()); }
    TMode Default = TMode::NoSuchName;

    // The names asked, in order, letter case as sent.
    QList<QByteArray> Received;
    // Received names under Zone.
    int ReceivedIn(const QByteArray& Zone) const;

private:
    void OnReadyRead();
    TMode ModeFor(const QByteArray& Name) const;

    QUdpSocket FSocket;
    QHash<QByteArray, TMode> FScript;
    QSet<QByteArray> FWildcards;
};
