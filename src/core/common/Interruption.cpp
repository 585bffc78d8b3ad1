#include "core/common/Interruption.h"

#include "core/common/SignalWatcher.h"

#include <cerrno>
#include <poll.h>

#include <QCoreApplication>

namespace {

// How often a wait looks at the count when the wake descriptor cannot tell it of a new signal.
constexpr int StaleWakeMs = 100;

} // namespace

TInterruption TInterruption::FromNow()
{
    TInterruption stop;
    stop.FSince = TSignalWatcher::SignalCount();
    return stop;
}

bool TInterruption::Requested() const
{
    return TSignalWatcher::SignalCount() != FSince;
}

short TInterruption::WaitReady(int Fd, short Events)
{
    const int wake = TSignalWatcher::WakeDescriptor();
    for (;;) {
        if (Requested())
            throw EInterrupted();
        pollfd fds[2] = { { Fd, Events, 0 }, { wake, POLLIN, 0 } };
        const bool useWake = wake >= 0 && !FWakeStale;
        const int timeout = wake >= 0 && FWakeStale ? StaleWakeMs : -1;
        const int ready = ::poll(fds, useWake ? 2 : 1, timeout);
        if (ready < 0 && errno != EINTR && errno != EAGAIN)
            return POLLERR;
        if (Requested())
            throw EInterrupted();
        if (useWake && fds[1].revents != 0)
            FWakeStale = true;
        if (ready > 0 && fds[0].revents != 0)
            return fds[0].revents;
    }
}

EInterrupted::EInterrupted()
    : EOrvantaError(QCoreApplication::translate("Interruption", "Прервано сигналом."))
{
}
