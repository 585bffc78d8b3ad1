#include "domains/DomainTypes.h"

QString StatusCodeText(qint32 Status)
{
    // The three codes are constant texts: the writers ask for millions of them.
    switch (Status) {
    case StatusUnknown:
        return QStringLiteral("-1");
    case StatusFree:
        return QStringLiteral("0");
    case StatusTaken:
        return QStringLiteral("1");
    default:
        return QString::number(Status);
    }
}

QString StatusGridWord(const QString& code)
{
    if (code == u"-1")
        return QStringLiteral("Не проверен");
    if (code == u"0")
        return QStringLiteral("свободен");
    if (code == u"1")
        return QStringLiteral("занят");
    return code;
}

QString StatusReportWord(const QString& code)
{
    if (code == u"-1")
        return QStringLiteral("неизвестен");
    if (code == u"0")
        return QStringLiteral("свободен");
    if (code == u"1")
        return QStringLiteral("занят");
    return code;
}
