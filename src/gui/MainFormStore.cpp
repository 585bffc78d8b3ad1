// The main window and the verdict store: the last run reopened at start, the history menu, asking again
// about chosen rows.
#include "core/candidates/NameRules.h"
#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ResultsPanel.h"
#include "gui/UserDialogs.h"

#include <QCoreApplication>
#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QPlainTextEdit>

namespace
{

// The words of a run as the menu shows them: the first few, then an ellipsis.
QString RequestText(const QStringList& Request)
{
    constexpr int Shown = 5;
    QString text = Request.mid(0, Shown).join(u", ");
    if (Request.size() > Shown)
        text += u", …";
    return text;
}

// "05.03.2024 14:07 — red, cat, sun — имен: 6, свободно: 1, занято: 4, не проверено: 1".
QString HistoryItemText(const TStoredRun& Run)
{
    QString text = QDateTime::fromSecsSinceEpoch(Run.Started).toString(u"dd.MM.yyyy HH:mm") + u" — "
        + RequestText(Run.Request) + u" — " + QCoreApplication::translate("TMainForm", "имен: %1").arg(Run.Total);
    if (Run.CheckAvailability)
        text += QCoreApplication::translate("TMainForm", ", свободно: %1, занято: %2, не проверено: %3")
                    .arg(Run.Free)
                    .arg(Run.Taken)
                    .arg(Run.Total - Run.Free - Run.Taken);
    if (Run.Origin == TRunOrigin::Batch)
        text += u" (orvanta-cli)";
    return text;
}

} // namespace

TReuseAges TMainForm::ReuseAges() const
{
    TReuseAges ages;
    ages.TakenSeconds = qint64(FSettings.Setting_ReuseTakenDays) * 86400;
    ages.FreeSeconds = qint64(FSettings.Setting_ReuseFreeMinutes) * 60;
    return ages;
}

TVerdictStore* TMainForm::OpenStore(bool Create)
{
    if (FStore || FStoreTried)
        return FStore.get();
    // Starting the program creates nothing; the first run does.
    if (!Create && !QFileInfo::exists(TVerdictStore::DefaultPath()))
        return nullptr;
    FStoreTried = true;
    const QString title = QString::fromUtf16(QuorbelConsts::ProductName);
    try {
        FStore = std::make_unique<TVerdictStore>(TVerdictStore::DefaultPath());
    } catch (const EOrvantaError& e) {
        UserDialogs().Notify(this, title, e.Message(), TUserDialogs::TIcon::Warning);
        return nullptr;
    }
    if (!FStore->Notice().isEmpty())
        UserDialogs().Notify(this, title, FStore->Notice(), TUserDialogs::TIcon::Warning);
    FSession->SetStore(FStore.get(), TRunOrigin::Window);
    return FStore.get();
}

void TMainForm::RestoreLastSession()
{
    TVerdictStore* store = OpenStore(false);
    if (!store)
        return;
    try {
        if (const auto last = store->LastRun(TRunOrigin::Window))
            FSession->RestoreRun(*last);
    } catch (const EOrvantaError& e) {
        // Not inside the event loop yet, and the window is of use without the last results.
        UserDialogs().Notify(
            this, QString::fromUtf16(QuorbelConsts::ProductName), e.Message(), TUserDialogs::TIcon::Warning);
    }
}

void TMainForm::FillHistoryMenu()
{
    MenuHistory->clear();
    QList<TStoredRun> runs;
    if (TVerdictStore* store = OpenStore(false))
        runs = store->RecentRuns(HistoryLength);
    if (runs.isEmpty()) {
        MenuHistory->addAction(tr("Сохраненных запусков нет"))->setEnabled(false);
        return;
    }
    for (const TStoredRun& run : std::as_const(runs)) {
        QAction* action = MenuHistory->addAction(HistoryItemText(run));
        // A run going owns the grid until it ends.
        action->setEnabled(!FSession->Running());
        const qint64 id = run.Id;
        connect(
            action, &QAction::triggered, this, [this, id] { RunCommand(this, [this, id] { RestoreHistoryRun(id); }); });
    }
}

void TMainForm::RestoreHistoryRun(qint64 RunId)
{
    TVerdictStore* store = OpenStore(false);
    if (!store || FSession->Running())
        return;
    const auto run = store->Run(RunId);
    if (!run || !FSession->RestoreRun(*run) || run->NamesGiven)
        return;
    const QStringList typed = CleanKeywords(SplitListLines(MemoText(MemoWords)));
    if (typed == run->Request)
        return;
    if (!MemoText(MemoWords).isEmpty()
        && !AskYesNo(this, QString::fromUtf16(QuorbelConsts::ProductName),
            tr("Заменить ключевые слова словами этого запуска?")))
        return;
    MemoWords->setPlainText(run->Request.join(u'\n'));
}

void TMainForm::AskAgainClick()
{
    if (FSession->Running())
        return;
    const QList<qsizetype> rows = ResultsPane->SelectedRows();
    if (rows.isEmpty())
        return;
    const TCheckSetup setup = CurrentCheckSetup();
    StartRun([this, &rows, &setup] { return FSession->AskAgain(rows, setup); });
}
