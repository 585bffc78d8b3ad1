#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The batch tool's reading: standard input and the answer to its question. Every read waits for its bytes
// only until a signal comes (EInterrupted), and is capped like a list file (see TBoundedInput).

// Puts /dev/null on each of the standard descriptors 0, 1 and 2 the tool was started without, opened the
// other way round (standard input for writing, the outputs for reading): using it fails with "Неверный
// дескриптор файла" as the closed descriptor would, and no file opened later can take its number and get
// what was meant for standard output. Call it first, before anything opens a file.
void GuardStandardStreams();

// The keywords on standard input, read and decoded as a list file is. Throws EOrvantaError naming
// standard input when it cannot be read, passes ListFileMaxBytes or does not fit in memory.
QStringList ReadStandardInputWords();

// One line typed on standard input, trimmed; empty at the end of the input.
std::optional<QString> ReadAnswerLine();
