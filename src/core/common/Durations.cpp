#include "core/common/Durations.h"

#include <algorithm>
#include <utility>

#include <QCoreApplication>

QString DurationText(qint64 Ms)
{
    const qint64 s = (Ms + 999) / 1000;
    if (s < 60)
        return QCoreApplication::translate("Durations", "%1 с").arg(s);
    if (s < 3600)
        return QCoreApplication::translate("Durations", "%1 мин %2 с").arg(s / 60).arg(s % 60);
    return QCoreApplication::translate("Durations", "%1 ч %2 мин").arg(s / 3600).arg((s % 3600) / 60);
}

QString RoughDurationText(qint64 Ms)
{
    const qint64 minutes = (Ms + 59999) / 60000;
    if (minutes < 60)
        return QCoreApplication::translate("Durations", "%1 мин").arg(minutes);
    if (minutes < 600)
        return minutes % 60 == 0 ? QCoreApplication::translate("Durations", "%1 ч").arg(minutes / 60)
                                 : QCoreApplication::translate("Durations", "%1 ч %2 мин").arg(minutes / 60).arg(minutes % 60);
    return QCoreApplication::translate("Durations", "%1 ч").arg((minutes + 30) / 60);
}

std::optional<qint64> ParseDurationSeconds(const QString& Text)
{
    static const std::pair<QChar, qint64> Units[] = { { u's', 1 }, { u'm', 60 }, { u'h', 3600 }, { u'd', 86400 } };
    constexpr qint64 Longest = qint64(100) * 365 * 86400;
    QString digits = Text.trimmed();
    qint64 unit = 1;
    for (const auto& [letter, seconds] : Units)
        if (digits.endsWith(letter)) {
            digits.chop(1);
            unit = seconds;
            break;
        }
    // Only digits: no sign, no fraction, no second unit.
    if (digits.isEmpty()
        || !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qint64 count = digits.toLongLong(&ok);
    if (!ok || count > Longest / unit)
        return std::nullopt;
    return count * unit;
}
