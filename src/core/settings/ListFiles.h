#pragma once

#include "core/common/BoundedRead.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// Plain text lists (the zone and WHOIS lists, word lists): one entry per line, read in whatever encoding a
// user's editor left them in, written so that they read back unchanged.

// Windows-1251, the Cyrillic 8-bit code page. Its byte 0x98 is unassigned; it maps to U+0098 both ways, so
// any byte sequence survives a read and a write unchanged.
QString DecodeCp1251(const QByteArray& Bytes);
// Empty when a character has no byte in the code page.
std::optional<QByteArray> EncodeCp1251(QStringView Text);

// File bytes to text. A byte-order mark selects UTF-8 (EF BB BF), UTF-16 LE (FF FE) or UTF-16 BE (FE FF)
// and is dropped; without one, bytes that are valid UTF-8 read as UTF-8 and anything else as
// Windows-1251. CR LF, lone CR and lone LF all become "\n"; a final line break stays in the text.
QString DecodeListText(const QByteArray& Bytes);

// The entries of a decoded text: a final line break adds no empty entry, blank lines between entries are
// kept, and an empty text has no entries.
QStringList SplitListLines(const QString& Text);

// Text to file bytes, lines separated by CR LF (a final break only when the text ends with one).
// Windows-1251 without a mark when that reads back as the same text; otherwise UTF-8 with a mark, or, for a
// text with a lone surrogate that UTF-8 cannot hold, UTF-16 LE with a mark. So no character is ever
// replaced and no 1251 text is mistaken for UTF-8 or for a mark.
QByteArray EncodeListText(const QString& Text);

// The most a list file may hold: a word list of a million long words is still far below.
inline constexpr qint64 ListFileMaxBytes = qint64(64) << 20;

// The whole decoded text of a file, read as TBoundedInput reads it (a device, a pipe or a FIFO too).
// Throws EOrvantaError naming the file when it cannot be read, passes ListFileMaxBytes or does not fit in
// memory; EInterrupted when a signal comes first.
QString ReadListText(const QString& Path);
// The same for an input already open (standard input).
QString ReadListText(TBoundedInput& Input);
// The entries of a file, with the errors of ReadListText.
QStringList ReadListFile(const QString& Path);

// Creates or replaces the file whole with EncodeListText(Text). The replacement is atomic: when the write
// fails, the previous file stays as it was and EOrvantaError is thrown.
void WriteListFile(const QString& Path, const QString& Text);

// Splits SourceText at every Delimiter into the caller's slots, in order. Only the slots that Pieces
// already has are written; parts beyond them are dropped, and slots after the last part keep their text.
void SplitText(QStringList& Pieces, const QString& Delimiter, const QString& SourceText);
