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

QString TScriptedDialogs::OpenFileName(QWidget*, const QString& Title, const QString& Filter, const QString&)
{
    FFileRequests.append({ Title, Filter, QString() });
    return FFileNames.isEmpty() ? QString() : FFileNames.takeFirst();
}

QString TScriptedDialogs::SaveFileName(QWidget*, const QString& Title, const QString& Filter,
    const QString& DefaultSuffix, const QString&)
{
    FFileRequests.append({ Title, Filter, DefaultSuffix });
    return FFileNames.isEmpty() ? QString() : FFileNames.takeFirst();
}
