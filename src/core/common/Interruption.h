#pragma once

#include "core/common/Errors.h"

// A stop asked for by SIGINT, SIGTERM or SIGHUP (counted by TSignalWatcher), as seen by a long read or write
// that runs outside the event loop and would otherwise notice it only once it is done.
class TInterruption {
public:
    // Any signal since the start of the program stops the work: a program asked to stop starts nothing long.
    TInterruption() = default;
    // Only the signals that come from now on stop the work: what ends after a stop (writing the results a
    // stopped run obtained) gives up only on a further signal.
    static TInterruption FromNow();

    bool Requested() const;
    // Waits until Fd is ready for Events (POLLIN or POLLOUT) and returns what poll() reported for it.
    // Throws EInterrupted as soon as a signal stops the work, even while nothing comes on Fd.
    short WaitReady(int Fd, short Events);

private:
    int FSince = 0;
    // The wake descriptor holds a byte of a signal older than this work, which the event loop has yet to
    // take: it is left to the loop and no longer waited on.
    bool FWakeStale = false;
};

// Work given up because a signal asked the program to stop.
class EInterrupted : public EOrvantaError {
public:
    EInterrupted();
};
