#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QStringList>
#include "support/HttpTestServer.h"

// The product's site for download tests: each path answers as scripted, unknown paths get 404. Runs on
// the loopback HTTP test server.
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
    };

    TLoopbackSite();
    bool IsListening() const { return FServer.Port() != 0; }
    // "http://127.0.0.1:<port>", the form ORVANTA_SITE_URL takes.
    QString Url() const;
    void Serve(const QString& Path, const TReply& Reply) { FReplies.insert(Path, Reply); }
    // Request paths in arrival order.
    QStringList Requests() const { return FRequests; }

Q_SIGNALS:
    void RequestReceived(const QString& Path);

private:
    THttpTestServer FServer;
    QMap<QString, TReply> FReplies;
    QStringList FRequests;
};
