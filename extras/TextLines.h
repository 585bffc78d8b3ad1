#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Plain text files shipped or downloaded for the program (the tips, the update list), read like the list
// files: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE and is dropped; without one the bytes are
// Windows-1251. Lines end at CR LF, CR or LF; a final line break adds no empty line, inner empty lines stay.
QStringList DecodeTextLines(const QByteArray& Bytes);

// Reads FileName into Lines. False, with Lines emptied, when the file cannot be opened or read.
bool ReadTextLines(const QString& FileName, QStringList& Lines);
