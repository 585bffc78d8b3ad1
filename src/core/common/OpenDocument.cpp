#include "core/common/OpenDocument.h"

#include "core/common/Errors.h"

#include <QCoreApplication>
#include <QMutex>
#include <QProcess>
#include <QTimer>

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

std::function<bool(const QString&)> CurrentHandler()
{
    QMutexLocker locker(&HandlerMutex());
    return OpenHandler();
}

} // namespace

void SetOpenDocumentHandler(std::function<bool(const QString&)> Handler)
{
    QMutexLocker locker(&HandlerMutex());
    OpenHandler() = std::move(Handler);
}

bool OpenDocument(const QString& Target)
{
    const std::function<bool(const QString&)> handler = CurrentHandler();
    if (handler)
        return handler(Target);
    return QProcess::startDetached(u"xdg-open"_qs, { Target });
}

void OpenDocumentThen(const QString& Target, QObject* Context, std::function<void(bool)> Done)
{
    if (const std::function<bool(const QString&)> handler = CurrentHandler()) {
        QTimer::singleShot(0, Context, [handler, Target, Done] { Done(handler(Target)); });
        return;
    }
    // The desktop's opener says whether anything took the address only by its exit code; it may run as long
    // as the browser it starts, so it is not waited for.
    auto* opener = new QProcess(Context);
    opener->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, Done](QProcess::ProcessError Error) {
        if (Error != QProcess::FailedToStart)
            return;
        opener->deleteLater();
        Done(false);
    });
    QObject::connect(opener, &QProcess::finished, opener, [opener, Done](int Code, QProcess::ExitStatus Status) {
        opener->deleteLater();
        Done(Status == QProcess::NormalExit && Code == 0);
    });
    opener->start(u"xdg-open"_qs, { Target });
}

void OpenWebPage(const QString& Url)
{
    if (!OpenDocument(Url))
        throw EOrvantaError(QCoreApplication::translate(
            "OpenDocument", "Не удалось открыть страницу в браузере:\n%1\nВозможно, в системе не задан браузер по умолчанию.")
                                .arg(Url));
}
