#include "support/ToolWatch.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

TTestFifo::TTestFifo(const QString& Path)
    : FPath(Path)
{
    FValid = ::mkfifo(QFile::encodeName(Path).constData(), 0600) == 0;
}

TTestFifo::~TTestFifo()
{
    Close();
    if (FValid)
        ::unlink(QFile::encodeName(FPath).constData());
}

bool TTestFifo::OpenForWriting()
{
    if (FFd < 0)
        FFd = ::open(QFile::encodeName(FPath).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    return FFd >= 0;
}

qint64 TTestFifo::WriteSome(const QByteArray& Bytes)
{
    const ssize_t n = ::write(FFd, Bytes.constData(), size_t(Bytes.size()));
    if (n >= 0)
        return n;
    return errno == EAGAIN ? 0 : -1;
}

bool TTestFifo::OpenForReading()
{
    if (FFd < 0)
        FFd = ::open(QFile::encodeName(FPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return FFd >= 0;
}

qint64 TTestFifo::Pending() const
{
    int bytes = 0;
    return ::ioctl(FFd, FIONREAD, &bytes) == 0 ? bytes : -1;
}

void TTestFifo::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
}

bool WaitsInPoll(qint64 Pid)
{
    QFile wchan(QStringLiteral("/proc/%1/wchan").arg(Pid));
    return wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("poll");
}

qint64 OpenFileBytes(qint64 Pid, const QString& Folder)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(Pid);
    const QString folder = QDir(Folder).canonicalPath() + u'/';
    qint64 largest = -1;
    for (const QString& fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString link = fds + u'/' + fd;
        struct stat st {};
        if (QFile::symLinkTarget(link).startsWith(folder) && ::stat(QFile::encodeName(link).constData(), &st) == 0
            && S_ISREG(st.st_mode))
            largest = std::max<qint64>(largest, st.st_size);
    }
    return largest;
}
