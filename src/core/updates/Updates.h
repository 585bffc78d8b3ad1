#pragma once

#include <QString>
#include <QThread>

class QDeadlineTimer;
class QIODevice;

// The background update check: the download thread and the version comparison. The questions to the user
// live in gui/UpdateCheck.h.

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

// One download of URL into the file ToFolder on a thread of its own. Set the properties, then start();
// read Succeeded and ErrorText once finished() has been delivered. The file is replaced only by a complete
// download, so a failure leaves the previous file whole. Destroying a running downloader interrupts it and
// waits for the thread, which stops within a fraction of a second.
class TDownLoader : public QThread
{
    Q_OBJECT
    Q_PROPERTY(QString ToFolder READ ToFolder WRITE SetToFolder)
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(bool DownloadApp READ DownloadApp WRITE SetDownloadApp)
public:
    static constexpr int DefaultTimeLimit = 60000;
    // The update list is a few lines; anything larger is not one.
    static constexpr qint64 ListSizeLimit = 64 * 1024;

    explicit TDownLoader(QObject* parent = nullptr);
    ~TDownLoader() override;

    // Full path of the file to write.
    QString ToFolder() const { return FToFolder; }
    void SetToFolder(const QString& Value) { FToFolder = Value; }
    QString URL() const { return FURL; }
    void SetURL(const QString& Value) { FURL = Value; }
    // False: the update list (records "LastUpdate", capped at ListSizeLimit); true: the program file.
    bool DownloadApp() const { return FDownloadApp; }
    void SetDownloadApp(bool Value) { FDownloadApp = Value; }
    // Milliseconds the whole download may take.
    int TimeLimit() const { return FTimeLimit; }
    void SetTimeLimit(int Value) { FTimeLimit = Value; }

    bool Succeeded() const { return FSucceeded; }
    // Why the download failed, in Russian; empty after success.
    QString ErrorText() const { return FErrorText; }

protected:
    void run() override;

private:
    // The thread body: one GET into the file.
    void Execute();
    // The GET itself, its body written to File; a failure is recorded by Fail and cuts the download short.
    void Receive(QIODevice& File, const QDeadlineTimer& Deadline);
    bool Fail(const QString& Text);

    QString FToFolder;
    QString FURL;
    bool FDownloadApp = false;
    int FTimeLimit = DefaultTimeLimit;
    bool FSucceeded = false;
    QString FErrorText;
};
