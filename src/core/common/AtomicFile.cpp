#include "core/common/AtomicFile.h"

#include "core/common/SystemErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>

namespace
{

using TStep = TFileReplaceFailure::TStep;

[[noreturn]] void Fail(const QString& Path, TStep Step, int Error, const QString& Text = QString())
{
    throw EFileReplaceError(Path, TFileReplaceFailure { Step, Error, Text });
}

// Fails with errno as the failed call left it, taken before anything else can change it.
[[noreturn]] void FailAfter(const QString& Path, TStep Step, const QIODevice& Device)
{
    const int error = errno;
    Fail(Path, Step, error, Device.errorString());
}

QString FailureMessage(const QString& Path, const TFileReplaceFailure& Failure)
{
    if (Failure.Step == TStep::Write)
        return WriteErrorMessage(Failure.Error);
    return QCoreApplication::translate("AtomicFile", "Не удалось создать файл \"%1\". %2")
        .arg(QDir::toNativeSeparators(QFileInfo(Path).absoluteFilePath()), Failure.Reason());
}

// Only a regular file, or a link that leads to one, may be replaced. Putting a new file in place of a
// device node or of a link that leads nowhere but round in a loop would destroy the node or the link.
void CheckTarget(const QString& Path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(Path).constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            Fail(Path, TStep::Target, EISDIR);
        if (!S_ISREG(st.st_mode))
            Fail(Path, TStep::Target, 0, QCoreApplication::translate("AtomicFile", "Это не обычный файл, а устройство, канал или сокет"));
        return;
    }
    // Nothing there yet: the file is created (a missing folder fails when it is opened).
    const int error = errno;
    if (error != ENOENT)
        Fail(Path, TStep::Target, error);
}

} // namespace

QString TFileReplaceFailure::Reason() const
{
    return SystemErrorText(Error, Text);
}

QString TFileReplaceFailure::DeviceReason() const
{
    return Text.isEmpty() ? SystemErrorText(Error) : Text;
}

EFileReplaceError::EFileReplaceError(const QString& Path, const TFileReplaceFailure& Failure)
    : EOrvantaError(FailureMessage(Path, Failure))
    , FFailure(Failure)
{
}

TAtomicFileWriter::TAtomicFileWriter(const QString& Path)
    : FPath(Path)
{
    CheckTarget(Path);
    FFile = std::make_unique<QSaveFile>(Path);
    // Unbuffered: a buffered save file takes the last bytes without complaint, and when they then fail to
    // go out, commit still puts the cut-short file in place (seen with Qt 6.4). Unbuffered, every short
    // write shows at once. The save file removes its temporary file when it goes without a commit.
    errno = 0;
    if (!FFile->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        FailAfter(Path, TStep::Create, *FFile);
}

TAtomicFileWriter::~TAtomicFileWriter()
{
    Cancel();
}

QIODevice& TAtomicFileWriter::Device()
{
    return *FFile;
}

void TAtomicFileWriter::Cancel()
{
    if (FFile && FFile->isOpen())
        FFile->cancelWriting();
    FFile.reset();
}

void TAtomicFileWriter::Commit()
{
    if (!FFile)
        Fail(FPath, TStep::Write, ECANCELED);
    QSaveFile& file = *FFile;
    // A failed write the writer let pass; commit would refuse it too, but with no word of why.
    if (file.error() != QFileDevice::NoError)
        Fail(FPath, TStep::Write, 0, file.errorString());
    errno = 0;
    if (!file.flush())
        FailAfter(FPath, TStep::Write, file);
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        Fail(FPath, file.error() == QFileDevice::WriteError ? TStep::Write : TStep::Commit, error, file.errorString());
    }
}

void WriteFileAtomically(const QString& Path, const std::function<void(QIODevice&)>& Writer)
{
    TAtomicFileWriter file(Path);
    // An error Writer raises drops the temporary file with the writer.
    Writer(file.Device());
    file.Commit();
}

void WriteFileAtomically(const QString& Path, const QByteArray& Bytes)
{
    WriteFileAtomically(Path, [&](QIODevice& Out) {
        errno = 0;
        if (Out.write(Bytes) != Bytes.size())
            FailAfter(Path, TStep::Write, Out);
    });
}
