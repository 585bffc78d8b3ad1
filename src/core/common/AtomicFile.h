#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at Path whole with Bytes: they go to a temporary file beside it, which is renamed over
// the old one only when every byte was written. On failure the previous file stays as it was, the
// temporary file is removed, ErrorText (when given) receives the system's error text and false returns.
bool ReplaceFile(const QString& Path, const QByteArray& Bytes, QString* ErrorText = nullptr);
