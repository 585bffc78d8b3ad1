#pragma once

#include "core/common/Paths.h"

#include <QStringList>

// The settings the main window holds while it runs.
struct TAppSettings {
    bool Setting_AutoWhois = false; // "AutoCheckGenerate"
    bool Setting_AutoRange = false; // "AutoRange"
    bool Setting_UseRdap = true; // "CheckViaRdap": RDAP where the registry offers it
    bool Setting_DnsFirst = true; // "CheckViaDnsFirst": DNS before the registry
    qint32 Setting_ReuseTakenDays = 7; // "ReuseTakenDays": a stored "taken" is reused this long
    qint32 Setting_ReuseFreeMinutes = 60; // "ReuseFreeMinutes": a stored "free" is reused this long
    bool Setting_CheckUpdates = true; // "CheckUpdates": the update list asked for after start-up
    QStringList Setting_WhoisList; // lines of whois.dat
    QStringList Setting_FirstList; // lines of first.dat
};

// Loads the four switches and the two ages (a negative one is passed over) from the settings key and both lists by the
// data file lookup. Silent: a value that is absent, of another type or unreadable leaves its field as it was, and so
// does a list that neither folder holds or that cannot be copied or read. Each list loads whatever happened to the
// values and to the other list.
void LoadSettings(TAppSettings& Settings, const QString& AppFolder = GetShippedFolder());

// On the first start ("NotFirstRun" reads false) writes "NotFirstRun" = 1, "ShowHelpStart" = 1,
// "AutoCheckGenerate" = 0 and "AutoRange" = 0 and returns true; later starts write nothing and return
// false. Writes nothing when the settings key cannot be opened; a failed write throws EOrvantaError.
bool WriteFirstRunDefaults();
