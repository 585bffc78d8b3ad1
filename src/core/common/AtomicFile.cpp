#include "core/common/AtomicFile.h"

#include <QSaveFile>

bool ReplaceFile(const QString& Path, const QByteArray& Bytes, QString* ErrorText)
{
    QSaveFile file(Path);
    // commit() alone renames the file into place even when flushing its buffer failed (a full disk leaves
    // a cut-off file), so the flush is checked before it.
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(Bytes) == Bytes.size() && file.flush() && file.commit();
    if (!ok && ErrorText)
        *ErrorText = file.errorString();
    return ok;
}
