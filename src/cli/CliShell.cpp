#include "cli/CliShell.h"

#include <cstdio>

TCliShell::TCliShell(bool Whois, bool Metrics, bool ShowProgress)
    : FWhois(Whois)
    , FMetrics(Metrics)
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

void TCliShell::ProgressDetails(const QStringList& Lines)
{
    // The count is drawn as N/M already.
    FDetails = Lines.mid(1);
    DrawProgress(false);
}

void TCliShell::RunFinished(const QString& Error)
{
    if (OnFinished)
        OnFinished(Error);
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
    const QString line = QStringLiteral("\r%1/%2  %3 в секунду  %4\x1b[K")
                             .arg(FPosition)
                             .arg(FMax)
                             .arg(rate, 0, 'f', 1)
                             .arg(FDetails.join(QStringLiteral("; ")));
    std::fputs(line.toUtf8().constData(), stderr);
    std::fflush(stderr);
    FDrawn = true;
}
