#include "gui/MainForm.h"

#include "core/candidates/NameRules.h"
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
#include "gui/MemoText.h"
#include "gui/NoticeBar.h"
#include "gui/ReportCommands.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"
#include "gui/RunProgressPanel.h"
#include "gui/UpdateCheck.h"
#include "gui/UserDialogs.h"
#include "gui/ZoneChoice.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
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
#include <QStatusBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>
#include <optional>
#include <type_traits>

template <typename Sender, typename Signal>
void TMainForm::Bind(Sender* From, Signal Sig, void (TMainForm::*Command)())
{
    connect(From, Sig, this, [this, Command] { RunCommand(this, [this, Command] { (this->*Command)(); }); });
}

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    FSession = new TRunSession(this);
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

    Toolbar = new QWidget(central);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setFixedHeight(55);
    auto* top = new QHBoxLayout(Toolbar);
    top->setContentsMargins(3, 3, 3, 3);
    top->setSpacing(3);
    auto makeButton = [&](QToolButton*& button, const char* name, const QString& tip, TAppIcon icon) {
        button = new QToolButton(Toolbar);
        button->setObjectName(QLatin1String(name));
        button->setFixedSize(54, 49);
        button->setIconSize(QSize(32, 32));
        button->setIcon(AppIcon(icon));
        button->setToolTip(tip);
        // A picture alone says nothing to a screen reader.
        button->setAccessibleName(tip);
        button->setAutoRaise(true);
        top->addWidget(button);
    };
    makeButton(BtnClearMain, "BtnClearMain", tr("Очистить результаты генерации"), TAppIcon::Clear);
    makeButton(BtnOpen, "BtnOpen", tr("Открыть (загрузить) список слов для генерации в программу"),
        TAppIcon::Open);
    makeButton(BtnSave, "BtnSave", tr("Сохранение данных в файл"), TAppIcon::Save);
    makeButton(BtnSetting, "BtnSetting", tr("Основные настройки программы"), TAppIcon::Settings);
    makeButton(BtnWeb, "BtnWeb", tr("Перейти на сайт программы"), TAppIcon::Web);
    makeButton(BtnHelp, "BtnHelp", tr("Справка"), TAppIcon::Help);
    top->addStretch(1);
    outer->addWidget(Toolbar);

    PanelUpdateNotice = new TNoticeBar(central);
    outer->addWidget(PanelUpdateNotice);

    ContentPanel = new QWidget(central);
    ContentPanel->setObjectName(QStringLiteral("ContentPanel"));
    auto* content = new QHBoxLayout(ContentPanel);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    outer->addWidget(ContentPanel, 1);

    KeywordPanel = new QWidget(ContentPanel);
    KeywordPanel->setObjectName(QStringLiteral("KeywordPanel"));
    KeywordPanel->setFixedWidth(249);
    auto* left = new QVBoxLayout(KeywordPanel);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(0);

    MemoWords = new QPlainTextEdit(KeywordPanel);
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
    // Tab moves on to the next control: a tab inside a keyword would only spoil the names.
    MemoWords->setTabChangesFocus(true);
    MemoWords->viewport()->installEventFilter(this);
    MemoWords->installEventFilter(this);
    left->addWidget(MemoWords, 1);

    PanelWordHint = new QWidget(KeywordPanel);
    PanelWordHint->setObjectName(QStringLiteral("PanelWordHint"));
    auto* hintLayout = new QVBoxLayout(PanelWordHint);
    hintLayout->setContentsMargins(0, 0, 0, 0);
    // Its text follows the word count's choice.
    EmptyListHint = new QLabel(PanelWordHint);
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

    ChoicePanel = new QWidget(KeywordPanel);
    ChoicePanel->setObjectName(QStringLiteral("ChoicePanel"));
    ChoicePanel->setFixedHeight(78);
    auto* bottom = new QVBoxLayout(ChoicePanel);
    bottom->setContentsMargins(3, 6, 3, 6);
    bottom->setSpacing(6);
    auto makeCombo = [&](auto*& combo, const char* name, const QString& cue) {
        combo = new std::remove_reference_t<decltype(*combo)>(ChoicePanel);
        combo->setObjectName(QLatin1String(name));
        combo->setFixedHeight(30);
        combo->setFont(TahomaFont(15));
        combo->setPlaceholderText(cue);
        combo->setToolTip(cue);
        combo->view()->setStyleSheet(QStringLiteral("QAbstractItemView::item { min-height: 24px; }"));
        bottom->addWidget(combo);
    };
    makeCombo(ComboBoxWordCount, "ComboBoxWordCount",
        tr("Количество слов используемых для генерации новых имен"));
    ComboBoxWordCount->addItems({ tr("2 слова"), tr("3 слова"), tr("4 слова"),
        tr("Готовые имена") });
    ComboBoxWordCount->setCurrentIndex(0);
    makeCombo(ComboBoxZones, "ComboBoxZones", tr("Домены для генерации"));
    left->addWidget(ChoicePanel);
    CreateVariantControls(KeywordPanel);
    left->addWidget(VariantPanel);

    LabelNameCount = new QLabel(KeywordPanel);
    LabelNameCount->setObjectName(QStringLiteral("LabelNameCount"));
    LabelNameCount->setContentsMargins(6, 0, 6, 3);
    left->addWidget(LabelNameCount);

    BtnStart = new QPushButton(AppIcon(TAppIcon::Start), tr("Начать &генерацию"), KeywordPanel);
    BtnStart->setObjectName(QStringLiteral("BtnStart"));
    BtnStart->setFixedHeight(49);
    BtnStart->setFont(TahomaFont(13, true));
    BtnStart->setIconSize(QSize(32, 32));
    left->addWidget(BtnStart);
    content->addWidget(KeywordPanel);

    ResultsPane = new TResultsPanel(*FSession, ContentPanel);
    FResults = &ResultsPane->Model();
    ResultsPane->setObjectName(QStringLiteral("ResultsPane"));
    content->addWidget(ResultsPane, 1);

    RunProgress = new TRunProgressPanel(central);
    outer->addWidget(RunProgress);

    StatusCounts = new QLabel(this);
    StatusCounts->setObjectName(QStringLiteral("StatusCounts"));
    statusBar()->addWidget(StatusCounts, 1);
    // Verdicts arrive a few times a second at most: counting the whole list each time is cheap.
    connect(FResults, &QAbstractItemModel::modelReset, this, &TMainForm::UpdateCounts);
    connect(FResults, &QAbstractItemModel::layoutChanged, this, &TMainForm::UpdateCounts);
    connect(FResults, &QAbstractItemModel::dataChanged, this, &TMainForm::UpdateCounts);

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
    Bind(ComboBoxWordCount, &QComboBox::currentIndexChanged, &TMainForm::WordCountChange);
    FCountTimer = new QTimer(this);
    FCountTimer->setSingleShot(true);
    FCountTimer->setInterval(150);
    Bind(FCountTimer, &QTimer::timeout, &TMainForm::UpdateNameCount);
    connect(MemoWords, &QPlainTextEdit::textChanged, FCountTimer, qOverload<>(&QTimer::start));
    Bind(ComboBoxZones, &TZoneChoice::CheckedChanged, &TMainForm::UpdateNameCount);
    for (QCheckBox* box : { CheckBoxHyphen, CheckBoxPrefixes, CheckBoxSuffixes, CheckBoxTranslit, CheckBoxMaxLength })
        Bind(box, &QCheckBox::toggled, &TMainForm::VariantsChange);
    Bind(SpinMaxLength, &QSpinBox::valueChanged, &TMainForm::VariantsChange);
    Bind(TimerUpdate, &QTimer::timeout, &TMainForm::TimerUpdateTimer);
    Bind(RunProgress, &TRunProgressPanel::StopRequested, &TMainForm::StopClick);
    connect(FSession, &TRunSession::ProgressChanged, RunProgress, &TRunProgressPanel::Show);
    connect(FSession, &TRunSession::Finished, this, &TMainForm::OnRunFinished);
    // The store failing costs the next start its verdicts, not this run: told without waiting for anyone.
    connect(FSession, &TRunSession::StoreFailed, this, [this](const QString& Message) {
        UserDialogs().Notify(
            this, QString::fromUtf16(QuorbelConsts::ProductName), Message, TUserDialogs::TIcon::Warning);
    });
    // A new run's rows can be saved while it goes; clearing leaves the commands as they were.
    connect(FSession, &TRunSession::RowsReset, this, [this] {
        if (!FQuietEnd)
            SetResultCommandsEnabled(FSession->Candidates().size() > 0);
    });
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

    QMenu* file = menuBar()->addMenu(tr("&Файл"));
    MI_Start = item(file, tr("&Начать генерацию"), &TMainForm::BtnStartClick,
        QKeySequence(Qt::CTRL | Qt::Key_Return), BtnStart->icon());
    // The keypad's Enter starts too.
    MI_Start->setShortcuts({ QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter) });
    file->addSeparator();
    MI_OpenWords = item(
        file, tr("&Открыть список слов"), &TMainForm::BtnOpenClick, QKeySequence::Open, BtnOpen->icon());
    MI_SaveWords = item(
        file, tr("&Сохранить список слов"), &TMainForm::BtnSaveClick, QKeySequence::Save, BtnSave->icon());
    file->addSeparator();
    MI_ClearResult = item(
        file, tr("О&чистить результаты подбора"), &TMainForm::BtnClearMainClick, {}, BtnClearMain->icon());
    file->addSeparator();
    QMenu* exportMenu = file->addMenu(tr("&Экспорт доменов"));
    MI_ExportCSV = item(exportMenu, tr("Таблица &CSV"), &TMainForm::MI_ExportCSVClick);
    MI_ExportText = item(exportMenu, tr("&Текстовый документ"), &TMainForm::MI_ExportTextClick);
    file->addSeparator();
    MI_Exit = item(file, tr("&Выход"), &TMainForm::ExitClick, QKeySequence(Qt::CTRL | Qt::Key_Q),
        AppIcon(TAppIcon::Exit));

    QMenu* settings = menuBar()->addMenu(tr("&Настройки"));
    MI_Settings
        = item(settings, tr("&Основные настройки"), &TMainForm::BtnSettingClick, {}, BtnSetting->icon());

    QMenu* report = menuBar()->addMenu(tr("&Отчет"));
    MI_ReportText = item(report, tr("Сохранить &текстовый отчет"), &TMainForm::MI_ReportTextClick);
    MI_ReportHTML = item(report, tr("Сохранить отчет в &HTML"), &TMainForm::MI_ReportHTMLClick);
    MI_ReportCSV = item(report, tr("Сохранить отчет в &CSV"), &TMainForm::MI_ReportCSVClick);
    report->addSeparator();
    MI_RecheckUnjudged
        = item(report, tr("&Проверить непроверенные заново"), &TMainForm::RecheckUnjudgedClick);

    MenuHistory = menuBar()->addMenu(tr("&История"));
    MenuHistory->setObjectName(QStringLiteral("MenuHistory"));
    connect(MenuHistory, &QMenu::aboutToShow, this, [this] { RunCommand(this, [this] { FillHistoryMenu(); }); });

    QMenu* help = menuBar()->addMenu(tr("&Справка"));
    MI_Help
        = item(help, tr("&Справка"), &TMainForm::BtnHelpClick, QKeySequence(Qt::Key_F1), BtnHelp->icon());
    MI_Web = item(help, tr("Сайт &программы"), &TMainForm::BtnWebClick, {}, BtnWeb->icon());
    help->addSeparator();
    MI_Suggest = item(help, tr("Предложить &новую функцию"), &TMainForm::SuggestFeatureClick);
    MI_Support = item(help, tr("&Техническая поддержка клиентов"), &TMainForm::SupportClick);
    help->addSeparator();
    MI_About = item(help, tr("&О программе"), &TMainForm::AboutClick);

    GridMenu = new QMenu(this);
    GridMenu->setObjectName(QStringLiteral("GridMenu"));
    PM_CopyNames = item(GridMenu, tr("&Копировать имена"), &TMainForm::CopyNamesClick, QKeySequence::Copy,
        AppIcon(TAppIcon::Copy));
    // Ctrl+C copies names only while the grid has the focus; elsewhere it stays the text boxes' own.
    PM_CopyNames->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ResultsPane->ResultsView()->addAction(PM_CopyNames);
    PM_RecheckUnjudged
        = item(GridMenu, tr("&Проверить непроверенные заново"), &TMainForm::RecheckUnjudgedClick);
    PM_SortColumn = item(GridMenu, tr("&Сортировать по этому столбцу"), &TMainForm::SortColumnClick);
    PM_AskAgain = item(GridMenu, tr("Проверить &заново"), &TMainForm::AskAgainClick);
    GridMenu->addSeparator();
    PM_ClearList
        = item(GridMenu, tr("&Очистить список"), &TMainForm::BtnClearMainClick, {}, BtnClearMain->icon());
    GridMenu->addSeparator();
    caption(GridMenu, tr("Сохранение результатов"));
    GridMenu->addSeparator();
    PM_ExportText = item(GridMenu, tr("Сохранить в &текстовый документ"), &TMainForm::MI_ExportTextClick);
    PM_ExportCSV = item(GridMenu, tr("Сохранить в CSV &документ"), &TMainForm::MI_ExportCSVClick);
    GridMenu->addSeparator();
    caption(GridMenu, tr("Экспорт отчета"));
    GridMenu->addSeparator();
    PM_ReportText = item(GridMenu, tr("В текстовом &формате (TXT)"), &TMainForm::MI_ReportTextClick);
    PM_ReportHTML = item(GridMenu, tr("В &HTML файл (HTML)"), &TMainForm::MI_ReportHTMLClick);
    PM_ReportCSV = item(GridMenu, tr("В табличном формате (&CSV)"), &TMainForm::MI_ReportCSVClick);

    ResultsPane->SetPopupMenu(GridMenu);
    SetResultCommandsEnabled(false);

    // Named after their fields, so tests and tools reach a command by its name as a user does by its caption.
    const std::pair<QAction*, const char16_t*> names[] = { { MI_Start, u"MI_Start" }, { MI_OpenWords, u"MI_OpenWords" },
        { MI_SaveWords, u"MI_SaveWords" }, { MI_ClearResult, u"MI_ClearResult" }, { MI_ExportCSV, u"MI_ExportCSV" },
        { MI_ExportText, u"MI_ExportText" }, { MI_Exit, u"MI_Exit" }, { MI_Settings, u"MI_Settings" },
        { MI_ReportText, u"MI_ReportText" }, { MI_ReportHTML, u"MI_ReportHTML" }, { MI_ReportCSV, u"MI_ReportCSV" },
        { MI_RecheckUnjudged, u"MI_RecheckUnjudged" }, { MI_Help, u"MI_Help" }, { MI_Web, u"MI_Web" },
        { MI_Suggest, u"MI_Suggest" }, { MI_Support, u"MI_Support" }, { MI_About, u"MI_About" },
        { PM_CopyNames, u"PM_CopyNames" }, { PM_RecheckUnjudged, u"PM_RecheckUnjudged" },
        { PM_SortColumn, u"PM_SortColumn" }, { PM_AskAgain, u"PM_AskAgain" }, { PM_ClearList, u"PM_ClearList" }, { PM_ExportText, u"PM_ExportText" },
        { PM_ExportCSV, u"PM_ExportCSV" }, { PM_ReportText, u"PM_ReportText" }, { PM_ReportHTML, u"PM_ReportHTML" },
        { PM_ReportCSV, u"PM_ReportCSV" } };
    for (const auto& [action, name] : names)
        action->setObjectName(QString::fromUtf16(name));
}

void TMainForm::FormCreate()
{
    setWindowTitle(QuorbelConsts::ProductTitle());
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
        LoadVariantLists();
    } catch (const EOrvantaError&) {
        // The window starts without the lists; a Start reads them again and tells what failed.
    }
    RestoreChoices();
    RestoreLastSession();
    try {
        WriteFirstRunDefaults();
    } catch (const EOrvantaError& error) {
        // Not inside the event loop yet: an error escaping here would end the program.
        if (!settingsProblem)
            UserDialogs().Message(this, QString::fromUtf16(QuorbelConsts::ProductName), error.Message(),
                TUserDialogs::TIcon::Warning);
    }
    TimerUpdate->start();
    MemoWordsChange();
    WordCountChange();
    UpdateCounts();
}

void TMainForm::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    if (std::exchange(FTipsOffered, true))
        return;
    // The tips come over the window, once it is on screen, not before it.
    QTimer::singleShot(0, this, [this] { ::ShowStartupTips(this); });
}

void TMainForm::FormDestroy()
{
    SaveFormPosition(this);
    SaveChoices();
    // The run's end must not reach a window half gone.
    FQuietEnd = true;
    disconnect(FSession, nullptr, this, nullptr);
    FSession->Stop();
    // The session outlives the window's fields by a moment; the store goes with the fields.
    FSession->SetStore(nullptr, TRunOrigin::Window);
    Setting_WhoisList.clear();
    Setting_FirstList.clear();
}
