#pragma once

#include <QDateTime>
#include <QString>

// Typed values of the settings key: a switch stored as a DWORD, a date stored as the 8 bytes of an OLE date.
bool WriteRegBool(const QString& ValueName, bool NewValue);
bool ReadRegBool(const QString& ValueName);
bool WriteRegDate(const QString& ValueName, const QDateTime& NewValue);
QDateTime ReadRegDate(const QString& ValueName);

// Days since 30 December 1899 with the time of day as the fraction, in local time.
double DateTimeToOleDate(const QDateTime& Value);
QDateTime OleDateToDateTime(double Value);
