#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
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
// (or processes) never lose each other's values and a crash never leaves the file half-written.
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

    // $XDG_CONFIG_HOME (else ~/.config), then "Quorbel Software/Orvanta.reg".
    static QString FilePath();

    // The folder of the file can be made: the stand-in for opening the key with create-if-missing.
    static bool OpenKey();

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

    // Parsing and formatting, exposed for tests. Parse returns nothing when the text is not a settings file.
    static std::optional<TValues> Parse(const QByteArray& text);
    static QByteArray Format(const TValues& values);

private:
    static TValues Load();
    static bool Write(const QString& name, const TValue& value);
};
