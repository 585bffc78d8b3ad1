#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A WHOIS server on 127.0.0.1 (ephemeral port) with a scripted behaviour per queried name. It works in
// the thread it lives in, so a client in the same thread must wait in an event loop (the engine's client
// does); a client in another process needs the test to wait with QTRY_* or QSignalSpy::wait.
class TWhoisTestServer : public QObject {
    Q_OBJECT
public:
    enum class TMode {
        Answer, // send Text, then close
        Reset, // send Text, then reset the connection
        Silent, // read the query and never answer
        Endless, // send Text again and again until the client goes (every IntervalMs when set)
        Drip, // send Text ChunkBytes at a time, IntervalMs apart, then close
    };
    struct TBehaviour {
        TMode Mode = TMode::Answer;
        QByteArray Text;
        int IntervalMs = 0;
        int ChunkBytes = 1;
    };

    // Listens on Address (a loopback address) at Port, or a free port when Port is 0.
    explicit TWhoisTestServer(QObject* parent = nullptr, const QHostAddress& Address = QHostAddress::LocalHost,
        quint16 Port = 0);
    ~TWhoisTestServer() override;

    quint16 Port() const { return FServer.serverPort(); }

    // The behaviour for the query line Name (without CR LF); names without one get Default.
    void Script(const QByteArray& Name, const TBehaviour& Behaviour) { FScript.insert(Name, Behaviour); }
    // "%N" in a behaviour's text stands for the name asked about: by default the server holds a record of
    // every name.
    TBehaviour Default { TMode::Answer, "Domain Name: %N\r\nRegistrar: Test Registrar\r\n" };

    // Every query line as received, CR LF included, in order.
    QList<QByteArray> Received;
    int Connections = 0;
    // The most connections open at once.
    int MostAtOnce = 0;
    // The connections open now: a connection counts until the server has seen it closed.
    int Open() const { return FOpen; }

    // A registry's limit: past Queries connections in any WindowMs, every query is refused for BlockMs
    // (and the block starts again with each refused query). Queries 0: no limit.
    struct TRateLimit {
        int Queries = 0;
        int WindowMs = 1000;
        int BlockMs = 1000;
        QByteArray Refusal = "% You have exceeded allowed connection rate.\r\n% Please try to connect later.\r\n";
    };
    TRateLimit Limit;
    int Refused = 0;

private:
    void OnConnection();
    void Serve(QTcpSocket* Socket, const QByteArray& Name);

    QTcpServer FServer;
    QHash<QByteArray, TBehaviour> FScript;
    QElapsedTimer FClock;
    QList<qint64> FAccepted; // when recent connections came
    qint64 FBlockedUntil = -1;
    int FOpen = 0;
};
