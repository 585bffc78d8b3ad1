#pragma once

#include <QString>

// The folder an open or save dialog last used, one per kind of file, kept in the settings so the next
// dialog of that kind starts there, also after a restart.
enum class TFileKind {
    WordList, // keyword lists opened and saved from the main window
    Results, // exports and reports
    DataList, // zone and WHOIS lists loaded and saved in the settings dialog
};

// The remembered folder, or empty when there is none or it no longer exists.
QString LastFolder(TFileKind Kind);
// Remembers the folder of FilePath for Kind. A settings file that cannot be written costs only the
// remembering, never the command that chose the file.
void RememberFolder(TFileKind Kind, const QString& FilePath);
