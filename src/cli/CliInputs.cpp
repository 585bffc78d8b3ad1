#include "cli/CliInputs.h"

#include "core/common/BoundedRead.h"
#include "core/settings/ListFiles.h"

#include <fcntl.h>
#include <new>
#include <unistd.h>

#include <QCoreApplication>

namespace {

QString StandardInputName()
{
    return QCoreApplication::translate("CliInputs", "стандартный ввод");
}

} // namespace

void GuardStandardStreams()
{
    for (const int fd : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO }) {
        if (::fcntl(fd, F_GETFD) >= 0)
            continue;
        const int wrongWay = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        // open takes the lowest free number, which is fd while the ones below it are there.
        if (wrongWay >= 0 && wrongWay != fd) {
            ::dup2(wrongWay, fd);
            ::close(wrongWay);
        }
    }
}

QStringList ReadStandardInputWords()
{
    TBoundedInput input(STDIN_FILENO, StandardInputName(), ListFileMaxBytes);
    const QString text = ReadListText(input);
    try {
        return SplitListLines(text);
    } catch (const std::bad_alloc&) {
        throw input.OutOfMemory();
    }
}

std::optional<QString> ReadAnswerLine()
{
    // An answer is a word; a terminal's line is at most some kilobytes.
    constexpr qint64 MaxAnswer = 4096;
    TBoundedInput input(STDIN_FILENO, StandardInputName(), MaxAnswer);
    QByteArray line;
    bool ended = false;
    if (!input.ReadLine(line, ended, MaxAnswer))
        return std::nullopt;
    return QString::fromUtf8(line).trimmed();
}
