#include "support/FailingDevice.h"

TFailingDevice::TFailingDevice(qint64 Limit)
    : FLimit(Limit)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TFailingDevice::readData(char*, qint64) { return -1; }

qint64 TFailingDevice::writeData(const char* data, qint64 size)
{
    const qint64 room = FLimit - FTaken.size();
    if (room <= 0)
        return -1;
    const qint64 taken = qMin(room, size);
    FTaken.append(data, taken);
    return taken;
}
