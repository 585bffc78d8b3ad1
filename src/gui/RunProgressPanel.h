#pragma once

#include "core/checks/CheckRun.h"

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The run's progress inside the main window, which stays usable meanwhile: what the run does and how far
// it got ("Проверка занятости: 120 из 294"), a bar, the time left and any paused server, and the button
// that asks to stop it. Hidden while no run goes.
class TRunProgressPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TRunProgressPanel(QWidget* parent = nullptr);

    // Shows the panel for a run that starts now.
    void Begin();
    void Show(const TRunProgress& Progress);
    // Hides the panel: the run is over.
    void End();
    // How long the run shown has been going.
    qint64 ElapsedMs() const { return FClock.isValid() ? FClock.elapsed() : 0; }

    // The lines the panel shows for Progress: the stage with its count, then the time left and the pauses.
    static QStringList Lines(const TRunProgress& Progress);

Q_SIGNALS:
    // The stop button was pressed.
    void StopRequested();

private:
    QLabel* FStage = nullptr;
    QProgressBar* FBar = nullptr;
    QLabel* FDetails = nullptr;
    QPushButton* FCancel = nullptr;
    QElapsedTimer FClock;
};
