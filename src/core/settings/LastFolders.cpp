#include "core/settings/LastFolders.h"

#include "core/common/Errors.h"
#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QFileInfo>

namespace
{

QString ValueName(TFileKind Kind)
{
    switch (Kind) {
    case TFileKind::WordList:
        return QStringLiteral("LastFolder_WordList");
    case TFileKind::Results:
        return QStringLiteral("LastFolder_Results");
    case TFileKind::DataList:
        return QStringLiteral("LastFolder_DataList");
    }
    return {};
}

} // namespace

QString LastFolder(TFileKind Kind)
{
    const QString folder = TSettingsStore::ReadString(ValueName(Kind)).value_or(QString());
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RememberFolder(TFileKind Kind, const QString& FilePath)
{
    if (FilePath.isEmpty())
        return;
    const QString folder = QFileInfo(FilePath).absolutePath();
    if (folder == LastFolder(Kind))
        return;
    try {
        TSettingsStore::WriteString(ValueName(Kind), folder);
    } catch (const EOrvantaError&) {
    }
}
