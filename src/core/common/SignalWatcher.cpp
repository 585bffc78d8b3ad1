#include "core/common/SignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Pipe[2] = { -1, -1 };

void OnSignal(int number)
{
    const unsigned char byte = static_cast<unsigned char>(number);
    // Only async-signal-safe work here: one byte into the pipe.
    [[maybe_unused]] const ssize_t written = ::write(Pipe[1], &byte, 1);
}

} // namespace

TSignalWatcher::TSignalWatcher(QObject* parent)
    : QObject(parent)
{
    if (Pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, Pipe) != 0)
        return;
    ::fcntl(Pipe[1], F_SETFL, ::fcntl(Pipe[1], F_GETFL) | O_NONBLOCK);
    FNotifier = new QSocketNotifier(Pipe[0], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        if (::read(Pipe[0], &byte, 1) == 1) {
            FLastSignal = byte;
            Q_EMIT Requested(byte);
        }
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
