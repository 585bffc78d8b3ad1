#pragma once

#include "core/checks/HttpRequest.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <utility>

// Looks up the two site figures, PR and ТИЦ, on the metrics page of the product's web site: one HTTP GET
// per lookup, redirects followed within the site, driven by the network's signals.
class TSiteMetrics : public QObject
{
    Q_OBJECT
public:
    explicit TSiteMetrics(QObject* parent = nullptr);
    ~TSiteMetrics() override;

    // The site to look up; gets "http://" in front of it when it holds none, and keeps it.
    QString Site;

    // Limits of one lookup, redirects included; past either, the lookup fails.
    int TimeoutMs = 30000;
    qint64 MaxBodyBytes = qint64(1) << 20;

    // Starts one lookup for Site; Finished follows, with PR and TIC set or Error. A blank Site sends
    // nothing and keeps the last figures.
    void Start();
    // Ends a lookup in progress at once; Finished is not emitted.
    void Abort();

    bool Failed() const { return !FError.isEmpty(); }
    // Why the last lookup failed, in Russian.
    const QString& Error() const { return FError; }
    QString GetPR() const { return PR; }
    QString GetTIC() const { return TIC; }

    // The address fetched for Site (already prefixed): the metrics page address followed by Site,
    // percent-encoded where an address requires it.
    static QUrl RequestUrl(const QString& Site);
    // The two headers of every metrics request.
    static THttpHeaders RequestHeaders();
    // The figures of a metrics page: PR between "pr_" and "_pr" ("-1" when that is empty), ТИЦ between
    // "tyc_" and "_tyc"; the body decoded by the charset of ContentType, else as UTF-8.
    static std::pair<QString, QString> ParsePage(const QByteArray& Body, const QString& ContentType);
    // Whether a redirect from the page at From may lead to Target: the same site, with or without "www.",
    // on the same port or the scheme's own.
    static bool SameSite(const QUrl& From, const QUrl& Target);

Q_SIGNALS:
    void Finished();

private:
    static constexpr int MaxRedirects = 15;

    void OnAnswer();
    void Fail(const QString& Error);

    THttpRequest FRequest;
    QString FError;
    QString TIC;
    QString PR;
};
