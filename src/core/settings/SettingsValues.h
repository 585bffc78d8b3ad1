#pragma once

#include <QDateTime>
#include <QString>

// A switch and a date by a name given at run time, stored as the keys of SettingsKeys.h store them, with a
// value for every case: a switch that cannot be read is off. A date that cannot be read is the current
// time; when it is absent altogether, the current time is also written under its name.
bool WriteRegBool(const QString& ValueName, bool NewValue);
bool ReadRegBool(const QString& ValueName);
bool WriteRegDate(const QString& ValueName, const QDateTime& NewValue);
QDateTime ReadRegDate(const QString& ValueName);

// Days since 30 December 1899 with the time of day as the fraction, in local time.
double DateTimeToOleDate(const QDateTime& Value);
QDateTime OleDateToDateTime(double Value);
