#pragma once

#include <QString>

class QWidget;

// Every modal message box and file dialog of the program goes through this one seam, so tests can answer
// them without a person.
class TUserDialogs {
public:
    enum class TIcon { None, Information, Warning, Stop, Question };
    enum class TButtons { Ok, YesNo };
    enum class TAnswer { Ok, Yes, No };

    virtual ~TUserDialogs() = default;

    virtual TAnswer Message(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon,
        TButtons Buttons = TButtons::Ok)
        = 0;
    // A message that waits for nobody: it opens and the caller goes on at once. For what comes at the end of
    // a run, which must not hold up what follows.
    virtual void Notify(QWidget* Parent, const QString& Title, const QString& Text, TIcon Icon) = 0;
    // The chosen file, or empty when the user cancelled. Filter in Qt's form ("CSV (*.csv);;Все (*)").
    virtual QString OpenFileName(QWidget* Parent, const QString& Title, const QString& Filter,
        const QString& Folder = QString())
        = 0;
    // DefaultSuffix (without the dot) is added by the caller's rules, see AddDefaultExtension. FileName is
    // either a name to propose or an existing folder to start in.
    virtual QString SaveFileName(QWidget* Parent, const QString& Title, const QString& Filter,
        const QString& DefaultSuffix, const QString& FileName = QString())
        = 0;
};

// The program-wide seam: the real dialogs unless a test installed its own.
TUserDialogs& UserDialogs();
// Installs Dialogs (not owned) as the seam; nullptr restores the real dialogs.
void SetUserDialogs(TUserDialogs* Dialogs);

// Shorthands over the seam.
void ShowInformation(QWidget* Parent, const QString& Title, const QString& Text);
bool AskYesNo(QWidget* Parent, const QString& Title, const QString& Text);

// A name typed without an extension gets DefaultSuffix.
QString AddDefaultExtension(const QString& FileName, const QString& DefaultSuffix);
