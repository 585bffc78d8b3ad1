#include "core/settings/SettingsValues.h"

#include "core/settings/SettingsStore.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

bool WriteRegBool(const QString& ValueName, bool NewValue)
{
    return TSettingsStore::WriteDWord(ValueName, NewValue ? 1 : 0);
}

bool ReadRegBool(const QString& ValueName)
{
    try {
        if (!TSettingsStore::OpenKey())
            return false;
        return TSettingsStore::ReadDWord(ValueName).value_or(0) != 0;
    } catch (...) {
        return false;
    }
}

double DateTimeToOleDate(const QDateTime& Value)
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    // The stored date is local wall-clock time, so compute it as if local time were UTC.
    const QDateTime wall(Value.date(), Value.time(), Qt::UTC);
    return double(epoch.msecsTo(wall)) / 86400000.0;
}

QDateTime OleDateToDateTime(double Value)
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const QDateTime wall = epoch.addMSecs(qint64(std::llround(Value * 86400000.0)));
    return QDateTime(wall.date(), wall.time(), Qt::LocalTime);
}

bool WriteRegDate(const QString& ValueName, const QDateTime& NewValue)
{
    const double days = DateTimeToOleDate(NewValue);
    quint64 bits = 0;
    std::memcpy(&bits, &days, sizeof bits);
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return TSettingsStore::WriteBinary(ValueName, bytes);
}

QDateTime ReadRegDate(const QString& ValueName)
{
    try {
        if (TSettingsStore::OpenKey()) {
            const auto bytes = TSettingsStore::ReadBinary(ValueName);
            if (bytes && bytes->size() == 8) {
                const quint64 bits = qFromLittleEndian<quint64>(bytes->constData());
                double days = 0;
                std::memcpy(&days, &bits, sizeof days);
                if (std::isfinite(days))
                    return OleDateToDateTime(days);
            } else if (!TSettingsStore::Exists(ValueName)) {
                WriteRegDate(ValueName, QDateTime::currentDateTime());
                return QDateTime::currentDateTime();
            }
        }
    } catch (...) {
    }
    return QDateTime::currentDateTime();
}
