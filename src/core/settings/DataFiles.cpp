#include "core/settings/DataFiles.h"

#include "core/common/Errors.h"
#include "core/settings/ListFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString Native(const QString& Path)
{
    return QDir::toNativeSeparators(Path);
}

} // namespace

QString MakeDataFolder()
{
    const QString dataFolder = GetDataFolder();
    if (!QDir().mkpath(dataFolder))
        throw EOrvantaError(QCoreApplication::translate("DataFiles", "Не удалось создать папку \"%1\".").arg(Native(dataFolder)));
    return dataFolder;
}

QString FindDataFile(const QString& FileName, const QString& AppFolder)
{
    const QString dataFolder = GetDataFolder();
    const QString dataFile = dataFolder + FileName;
    if (QFileInfo::exists(dataFile))
        return dataFile;

    const QString shipped = QDir(AppFolder).filePath(FileName);
    if (!QFileInfo::exists(shipped))
        return {};
    MakeDataFolder();
    // A dangling link counts as no file for exists() but would make the copy fail.
    QFile::remove(dataFile);
    QFile source(shipped);
    if (!source.copy(dataFile))
        throw EOrvantaError(QCoreApplication::translate("DataFiles", "Не удалось скопировать файл \"%1\" в папку \"%2\". %3")
                                .arg(Native(shipped), Native(dataFolder), source.errorString()));
    return dataFile;
}

bool LoadDataList(const QString& FileName, QStringList& List, const QString& AppFolder)
{
    const QString path = FindDataFile(FileName, AppFolder);
    if (path.isEmpty())
        return false;
    List = ReadListFile(path);
    return true;
}
