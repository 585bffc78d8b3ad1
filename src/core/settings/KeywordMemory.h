#pragma once

#include <QString>

// The keyword list the main window held when it closed, kept in the data folder for the next start. It
// is a list file like the others: any text reads back exactly as it was written.
inline constexpr char16_t KeywordMemoryFileName[] = u"keywords.txt";

// The list kept at the last close; empty when none was kept or the file cannot be read (the next close
// replaces it).
QString RememberedKeywords();

// Keeps Text for the next start. The file is replaced atomically: a failed write leaves the one before.
// Throws EOrvantaError when the data folder cannot be made or the file cannot be written.
void RememberKeywords(const QString& Text);
