#pragma once

#include <QSslCertificate>
#include <QSslConfiguration>

// TLS on loopback: the certificate and key of tests/data/tls, made once for 127.0.0.1 with
//   openssl req -x509 -newkey rsa:2048 -nodes -days 36500 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1
// The server's side: the default configuration with that certificate and key; null ones when the files
// cannot be read (check LocalCertificate under QVERIFY).
QSslConfiguration LoopbackTls();

// Makes the process's clients trust the loopback certificate for the lifetime of the object, as they trust
// the system's authorities; the default configuration is restored after.
class TTrustLoopbackTls
{
public:
    TTrustLoopbackTls();
    ~TTrustLoopbackTls();
    TTrustLoopbackTls(const TTrustLoopbackTls&) = delete;
    TTrustLoopbackTls& operator=(const TTrustLoopbackTls&) = delete;

private:
    QSslConfiguration FBefore;
};
