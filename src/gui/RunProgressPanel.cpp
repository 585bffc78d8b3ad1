#include "gui/RunProgressPanel.h"

#include "core/checks/RunSession.h"
#include "core/common/Durations.h"

#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TRunProgressPanel::TRunProgressPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RunProgressPanel"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(2);

    FStage = new QLabel(this);
    FStage->setObjectName(QStringLiteral("RunStageLabel"));
    FBar = new QProgressBar(this);
    FBar->setObjectName(QStringLiteral("RunProgressBar"));
    FBar->setTextVisible(false);
    FBar->setRange(0, 0);
    FDetails = new QLabel(this);
    FDetails->setObjectName(QStringLiteral("RunDetailsLabel"));
    FDetails->setWordWrap(true);
    FCancel = new QPushButton(tr("О&тмена"), this);
    FCancel->setObjectName(QStringLiteral("RunCancelButton"));
    FCancel->setToolTip(tr("Остановить проверку; полученные результаты останутся в таблице"));
    // Enter in the keyword list or the grid must never stop an hour-long run.
    FCancel->setAutoDefault(false);
    FCancel->setDefault(false);
    connect(FCancel, &QPushButton::clicked, this, &TRunProgressPanel::StopRequested);

    layout->addWidget(FStage, 0, 0);
    layout->addWidget(FBar, 0, 1);
    layout->addWidget(FCancel, 0, 2, 2, 1, Qt::AlignVCenter);
    layout->addWidget(FDetails, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    hide();
}

void TRunProgressPanel::Begin()
{
    FClock.start();
    FStage->setText(tr("Обработка данных..."));
    FDetails->setText(tr("Пожалуйста, подождите..."));
    FBar->setRange(0, 0);
    FCancel->setEnabled(true);
    show();
}

QStringList TRunProgressPanel::Lines(const TRunProgress& Progress)
{
    QStringList lines {
        tr("%1: %2 из %3").arg(StageName(Progress.Stage)).arg(Progress.Done).arg(Progress.Total)
    };
    if (Progress.MsLeft >= 0 && Progress.Done < Progress.Total)
        lines << tr("Осталось примерно %1").arg(DurationText(Progress.MsLeft));
    for (const TPausedServer& s : Progress.Paused)
        lines << PauseText(s);
    return lines;
}

void TRunProgressPanel::Show(const TRunProgress& Progress)
{
    const QStringList lines = Lines(Progress);
    FStage->setText(lines.constFirst());
    FDetails->setText(lines.mid(1).join(u'\n'));
    FBar->setRange(0, std::max(1, Progress.Total));
    FBar->setValue(std::min(Progress.Done, std::max(1, Progress.Total)));
}

void TRunProgressPanel::End()
{
    hide();
    FClock.invalidate();
}
