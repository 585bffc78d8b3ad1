#include "support/LoopbackSite.h"

TLoopbackSite::TLoopbackSite()
{
    Answer();
}

TLoopbackSite::TLoopbackSite(const QSslConfiguration& Tls)
    : FServer(Tls)
{
    Answer();
}

void TLoopbackSite::Answer()
{
    FServer.Handler = [this](const THttpTestServer::TRequest& Request) {
        const QString path = QString::fromLatin1(Request.Target);
        FRequests << path;
        Q_EMIT RequestReceived(path);
        const TReply reply = FReplies.value(path, TReply { 404, QByteArrayLiteral("not found"), {}, false });
        THttpTestServer::TReply answer { reply.Status, {}, reply.Body, reply.Silent, {} };
        answer.Endless = reply.Endless;
        for (const QByteArray& line : reply.Headers.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                answer.Headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
        }
        return answer;
    };
}

QString TLoopbackSite::Url() const
{
    return FServer.BaseUrl();
}
