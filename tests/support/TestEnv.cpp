#include "support/TestEnv.h"

#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TTestEnv::TTestEnv()
    : FOldConfig(qgetenv("XDG_CONFIG_HOME"))
    , FOldData(qgetenv("XDG_DATA_HOME"))
{
    QDir(FDir.path()).mkpath(QStringLiteral("config"));
    QDir(FDir.path()).mkpath(QStringLiteral("data"));
    qputenv("XDG_CONFIG_HOME", ConfigHome().toLocal8Bit());
    qputenv("XDG_DATA_HOME", DataHome().toLocal8Bit());
}

TTestEnv::~TTestEnv()
{
    qputenv("XDG_CONFIG_HOME", FOldConfig);
    qputenv("XDG_DATA_HOME", FOldData);
}

QString TTestEnv::ConfigHome() const { return FDir.path() + QStringLiteral("/config"); }
QString TTestEnv::DataHome() const { return FDir.path() + QStringLiteral("/data"); }
QString TTestEnv::SettingsFile() const { return TSettingsStore::FilePath(); }

QString TTestEnv::WriteFile(const QString& relative, const QByteArray& bytes) const
{
    const QString path = FDir.path() + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}
