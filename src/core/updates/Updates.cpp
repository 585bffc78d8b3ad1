#include "core/updates/Updates.h"

#include "core/common/AtomicFile.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsKeys.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>
#include <cmath>
#include <memory>

double ParseVersion(const QString& Text)
{
    bool ok = false;
    // QString::toDouble reads the C locale only and knows no group separators, so "2,2" is not a number.
    const double value = Text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 1.0;
}

bool IsNewerVersion(const QString& Listed, const QString& Own)
{
    return ParseVersion(Listed) > ParseVersion(Own);
}

TDownLoader::TDownLoader(QObject* parent)
    : QThread(parent)
{
}

TDownLoader::~TDownLoader()
{
    requestInterruption();
    wait();
}

void TDownLoader::run()
{
    Execute();
}

bool TDownLoader::Fail(const QString& Text)
{
    if (FErrorText.isEmpty())
        FErrorText = Text;
    return false;
}

void TDownLoader::Execute()
{
    FSucceeded = false;
    FErrorText.clear();
    const QDeadlineTimer deadline(FTimeLimit);

    if (!FDownloadApp) {
        // A settings file that cannot be written must not stop the check.
        try {
            WriteSetting(SettingsKeys::LastUpdate, QDateTime::currentDateTime());
        } catch (...) {
        }
    }

    const QString folder = QFileInfo(FToFolder).absolutePath();
    if (FToFolder.isEmpty() || !QDir().mkpath(folder)) {
        Fail(u"не удалось создать папку «"_qs + QDir::toNativeSeparators(folder) + u"»"_qs);
        return;
    }
    try {
        WriteFileAtomically(FToFolder, [&](QIODevice& File) {
            Receive(File, deadline);
            // Abandons the file: the previous one stays.
            if (!FErrorText.isEmpty())
                throw EOrvantaError(FErrorText);
        });
    } catch (const EFileReplaceError& e) {
        const auto step = e.Failure().Step;
        const bool opened = step != TFileReplaceFailure::TStep::Target && step != TFileReplaceFailure::TStep::Create;
        Fail((opened ? u"не удалось сохранить файл «"_qs : u"не удалось создать файл «"_qs)
            + QDir::toNativeSeparators(FToFolder) + u"»: "_qs + e.Failure().DeviceReason());
        return;
    } catch (const EOrvantaError& e) {
        Fail(e.Message());
        return;
    }
    FSucceeded = true;
}

void TDownLoader::Receive(QIODevice& File, const QDeadlineTimer& Deadline)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    manager.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    QNetworkRequest request { QUrl(FURL) };
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));

    QEventLoop loop;
    qint64 received = 0;
    const auto stop = [&](const QString& Text) {
        Fail(Text);
        reply->abort();
    };
    const auto statusCode = [&] { return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(); };
    const auto badStatus = [&] {
        const int code = statusCode();
        return code != 0 && (code < 200 || code > 299);
    };
    const auto statusText = [&]() -> QString { return u"сервер ответил кодом "_qs + QString::number(statusCode()); };
    const auto take = [&] {
        const QByteArray chunk = reply->readAll();
        if (!FErrorText.isEmpty())
            return;
        received += chunk.size();
        if (!FDownloadApp && received > ListSizeLimit)
            stop(u"список обновлений больше 64 КБ"_qs);
        else if (File.write(chunk) != chunk.size())
            stop(u"не удалось записать файл «"_qs + QDir::toNativeSeparators(FToFolder) + u"»: "_qs
                + File.errorString());
    };
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        // Aborting from inside this signal makes the reply report its own error twice; let it return first.
        if (!badStatus())
            return;
        Fail(statusText());
        QMetaObject::invokeMethod(reply.get(), &QNetworkReply::abort, Qt::QueuedConnection);
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, take);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The loop has no other way to hear a shutdown request from the owner's thread.
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (isInterruptionRequested())
            stop(u"загрузка прервана"_qs);
        else if (Deadline.hasExpired())
            stop(u"загрузка не уложилась в "_qs + QString::number((FTimeLimit + 999) / 1000) + u" с"_qs);
    });
    watch.start();
    if (isInterruptionRequested())
        stop(u"загрузка прервана"_qs);
    if (!reply->isFinished())
        loop.exec();
    watch.stop();

    if (FErrorText.isEmpty() && reply->bytesAvailable() > 0)
        take();
    if (FErrorText.isEmpty() && badStatus())
        Fail(statusText());
    if (FErrorText.isEmpty() && reply->error() != QNetworkReply::NoError)
        Fail(u"ошибка сети: "_qs + reply->errorString());
}
