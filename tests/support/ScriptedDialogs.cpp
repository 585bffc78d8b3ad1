#include "support/ScriptedDialogs.h"

TScriptedDialogs::TScriptedDialogs() { SetUserDialogs(this); }

TScriptedDialogs::~TScriptedDialogs() { SetUserDialogs(nullptr); }

TUserDialogs::TAnswer TScriptedDialogs::Message(QWidget*, const QString& Title, const QString& Text, TIcon Icon,
    TButtons Buttons)
{
    FShown.append({ Title, Text, Icon, Buttons });
    if (Buttons == TButtons::Ok)
        return TAnswer::Ok;
    return FAnswers.isEmpty() ? TAnswer::Yes : FAnswers.takeFirst();
}

void TScriptedDialogs::Notify(QWidget*, const QString& Title, const QString& Text, TIcon Icon)
{
    FNotices.append({ Title, Text, Icon, TButtons::Ok });
}

QString TScriptedDialogs::OpenFileName(QWidget*, const QString& Title, const QString& Filter, const QString& Folder)
{
    FFileRequests.append({ Title, Filter, QString(), Folder });
    return FFileNames.isEmpty() ? QString() : FFileNames.takeFirst();
}

QString TScriptedDialogs::SaveFileName(QWidget*, const QString& Title, const QString& Filter,
    const QString& DefaultSuffix, const QString& FileName)
{
    FFileRequests.append({ Title, Filter, DefaultSuffix, FileName });
    return FFileNames.isEmpty() ? QString() : FFileNames.takeFirst();
}
