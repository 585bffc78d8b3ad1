#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the settings file and the data folder of this process at a fresh temporary folder, so a test
// never touches the user's real files. Keep one alive for as long as the test needs the folders.
class TTestEnv {
public:
    TTestEnv();
    ~TTestEnv();
    bool IsValid() const { return FDir.isValid(); }
    QString Root() const { return FDir.path(); }
    QString ConfigHome() const;
    QString DataHome() const;
    QString SettingsFile() const;
    // Write a file below Root, creating folders; returns its path.
    QString WriteFile(const QString& relative, const QByteArray& bytes) const;

private:
    QTemporaryDir FDir;
    QByteArray FOldConfig;
    QByteArray FOldData;
};
