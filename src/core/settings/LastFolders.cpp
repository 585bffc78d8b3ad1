#include "core/settings/LastFolders.h"

#include "core/common/Errors.h"
#include "core/settings/SettingsKeys.h"

#include <QDir>
#include <QFileInfo>

namespace {

TStringKey FolderKey(TFileKind Kind)
{
    switch (Kind) {
    case TFileKind::WordList:
        return SettingsKeys::LastFolderWordList;
    case TFileKind::Results:
        return SettingsKeys::LastFolderResults;
    case TFileKind::DataList:
        return SettingsKeys::LastFolderDataList;
    }
    return {};
}

} // namespace

QString LastFolder(TFileKind Kind)
{
    const QString folder = ReadSetting(FolderKey(Kind)).value_or(QString());
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
        WriteSetting(FolderKey(Kind), folder);
    } catch (const EOrvantaError&) {
    }
}
