#pragma once

#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QToolButton;
class QWidget;
class TMainForm;
class TZoneChoice;

// The main window's controls, found by their object names.
struct TMainControls {
    QToolButton* Clear = nullptr;
    QToolButton* Open = nullptr;
    QToolButton* Save = nullptr;
    QToolButton* Settings = nullptr;
    QToolButton* Web = nullptr;
    QToolButton* Help = nullptr;
    QWidget* Toolbar = nullptr; // the strip the buttons above stand in
    QWidget* KeywordPanel = nullptr; // the keyword list with its choices and Start
    QPlainTextEdit* Words = nullptr;
    QWidget* WordHint = nullptr; // over the keyword list while it is empty
    QLabel* EmptyListHint = nullptr;
    QComboBox* WordCount = nullptr;
    TZoneChoice* Zones = nullptr;
    QLabel* NameCount = nullptr; // the names a Start would build
    QPushButton* Start = nullptr;
    QWidget* Results = nullptr; // the right side: the grid or its placeholder
    QTableView* Grid = nullptr;
    QWidget* Placeholder = nullptr; // in place of the grid while there are no rows
    QComboBox* Show = nullptr; // which rows the grid shows
    QMenu* GridMenu = nullptr;

    // False, with a warning naming what is missing, when the window lacks any of them: use under QVERIFY.
    bool Find(const QWidget& Window);
    QList<QToolButton*> Buttons() const { return { Clear, Open, Save, Settings, Web, Help }; }
};

// Settings for a start without the first-start tips, and the zones "ru" and "com"; in the folders of a
// TTestEnv that the test keeps alive.
void PrepareQuietStart();
// A main window test's surroundings, one for each test function: folders of its own, the program's dialogs
// answered from a script, and a quiet start.
struct TMainWindowFixture {
    TMainWindowFixture() { PrepareQuietStart(); }
    TTestEnv Env;
    TScriptedDialogs Dialogs;
};

// The data folder's zone list.
void WriteZones(const QByteArray& Bytes);
// The availability check switched on for the next window, every zone's WHOIS server on 127.0.0.1.
void CheckAgainstLoopback();
// Checks the zone Zone - 1 alone, every zone for 0, none for -1.
void ChooseZone(TZoneChoice& Zones, int Zone);
// Types Words into the keyword list, chooses the word count Mode (3: names given whole) and the zone as
// ChooseZone does, presses Start and waits until the run is over.
void Generate(TMainForm& Form, const QString& Words, int Mode = 0, int Zone = 0);
