#include "settings/SettingsStore.h"

#include "app/AtomicFile.h"
#include "app/Errors.h"
#include "consts/QuorbelConsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex& StoreMutex()
{
    static QMutex mutex;
    return mutex;
}

const QByteArray FileHeader = QByteArrayLiteral("Windows Registry Editor Version 5.00");

QString KeyLine()
{
    return u"[HKEY_CURRENT_USER\\Software\\"_qs + QString::fromUtf16(QuorbelConsts::CompanyName) + u'\\'
        + QString::fromUtf16(QuorbelConsts::ProductName) + u']';
}

QString Quote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        if (c == u'\n') {
            out += u"\\n"_qs;
            continue;
        }
        if (c == u'\r') {
            out += u"\\r"_qs;
            continue;
        }
        out += c;
    }
    out += u'"';
    return out;
}

// Reads a quoted text starting at pos (on the opening quote); advances pos past the closing quote.
std::optional<QString> Unquote(const QString& line, qsizetype& pos)
{
    if (pos >= line.size() || line.at(pos) != u'"')
        return std::nullopt;
    QString out;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\') {
            if (++pos >= line.size())
                return std::nullopt;
            const QChar e = line.at(pos);
            out += e == u'n' ? QChar(u'\n') : e == u'r' ? QChar(u'\r') : e;
            continue;
        }
        out += c;
    }
    return std::nullopt;
}

// Holds the lock file beside the settings file for as long as it lives; without it two processes could
// interleave their read-modify-write.
class TFileLock {
public:
    explicit TFileLock(const QString& path)
        : FLock(path + u".lock"_qs)
    {
        FLock.setStaleLockTime(5000);
        FLocked = FLock.tryLock(5000);
    }
    ~TFileLock()
    {
        if (FLocked)
            FLock.unlock();
    }

private:
    QLockFile FLock;
    bool FLocked = false;
};

} // namespace

QString TSettingsStore::FilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + u"/.config"_qs;
    return base + u'/' + QString::fromUtf16(QuorbelConsts::CompanyName) + u'/'
        + QString::fromUtf16(QuorbelConsts::ProductName) + u".reg"_qs;
}

bool TSettingsStore::OpenKey()
{
    return QDir().mkpath(QFileInfo(FilePath()).absolutePath());
}

std::optional<TSettingsStore::TValues> TSettingsStore::Parse(const QByteArray& bytes)
{
    TValues values;
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line == QString::fromLatin1(FileHeader))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return std::nullopt;
            continue;
        }
        qsizetype pos = 0;
        const auto name = Unquote(line, pos);
        if (!name || pos >= line.size() || line.at(pos) != u'=')
            return std::nullopt;
        ++pos;
        const QString rest = line.mid(pos);
        TValue value;
        if (rest.startsWith(u"dword:"_qs)) {
            const QString digits = rest.mid(6);
            bool ok = false;
            const qulonglong n = digits.toULongLong(&ok, 16);
            if (!ok || digits.size() != 8 || n > 0xFFFFFFFFull)
                return std::nullopt;
            value.Type = TValueType::DWord;
            value.DWord = quint32(n);
        } else if (rest.startsWith(u"hex:"_qs)) {
            value.Type = TValueType::Binary;
            const QString hex = rest.mid(4);
            if (!hex.isEmpty()) {
                for (const QString& part : hex.split(u',')) {
                    bool ok = false;
                    const uint b = part.toUInt(&ok, 16);
                    if (!ok || part.size() != 2 || b > 0xFF)
                        return std::nullopt;
                    value.Binary.append(char(b));
                }
            }
        } else if (rest.startsWith(u'"')) {
            qsizetype p = 0;
            const auto s = Unquote(rest, p);
            if (!s || p != rest.size())
                return std::nullopt;
            value.Type = TValueType::String;
            value.String = *s;
        } else {
            return std::nullopt;
        }
        values.insert(*name, value);
    }
    return values;
}

QByteArray TSettingsStore::Format(const TValues& values)
{
    QString out = QString::fromLatin1(FileHeader) + u"\n\n"_qs + KeyLine() + u'\n';
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        out += Quote(it.key()) + u'=';
        const TValue& v = it.value();
        switch (v.Type) {
        case TValueType::DWord:
            out += u"dword:"_qs + QStringLiteral("%1").arg(v.DWord, 8, 16, QLatin1Char('0'));
            break;
        case TValueType::Binary: {
            QStringList bytes;
            for (char b : v.Binary)
                bytes << QStringLiteral("%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0'));
            out += u"hex:"_qs + bytes.join(u',');
            break;
        }
        case TValueType::String:
            out += Quote(v.String);
            break;
        }
        out += u'\n';
    }
    return out.toUtf8();
}

TSettingsStore::TValues TSettingsStore::Load()
{
    QFile file(FilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.readAll()).value_or(TValues());
}

bool TSettingsStore::Write(const QString& name, const TValue& value)
{
    if (!OpenKey())
        return false;
    QMutexLocker locker(&StoreMutex());
    const QString path = FilePath();
    TFileLock lock(path);

    TValues values;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = current.readAll();
        current.close();
        if (auto parsed = Parse(bytes)) {
            values = *parsed;
        } else {
            // Keep what could not be read beside the new file instead of destroying it.
            const QString backup = path + u".bak"_qs;
            QFile::remove(backup);
            QFile::copy(path, backup);
        }
    }
    values.insert(name, value);

    QString error;
    if (!ReplaceFile(path, Format(values), &error))
        throw EOrvantaError(u"Не удалось записать настройки в файл \""_qs + path + u"\". "_qs + error);
    return true;
}

bool TSettingsStore::Exists(const QString& name)
{
    QMutexLocker locker(&StoreMutex());
    return Load().contains(name);
}

std::optional<quint32> TSettingsStore::ReadDWord(const QString& name)
{
    QMutexLocker locker(&StoreMutex());
    const TValues values = Load();
    const auto it = values.constFind(name);
    if (it == values.cend() || it->Type != TValueType::DWord)
        return std::nullopt;
    return it->DWord;
}

std::optional<QByteArray> TSettingsStore::ReadBinary(const QString& name)
{
    QMutexLocker locker(&StoreMutex());
    const TValues values = Load();
    const auto it = values.constFind(name);
    if (it == values.cend() || it->Type != TValueType::Binary)
        return std::nullopt;
    return it->Binary;
}

std::optional<QString> TSettingsStore::ReadString(const QString& name)
{
    QMutexLocker locker(&StoreMutex());
    const TValues values = Load();
    const auto it = values.constFind(name);
    if (it == values.cend() || it->Type != TValueType::String)
        return std::nullopt;
    return it->String;
}

bool TSettingsStore::WriteDWord(const QString& name, quint32 value)
{
    TValue v;
    v.Type = TValueType::DWord;
    v.DWord = value;
    return Write(name, v);
}

bool TSettingsStore::WriteBinary(const QString& name, const QByteArray& value)
{
    TValue v;
    v.Type = TValueType::Binary;
    v.Binary = value;
    return Write(name, v);
}

bool TSettingsStore::WriteString(const QString& name, const QString& value)
{
    TValue v;
    v.Type = TValueType::String;
    v.String = value;
    return Write(name, v);
}
