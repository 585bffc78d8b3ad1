#include "support/MainWindowControls.h"

#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ZoneChoice.h"
#include "support/FindControl.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

bool TMainControls::Find(const QWidget& Window)
{
    return FoundAll({ FindControl(Window, u"BtnClearMain"_qs, Clear), FindControl(Window, u"BtnOpen"_qs, Open),
        FindControl(Window, u"BtnSave"_qs, Save), FindControl(Window, u"BtnSetting"_qs, Settings),
        FindControl(Window, u"BtnWeb"_qs, Web), FindControl(Window, u"BtnHelp"_qs, Help),
        FindControl(Window, u"Toolbar"_qs, Toolbar), FindControl(Window, u"KeywordPanel"_qs, KeywordPanel),
        FindControl(Window, u"MemoWords"_qs, Words), FindControl(Window, u"PanelWordHint"_qs, WordHint),
        FindControl(Window, u"EmptyListHint"_qs, EmptyListHint),
        FindControl(Window, u"ComboBoxWordCount"_qs, WordCount), FindControl(Window, u"ComboBoxZones"_qs, Zones),
        FindControl(Window, u"LabelNameCount"_qs, NameCount), FindControl(Window, u"BtnStart"_qs, Start),
        FindControl(Window, u"ResultsPane"_qs, Results), FindControl(Window, u"ResultsView"_qs, Grid),
        FindControl(Window, u"PanelHideContent"_qs, Placeholder), FindControl(Window, u"ComboBoxShow"_qs, Show),
        FindControl(Window, u"GridMenu"_qs, GridMenu) });
}

void PrepareQuietStart()
{
    TSettingsStore::WriteDWord(u"NotFirstRun"_qs, 1);
    TSettingsStore::WriteDWord(u"ShowHelpStart"_qs, 0);
    // Runs in the window ask only the tests' own servers: DNS first is switched on where a test serves it.
    TSettingsStore::WriteDWord(u"CheckViaDnsFirst"_qs, 0);
    WriteZones("ru\r\ncom\r\n");
}

void WriteZones(const QByteArray& Bytes)
{
    WriteAll(GetDataFolder() + u"first.dat"_qs, Bytes);
}

void CheckAgainstLoopback()
{
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    WriteAll(GetDataFolder() + u"whois.dat"_qs, "*:127.0.0.1\r\n");
}

void ChooseZone(TZoneChoice& Zones, int Zone)
{
    Zones.CheckAll(Zone == 0);
    if (Zone > 0)
        Zones.SetChecked(Zone - 1, true);
}

void Generate(TMainForm& Form, const QString& Words, int Mode, int Zone)
{
    TMainControls ui;
    QVERIFY(ui.Find(Form));
    ui.Words->setPlainText(Words);
    ui.WordCount->setCurrentIndex(Mode);
    ChooseZone(*ui.Zones, Zone);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    // The checks go on from the event loop; the run is over when Start can be pressed again.
    QTRY_VERIFY_WITH_TIMEOUT(!Form.Session().Running() && ui.Start->isEnabled(), 60000);
}
