#include "gui/ReportCommands.h"

#include "core/reports/ReportFile.h"
#include "core/settings/LastFolders.h"
#include "gui/ResultsModel.h"
#include "gui/UserDialogs.h"

#include <QCoreApplication>

namespace {

struct TSaveChoice {
    const char16_t* Suffix; // default extension, without the dot
    const char* Filter; // one description and one pattern, in the dialog's form
};

TSaveChoice SaveChoice(TReportKind Kind)
{
    switch (Kind) {
    case TReportKind::ExportCSV:
        return { u"csv", QT_TRANSLATE_NOOP("SaveReport", "Файлы CSV (*.csv)") };
    case TReportKind::ReportCSV:
        return { u"csv", QT_TRANSLATE_NOOP("SaveReport", "CSV таблица (*.csv)") };
    case TReportKind::ExportText:
    case TReportKind::ReportText:
        return { u"txt", QT_TRANSLATE_NOOP("SaveReport", "Текстовые документы (*.txt)") };
    case TReportKind::ReportHTML:
        return { u"htm", QT_TRANSLATE_NOOP("SaveReport", "Интернет страницы (*.htm)") };
    }
    return { u"", "" };
}

} // namespace

bool SaveReport(TReportKind Kind, const TResultsModel& Grid, QWidget* Parent, const TReportStamp& Stamp)
{
    const TSaveChoice choice = SaveChoice(Kind);
    const QString suffix = QString::fromUtf16(choice.Suffix);
    const QString path = AddDefaultExtension(UserDialogs().SaveFileName(Parent, QString(),
                                                 QCoreApplication::translate("SaveReport", choice.Filter), suffix, LastFolder(TFileKind::Results)),
        suffix);
    if (path.isEmpty())
        return false;
    SaveReportFile(Kind, Grid.View(), path, Stamp);
    RememberFolder(TFileKind::Results, path);
    return true;
}
