#pragma once

#include "core/updates/Updates.h"

#include <QList>
#include <QObject>

class QWidget;

// The update check as the main window drives it. The window owns one TUpdateCheck and its TimerUpdate
// (UpdateTimerInterval, core/updates/Updates.h); TimerUpdateTimer stops the timer and calls StartUpdateCheck
// when the setting "CheckUpdates" allows it. Nothing is asked in a message box: a list naming a newer version
// is announced by UpdateOffered, and the window offers it without interrupting the user; only its "Скачать"
// starts StartAppDownload. The downloads run on this object's thread, driven by the network's signals;
// Abort, or destroying the object, stops them at once.
class TUpdateCheck : public QObject
{
    Q_OBJECT
public:
    // Owner parents the message boxes and this object; it may be null.
    explicit TUpdateCheck(QWidget* Owner);
    ~TUpdateCheck() override;

    // Fetches the update list into the data folder's updates.txt.
    void StartUpdateCheck();
    // Fetches the program file into the data folder's bot.upd, checked against the SHA-256 the last fresh
    // list gave; the user's "Скачать".
    void StartAppDownload();
    // Stops every download: no message, no signal, the files in the data folder as they were.
    void Abort();
    // Milliseconds each download may take; tests shorten it. Zero: each kind's own limit.
    void SetTimeLimit(int Msecs) { FTimeLimit = Msecs; }
    // A download is running or its end has not been handled yet.
    bool Busy() const { return !FDownloads.isEmpty(); }

Q_SIGNALS:
    // A fresh update list names a newer version; Question is the text to offer it with.
    void UpdateOffered(const QString& Question);
    // The end of a download has been handled, its question or message included.
    void DownloadHandled(bool DownloadApp, bool Succeeded);

private:
    void StartDownload(TUpdateDownload::TKind Kind, const QString& Url, const QString& FileName);
    void UpdateDownloaded(TUpdateDownload* Sender);
    // Reads a fresh list: keeps its digest and returns the question when it names a newer version, else empty.
    QString ReadFreshList(const QString& ListFile);
    void ReportAppDownload(bool Succeeded, const QString& FileName, const QString& ErrorText);

    QWidget* FOwner = nullptr;
    QList<TUpdateDownload*> FDownloads;
    int FTimeLimit = 0;
    TListedDigest FDigest;
};
