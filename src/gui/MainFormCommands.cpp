// The main window's commands: the run, the files, the menus' and buttons' actions, and the engine's
// view of the window.
#include "core/candidates/Generation.h"
#include "core/candidates/GivenNames.h"
#include "core/candidates/NameRules.h"
#include "core/common/Durations.h"
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
#include "gui/DlgSetting.h"
#include "gui/ErrorReport.h"
#include "gui/FormPosition.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/NoticeBar.h"
#include "gui/ReportCommands.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"
#include "gui/RunProgressPanel.h"
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
    ::RunSettingsDialog(this, FSettings, [this] {
        FillComboZones();
        LoadVariantLists();
        UpdateNameCount();
    });
}

void TMainForm::LoadSettingsIntoForm()
{
    LoadSettings(FSettings);
}

void TMainForm::SaveResults(TReportKind Kind)
{
    if (!SaveReport(Kind, *FResults, this))
        return;
    // Every verdict is in the file only when every row was shown, the statuses written, and no run adds more.
    if (Kind != TReportKind::ExportText && FResults->RowCount() == FResults->TotalCount() && !FSession->Running())
        FSession->MarkSaved();
}

void TMainForm::MI_ExportCSVClick()
{
    SaveResults(TReportKind::ExportCSV);
}
void TMainForm::MI_ExportTextClick()
{
    SaveResults(TReportKind::ExportText);
}
void TMainForm::MI_ReportTextClick()
{
    SaveResults(TReportKind::ReportText);
}
void TMainForm::MI_ReportHTMLClick()
{
    SaveResults(TReportKind::ReportHTML);
}
void TMainForm::MI_ReportCSVClick()
{
    SaveResults(TReportKind::ReportCSV);
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

QString TMainForm::CountsText(const TStatusCounts& Counts, qint64 Shown)
{
    QString text = tr("Имен: %1 · свободно %2 · занято %3 · ошибок %4 · не проверено %5")
                       .arg(Counts.All)
                       .arg(Counts.Free)
                       .arg(Counts.Taken)
                       .arg(Counts.Failed)
                       .arg(Counts.Unchecked);
    if (Shown != Counts.All)
        text = tr("Показано: %1 из %2 · %3").arg(Shown).arg(Counts.All).arg(text);
    return text;
}

void TMainForm::UpdateCounts()
{
    TStatusCounts counts;
    for (const TCandidate& d : FSession->Candidates())
        counts.Add(d);
    StatusCounts->setText(CountsText(counts, FResults->RowCount()));
}

void TMainForm::BtnStartClick()
{
    if (FSession->Running())
        return;
    // Lists edited since they were read count, and the count shown is the count started; a list not in
    // use cannot stop a run.
    LoadVariantLists(true);
    UpdateNameCount();
    TRunRequest request = InputRequest();
    if (request.NamesGiven ? !HasGivenNames(request.Names) : request.Keywords.size() < 2) {
        if (request.NamesGiven)
            UserDialogs().Message(this, tr("Нет имен"),
                tr("Для продолжения, нужно ввести доменные имена для проверки"),
                TUserDialogs::TIcon::Information);
        else
            UserDialogs().Message(this, tr("Нет слов"),
                tr("Для продолжения, нужно ввести слова для генерации"), TUserDialogs::TIcon::Information);
        return;
    }
    // Names with a zone of their own need no chosen zone; everything else does.
    if (request.Zones.isEmpty() && (!request.NamesGiven || GivenNamesNeedZones(request.Names))) {
        UserDialogs().Message(this, tr("Нет доменных зон"),
            tr("Для продолжения, нужно выбрать хотя бы одну доменную зону"),
            TUserDialogs::TIcon::Information);
        return;
    }
    const TCandidateCount count = RequestedCount(request);
    const QString title = QString::fromUtf16(QuorbelConsts::ProductName);
    if (count > LargeRunThreshold && !AskYesNo(this, title, LargeRunQuestion(count)))
        return;

    request.CheckAvailability = Setting_AutoWhois;
    request.FetchMetrics = Setting_AutoRange;
    request.Reuse = ReuseAges();
    // Every run is kept, to be reopened; the store's file is made by the first.
    OpenStore(true);
    if (request.CheckAvailability || request.FetchMetrics)
        request.Setup = CurrentCheckSetup();
    if (request.CheckAvailability) {
        // Registries allow a few dozen names a minute: a run of hours is announced before it starts.
        const qint64 ms = TCheckRun::EstimateMs(RequestedPerZone(request), request.Setup);
        if (ms > LongRunQuestionMs
            && !AskYesNo(
                this, title, tr("Проверка займет около %1. Продолжить?").arg(RoughDurationText(ms))))
            return;
    }
    StartRun([this, &request] { return FSession->Start(request); });
}

void TMainForm::RecheckUnjudgedClick()
{
    if (FSession->Running())
        return;
    const TCheckSetup setup = CurrentCheckSetup();
    StartRun([this, &setup] { return FSession->Recheck(setup, Setting_AutoRange); });
}

TCheckSetup TMainForm::CurrentCheckSetup() const
{
    TCheckSetup setup;
    setup.Servers = TCheckSetup::ParseZoneServers(Setting_WhoisList);
    setup.WhoisPort = WhoisPort;
    QStringList limits;
    LoadDataList(QString::fromUtf16(ServerLimitsFileName), limits);
    setup.Limits = TServerLimits(limits);
    QStringList scripts;
    LoadDataList(QString::fromUtf16(ZoneScriptsFileName), scripts);
    setup.ZoneScripts = TZoneScripts(scripts);
    setup.Rdap = FSettings.Setting_UseRdap ? TRdapBootstrap::LoadDataFile() : TRdapBootstrap();
    setup.DnsFirst = FSettings.Setting_DnsFirst;
    setup.DnsServer = DnsServer;
    return setup;
}

void TMainForm::StartRun(const std::function<bool()>& Start)
{
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
    // A second Start would rebuild the candidate list under the run's checks. Everything else goes on:
    // the grid shows each verdict as it comes, and can be sorted, filtered, copied and saved meanwhile.
    BtnStart->setEnabled(!Running);
    MI_Start->setEnabled(!Running);
    MI_RecheckUnjudged->setEnabled(!Running);
    PM_RecheckUnjudged->setEnabled(!Running);
    PM_AskAgain->setEnabled(!Running);
    if (Running)
        RunProgress->Begin();
    else
        RunProgress->End();
}

void TMainForm::OnRunFinished(const TRunSummary& Summary)
{
    SetRunning(false);
    SetResultCommandsEnabled(FSession->Candidates().size() > 0);
    if (FQuietEnd)
        return;
    // Told once the run is over, without waiting for anyone: an unattended run never stalls on it.
    const QString failures = TRunSession::FailureMessage(FSession->Candidates(), Summary);
    if (!failures.isEmpty())
        UserDialogs().Notify(
            this, QString::fromUtf16(QuorbelConsts::ProductName), failures, TUserDialogs::TIcon::Information);
}

bool TMainForm::StopRunAsked()
{
    if (!FSession->Running())
        return true;
    if (RunProgress->ElapsedMs() >= StopQuestionAfterMs
        && !AskYesNo(this, QString::fromUtf16(QuorbelConsts::ProductName),
            tr("Остановить проверку? Полученные результаты останутся в таблице.")))
        return false;
    FSession->Stop();
    return true;
}

void TMainForm::StopClick()
{
    StopRunAsked();
}

bool TMainForm::MayDropResults(const QString& Question)
{
    return !FSession->HasUnsavedResults() || AskYesNo(this, QString::fromUtf16(QuorbelConsts::ProductName), Question);
}

void TMainForm::BtnOpenClick()
{
    const QString path = UserDialogs().OpenFileName(
        this, QString(), tr("Текстовые файлы (*.txt);;Все файлы (*)"), LastFolder(TFileKind::WordList));
    if (path.isEmpty())
        return;
    LoadKeywordFile(path);
}

void TMainForm::OpenStartupFile(const QStringList& Arguments)
{
    if (Arguments.size() < 2 || Arguments.at(1).isEmpty())
        return;
    RunCommand(this, [&] { ReplaceMemoText(MemoWords, ReadListText(Arguments.at(1))); });
}

void TMainForm::BtnSaveClick()
{
    const QString chosen = UserDialogs().SaveFileName(this, QString(), tr("Текстовые документы (*.txt)"),
        QStringLiteral("txt"), LastFolder(TFileKind::WordList));
    if (chosen.isEmpty())
        return;
    const QString path = AddDefaultExtension(chosen, QStringLiteral("txt"));
    WriteListFile(path, MemoText(MemoWords));
    RememberFolder(TFileKind::WordList, path);
}

void TMainForm::BtnClearMainClick()
{
    if (!MayDropResults(tr("Результаты проверки не сохранены. Очистить их?")))
        return;
    // The question answered is the question about the run too; its end has nothing left to tell.
    FQuietEnd = true;
    FSession->Clear();
    FQuietEnd = false;
}

void TMainForm::BtnSettingClick()
{
    RunSettingsDialog();
}

void TMainForm::OpenPage(const QString& Url)
{
    OpenDocumentThen(Url, this, [this, Url](bool Opened) {
        if (Opened)
            return;
        // The address stays in the message, to be copied into a browser by hand.
        UserDialogs().Notify(this, QString::fromUtf16(QuorbelConsts::ProductName),
            tr("Не удалось открыть страницу в браузере: возможно, браузер не установлен или не выбран "
                           "браузер по умолчанию.\nАдрес страницы:\n%1")
                .arg(Url),
            TUserDialogs::TIcon::Warning);
    });
}

void TMainForm::BtnHelpClick()
{
    OpenPage(QuorbelConsts::HelpUrl());
}
void TMainForm::BtnWebClick()
{
    OpenPage(QuorbelConsts::SiteUrl());
}
void TMainForm::SuggestFeatureClick()
{
    OpenPage(QuorbelConsts::ContactUrl());
}
void TMainForm::SupportClick()
{
    OpenPage(QuorbelConsts::ContactUrl());
}
void TMainForm::ExitClick()
{
    close();
}
void TMainForm::CopyNamesClick()
{
    ResultsPane->CopySelectedNames();
}
void TMainForm::SortColumnClick()
{
    ResultsPane->CycleSortOfCurrentColumn();
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
    QTimer::singleShot(0, this, [this, path] { RunCommand(this, [this, path] { LoadKeywordFile(path); }); });
}

void TMainForm::LoadKeywordFile(const QString& Path)
{
    // Read first: a file that cannot be read asks nothing and changes nothing.
    const QString text = ReadListText(Path);
    if (!MemoText(MemoWords).isEmpty()
        && !AskYesNo(this, QString::fromUtf16(QuorbelConsts::ProductName),
            tr("Заменить ключевые слова списком из файла?\n%1").arg(QDir::toNativeSeparators(Path))))
        return;
    ReplaceMemoText(MemoWords, text);
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
    // Verdicts cost the registries' time: they are not dropped without a word.
    if (!FCloseWithoutAsking
        && !MayDropResults(tr("Результаты проверки не сохранены. Закрыть программу без них?"))) {
        Event->ignore();
        return;
    }
    FQuietEnd = true;
    FSession->Stop();
    // A download must not go on, nor report, behind a closed window.
    TimerUpdate->stop();
    FUpdateCheck->Abort();
    QMainWindow::closeEvent(Event);
}

void TMainForm::CloseWithoutAsking()
{
    FCloseWithoutAsking = true;
    close();
}

void TMainForm::AboutClick()
{
    ShowAboutDialog(this);
}

void TMainForm::TimerUpdateTimer()
{
    TimerUpdate->stop();
    // Read when the timer fires, so that switching the check off in the settings before then still holds.
    if (FSettings.Setting_CheckUpdates)
        FUpdateCheck->StartUpdateCheck();
}
