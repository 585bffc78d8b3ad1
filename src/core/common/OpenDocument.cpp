#include "core/common/OpenDocument.h"

#include "core/common/Errors.h"

#include <QMutex>
#include <QProcess>

namespace {

QMutex& HandlerMutex()
{
    static QMutex mutex;
    return mutex;
}

std::function<bool(const QString&)>& OpenHandler()
{
    static std::function<bool(const QString&)> handler;
    return handler;
}

} // namespace

void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler)
{
    QMutexLocker locker(&HandlerMutex());
    OpenHandler() = std::move(Handler);
}

bool OpenDocument(const QString& Target)
{
    std::function<bool(const QString&)> handler;
    {
        QMutexLocker locker(&HandlerMutex());
        handler = OpenHandler();
    }
    if (handler)
        return handler(Target);
    return QProcess::startDetached(u"xdg-open"_qs, { Target });
}

void OpenWebPage(const QString& Url)
{
    if (!OpenDocument(Url))
        throw EOrvantaError(u"Не удалось открыть страницу в браузере:\n"_qs + Url
            + u"\nВозможно, в системе не задан браузер по умолчанию."_qs);
}
