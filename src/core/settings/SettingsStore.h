#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The per-user settings key: a typed settings file in the style of a registry export.
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Quorbel Software\Orvanta]
//   "NotFirstRun"=dword:00000001
//   "LastUpdate"=hex:00,00,00,00,00,00,e6,40
//   "Name"="text"
//
// Every write re-reads the file and replaces it atomically under a lock, so writers in several threads
// (or processes) never lose each other's values and a crash never leaves the file half-written. Reads answer
// from a copy in memory, taken at the first read, for as long as the file at FilePath() stays the same on
// disk (one stat per read tells): another path, a write, or a file another writer changed is read again.
class TSettingsStore {
public:
    enum class TValueType { DWord, Binary, String };
    struct TValue {
        TValueType Type = TValueType::DWord;
        quint32 DWord = 0;
        QByteArray Binary;
        QString String;
    };
    using TValues = QMap<QString, TValue>;
    // A whole file: our key's values, and the sections of other keys (each its header line and the lines
    // under it, as they were read), which are not ours to read and are written back unchanged.
    struct TContents {
        TValues Values;
        QStringList ForeignSections;
    };

    // $XDG_CONFIG_HOME (else ~/.config), then "Quorbel Software/Orvanta.reg".
    static QString FilePath();

    // The folder of the file can be made: the stand-in for opening the key with create-if-missing.
    static bool OpenKey();

    // What makes the file unusable (a folder, a device, a link that leads nowhere or in a loop, a file that
    // cannot be read), as a message for the user naming the file; nothing when it is usable or not there
    // yet. While it has a problem, reads give nothing and writes throw EOrvantaError with this message,
    // so the file is never replaced.
    static std::optional<QString> FileProblem();

    static bool Exists(const QString& name);
    // Typed reads: empty when the value is absent or stored with another type.
    static std::optional<quint32> ReadDWord(const QString& name);
    static std::optional<QByteArray> ReadBinary(const QString& name);
    static std::optional<QString> ReadString(const QString& name);

    // Writes return false when the key cannot be opened; a failure while replacing the file throws
    // EOrvantaError.
    static bool WriteDWord(const QString& name, quint32 value);
    static bool WriteBinary(const QString& name, const QByteArray& value);
    static bool WriteString(const QString& name, const QString& value);

    // How many times a read has gone to the file instead of the copy in memory; for tests.
    static int FileLoads();

    // Parsing and formatting, exposed for tests. Parsing returns nothing when the text is not a settings
    // file: a line of our section that is not a value, a broken section header, or bytes that are not UTF-8.
    static std::optional<TContents> ParseFile(const QByteArray& text);
    static QByteArray FormatFile(const TContents& contents);
    static std::optional<TValues> Parse(const QByteArray& text);
    static QByteArray Format(const TValues& values);

private:
    static TValues Load();
    static bool Write(const QString& name, const TValue& value);
};
