#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

class QIODevice;
class TResultsModel;

// The five ways of saving the results grid.
enum class TReportKind { ExportCSV, ExportText, ReportText, ReportHTML, ReportCSV };

// The locale and the moment a report's date and time lines are built from. Taken as one moment, so the
// date and the time never straddle midnight.
struct TReportStamp {
    QLocale Locale = QLocale::system();
    QDateTime Moment = QDateTime::currentDateTime();
};

// "Отчет подготовлен в программе Orvanta (<site address>)"
QString ReportProgramLine();
// "Дата формирования отчета: " and the locale's short date.
QString ReportDateLine(const TReportStamp& Stamp);
// "Время формирования отчета: " and the locale's hour, ":mm:ss", and its AM/PM marker where it has one.
QString ReportTimeLine(const TReportStamp& Stamp);
// The time format behind ReportTimeLine: the locale's hour token, ":mm:ss", the locale's AM/PM token on
// the locale's side of the time; never a time zone.
QString ReportTimeFormat(const QLocale& Locale);

// The writers. Each writes the UTF-8 byte-order mark and then its lines, CR LF after every line, from the
// cell texts of Grid's candidate rows in grid order. A device that takes fewer bytes than given raises
// EOrvantaError("Stream write error").
void ExportCSV(const TResultsModel& Grid, QIODevice& Out);
void ExportText(const TResultsModel& Grid, QIODevice& Out);
void ReportText(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
void ReportHTML(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
void ReportCSV(const TResultsModel& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());

// The writer of Kind.
void WriteReport(TReportKind Kind, const TResultsModel& Grid, QIODevice& Out,
    const TReportStamp& Stamp = TReportStamp());
