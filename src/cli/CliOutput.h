#pragma once

#include "core/common/Interruption.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

// The batch tool's writing: where the results may go, and the write itself, which a signal abandons.

// Refuses an output that is one of the inputs (the same file, also through a link): writing it would
// replace what the tool reads. InputFiles are the files named on the command line; WordsFromStandardInput
// adds standard input, where the word list then comes from. The usage error's text, or nothing.
std::optional<QString> OutputClash(const QString& Output, const QStringList& InputFiles, bool WordsFromStandardInput);

struct TWriteOutcome {
    enum class TEnd {
        Written,
        Stopped, // a signal came during the write: a file was left as it was, standard output ends short
        Failed,
    };
    TEnd End = TEnd::Written;
    // What to tell the user when not written.
    QString Message;
};

// Writes the results through Writer into the file Path, replacing it atomically (WriteFileAtomically), or
// onto standard output when Path is empty. Once Stop is requested the write is given up within a moment,
// even while standard output is a pipe nobody reads.
TWriteOutcome WriteResults(
    const QString& Path, const TInterruption& Stop, const std::function<void(QIODevice&)>& Writer);

// Ends the tool with Code once standard output and error are flushed. The names are not freed one by one.
[[noreturn]] void ExitAtOnce(int Code);
