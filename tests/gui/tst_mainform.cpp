#include "core/candidates/ResultsModel.h"
#include "core/checks/DomainEngine.h"
#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "support/HeaderClick.h"
#include "support/HttpTestServer.h"
#include "support/LoopbackSite.h"
#include "support/ProgramProcess.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/WhoisTestServer.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QSignalSpy>
#include "gui/AppIcons.h"
#include "gui/DlgProgress.h"
#include "gui/NoticeBar.h"
#include "gui/UpdateCheck.h"
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QElapsedTimer>
#include <QTest>
#include <QToolButton>
#include <QMenuBar>
#include <QMenu>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>
#include "gui/ResultsPanel.h"

namespace {

QByteArray Cp1251(const char* utf8)
{
    // Windows-1251 bytes of a short Cyrillic text, written out by hand so the test does not use the code
    // under test: "кот" = EA EE F2.
    if (qstrcmp(utf8, "кот") == 0)
        return QByteArray("\xEA\xEE\xF2");
    return QByteArray(utf8);
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void layoutAndMenus();
    void startFillsGrid_data();
    void startFillsGrid();
    void noWords_data();
    void noWords();
    void equalWordsGiveNothing();
    void startAgainReplacesRows();
    void clearKeepsCommands();
    void hintAndScrollBar();
    void openWordList_data();
    void openWordList();
    void openStartupFile_data();
    void openStartupFile();
    void saveWordList_data();
    void saveWordList();
    void creationEffects_data();
    void creationEffects();
    void placementSurvivesRestart();
    void errorReportAndWindowGoesOn();
    void largeRunAsksFirst_data();
    void largeRunAsksFirst();
    void webCommands();
    void settingsDialogResetsZoneChoice();
    void writersFromBothMenus_data();
    void writersFromBothMenus();
    void qtTextsInRussian();
    void errorLeavesRowsUsable();
    void recheckAsksOnlyUnjudged();
    void closeStopsRun();
    void stopButtonKeepsVerdicts();
    void unusableSettingsFile_data();
    void unusableSettingsFile();
    void shortcutsAndIcons_data();
    void shortcutsAndIcons();
    void shortcutKeysReachTheirCommands();
    void smallRunShowsBusy();
    void failedWebPageSaysSo();
    void lastFolderPerKind_data();
    void lastFolderPerKind();
    void reportsWriteRowsAsShown();
    void copyNamesFromContextMenu();
    void updateOfferedInNoticeBar_data();
    void updateOfferedInNoticeBar();

private:
    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<TScriptedDialogs> FDialogs;
    QString DataFile(const QString& name) const { return GetDataFolder() + name; }
    void WriteZones(const QByteArray& bytes);
    void Run(TMainForm& form, const QString& memo, int mode = 0, int zone = 0);
    void PrepareHangingRegistry(TWhoisTestServer& server);
};

void TestMainForm::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FDialogs = std::make_unique<TScriptedDialogs>();
    TSettingsStore::WriteDWord(QStringLiteral("NotFirstRun"), 1);
    TSettingsStore::WriteDWord(QStringLiteral("ShowHelpStart"), 0);
    WriteZones("ru\r\ncom\r\n");
}

void TestMainForm::cleanup()
{
    FDialogs.reset();
    FEnv.reset();
}

void TestMainForm::WriteZones(const QByteArray& bytes)
{
    QDir().mkpath(GetDataFolder());
    QFile f(DataFile(QStringLiteral("first.dat")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestMainForm::Run(TMainForm& form, const QString& memo, int mode, int zone)
{
    form.MemoWords->setPlainText(memo);
    form.ComboBoxWordCount->setCurrentIndex(mode);
    form.ComboBoxZones->setCurrentIndex(zone);
    QTest::mouseClick(form.BtnStart, Qt::LeftButton);
    // The checks go on from the event loop; the run is over when Start can be pressed again.
    QTRY_VERIFY_WITH_TIMEOUT(!form.Domains->Running(), 60000);
    QVERIFY(form.BtnStart->isEnabled());
}

void TestMainForm::layoutAndMenus()
{
    TMainForm form;
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("Orvanta 2.1"));
    QCOMPARE(form.minimumSize(), QSize(750, 480));
    for (QToolButton* b : { form.BtnClearMain, form.BtnOpen, form.BtnSave, form.BtnSetting, form.BtnWeb, form.BtnHelp }) {
        QCOMPARE(b->size(), QSize(54, 49));
        QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
        QVERIFY(!b->toolTip().isEmpty());
    }
    QCOMPARE(form.BtnOpen->toolTip(), QStringLiteral("Открыть (загрузить) список слов для генерации в программу"));
    QCOMPARE(form.BtnStart->text(), QStringLiteral("Начать генерацию"));
    QVERIFY(form.BtnStart->font().bold());
    QCOMPARE(form.ComboBoxWordCount->count(), 3);
    QCOMPARE(form.ComboBoxWordCount->itemText(2), QStringLiteral("4 слова"));
    QCOMPARE(form.ComboBoxWordCount->currentIndex(), 0);
    QCOMPARE(form.ComboBoxZones->itemText(0), QStringLiteral("Все доменные зоны"));
    QCOMPARE(form.PanelContLeft->width(), 249);
    QCOMPARE(form.PanelMainTop->height(), 55);
    QCOMPARE(form.EmptyListHint->text(),
        QStringLiteral("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"));

    QStringList menus;
    for (QAction* a : form.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList { QStringLiteral("Файл"), QStringLiteral("Настройки"), QStringLiteral("Отчет"),
                        QStringLiteral("Справка") }));
    QStringList popup;
    for (QAction* a : form.GridMenu->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (x)")));
    QCOMPARE(popup, (QStringList { QStringLiteral("Копировать имена (x)"),
                        QStringLiteral("Проверить непроверенные заново"), QStringLiteral("-"),
                        QStringLiteral("Очистить список"), QStringLiteral("-"),
                        QStringLiteral("Сохранение результатов (x)"), QStringLiteral("-"),
                        QStringLiteral("Сохранить в текстовый документ"), QStringLiteral("Сохранить в CSV документ"),
                        QStringLiteral("-"), QStringLiteral("Экспорт отчета (x)"), QStringLiteral("-"),
                        QStringLiteral("В текстовом формате (TXT)"), QStringLiteral("В HTML файл (HTML)"),
                        QStringLiteral("В табличном формате (CSV)") }));
    QVERIFY(!form.ResultCommandsEnabled());
    for (QAction* a : { form.MI_ClearResult, form.MI_ExportCSV, form.Mi_ExportText, form.MI_ReportText,
             form.MI_ReportHTML, form.MI_ReportCSV })
        QVERIFY(!a->isEnabled());
}

void TestMainForm::startFillsGrid_data()
{
    QTest::addColumn<QByteArray>("zonesFile");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("all zones") << QByteArray("ru\r\ncom\r\n") << QStringLiteral("red\ncat\n") << 0 << 0
                               << QStringList { u"redcat.ru"_qs, u"redcat.com"_qs, u"catred.ru"_qs, u"catred.com"_qs };
    QTest::newRow("one zone as written") << QByteArray("ru\r\nCOM\r\n") << QStringLiteral("red\ncat") << 0 << 2
                                         << QStringList { u"redcat.COM"_qs, u"catred.COM"_qs };
    QTest::newRow("empty zone line used") << QByteArray("ru\r\n\r\ncom") << QStringLiteral("a\nb") << 0 << 0
                                          << QStringList { u"ab.ru"_qs, u"ab."_qs, u"ab.com"_qs, u"ba.ru"_qs,
                                                 u"ba."_qs, u"ba.com"_qs };
    QTest::newRow("no-break space inside kept") << QByteArray("ru") << u"a\u00A0c\nb"_qs << 0 << 1
                                                << QStringList { u"a\u00A0cb.ru"_qs, u"ba\u00A0c.ru"_qs };
    QTest::newRow("keywords trimmed, blank lines dropped") << QByteArray("ru") << QStringLiteral("a \n\n \nb") << 0
                                                           << 1 << QStringList { u"ab.ru"_qs, u"ba.ru"_qs };
    QTest::newRow("three words") << QByteArray("ru") << QStringLiteral("a\nb\nc") << 1 << 1
                                 << QStringList { u"abc.ru"_qs, u"acb.ru"_qs, u"bac.ru"_qs, u"bca.ru"_qs,
                                        u"cab.ru"_qs, u"cba.ru"_qs };
}

void TestMainForm::startFillsGrid()
{
    QFETCH(QByteArray, zonesFile);
    QFETCH(QString, memo);
    QFETCH(int, mode);
    QFETCH(int, zone);
    QFETCH(QStringList, names);
    WriteZones(zonesFile);
    TMainForm form;
    form.show();
    Run(form, memo, mode, zone);
    QStringList shown;
    for (int r = 0; r < form.Grid().RowCount(); ++r) {
        shown << form.Grid().CellText(r, 0);
        QCOMPARE(form.Grid().CellText(r, 2), QStringLiteral("-1"));
    }
    QCOMPARE(shown, names);
    QVERIFY(form.ResultsPane->ResultsView()->isVisible());
    QVERIFY(form.ResultCommandsEnabled());
    QVERIFY(FDialogs->FShown.isEmpty());
}

void TestMainForm::noWords_data()
{
    QTest::addColumn<QString>("memo");
    QTest::newRow("empty") << QString();
    QTest::newRow("one line") << QStringLiteral("red");
    QTest::newRow("one line with a break") << QStringLiteral("red\n");
}

void TestMainForm::noWords()
{
    QFETCH(QString, memo);
    TMainForm form;
    form.show();
    Run(form, memo);
    QCOMPARE(FDialogs->FShown.size(), 1);
    QCOMPARE(FDialogs->FShown.at(0).Title, QStringLiteral("Нет слов"));
    QCOMPARE(FDialogs->FShown.at(0).Text, QStringLiteral("Для продолжения, нужно ввести слова для генерации"));
    QCOMPARE(FDialogs->FShown.at(0).Icon, TUserDialogs::TIcon::Information);
    QVERIFY(form.Domains->Words.isEmpty());
    QCOMPARE(form.Grid().RowCount(), 0);
}

void TestMainForm::equalWordsGiveNothing()
{
    TMainForm form;
    form.show();
    // One keyword typed twice, in two letter cases, is one keyword: not enough to start.
    Run(form, QStringLiteral("red\n RED\n\n"));
    QCOMPARE(FDialogs->FShown.size(), 1);
    QCOMPARE(FDialogs->FShown.at(0).Title, QStringLiteral("Нет слов"));
    QCOMPARE(form.MemoWords->toPlainText(), QStringLiteral("red\n RED\n\n"));
    QCOMPARE(form.Grid().RowCount(), 0);
    QVERIFY(!form.ResultsPane->ResultsView()->isVisible());
    QVERIFY(form.ResultsPane->PanelHideContent()->isVisible());
    QVERIFY(!form.ResultCommandsEnabled());
}

void TestMainForm::startAgainReplacesRows()
{
    TMainForm form;
    form.show();
    Run(form, QStringLiteral("red\ncat\nsun"));
    QCOMPARE(form.Grid().RowCount(), 12);
    form.Domains->Candidates[0].Status = 1;
    Run(form, QStringLiteral("x\ny"), 0, 1);
    QCOMPARE(form.Grid().RowCount(), 2);
    QCOMPARE(form.Grid().CellText(0, 0), QStringLiteral("xy.ru"));
    QCOMPARE(form.Grid().CellText(0, 2), QStringLiteral("-1"));
    QCOMPARE(form.Grid().CellText(1, 0), QStringLiteral("yx.ru"));
}

void TestMainForm::clearKeepsCommands()
{
    TMainForm form;
    form.show();
    Run(form, QStringLiteral("red\ncat"));
    QVERIFY(form.ResultCommandsEnabled());
    form.BtnClearMain->click();
    QCOMPARE(form.Grid().RowCount(), 0);
    QVERIFY(form.ResultsPane->PanelHideContent()->isVisible());
    QVERIFY(!form.ResultsPane->ResultsView()->isVisible());
    // Clearing leaves the candidate list and the result commands as they were.
    QCOMPARE(form.Domains->Candidates.size(), 4);
    QVERIFY(form.ResultCommandsEnabled());
    // A run without candidates disables them.
    form.Setting_FirstList.clear();
    Run(form, QStringLiteral("a\nb"));
    QCOMPARE(form.Domains->Candidates.size(), 0);
    QVERIFY(!form.ResultCommandsEnabled());
}

void TestMainForm::hintAndScrollBar()
{
    TMainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.PanelWordHint->isVisible());
    QTest::keyClick(form.MemoWords, Qt::Key_Space);
    QVERIFY(!form.PanelWordHint->isVisible());
    QTest::keyClick(form.MemoWords, Qt::Key_Backspace);
    QVERIFY(form.PanelWordHint->isVisible());

    QStringList lines;
    for (int i = 0; i < 20; ++i)
        lines << QString::number(i);
    form.MemoWords->setPlainText(lines.join(u'\n') + u'\n');
    QCOMPARE(form.MemoWords->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    lines << QStringLiteral("20");
    form.MemoWords->setPlainText(lines.join(u'\n'));
    QCOMPARE(form.MemoWords->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    // A click on the hint puts the focus into the memo; the panel stays until something is typed.
    form.MemoWords->clear();
    form.BtnStart->setFocus();
    QTest::mouseClick(form.EmptyListHint, Qt::LeftButton);
    QVERIFY(form.MemoWords->hasFocus());
    QVERIFY(form.PanelWordHint->isVisible());
}

void TestMainForm::openWordList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("memo");
    QTest::newRow("UTF-8 with mark, CR LF") << QByteArray("\xEF\xBB\xBFкот\r\ndog\r\n") << u"кот\ndog\n"_qs;
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\x3A\x04\x3E\x04\x42\x04\n\0", 10) << u"кот\n"_qs;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\x04\x3A\x04\x3E\x04\x42\0\n", 10) << u"кот\n"_qs;
    QTest::newRow("1251, lone CR") << Cp1251("кот") + QByteArray("\rdog") << u"кот\ndog"_qs;
    QTest::newRow("UTF-8 without mark, LF") << QByteArray("кот\ndog") << u"кот\ndog"_qs;
}

void TestMainForm::openWordList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, memo);
    TMainForm form;
    form.show();
    form.MemoWords->setPlainText(QStringLiteral("old"));
    FDialogs->FFileNames << FEnv->WriteFile(QStringLiteral("words.txt"), bytes);
    form.BtnOpen->click();
    QCOMPARE(MemoText(form.MemoWords), memo);
    QCOMPARE(form.PanelWordHint->isVisible(), memo.isEmpty());
    // Cancelling changes nothing.
    form.BtnOpen->click();
    QCOMPARE(MemoText(form.MemoWords), memo);
}

void TestMainForm::openStartupFile_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<bool>("error");
    QTest::newRow("no argument") << QString() << QString() << false;
    QTest::newRow("word list") << u"words.txt"_qs << u"кот\ndog"_qs << false;
    QTest::newRow("missing file") << u"absent.txt"_qs << QString() << true;
    QTest::newRow("folder") << u"."_qs << QString() << true;
}

// The program started with a file, as a file manager starts it: the words come in, a bad file is reported.
void TestMainForm::openStartupFile()
{
    QFETCH(QString, argument);
    QFETCH(QString, memo);
    QFETCH(bool, error);
    FEnv->WriteFile(QStringLiteral("words.txt"), Cp1251("кот") + QByteArray("\r\ndog"));
    TMainForm form;
    form.show();
    QStringList arguments { u"orvanta"_qs };
    if (!argument.isEmpty())
        arguments << FEnv->Root() + u'/' + argument;
    form.OpenStartupFile(arguments);
    QCOMPARE(MemoText(form.MemoWords), memo);
    QCOMPARE(FDialogs->FShown.size(), error ? 1 : 0);
    if (error) {
        QCOMPARE(FDialogs->FShown.first().Title, u"Orvanta"_qs);
        QCOMPARE(FDialogs->FShown.first().Icon, TUserDialogs::TIcon::Stop);
        QVERIFY(FDialogs->FShown.first().Text.startsWith(u"Не удалось"_qs));
    }
}

void TestMainForm::saveWordList_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("1251 when it fits") << u"кот\ndog"_qs << Cp1251("кот") + QByteArray("\r\ndog");
    QTest::newRow("final break kept") << u"a\nb\n"_qs << QByteArray("a\r\nb\r\n");
    QTest::newRow("UTF-8 with mark otherwise") << u"日本\nкот"_qs << QByteArray("\xEF\xBB\xBF日本\r\nкот");
    // A no-break space is kept, not turned into a plain one (1251 has it as A0).
    QTest::newRow("no-break space kept") << u"a\u00A0b\nc"_qs << QByteArray("a\xA0" "b\r\nc");
}

void TestMainForm::saveWordList()
{
    QFETCH(QString, memo);
    QFETCH(QByteArray, bytes);
    TMainForm form;
    form.MemoWords->setPlainText(memo);
    // Typed without an extension: ".txt" is added.
    FDialogs->FFileNames << FEnv->Root() + QStringLiteral("/list");
    form.BtnSave->click();
    QCOMPARE(ReadAll(FEnv->Root() + QStringLiteral("/list.txt")), bytes);
    QCOMPARE(FDialogs->FFileRequests.last().DefaultSuffix, QStringLiteral("txt"));

    // Round trip through open.
    form.MemoWords->clear();
    FDialogs->FFileNames << FEnv->Root() + QStringLiteral("/list.txt");
    form.BtnOpen->click();
    QCOMPARE(MemoText(form.MemoWords), memo);
}

void TestMainForm::creationEffects_data()
{
    QTest::addColumn<QByteArray>("zonesFile");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("zones in order") << QByteArray("ru\r\nрф\r\n\r\ncom")
                                    << QStringList { u"Все доменные зоны"_qs, u"ru"_qs, u"рф"_qs, QString(), u"com"_qs };
    QTest::newRow("empty list") << QByteArray() << QStringList { u"Все доменные зоны"_qs };
}

void TestMainForm::creationEffects()
{
    QFETCH(QByteArray, zonesFile);
    QFETCH(QStringList, entries);
    QFile::remove(TSettingsStore::FilePath());
    WriteZones(QByteArray("\xEF\xBB\xBF") + zonesFile);
    // The start-up tips come first on a first start; close them as a user would.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    TMainForm form;
    QStringList shown;
    for (int i = 0; i < form.ComboBoxZones->count(); ++i)
        shown << form.ComboBoxZones->itemText(i);
    QCOMPARE(shown, entries);
    QCOMPARE(form.ComboBoxZones->currentIndex(), 0);
    QCOMPARE(TSettingsStore::ReadDWord(u"NotFirstRun"_qs), std::optional<quint32>(1));
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(1));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoCheckGenerate"_qs), std::optional<quint32>(0));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(0));
}

void TestMainForm::placementSurvivesRestart()
{
    {
        TMainForm form;
        form.show();
        form.setGeometry(QRect(QPoint(40, 50), QSize(900, 600)));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_WS"_qs), std::optional<quint32>(0));
    TMainForm again;
    QCOMPARE(again.size(), QSize(900, 600));
    QCOMPARE(int(TSettingsStore::ReadDWord(u"MainForm_W"_qs).value()), 900);
}

void TestMainForm::errorReportAndWindowGoesOn()
{
    TMainForm form;
    form.show();
    form.MemoWords->setPlainText(QStringLiteral("red\ncat"));
    FDialogs->FFileNames << FEnv->Root() + QStringLiteral("/no/such/folder/list.txt");
    form.BtnSave->click();
    QCOMPARE(FDialogs->FShown.size(), 1);
    QCOMPARE(FDialogs->FShown.at(0).Title, QStringLiteral("Orvanta"));
    QCOMPARE(FDialogs->FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY(!FDialogs->FShown.at(0).Text.isEmpty());
    QCOMPARE(MemoText(form.MemoWords), QStringLiteral("red\ncat"));
    // The window keeps working.
    form.BtnStart->click();
    QCOMPARE(form.Grid().RowCount(), 4);
}

void TestMainForm::largeRunAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no keeps everything") << false;
    QTest::newRow("yes runs") << true;
}

void TestMainForm::largeRunAsksFirst()
{
    QFETCH(bool, yes);
    TMainForm form;
    // 1000 keywords in two zones: 1000·999·2 = 1,998,000 names, not more than the limit: no question.
    QStringList words;
    for (int i = 0; i < 1000; ++i)
        words << QStringLiteral("w%1").arg(i);
    Run(form, words.join(u'\n'), 0, 0);
    QVERIFY(FDialogs->FShown.isEmpty());
    QCOMPARE(form.Grid().RowCount(), 1998000);

    // One more keyword: 1001·1000·2 = 2,002,000 names.
    words << QStringLiteral("w1000");
    FDialogs->FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    Run(form, words.join(u'\n'), 0, 0);
    QCOMPARE(FDialogs->FShown.size(), 1);
    QCOMPARE(FDialogs->FShown.at(0).Text,
        QStringLiteral("Будет создано 2002000 доменных имен. Это может занять много времени и памяти. Продолжить?"));
    QCOMPARE(FDialogs->FShown.at(0).Buttons, TUserDialogs::TButtons::YesNo);
    QCOMPARE(form.Grid().RowCount(), yes ? 2002000 : 1998000);
}

void TestMainForm::webCommands()
{
    QStringList opened;
    SetOpenDocumentHandler([&](const QString& t) {
        opened << t;
        return true;
    });
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9");
    TMainForm form;
    form.BtnHelp->click();
    form.BtnWeb->click();
    form.MI_Suggest->trigger();
    form.MI_Support->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    SetOpenDocumentHandler({});
    QCOMPARE(opened, (QStringList { u"http://127.0.0.1:9/faq.php"_qs, u"http://127.0.0.1:9"_qs,
                         u"http://127.0.0.1:9/contact.php"_qs, u"http://127.0.0.1:9/contact.php"_qs }));
}

void TestMainForm::settingsDialogResetsZoneChoice()
{
    TMainForm form;
    form.show();
    form.ComboBoxZones->setCurrentIndex(2);
    WriteZones("net\r\norg\r\nbiz\r\n");
    // Closed with "Отмена" as a user would; the zone list is reloaded all the same.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    form.BtnSetting->click();
    QCOMPARE(form.ComboBoxZones->currentIndex(), 0);
    QCOMPARE(form.ComboBoxZones->count(), 4);
    QCOMPARE(form.ComboBoxZones->itemText(3), QStringLiteral("biz"));
    QCOMPARE(form.Setting_FirstList, (QStringList { u"net"_qs, u"org"_qs, u"biz"_qs }));
}

void TestMainForm::writersFromBothMenus_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("firstLine");
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("menu CSV export") << u"MI_ExportCSV"_qs << u"csv"_qs << bom + "redcat.ru;ru;-1;;;";
    QTest::newRow("menu text export") << u"Mi_ExportText"_qs << u"txt"_qs << bom + "redcat.ru";
    QTest::newRow("menu text report") << u"MI_ReportText"_qs << u"txt"_qs
                                      << bom + QStringLiteral("Отчет подготовлен в программе Orvanta").toUtf8();
    QTest::newRow("menu HTML report") << u"MI_ReportHTML"_qs << u"htm"_qs << bom + "<html>";
    QTest::newRow("menu CSV report") << u"MI_ReportCSV"_qs << u"csv"_qs
                                     << bom + QStringLiteral("Домен;Статус;PR;ТИЦ").toUtf8();
    QTest::newRow("popup CSV export") << u"PM_ExportCSV"_qs << u"csv"_qs << bom + "redcat.ru;ru;-1;;;";
    QTest::newRow("popup text export") << u"PM_ExportText"_qs << u"txt"_qs << bom + "redcat.ru";
    QTest::newRow("popup text report") << u"PM_ReportText"_qs << u"txt"_qs
                                       << bom + QStringLiteral("Отчет подготовлен в программе Orvanta").toUtf8();
    QTest::newRow("popup HTML report") << u"PM_ReportHTML"_qs << u"htm"_qs << bom + "<html>";
    QTest::newRow("popup CSV report") << u"PM_ReportCSV"_qs << u"csv"_qs
                                      << bom + QStringLiteral("Домен;Статус;PR;ТИЦ").toUtf8();
}

void TestMainForm::writersFromBothMenus()
{
    QFETCH(QString, item);
    QFETCH(QString, suffix);
    QFETCH(QByteArray, firstLine);
    TMainForm form;
    form.show();
    Run(form, QStringLiteral("red\ncat"));
    const QHash<QString, QAction*> actions { { u"MI_ExportCSV"_qs, form.MI_ExportCSV },
        { u"Mi_ExportText"_qs, form.Mi_ExportText }, { u"MI_ReportText"_qs, form.MI_ReportText },
        { u"MI_ReportHTML"_qs, form.MI_ReportHTML }, { u"MI_ReportCSV"_qs, form.MI_ReportCSV },
        { u"PM_ExportCSV"_qs, form.PM_ExportCSV }, { u"PM_ExportText"_qs, form.PM_ExportText },
        { u"PM_ReportText"_qs, form.PM_ReportText }, { u"PM_ReportHTML"_qs, form.PM_ReportHTML },
        { u"PM_ReportCSV"_qs, form.PM_ReportCSV } };
    FDialogs->FFileNames << FEnv->Root() + u"/results"_qs;
    actions.value(item)->trigger();
    const QByteArray written = ReadAll(FEnv->Root() + u"/results."_qs + suffix);
    QVERIFY2(written.startsWith(firstLine), written.left(80).constData());
    QCOMPARE(written.count("redcat.ru"), 1);
    QCOMPARE(written.count("catred.com"), 1);
    QVERIFY(FDialogs->FShown.isEmpty());

    // After clearing, the commands stay enabled and write a file without rows.
    form.BtnClearMain->click();
    FDialogs->FFileNames << FEnv->Root() + u"/cleared"_qs;
    actions.value(item)->trigger();
    const QByteArray cleared = ReadAll(FEnv->Root() + u"/cleared."_qs + suffix);
    QVERIFY(cleared.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!cleared.contains("redcat"));
}

void TestMainForm::qtTextsInRussian()
{
    QVERIFY(InstallQtTranslations());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
}

void TestMainForm::errorLeavesRowsUsable()
{
    TWhoisTestServer whois;
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
    THttpTestServer http;
    http.Handler = [&http](const THttpTestServer::TRequest&) {
        return http.Requests.size() == 2 ? THttpTestServer::TReply { 500, {}, "broken", false, {} }
                                         : THttpTestServer::Text("pr_ 2 _pr tyc_ 10 _tyc");
    };
    TSiteUrlOverride site(http.BaseUrl());
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    TSettingsStore::WriteDWord(u"AutoRange"_qs, 1);
    FEnv->WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "*:127.0.0.1\r\n");
    TMainForm form;
    form.Domains->WhoisPort = whois.Port();
    form.show();
    Run(form, QStringLiteral("red\ncat"));

    // The check's summary counts the failure; then the metrics error is reported.
    QCOMPARE(FDialogs->FShown.size(), 2);
    QCOMPARE(FDialogs->FShown.at(0).Text.section(u'\n', 1), u"сервер закрыл соединение, ничего не ответив — 1"_qs);
    QCOMPARE(FDialogs->FShown.at(1).Icon, TUserDialogs::TIcon::Stop);
    // The rows the run showed can be saved like any others.
    QCOMPARE(form.Grid().RowCount(), 4);
    QVERIFY(form.ResultsPane->ResultsView()->isVisible());
    QVERIFY(form.ResultCommandsEnabled());
    // The failed name says why, and where it was asked; the others say nothing.
    const QAbstractItemModel* model = form.ResultsPane->ResultsView()->model();
    QCOMPARE(model->index(2, 0).data().toString(), u"catred.ru"_qs);
    QCOMPARE(model->index(2, 2).data(Qt::ToolTipRole).toString(),
        u"сервер закрыл соединение, ничего не ответив (WHOIS, 127.0.0.1)"_qs);
    QVERIFY(model->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty());
}

void TestMainForm::recheckAsksOnlyUnjudged()
{
    TWhoisTestServer whois;
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, QByteArray() });
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    FEnv->WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "*:127.0.0.1\r\n");
    TMainForm form;
    form.Domains->WhoisPort = whois.Port();
    form.show();
    Run(form, QStringLiteral("red\ncat"), 0, 1);
    QCOMPARE(whois.Received.size(), 2);
    QCOMPARE(form.Grid().CellText(1, 2), u"-1"_qs);
    FDialogs->FShown.clear();

    // The registry answers now; the command (in the report menu and the grid's context menu) asks about
    // the failed name only.
    whois.Script("catred.ru", { TWhoisTestServer::TMode::Answer, "No entries found\r\n" });
    QList<QAction*> commands;
    for (QAction* a : form.findChildren<QAction*>())
        if (a->text() == u"Проверить непроверенные заново"_qs)
            commands << a;
    QCOMPARE(commands.size(), 2);
    QAction* command = commands.first();
    command->trigger();
    QTRY_VERIFY(!form.Domains->Running());
    QCOMPARE(whois.Received, (QList<QByteArray> { "redcat.ru\r\n", "catred.ru\r\n", "catred.ru\r\n" }));
    QCOMPARE(form.Grid().CellText(0, 2), u"1"_qs);
    QCOMPARE(form.Grid().CellText(1, 2), u"0"_qs);
    QVERIFY(form.ResultsPane->ResultsView()->model()->index(1, 2).data(Qt::ToolTipRole).toString().isEmpty());
    QVERIFY(FDialogs->FShown.isEmpty());
    QVERIFY(form.BtnStart->isEnabled());
    // Nothing left to ask: the command does nothing.
    command->trigger();
    QVERIFY(!form.Domains->Running());
    QCOMPARE(whois.Received.size(), 3);
}

// A registry that judges redcat.ru free and never answers about any other name, and the check switched on
// for the next window.
void TestMainForm::PrepareHangingRegistry(TWhoisTestServer& server)
{
    server.Default = { TWhoisTestServer::TMode::Silent, {} };
    server.Script("redcat.ru", { TWhoisTestServer::TMode::Answer, "No match for \"REDCAT.RU\".\r\n" });
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    FEnv->WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "*:127.0.0.1\r\n");
}

void TestMainForm::closeStopsRun()
{
    TWhoisTestServer server;
    PrepareHangingRegistry(server);
    TMainForm form;
    form.Domains->WhoisPort = server.Port();
    form.show();
    // Four names: no progress dialog guards the window, so a close can arrive mid-run.
    form.MemoWords->setPlainText(u"red\ncat"_qs);
    QTest::mouseClick(form.BtnStart, Qt::LeftButton);
    QVERIFY(form.Domains->Running());
    QVERIFY(!form.BtnStart->isEnabled());
    // The second name's server never answers: the run waits on it when the close comes.
    QTRY_COMPARE(server.Received.size(), 2);
    QElapsedTimer clock;
    clock.start();
    form.close();
    QVERIFY(clock.elapsed() < 1000);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.Domains->Running());
    // The verdict obtained is kept; the rest stay unchecked.
    QCOMPARE(form.Grid().CellText(0, 2), u"0"_qs);
    QCOMPARE(form.Grid().CellText(1, 2), u"-1"_qs);
    QVERIFY(!form.Domains->Candidates.at(1).Failed());
}

void TestMainForm::stopButtonKeepsVerdicts()
{
    TWhoisTestServer server;
    PrepareHangingRegistry(server);
    TMainForm form;
    form.Domains->WhoisPort = server.Port();
    form.show();
    // Six names: the progress dialog comes up, with its stop button, and the window is disabled.
    form.MemoWords->setPlainText(u"red\ncat\nsun"_qs);
    form.ComboBoxZones->setCurrentIndex(1);
    QTest::mouseClick(form.BtnStart, Qt::LeftButton);
    QWidget* progress = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == u"ProgressForm")
            progress = w;
    QVERIFY(progress);
    QTRY_VERIFY(progress->isVisible());
    QVERIFY(!form.isEnabled());
    QTRY_COMPARE(server.Received.size(), 2);
    auto* details = progress->findChild<QLabel*>(u"DetailsLabel"_qs);
    QVERIFY(details);
    QTRY_VERIFY(details->text().startsWith(u"Проверено 1 из 6"_qs));
    auto* stop = progress->findChild<QPushButton*>(u"CancelBtn"_qs);
    QVERIFY(stop && stop->isVisible() && stop->isEnabled());
    QTest::mouseClick(stop, Qt::LeftButton);
    // Stopped at once: the dialog is gone, the window usable, the grid shows what was obtained.
    QVERIFY(!form.Domains->Running());
    QVERIFY(!progress->isVisible());
    QVERIFY(form.isEnabled());
    QVERIFY(form.BtnStart->isEnabled());
    QCOMPARE(form.Grid().RowCount(), 6);
    QCOMPARE(form.Grid().CellText(0, 2), u"0"_qs);
    for (int r = 1; r < 6; ++r)
        QCOMPARE(form.Grid().CellText(r, 2), u"-1"_qs);
    QVERIFY(form.ResultCommandsEnabled());
    QVERIFY(FDialogs->FShown.isEmpty());
}

enum class TUnusable { Folder, DanglingLink, LinkLoop, Pipe, Unreadable, FolderIsAFile };
Q_DECLARE_METATYPE(TUnusable)

void TestMainForm::unusableSettingsFile_data()
{
    QTest::addColumn<TUnusable>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a folder") << TUnusable::Folder << u"Это папка, а не файл"_qs;
    QTest::newRow("a dangling link") << TUnusable::DanglingLink << u"Символическая ссылка ведет к несуществующему файлу"_qs;
    QTest::newRow("a link loop") << TUnusable::LinkLoop << u"Символические ссылки образуют петлю"_qs;
    QTest::newRow("a pipe") << TUnusable::Pipe << u"Это не обычный файл, а устройство, канал или сокет"_qs;
    QTest::newRow("an unreadable file") << TUnusable::Unreadable << u"Доступ запрещен"_qs;
    QTest::newRow("its folder is a file") << TUnusable::FolderIsAFile << u"Часть пути не является папкой"_qs;
}

// The program starts on its defaults, says once what is wrong with which file, goes on working, ends cleanly
// and leaves the file as it found it.
void TestMainForm::unusableSettingsFile()
{
    QFETCH(TUnusable, kind);
    QFETCH(QString, reason);
    const QString path = TSettingsStore::FilePath();
    const QString folder = QFileInfo(path).absolutePath();
    QVERIFY(QFile::remove(path));
    switch (kind) {
    case TUnusable::Folder:
        QVERIFY(QDir().mkpath(path));
        break;
    case TUnusable::DanglingLink:
        QVERIFY(QFile::link(folder + u"/gone.reg"_qs, path));
        break;
    case TUnusable::LinkLoop:
        QVERIFY(QFile::link(folder + u"/other.reg"_qs, path));
        QVERIFY(QFile::link(path, folder + u"/other.reg"_qs));
        break;
    case TUnusable::Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case TUnusable::Unreadable:
        if (::geteuid() == 0)
            QSKIP("root reads any file");
        WriteAll(path, "\"NotFirstRun\"=dword:00000001\n");
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        break;
    case TUnusable::FolderIsAFile:
        QVERIFY(QDir(folder).removeRecursively());
        WriteAll(folder, "not a folder");
        break;
    }
    const QString before = FolderState(FEnv->ConfigHome());

    {
        TMainForm form;
        form.show();
        QCOMPARE(FDialogs->FShown.size(), 1);
        QCOMPARE(FDialogs->FShown.at(0).Icon, TUserDialogs::TIcon::Warning);
        const QString text = FDialogs->FShown.at(0).Text;
        QVERIFY2(text.contains(u'"' + path + u'"') && text.contains(reason), qPrintable(text));
        Run(form, u"red\ncat"_qs);
        QCOMPARE(form.Grid().RowCount(), 4);
        form.close();
    }
    // Nothing more at the end: the window's placement is simply not kept.
    QCOMPARE(FDialogs->FShown.size(), 1);
    QCOMPARE(FolderState(FEnv->ConfigHome()), before);

    // The real program: it starts, names the problem, and ends normally on SIGTERM.
    const QString runtime = FEnv->Root() + u"/run"_qs;
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment env = ProgramEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_qs, runtime);
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(BuildFile(u"orvanta"_qs), {});
    QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));
    QByteArray err;
    const bool said = WaitFor([&] {
        err += program.readAllStandardError();
        return QString::fromUtf8(err).contains(reason) || program.state() == QProcess::NotRunning;
    }, 30000);
    QVERIFY2(said && QString::fromUtf8(err).contains(path), err.constData());
    QCOMPARE(program.state(), QProcess::Running);
    program.terminate();
    QVERIFY(WaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(FolderState(FEnv->ConfigHome()), before);
}

void TestMainForm::shortcutsAndIcons_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("button"); // the toolbar button whose picture the item carries
    QTest::newRow("start") << u"MI_Start"_qs << QKeySequence(u"Ctrl+Return"_qs) << u"BtnStart"_qs;
    QTest::newRow("open") << u"MI_OpenWords"_qs << QKeySequence(u"Ctrl+O"_qs) << u"BtnOpen"_qs;
    QTest::newRow("save") << u"MI_SaveWords"_qs << QKeySequence(u"Ctrl+S"_qs) << u"BtnSave"_qs;
    QTest::newRow("help") << u"MI_Help"_qs << QKeySequence(u"F1"_qs) << u"BtnHelp"_qs;
    QTest::newRow("exit") << u"MI_Exit"_qs << QKeySequence(u"Ctrl+Q"_qs) << QString();
    QTest::newRow("copy") << u"PM_CopyNames"_qs << QKeySequence(u"Ctrl+C"_qs) << QString();
    QTest::newRow("clear") << u"MI_ClearResult"_qs << QKeySequence() << u"BtnClearMain"_qs;
    QTest::newRow("settings") << u"MI_Settings"_qs << QKeySequence() << u"BtnSetting"_qs;
    QTest::newRow("site") << u"MI_Web"_qs << QKeySequence() << u"BtnWeb"_qs;
}

void TestMainForm::shortcutsAndIcons()
{
    QFETCH(QString, item);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, button);
    TMainForm form;
    const QHash<QString, QAction*> actions { { u"MI_Start"_qs, form.MI_Start },
        { u"MI_OpenWords"_qs, form.MI_OpenWords }, { u"MI_SaveWords"_qs, form.MI_SaveWords },
        { u"MI_Help"_qs, form.MI_Help }, { u"MI_Exit"_qs, form.MI_Exit }, { u"PM_CopyNames"_qs, form.PM_CopyNames },
        { u"MI_ClearResult"_qs, form.MI_ClearResult }, { u"MI_Settings"_qs, form.MI_Settings },
        { u"MI_Web"_qs, form.MI_Web } };
    QAction* action = actions.value(item);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), keys);
    QVERIFY(!action->icon().isNull());
    if (!button.isEmpty()) {
        auto* widget = form.findChild<QAbstractButton*>(button);
        QVERIFY(widget);
        QCOMPARE(action->icon().cacheKey(), widget->icon().cacheKey());
    }
}

void TestMainForm::shortcutKeysReachTheirCommands()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    // Toolbar pictures from the one theme the set-up installs, all at the same size.
    QCOMPARE(AppIconTheme(), u"Tango"_qs);
    QCOMPARE(form.BtnSetting->icon().name(), u"preferences-system"_qs);
    QCOMPARE(form.BtnWeb->icon().name(), u"internet-web-browser"_qs);
    for (QToolButton* b : { form.BtnClearMain, form.BtnOpen, form.BtnSave, form.BtnSetting, form.BtnWeb, form.BtnHelp })
        QCOMPARE(b->iconSize(), QSize(32, 32));

    // Ctrl+Enter in the keyword list starts, and adds no line to it.
    form.MemoWords->setPlainText(u"red\ncat"_qs);
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(form.Grid().RowCount(), 4);
    QCOMPARE(form.MemoWords->toPlainText(), u"red\ncat"_qs);

    // Ctrl+C in the keyword list copies its text, not the grid's names.
    form.ResultsPane->ResultsView()->selectRow(0);
    form.MemoWords->selectAll();
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"red\ncat"_qs);

    // Ctrl+O asks for a word list.
    QTest::keyClick(form.MemoWords, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(FDialogs->FFileRequests.size(), 1);
    QVERIFY(FDialogs->FFileRequests.at(0).DefaultSuffix.isEmpty());
}

void TestMainForm::smallRunShowsBusy()
{
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Drip, "No match for it.\r\n", 20, 4 };
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    FEnv->WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "*:127.0.0.1\r\n");
    TMainForm form;
    form.Domains->WhoisPort = server.Port();
    form.show();
    // Four names: too few for the progress dialog.
    bool startEnabled = true;
    bool busyCursor = false;
    bool progressShown = true;
    QTimer probe;
    connect(&probe, &QTimer::timeout, &form, [&] {
        if (!form.Domains->Running())
            return;
        startEnabled = form.BtnStart->isEnabled() || form.MI_Start->isEnabled();
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        progressShown = form.ProgressForm->isVisible();
        probe.stop();
    });
    probe.start(5);
    Run(form, QStringLiteral("red\ncat"));
    QVERIFY(!probe.isActive());
    QVERIFY(!startEnabled);
    QVERIFY(busyCursor);
    QVERIFY(!progressShown);
    // Over: Start is back and the cursor is the window's own again.
    QVERIFY(form.BtnStart->isEnabled());
    QVERIFY(form.MI_Start->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(form.Grid().CellText(0, 2), u"0"_qs);
}

void TestMainForm::failedWebPageSaysSo()
{
    SetOpenDocumentHandler([](const QString&) { return false; });
    qputenv("ORVANTA_SITE_URL", "http://127.0.0.1:9");
    TMainForm form;
    form.BtnWeb->click();
    form.MI_Help->trigger();
    qunsetenv("ORVANTA_SITE_URL");
    SetOpenDocumentHandler({});
    QCOMPARE(FDialogs->FShown.size(), 2);
    QCOMPARE(FDialogs->FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY(FDialogs->FShown.at(0).Text.startsWith(u"Не удалось открыть страницу в браузере:\nhttp://127.0.0.1:9\n"_qs));
    QVERIFY(FDialogs->FShown.at(1).Text.contains(u"http://127.0.0.1:9/faq.php"_qs));
    QVERIFY(form.isEnabled());
}

void TestMainForm::lastFolderPerKind_data()
{
    QTest::addColumn<QString>("first");  // the command that chooses a file in folder "one"
    QTest::addColumn<QString>("second"); // the next command, after a restart
    QTest::addColumn<bool>("same");      // whether it starts in "one"
    QTest::newRow("open, then open") << u"open"_qs << u"open"_qs << true;
    QTest::newRow("save list, then open") << u"save"_qs << u"open"_qs << true;
    QTest::newRow("report, then report") << u"report"_qs << u"export"_qs << true;
    QTest::newRow("report, then open list") << u"report"_qs << u"open"_qs << false;
    QTest::newRow("open list, then report") << u"open"_qs << u"report"_qs << false;
}

void TestMainForm::lastFolderPerKind()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);
    const QString folder = QFileInfo(FEnv->WriteFile(u"one/words.txt"_qs, "red\r\ncat\r\n")).absolutePath();
    const auto command = [](TMainForm& form, const QString& name) {
        if (name == u"open")
            form.MI_OpenWords->trigger();
        else if (name == u"save")
            form.MI_SaveWords->trigger();
        else if (name == u"report")
            form.MI_ReportHTML->trigger();
        else
            form.Mi_ExportText->trigger();
    };
    {
        TMainForm form;
        Run(form, u"red\ncat"_qs);
        FDialogs->FFileNames << folder + (first == u"open" ? u"/words.txt"_qs : u"/out"_qs);
        command(form, first);
        QCOMPARE(FDialogs->FFileRequests.size(), 1);
        QVERIFY(FDialogs->FFileRequests.at(0).Start.isEmpty());
    }
    TMainForm form;
    Run(form, u"red\ncat"_qs);
    command(form, second);
    QCOMPARE(FDialogs->FFileRequests.size(), 2);
    QCOMPARE(FDialogs->FFileRequests.at(1).Start, same ? folder : QString());
}

void TestMainForm::reportsWriteRowsAsShown()
{
    TWhoisTestServer server;
    server.Default = { TWhoisTestServer::TMode::Answer, "No match for it.\r\n" };
    server.Script("catred.ru", { TWhoisTestServer::TMode::Answer, "Domain Name: CATRED.RU\r\n" });
    TSettingsStore::WriteDWord(u"AutoCheckGenerate"_qs, 1);
    FEnv->WriteFile(u"data/Quorbel Software/Orvanta/whois.dat"_qs, "ru:127.0.0.1\r\n");
    TMainForm form;
    form.Domains->WhoisPort = server.Port();
    form.show();
    Run(form, u"red\ncat\nsun"_qs, 0, 1);
    QCOMPARE(form.Grid().TotalCount(), 6);
    // Free names only, name descending: the order and the rows of the screen.
    form.ResultsPane->ComboBoxShow()->setCurrentIndex(1);
    ClickHeader(form.ResultsPane->ResultsView(), 0);
    ClickHeader(form.ResultsPane->ResultsView(), 0);
    FDialogs->FFileNames << FEnv->Root() + u"/shown"_qs << FEnv->Root() + u"/shown"_qs;
    form.Mi_ExportText->trigger();
    QCOMPARE(ReadAll(FEnv->Root() + u"/shown.txt"_qs),
        QByteArray("\xEF\xBB\xBFsunred.ru\r\nsuncat.ru\r\nredsun.ru\r\nredcat.ru\r\ncatsun.ru\r\n"));
    form.MI_ExportCSV->trigger();
    const QByteArray csv = ReadAll(FEnv->Root() + u"/shown.csv"_qs);
    QVERIFY2(csv.startsWith("\xEF\xBB\xBFsunred.ru;ru;0;"), csv.constData());
    QVERIFY(!csv.contains("catred"));
}

void TestMainForm::copyNamesFromContextMenu()
{
    TMainForm form;
    form.show();
    Run(form, u"red\ncat"_qs, 0, 1);
    QVERIFY(form.PM_CopyNames->isEnabled());
    QTableView* grid = form.ResultsPane->ResultsView();
    grid->selectionModel()->select(QItemSelection(grid->model()->index(0, 0), grid->model()->index(1, 4)),
        QItemSelectionModel::ClearAndSelect);
    form.PM_CopyNames->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"redcat.ru\ncatred.ru"_qs);
}

void TestMainForm::updateOfferedInNoticeBar_data()
{
    QTest::addColumn<bool>("download");
    QTest::newRow("Позже") << false;
    QTest::newRow("Скачать") << true;
}

void TestMainForm::updateOfferedInNoticeBar()
{
    QFETCH(bool, download);
    TLoopbackSite site;
    site.Serve(u"/updates.txt"_qs, { 200, "2.2\r\nНовое\r\n", {}, false });
    site.Serve(u"/upd/orvanta.exe"_qs, { 200, "program", {}, false });
    TSiteUrlOverride siteUrl(site.Url());
    TMainForm form;
    form.show();
    auto* bar = form.findChild<TNoticeBar*>(u"PanelUpdateNotice"_qs);
    QVERIFY(bar && !bar->isVisible());
    auto* check = form.findChild<TUpdateCheck*>();
    QSignalSpy handled(check, &TUpdateCheck::DownloadHandled);
    form.TimerUpdateTimer();
    QVERIFY(handled.wait(20000));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->Text(),
        u"На сайте доступна новая версия программы (2.2)\nНовое\n\n\n\nВы хотите обновить программу?"_qs);
    QVERIFY(FDialogs->FShown.isEmpty());

    // Keys meant for the keyword list stay there: Enter and Space answer nothing.
    form.MemoWords->setFocus();
    QTest::keyClick(form.MemoWords, Qt::Key_Return);
    QTest::keyClick(form.MemoWords, Qt::Key_Space);
    QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
    QVERIFY(bar->isVisible());

    QTest::mouseClick(bar->findChild<QPushButton*>(download ? u"BtnUpdateDownload"_qs : u"BtnUpdateLater"_qs),
        Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    if (download) {
        QVERIFY(handled.wait(20000));
        QCOMPARE(site.Requests(), (QStringList { u"/updates.txt"_qs, u"/upd/orvanta.exe"_qs }));
        QCOMPARE(ReadAll(GetDataFolder() + u"bot.upd"_qs), QByteArray("program"));
    } else {
        QCOMPARE(site.Requests(), QStringList { u"/updates.txt"_qs });
        QVERIFY(!QFile::exists(GetDataFolder() + u"bot.upd"_qs));
    }
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
