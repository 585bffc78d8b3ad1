#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal delivered on the event loop, so the program can end as after
// any other request instead of dying mid-write.
class TSignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit TSignalWatcher(QObject* parent = nullptr);
    ~TSignalWatcher() override;

    // The last signal number received, 0 when none.
    int LastSignal() const { return FLastSignal; }

Q_SIGNALS:
    void Requested(int SignalNumber);

private:
    QSocketNotifier* FNotifier = nullptr;
    int FLastSignal = 0;
};
