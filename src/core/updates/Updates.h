#pragma once

#include "core/checks/HttpRequest.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class TAtomicFileWriter;
class TDigestingWriter;

// The update check's downloads and the version comparison. The offer to the user lives in gui/UpdateCheck.h.

// The main window's TimerUpdate fires once, this long after start-up.
inline constexpr int UpdateTimerInterval = 50000;
// Names of the two downloads in the data folder.
inline constexpr char16_t UpdatesFileName[] = u"updates.txt";
inline constexpr char16_t ProgramFileName[] = u"bot.upd";

// A version as a number, "." being the decimal separator whatever the locale; anything else (a comma, a
// word, an empty text) counts as 1.0.
double ParseVersion(const QString& Text);
// True when Listed names a later version than Own, compared as numbers: 2.10 equals 2.1, 2.9 is newer.
bool IsNewerVersion(const QString& Listed, const QString& Own);

// What the update list's line 6 says of the program file: "sha256:" and its SHA-256 in hex.
struct TListedDigest {
    // False when the line is absent or says something else, as in older lists: the file is taken unchecked.
    bool Listed = false;
    // The 32 bytes of the digest; empty when the line names SHA-256 but no valid value, which no file matches.
    QByteArray Sha256;
};
// Lines are the update list's lines, the version first.
TListedDigest ListedDigest(const QStringList& Lines);

// One download into a file of the data folder, on the calling thread over the program's HTTP request chain:
// the chain's redirect rules (never from https to http), its timeouts and its body cap hold. Set the fields,
// Start(), and read Succeeded and ErrorText once Finished has come. The file is replaced only by a complete
// download, so a failure leaves the previous file whole and no temporary file behind. The program file is
// streamed to a temporary file beside its place, so its size never weighs on memory.
class TUpdateDownload : public QObject
{
    Q_OBJECT
public:
    enum class TKind {
        List, // the update list: records "LastUpdate", capped at ListSizeLimit
        Program, // the program file: capped at ProgramSizeLimit, checked against Digest
    };
    static constexpr int ListTimeLimit = 60000;
    static constexpr int ProgramTimeLimit = 600000;
    // The update list is a few lines; anything larger is not one.
    static constexpr qint64 ListSizeLimit = 64 * 1024;
    static constexpr qint64 ProgramSizeLimit = qint64(256) * 1024 * 1024;

    TUpdateDownload(TKind Kind, const QString& Url, const QString& Path, QObject* parent = nullptr);
    ~TUpdateDownload() override;

    // Milliseconds the whole download may take; by default ListTimeLimit or ProgramTimeLimit.
    int TimeLimit;
    // The program file's digest as the update list gives it.
    TListedDigest Digest;

    // Every failure, a folder that cannot be made included, comes from the event loop, never inside Start.
    void Start();
    // Stops at once and drops what was received; Finished is not emitted.
    void Abort();

    TKind Kind() const { return FKind; }
    // Full path of the file to write.
    const QString& Path() const { return FPath; }
    bool Succeeded() const { return FSucceeded; }
    // Why the download failed, in Russian; empty after success.
    const QString& ErrorText() const { return FErrorText; }

Q_SIGNALS:
    void Finished();

private:
    void OnAnswer();
    // Why the answer cannot be kept, or empty once the file is in place.
    QString Keep();
    void Finish(const QString& Error);
    void FinishLater(const QString& Error);
    void DropFile();

    TKind FKind;
    QString FUrl;
    QString FPath;
    THttpRequest FRequest;
    QTimer FDeadline;
    // Carries a failure found before any request out of Start, to be reported from the event loop.
    QTimer FFailure;
    QString FPendingError;
    std::unique_ptr<TAtomicFileWriter> FFile;
    std::unique_ptr<TDigestingWriter> FSink;
    bool FSucceeded = false;
    QString FErrorText;
};
