#include "support/DnsTestServer.h"

#include <QNetworkDatagram>
#include <algorithm>

namespace DnsWire
{
namespace
{

void Put16(QByteArray& Out, int Value)
{
    Out.append(char((Value >> 8) & 0xFF));
    Out.append(char(Value & 0xFF));
}

void PutRecord(QByteArray& Out, const TRecord& Record, const QByteArray& Question)
{
    // A pointer to the question's name at offset 12, as servers compress the owner.
    if (!Record.OwnerWire.isEmpty())
        Out.append(Record.OwnerWire);
    else if (!Question.isEmpty() && Record.Owner == Question)
        Out.append("\xC0\x0C", 2);
    else
        Out.append(EncodeName(Record.Owner));
    Put16(Out, Record.Type);
    Put16(Out, Record.Class);
    Out.append("\0\0\x0E\x10", 4); // an hour
    const QByteArray data = Record.DataWire.isEmpty() ? EncodeName(Record.Target) : Record.DataWire;
    Put16(Out, int(data.size()));
    Out.append(data);
}

} // namespace

QByteArray EncodeName(const QByteArray& Name)
{
    QByteArray out;
    for (const QByteArray& label : Name.split('.')) {
        if (label.isEmpty())
            continue;
        out.append(char(label.size()));
        out.append(label);
    }
    out.append('\0');
    return out;
}

QByteArray Encode(const TMessage& Message)
{
    QByteArray out;
    Put16(out, Message.Id);
    out.append(char((Message.Response ? 0x80 : 0) | (Message.Truncated ? 0x02 : 0) | 0x01)); // RD
    out.append(char(0x80 | (Message.Rcode & 0x0F))); // RA
    Put16(out, Message.QuestionCount);
    Put16(out, int(Message.Answers.size()));
    Put16(out, int(Message.Authority.size()));
    Put16(out, 0);
    if (Message.QuestionCount > 0) {
        out.append(EncodeName(Message.Question));
        Put16(out, Message.QuestionType);
        Put16(out, ClassIn);
    }
    for (const TRecord& r : Message.Answers)
        PutRecord(out, r, Message.QuestionCount > 0 ? Message.Question : QByteArray());
    for (const TRecord& r : Message.Authority)
        PutRecord(out, r, Message.QuestionCount > 0 ? Message.Question : QByteArray());
    return out;
}

} // namespace DnsWire

TDnsTestServer::TDnsTestServer(QObject* parent)
    : QObject(parent)
{
    if (!FSocket.bind(QHostAddress::LocalHost, 0))
        qFatal("DNS test server: cannot bind: %s", qPrintable(FSocket.errorString()));
    connect(&FSocket, &QUdpSocket::readyRead, this, &TDnsTestServer::OnReadyRead);
}

QString TDnsTestServer::Address() const
{
    return QStringLiteral("127.0.0.1:%1").arg(Port());
}

int TDnsTestServer::ReceivedIn(const QByteArray& Zone) const
{
    const QByteArray suffix = QByteArray('.' + Zone.toLower());
    return int(std::count_if(
        Received.cbegin(), Received.cend(), [&](const QByteArray& Name) { return Name.toLower().endsWith(suffix); }));
}

TDnsTestServer::TMode TDnsTestServer::ModeFor(const QByteArray& Name) const
{
    const QByteArray name = Name.toLower();
    if (const auto it = FScript.constFind(name); it != FScript.cend())
        return *it;
    for (const QByteArray& zone : FWildcards)
        if (name.endsWith(QByteArray('.' + zone)))
            return TMode::Delegated;
    return Default;
}

void TDnsTestServer::OnReadyRead()
{
    while (FSocket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = FSocket.receiveDatagram();
        const QByteArray query = datagram.data();
        if (query.size() < 17)
            continue;
        // The question as the resolver library writes it: plain labels from offset 12.
        QByteArray name;
        qsizetype at = 12;
        while (at < query.size() && query.at(at) != 0) {
            const int length = quint8(query.at(at));
            if (!name.isEmpty())
                name.append('.');
            name.append(query.mid(at + 1, length));
            at += length + 1;
        }
        Received << name;
        const TMode mode = ModeFor(name);
        if (mode == TMode::Silent)
            continue;
        DnsWire::TMessage m;
        m.Id = quint16((quint8(query.at(0)) << 8) | quint8(query.at(1)));
        m.Question = name;
        const QByteArray zone = name.mid(name.indexOf('.') + 1);
        const auto servers = [](const QByteArray& Owner, QList<DnsWire::TRecord>& Into) {
            Into << DnsWire::TRecord { Owner, DnsWire::TypeNs, "ns1.example.net" }
                 << DnsWire::TRecord { Owner, DnsWire::TypeNs, "ns2.example.net" };
        };
        switch (mode) {
        case TMode::Delegated:
            servers(name, m.Answers);
            break;
        case TMode::NoSuchName:
            m.Rcode = DnsWire::NoSuchName;
            break;
        case TMode::NoData:
        case TMode::Silent:
            break;
        case TMode::ServerFailure:
            m.Rcode = DnsWire::ServerFailure;
            break;
        case TMode::Alias:
            m.Answers << DnsWire::TRecord { name, DnsWire::TypeCname, "parked.example.net" };
            servers("parked.example.net", m.Answers);
            break;
        case TMode::OtherOwner:
            servers(zone, m.Answers);
            break;
        case TMode::Referral:
            servers(name, m.Authority);
            break;
        }
        FSocket.writeDatagram(DnsWire::Encode(m), datagram.senderAddress(), quint16(datagram.senderPort()));
    }
}
