#pragma once

#include <QByteArray>
#include <QIODevice>

// A write-only device that takes the first Limit bytes and refuses the rest, as a full disk does.
class TFailingDevice : public QIODevice {
public:
    explicit TFailingDevice(qint64 Limit);
    const QByteArray& Taken() const { return FTaken; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    qint64 FLimit;
    QByteArray FTaken;
};
