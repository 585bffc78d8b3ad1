#pragma once

#include "core/checks/DomainShell.h"
#include "core/settings/AppSettings.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QToolButton;
class TDomain;
class TNoticeBar;
class TProgressForm;
class TResultsModel;
class TResultsPanel;
class TUpdateCheck;

// The program's main window: keyword list on the left, results on the right, command buttons on top.
// Implements the engine's view of the window.
class TMainForm : public QMainWindow, public TDomainShell {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    std::unique_ptr<TDomain> Domains;

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
    QComboBox* ComboBoxWordCount = nullptr;
    QComboBox* ComboBoxZones = nullptr;
    QPushButton* BtnStart = nullptr;
    TResultsPanel* ResultsPane = nullptr;
    QMenu* GridMenu = nullptr;
    QTimer* TimerUpdate = nullptr;
    std::unique_ptr<TProgressForm> ProgressForm;

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
    QAction* PM_ClearList = nullptr;
    QAction* PM_ExportText = nullptr;
    QAction* PM_ExportCSV = nullptr;
    QAction* PM_ReportText = nullptr;
    QAction* PM_ReportHTML = nullptr;
    QAction* PM_ReportCSV = nullptr;

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
    void MemoWordsChange();
    void EmptyListHintClick();
    void FillComboZones();
    void TimerUpdateTimer();
    void ResultsPaneResize();
    // Puts the names of the grid's selected rows on the clipboard, one per line.
    void CopyNamesClick();

    void BringToFront();
    // The argument a second start of the program handed over: brings the window to the
    // front and, when the argument names a readable file, loads it as the keyword list, asking first when
    // the list is not empty.
    void OpenForwarded(const QString& Path);

    // Runs up to this many candidates without the progress dialog (and runs without checks), under the busy
    // cursor instead.
    static constexpr quint64 LastRunWithoutProgress = 5;

    // The six result commands share one state.
    bool ResultCommandsEnabled() const;

    // TDomainShell
    bool AutoWhois() const override { return Setting_AutoWhois; }
    bool AutoRange() const override { return Setting_AutoRange; }
    void ProgressSetMax(int Maximum) override;
    void ProgressSetPosition(int Position) override;
    void ProgressDetails(const QStringList& Lines) override;
    void ProgressShow() override;
    void ProgressHide() override;
    void ShowInformation(const QString& Caption, const QString& Text) override;
    void RunFinished(const QString& Error) override;
    TResultsModel& Grid() override;
    void SetGridVisible(bool Visible) override;
    TGridGeometry GridGeometry() const override;
    void SetColumnWidths(const std::array<int, 5>& Widths) override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

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
    void SetRunning(bool Running);
    // Starts a run through Start (false when it had nothing to do), with the current servers and limits,
    // Start disabled and, for a run too Small for the progress dialog, the busy cursor.
    void StartRun(bool Small, const std::function<bool()>& Start);
    // The busy cursor is up for the run in progress.
    bool FBusyCursor = false;
    void LoadForwardedList(const QString& Path);
    // Connects a control's signal to a command that runs under the general error report.
    template <typename Sender, typename Signal> void Bind(Sender* From, Signal Sig, void (TMainForm::*Command)());

    TResultsModel* FResults = nullptr;
    TUpdateCheck* FUpdateCheck = nullptr;
};
