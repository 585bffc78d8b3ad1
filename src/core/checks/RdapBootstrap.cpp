#include "core/checks/RdapBootstrap.h"

#include "core/common/BoundedRead.h"
#include "core/common/Errors.h"
#include "core/settings/DataFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <new>

namespace {

// The real list is some hundred kilobytes; a file far past that is not one.
constexpr qint64 MaxFileBytes = qint64(16) << 20;

EOrvantaError Invalid(const QString& Why)
{
    return EOrvantaError(QStringLiteral("это не список серверов RDAP: %1").arg(Why));
}

// A zone as the list keys it: lower-case ASCII, no dots at its ends. Empty when it has no such form.
QString ZoneKey(const QString& Zone)
{
    QString zone = Zone.trimmed().toLower();
    while (zone.startsWith(u'.'))
        zone.remove(0, 1);
    while (zone.endsWith(u'.'))
        zone.chop(1);
    if (zone.isEmpty())
        return {};
    return QString::fromLatin1(QUrl::toAce(zone)).toLower();
}

// The URL an entry is asked through: its first https URL, else its first http one; empty when it has
// neither.
QString ChooseBaseUrl(const QJsonArray& Urls)
{
    QString http;
    for (const QJsonValue& v : Urls) {
        const QUrl url(v.toString(), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            continue;
        QString text = url.toString();
        if (!text.endsWith(u'/'))
            text += u'/';
        if (url.scheme() == u"https")
            return text;
        if (url.scheme() == u"http" && http.isEmpty())
            http = text;
    }
    return http;
}

} // namespace

TRdapBootstrap TRdapBootstrap::Parse(const QByteArray& Json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Json, &error);
    if (error.error != QJsonParseError::NoError)
        throw Invalid(QStringLiteral("ошибка JSON в позиции %1 (%2)").arg(error.offset).arg(error.errorString()));
    if (!doc.isObject() || !doc.object().value(u"services").isArray())
        throw Invalid(QStringLiteral("нет массива \"services\""));
    TRdapBootstrap out;
    const QJsonArray services = doc.object().value(u"services").toArray();
    for (qsizetype i = 0; i < services.size(); ++i) {
        const QJsonArray entry = services.at(i).toArray();
        if (entry.size() < 2 || !entry.at(0).isArray() || !entry.at(1).isArray())
            throw Invalid(QStringLiteral("запись %1 не состоит из списка зон и списка адресов").arg(i + 1));
        const QString base = ChooseBaseUrl(entry.at(1).toArray());
        if (base.isEmpty())
            throw Invalid(QStringLiteral("у записи %1 нет адреса http или https").arg(i + 1));
        for (const QJsonValue& zone : entry.at(0).toArray()) {
            const QString key = ZoneKey(zone.toString());
            if (key.isEmpty())
                throw Invalid(QStringLiteral("в записи %1 неверная зона").arg(i + 1));
            // The first entry that names a zone holds.
            if (!out.FBaseUrls.contains(key))
                out.FBaseUrls.insert(key, base);
        }
    }
    return out;
}

TRdapBootstrap TRdapBootstrap::Load(const QString& Path)
{
    TBoundedInput input(Path, MaxFileBytes);
    const QByteArray bytes = input.ReadAll();
    try {
        return Parse(bytes);
    } catch (const EOrvantaError& e) {
        throw EOrvantaError(QStringLiteral("Файл %1: %2.").arg(Path, e.Message()));
    } catch (const std::bad_alloc&) {
        throw input.OutOfMemory();
    }
}

TRdapBootstrap TRdapBootstrap::LoadDataFile(const QString& AppFolder)
{
    const QString path = FindDataFile(QString::fromUtf16(RdapBootstrapFileName), AppFolder);
    return path.isEmpty() ? TRdapBootstrap() : Load(path);
}

QString TRdapBootstrap::BaseUrlFor(const QString& Zone) const
{
    if (FBaseUrls.isEmpty())
        return {};
    QString key = ZoneKey(Zone);
    while (!key.isEmpty()) {
        const auto it = FBaseUrls.constFind(key);
        if (it != FBaseUrls.cend())
            return *it;
        const qsizetype dot = key.indexOf(u'.');
        key = dot < 0 ? QString() : key.mid(dot + 1);
    }
    return {};
}
