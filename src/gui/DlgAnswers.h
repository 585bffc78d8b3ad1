#pragma once

#include "core/common/Paths.h"

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

// "Советы пользователям...": a random tip from Answers.dat in the program folder, with its picture from
// Resourse/Help/ beside it. A line is: a picture flag ("1" or anything else), one separator character,
// the text, and optionally "<IMAGE>" followed by the picture's file name.
class TFormUserAnswer : public QDialog
{
    Q_OBJECT
public:
    // AppFolder (ending in a separator) holds Answers.dat; tests point it at a temporary folder.
    explicit TFormUserAnswer(QWidget* parent = nullptr, const QString& AppFolder = GetShippedFolder());

    // Picks one non-empty line at random and shows it; "Советы не найдены." when there is none.
    void ShowRandomAnswer();

    static constexpr char NoAnswersText[] = QT_TR_NOOP("Советы не найдены.");

    // The lines of Answers.dat, in file order.
    QStringList Answers;

    QLabel* PictureStrip;
    QLabel* TipTitle;
    QLabel* TipPicture;
    QLabel* LabelAnswer;
    QCheckBox* CheckBoxNotShowThis;
    QLabel* SettingsHint;
    QPushButton* BtnOk;
    QPushButton* BtnCancel;

private:
    void FormCreate();
    void BtnOkClick();
    void CheckBoxNotShowThisClick(bool Checked);
    // Loads Path into TipPicture; a file Qt cannot decode is reported and leaves everything as it was.
    bool LoadPicture(const QString& Path);

    QString FAppFolder;
};

// The main window's start-up step: shows the tips modally, owned by Owner, when "ShowHelpStart" is on.
void ShowStartupTips(QWidget* Owner, const QString& AppFolder = GetShippedFolder());
