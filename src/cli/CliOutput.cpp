#include "cli/CliOutput.h"

#include "core/common/AtomicFile.h"
#include "core/common/SystemErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Quoted(const QString& Path)
{
    return u'"' + QDir::toNativeSeparators(Path) + u'"';
}

// The results' way out: every write first looks whether the work is to stop. Onto a descriptor it also
// waits for room beside the signals, so a reader that takes nothing cannot hold the tool: a pipe or a
// terminal is written through a non-blocking description of its own (the shared one is left as it is), a
// socket with sends that do not wait; where neither can be had, in pieces that never block after poll()
// has reported room.
class TStoppableOutput : public QIODevice {
public:
    TStoppableOutput(QIODevice& Inner, const TInterruption& Stop)
        : FInner(&Inner)
        , FStop(Stop)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    TStoppableOutput(int Fd, const TInterruption& Stop)
        : FFd(Fd)
        , FStop(Stop)
    {
        struct stat st {};
        if (::fstat(Fd, &st) != 0 || S_ISREG(st.st_mode) || S_ISBLK(st.st_mode)
            || (S_ISCHR(st.st_mode) && !::isatty(Fd))) {
            FPiece = Unlimited;
        } else if (S_ISSOCK(st.st_mode)) {
            FSocket = true;
            FPiece = Unlimited;
        } else {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(Fd);
            const int own = ::open(self.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
            if (own >= 0) {
                FFd = FOwnFd = own;
                FPiece = Unlimited;
            }
        }
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    ~TStoppableOutput() override
    {
        if (FOwnFd >= 0)
            ::close(FOwnFd);
    }

    bool isSequential() const override { return true; }
    bool Stopped() const { return FStopped; }
    // errno of the write that failed; 0 when none did.
    int Error() const { return FError; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* Data, qint64 Size) override
    {
        if (FStop.Requested()) {
            FStopped = true;
            return -1;
        }
        if (FInner) {
            errno = 0;
            const qint64 done = FInner->write(Data, Size);
            if (done != Size)
                FError = errno;
            return done;
        }
        qint64 done = 0;
        bool wait = FPiece != Unlimited;
        while (done < Size) {
            try {
                if (wait)
                    FStop.WaitReady(FFd, POLLOUT);
            } catch (const EInterrupted&) {
                FStopped = true;
                return done > 0 ? done : -1;
            }
            const size_t piece = size_t(std::min(Size - done, FPiece));
            const ssize_t n
                = FSocket ? ::send(FFd, Data + done, piece, MSG_DONTWAIT) : ::write(FFd, Data + done, piece);
            wait = FPiece != Unlimited || (n < 0 && errno == EAGAIN);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0) {
                FError = n < 0 ? errno : EIO;
                return done > 0 ? done : -1;
            }
            done += n;
        }
        return done;
    }

private:
    static constexpr qint64 Unlimited = qint64(1) << 30;
    QIODevice* FInner = nullptr;
    int FFd = -1;
    int FOwnFd = -1;
    bool FSocket = false;
    // On a blocking pipe or terminal only this much is sure to go without waiting once room is reported.
    qint64 FPiece = PIPE_BUF;
    TInterruption FStop;
    bool FStopped = false;
    int FError = 0;
};

} // namespace

std::optional<QString> OutputClash(const QString& Output, const QStringList& InputFiles, bool WordsFromStandardInput)
{
    struct stat out {};
    if (Output.isEmpty() || ::stat(QFile::encodeName(Output).constData(), &out) != 0)
        return std::nullopt;
    const auto same = [&](const struct stat& in) { return in.st_dev == out.st_dev && in.st_ino == out.st_ino; };
    for (const QString& input : InputFiles) {
        struct stat in {};
        if (!input.isEmpty() && ::stat(QFile::encodeName(input).constData(), &in) == 0 && same(in))
            return QCoreApplication::translate("CliOutput",
                "файл вывода %1 — тот же файл, что и входной файл %2; укажите другой файл вывода")
                .arg(Quoted(Output), Quoted(input));
    }
    struct stat in {};
    if (WordsFromStandardInput && ::fstat(STDIN_FILENO, &in) == 0 && same(in))
        return QCoreApplication::translate(
            "CliOutput", "файл вывода %1 — тот же файл, что и стандартный ввод; укажите другой файл вывода")
            .arg(Quoted(Output));
    return std::nullopt;
}

TWriteOutcome WriteResults(
    const QString& Path, const TInterruption& Stop, const std::function<void(QIODevice&)>& Writer)
{
    using TEnd = TWriteOutcome::TEnd;
    // Standard output's failures are named as such; a file's name its file themselves.
    const auto where = [&](const QString& Message) {
        return Path.isEmpty() ? QCoreApplication::translate("CliOutput", "стандартный вывод: %1").arg(Message) : Message;
    };
    bool stopped = false;
    int error = 0;
    const auto write = [&](TStoppableOutput& out) {
        try {
            Writer(out);
            // A writer that let a refused write pass must not leave a cut-short file in place.
            if (out.Stopped())
                throw EInterrupted();
        } catch (...) {
            stopped = out.Stopped();
            error = out.Error();
            throw;
        }
    };
    try {
        if (Path.isEmpty()) {
            // On the descriptor, not on stdio's stream: stdio would keep the last bytes in its buffer and
            // lose a failure to write them at exit.
            TStoppableOutput out(STDOUT_FILENO, Stop);
            write(out);
        } else {
            WriteFileAtomically(Path, [&](QIODevice& file) {
                TStoppableOutput out(file, Stop);
                write(out);
            });
        }
        return {};
    } catch (const EOrvantaError& e) {
        if (stopped && Path.isEmpty())
            return { TEnd::Stopped, QCoreApplication::translate("CliOutput", "Остановлено во время записи; стандартный вывод оборван.") };
        if (stopped)
            return { TEnd::Stopped,
                QFileInfo::exists(Path)
                    ? QCoreApplication::translate("CliOutput", "Остановлено во время записи; файл %1 оставлен как был.")
                          .arg(Quoted(Path))
                    : QCoreApplication::translate("CliOutput", "Остановлено во время записи; файл %1 не создан.")
                          .arg(Quoted(Path)) };
        return { TEnd::Failed, where(error != 0 ? WriteErrorMessage(error) : e.Message()) };
    } catch (const std::bad_alloc&) {
        return { TEnd::Failed, where(QCoreApplication::translate("CliOutput", "Недостаточно памяти: результаты не записаны.")) };
    }
}

void ExitAtOnce(int Code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(Code);
}
