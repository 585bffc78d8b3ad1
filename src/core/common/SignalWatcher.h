#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal delivered on the event loop, so the program can end as after
// any other request instead of dying mid-write. The handler also counts the signals at once, so work that runs
// outside the event loop (a long read or write) can notice them too; see TInterruption.
class TSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit TSignalWatcher(QObject* parent = nullptr);
    ~TSignalWatcher() override;

    // The last signal number received, 0 when none; up to date even while the event loop does not run.
    static int LastSignal();
    // How many signals have come since the start of the program.
    static int SignalCount();
    // Readable from a signal's arrival until the event loop takes it; -1 when no watcher was ever made.
    // A blocking wait polls it beside its own descriptor to wake at once.
    static int WakeDescriptor();

Q_SIGNALS:
    void Requested(int SignalNumber);

private:
    QSocketNotifier* FNotifier = nullptr;
};
