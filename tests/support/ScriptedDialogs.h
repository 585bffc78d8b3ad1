#pragma once

#include "gui/UserDialogs.h"

#include <QList>
#include <QStringList>

// Answers the program's dialogs from a script and records what was asked. Installs itself for its lifetime.
class TScriptedDialogs : public TUserDialogs {
public:
    struct TShown {
        QString Title;
        QString Text;
        TIcon Icon;
        TButtons Buttons;
    };
    struct TFileRequest {
        QString Title;
        QString Filter;
        QString DefaultSuffix;
        QString Start; // the folder (open) or file name (save) the dialog was asked to start at
    };

    TScriptedDialogs();
    ~TScriptedDialogs() override;

    // Answers for Yes/No questions, taken in order; Yes when the queue is empty.
    QList<TAnswer> FAnswers;
    // File names for open and save dialogs, taken in order; empty (cancel) when the queue is empty.
    QStringList FFileNames;

    QList<TShown> FShown;
    // Messages that waited for nobody, in order.
    QList<TShown> FNotices;
    QList<TFileRequest> FFileRequests;

    TAnswer Message(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon,
        TButtons Buttons) override;
    void Notify(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon) override;
    QString OpenFileName(QWidget* Parent, const QString& Title, const QString& Filter, const QString& Folder) override;
    QString SaveFileName(QWidget* Parent, const QString& Title, const QString& Filter, const QString& DefaultSuffix,
        const QString& FileName) override;
};
