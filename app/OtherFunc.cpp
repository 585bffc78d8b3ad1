#include "app/OtherFunc.h"

#include "app/Errors.h"
#include "consts/QuorbelConsts.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QtEndian>
#include <cmath>
#include <cstring>

void SplitText(QStringList& Pieces, const QString& Delimiter, const QString& SourceText)
{
    if (Delimiter.isEmpty())
        return;
    qsizetype slot = 0;
    qsizetype from = 0;
    // SourceText followed by one delimiter yields k + 1 parts for k delimiters.
    while (slot < Pieces.size()) {
        const qsizetype at = SourceText.indexOf(Delimiter, from);
        if (at < 0) {
            Pieces[slot] = SourceText.mid(from);
            return;
        }
        Pieces[slot++] = SourceText.mid(from, at - from);
        from = at + Delimiter.size();
    }
}

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

namespace {

QMutex& HandlerMutex()
{
    static QMutex mutex;
    return mutex;
}

std::function<bool(const QString&)>& OpenHandler()
{
    static std::function<bool(const QString&)> handler;
    return handler;
}

} // namespace

void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler)
{
    QMutexLocker locker(&HandlerMutex());
    OpenHandler() = std::move(Handler);
}

bool OpenDocument(const QString& Target)
{
    std::function<bool(const QString&)> handler;
    {
        QMutexLocker locker(&HandlerMutex());
        handler = OpenHandler();
    }
    if (handler)
        return handler(Target);
    return QProcess::startDetached(u"xdg-open"_qs, { Target });
}

void OpenWebPage(const QString& Url)
{
    if (!OpenDocument(Url))
        throw EOrvantaError(u"Не удалось открыть страницу в браузере:\n"_qs + Url
            + u"\nВозможно, в системе не задан браузер по умолчанию."_qs);
}

bool WriteRegBool(const QString& ValueName, bool NewValue)
{
    return TSettingsStore::WriteDWord(ValueName, NewValue ? 1 : 0);
}

bool ReadRegBool(const QString& ValueName)
{
    try {
        if (!TSettingsStore::OpenKey())
            return false;
        return TSettingsStore::ReadDWord(ValueName).value_or(0) != 0;
    } catch (...) {
        return false;
    }
}

double DateTimeToOleDate(const QDateTime& Value)
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    // The stored date is local wall-clock time, so compute it as if local time were UTC.
    const QDateTime wall(Value.date(), Value.time(), Qt::UTC);
    return double(epoch.msecsTo(wall)) / 86400000.0;
}

QDateTime OleDateToDateTime(double Value)
{
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    const QDateTime wall = epoch.addMSecs(qint64(std::llround(Value * 86400000.0)));
    return QDateTime(wall.date(), wall.time(), Qt::LocalTime);
}

bool WriteRegDate(const QString& ValueName, const QDateTime& NewValue)
{
    const double days = DateTimeToOleDate(NewValue);
    quint64 bits = 0;
    std::memcpy(&bits, &days, sizeof bits);
    QByteArray bytes(8, Qt::Uninitialized);
    qToLittleEndian(bits, bytes.data());
    return TSettingsStore::WriteBinary(ValueName, bytes);
}

QDateTime ReadRegDate(const QString& ValueName)
{
    try {
        if (TSettingsStore::OpenKey()) {
            const auto bytes = TSettingsStore::ReadBinary(ValueName);
            if (bytes && bytes->size() == 8) {
                const quint64 bits = qFromLittleEndian<quint64>(bytes->constData());
                double days = 0;
                std::memcpy(&days, &bits, sizeof days);
                if (std::isfinite(days))
                    return OleDateToDateTime(days);
            } else if (!TSettingsStore::Exists(ValueName)) {
                WriteRegDate(ValueName, QDateTime::currentDateTime());
                return QDateTime::currentDateTime();
            }
        }
    } catch (...) {
    }
    return QDateTime::currentDateTime();
}
