#include "core/reports/ReportWriters.h"

#include "core/common/Errors.h"
#include "core/common/SystemErrors.h"
#include "core/common/QuorbelConsts.h"
#include "core/candidates/Candidate.h"
#include "core/candidates/ResultsModel.h"
#include "core/candidates/Generation.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <vector>

namespace {

// Text is gathered and encoded in chunks of about this many characters, so a million rows cost a few
// hundred writes rather than millions.
constexpr qsizetype ChunkChars = 32 * 1024;

const QString StartMarker
    = QStringLiteral(" - - - - - - - - - - - Начало данных по доменам - - - - - - - - - - - ");
const QString EndMarker = QStringLiteral(" - - - - - - - - - - - Конец данных по доменам - - - - - - - - - - - ");

} // namespace

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

namespace {

// A CSV cell holding the separator, a quote or a line break is quoted, so a spreadsheet still finds the
// right columns; every other cell goes out as it stands.
bool CsvNeedsQuotes(QStringView Cell)
{
    for (QChar c : Cell) {
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

// The inside of a quoted CSV cell: inner quotes doubled.
void AppendCsvQuotedText(QString& To, QStringView Text)
{
    for (QChar c : Text) {
        if (c == u'"')
            To += u'"';
        To += c;
    }
}

// A CSV cell and its ';'.
void AppendCsvCell(QString& To, QStringView Cell)
{
    if (!CsvNeedsQuotes(Cell)) {
        To += Cell;
    } else {
        To += u'"';
        AppendCsvQuotedText(To, Cell);
        To += u'"';
    }
    To += u';';
}

// Cell texts are user text: escaped so a keyword cannot put markup into the page.
void AppendHtmlText(QString& To, QStringView Text)
{
    for (QChar c : Text) {
        switch (c.unicode()) {
        case u'&':
            To += u"&amp;";
            break;
        case u'<':
            To += u"&lt;";
            break;
        case u'>':
            To += u"&gt;";
            break;
        case u'"':
            To += u"&quot;";
            break;
        default:
            To += c;
        }
    }
}

void AppendHtmlCell(TReportWriter::TLineSink& Sink, QStringView Text)
{
    QString& to = Sink.Text();
    to += u"<td>";
    AppendHtmlText(to, Text);
    to += u"</td>";
    Sink.EndLine();
}

// One run of a format letter in a locale's time format.
struct TToken {
    QChar Letter;
    qsizetype Start = 0;
    qsizetype Length = 0;
};

// The runs of time-format letters in Format, quoted literals skipped.
QList<TToken> TimeFormatTokens(const QString& Format)
{
    QList<TToken> tokens;
    qsizetype i = 0;
    while (i < Format.size()) {
        const QChar c = Format.at(i);
        if (c == u'\'') {
            const qsizetype close = Format.indexOf(u'\'', i + 1);
            i = close < 0 ? Format.size() : close + 1;
            continue;
        }
        if (c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u'z' || c == u't' || c == u'a'
            || c == u'A') {
            qsizetype end = i + 1;
            if (c == u'a' || c == u'A') {
                // "AP", "ap" and the one-letter "A", "a" all stand for the AM/PM marker.
                if (end < Format.size() && (Format.at(end) == u'p' || Format.at(end) == u'P'))
                    ++end;
            } else {
                while (end < Format.size() && Format.at(end) == c)
                    ++end;
            }
            tokens.append({ c, i, end - i });
            i = end;
            continue;
        }
        ++i;
    }
    return tokens;
}

} // namespace

QString ReportTimeFormat(const QLocale& Locale)
{
    const QString format = Locale.timeFormat(QLocale::LongFormat);
    const QList<TToken> tokens = TimeFormatTokens(format);

    QString hour = QStringLiteral("HH");
    qsizetype hourAt = -1;
    qsizetype markerAt = -1;
    for (qsizetype k = 0; k < tokens.size(); ++k) {
        const TToken& t = tokens.at(k);
        if (hourAt < 0 && (t.Letter == u'h' || t.Letter == u'H')) {
            hourAt = k;
            hour = format.mid(t.Start, qMin<qsizetype>(t.Length, 2));
        } else if (markerAt < 0 && (t.Letter == u'a' || t.Letter == u'A')) {
            markerAt = k;
        }
    }
    const QString time = hour + u":mm:ss";
    if (markerAt < 0)
        return time;

    // The marker keeps the locale's side of the time and the literal text between it and its neighbour.
    const TToken& ap = tokens.at(markerAt);
    const QString marker = format.mid(ap.Start, ap.Length);
    if (hourAt >= 0 && markerAt < hourAt) {
        const qsizetype from = ap.Start + ap.Length;
        return marker + format.mid(from, tokens.at(markerAt + 1).Start - from) + time;
    }
    const qsizetype from = markerAt > 0 ? tokens.at(markerAt - 1).Start + tokens.at(markerAt - 1).Length : ap.Start;
    return time + format.mid(from, ap.Start - from) + marker;
}

QString ReportProgramLine()
{
    return u"Отчет подготовлен в программе Orvanta (" + QuorbelConsts::SiteUrl() + u')';
}

QString ReportDateLine(const TReportStamp& Stamp)
{
    return u"Дата формирования отчета: " + Stamp.Locale.toString(Stamp.Moment.date(), QLocale::ShortFormat);
}

QString ReportTimeLine(const TReportStamp& Stamp)
{
    return u"Время формирования отчета: "
        + Stamp.Locale.toString(Stamp.Moment.time(), ReportTimeFormat(Stamp.Locale));
}

TReportWriter::TReportWriter(TReportKind Kind, QIODevice& Out, const TReportStamp& Stamp)
    : FKind(Kind)
    , FStamp(Stamp)
    , FSink(std::make_unique<TLineSink>(Out))
{
}

TReportWriter::~TReportWriter() = default;

void TReportWriter::Begin()
{
    TLineSink& sink = *FSink;
    sink.Begin();
    switch (FKind) {
    case TReportKind::ExportCSV:
    case TReportKind::ExportText:
        return;
    case TReportKind::ReportText:
        sink.Line(ReportProgramLine());
        sink.Line(ReportDateLine(FStamp));
        sink.Line(ReportTimeLine(FStamp));
        sink.Line(StartMarker);
        return;
    case TReportKind::ReportHTML:
        sink.Line(QString(u"<html><head><title></title></head><body><h3>" + ReportProgramLine() + u"</h3>"));
        sink.Line(QString(u"<br>" + ReportDateLine(FStamp)));
        sink.Line(QString(u"<br>" + ReportTimeLine(FStamp)));
        for (const char16_t* line : {
                 u"<hr>",
                 u"<style type=\"text/css\">",
                 u"table {width: 80%;font-family: Sans-Serif;font-size: 14px;border-collapse: collapse;text-align: "
                 u"center;}",
                 u"th, td:first-child {padding: 10px 20px;}",
                 u"th, td {border-style: solid;border-width: 1px;border-color: #f0f0f0;}",
                 u"td {background: white;}th:first-child, td:first-child {text-align: left;}",
                 u"</style>",
                 u"<table align=\"center\">",
                 u"<tr>",
                 u"<td>Домен</td>",
                 u"<td>Статус</td>",
                 u"<td>PR</td>",
                 u"<td>ТИЦ</td></tr>",
             })
            sink.Line(QStringView(line));
        return;
    case TReportKind::ReportCSV:
        sink.Line(u"Домен;Статус;PR;ТИЦ");
        return;
    }
}

void TReportWriter::Row(QStringView Name, QStringView Zone, QStringView Status, QStringView PR, QStringView TIC)
{
    TLineSink& sink = *FSink;
    QString& to = sink.Text();
    switch (FKind) {
    case TReportKind::ExportCSV:
        for (QStringView cell : { Name, Zone, Status, PR, TIC })
            AppendCsvCell(to, cell);
        sink.EndLine();
        return;
    case TReportKind::ExportText:
        sink.Line(Name);
        return;
    case TReportKind::ReportText:
        to += u"Доменное имя: ";
        to += Name;
        sink.EndLine();
        to += u"Статус: ";
        to += StatusReportWord(Status.toString());
        sink.EndLine();
        to += u"PR: ";
        to += PR;
        sink.EndLine();
        to += u"ТИЦ: ";
        to += TIC;
        sink.EndLine();
        return;
    case TReportKind::ReportHTML:
        sink.Line(u"<tr>");
        AppendHtmlCell(sink, Name);
        AppendHtmlCell(sink, StatusReportWord(Status.toString()));
        AppendHtmlCell(sink, PR);
        AppendHtmlCell(sink, TIC);
        sink.Line(u"</tr>");
        return;
    case TReportKind::ReportCSV:
        AppendCsvCell(to, Name);
        AppendCsvCell(to, StatusReportWord(Status.toString()));
        AppendCsvCell(to, PR);
        AppendCsvCell(to, TIC);
        sink.EndLine();
        return;
    }
}

void TReportWriter::End()
{
    TLineSink& sink = *FSink;
    switch (FKind) {
    case TReportKind::ExportCSV:
    case TReportKind::ExportText:
        break;
    case TReportKind::ReportText:
        sink.Line(EndMarker);
        break;
    case TReportKind::ReportHTML:
        sink.Line(u"</table>");
        sink.Line(u"<hr>");
        sink.Line(u"</body></html>");
        break;
    case TReportKind::ReportCSV:
        sink.Line(ReportProgramLine());
        sink.Line(ReportDateLine(FStamp));
        sink.Line(ReportTimeLine(FStamp));
        break;
    }
    sink.Finish();
}

namespace {

// Assembled rows go out once this many bytes are gathered: a few hundred writes for millions of rows,
// little memory.
constexpr qsizetype RowBlockBytes = qsizetype(1) << 20;

// How a writer puts a name into its row.
enum class TNameForm { Plain, Csv, Html };

std::optional<TNameForm> NameFormOf(TReportKind Kind)
{
    switch (Kind) {
    case TReportKind::ExportText:
    case TReportKind::ReportText:
        return TNameForm::Plain;
    case TReportKind::ExportCSV:
    case TReportKind::ReportCSV:
        return TNameForm::Csv;
    case TReportKind::ReportHTML:
        return TNameForm::Html;
    }
    return std::nullopt;
}

// A keyword or a zone as it stands inside a name in Form, UTF-8. Every form escapes character by
// character, so a name's text is its pieces' texts one after another; only CSV quoting looks at the
// whole name, and a name is quoted when any of its pieces asks for it.
struct TNamePiece {
    QByteArray Bytes;
    bool Quote = false;
};

TNamePiece EncodeNamePiece(TNameForm Form, QStringView Text)
{
    TNamePiece piece;
    QString text;
    switch (Form) {
    case TNameForm::Plain:
        text = Text.toString();
        break;
    case TNameForm::Csv:
        piece.Quote = CsvNeedsQuotes(Text);
        AppendCsvQuotedText(text, Text);
        break;
    case TNameForm::Html:
        AppendHtmlText(text, Text);
        break;
    }
    piece.Bytes = text.toUtf8();
    return piece;
}

// Encoding pieces apart gives the bytes of encoding them joined only when none holds half a surrogate
// pair: two halves in neighbouring pieces make one character.
bool AllValidUtf16(const QStringList& Texts)
{
    return std::all_of(Texts.cbegin(), Texts.cend(), [](const QString& t) { return QStringView(t).isValidUtf16(); });
}

// Bytes laid out for Put: CopySlack more bytes after them may be read.
struct TBytes {
    const char* Data = nullptr;
    size_t Size = 0;
};

// Most pieces of a row are short: they are copied as a fixed 32 bytes, which the compiler turns into two
// moves instead of a call. Sources are padded and the buffers copied into have room for the overrun.
constexpr size_t CopySlack = 32;

char* Put(char* To, TBytes From)
{
    if (From.Size <= CopySlack)
        std::memcpy(To, From.Data, CopySlack);
    else
        std::memcpy(To, From.Data, From.Size);
    return To + From.Size;
}

// Keeps byte strings for Put, each padded with CopySlack zero bytes; a deque never moves what it holds.
class TPaddedBytes {
public:
    TBytes Add(const QByteArray& Bytes)
    {
        QByteArray& kept = FKept.emplace_back(Bytes.size() + qsizetype(CopySlack), '\0');
        std::memcpy(kept.data(), Bytes.constData(), size_t(Bytes.size()));
        return { kept.constData(), size_t(Bytes.size()) };
    }

private:
    std::deque<QByteArray> FKept;
};

// Stands for the name while a zone's row is laid out: a private-use character no form escapes.
constexpr char16_t NameMark[] = u"\uE000";

} // namespace

QByteArray TReportWriter::UncheckedRowBytes(QStringView Name, QStringView Zone) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TReportWriter row(FKind, buffer, FStamp);
    row.Row(Name, Zone, StatusCodeText(StatusUnknown), {}, {});
    row.FSink->Finish();
    return buffer.data();
}

void TReportWriter::CandidateRowsOneByOne(const QStringList& Words, const QStringList& Zones, int Mode)
{
    ForEachCandidate(Words, Zones, Mode,
        [this](const TCandidate& d) { Row(d.Name, d.Zone, StatusCodeText(d.Status), d.PR, d.TIC); });
}

void TReportWriter::CandidateRows(const QStringList& Words, const QStringList& Zones, int Mode)
{
    const std::optional<TNameForm> form = NameFormOf(FKind);
    if (!form || !AllValidUtf16(Words) || !AllValidUtf16(Zones)) {
        CandidateRowsOneByOne(Words, Zones, Mode);
        return;
    }

    // Each zone's row around the name, laid out by Row itself: what comes before the name, and the name's
    // end (".zone") with everything after it; both bare and with the name's CSV quotes.
    struct TZoneRow {
        TBytes Head[2];
        TBytes Tail[2];
        bool Quote = false;
    };
    TPaddedBytes kept;
    const QByteArray mark = QStringView(NameMark).toUtf8();
    std::vector<TZoneRow> zones;
    zones.reserve(size_t(Zones.size()));
    size_t longestZoneRow = 0;
    for (const QString& zone : Zones) {
        const QByteArray row = UncheckedRowBytes(NameMark, zone);
        const qsizetype at = row.indexOf(mark);
        if (at < 0) {
            CandidateRowsOneByOne(Words, Zones, Mode);
            return;
        }
        const QByteArray head = row.left(at);
        const QByteArray after = row.mid(at + mark.size());
        const TNamePiece piece = EncodeNamePiece(*form, zone);
        TZoneRow z;
        z.Head[0] = kept.Add(head);
        z.Head[1] = kept.Add(head + '"');
        z.Tail[0] = kept.Add('.' + piece.Bytes + after);
        z.Tail[1] = kept.Add('.' + piece.Bytes + '"' + after);
        z.Quote = piece.Quote;
        longestZoneRow = std::max(longestZoneRow, z.Head[1].Size + z.Tail[1].Size);
        zones.push_back(z);
    }
    if (zones.empty())
        return;

    struct TWord {
        TBytes Bytes;
        bool Quote = false;
    };
    std::vector<TWord> words;
    words.reserve(size_t(Words.size()));
    size_t longestWord = 0;
    for (const QString& w : Words) {
        const TNamePiece piece = EncodeNamePiece(*form, w);
        words.push_back({ kept.Add(piece.Bytes), piece.Quote });
        longestWord = std::max(longestWord, words.back().Bytes.Size);
    }

    // A block always has room for one more row past its threshold, so rows go in unchecked.
    const size_t longestStem = 4 * longestWord;
    std::vector<char> stem(longestStem + CopySlack);
    std::vector<char> block(size_t(RowBlockBytes) + longestStem + longestZoneRow + CopySlack);
    char* const start = block.data();
    char* const full = start + RowBlockBytes;
    char* p = start;
    ForEachKeywordTuple(Words, Mode, [&](const int* lines, int count) {
        char* s = stem.data();
        bool quote = false;
        for (int i = 0; i < count; ++i) {
            const TWord& w = words[size_t(lines[i])];
            s = Put(s, w.Bytes);
            quote = quote || w.Quote;
        }
        const TBytes stemBytes { stem.data(), size_t(s - stem.data()) };
        // A local cursor stays in a register; the copies cannot be thought to change it.
        char* out = p;
        for (const TZoneRow& z : zones) {
            const int q = quote || z.Quote ? 1 : 0;
            out = Put(out, z.Head[q]);
            out = Put(out, stemBytes);
            out = Put(out, z.Tail[q]);
            if (out >= full) {
                FSink->WriteEncoded(start, out - start);
                out = start;
            }
        }
        p = out;
    });
    if (p > start)
        FSink->WriteEncoded(start, p - start);
}

namespace {

void WriteGrid(TReportKind Kind, const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    TReportWriter writer(Kind, Out, Stamp);
    writer.Begin();
    for (int r = 0; r < Grid.RowCount(); ++r)
        writer.Row(Grid.CellText(r, TResultsModel::ColName), Grid.CellText(r, TResultsModel::ColZone),
            Grid.CellText(r, TResultsModel::ColStatus), Grid.CellText(r, TResultsModel::ColPR),
            Grid.CellText(r, TResultsModel::ColTIC));
    writer.End();
}

} // namespace

void ExportCSV(const TResultsModel& Grid, QIODevice& Out) { WriteGrid(TReportKind::ExportCSV, Grid, Out, {}); }
void ExportText(const TResultsModel& Grid, QIODevice& Out) { WriteGrid(TReportKind::ExportText, Grid, Out, {}); }
void ReportText(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportText, Grid, Out, Stamp);
}
void ReportHTML(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportHTML, Grid, Out, Stamp);
}
void ReportCSV(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportCSV, Grid, Out, Stamp);
}

void WriteReport(TReportKind Kind, const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    switch (Kind) {
    case TReportKind::ExportCSV:
        ExportCSV(Grid, Out);
        return;
    case TReportKind::ExportText:
        ExportText(Grid, Out);
        return;
    case TReportKind::ReportText:
        ReportText(Grid, Out, Stamp);
        return;
    case TReportKind::ReportHTML:
        ReportHTML(Grid, Out, Stamp);
        return;
    case TReportKind::ReportCSV:
        ReportCSV(Grid, Out, Stamp);
        return;
    }
}
