#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 site on 127.0.0.1 and a free port, for tests that download from "the product's site".
// Each path answers as scripted; unknown paths get 404. One request per connection, then the site closes.
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
    bool IsListening() const { return FServer.isListening(); }
    // "http://127.0.0.1:<port>", the form ORVANTA_SITE_URL takes.
    QString Url() const;
    void Serve(const QString& Path, const TReply& Reply) { FReplies.insert(Path, Reply); }
    // Request paths in arrival order.
    QStringList Requests() const { return FRequests; }

Q_SIGNALS:
    void RequestReceived(const QString& Path);

private:
    void Accept();
    void Read(QTcpSocket* Socket);

    QTcpServer FServer;
    QMap<QString, TReply> FReplies;
    QStringList FRequests;
    QHash<QTcpSocket*, QByteArray> FPending;
};
