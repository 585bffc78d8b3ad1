#pragma once

#include <QString>
#include <QUrl>
#include <memory>
#include <utility>

class QNetworkAccessManager;

// Looks up the two site figures, PR and ТИЦ, on the metrics page of the product's web site: one HTTP GET
// per lookup, waiting in a local event loop that lets no user input through.
class TPuzomer {
public:
    TPuzomer();
    ~TPuzomer();
    TPuzomer(const TPuzomer&) = delete;
    TPuzomer& operator=(const TPuzomer&) = delete;

    // The site to look up; gets "http://" in front of it when it holds none, and keeps it.
    QString Site;

    // Limits of one lookup; past either, the lookup fails.
    int TimeoutMs = 30000;
    qint64 MaxBodyBytes = qint64(1) << 20;

    // One lookup for Site; sets PR and TIC. A blank Site sends nothing and keeps the last figures.
    // Throws EOrvantaError with a Russian message when the page cannot be fetched.
    void FillPuzomer();
    QString GetPR() const { return PR; }
    QString GetTIC() const { return TIC; }

    // The address fetched for Site (already prefixed): the metrics page address followed by Site,
    // percent-encoded where an address requires it.
    static QUrl RequestUrl(const QString& Site);

    // The figures of a metrics page: PR between "pr_" and "_pr" ("-1" when that is empty), ТИЦ between
    // "tyc_" and "_tyc"; the body decoded by the charset of ContentType, else as UTF-8.
    static std::pair<QString, QString> ParsePage(const QByteArray& Body, const QString& ContentType);

private:
    static constexpr int MaxRedirects = 15;

    // One HTTP exchange as received.
    struct TAnswer {
        int Status = 0;
        QUrl Location;
        QString ContentType;
        QByteArray Body;
    };
    // The page at Url, redirects followed; its status is a success.
    TAnswer Fetch(const QUrl& Url);
    TAnswer Get(const QUrl& Url, qint64 TimeLeftMs);

    std::unique_ptr<QNetworkAccessManager> IDReq;
    QString TIC;
    QString PR;
};
