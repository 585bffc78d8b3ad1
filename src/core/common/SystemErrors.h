#pragma once

#include <QString>

class QIODevice;

// The reason for a failed system call, in Russian, for the end of a message ("… \"путь\". Причина").
// Qt passes the C library's English texts through for most errors, so the ones a user meets with files
// are named here; any other falls back to Fallback (Qt's own text, translated when its Russian translation
// is loaded), else to the error's number.
QString SystemErrorText(int Error, const QString& Fallback = QString());

// The message for a write that stopped short: "Не удалось записать данные." followed by the reason when
// Error (errno right after the failed write) names one; 0 for devices that set no system error.
QString WriteErrorMessage(int Error);

// Writes Size bytes of Data to Out. Throws EOrvantaError(WriteErrorMessage(…)) when Out takes fewer; the
// system's reason is given only for a file, since a buffer or a socket leaves an unrelated errno behind.
void WriteOrThrow(QIODevice& Out, const char* Data, qint64 Size);
