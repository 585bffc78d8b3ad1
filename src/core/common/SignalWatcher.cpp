#include "core/common/SignalWatcher.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Pipe[2] = { -1, -1 };
std::atomic<int> Count { 0 };
std::atomic<int> Last { 0 };
static_assert(std::atomic<int>::is_always_lock_free, "the handler may only touch lock-free atomics");

void OnSignal(int number)
{
    // Only async-signal-safe work here: two lock-free atomics and one byte into the pipe.
    const int saved = errno;
    Last.store(number);
    Count.fetch_add(1);
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(Pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TSignalWatcher::TSignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (Pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, Pipe) != 0)
        return;
    // Neither end blocks: the handler must never wait, and a spurious wake-up of the notifier must not
    // hang the event loop.
    ::fcntl(Pipe[0], F_SETFL, ::fcntl(Pipe[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(Pipe[1], F_SETFL, ::fcntl(Pipe[1], F_GETFL) | O_NONBLOCK);
    FNotifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(Pipe[0], &byte, 1) == 1)
            Q_EMIT Requested(byte);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

TSignalWatcher::~TSignalWatcher()
{
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
}

int TSignalWatcher::LastSignal()
{
    return Last.load();
}

int TSignalWatcher::SignalCount()
{
    return Count.load();
}

int TSignalWatcher::WakeDescriptor()
{
    return Pipe[0];
}
