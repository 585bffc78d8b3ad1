#include "core/settings/SettingsStore.h"

#include "core/common/AtomicFile.h"
#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "core/common/SystemErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>
#include <cerrno>
#include <ctime>
#include <sys/stat.h>

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

// One version of the file on disk: a replacement gives it a new inode, an edit in place a new size or time.
struct TFileStamp {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    qint64 Modified = 0; // nanoseconds since the epoch
    qint64 Changed = 0;

    bool operator==(const TFileStamp& Other) const
    {
        return Device == Other.Device && Inode == Other.Inode && Size == Other.Size && Modified == Other.Modified
            && Changed == Other.Changed;
    }
};

qint64 Nanoseconds(const timespec& Time)
{
    return qint64(Time.tv_sec) * 1000000000 + Time.tv_nsec;
}

qint64 NowNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

// Nothing when the path leads to no file that could be looked at: then there is nothing to read.
std::optional<TFileStamp> StampOf(const QString& Path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(Path).constData(), &st) != 0)
        return std::nullopt;
    return TFileStamp { st.st_dev, st.st_ino, st.st_size, Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim) };
}

// File times can come from a coarse clock, so two edits within one tick that keep the size leave the stamp
// as it was. A file changed this shortly before it is read is not kept in memory; the next read looks again.
constexpr qint64 SettleNanoseconds = 2000000000;

// The values of the file as last read, for later reads to answer from while the file stays as it was. Keyed
// by the path, which changes with XDG_CONFIG_HOME while the program runs.
struct TCopy {
    QString Path;
    TFileStamp Stamp;
    TSettingsStore::TValues Values;
    bool Valid = false;

    bool Serves(const QString& FilePath, const TFileStamp& Now) const
    {
        return Valid && Path == FilePath && Stamp == Now;
    }
};

// Guarded by StoreMutex, like the counter of reads from the file.
TCopy& Copy()
{
    static TCopy copy;
    return copy;
}

int& LoadCount()
{
    static int count = 0;
    return count;
}

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

std::optional<TSettingsStore::TContents> TSettingsStore::ParseFile(const QByteArray& bytes)
{
    TContents contents;
    // A text that is not UTF-8 was not written by us; rewriting it with replacement characters would lose it.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QString ourKey = KeyLine();
    // Lines before any header count as ours: a file written by hand may leave the header out.
    bool ours = true;
    QStringList foreign;
    const auto endForeign = [&] {
        while (!foreign.isEmpty() && foreign.constLast().trimmed().isEmpty())
            foreign.removeLast();
        if (!foreign.isEmpty())
            contents.ForeignSections << foreign.join(u'\n');
        foreign.clear();
    };
    const QStringList lines = text.split(u'\n');
    for (QString raw : lines) {
        // Every CR before the break is part of the break: a foreign line written back with one break
        // must read back the same.
        while (raw.endsWith(u'\r'))
            raw.chop(1);
        const QString line = raw.trimmed();
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return std::nullopt;
            endForeign();
            // Key names ignore letter case.
            ours = line.compare(ourKey, Qt::CaseInsensitive) == 0;
            if (!ours)
                foreign << raw;
            continue;
        }
        if (!ours) {
            foreign << raw;
            continue;
        }
        if (line.isEmpty() || line.startsWith(u';') || line == QString::fromLatin1(FileHeader))
            continue;
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
        contents.Values.insert(*name, value);
    }
    endForeign();
    return contents;
}

std::optional<TSettingsStore::TValues> TSettingsStore::Parse(const QByteArray& bytes)
{
    if (auto contents = ParseFile(bytes))
        return std::move(contents->Values);
    return std::nullopt;
}

QByteArray TSettingsStore::FormatFile(const TContents& contents)
{
    QString out = QString::fromLatin1(FileHeader) + u"\n\n"_qs + KeyLine() + u'\n';
    for (auto it = contents.Values.cbegin(); it != contents.Values.cend(); ++it) {
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
    for (const QString& section : contents.ForeignSections)
        out += u'\n' + section + u'\n';
    return out.toUtf8();
}

QByteArray TSettingsStore::Format(const TValues& values)
{
    return FormatFile(TContents { values, {} });
}

std::optional<QString> TSettingsStore::FileProblem()
{
    const QString path = FilePath();
    const auto problem = [&](const QString& reason) -> QString {
        return QCoreApplication::translate("TSettingsStore", "Файл настроек \"%1\" не может быть использован. %2. Программа работает с настройками по "
                                                     "умолчанию и не сохраняет их.")
            .arg(QDir::toNativeSeparators(path), reason);
    };
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        const int error = errno;
        // Not there yet: the first write creates it.
        if (error == ENOENT)
            return std::nullopt;
        return problem(SystemErrorText(error));
    }
    if (S_ISLNK(st.st_mode) && ::stat(native.constData(), &st) != 0) {
        const int error = errno;
        return problem(error == ENOENT ? QCoreApplication::translate("TSettingsStore", "Символическая ссылка ведет к несуществующему файлу") : SystemErrorText(error));
    }
    if (S_ISDIR(st.st_mode))
        return problem(SystemErrorText(EISDIR));
    // A pipe or a device would block the reader or be destroyed by the replacing write.
    if (!S_ISREG(st.st_mode))
        return problem(QCoreApplication::translate("TSettingsStore", "Это не обычный файл, а устройство, канал или сокет"));
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int error = errno;
        return problem(SystemErrorText(error, file.errorString()));
    }
    return std::nullopt;
}

TSettingsStore::TValues TSettingsStore::Load()
{
    const QString path = FilePath();
    // Taken before the file is read: a change while reading shows as a new stamp on the next read.
    const auto stamp = StampOf(path);
    if (!stamp) {
        Copy().Valid = false;
        return {};
    }
    if (Copy().Serves(path, *stamp))
        return Copy().Values;
    const qint64 takenAt = NowNanoseconds();
    ++LoadCount();
    TValues values;
    if (!FileProblem()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            values = Parse(file.readAll()).value_or(TValues());
    }
    Copy() = TCopy { path, *stamp, values, stamp->Modified + SettleNanoseconds < takenAt };
    return values;
}

int TSettingsStore::FileLoads()
{
    QMutexLocker locker(&StoreMutex());
    return LoadCount();
}

bool TSettingsStore::Write(const QString& name, const TValue& value)
{
    if (!OpenKey())
        return false;
    QMutexLocker locker(&StoreMutex());
    const QString path = FilePath();
    TFileLock lock(path);

    // Replacing a file that could not be read would lose what it holds.
    if (const auto problem = FileProblem())
        throw EOrvantaError(*problem);
    TContents contents;
    QFile current(path);
    if (current.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = current.readAll();
        current.close();
        if (auto parsed = ParseFile(bytes)) {
            contents = std::move(*parsed);
        } else {
            // Keep what could not be read beside the new file instead of destroying it.
            const QString backup = path + u".bak"_qs;
            QFile::remove(backup);
            QFile::copy(path, backup);
        }
    }
    contents.Values.insert(name, value);

    // A file written just now is not kept (see SettleNanoseconds): the next read takes a copy when it may.
    Copy().Valid = false;
    try {
        WriteFileAtomically(path, FormatFile(contents));
    } catch (const EFileReplaceError& e) {
        throw EOrvantaError(QCoreApplication::translate("TSettingsStore", "Не удалось записать настройки в файл \"%1\". %2").arg(path, e.Failure().DeviceReason()));
    }
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
