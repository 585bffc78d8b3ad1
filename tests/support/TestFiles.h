#pragma once

#include <QByteArray>
#include <QString>

// The whole content of a file, or empty when it cannot be read.
QByteArray ReadAll(const QString& Path);
// Creates the file (and its folders) with Bytes; fails the running test when it cannot.
void WriteAll(const QString& Path, const QByteArray& Bytes);
