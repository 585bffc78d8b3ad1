#include "core/checks/RdapBootstrap.h"

#include "core/candidates/NameRules.h"
#include "core/common/BoundedRead.h"
#include "core/common/Errors.h"
#include "core/settings/DataFiles.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <new>

namespace
{

// The real list is some hundred kilobytes; a file far past that is not one.
constexpr qint64 MaxFileBytes = qint64(16) << 20;

EOrvantaError Invalid(const QString& Why)
{
    return EOrvantaError(QCoreApplication::translate("RdapBootstrap", "это не список серверов RDAP: %1").arg(Why));
}

// The entry's base URLs, each ending with "/", https ones first (in the list's order, then the http ones):
// the first is asked, the others may take over by redirect. Throws for an address that is no plain http
// or https base: a query or a fragment would swallow the path of every query.
QStringList BaseUrls(const QJsonArray& Urls, qsizetype Entry)
{
    QStringList secure;
    QStringList plain;
    for (const QJsonValue& v : Urls) {
        const QString text = v.toString();
        const QUrl url(text, QUrl::StrictMode);
        const QString scheme = url.scheme().toLower();
        if (!v.isString() || !url.isValid() || url.host().isEmpty() || (scheme != u"https" && scheme != u"http"))
            throw Invalid(
                QCoreApplication::translate("RdapBootstrap", "в записи %1 адрес «%2» — не адрес http или https").arg(Entry).arg(text.left(300)));
        if (url.hasQuery() || url.hasFragment() || !url.userInfo().isEmpty())
            throw Invalid(QCoreApplication::translate("RdapBootstrap", "в записи %1 адрес «%2» содержит лишнее (запрос, фрагмент или имя "
                                         "пользователя)")
                              .arg(Entry)
                              .arg(text.left(300)));
        QString base = url.toString();
        if (!base.endsWith(u'/'))
            base += u'/';
        (scheme == u"https" ? secure : plain) << base;
    }
    return secure + plain;
}

} // namespace

TRdapBootstrap TRdapBootstrap::Parse(const QByteArray& Json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(Json, &error);
    if (error.error != QJsonParseError::NoError)
        throw Invalid(QCoreApplication::translate("RdapBootstrap", "ошибка JSON в позиции %1 (%2)").arg(error.offset).arg(error.errorString()));
    if (!doc.isObject() || !doc.object().value(u"services").isArray())
        throw Invalid(QCoreApplication::translate("RdapBootstrap", "нет массива \"services\""));
    TRdapBootstrap out;
    const QJsonArray services = doc.object().value(u"services").toArray();
    for (qsizetype i = 0; i < services.size(); ++i) {
        const QJsonArray entry = services.at(i).toArray();
        if (entry.size() < 2 || !entry.at(0).isArray() || !entry.at(1).isArray())
            throw Invalid(QCoreApplication::translate("RdapBootstrap", "запись %1 не состоит из списка зон и списка адресов").arg(i + 1));
        const QStringList bases = BaseUrls(entry.at(1).toArray(), i + 1);
        if (bases.isEmpty())
            throw Invalid(QCoreApplication::translate("RdapBootstrap", "у записи %1 нет адреса http или https").arg(i + 1));
        for (const QJsonValue& zone : entry.at(0).toArray()) {
            const QString key = ZoneKey(zone.toString());
            if (key.isEmpty())
                throw Invalid(QCoreApplication::translate("RdapBootstrap", "в записи %1 неверная зона").arg(i + 1));
            // The first entry that names a zone holds.
            if (!out.FBaseUrls.contains(key))
                out.FBaseUrls.insert(key, bases);
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
        throw EOrvantaError(QCoreApplication::translate("RdapBootstrap", "Файл %1: %2.").arg(Path, e.Message()));
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
    return BaseUrlsFor(Zone).value(0);
}

QStringList TRdapBootstrap::BaseUrlsFor(const QString& Zone) const
{
    if (FBaseUrls.isEmpty())
        return {};
    for (const QString& key : ZoneKeys(Zone)) {
        const auto it = FBaseUrls.constFind(key);
        if (it != FBaseUrls.cend())
            return *it;
    }
    return {};
}
