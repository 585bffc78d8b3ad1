#pragma once

#include "core/common/SystemErrors.h"
#include "core/reports/ReportWriters.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

// What the row-by-row writer and the fast writer of unchecked candidates share: the line sink and the
// escaping of cell texts.

// Text is gathered and encoded in chunks of about this many characters, so a million rows cost a few
// hundred writes rather than millions.
inline constexpr qsizetype ChunkChars = 32 * 1024;

// Collects lines, ends each with CR LF, and writes them as UTF-8 after the byte-order mark.
class TReportWriter::TLineSink {
public:
    explicit TLineSink(QIODevice& Out)
        : FOut(Out)
    {
        FText.reserve(ChunkChars + 4096);
    }

    void Begin() { WriteBytes(QByteArrayLiteral("\xEF\xBB\xBF")); }

    QString& Text() { return FText; }

    void Line(QStringView Text)
    {
        FText += Text;
        EndLine();
    }

    void EndLine()
    {
        FText += u"\r\n";
        if (FText.size() >= ChunkChars)
            Flush();
    }

    void Finish() { Flush(); }

    // Bytes already encoded, after the text gathered so far.
    void WriteEncoded(const char* Bytes, qint64 Size)
    {
        Flush();
        WriteBytes(Bytes, Size);
    }

private:
    // Only ever called at a line end, so no surrogate pair is split between chunks.
    void Flush()
    {
        if (FText.isEmpty())
            return;
        WriteBytes(FText.toUtf8());
        FText.resize(0);
    }

    void WriteBytes(const QByteArray& Bytes) { WriteBytes(Bytes.constData(), Bytes.size()); }

    void WriteBytes(const char* Bytes, qint64 Size) { WriteOrThrow(FOut, Bytes, Size); }

    QIODevice& FOut;
    QString FText;
};

namespace ReportCells {

// A CSV cell holding the separator, a quote or a line break is quoted, so a spreadsheet still finds the
// right columns; every other cell goes out as it stands.
bool CsvNeedsQuotes(QStringView Cell);
// The inside of a quoted CSV cell: inner quotes doubled.
void AppendCsvQuotedText(QString& To, QStringView Text);
// Cell texts are user text: escaped so a keyword cannot put markup into the page.
void AppendHtmlText(QString& To, QStringView Text);

} // namespace ReportCells
