#include "core/settings/AppSettings.h"

#include "core/common/Errors.h"
#include "core/settings/DataFiles.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"

namespace {

void LoadBool(const QString& ValueName, bool& Field)
{
    if (const auto value = TSettingsStore::ReadDWord(ValueName))
        Field = *value != 0;
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
        LoadBool(u"AutoCheckGenerate"_qs, Settings.Setting_AutoWhois);
        LoadBool(u"AutoRange"_qs, Settings.Setting_AutoRange);
        LoadBool(u"CheckViaRdap"_qs, Settings.Setting_UseRdap);
    }
    LoadList(QString::fromUtf16(WhoisListFileName), Settings.Setting_WhoisList, AppFolder);
    LoadList(QString::fromUtf16(ZoneListFileName), Settings.Setting_FirstList, AppFolder);
}

bool WriteFirstRunDefaults()
{
    if (ReadRegBool(u"NotFirstRun"_qs))
        return false;
    WriteRegBool(u"NotFirstRun"_qs, true);
    WriteRegBool(u"ShowHelpStart"_qs, true);
    WriteRegBool(u"AutoCheckGenerate"_qs, false);
    WriteRegBool(u"AutoRange"_qs, false);
    return true;
}
