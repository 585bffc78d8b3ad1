#include "core/settings/KeywordMemory.h"

#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/settings/DataFiles.h"
#include "core/settings/ListFiles.h"

#include <QFileInfo>

QString RememberedKeywords()
{
    const QString path = GetDataFolder() + QString::fromUtf16(KeywordMemoryFileName);
    if (!QFileInfo::exists(path))
        return {};
    try {
        return ReadListText(path);
    } catch (const EOrvantaError&) {
        return {};
    }
}

void RememberKeywords(const QString& Text)
{
    WriteListFile(MakeDataFolder() + QString::fromUtf16(KeywordMemoryFileName), Text);
}
