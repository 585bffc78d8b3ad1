#include "core/updates/Updates.h"

#include "core/common/AtomicFile.h"
#include "core/settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <algorithm>
#include <cmath>
#include <limits>

// Passes the program file's bytes on to the file as they come and digests those the file took, so the
// digest is ready when the last byte is and the file is never read back.
class TDigestingWriter : public QIODevice
{
public:
    explicit TDigestingWriter(QIODevice& Target)
        : FTarget(Target)
        , FHash(QCryptographicHash::Sha256)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    QByteArray Result() const { return FHash.result(); }
    // A write to the file stopped short; errorString() says why.
    bool Failed() const { return FFailed; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* Data, qint64 Size) override
    {
        const qint64 taken = FTarget.write(Data, Size);
        if (taken > 0)
            FHash.addData(QByteArrayView(Data, taken));
        if (taken != Size) {
            FFailed = true;
            setErrorString(FTarget.errorString());
        }
        return taken;
    }

private:
    QIODevice& FTarget;
    QCryptographicHash FHash;
    bool FFailed = false;
};

namespace
{

QString Native(const QString& Path)
{
    return QDir::toNativeSeparators(Path);
}

QString FileError(const QString& Path, const TFileReplaceFailure& Failure)
{
    const auto step = Failure.Step;
    const bool opened = step != TFileReplaceFailure::TStep::Target && step != TFileReplaceFailure::TStep::Create;
    return (opened ? QCoreApplication::translate("TUpdateDownload", "не удалось сохранить файл «%1»: %2") : QCoreApplication::translate("TUpdateDownload", "не удалось создать файл «%1»: %2"))
        .arg(Native(Path), Failure.DeviceReason());
}

} // namespace

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

TListedDigest ListedDigest(const QStringList& Lines)
{
    const QString line = Lines.value(5).trimmed();
    const QString prefix = u"sha256:"_qs;
    if (!line.startsWith(prefix, Qt::CaseInsensitive))
        return {};
    const QString hex = line.mid(prefix.size()).trimmed();
    const bool valid = hex.size() == 64 && std::all_of(hex.cbegin(), hex.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c.toLower() >= u'a' && c.toLower() <= u'f');
    });
    return { true, valid ? QByteArray::fromHex(hex.toLatin1()) : QByteArray() };
}

TUpdateDownload::TUpdateDownload(TKind Kind, const QString& Url, const QString& Path, QObject* parent)
    : QObject(parent)
    , TimeLimit(Kind == TKind::List ? ListTimeLimit : ProgramTimeLimit)
    , FKind(Kind)
    , FUrl(Url)
    , FPath(Path)
{
    FDeadline.setSingleShot(true);
    FFailure.setSingleShot(true);
    FFailure.setInterval(0);
    connect(&FFailure, &QTimer::timeout, this, [this] { Finish(FPendingError); });
    connect(&FDeadline, &QTimer::timeout, this, [this] {
        FRequest.Abort();
        Finish(QCoreApplication::translate("TUpdateDownload", "загрузка не уложилась в %1 с").arg((TimeLimit + 999) / 1000));
    });
    connect(&FRequest, &THttpRequest::Finished, this, &TUpdateDownload::OnAnswer);
}

TUpdateDownload::~TUpdateDownload()
{
    Abort();
}

void TUpdateDownload::Start()
{
    Abort();
    FSucceeded = false;
    FErrorText.clear();
    if (FKind == TKind::List) {
        // A settings file that cannot be written must not stop the check.
        try {
            WriteSetting(SettingsKeys::LastUpdate, QDateTime::currentDateTime());
        } catch (...) {
        }
    }
    const QString folder = QFileInfo(FPath).absolutePath();
    if (FPath.isEmpty() || !QDir().mkpath(folder)) {
        FinishLater(QCoreApplication::translate("TUpdateDownload", "не удалось создать папку «%1»").arg(Native(folder)));
        return;
    }
    FRequest.Limits.MaxBodyBytes = FKind == TKind::List ? ListSizeLimit : ProgramSizeLimit;
    // The download's own deadline below says what ran out; the chain keeps only its connect timeout.
    FRequest.Limits.TotalMs = std::numeric_limits<int>::max();
    if (FKind == TKind::Program) {
        if (Digest.Listed && Digest.Sha256.isEmpty()) {
            FinishLater(QCoreApplication::translate("TUpdateDownload", "контрольная сумма SHA-256 в списке обновлений неверна"));
            return;
        }
        try {
            FFile = std::make_unique<TAtomicFileWriter>(FPath);
        } catch (const EFileReplaceError& e) {
            FinishLater(FileError(FPath, e.Failure()));
            return;
        }
        FSink = std::make_unique<TDigestingWriter>(FFile->Device());
        FRequest.Sink = FSink.get();
    }
    FDeadline.start(std::max(1, TimeLimit));
    FRequest.Start(QUrl(FUrl));
}

void TUpdateDownload::Abort()
{
    FDeadline.stop();
    FFailure.stop();
    FRequest.Abort();
    DropFile();
}

void TUpdateDownload::DropFile()
{
    FRequest.Sink = nullptr;
    FSink.reset();
    // Removes the temporary file unless it was put in place.
    FFile.reset();
}

void TUpdateDownload::OnAnswer()
{
    FDeadline.stop();
    if (FRequest.Failed()) {
        if (FRequest.TooLong())
            Finish(FKind == TKind::List ? QCoreApplication::translate("TUpdateDownload", "список обновлений больше 64 КБ") : QCoreApplication::translate("TUpdateDownload", "файл программы больше 256 МБ"));
        else if (FSink && FSink->Failed())
            Finish(QCoreApplication::translate("TUpdateDownload", "не удалось сохранить файл «%1»: %2").arg(Native(FPath), FSink->errorString()));
        else
            Finish(FRequest.Error());
        return;
    }
    const int status = FRequest.Answer().Status;
    if (status < 200 || status > 299) {
        Finish(QCoreApplication::translate("TUpdateDownload", "сервер ответил кодом %1").arg(status));
        return;
    }
    Finish(Keep());
}

QString TUpdateDownload::Keep()
{
    try {
        if (FKind == TKind::List) {
            WriteFileAtomically(FPath, FRequest.Answer().Body);
            return {};
        }
        if (Digest.Listed && FSink->Result() != Digest.Sha256)
            return QCoreApplication::translate("TUpdateDownload", "контрольная сумма SHA-256 загруженного файла не совпадает с указанной в списке обновлений, "
                   "прежний файл оставлен");
        FFile->Commit();
    } catch (const EFileReplaceError& e) {
        return FileError(FPath, e.Failure());
    }
    return {};
}

void TUpdateDownload::Finish(const QString& Error)
{
    DropFile();
    FErrorText = Error;
    FSucceeded = Error.isEmpty();
    Q_EMIT Finished();
}

void TUpdateDownload::FinishLater(const QString& Error)
{
    DropFile();
    FPendingError = Error;
    FFailure.start();
}
