#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The whole content of a file, or empty when it cannot be read.
QByteArray ReadAll(const QString& Path);
// Creates the file (and its folders) with Bytes; fails the running test when it cannot.
void WriteAll(const QString& Path, const QByteArray& Bytes);

// A golden file of the batch tool's worked example, in tests/data/cli.
QString GoldenCliFile(const QString& Name);
// The worked example's five formats, each beside its golden file: columns "format" and "golden".
void AddGoldenFormatRows();

// The names of the files in Folder, hidden ones included, so a test can see that no temporary file stays.
QStringList FilesIn(const QString& Folder);

// Every entry below Folder as it lies on disk, links not followed: name, kind (file with its content,
// folder, link with its target, device, pipe), one per line. Equal states mean nothing was replaced.
QString FolderState(const QString& Folder);
