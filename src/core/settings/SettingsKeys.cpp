#include "core/settings/SettingsKeys.h"

#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

std::optional<bool> ReadSetting(TBoolKey Key)
{
    if (const auto value = TSettingsStore::ReadDWord(Key.Name.toString()))
        return *value != 0;
    return std::nullopt;
}

std::optional<qint32> ReadSetting(TIntKey Key)
{
    if (const auto value = TSettingsStore::ReadDWord(Key.Name.toString()))
        return qint32(*value);
    return std::nullopt;
}

std::optional<QString> ReadSetting(TStringKey Key)
{
    return TSettingsStore::ReadString(Key.Name.toString());
}

std::optional<QStringList> ReadSetting(TListKey Key)
{
    const auto text = TSettingsStore::ReadString(Key.Name.toString());
    if (!text)
        return std::nullopt;
    return text->isEmpty() ? QStringList() : text->split(u'\n');
}

std::optional<QDateTime> ReadSetting(TDateKey Key)
{
    const auto bytes = TSettingsStore::ReadBinary(Key.Name.toString());
    if (!bytes || bytes->size() != 8)
        return std::nullopt;
    const quint64 bits = qFromLittleEndian<quint64>(bytes->constData());
    double days = 0;
    std::memcpy(&days, &bits, sizeof days);
    if (!std::isfinite(days))
        return std::nullopt;
    return OleDateToDateTime(days);
}

bool WriteSetting(TBoolKey Key, bool Value)
{
    return TSettingsStore::WriteDWord(Key.Name.toString(), Value ? 1 : 0);
}

bool WriteSetting(TIntKey Key, qint32 Value)
{
    return TSettingsStore::WriteDWord(Key.Name.toString(), quint32(Value));
}

bool WriteSetting(TStringKey Key, const QString& Value)
{
    return TSettingsStore::WriteString(Key.Name.toString(), Value);
}

bool WriteSetting(TListKey Key, const QStringList& Value)
{
    return TSettingsStore::WriteString(Key.Name.toString(), Value.join(u'\n'));
}

bool WriteSetting(TDateKey Key, const QDateTime& Value)
{
    const double days = DateTimeToOleDate(Value);
    quint64 bits = 0;
    std::memcpy(&bits, &days, sizeof bits);
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return TSettingsStore::WriteBinary(Key.Name.toString(), bytes);
}
