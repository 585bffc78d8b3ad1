#include "support/LoopbackTls.h"

#include <QFile>
#include <QSslKey>
#include <QTest>

QSslConfiguration LoopbackTls()
{
    QFile certFile(QFINDTESTDATA("../data/tls/loopback.crt"));
    QFile keyFile(QFINDTESTDATA("../data/tls/loopback.key"));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!certFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly))
        return tls;
    tls.setLocalCertificate(QSslCertificate(&certFile, QSsl::Pem));
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem));
    return tls;
}

TTrustLoopbackTls::TTrustLoopbackTls()
    : FBefore(QSslConfiguration::defaultConfiguration())
{
    QSslConfiguration client = FBefore;
    client.addCaCertificate(LoopbackTls().localCertificate());
    QSslConfiguration::setDefaultConfiguration(client);
}

TTrustLoopbackTls::~TTrustLoopbackTls()
{
    QSslConfiguration::setDefaultConfiguration(FBefore);
}
