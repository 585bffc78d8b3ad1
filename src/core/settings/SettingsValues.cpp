#include "core/settings/SettingsValues.h"

#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

#include <cmath>

bool WriteRegBool(const QString& ValueName, bool NewValue)
{
    return WriteSetting(TBoolKey { ValueName }, NewValue);
}

bool ReadRegBool(const QString& ValueName)
{
    try {
        return TSettingsStore::OpenKey() && ReadSetting(TBoolKey { ValueName }).value_or(false);
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
    return WriteSetting(TDateKey { ValueName }, NewValue);
}

QDateTime ReadRegDate(const QString& ValueName)
{
    try {
        if (TSettingsStore::OpenKey()) {
            if (const auto date = ReadSetting(TDateKey { ValueName }))
                return *date;
            if (!TSettingsStore::Exists(ValueName)) {
                WriteRegDate(ValueName, QDateTime::currentDateTime());
                return QDateTime::currentDateTime();
            }
        }
    } catch (...) {
    }
    return QDateTime::currentDateTime();
}
