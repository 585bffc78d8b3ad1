#include "domains/DomainTypes.h"

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
