#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// Every value the program keeps in the settings file, each named once here with its type. The type of the
// key chooses how the value is stored, so a name can never be read or written as something else.

// A switch, stored as a DWORD; any non-zero number reads as on.
struct TBoolKey {
    QStringView Name;
};
// A signed 32-bit number, stored as the DWORD of its two's complement (-300 as 0xFFFFFED4).
struct TIntKey {
    QStringView Name;
};
// A text, stored quoted.
struct TStringKey {
    QStringView Name;
};
// A list of texts without line breaks, stored as one text with an entry a line; an empty text is an empty
// list.
struct TListKey {
    QStringView Name;
};
// A point in local time, stored as the 8 bytes of an OLE date.
struct TDateKey {
    QStringView Name;
};

namespace SettingsKeys
{

inline constexpr TBoolKey NotFirstRun { u"NotFirstRun" };
// The tips at start-up.
inline constexpr TBoolKey ShowHelpStart { u"ShowHelpStart" };
// Check the names as soon as they are generated.
inline constexpr TBoolKey AutoCheckGenerate { u"AutoCheckGenerate" };
inline constexpr TBoolKey AutoRange { u"AutoRange" };
// RDAP where the registry offers it.
inline constexpr TBoolKey CheckViaRdap { u"CheckViaRdap" };
// DNS before the registry: delegated names are taken without asking it.
inline constexpr TBoolKey CheckViaDnsFirst { u"CheckViaDnsFirst" };
// How long a stored verdict stands in for asking again: "taken" in days, "free" in minutes; 0 asks again.
inline constexpr TIntKey ReuseTakenDays { u"ReuseTakenDays" };
inline constexpr TIntKey ReuseFreeMinutes { u"ReuseFreeMinutes" };
// Ask the site for the update list after start-up.
inline constexpr TBoolKey CheckUpdates { u"CheckUpdates" };
// The interface's language: 0 as the system's, 1 Russian, 2 English (TUiLanguage); read at start-up.
inline constexpr TIntKey UiLanguage { u"UiLanguage" };
// When the update list was last asked for.
inline constexpr TDateKey LastUpdate { u"LastUpdate" };

// The folders the open and save dialogs last used.
inline constexpr TStringKey LastFolderWordList { u"LastFolder_WordList" };
inline constexpr TStringKey LastFolderResults { u"LastFolder_Results" };
inline constexpr TStringKey LastFolderDataList { u"LastFolder_DataList" };

// The main window: 0 normal, 1 minimized, 2 maximized; then the frame's corner and the window's size.
inline constexpr TIntKey MainFormState { u"MainForm_WS" };
inline constexpr TIntKey MainFormLeft { u"MainForm_L" };
inline constexpr TIntKey MainFormTop { u"MainForm_T" };
inline constexpr TIntKey MainFormWidth { u"MainForm_W" };
inline constexpr TIntKey MainFormHeight { u"MainForm_H" };

// The main window's input as the user left it: the word count's choice (0, 1, 2: two to four keywords a
// name; 3: names given whole) and the zones checked (absent: every zone).
inline constexpr TIntKey WordCount { u"WordCount" };
inline constexpr TListKey ChosenZones { u"ChosenZones" };
// The name variants' switches, and the length limit's number of letters (kept while the limit is off).
inline constexpr TBoolKey VariantHyphen { u"Variant_Hyphen" };
inline constexpr TBoolKey VariantPrefixes { u"Variant_Prefixes" };
inline constexpr TBoolKey VariantSuffixes { u"Variant_Suffixes" };
inline constexpr TBoolKey VariantTranslit { u"Variant_Translit" };
inline constexpr TBoolKey VariantLengthLimit { u"Variant_LengthLimit" };
inline constexpr TIntKey VariantMaxLength { u"Variant_MaxLength" };

// The results grid's view: the filter's choice, the sort column (-1: run order) and its direction, and
// each column's width where the user set one (absent or -1: the column follows the panel).
inline constexpr TIntKey ResultsShow { u"Results_Show" };
inline constexpr TIntKey ResultsSortColumn { u"Results_SortColumn" };
inline constexpr TBoolKey ResultsSortDescending { u"Results_SortDescending" };
inline constexpr TIntKey ResultsColumnW[] { { u"Results_W0" }, { u"Results_W1" }, { u"Results_W2" }, { u"Results_W3" },
    { u"Results_W4" } };

} // namespace SettingsKeys

// Typed reads: empty when the value is absent, stored with another type, or the file cannot be used. A date
// also reads as empty when its bytes are not a finite OLE date.
std::optional<bool> ReadSetting(TBoolKey Key);
std::optional<qint32> ReadSetting(TIntKey Key);
std::optional<QString> ReadSetting(TStringKey Key);
std::optional<QStringList> ReadSetting(TListKey Key);
std::optional<QDateTime> ReadSetting(TDateKey Key);

// Typed writes: false when the settings folder cannot be made; a failure to replace the file throws
// EOrvantaError.
bool WriteSetting(TBoolKey Key, bool Value);
bool WriteSetting(TIntKey Key, qint32 Value);
bool WriteSetting(TStringKey Key, const QString& Value);
bool WriteSetting(TListKey Key, const QStringList& Value);
bool WriteSetting(TDateKey Key, const QDateTime& Value);
