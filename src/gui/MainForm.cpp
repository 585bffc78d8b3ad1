#include "gui/MainForm.h"

#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "gui/AppFonts.h"
#include "gui/AppIcons.h"
#include "gui/DlgProgress.h"
#include "gui/ErrorReport.h"
#include "gui/MemoText.h"
#include "gui/UserDialogs.h"
#include "core/common/QuorbelConsts.h"
#include "core/candidates/NameRules.h"
#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainEngine.h"
#include "gui/ResultsPanel.h"
#include "core/updates/Updates.h"
#include "gui/DlgAbout.h"
#include "gui/DlgAnswers.h"
#include "gui/NoticeBar.h"
#include "gui/UpdateCheck.h"
#include "gui/ReportCommands.h"
#include "core/settings/AppSettings.h"
#include "core/settings/DataFiles.h"
#include "core/settings/LastFolders.h"
#include "core/settings/ListFiles.h"
#include "gui/DlgSetting.h"
#include "gui/FormPosition.h"
#include "core/settings/SettingsStore.h"
#include "core/common/OpenDocument.h"

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

template <typename Sender, typename Signal>
void TMainForm::Bind(Sender* From, Signal Sig, void (TMainForm::*Command)())
{
    connect(From, Sig, this, [this, Command] { RunCommand(this, [this, Command] { (this->*Command)(); }); });
}

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    CreateControls();
    CreateMenus();
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::CreateControls()
{
    setFont(TahomaFont(13));
    resize(808, 712);
    setMinimumSize(750, 480);

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    setCentralWidget(central);

    PanelMainTop = new QWidget(central);
    PanelMainTop->setObjectName(QStringLiteral("PanelMainTop"));
    PanelMainTop->setFixedHeight(55);
    auto* top = new QHBoxLayout(PanelMainTop);
    top->setContentsMargins(3, 3, 3, 3);
    top->setSpacing(3);
    auto makeButton = [&](QToolButton*& button, const char* name, const QString& tip, TAppIcon icon) {
        button = new QToolButton(PanelMainTop);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(54, 49);
        button->setIconSize(QSize(32, 32));
        button->setIcon(AppIcon(icon));
        button->setToolTip(tip);
        button->setAutoRaise(true);
        top->addWidget(button);
    };
    makeButton(BtnClearMain, "BtnClearMain", QStringLiteral("Очистить результаты генерации"), TAppIcon::Clear);
    makeButton(BtnOpen, "BtnOpen", QStringLiteral("Открыть (загрузить) список слов для генерации в программу"),
        TAppIcon::Open);
    makeButton(BtnSave, "BtnSave", QStringLiteral("Сохранение данных в файл"), TAppIcon::Save);
    makeButton(BtnSetting, "BtnSetting", QStringLiteral("Основные настройки программы"), TAppIcon::Settings);
    makeButton(BtnWeb, "BtnWeb", QStringLiteral("Перейти на сайт программы"), TAppIcon::Web);
    makeButton(BtnHelp, "BtnHelp", QStringLiteral("Справка"), TAppIcon::Help);
    top->addStretch(1);
    outer->addWidget(PanelMainTop);

    PanelUpdateNotice = new TNoticeBar(central);
    outer->addWidget(PanelUpdateNotice);

    PanelMainContent = new QWidget(central);
    PanelMainContent->setObjectName(QStringLiteral("PanelMainContent"));
    auto* content = new QHBoxLayout(PanelMainContent);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    outer->addWidget(PanelMainContent, 1);

    PanelContLeft = new QWidget(PanelMainContent);
    PanelContLeft->setObjectName(QStringLiteral("PanelContLeft"));
    PanelContLeft->setFixedWidth(249);
    auto* left = new QVBoxLayout(PanelContLeft);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);

    MemoWords = new QPlainTextEdit(PanelContLeft);
    MemoWords->setObjectName(QStringLiteral("MemoWords"));
    MemoWords->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    MemoWords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoWords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QPalette p = MemoWords->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        MemoWords->setPalette(p);
    }
    MemoWords->viewport()->installEventFilter(this);
    MemoWords->installEventFilter(this);
    left->addWidget(MemoWords, 1);

    PanelWordHint = new QWidget(PanelContLeft);
    PanelWordHint->setObjectName(QStringLiteral("PanelWordHint"));
    auto* hintLayout = new QVBoxLayout(PanelWordHint);
    hintLayout->setContentsMargins(0, 0, 0, 0);
    EmptyListHint = new QLabel(QStringLiteral("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"),
        PanelWordHint);
    EmptyListHint->setObjectName(QStringLiteral("EmptyListHint"));
    EmptyListHint->setAlignment(Qt::AlignCenter);
    EmptyListHint->setWordWrap(true);
    {
        QPalette p = EmptyListHint->palette();
        p.setColor(QPalette::WindowText, Qt::gray);
        EmptyListHint->setPalette(p);
    }
    EmptyListHint->setCursor(Qt::PointingHandCursor);
    EmptyListHint->installEventFilter(this);
    hintLayout->addWidget(EmptyListHint);

    PanelCLBottom = new QWidget(PanelContLeft);
    PanelCLBottom->setObjectName(QStringLiteral("PanelCLBottom"));
    PanelCLBottom->setFixedHeight(78);
    auto* bottom = new QVBoxLayout(PanelCLBottom);
    bottom->setContentsMargins(3, 6, 3, 6);
    bottom->setSpacing(6);
    auto makeCombo = [&](QComboBox*& combo, const char* name, const QString& cue) {
        combo = new QComboBox(PanelCLBottom);
        combo->setObjectName(QLatin1String(name));
        combo->setFixedHeight(30);
        combo->setFont(TahomaFont(15));
        combo->setPlaceholderText(cue);
        combo->setToolTip(cue);
        combo->view()->setStyleSheet(QStringLiteral("QAbstractItemView::item { min-height: 24px; }"));
        bottom->addWidget(combo);
    };
    makeCombo(ComboBoxWordCount, "ComboBoxWordCount",
        QStringLiteral("Количество слов используемых для генерации новых имен"));
    ComboBoxWordCount->addItems(
        { QStringLiteral("2 слова"), QStringLiteral("3 слова"), QStringLiteral("4 слова") });
    ComboBoxWordCount->setCurrentIndex(0);
    makeCombo(ComboBoxZones, "ComboBoxZones", QStringLiteral("Домены для генерации"));
    left->addWidget(PanelCLBottom);

    BtnStart = new QPushButton(AppIcon(TAppIcon::Start), QStringLiteral("Начать генерацию"), PanelContLeft);
    BtnStart->setObjectName(QStringLiteral("BtnStart"));
    BtnStart->setFixedHeight(49);
    BtnStart->setFont(TahomaFont(13, true));
    BtnStart->setIconSize(QSize(32, 32));
    left->addWidget(BtnStart);
    content->addWidget(PanelContLeft);

    ResultsPane = new TResultsPanel(PanelMainContent);
    FResults = &ResultsPane->Model();
    ResultsPane->setObjectName(QStringLiteral("ResultsPane"));
    content->addWidget(ResultsPane, 1);

    TimerUpdate = new QTimer(this);
    TimerUpdate->setObjectName(QStringLiteral("TimerUpdate"));
    TimerUpdate->setInterval(UpdateTimerInterval);
    // A child of the window: freeing the window stops a download that is still running.
    FUpdateCheck = new TUpdateCheck(this);
    TimerUpdate->setSingleShot(true);
    connect(FUpdateCheck, &TUpdateCheck::UpdateOffered, PanelUpdateNotice, &TNoticeBar::Offer);
    connect(PanelUpdateNotice, &TNoticeBar::DownloadChosen, FUpdateCheck, &TUpdateCheck::StartAppDownload);

    Bind(BtnStart, &QPushButton::clicked, &TMainForm::BtnStartClick);
    Bind(BtnClearMain, &QToolButton::clicked, &TMainForm::BtnClearMainClick);
    Bind(BtnOpen, &QToolButton::clicked, &TMainForm::BtnOpenClick);
    Bind(BtnSave, &QToolButton::clicked, &TMainForm::BtnSaveClick);
    Bind(BtnSetting, &QToolButton::clicked, &TMainForm::BtnSettingClick);
    Bind(BtnWeb, &QToolButton::clicked, &TMainForm::BtnWebClick);
    Bind(BtnHelp, &QToolButton::clicked, &TMainForm::BtnHelpClick);
    Bind(MemoWords, &QPlainTextEdit::textChanged, &TMainForm::MemoWordsChange);
    Bind(TimerUpdate, &QTimer::timeout, &TMainForm::TimerUpdateTimer);
    Bind(ResultsPane, &TResultsPanel::Resized, &TMainForm::PanelContRightResize);
}

void TMainForm::CreateMenus()
{
    auto item = [this](QMenu* menu, const QString& caption, void (TMainForm::*command)(),
                    const QKeySequence& keys = {}, const QIcon& icon = {}) {
        QAction* action = menu->addAction(icon, caption);
        action->setShortcut(keys);
        Bind(action, &QAction::triggered, command);
        return action;
    };
    auto caption = [](QMenu* menu, const QString& text) {
        QAction* action = menu->addAction(text);
        action->setEnabled(false);
        return action;
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("Файл"));
    MI_Start = item(file, QStringLiteral("Начать генерацию"), &TMainForm::BtnStartClick,
        QKeySequence(Qt::CTRL | Qt::Key_Return), BtnStart->icon());
    // The keypad's Enter starts too.
    MI_Start->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter) });
    file->addSeparator();
    MI_OpenWords = item(file, QStringLiteral("Открыть список слов"), &TMainForm::BtnOpenClick, QKeySequence::Open,
        BtnOpen->icon());
    MI_SaveWords = item(file, QStringLiteral("Сохранить список слов"), &TMainForm::BtnSaveClick, QKeySequence::Save,
        BtnSave->icon());
    file->addSeparator();
    MI_ClearResult = item(file, QStringLiteral("Очистить результаты подбора"), &TMainForm::BtnClearMainClick, {},
        BtnClearMain->icon());
    file->addSeparator();
    QMenu* exportMenu = file->addMenu(QStringLiteral("Экспорт доменов"));
    MI_ExportCSV = item(exportMenu, QStringLiteral("Таблица CSV"), &TMainForm::MI_ExportCSVClick);
    Mi_ExportText = item(exportMenu, QStringLiteral("Текстовый документ"), &TMainForm::Mi_ExportTextClick);
    file->addSeparator();
    MI_Exit = item(file, QStringLiteral("Выход"), &TMainForm::ExitClick, QKeySequence(Qt::CTRL | Qt::Key_Q),
        AppIcon(TAppIcon::Exit));

    QMenu* settings = menuBar()->addMenu(QStringLiteral("Настройки"));
    MI_Settings = item(settings, QStringLiteral("Основные настройки"), &TMainForm::BtnSettingClick, {},
        BtnSetting->icon());

    QMenu* report = menuBar()->addMenu(QStringLiteral("Отчет"));
    MI_ReportText = item(report, QStringLiteral("Сохранить текстовый отчет"), &TMainForm::MI_ReportTextClick);
    MI_ReportHTML = item(report, QStringLiteral("Сохранить отчет в HTML"), &TMainForm::MI_ReportHTMLClick);
    MI_ReportCSV = item(report, QStringLiteral("Сохранить отчет в CSV"), &TMainForm::MI_ReportCSVClick);
    report->addSeparator();
    MI_RecheckUnjudged = item(report, QStringLiteral("Проверить непроверенные заново"), &TMainForm::RecheckUnjudgedClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Справка"));
    MI_Help = item(help, QStringLiteral("Справка"), &TMainForm::BtnHelpClick, QKeySequence(Qt::Key_F1), BtnHelp->icon());
    MI_Web = item(help, QStringLiteral("Сайт программы"), &TMainForm::BtnWebClick, {}, BtnWeb->icon());
    help->addSeparator();
    MI_Suggest = item(help, QStringLiteral("Предложить новую функцию"), &TMainForm::SuggestFeatureClick);
    MI_Support = item(help, QStringLiteral("Техническая поддержка клиентов"), &TMainForm::SupportClick);
    help->addSeparator();
    MI_About = item(help, QStringLiteral("О программе"), &TMainForm::AboutClick);

    GridMenu = new QMenu(this);
    GridMenu->setObjectName(QStringLiteral("GridMenu"));
    PM_CopyNames = item(GridMenu, QStringLiteral("Копировать имена"), &TMainForm::CopyNamesClick,
        QKeySequence::Copy, AppIcon(TAppIcon::Copy));
    // Ctrl+C copies names only while the grid has the focus; elsewhere it stays the text boxes' own.
    PM_CopyNames->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ResultsPane->ResultsView()->addAction(PM_CopyNames);
    PM_RecheckUnjudged
        = item(GridMenu, QStringLiteral("Проверить непроверенные заново"), &TMainForm::RecheckUnjudgedClick);
    GridMenu->addSeparator();
    PM_ClearList = item(GridMenu, QStringLiteral("Очистить список"), &TMainForm::BtnClearMainClick, {}, BtnClearMain->icon());
    GridMenu->addSeparator();
    caption(GridMenu, QStringLiteral("Сохранение результатов"));
    GridMenu->addSeparator();
    PM_ExportText = item(GridMenu, QStringLiteral("Сохранить в текстовый документ"), &TMainForm::Mi_ExportTextClick);
    PM_ExportCSV = item(GridMenu, QStringLiteral("Сохранить в CSV документ"), &TMainForm::MI_ExportCSVClick);
    GridMenu->addSeparator();
    caption(GridMenu, QStringLiteral("Экспорт отчета"));
    GridMenu->addSeparator();
    PM_ReportText = item(GridMenu, QStringLiteral("В текстовом формате (TXT)"), &TMainForm::MI_ReportTextClick);
    PM_ReportHTML = item(GridMenu, QStringLiteral("В HTML файл (HTML)"), &TMainForm::MI_ReportHTMLClick);
    PM_ReportCSV = item(GridMenu, QStringLiteral("В табличном формате (CSV)"), &TMainForm::MI_ReportCSVClick);

    ResultsPane->SetPopupMenu(GridMenu);
    SetResultCommandsEnabled(false);
}

void TMainForm::FormCreate()
{
    setWindowTitle(QuorbelConsts::ProductTitle());
    Domains = std::make_unique<TDomain>(this);
    Setting_WhoisList.clear();
    Setting_FirstList.clear();
    // An unusable settings file is named once; the program then runs on its defaults and leaves it alone.
    const std::optional<QString> settingsProblem = TSettingsStore::FileProblem();
    if (settingsProblem) {
        std::fputs((*settingsProblem + u'\n').toUtf8().constData(), stderr);
        UserDialogs().Message(this, QString::fromUtf16(QuorbelConsts::ProductName), *settingsProblem,
            TUserDialogs::TIcon::Warning);
    }
    LoadFormPosition(this);
    LoadSettingsIntoForm();
    FillComboZones();
    try {
        WriteFirstRunDefaults();
    } catch (const EOrvantaError& error) {
        // Not inside the event loop yet: an error escaping here would end the program.
        if (!settingsProblem)
            UserDialogs().Message(this, QString::fromUtf16(QuorbelConsts::ProductName), error.Message(),
                TUserDialogs::TIcon::Warning);
    }
    ::ShowStartupTips(this);
    // A top-level window of its own: disabling the main window must not disable the dialog with it.
    ProgressForm = std::make_unique<TProgressForm>();
    // With its stop button: a run can last hours, and stopping keeps every verdict obtained.
    ProgressForm->SetSettingsDlg(this, true);
    connect(ProgressForm.get(), &TProgressForm::StopRequested, this, [this] { Domains->CancelRun(); });
    TimerUpdate->start();
    MemoWordsChange();
}

void TMainForm::FormDestroy()
{
    SaveFormPosition(this);
    Domains.reset();
    Setting_WhoisList.clear();
    Setting_FirstList.clear();
    ProgressForm.reset();
}

void TMainForm::RunSettingsDialog()
{
    // The dialog is freed and everything reloaded before a failure reaches the general error report.
    ::RunSettingsDialog(this, FSettings, [this] { FillComboZones(); });
}

void TMainForm::LoadSettingsIntoForm()
{
    LoadSettings(FSettings);
}

void TMainForm::MI_ExportCSVClick() { SaveReport(TReportKind::ExportCSV, *FResults, this); }
void TMainForm::Mi_ExportTextClick() { SaveReport(TReportKind::ExportText, *FResults, this); }
void TMainForm::MI_ReportTextClick() { SaveReport(TReportKind::ReportText, *FResults, this); }
void TMainForm::MI_ReportHTMLClick() { SaveReport(TReportKind::ReportHTML, *FResults, this); }
void TMainForm::MI_ReportCSVClick() { SaveReport(TReportKind::ReportCSV, *FResults, this); }

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
        { MI_ClearResult, MI_ExportCSV, Mi_ExportText, MI_ReportText, MI_ReportHTML, MI_ReportCSV, PM_CopyNames })
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
        && UserDialogs().Message(this, QString::fromUtf16(QuorbelConsts::ProductName),
               LargeRunQuestion(count),
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
    const auto unjudged = std::count_if(Domains->Candidates.cbegin(), Domains->Candidates.cend(),
        [](const TCandidate& d) { return d.Status == StatusUnknown; });
    StartRun(quint64(unjudged) <= LastRunWithoutProgress, [this] { return Domains->RecheckUnjudged(); });
}

void TMainForm::StartRun(bool Small, const std::function<bool()>& Start)
{
    // The lists as they are now: servers or limits edited since the last run count.
    Domains->FillWhoisList(Setting_WhoisList);
    LoadDataList(QString::fromUtf16(ServerLimitsFileName), Domains->ServerLimits);
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

void TMainForm::BtnHelpClick() { OpenWebPage(QuorbelConsts::HelpUrl()); }
void TMainForm::BtnWebClick() { OpenWebPage(QuorbelConsts::SiteUrl()); }
void TMainForm::SuggestFeatureClick() { OpenWebPage(QuorbelConsts::ContactUrl()); }
void TMainForm::SupportClick() { OpenWebPage(QuorbelConsts::ContactUrl()); }
void TMainForm::ExitClick() { close(); }
void TMainForm::CopyNamesClick() { ResultsPane->CopySelectedNames(); }

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

void TMainForm::PanelContRightResize()
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

void TMainForm::ProgressSetMax(int Maximum) { ProgressForm->ProgressBar->setMaximum(Maximum); }
void TMainForm::ProgressSetPosition(int Position) { ProgressForm->ProgressBar->setValue(Position); }
void TMainForm::ProgressDetails(const QStringList& Lines) { ProgressForm->SetDetails(Lines); }
void TMainForm::ProgressShow() { ProgressForm->show(); }
void TMainForm::ProgressHide() { ProgressForm->hide(); }

void TMainForm::ShowInformation(const QString& Caption, const QString& Text)
{
    UserDialogs().Message(this, Caption, Text, TUserDialogs::TIcon::Information);
}

TResultsModel& TMainForm::Grid() { return *FResults; }
void TMainForm::SetGridVisible(bool Visible) { ResultsPane->SetGridVisible(Visible); }
TGridGeometry TMainForm::GridGeometry() const { return ResultsPane->Geometry(); }
void TMainForm::SetColumnWidths(const std::array<int, 5>& Widths) { ResultsPane->SetColumnWidths(Widths); }

void TMainForm::AboutClick() { ShowAboutDialog(this); }

void TMainForm::TimerUpdateTimer()
{
    TimerUpdate->stop();
    FUpdateCheck->StartUpdateCheck();
}
