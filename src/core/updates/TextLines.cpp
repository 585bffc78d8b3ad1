#include "core/updates/TextLines.h"

#include "core/common/Errors.h"
#include "core/settings/ListFiles.h"

QStringList DecodeTextLines(const QByteArray& Bytes)
{
    return SplitListLines(DecodeListText(Bytes));
}

bool ReadTextLines(const QString& FileName, QStringList& Lines)
{
    try {
        Lines = ReadListFile(FileName);
        return true;
    } catch (const EOrvantaError&) {
        Lines.clear();
        return false;
    }
}
