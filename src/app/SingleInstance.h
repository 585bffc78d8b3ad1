#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One running instance per user. The first start holds a lock file and listens on a local socket; a
// second start hands its first argument to that socket and ends. Both live in the per-user runtime folder
// ($XDG_RUNTIME_DIR, else a folder of the user's own under the temporary folder).
class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // A fixed name of 19 letters and digits, unique to the program.
    static constexpr char ServerName[] = "QrbOrvanta21Lk7Xq4Z";

    explicit TSingleInstance(QObject* parent = nullptr);
    ~TSingleInstance() override;

    static QString RuntimeFolder();
    static QString SocketPath();

    // Takes the lock; false when another live instance holds it. A lock left by a killed instance is taken
    // over.
    bool TryLock();
    // Starts listening for second starts; call after TryLock succeeded and a QCoreApplication exists.
    bool Listen();

    // The forwarded argument: UTF-16 (host byte order) with a terminating zero character.
    static QByteArray Encode(const QString& Argument);
    // The argument back from what Received delivers; bytes of odd length or without the zero give what
    // precedes the first zero character of the whole characters.
    static QString Decode(const QByteArray& Bytes);
    // A second start's side: sends Argument to the running instance and waits until it has been taken,
    // at most TimeoutMs. False when no running instance answered.
    static bool Forward(const QString& Argument, int TimeoutMs = 5000);

Q_SIGNALS:
    // A second start delivered its argument (the raw bytes, terminating zero included).
    void Received(const QByteArray& Bytes);

private:
    void Accept();

    std::unique_ptr<QLockFile> FLock;
    QLocalServer* FServer = nullptr;
};
