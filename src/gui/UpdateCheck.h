#pragma once

#include <QList>
#include <QObject>

class QWidget;
class TDownLoader;

// The update check as the main window drives it. The window owns one TUpdateCheck and its TimerUpdate
// (UpdateTimerInterval, core/updates/Updates.h); TimerUpdateTimer stops the timer and calls StartUpdateCheck.
// Nothing is asked in a message box: a list naming a newer version is announced by UpdateOffered, and
// the window offers it without interrupting the user; only its "Скачать" starts StartAppDownload.
// Destroying the object stops its downloads first, so the program can close while one runs.
class TUpdateCheck : public QObject
{
    Q_OBJECT
public:
    // Owner parents the message boxes and this object; it may be null.
    explicit TUpdateCheck(QWidget* Owner);
    ~TUpdateCheck() override;

    // Fetches the update list into the data folder's updates.txt.
    void StartUpdateCheck();
    // Fetches the program file into the data folder's bot.upd; the user's "Скачать".
    void StartAppDownload();
    // Milliseconds each download may take; tests shorten it.
    void SetTimeLimit(int Msecs) { FTimeLimit = Msecs; }
    // A download is running or its end has not been handled yet.
    bool Busy() const { return !FLoaders.isEmpty(); }

Q_SIGNALS:
    // A fresh update list names a newer version; Question is the text to offer it with.
    void UpdateOffered(const QString& Question);
    // The end of a download has been handled, its question or message included.
    void DownloadHandled(bool DownloadApp, bool Succeeded);

private:
    void StartDownload(const QString& Url, const QString& FileName, bool DownloadApp);
    // Runs on this object's thread once Sender has finished.
    void UpdateDownloaded(TDownLoader* Sender);
    // Reads the list; the question when it names a newer version, else empty.
    static QString UpdateQuestion(const QString& ListFile);
    void ReportAppDownload(bool Succeeded, const QString& FileName, const QString& ErrorText);

    QWidget* FOwner = nullptr;
    QList<TDownLoader*> FLoaders;
    int FTimeLimit;
};
