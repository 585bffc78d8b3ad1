#include "support/MainWindowParts.h"

#include "core/checks/DomainEngine.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "support/FindPart.h"
#include "support/TestFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

bool TMainParts::Find(const QWidget& Window)
{
    return FoundAll({ FindPart(Window, u"BtnClearMain"_qs, Clear), FindPart(Window, u"BtnOpen"_qs, Open),
        FindPart(Window, u"BtnSave"_qs, Save), FindPart(Window, u"BtnSetting"_qs, Settings),
        FindPart(Window, u"BtnWeb"_qs, Web), FindPart(Window, u"BtnHelp"_qs, Help),
        FindPart(Window, u"PanelMainTop"_qs, Toolbar), FindPart(Window, u"PanelContLeft"_qs, KeywordPanel),
        FindPart(Window, u"MemoWords"_qs, Words), FindPart(Window, u"PanelWordHint"_qs, WordHint),
        FindPart(Window, u"EmptyListHint"_qs, EmptyListHint), FindPart(Window, u"ComboBoxWordCount"_qs, WordCount),
        FindPart(Window, u"ComboBoxZones"_qs, Zones), FindPart(Window, u"BtnStart"_qs, Start),
        FindPart(Window, u"ResultsPane"_qs, Results), FindPart(Window, u"ResultsView"_qs, Grid),
        FindPart(Window, u"PanelHideContent"_qs, Placeholder), FindPart(Window, u"ComboBoxShow"_qs, Show),
        FindPart(Window, u"GridMenu"_qs, GridMenu) });
}

void PrepareQuietStart()
{
    TSettingsStore::WriteDWord(u"NotFirstRun"_qs, 1);
    TSettingsStore::WriteDWord(u"ShowHelpStart"_qs, 0);
    WriteZones("ru\r\ncom\r\n");
}

void WriteZones(const QByteArray& Bytes)
{
    WriteAll(GetDataFolder() + u"first.dat"_qs, Bytes);
}

void Generate(TMainForm& Form, const QString& Words, int Mode, int Zone)
{
    TMainParts ui;
    QVERIFY(ui.Find(Form));
    ui.Words->setPlainText(Words);
    ui.WordCount->setCurrentIndex(Mode);
    ui.Zones->setCurrentIndex(Zone);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    // The checks go on from the event loop; the run is over when Start can be pressed again.
    QTRY_VERIFY_WITH_TIMEOUT(!Form.Domains->Running(), 60000);
    QVERIFY(ui.Start->isEnabled());
}
