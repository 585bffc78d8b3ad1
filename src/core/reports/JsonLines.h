#pragma once

#include "core/candidates/Candidate.h"

#include <QByteArray>
#include <QList>

class QIODevice;

// The batch tool's machine-readable output, JSON Lines: one object per candidate, in grid order, with
// "name", "zone", "status" ("free", "taken", "failed" or "unchecked"), "reason" (why it failed, or what
// qualifies a verdict), "server" and "via" ("whois", "rdap", "dns") when it was asked, "pr" and "tic"
// (integers, or null where the grid cell is empty), "checked" (when the status was obtained, ISO 8601 in
// UTC: "2024-03-05T09:07:02Z") for the names judged or failed, and "metrics_reason" when the figures failed.
QByteArray CandidateJsonLine(const TCandidate& Candidate);
// A verdict's time as "checked" gives it, and back (0 for a text that is no such time).
QString CheckedText(qint64 Seconds);
qint64 CheckedOfText(const QString& Text);

// Writes lines to Out in large blocks. A device that takes fewer bytes than given raises EOrvantaError
// with the reason, as the other writers do.
class TJsonLinesWriter {
public:
    explicit TJsonLinesWriter(QIODevice& Out);
    ~TJsonLinesWriter();
    TJsonLinesWriter(const TJsonLinesWriter&) = delete;
    TJsonLinesWriter& operator=(const TJsonLinesWriter&) = delete;

    void Row(const TCandidate& Candidate);
    void End();

private:
    void Flush();
    QIODevice& FOut;
    QByteArray FBuffer;
};

void WriteJsonLines(const QList<TCandidate>& Candidates, QIODevice& Out);
