// The main window's commands: the run, the files, the menus' and buttons' actions, and the engine's
// view of the window.
#include "core/candidates/NameRules.h"
#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainEngine.h"
#include "core/common/Errors.h"
#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/LastFolders.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsStore.h"
#include "core/updates/Updates.h"
#include "gui/AppFonts.h"
#include "gui/AppIcons.h"
#include "gui/DlgAbout.h"
#include "gui/DlgAnswers.h"
#include "gui/DlgProgress.h"
#include "gui/DlgSetting.h"
#include "gui/ErrorReport.h"
#include "gui/FormPosition.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/NoticeBar.h"
#include "gui/ReportCommands.h"
#include "gui/ResultsPanel.h"
#include "gui/UpdateCheck.h"
#include "gui/UserDialogs.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <optional>

void TMainForm::RunSettingsDialog()
{
    // The dialog is freed and everything reloaded before a failure reaches the general error report.
    ::RunSettingsDialog(this, FSettings, [this] { FillComboZones(); });
}

void TMainForm::LoadSettingsIntoForm()
{
    LoadSettings(FSettings);
}

void TMainForm::MI_ExportCSVClick()
{
    SaveReport(TReportKind::ExportCSV, *FResults, this);
}
void TMainForm::MI_ExportTextClick()
{
    SaveReport(TReportKind::ExportText, *FResults, this);
}
void TMainForm::MI_ReportTextClick()
{
    SaveReport(TReportKind::ReportText, *FResults, this);
}
void TMainForm::MI_ReportHTMLClick()
{
    SaveReport(TReportKind::ReportHTML, *FResults, this);
}
void TMainForm::MI_ReportCSVClick()
{
    SaveReport(TReportKind::ReportCSV, *FResults, this);
}

void TMainForm::FillComboZones()
{
    ComboBoxZones->clear();
    ComboBoxZones->addItem(QStringLiteral("Все доменные зоны"));
    for (const QString& zone : std::as_const(Setting_FirstList))
        ComboBoxZones->addItem(zone);
    ComboBoxZones->setCurrentIndex(0);
}

bool TMainForm::ResultCommandsEnabled() const
{
    return MI_ClearResult->isEnabled();
}

void TMainForm::SetResultCommandsEnabled(bool Enabled)
{
    for (QAction* action :
        { MI_ClearResult, MI_ExportCSV, MI_ExportText, MI_ReportText, MI_ReportHTML, MI_ReportCSV, PM_CopyNames })
        action->setEnabled(Enabled);
}

void TMainForm::BtnStartClick()
{
    // Blank lines and repeats are no keywords; the memo keeps what the user typed.
    const QStringList words = CleanKeywords(SplitListLines(MemoText(MemoWords)));
    if (words.size() < 2) {
        UserDialogs().Message(this, QStringLiteral("Нет слов"),
            QStringLiteral("Для продолжения, нужно ввести слова для генерации"), TUserDialogs::TIcon::Information);
        return;
    }
    const int mode = ComboBoxWordCount->currentIndex();
    if (mode < 0)
        return;
    const int zoneChoice = std::max(0, ComboBoxZones->currentIndex());
    const qsizetype zoneCount = zoneChoice == 0 ? Setting_FirstList.size() : 1;
    const TCandidateCount count = CandidateCount(words, zoneCount, mode);
    if (count > LargeRunThreshold
        && UserDialogs().Message(this, QString::fromUtf16(QuorbelConsts::ProductName), LargeRunQuestion(count),
               TUserDialogs::TIcon::Question, TUserDialogs::TButtons::YesNo)
            != TUserDialogs::TAnswer::Yes)
        return;

    if (zoneChoice == 0) {
        Domains->FillFirstDomainList(Setting_FirstList);
    } else {
        Domains->FirstDomains.clear();
        Domains->FirstDomains.append(Setting_FirstList.value(zoneChoice - 1));
    }
    Domains->FillWordList(words);
    StartRun(count <= LastRunWithoutProgress || (!Setting_AutoWhois && !Setting_AutoRange), [this, mode] {
        Domains->Generate(mode);
        return true;
    });
}

void TMainForm::RecheckUnjudgedClick()
{
    if (Domains->Running())
        return;
    const auto unjudged = std::count_if(
        Domains->Candidates.cbegin(), Domains->Candidates.cend(), [](const TCandidate& d) { return !d.Judged(); });
    StartRun(quint64(unjudged) <= LastRunWithoutProgress, [this] { return Domains->RecheckUnjudged(); });
}

void TMainForm::StartRun(bool Small, const std::function<bool()>& Start)
{
    // The lists as they are now: servers or limits edited since the last run count.
    Domains->FillWhoisList(Setting_WhoisList);
    LoadDataList(QString::fromUtf16(ServerLimitsFileName), Domains->ServerLimits);
    LoadDataList(QString::fromUtf16(ZoneScriptsFileName), Domains->ZoneScripts);
    Domains->RdapBootstrap = FSettings.Setting_UseRdap ? TRdapBootstrap::LoadDataFile() : TRdapBootstrap();
    ProgressForm->SetSettingsDlg(nullptr, true);
    // A run that shows no progress dialog (too small, or nothing to check) still shows that it is busy.
    FBusyCursor = Small;
    SetRunning(true);
    bool started = false;
    try {
        started = Start();
    } catch (...) {
        SetRunning(false);
        throw;
    }
    if (!started)
        SetRunning(false);
}

void TMainForm::SetRunning(bool Running)
{
    // A second Start would rebuild the candidate list under the run's checks. Everything else may go on:
    // the run works on its own copies of the lists and shows its rows when it ends.
    BtnStart->setEnabled(!Running);
    MI_Start->setEnabled(!Running);
    MI_RecheckUnjudged->setEnabled(!Running);
    PM_RecheckUnjudged->setEnabled(!Running);
    if (Running && FBusyCursor)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    if (!Running && std::exchange(FBusyCursor, false))
        QApplication::restoreOverrideCursor();
}

void TMainForm::RunFinished(const QString& Error)
{
    SetRunning(false);
    // A run that ended with an error may still have shown its rows: they can be saved like any others.
    if (FResults->TotalCount() > 0 || Error.isEmpty())
        SetResultCommandsEnabled(FResults->TotalCount() > 0);
    if (!Error.isEmpty())
        ShowErrorReport(this, std::make_exception_ptr(EOrvantaError(Error)));
}

void TMainForm::BtnOpenClick()
{
    const QString path = UserDialogs().OpenFileName(
        this, QString(), QStringLiteral("Текстовые файлы (*.txt);;Все файлы (*)"), LastFolder(TFileKind::WordList));
    if (path.isEmpty())
        return;
    MemoWords->setPlainText(ReadListText(path));
    RememberFolder(TFileKind::WordList, path);
}

void TMainForm::OpenStartupFile(const QStringList& Arguments)
{
    if (Arguments.size() < 2 || Arguments.at(1).isEmpty())
        return;
    RunCommand(this, [&] { MemoWords->setPlainText(ReadListText(Arguments.at(1))); });
}

void TMainForm::BtnSaveClick()
{
    const QString chosen = UserDialogs().SaveFileName(this, QString(), QStringLiteral("Текстовые документы (*.txt)"),
        QStringLiteral("txt"), LastFolder(TFileKind::WordList));
    if (chosen.isEmpty())
        return;
    const QString path = AddDefaultExtension(chosen, QStringLiteral("txt"));
    WriteListFile(path, MemoText(MemoWords));
    RememberFolder(TFileKind::WordList, path);
}

void TMainForm::BtnClearMainClick()
{
    Domains->CleanGrid(true);
}

void TMainForm::BtnSettingClick()
{
    RunSettingsDialog();
}

void TMainForm::BtnHelpClick()
{
    OpenWebPage(QuorbelConsts::HelpUrl());
}
void TMainForm::BtnWebClick()
{
    OpenWebPage(QuorbelConsts::SiteUrl());
}
void TMainForm::SuggestFeatureClick()
{
    OpenWebPage(QuorbelConsts::ContactUrl());
}
void TMainForm::SupportClick()
{
    OpenWebPage(QuorbelConsts::ContactUrl());
}
void TMainForm::ExitClick()
{
    close();
}
void TMainForm::CopyNamesClick()
{
    ResultsPane->CopySelectedNames();
}

void TMainForm::BringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TMainForm::OpenForwarded(const QString& Path)
{
    BringToFront();
    const QString path = Path;
    // Anything but a readable file (no argument, an option, a folder) only brings the window forward.
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isReadable())
        return;
    // Answered after the socket's handler has returned, so the second start is not kept waiting.
    QTimer::singleShot(0, this, [this, path] { RunCommand(this, [this, path] { LoadForwardedList(path); }); });
}

void TMainForm::LoadForwardedList(const QString& Path)
{
    if (!MemoText(MemoWords).isEmpty()
        && !AskYesNo(this, QString::fromUtf16(QuorbelConsts::ProductName),
            QStringLiteral("Заменить ключевые слова списком из файла?\n") + QDir::toNativeSeparators(Path)))
        return;
    MemoWords->setPlainText(ReadListText(Path));
    RememberFolder(TFileKind::WordList, Path);
}

void TMainForm::MemoWordsChange()
{
    const QString text = MemoText(MemoWords);
    PanelWordHint->setVisible(text.isEmpty());
    PlaceWordHint();
    MemoWords->setVerticalScrollBarPolicy(
        SplitListLines(text).size() > 20 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMainForm::EmptyListHintClick()
{
    MemoWords->setFocus(Qt::MouseFocusReason);
}

void TMainForm::PlaceWordHint()
{
    const QRect memo = MemoWords->geometry();
    PanelWordHint->setGeometry(memo.adjusted(5, 55, -5, -55));
    PanelWordHint->raise();
}

void TMainForm::ResultsPaneResize()
{
    try {
        Domains->GridResize();
    } catch (...) {
        // A failed width change must not stop the resize.
    }
}

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == EmptyListHint) {
        if (Event->type() == QEvent::MouseButtonDblClick) {
            RunCommand(this, [this] { BtnOpenClick(); });
            return true;
        }
        if (Event->type() == QEvent::MouseButtonPress) {
            EmptyListHintClick();
            return true;
        }
    } else if (Watched == MemoWords->viewport() && Event->type() == QEvent::MouseButtonDblClick) {
        RunCommand(this, [this] { BtnOpenClick(); });
        return true;
    } else if (Watched == MemoWords && (Event->type() == QEvent::Resize || Event->type() == QEvent::Move)) {
        PlaceWordHint();
    }
    return QMainWindow::eventFilter(Watched, Event);
}

void TMainForm::closeEvent(QCloseEvent* Event)
{
    // Closing stops a run first, as its stop button does: the verdicts obtained stay in the grid.
    if (Domains)
        Domains->CancelRun();
    QMainWindow::closeEvent(Event);
}

void TMainForm::ProgressSetMax(int Maximum)
{
    ProgressForm->ProgressBar->setMaximum(Maximum);
}
void TMainForm::ProgressSetPosition(int Position)
{
    ProgressForm->ProgressBar->setValue(Position);
}
void TMainForm::ProgressDetails(const QStringList& Lines)
{
    ProgressForm->SetDetails(Lines);
}
void TMainForm::ProgressShow()
{
    ProgressForm->show();
}
void TMainForm::ProgressHide()
{
    ProgressForm->hide();
}

void TMainForm::ShowInformation(const QString& Caption, const QString& Text)
{
    UserDialogs().Message(this, Caption, Text, TUserDialogs::TIcon::Information);
}

TResultsModel& TMainForm::Grid()
{
    return *FResults;
}
void TMainForm::SetGridVisible(bool Visible)
{
    ResultsPane->SetGridVisible(Visible);
}
TGridGeometry TMainForm::GridGeometry() const
{
    return ResultsPane->Geometry();
}
void TMainForm::SetColumnWidths(const std::array<int, 5>& Widths)
{
    ResultsPane->SetColumnWidths(Widths);
}

void TMainForm::AboutClick()
{
    ShowAboutDialog(this);
}

void TMainForm::TimerUpdateTimer()
{
    TimerUpdate->stop();
    FUpdateCheck->StartUpdateCheck();
}
