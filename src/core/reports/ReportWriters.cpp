#include "core/reports/ReportWriters.h"

#include "core/candidates/Candidate.h"
#include "core/candidates/Generation.h"
#include "core/candidates/ResultsView.h"
#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "core/common/SystemErrors.h"
#include "core/reports/ReportCells.h"

#include <QBuffer>
#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <vector>

namespace
{

const QString StartMarker = QStringLiteral(" - - - - - - - - - - - Начало данных по доменам - - - - - - - - - - - ");
const QString EndMarker = QStringLiteral(" - - - - - - - - - - - Конец данных по доменам - - - - - - - - - - - ");

} // namespace

using namespace ReportCells;

namespace
{

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
        if (c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u'z' || c == u't' || c == u'a' || c == u'A') {
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

QStringView StatusCode(TStatus Status)
{
    switch (Status) {
    case TStatus::Free:
        return u"0";
    case TStatus::Taken:
        return u"1";
    case TStatus::Unchecked:
    case TStatus::Failed:
        break;
    }
    return u"-1";
}

QStringView StatusReportWord(TStatus Status)
{
    switch (Status) {
    case TStatus::Free:
        return u"свободен";
    case TStatus::Taken:
        return u"занят";
    case TStatus::Unchecked:
    case TStatus::Failed:
        break;
    }
    return u"неизвестен";
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
    return u"Время формирования отчета: " + Stamp.Locale.toString(Stamp.Moment.time(), ReportTimeFormat(Stamp.Locale));
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

void TReportWriter::Row(QStringView Name, QStringView Zone, TStatus Status, QStringView PR, QStringView TIC)
{
    TLineSink& sink = *FSink;
    QString& to = sink.Text();
    switch (FKind) {
    case TReportKind::ExportCSV:
        for (QStringView cell : { Name, Zone, StatusCode(Status), PR, TIC })
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
        to += StatusReportWord(Status);
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
        AppendHtmlCell(sink, StatusReportWord(Status));
        AppendHtmlCell(sink, PR);
        AppendHtmlCell(sink, TIC);
        sink.Line(u"</tr>");
        return;
    case TReportKind::ReportCSV:
        AppendCsvCell(to, Name);
        AppendCsvCell(to, StatusReportWord(Status));
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

namespace
{

void WriteGrid(TReportKind Kind, const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    TReportWriter writer(Kind, Out, Stamp);
    writer.Begin();
    for (int r = 0; r < Grid.RowCount(); ++r) {
        const TCandidate& d = Grid.ShownRow(r);
        writer.Row(d.Name, d.Zone, d.Status, d.PR, d.TIC);
    }
    writer.End();
}

} // namespace

void ExportCSV(const TResultsView& Grid, QIODevice& Out)
{
    WriteGrid(TReportKind::ExportCSV, Grid, Out, {});
}
void ExportText(const TResultsView& Grid, QIODevice& Out)
{
    WriteGrid(TReportKind::ExportText, Grid, Out, {});
}
void ReportText(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportText, Grid, Out, Stamp);
}
void ReportHTML(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportHTML, Grid, Out, Stamp);
}
void ReportCSV(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp)
{
    WriteGrid(TReportKind::ReportCSV, Grid, Out, Stamp);
}

void WriteReport(TReportKind Kind, const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp)
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
