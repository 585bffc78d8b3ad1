#pragma once

#include "support/HttpTestServer.h"

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QStringList>

// The product's site for download tests: each path answers as scripted, unknown paths get 404. Runs on
// the loopback HTTP test server, over plain TCP or over TLS.
// How long a wait for the site to see a connection closed may take: a loaded machine under the sanitizers
// needs seconds to wind an endless download down.
inline constexpr int CloseNoticedMs = 30000;

class TLoopbackSite : public QObject
{
    Q_OBJECT
public:
    struct TReply {
        int Status = 200;
        QByteArray Body;
        // Extra header lines, each ending in CR LF.
        QByteArray Headers;
        // Read the request and never answer, keeping the connection open.
        bool Silent = false;
        // Body over and over, with no length, until the client goes.
        bool Endless = false;
    };

    TLoopbackSite();
    // Over TLS with the certificate and key of Tls.
    explicit TLoopbackSite(const QSslConfiguration& Tls);
    bool IsListening() const { return FServer.Port() != 0; }
    // "http://127.0.0.1:<port>" (https over TLS), the form ORVANTA_SITE_URL takes.
    QString Url() const;
    // Connections closed, by either side, and the bytes of endless bodies handed out.
    int ClosedConnections() const { return FServer.Closed; }
    qint64 EndlessBytes() const { return FServer.EndlessBytes; }
    void Serve(const QString& Path, const TReply& Reply) { FReplies.insert(Path, Reply); }
    // Request paths in arrival order.
    QStringList Requests() const { return FRequests; }

Q_SIGNALS:
    void RequestReceived(const QString& Path);

private:
    void Answer();

    THttpTestServer FServer;
    QMap<QString, TReply> FReplies;
    QStringList FRequests;
};
