#pragma once

#include "core/checks/RunSession.h"
#include "core/checks/VerdictStore.h"
#include "core/reports/ReportWriters.h"
#include "core/settings/AppSettings.h"
#include "core/settings/SettingsKeys.h"

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class TNoticeBar;
class TResultsModel;
class TResultsPanel;
class TRunProgressPanel;
class TUpdateCheck;
class TZoneChoice;

// The program's main window: keyword list on the left, results on the right, command buttons on top, the
// progress of a run below. It follows its run session's signals and stays usable while a run goes.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The candidates shown and the runs that check them.
    TRunSession& Session() const { return *FSession; }
    // The grid's rows as shown.
    TResultsModel& Results() const { return *FResults; }
    // The port WHOIS servers are asked on; tests and tools point the window at their own servers.
    quint16 WhoisPort = 43;
    // The resolver asked first when the setting says so; none: the system's.
    std::optional<TDnsServer> DnsServer;

private:
    // Loaded and reloaded as one; the window's fields below name its parts.
    TAppSettings FSettings;

public:
    bool& Setting_AutoWhois = FSettings.Setting_AutoWhois;
    bool& Setting_AutoRange = FSettings.Setting_AutoRange;
    QStringList& Setting_WhoisList = FSettings.Setting_WhoisList;
    QStringList& Setting_FirstList = FSettings.Setting_FirstList;

    QWidget* Toolbar = nullptr;
    QToolButton* BtnClearMain = nullptr;
    QToolButton* BtnOpen = nullptr;
    QToolButton* BtnSave = nullptr;
    QToolButton* BtnSetting = nullptr;
    QToolButton* BtnWeb = nullptr;
    QToolButton* BtnHelp = nullptr;
    // Offers a newer version without interrupting: hidden until the update check finds one.
    TNoticeBar* PanelUpdateNotice = nullptr;
    QWidget* ContentPanel = nullptr;
    QWidget* KeywordPanel = nullptr;
    QPlainTextEdit* MemoWords = nullptr;
    QWidget* PanelWordHint = nullptr;
    QLabel* EmptyListHint = nullptr;
    QWidget* ChoicePanel = nullptr;
    // Two to four keywords a name, or the list's lines as names given whole (GivenNamesChoice).
    QComboBox* ComboBoxWordCount = nullptr;
    TZoneChoice* ComboBoxZones = nullptr;
    // The name variants: hyphenated, with prefixes, with suffixes, in Latin where only Latin is taken, and
    // no longer than a number of letters. Off while names are given whole.
    QWidget* VariantPanel = nullptr;
    QCheckBox* CheckBoxHyphen = nullptr;
    QCheckBox* CheckBoxPrefixes = nullptr;
    QCheckBox* CheckBoxSuffixes = nullptr;
    QCheckBox* CheckBoxTranslit = nullptr;
    QCheckBox* CheckBoxMaxLength = nullptr;
    QSpinBox* SpinMaxLength = nullptr;
    // "Будет создано имен: N", following the list, the word count, the zones and the variants as they change.
    QLabel* LabelNameCount = nullptr;
    QPushButton* BtnStart = nullptr;
    TResultsPanel* ResultsPane = nullptr;
    QMenu* GridMenu = nullptr;
    // Recent runs of the verdict store, filled each time it opens.
    QMenu* MenuHistory = nullptr;
    TRunProgressPanel* RunProgress = nullptr;
    // The status bar's counts of the grid, as shown and in all.
    QLabel* StatusCounts = nullptr;
    QTimer* TimerUpdate = nullptr;

    QAction* MI_Start = nullptr;
    QAction* MI_OpenWords = nullptr;
    QAction* MI_SaveWords = nullptr;
    QAction* MI_ClearResult = nullptr;
    QAction* MI_ExportCSV = nullptr;
    QAction* MI_ExportText = nullptr;
    QAction* MI_Exit = nullptr;
    QAction* MI_Settings = nullptr;
    QAction* MI_ReportText = nullptr;
    QAction* MI_ReportHTML = nullptr;
    QAction* MI_ReportCSV = nullptr;
    // Asks again about the failed and unchecked names of the grid.
    QAction* MI_RecheckUnjudged = nullptr;
    QAction* MI_Help = nullptr;
    QAction* MI_Web = nullptr;
    QAction* MI_Suggest = nullptr;
    QAction* MI_Support = nullptr;
    QAction* MI_About = nullptr;
    // Context menu items of the grid.
    QAction* PM_CopyNames = nullptr;
    QAction* PM_RecheckUnjudged = nullptr;
    // Sorts by the current cell's column, as a click on its header does.
    QAction* PM_SortColumn = nullptr;
    // Asks again about the selected rows, whatever their verdicts' age.
    QAction* PM_AskAgain = nullptr;
    QAction* PM_ClearList = nullptr;
    QAction* PM_ExportText = nullptr;
    QAction* PM_ExportCSV = nullptr;
    QAction* PM_ReportText = nullptr;
    QAction* PM_ReportHTML = nullptr;
    QAction* PM_ReportCSV = nullptr;

    // The word count's choice that takes each line of the list as a name to check.
    static constexpr int GivenNamesChoice = 3;
    bool NamesGiven() const;

    // The first start's argument, when there is one (the desktop entry's "open with"), is a word list: it
    // fills MemoWords as "Открыть список слов" does. A file that cannot be read is shown by the general
    // error report and the memo keeps its text.
    void OpenStartupFile(const QStringList& Arguments);

    // Commands.
    void BtnStartClick();
    void BtnOpenClick();
    void BtnSaveClick();
    void BtnClearMainClick();
    void BtnSettingClick();
    void BtnHelpClick();
    void BtnWebClick();
    void SuggestFeatureClick();
    void SupportClick();
    void AboutClick();
    void ExitClick();
    void MI_ExportCSVClick();
    void MI_ExportTextClick();
    void MI_ReportTextClick();
    void MI_ReportHTMLClick();
    void MI_ReportCSVClick();
    void RecheckUnjudgedClick();
    void AskAgainClick();
    // Lists the latest runs of the verdict store in MenuHistory, newest first.
    void FillHistoryMenu();
    // Shows the stored run RunId in the grid and puts its keywords into the keyword list, asking first
    // when the list holds other words.
    void RestoreHistoryRun(qint64 RunId);
    // How many runs the history menu lists.
    static constexpr int HistoryLength = 20;
    // The progress panel's stop button.
    void StopClick();
    void MemoWordsChange();
    void EmptyListHintClick();
    void FillComboZones();
    void WordCountChange();
    // Counts the names a Start would build and shows the count.
    void UpdateNameCount();
    void TimerUpdateTimer();
    // Puts the names of the grid's selected rows on the clipboard, one per line.
    void CopyNamesClick();
    void SortColumnClick();

    void BringToFront();
    // The argument a second start of the program handed over: brings the window to the
    // front and, when the argument names a readable file, loads it as the keyword list, asking first when
    // the list is not empty.
    void OpenForwarded(const QString& Path);

    // The result commands share one state: enabled while the grid holds rows.
    bool ResultCommandsEnabled() const;
    // Asks before a run is stopped that has gone on this long.
    qint64 StopQuestionAfterMs = 60000;
    // Announces a run whose checks take longer than this before it starts.
    static constexpr qint64 LongRunQuestionMs = qint64(3600) * 1000;

    // The status bar's line: "Имен: 294 · свободно 41 · занято 230 · ошибок 23 · не проверено 0", led by
    // "Показано: N из M" while the filter hides rows.
    static QString CountsText(const TStatusCounts& Counts, qint64 Shown);

    // Closes without the question about unsaved results: the program was asked to end (a signal).
    void CloseWithoutAsking();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    void showEvent(QShowEvent* Event) override;

private:
    void LoadSettingsIntoForm();
    // The settings dialog's opener sequence.
    void RunSettingsDialog();
    void CreateControls();
    void CreateMenus();
    void FormCreate();
    void FormDestroy();
    void PlaceWordHint();
    void SetResultCommandsEnabled(bool Enabled);
    void UpdateCounts();
    // Opens a page of the product's site in the browser; says so, with the address, when none takes it.
    void OpenPage(const QString& Url);
    void SetRunning(bool Running);
    // The servers, limits and lists of a run as they are now: edits since the last run count.
    TCheckSetup CurrentCheckSetup() const;
    // Starts a run through Start (false when it had nothing to do), Start disabled and the progress shown.
    void StartRun(const std::function<bool()>& Start);
    void OnRunFinished(const TRunSummary& Summary);
    // Asks first when the run has gone on long; true when it is stopped (or none goes).
    bool StopRunAsked();
    // Asks before results not saved are lost; true when they may go.
    bool MayDropResults(const QString& Question);
    // Runs a writer and records when everything shown was saved.
    void SaveResults(TReportKind Kind);
    // Loads Path into the keyword list, asking first when the list is not empty; Undo takes it back.
    void LoadKeywordFile(const QString& Path);
    // The names a Start would build, as the controls stand (no check switched on).
    TRunRequest InputRequest() const;
    void CreateVariantControls(QWidget* Parent);
    void VariantsChange();
    // Each variant's check box with the key that keeps it.
    std::array<std::pair<QCheckBox*, TBoolKey>, 5> VariantSwitches() const;
    // Reads the prefix and suffix lists, the Latin spelling table and the zone rules the variants use; with
    // InUseOnly only those the switches that are on use. A list that cannot be read stays as it was, and
    // the first such EOrvantaError is thrown once the others are read.
    void LoadVariantLists(bool InUseOnly = false);
    // The keyword list, the word count, the zones and the grid's view as the last window left them.
    void RestoreChoices();
    // Keeps them for the next start; a failure is told on standard error and the window closes anyway.
    void SaveChoices();
    // The verdict store, opened on first need: at start only when its file exists, made with Create.
    // Null when it cannot be used; the user is told once.
    TVerdictStore* OpenStore(bool Create);
    // The window's last run, as the store kept it (also one cut short by a crash).
    void RestoreLastSession();
    TReuseAges ReuseAges() const;
    // Connects a control's signal to a command that runs under the general error report.
    template <typename Sender, typename Signal> void Bind(Sender* From, Signal Sig, void (TMainForm::*Command)());

    // The lists of LoadVariantLists; the switches are the controls'.
    TNameVariants FVariantLists;
    TRunSession* FSession = nullptr;
    TResultsModel* FResults = nullptr;
    TUpdateCheck* FUpdateCheck = nullptr;
    // Typing is counted once it pauses: a long list is not split on every key.
    QTimer* FCountTimer = nullptr;
    std::unique_ptr<TVerdictStore> FStore;
    bool FStoreTried = false;
    bool FCloseWithoutAsking = false;
    bool FTipsOffered = false;
    // The window closes or the results are cleared: a run's end has nothing to tell.
    bool FQuietEnd = false;
};
