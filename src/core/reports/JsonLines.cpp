#include "core/reports/JsonLines.h"

#include "core/common/SystemErrors.h"

#include <QDateTime>
#include <QIODevice>

namespace
{

constexpr qsizetype BlockBytes = qsizetype(1) << 20;

void AppendString(QByteArray& Out, const QString& Text)
{
    static const char Hex[] = "0123456789abcdef";
    Out += '"';
    for (char c : Text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            Out += '\\';
            Out += c;
        } else if (u < 0x20) {
            Out += "\\u00";
            Out += Hex[u >> 4];
            Out += Hex[u & 15];
        } else {
            Out += c;
        }
    }
    Out += '"';
}

// A figure as the grid shows it: a whole number as a number, an empty cell as null, anything else as
// the text it is.
void AppendFigure(QByteArray& Out, const QString& Figure)
{
    if (Figure.isEmpty()) {
        Out += "null";
        return;
    }
    bool ok = false;
    const qlonglong n = Figure.toLongLong(&ok);
    if (ok && QString::number(n) == Figure)
        Out += QByteArray::number(n);
    else
        AppendString(Out, Figure);
}

const char* StatusWord(TStatus Status)
{
    switch (Status) {
    case TStatus::Free:
        return "free";
    case TStatus::Taken:
        return "taken";
    case TStatus::Failed:
        return "failed";
    case TStatus::Unchecked:
        break;
    }
    return "unchecked";
}

} // namespace

QByteArray CandidateJsonLine(const TCandidate& Candidate)
{
    QByteArray out;
    out.reserve(128);
    out += "{\"name\":";
    AppendString(out, Candidate.Name);
    out += ",\"zone\":";
    AppendString(out, Candidate.Zone);
    out += ",\"status\":\"";
    out += StatusWord(Candidate.Status);
    out += '"';
    if (Candidate.ReasonId != 0) {
        out += ",\"reason\":";
        AppendString(out, Candidate.Reason().Text);
    }
    if (Candidate.ServerId != 0) {
        out += ",\"server\":";
        AppendString(out, Candidate.Server());
    }
    if (const char* via = ViaCode(Candidate.Via)) {
        out += ",\"via\":\"";
        out += via;
        out += '"';
    }
    if (Candidate.CheckedAt != 0 && Candidate.Status != TStatus::Unchecked) {
        out += ",\"checked\":\"";
        out += CheckedText(Candidate.CheckedAt).toLatin1();
        out += '"';
    }
    out += ",\"pr\":";
    AppendFigure(out, Candidate.PR);
    out += ",\"tic\":";
    AppendFigure(out, Candidate.TIC);
    if (Candidate.MetricsReasonId != 0) {
        out += ",\"metrics_reason\":";
        AppendString(out, Candidate.MetricsReason().Text);
    }
    out += "}\n";
    return out;
}

QString CheckedText(qint64 Seconds)
{
    return QDateTime::fromSecsSinceEpoch(Seconds, Qt::UTC).toString(Qt::ISODate);
}

qint64 CheckedOfText(const QString& Text)
{
    const QDateTime moment = QDateTime::fromString(Text, Qt::ISODate);
    return moment.isValid() ? moment.toSecsSinceEpoch() : 0;
}

TJsonLinesWriter::TJsonLinesWriter(QIODevice& Out)
    : FOut(Out)
{
    FBuffer.reserve(BlockBytes + 4096);
}

TJsonLinesWriter::~TJsonLinesWriter() = default;

void TJsonLinesWriter::Row(const TCandidate& Candidate)
{
    FBuffer += CandidateJsonLine(Candidate);
    if (FBuffer.size() >= BlockBytes)
        Flush();
}

void TJsonLinesWriter::End()
{
    Flush();
}

void TJsonLinesWriter::Flush()
{
    if (FBuffer.isEmpty())
        return;
    WriteOrThrow(FOut, FBuffer.constData(), FBuffer.size());
    FBuffer.clear();
}

void WriteJsonLines(const QList<TCandidate>& Candidates, QIODevice& Out)
{
    TJsonLinesWriter writer(Out);
    for (const TCandidate& d : Candidates)
        writer.Row(d);
    writer.End();
}
