#pragma once

#include "core/checks/CheckRun.h"

#include <QElapsedTimer>
#include <QObject>

class TRunSession;

// The batch tool's progress on standard error while a session runs, drawn over one line of a terminal:
// the stage, names done of the stage's names, the rate, the time left and any paused server. Nothing is
// drawn when standard error is no terminal.
class TCliProgress : public QObject
{
    Q_OBJECT
public:
    TCliProgress(const TRunSession& Session, bool Draw, QObject* parent = nullptr);

    // Ends the line drawn, if any: the run is over.
    void End();

private:
    void Show(const TRunProgress& Progress);
    void DrawLine(bool Force);

    bool FDraw;
    TRunProgress FProgress;
    QElapsedTimer FClock;
    // The stage the rate is counted for, and when it began.
    TRunStage FStage = TRunStage::Availability;
    qint64 FStageStart = 0;
    qint64 FLastDraw = -1;
    bool FDrawn = false;
};
