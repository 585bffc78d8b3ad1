#pragma once

#include "core/candidates/Candidate.h"
#include "core/common/BoundedRead.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Reading back the verdicts of an earlier JSON Lines output (see JsonLines.h), so that a new run takes
// them instead of asking again.

// The most such a file may hold, and one line of it: a line is one name's object, some hundred bytes.
inline constexpr qint64 ResumeMaxBytes = qint64(1) << 30;
inline constexpr qint64 ResumeMaxLine = qint64(1) << 20;

// A verdict of an earlier run.
struct TJudged {
    TStatus Status = TStatus::Unchecked;
    TVia Via = TVia::None;
    QString Server;
    // What qualified the verdict ("зарезервировано реестром"); empty when nothing did.
    QString Reason;
    // When it was asked, seconds since the epoch; 0 when the output does not say.
    qint64 CheckedAt = 0;
};

struct TResumeVerdicts {
    // The names judged free or taken; a name given twice keeps its last verdict.
    QHash<QString, TJudged> Judged;
    // What was read past, for the user (a last line cut short).
    QStringList Warnings;
};

// Reads Input line by line. A last line without its line break that is no whole JSON object is what a
// writer killed halfway leaves: it is skipped with a warning naming it. Any other line that is not one of
// the output's objects fails the whole with EOrvantaError naming the line; so do the errors of
// TBoundedInput, a line past ResumeMaxLine included.
TResumeVerdicts ReadResume(TBoundedInput& Input);
// The same for the file Path (a pipe or a FIFO too), at most ResumeMaxBytes.
TResumeVerdicts ReadResumeFile(const QString& Path);
