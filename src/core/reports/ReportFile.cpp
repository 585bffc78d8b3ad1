#include "core/reports/ReportFile.h"

#include "core/common/Errors.h"
#include "core/common/SystemErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>

namespace {

[[noreturn]] void ThrowCannotCreate(const QString& Path, const QString& Reason)
{
    throw EOrvantaError(QStringLiteral("Не удалось создать файл \"%1\". %2")
                            .arg(QDir::toNativeSeparators(QFileInfo(Path).absoluteFilePath()), Reason));
}

// Only a regular file, or a link that leads to one, may be replaced. Putting a new file in place of a
// device node or of a link that leads nowhere but round in a loop would destroy the node or the link.
void CheckTarget(const QString& Path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(Path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            ThrowCannotCreate(Path, SystemErrorText(EISDIR));
        if (!S_ISREG(st.st_mode))
            ThrowCannotCreate(Path, QStringLiteral("Это не обычный файл, а устройство, канал или сокет"));
        return;
    }
    // Nothing there yet: the file is created (a missing folder fails when it is opened).
    const int error = errno;
    if (error != ENOENT)
        ThrowCannotCreate(Path, SystemErrorText(error));
}

} // namespace

void WriteFileAtomically(const QString& Path, const std::function<void(QIODevice&)>& Writer)
{
    CheckTarget(Path);
    QSaveFile file(Path);
    // Unbuffered: a buffered save file takes the last bytes without complaint, and when they then fail to
    // go out, commit still puts the cut-short file in place (seen with Qt 6.4). Unbuffered, every short
    // write shows at once and the writer stops.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        ThrowCannotCreate(Path, SystemErrorText(errno, file.errorString()));
    try {
        Writer(file);
    } catch (...) {
        file.cancelWriting();
        throw;
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        if (file.error() == QFileDevice::WriteError)
            throw EOrvantaError(WriteErrorMessage(error));
        ThrowCannotCreate(Path, SystemErrorText(error, file.errorString()));
    }
}

void SaveReportFile(TReportKind Kind, const TResultsModel& Grid, const QString& Path, const TReportStamp& Stamp)
{
    WriteFileAtomically(Path, [&](QIODevice& Out) { WriteReport(Kind, Grid, Out, Stamp); });
}
