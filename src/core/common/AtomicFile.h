#pragma once

#include "core/common/Errors.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QSaveFile;

// Why replacing a file failed, for callers that word the message themselves.
struct TFileReplaceFailure {
    enum class TStep {
        Target, // the path holds a folder, a device node, a pipe or a link loop, or cannot be looked at
        Create, // the temporary file beside it cannot be created
        Write, // a write stopped short
        Commit, // the finished file cannot be put in place
    };
    TStep Step = TStep::Create;
    // errno right after the failed call; 0 when the system named no reason.
    int Error = 0;
    // The file device's own text (Qt's, in English unless its Russian translation is loaded), or for a
    // refused target that is no regular file, the Russian explanation.
    QString Text;

    // The reason in Russian where the system gives one, else Text.
    QString Reason() const;
    // Text where there is one, else the reason in Russian.
    QString DeviceReason() const;
};

// Raised by WriteFileAtomically. Its message: "Не удалось создать файл "<path>". <reason>" when the file
// cannot be created or put in place, WriteErrorMessage when a write stops short.
class EFileReplaceError : public EOrvantaError
{
public:
    EFileReplaceError(const QString& Path, const TFileReplaceFailure& Failure);
    const TFileReplaceFailure& Failure() const { return FFailure; }

private:
    TFileReplaceFailure FFailure;
};

// A file written piece by piece while its content arrives, with the guarantees of WriteFileAtomically: the
// content goes to a temporary file beside Path, which replaces Path only on Commit; dropping the writer
// without a commit removes the temporary file and leaves Path as it was. The constructor refuses the same
// targets and raises EFileReplaceError like WriteFileAtomically.
class TAtomicFileWriter
{
public:
    explicit TAtomicFileWriter(const QString& Path);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Unbuffered: a write cut short shows in the count it returns.
    QIODevice& Device();
    // Puts the file in place; raises EFileReplaceError when a write failed or the file cannot be put there.
    void Commit();
    // Drops what was written; the temporary file is gone once this returns.
    void Cancel();

private:
    QString FPath;
    std::unique_ptr<QSaveFile> FFile;
};

// Writes the file Path whole through Writer. The new content goes to a temporary file beside Path and
// replaces an existing file only once all of it is written, so a failure leaves the old file as it was and
// removes the temporary one. A path that holds a folder, a device node, a pipe or a link loop is refused and
// left as it is; a link to a regular file is written through. Failures of the file raise EFileReplaceError;
// an error Writer raises passes unchanged. Writer must check what each write takes (WriteOrThrow does): a
// write cut short takes part of its bytes without an error, which nothing after it can tell. A write that
// took nothing still fails the whole, whether Writer noticed or not.
void WriteFileAtomically(const QString& Path, const std::function<void(QIODevice&)>& Writer);
// The same with Bytes as the whole content.
void WriteFileAtomically(const QString& Path, const QByteArray& Bytes);
