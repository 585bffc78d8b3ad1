#pragma once

#include <QString>
#include <optional>

// A span of time as people read it, rounded up to whole seconds: "40 с", "3 мин 20 с", "18 ч 5 мин".
QString DurationText(qint64 Ms);
// A span long enough to be told roughly: whole hours past ten hours, else hours and minutes, else minutes:
// "18 ч", "1 ч 40 мин", "25 мин".
QString RoughDurationText(qint64 Ms);
// A span given as a whole number with an optional unit, s (the default), m, h or d: "90", "15m", "7d".
// Empty for anything else, a negative number or a span past a hundred years.
std::optional<qint64> ParseDurationSeconds(const QString& Text);
