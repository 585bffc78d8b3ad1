#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

// Knowing which phase a running tool is in without sleeping: FIFOs whose other end the test holds, and what
// /proc tells about the tool's process.

// A FIFO made at Path for the test's lifetime; the tool opens one end by its path, the test the other.
class TTestFifo {
public:
    explicit TTestFifo(const QString& Path);
    ~TTestFifo();
    TTestFifo(const TTestFifo&) = delete;
    TTestFifo& operator=(const TTestFifo&) = delete;

    bool IsValid() const { return FValid; }
    const QString& Path() const { return FPath; }

    // Opens the writing end without waiting: true once a reader has the FIFO open (and from then on).
    bool OpenForWriting();
    // Writes what fits now of Bytes; the count written (0 when the FIFO is full), -1 once the reader has gone.
    qint64 WriteSome(const QByteArray& Bytes);
    // Opens the reading end without waiting and never reads it: a writer fills it and then has to wait.
    bool OpenForReading();
    // Bytes waiting in the FIFO.
    qint64 Pending() const;
    void Close();

private:
    QString FPath;
    bool FValid = false;
    int FFd = -1;
};

// The process waits in poll() (or a relative of it): for input, for room to write, or for a signal.
bool WaitsInPoll(qint64 Pid);
// The largest size among the regular files Pid holds open below Folder (a file being written whose
// name may already be unlinked); -1 when it holds none.
qint64 OpenFileBytes(qint64 Pid, const QString& Folder);
