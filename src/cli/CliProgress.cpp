#include "cli/CliProgress.h"

#include "core/checks/RunSession.h"
#include "core/common/Durations.h"

#include <cstdio>

#include <QCoreApplication>

TCliProgress::TCliProgress(const TRunSession& Session, bool Draw, QObject* parent)
    : QObject(parent)
    , FDraw(Draw)
{
    FClock.start();
    connect(&Session, &TRunSession::ProgressChanged, this, &TCliProgress::Show);
}

void TCliProgress::Show(const TRunProgress& Progress)
{
    if (Progress.Stage != FStage) {
        // A new stage starts on a line of its own, with its own rate.
        if (FDrawn) {
            DrawLine(true);
            std::fputc('\n', stderr);
            FDrawn = false;
        }
        FStage = Progress.Stage;
        FStageStart = FClock.elapsed();
    }
    FProgress = Progress;
    DrawLine(false);
}

void TCliProgress::End()
{
    if (!FDrawn)
        return;
    DrawLine(true);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    FDrawn = false;
}

void TCliProgress::DrawLine(bool Force)
{
    if (!FDraw || FProgress.Total <= 0)
        return;
    const qint64 now = FClock.elapsed();
    // A terminal redrawn for every name would cost more than the names themselves.
    if (!Force && FLastDraw >= 0 && now - FLastDraw < 200 && FProgress.Done < FProgress.Total)
        return;
    FLastDraw = now;
    const double seconds = double(now - FStageStart) / 1000.0;
    const double rate = seconds > 0 ? double(FProgress.Done) / seconds : 0.0;
    QStringList details;
    if (FProgress.MsLeft >= 0 && FProgress.Done < FProgress.Total)
        details << QCoreApplication::translate("CliProgress", "осталось примерно %1").arg(DurationText(FProgress.MsLeft));
    for (const TPausedServer& s : FProgress.Paused)
        details << PauseText(s);
    const QString line = QCoreApplication::translate("CliProgress", "%1: %2/%3  %4 в секунду  %5")
                             .arg(StageName(FProgress.Stage))
                             .arg(FProgress.Done)
                             .arg(FProgress.Total)
                             .arg(rate, 0, 'f', 1)
                             .arg(details.join(QStringLiteral("; ")));
    // Back to the line's start, and the rest of a longer line before it erased.
    std::fputs((u'\r' + line + u"\x1b[K").toUtf8().constData(), stderr);
    std::fflush(stderr);
    FDrawn = true;
}
