#include "gui/UpdateCheck.h"

#include "core/common/Errors.h"
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"
#include "gui/UserDialogs.h"

#include <QDir>
#include <QPointer>
#include <QWidget>

namespace
{

QString UpdateTitle()
{
    return TUpdateCheck::tr("Обновление");
}

} // namespace

TUpdateCheck::TUpdateCheck(QWidget* Owner)
    : QObject(Owner)
    , FOwner(Owner)
{
}

TUpdateCheck::~TUpdateCheck()
{
    Abort();
}

void TUpdateCheck::StartUpdateCheck()
{
    StartDownload(TUpdateDownload::TKind::List, QuorbelConsts::UpdatesUrl(), QString::fromUtf16(UpdatesFileName));
}

void TUpdateCheck::StartAppDownload()
{
    StartDownload(TUpdateDownload::TKind::Program, QuorbelConsts::ProgramUrl(), QString::fromUtf16(ProgramFileName));
}

void TUpdateCheck::Abort()
{
    // Each download stops in its destructor, the reply and the temporary file with it.
    qDeleteAll(std::exchange(FDownloads, {}));
}

void TUpdateCheck::StartDownload(TUpdateDownload::TKind Kind, const QString& Url, const QString& FileName)
{
    auto* download = new TUpdateDownload(Kind, Url, GetDataFolder() + FileName, this);
    if (FTimeLimit > 0)
        download->TimeLimit = FTimeLimit;
    if (Kind == TUpdateDownload::TKind::Program)
        download->Digest = FDigest;
    connect(download, &TUpdateDownload::Finished, this, [this, download] { UpdateDownloaded(download); });
    FDownloads.append(download);
    download->Start();
}

void TUpdateCheck::UpdateDownloaded(TUpdateDownload* Sender)
{
    FDownloads.removeOne(Sender);
    const bool downloadApp = Sender->Kind() == TUpdateDownload::TKind::Program;
    const bool succeeded = Sender->Succeeded();
    const QString fileName = Sender->Path();
    const QString errorText = Sender->ErrorText();
    // Freed once its own signal has returned.
    Sender->deleteLater();

    // The download report is modal: the owner may go away while it is open.
    const QPointer<TUpdateCheck> self(this);
    if (downloadApp) {
        ReportAppDownload(succeeded, fileName, errorText);
    } else if (succeeded) {
        const QString question = ReadFreshList(fileName);
        if (!question.isEmpty())
            Q_EMIT UpdateOffered(question);
    }
    if (self)
        Q_EMIT DownloadHandled(downloadApp, succeeded);
}

// A failed list download leaves the previous updates.txt in place; asking from that stale list would
// announce a version the site may no longer offer, so only a fresh list is read.
QString TUpdateCheck::ReadFreshList(const QString& ListFile)
{
    QStringList lines;
    try {
        lines = ReadListFile(ListFile);
    } catch (const EOrvantaError&) {
        return {};
    }
    FDigest = ListedDigest(lines);
    if (lines.isEmpty())
        return {};
    if (!IsNewerVersion(lines.at(0), QString::fromUtf16(QuorbelConsts::ProductVersion)))
        return {};
    while (lines.size() < 5)
        lines << QString();
    const QString breakLine = u"\n\r"_qs;
    return tr("На сайте доступна новая версия программы (%1)").arg(lines.at(0)) + breakLine + lines.at(1) + breakLine
        + lines.at(2) + breakLine + lines.at(3) + breakLine + lines.at(4) + breakLine
        + tr("Вы хотите обновить программу?");
}

void TUpdateCheck::ReportAppDownload(bool Succeeded, const QString& FileName, const QString& ErrorText)
{
    if (Succeeded)
        UserDialogs().Message(FOwner, UpdateTitle(),
            tr("Новая версия программы загружена и сохранена в файл:\n%1").arg(QDir::toNativeSeparators(FileName)),
            TUserDialogs::TIcon::Information);
    else
        UserDialogs().Message(FOwner, UpdateTitle(),
            tr("Не удалось загрузить новую версию программы: %1.").arg(ErrorText), TUserDialogs::TIcon::Warning);
}
