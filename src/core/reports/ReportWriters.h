#pragma once

#include "core/candidates/Candidate.h"
#include "core/candidates/NameVariants.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>

class QIODevice;
class TResultsView;

// The five ways of saving the results grid.
enum class TReportKind { ExportCSV, ExportText, ReportText, ReportHTML, ReportCSV };

// A status as the exports write it: "-1" (not checked or failed), "0" free, "1" taken.
QStringView StatusCode(TStatus Status);
// A status as the reports name it: "неизвестен", "свободен", "занят".
QStringView StatusReportWord(TStatus Status);

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
// EOrvantaError with the reason (WriteErrorMessage).
void ExportCSV(const TResultsView& Grid, QIODevice& Out);
void ExportText(const TResultsView& Grid, QIODevice& Out);
void ReportText(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
void ReportHTML(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
void ReportCSV(const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());

// One writer fed row by row: Begin, then Row for every candidate row in order, then End. Lets rows stream
// from somewhere other than a grid (the batch tool writes names as they are built) with the very same
// bytes as the grid's writers.
class TReportWriter
{
public:
    TReportWriter(TReportKind Kind, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
    ~TReportWriter();
    TReportWriter(const TReportWriter&) = delete;
    TReportWriter& operator=(const TReportWriter&) = delete;

    void Begin();
    // One row: the name, its zone, its status and its two figures.
    void Row(QStringView Name, QStringView Zone, TStatus Status, QStringView PR, QStringView TIC);
    void End();

    // The rows of every candidate TDomain::ForEachCandidate hands out for these lists, in its order, all
    // unchecked (status "-1", no PR and ТИЦ): the bytes Row would write for each, assembled from the
    // keywords and zones encoded once and written in large blocks (with variants, one row at a time).
    // Between Begin and End.
    void CandidateRows(
        const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants = TNameVariants());

    // Gathers the lines and writes them out in chunks; defined with the writers.
    class TLineSink;

private:
    // The bytes Row writes for an unchecked candidate Name in Zone.
    QByteArray UncheckedRowBytes(QStringView Name, QStringView Zone) const;
    // CandidateRows one row at a time through Row.
    void CandidateRowsOneByOne(
        const QStringList& Words, const QStringList& Zones, int Mode, const TNameVariants& Variants);

    TReportKind FKind;
    TReportStamp FStamp;
    std::unique_ptr<TLineSink> FSink;
};

// The writer of Kind.
void WriteReport(
    TReportKind Kind, const TResultsView& Grid, QIODevice& Out, const TReportStamp& Stamp = TReportStamp());
