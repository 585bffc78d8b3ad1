#include "core/common/BoundedRead.h"

#include "core/common/SystemErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr qint64 ChunkBytes = qint64(256) << 10;

QString FileName(const QString& Path)
{
    return QCoreApplication::translate("BoundedRead", "файл \"%1\"").arg(QDir::toNativeSeparators(Path));
}

} // namespace

TBoundedInput::TBoundedInput(const QString& Path, qint64 Cap, TInterruption Stop)
    : FOwnFd(true)
    , FName(FileName(Path))
    , FCap(Cap)
    , FReadSize(ChunkBytes)
    , FStop(Stop)
{
    // Not blocking: opening a FIFO would otherwise wait for its writer where no signal could end the wait.
    FFd = ::open(QFile::encodeName(Path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    int error = errno;
    struct stat st {};
    if (FFd >= 0 && ::fstat(FFd, &st) == 0 && S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (FFd >= 0)
        return;
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    throw EOrvantaError(QCoreApplication::translate("BoundedRead", "Не удалось открыть %1. %2.").arg(FName, SystemErrorText(error)));
}

TBoundedInput::TBoundedInput(int Fd, const QString& Name, qint64 Cap, TInterruption Stop)
    : FFd(Fd)
    , FName(Name)
    , FCap(Cap)
    , FReadSize(ChunkBytes)
    , FStop(Stop)
{
}

TBoundedInput::~TBoundedInput()
{
    if (FOwnFd && FFd >= 0)
        ::close(FFd);
}

EOrvantaError TBoundedInput::Failure(const QString& Why) const
{
    return EOrvantaError(QCoreApplication::translate("BoundedRead", "Не удалось прочитать %1. %2.").arg(FName, Why));
}

EOrvantaError TBoundedInput::OutOfMemory() const
{
    return EOrvantaError(QCoreApplication::translate("BoundedRead", "Недостаточно памяти: не удалось прочитать %1.").arg(FName));
}

QString TBoundedInput::SizeText(qint64 Bytes)
{
    const struct {
        int Shift;
        const char* Unit;
    } units[] = { { 30, QT_TRANSLATE_NOOP("BoundedRead", "%1 ГиБ") }, { 20, QT_TRANSLATE_NOOP("BoundedRead", "%1 МиБ") },
        { 10, QT_TRANSLATE_NOOP("BoundedRead", "%1 КиБ") } };
    for (const auto& u : units) {
        const qint64 one = qint64(1) << u.Shift;
        if (Bytes >= one && Bytes % one == 0)
            return QCoreApplication::translate("BoundedRead", u.Unit).arg(Bytes / one);
    }
    return QCoreApplication::translate("BoundedRead", "%1 Б").arg(Bytes);
}

bool TBoundedInput::Fill(qint64 Wanted)
{
    if (FEnd)
        return false;
    // One byte past the cap tells a file of exactly the cap from a longer one.
    const qint64 room = std::min(Wanted, FCap + 1 - FTaken);
    for (;;) {
        FStop.WaitReady(FFd, POLLIN);
        const qsizetype old = FPending.size();
        if (FPending.capacity() < old + room)
            FPending.reserve(std::max(old + room, std::min(FPending.capacity() * 2, FCap + 1)));
        FPending.resize(old + room);
        const ssize_t got = ::read(FFd, FPending.data() + old, size_t(room));
        const int error = errno;
        FPending.resize(old + std::max<qsizetype>(got, 0));
        if (got > 0) {
            FTaken += got;
            if (FTaken > FCap)
                throw Failure(QCoreApplication::translate("BoundedRead", "Он больше %1").arg(SizeText(FCap)));
            return true;
        }
        if (got == 0) {
            FEnd = true;
            return false;
        }
        if (error != EINTR && error != EAGAIN)
            throw Failure(SystemErrorText(error));
    }
}

QByteArray TBoundedInput::ReadAll()
{
    try {
        while (Fill(FReadSize)) { }
        QByteArray all = FPendingFrom == 0 ? std::move(FPending) : FPending.mid(FPendingFrom);
        FPending.clear();
        FPendingFrom = FScanFrom = 0;
        return all;
    } catch (const std::bad_alloc&) {
        throw OutOfMemory();
    }
}

bool TBoundedInput::ReadLine(QByteArray& Line, bool& Ended, qint64 MaxLine)
{
    const auto tooLong = [&] { return Failure(QCoreApplication::translate("BoundedRead", "Строка %1 длиннее %2").arg(FLines + 1).arg(SizeText(MaxLine))); };
    try {
        for (;;) {
            const qsizetype at = FPending.indexOf('\n', FScanFrom);
            if (at >= 0) {
                if (at - FPendingFrom > MaxLine)
                    throw tooLong();
                Line = FPending.mid(FPendingFrom, at - FPendingFrom);
                FPendingFrom = FScanFrom = at + 1;
                Ended = true;
                ++FLines;
                return true;
            }
            if (FPending.size() - FPendingFrom > MaxLine)
                throw tooLong();
            // The lines handed out go before more is read, so the buffer holds at most one line and a chunk.
            FPending.remove(0, FPendingFrom);
            FPendingFrom = 0;
            FScanFrom = FPending.size();
            if (Fill(FReadSize))
                continue;
            if (FPending.isEmpty())
                return false;
            Line = std::exchange(FPending, QByteArray());
            FScanFrom = 0;
            Ended = false;
            ++FLines;
            return true;
        }
    } catch (const std::bad_alloc&) {
        throw OutOfMemory();
    }
}

QByteArray ReadFileBounded(const QString& Path, qint64 Cap)
{
    return TBoundedInput(Path, Cap).ReadAll();
}
