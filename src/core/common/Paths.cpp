#include "core/common/Paths.h"

#include "core/common/QuorbelConsts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>


QString GetAppFolder()
{
    QString dir;
    if (QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
    else
        dir = QFileInfo(QFile::symLinkTarget(u"/proc/self/exe"_qs)).absolutePath();
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

QString GetShippedFolder(const QString& AppFolder)
{
    const QFileInfo installed(AppFolder + u"../share/orvanta"_qs);
    if (!installed.isDir())
        return AppFolder;
    return installed.absoluteFilePath() + u'/';
}

QString GetSpecialFolder(int FolderId)
{
    if (FolderId != CSIDL_APPDATA)
        return {};
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = QDir::homePath();
        if (home.isEmpty())
            return {};
        base = home + u"/.local/share"_qs;
    }
    while (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString GetDataFolder()
{
    return GetSpecialFolder(CSIDL_APPDATA) + u'/' + QString::fromUtf16(QuorbelConsts::CompanyName) + u'/'
        + QString::fromUtf16(QuorbelConsts::ProductName) + u'/';
}
