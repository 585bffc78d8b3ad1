#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

// Free-standing routines shared by the whole program.

inline constexpr int CSIDL_APPDATA = 26;

// Splits SourceText at every Delimiter into the caller's slots, in order. Only the slots that Pieces
// already has are written; parts beyond them are dropped, and slots after the last part keep their text.
void SplitText(QStringList& Pieces, const QString& Delimiter, const QString& SourceText);

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

// Hands an address or a file to the desktop's default handler; false when nothing could take it.
bool OpenDocument(const QString& Target);
// OpenDocument for a command: a page that cannot be opened (no browser) raises EOrvantaError saying so.
void OpenWebPage(const QString& Url);
// Replaces how OpenDocument opens things (the GUI and tests set it); an empty handler restores the default.
void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler);

bool WriteRegBool(const QString& ValueName, bool NewValue);
bool ReadRegBool(const QString& ValueName);
bool WriteRegDate(const QString& ValueName, const QDateTime& NewValue);
QDateTime ReadRegDate(const QString& ValueName);

// Days since 30 December 1899 with the time of day as the fraction, in local time.
double DateTimeToOleDate(const QDateTime& Value);
QDateTime OleDateToDateTime(double Value);
