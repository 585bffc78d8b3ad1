#pragma once

#include "core/common/Paths.h"

#include <QString>
#include <QStringList>

// The two editable lists live in the per-user data folder; the copies shipped with the program (in the
// folder GetShippedFolder finds) seed it.
inline constexpr char16_t WhoisListFileName[] = u"whois.dat";
inline constexpr char16_t ZoneListFileName[] = u"first.dat";
// How fast each WHOIS server may be asked: lines "HOST:QUERIES:SECONDS".
inline constexpr char16_t ServerLimitsFileName[] = u"limits.dat";
// Which zones are checked over RDAP, and at which server: the registries' bootstrap list.
inline constexpr char16_t RdapBootstrapFileName[] = u"rdap.json";
// Which letters each zone's names may use: lines "ZONE:SCRIPTS".
inline constexpr char16_t ZoneScriptsFileName[] = u"zone-scripts.dat";
// What is put before and after each generated name, one a line.
inline constexpr char16_t PrefixListFileName[] = u"prefixes.dat";
inline constexpr char16_t SuffixListFileName[] = u"suffixes.dat";
// How Cyrillic letters are spelt in Latin: lines "LETTER:LATIN".
inline constexpr char16_t TranslitFileName[] = u"translit.dat";

// The data folder, made first when it is missing. Throws EOrvantaError when it cannot be made.
QString MakeDataFolder();

// Where the list file FileName loads from: the data folder's file when it is there; else AppFolder's,
// copied into the data folder first (the folder is created when missing, so the very first start already
// has the shipped lists); else empty, when neither folder holds it. AppFolder's file is never written. Throws EOrvantaError when the copy fails.
QString FindDataFile(const QString& FileName, const QString& AppFolder = GetShippedFolder());

// Replaces List with the entries of FileName found by FindDataFile. When neither folder holds the file,
// returns false and leaves List as it was. Throws EOrvantaError when the file cannot be copied or read;
// List then also stays as it was.
bool LoadDataList(const QString& FileName, QStringList& List, const QString& AppFolder = GetShippedFolder());
