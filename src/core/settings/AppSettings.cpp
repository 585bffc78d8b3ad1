#include "core/settings/AppSettings.h"

#include "core/common/Errors.h"
#include "core/settings/DataFiles.h"
#include "core/settings/SettingsKeys.h"
#include "core/settings/SettingsStore.h"

namespace
{

void LoadBool(TBoolKey Key, bool& Field)
{
    if (const auto value = ReadSetting(Key))
        Field = *value;
}

void LoadAge(TIntKey Key, qint32& Field)
{
    if (const auto value = ReadSetting(Key); value && *value >= 0)
        Field = *value;
}

void LoadList(const QString& FileName, QStringList& List, const QString& AppFolder)
{
    try {
        LoadDataList(FileName, List, AppFolder);
    } catch (const EOrvantaError&) {
        // Start-up goes on with the list as it was; the settings dialog reports the same failure.
    }
}

} // namespace

void LoadSettings(TAppSettings& Settings, const QString& AppFolder)
{
    if (TSettingsStore::OpenKey()) {
        LoadBool(SettingsKeys::AutoCheckGenerate, Settings.Setting_AutoWhois);
        LoadBool(SettingsKeys::AutoRange, Settings.Setting_AutoRange);
        LoadBool(SettingsKeys::CheckViaRdap, Settings.Setting_UseRdap);
        LoadBool(SettingsKeys::CheckViaDnsFirst, Settings.Setting_DnsFirst);
        LoadAge(SettingsKeys::ReuseTakenDays, Settings.Setting_ReuseTakenDays);
        LoadAge(SettingsKeys::ReuseFreeMinutes, Settings.Setting_ReuseFreeMinutes);
        LoadBool(SettingsKeys::CheckUpdates, Settings.Setting_CheckUpdates);
    }
    LoadList(QString::fromUtf16(WhoisListFileName), Settings.Setting_WhoisList, AppFolder);
    LoadList(QString::fromUtf16(ZoneListFileName), Settings.Setting_FirstList, AppFolder);
}

bool WriteFirstRunDefaults()
{
    if (ReadSetting(SettingsKeys::NotFirstRun).value_or(false))
        return false;
    WriteSetting(SettingsKeys::NotFirstRun, true);
    WriteSetting(SettingsKeys::ShowHelpStart, true);
    WriteSetting(SettingsKeys::AutoCheckGenerate, false);
    WriteSetting(SettingsKeys::AutoRange, false);
    return true;
}
