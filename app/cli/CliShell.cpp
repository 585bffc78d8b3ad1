#include "app/cli/CliShell.h"

#include "app/SignalWatcher.h"

#include <QCoreApplication>
#include <cstdio>

TCliShell::TCliShell(bool Whois, bool Metrics, const TSignalWatcher& Signals, bool ShowProgress)
    : FWhois(Whois)
    , FMetrics(Metrics)
    , FSignals(Signals)
    , FShowProgress(ShowProgress)
{
}

void TCliShell::ProgressSetMax(int Maximum)
{
    FMax = Maximum;
    FClock.start();
}

void TCliShell::ProgressSetPosition(int Position)
{
    FPosition = Position;
    DrawProgress(false);
}

void TCliShell::ProgressHide()
{
    if (FDrawn) {
        DrawProgress(true);
        std::fputc('\n', stderr);
        std::fflush(stderr);
        FDrawn = false;
    }
}

bool TCliShell::StopRequested() const
{
    return FSignals.LastSignal() != 0;
}

void TCliShell::ProcessEvents()
{
    // Delivers a pending SIGINT/SIGTERM to the watcher between two candidates.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TCliShell::DrawProgress(bool Force)
{
    if (!FShowProgress || FMax <= 0 || !FClock.isValid())
        return;
    const qint64 now = FClock.elapsed();
    // A terminal redrawn for every name would cost more than the names themselves.
    if (!Force && FLastDraw >= 0 && now - FLastDraw < 200 && FPosition < FMax)
        return;
    FLastDraw = now;
    const double seconds = double(now) / 1000.0;
    const double rate = seconds > 0 ? double(FPosition) / seconds : 0.0;
    QString left = QStringLiteral("--:--");
    if (rate > 0) {
        const qint64 remaining = qint64(double(FMax - FPosition) / rate);
        left = QStringLiteral("%1:%2").arg(remaining / 60, 2, 10, QLatin1Char('0')).arg(remaining % 60, 2, 10, QLatin1Char('0'));
    }
    const QString line = QStringLiteral("\r%1/%2  %3 в секунду  осталось %4   ")
                             .arg(FPosition)
                             .arg(FMax)
                             .arg(rate, 0, 'f', 1)
                             .arg(left);
    std::fputs(line.toUtf8().constData(), stderr);
    std::fflush(stderr);
    FDrawn = true;
}
