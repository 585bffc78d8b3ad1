#pragma once

#include <QString>

// Where the program, its shipped files and the user's data live.

inline constexpr int CSIDL_APPDATA = 26;

// The folder of the program file, ending in a separator.
QString GetAppFolder();

// Where the files shipped with the program (lists, tips, tip pictures) are: "../share/orvanta/" from
// AppFolder when that folder exists, as in an installed tree; else AppFolder itself, as in the build
// folder. Ends in a separator.
QString GetShippedFolder(const QString& AppFolder = GetAppFolder());

// The per-user folder for FolderId without a trailing separator, or empty. Only CSIDL_APPDATA is known:
// $XDG_DATA_HOME, else ~/.local/share.
QString GetSpecialFolder(int FolderId);

// GetSpecialFolder(CSIDL_APPDATA) + "/Quorbel Software/Orvanta/"; always ends in a separator, creates nothing.
QString GetDataFolder();
