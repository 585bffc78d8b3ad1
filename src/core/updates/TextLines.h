#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Plain text files shipped or downloaded for the program (the tips, the update list), read exactly like
// the list files.
QStringList DecodeTextLines(const QByteArray& Bytes);
// Reads FileName into Lines. False, with Lines emptied, when the file cannot be opened or read.
bool ReadTextLines(const QString& FileName, QStringList& Lines);
