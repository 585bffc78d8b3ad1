// The main window as a desktop program: counts at a glance, the keyboard, what a screen reader hears, the
// keyword list's undo, the tips after the window.
#include "core/settings/SettingsStore.h"
#include "gui/DlgSetting.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/TestFiles.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace
{

// The letter after the mnemonic's "&", upper case; a null character when there is none.
QChar Mnemonic(const QString& Text)
{
    for (qsizetype i = 0; i + 1 < Text.size(); ++i) {
        if (Text.at(i) != u'&')
            continue;
        if (Text.at(i + 1) == u'&') {
            ++i;
            continue;
        }
        return Text.at(i + 1).toUpper();
    }
    return {};
}

// Every enabled, visible item of Menu and its submenus has a mnemonic, none twice in one menu.
void CheckMenu(const QMenu* Menu)
{
    QSet<QChar> used;
    for (const QAction* a : Menu->actions()) {
        if (a->isSeparator() || !a->isVisible()
            || (!a->isEnabled() && !a->menu() && a->shortcut().isEmpty() && a->objectName().isEmpty()))
            continue; // a caption between separators
        const QChar key = Mnemonic(a->text());
        QVERIFY2(!key.isNull(), qPrintable(Menu->title() + u": "_qs + a->text()));
        QVERIFY2(!used.contains(key), qPrintable(Menu->title() + u": "_qs + a->text()));
        used.insert(key);
        if (a->menu())
            CheckMenu(a->menu());
    }
}

QString AccessibleName(QObject* Object)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(Object);
    return face ? face->text(QAccessible::Name) : QString();
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void countsInStatusBar();
    void openAsksBeforeReplacingAndUndoes_data();
    void openAsksBeforeReplacingAndUndoes();
    void tabLeavesKeywordList();
    void mnemonicsEverywhere();
    void keyboardSortsCurrentColumn();
    void screenReaderHearsWhatIsShown();
    void tipsComeAfterTheWindow();
    void settingsFocusOrder();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestDesktop::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestDesktop::cleanup()
{
    F.reset();
}

void TestDesktop::countsInStatusBar()
{
    TMainForm form;
    TMainControls ui;
    QLabel* counts = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"StatusCounts"_qs, counts));
    form.show();
    QCOMPARE(counts->text(), u"Имен: 0 · свободно 0 · занято 0 · ошибок 0 · не проверено 0"_qs);
    QList<TCandidate> rows;
    for (const auto& [name, status] : { std::pair { u"a.ru"_qs, TStatus::Free }, { u"b.ru"_qs, TStatus::Taken },
             { u"c.ru"_qs, TStatus::Taken }, { u"d.ru"_qs, TStatus::Failed }, { u"e.ru"_qs, TStatus::Unchecked } }) {
        TCandidate d;
        d.Name = name;
        d.Zone = u"ru"_qs;
        d.Status = status;
        rows << d;
    }
    QVERIFY(form.Session().Restore(rows));
    QCOMPARE(counts->text(), u"Имен: 5 · свободно 1 · занято 2 · ошибок 1 · не проверено 1"_qs);
    // The filter hides rows: the line says how many are shown of all.
    ui.Show->setCurrentIndex(2);
    QCOMPARE(counts->text(), u"Показано: 2 из 5 · Имен: 5 · свободно 1 · занято 2 · ошибок 1 · не проверено 1"_qs);
}

void TestDesktop::openAsksBeforeReplacingAndUndoes_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes replaces, undo brings the list back") << true;
    QTest::newRow("no keeps the list") << false;
}

void TestDesktop::openAsksBeforeReplacingAndUndoes()
{
    QFETCH(bool, yes);
    const QString file = F->Env.WriteFile(u"words.txt"_qs, "sun\nsky\n");
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    // Shortcuts reach only the active window.
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.Words->setFocus();
    QTest::keyClicks(ui.Words, u"red"_qs);
    F->Dialogs.FFileNames << file;
    F->Dialogs.FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    QTest::keyClick(ui.Words, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Buttons, TUserDialogs::TButtons::YesNo);
    QVERIFY(F->Dialogs.FShown.at(0).Text.startsWith(u"Заменить ключевые слова списком из файла?"_qs));
    QCOMPARE(ui.Words->toPlainText(), yes ? u"sun\nsky\n"_qs : u"red"_qs);
    if (!yes)
        return;
    ui.Words->undo();
    QCOMPARE(ui.Words->toPlainText(), u"red"_qs);
    // An empty list is filled without a question.
    ui.Words->clear();
    F->Dialogs.FFileNames << file;
    QTest::keyClick(ui.Words, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(ui.Words->toPlainText(), u"sun\nsky\n"_qs);
}

void TestDesktop::tabLeavesKeywordList()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    ui.Words->setFocus();
    QTest::keyClicks(ui.Words, u"red"_qs);
    QTest::keyClick(ui.Words, Qt::Key_Tab);
    QCOMPARE(ui.Words->toPlainText(), u"red"_qs);
    QVERIFY(!ui.Words->hasFocus());
}

void TestDesktop::mnemonicsEverywhere()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    // The menu bar's menus, each menu's items, and the grid's context menu.
    QSet<QChar> top;
    for (QAction* a : form.menuBar()->actions()) {
        const QChar key = Mnemonic(a->text());
        QVERIFY2(!key.isNull() && !top.contains(key), qPrintable(a->text()));
        top.insert(key);
        CheckMenu(a->menu());
    }
    CheckMenu(ui.GridMenu);
    // Every button with a caption, the menu bar's letters not taken again.
    for (QAbstractButton* b : form.findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty())
            continue;
        const QChar key = Mnemonic(b->text());
        QVERIFY2(!key.isNull(), qPrintable(b->objectName() + u": "_qs + b->text()));
        QVERIFY2(!top.contains(key), qPrintable(b->objectName() + u": "_qs + b->text()));
    }
    // The settings dialog's buttons and switches, none twice.
    TFormSettings dialog(&form);
    QSet<QChar> used;
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) {
        const QChar key = Mnemonic(b->text());
        QVERIFY2(!key.isNull() && !used.contains(key), qPrintable(b->objectName() + u": "_qs + b->text()));
        used.insert(key);
    }
}

void TestDesktop::keyboardSortsCurrentColumn()
{
    TMainForm form;
    TMainControls ui;
    QAction* sort = nullptr;
    QVERIFY(ui.Find(form));
    QVERIFY(FindControl(form, u"PM_SortColumn"_qs, sort));
    form.show();
    Generate(form, u"b\na"_qs, 0, 1);
    QCOMPARE(form.Results().CellText(0, 0), u"ba.ru"_qs);
    ui.Grid->setCurrentIndex(form.Results().index(0, 0));
    sort->trigger();
    QCOMPARE(form.Results().CellText(0, 0), u"ab.ru"_qs);
    sort->trigger();
    QCOMPARE(form.Results().CellText(0, 0), u"ba.ru"_qs);
    QCOMPARE(form.Results().SortOrder(), Qt::DescendingOrder);
}

void TestDesktop::screenReaderHearsWhatIsShown()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    // Buttons that show only a picture are named by what they do.
    for (QToolButton* b : ui.Buttons())
        QCOMPARE(AccessibleName(b), b->toolTip());
    TCandidate free;
    free.Name = u"redcat.ru"_qs;
    free.Zone = u"ru"_qs;
    free.Status = TStatus::Free;
    free.PR = u"-1"_qs;
    QVERIFY(form.Session().Restore({ free }));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(ui.Grid);
    QVERIFY(table && table->tableInterface());
    const auto cell = [&](int column) { return table->tableInterface()->cellAt(0, column)->text(QAccessible::Name); };
    QCOMPARE(cell(0), u"redcat.ru"_qs);
    QCOMPARE(cell(2), u"свободен"_qs);
    QCOMPARE(cell(3), u"—"_qs);
}

void TestDesktop::tipsComeAfterTheWindow()
{
    TSettingsStore::WriteDWord(u"ShowHelpStart"_qs, 1);
    TMainForm form;
    // Nothing opens while the window is being made.
    QVERIFY(!QApplication::activeModalWidget());
    // The tips run their own loop: they are answered from inside it, as a person would.
    QString tips;
    bool windowOnScreen = false;
    QTimer answer;
    connect(&answer, &QTimer::timeout, &form, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            tips = modal->objectName();
            windowOnScreen = form.isVisible();
            modal->close();
        }
    });
    answer.start(10);
    form.show();
    QTRY_VERIFY(!tips.isEmpty());
    QCOMPARE(tips, u"FormUserAnswer"_qs);
    QVERIFY(windowOnScreen);
}

void TestDesktop::settingsFocusOrder()
{
    TMainForm form;
    TFormSettings dialog(&form);
    // Tab walks the dialog as it reads: the switches, each list with its buttons, then the dialog's buttons.
    const QStringList expected { u"CheckBoxAutoCheck"_qs, u"CheckBoxShowAnswer"_qs, u"CheckBoxAutoRange"_qs,
        u"CheckBoxUseRdap"_qs, u"CheckBoxDnsFirst"_qs, u"CheckBoxCheckUpdates"_qs, u"SpinReuseTaken"_qs,
        u"SpinReuseFree"_qs, u"ComboLanguage"_qs, u"MemoWhois"_qs, u"BtnOpenWhois"_qs, u"BtnSaveWhois"_qs,
        u"MemoZones"_qs, u"BtnOpenZones"_qs, u"BtnSaveZones"_qs, u"MemoPrefixes"_qs, u"BtnOpenPrefixes"_qs,
        u"BtnSavePrefixes"_qs, u"MemoSuffixes"_qs, u"BtnOpenSuffixes"_qs, u"BtnSaveSuffixes"_qs, u"BtnOk"_qs,
        u"BtnCancel"_qs };
    QWidget* first = dialog.findChild<QWidget*>(expected.first());
    QVERIFY(first);
    QStringList order;
    QWidget* w = first;
    do {
        // Qt's inner parts (a spin box's editor) share their owner's stop.
        const bool innerPart = w->objectName().startsWith(u"qt_"_qs);
        if ((w->focusPolicy() & Qt::TabFocus) && !innerPart)
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != first && order.size() < 40);
    QCOMPARE(order, expected);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
