#include "extras/TextLines.h"

#include "app/Errors.h"
#include "settings/ListFiles.h"

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
