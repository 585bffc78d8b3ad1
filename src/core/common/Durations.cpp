#include "core/common/Durations.h"

QString DurationText(qint64 Ms)
{
    const qint64 s = (Ms + 999) / 1000;
    if (s < 60)
        return QStringLiteral("%1 с").arg(s);
    if (s < 3600)
        return QStringLiteral("%1 мин %2 с").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1 ч %2 мин").arg(s / 3600).arg((s % 3600) / 60);
}

QString RoughDurationText(qint64 Ms)
{
    const qint64 minutes = (Ms + 59999) / 60000;
    if (minutes < 60)
        return QStringLiteral("%1 мин").arg(minutes);
    if (minutes < 600)
        return minutes % 60 == 0 ? QStringLiteral("%1 ч").arg(minutes / 60)
                                 : QStringLiteral("%1 ч %2 мин").arg(minutes / 60).arg(minutes % 60);
    return QStringLiteral("%1 ч").arg((minutes + 30) / 60);
}
