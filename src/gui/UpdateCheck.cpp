#include "gui/UpdateCheck.h"

#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"
#include "core/updates/Updates.h"
#include "gui/UserDialogs.h"

#include <QDir>
#include <QPointer>
#include <QWidget>

namespace {

const QString UpdateTitle = u"Обновление"_qs;
// A stopped download ends within its 50 ms watch interval; the bound only guards against the unforeseen.
constexpr unsigned long ShutdownWaitMs = 5000;

} // namespace

TUpdateCheck::TUpdateCheck(QWidget* Owner)
    : QObject(Owner)
    , FOwner(Owner)
    , FTimeLimit(TDownLoader::DefaultTimeLimit)
{
}

TUpdateCheck::~TUpdateCheck()
{
    for (TDownLoader* loader : std::as_const(FLoaders)) {
        disconnect(loader, nullptr, this, nullptr);
        loader->requestInterruption();
    }
    for (TDownLoader* loader : std::as_const(FLoaders)) {
        if (loader->wait(ShutdownWaitMs))
            delete loader;
        else
            loader->setParent(nullptr); // still running: left to end with the process rather than freed live
    }
}

void TUpdateCheck::StartUpdateCheck()
{
    StartDownload(QuorbelConsts::UpdatesUrl(), QString::fromUtf16(UpdatesFileName), false);
}

void TUpdateCheck::StartAppDownload()
{
    StartDownload(QuorbelConsts::ProgramUrl(), QString::fromUtf16(ProgramFileName), true);
}

void TUpdateCheck::StartDownload(const QString& Url, const QString& FileName, bool DownloadApp)
{
    auto* loader = new TDownLoader(this);
    loader->SetURL(Url);
    loader->SetDownloadApp(DownloadApp);
    loader->SetToFolder(GetDataFolder() + FileName);
    loader->SetTimeLimit(FTimeLimit);
    connect(loader, &QThread::finished, this, [this, loader] { UpdateDownloaded(loader); });
    FLoaders.append(loader);
    loader->start();
}

void TUpdateCheck::UpdateDownloaded(TDownLoader* Sender)
{
    // finished() comes from the thread just before it returns; wait() makes the results safe to read.
    Sender->wait();
    FLoaders.removeOne(Sender);
    const bool downloadApp = Sender->DownloadApp();
    const bool succeeded = Sender->Succeeded();
    const QString fileName = Sender->ToFolder();
    const QString errorText = Sender->ErrorText();
    Sender->deleteLater();

    // The download report is modal: the owner may go away while it is open.
    const QPointer<TUpdateCheck> self(this);
    if (downloadApp) {
        ReportAppDownload(succeeded, fileName, errorText);
    } else if (succeeded) {
        const QString question = UpdateQuestion(fileName);
        if (!question.isEmpty())
            Q_EMIT UpdateOffered(question);
    }
    if (self)
        Q_EMIT DownloadHandled(downloadApp, succeeded);
}

// A failed list download leaves the previous updates.txt in place; asking from that stale list would
// announce a version the site may no longer offer, so only a fresh list is read.
QString TUpdateCheck::UpdateQuestion(const QString& ListFile)
{
    QStringList lines;
    try {
        lines = ReadListFile(ListFile);
    } catch (const EOrvantaError&) {
        return {};
    }
    if (lines.isEmpty())
        return {};
    if (!IsNewerVersion(lines.at(0), QString::fromUtf16(QuorbelConsts::ProductVersion)))
        return {};
    while (lines.size() < 5)
        lines << QString();
    const QString breakLine = u"\n\r"_qs;
    return u"На сайте доступна новая версия программы ("_qs + lines.at(0) + u")"_qs + breakLine + lines.at(1)
        + breakLine + lines.at(2) + breakLine + lines.at(3) + breakLine + lines.at(4) + breakLine
        + u"Вы хотите обновить программу?"_qs;
}

void TUpdateCheck::ReportAppDownload(bool Succeeded, const QString& FileName, const QString& ErrorText)
{
    if (Succeeded)
        UserDialogs().Message(FOwner, UpdateTitle,
            u"Новая версия программы загружена и сохранена в файл:\n"_qs + QDir::toNativeSeparators(FileName),
            TUserDialogs::TIcon::Information);
    else
        UserDialogs().Message(FOwner, UpdateTitle,
            u"Не удалось загрузить новую версию программы: "_qs + ErrorText + u'.', TUserDialogs::TIcon::Warning);
}
