// The window's name variants: the switches and the length, the count before Start that follows them and is
// what Start builds, the lists edited in the settings dialog, and the choices kept for the next start.
#include "core/common/Paths.h"
#include "gui/DlgSetting.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ZoneChoice.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace
{

// The variant controls of the main window, found by their object names.
struct TVariantControls {
    QWidget* Panel = nullptr;
    QCheckBox* Hyphen = nullptr;
    QCheckBox* Prefixes = nullptr;
    QCheckBox* Suffixes = nullptr;
    QCheckBox* Translit = nullptr;
    QCheckBox* Limit = nullptr;
    QSpinBox* Length = nullptr;

    bool Find(const QWidget& Window)
    {
        return FoundAll({ FindControl(Window, u"VariantPanel"_qs, Panel),
            FindControl(Window, u"CheckBoxHyphen"_qs, Hyphen), FindControl(Window, u"CheckBoxPrefixes"_qs, Prefixes),
            FindControl(Window, u"CheckBoxSuffixes"_qs, Suffixes),
            FindControl(Window, u"CheckBoxTranslit"_qs, Translit), FindControl(Window, u"CheckBoxMaxLength"_qs, Limit),
            FindControl(Window, u"SpinMaxLength"_qs, Length) });
    }
};

QString CountText(int Count)
{
    return u"Будет создано имен: "_qs + QString::number(Count);
}

QStringList BuiltNames(const TMainForm& Form)
{
    QStringList names;
    for (const TCandidate& d : Form.Session().Candidates())
        names << d.Name;
    return names;
}

// Presses Start and waits until the run is over.
void Start(TMainForm& Form, const TMainControls& Ui)
{
    QTest::mouseClick(Ui.Start, Qt::LeftButton);
    QTRY_VERIFY(!Form.Session().Running() && Ui.Start->isEnabled());
}

} // namespace

class TestMainFormVariants : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void countFollowsVariants();
    void latinSpellingWhereOnlyLatinIsTaken();
    void namesGivenTakeNoVariants();
    void variantsSurviveRestart();
    void unreadableListStopsOnlyItsUse();
    void affixListsInTheSettingsDialog_data();
    void affixListsInTheSettingsDialog();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestMainFormVariants::init()
{
    F = std::make_unique<TMainWindowFixture>();
    WriteAll(GetDataFolder() + u"prefixes.dat"_qs, "my\r\n\xEC\xEE\xE9\r\n"); // my, мой in 1251
    WriteAll(GetDataFolder() + u"suffixes.dat"_qs, "shop\r\n");
}

void TestMainFormVariants::cleanup()
{
    F.reset();
}

void TestMainFormVariants::countFollowsVariants()
{
    TMainForm form;
    TMainControls ui;
    TVariantControls v;
    QVERIFY(ui.Find(form) && v.Find(form));
    form.show();
    ui.Words->setPlainText(u"red\ncat\nsun"_qs);
    // Six pairs in ru and com.
    QTRY_COMPARE(ui.NameCount->text(), CountText(12));
    v.Hyphen->setChecked(true);
    QCOMPARE(ui.NameCount->text(), CountText(24));
    // "мой" never goes before Latin letters.
    v.Prefixes->setChecked(true);
    QCOMPARE(ui.NameCount->text(), CountText(48));
    v.Suffixes->setChecked(true);
    QCOMPARE(ui.NameCount->text(), CountText(72));
    // The length is kept while the limit is off, and counts once it is on: "red-cat" passes, "myredcat" not.
    QVERIFY(!v.Length->isEnabled());
    v.Length->setValue(7);
    QCOMPARE(ui.NameCount->text(), CountText(72));
    v.Limit->setChecked(true);
    QVERIFY(v.Length->isEnabled());
    QCOMPARE(ui.NameCount->text(), CountText(24));
    v.Length->setValue(8);
    QCOMPARE(ui.NameCount->text(), CountText(36));
    Start(form, ui);
    QCOMPARE(form.Session().Candidates().size(), 36);
    QCOMPARE(BuiltNames(form).mid(0, 6),
        (QStringList { u"redcat.ru"_qs, u"redcat.com"_qs, u"red-cat.ru"_qs, u"red-cat.com"_qs, u"myredcat.ru"_qs,
            u"myredcat.com"_qs }));
}

void TestMainFormVariants::latinSpellingWhereOnlyLatinIsTaken()
{
    WriteZones("ru\r\n\xF0\xF4\r\ncom\r\n"); // ru, рф, com
    for (const QString& name : { u"translit.dat"_qs, u"zone-scripts.dat"_qs })
        WriteAll(GetDataFolder() + name, ReadAll(QFINDTESTDATA(u"../../data/"_qs + name)));
    TMainForm form;
    TMainControls ui;
    TVariantControls v;
    QVERIFY(ui.Find(form) && v.Find(form));
    form.show();
    ui.Words->setPlainText(u"красный\nкот"_qs);
    v.Translit->setChecked(true);
    v.Prefixes->setChecked(true);
    // The shipped zone rules and table: ru takes Latin only; "my" joins the Latin names, "мой" the others.
    QTRY_COMPARE(ui.NameCount->text(), CountText(12));
    Start(form, ui);
    QCOMPARE(BuiltNames(form),
        (QStringList { u"krasnyikot.ru"_qs, u"красныйкот.рф"_qs, u"красныйкот.com"_qs, u"mykrasnyikot.ru"_qs,
            u"мойкрасныйкот.рф"_qs, u"мойкрасныйкот.com"_qs, u"kotkrasnyi.ru"_qs, u"коткрасный.рф"_qs,
            u"коткрасный.com"_qs, u"mykotkrasnyi.ru"_qs, u"мойкоткрасный.рф"_qs, u"мойкоткрасный.com"_qs }));
    // A table edited since the lists were read counts at the next Start.
    WriteAll(GetDataFolder() + u"translit.dat"_qs, "\xEA:q\r\n"); // к:q
    Start(form, ui);
    QCOMPARE(BuiltNames(form).at(0), u"qрасныйqот.ru"_qs);
}

void TestMainFormVariants::namesGivenTakeNoVariants()
{
    TMainForm form;
    TMainControls ui;
    TVariantControls v;
    QVERIFY(ui.Find(form) && v.Find(form));
    form.show();
    v.Hyphen->setChecked(true);
    v.Suffixes->setChecked(true);
    ui.WordCount->setCurrentIndex(TMainForm::GivenNamesChoice);
    QVERIFY(!v.Panel->isEnabled());
    ui.Words->setPlainText(u"redcat\nsun.org"_qs);
    QTRY_COMPARE(ui.NameCount->text(), CountText(3));
    Start(form, ui);
    QCOMPARE(BuiltNames(form), (QStringList { u"redcat.ru"_qs, u"redcat.com"_qs, u"sun.org"_qs }));
    ui.WordCount->setCurrentIndex(0);
    QVERIFY(v.Panel->isEnabled());
}

void TestMainFormVariants::variantsSurviveRestart()
{
    {
        TMainForm form;
        TVariantControls v;
        QVERIFY(v.Find(form));
        v.Hyphen->setChecked(true);
        v.Translit->setChecked(true);
        v.Length->setValue(20);
    }
    TMainForm again;
    TMainControls ui;
    TVariantControls v;
    QVERIFY(ui.Find(again) && v.Find(again));
    QVERIFY(v.Hyphen->isChecked());
    QVERIFY(!v.Prefixes->isChecked());
    QVERIFY(!v.Suffixes->isChecked());
    QVERIFY(v.Translit->isChecked());
    QVERIFY(!v.Limit->isChecked());
    QCOMPARE(v.Length->value(), 20);
    QVERIFY(!v.Length->isEnabled());
    ui.Words->setPlainText(u"red\ncat"_qs);
    QTRY_COMPARE(ui.NameCount->text(), CountText(8));
}

void TestMainFormVariants::unreadableListStopsOnlyItsUse()
{
    // A folder where the prefix list should be: it cannot be read.
    QVERIFY(QFile::remove(GetDataFolder() + u"prefixes.dat"_qs));
    QVERIFY(QDir().mkpath(GetDataFolder() + u"prefixes.dat"_qs));
    TMainForm form;
    TMainControls ui;
    TVariantControls v;
    QVERIFY(ui.Find(form) && v.Find(form));
    form.show();
    QVERIFY(F->Dialogs.FShown.isEmpty());
    ui.Words->setPlainText(u"red\ncat"_qs);
    v.Suffixes->setChecked(true);
    Start(form, ui);
    QCOMPARE(BuiltNames(form).size(), 8);
    QVERIFY(F->Dialogs.FShown.isEmpty());
    // In use, it stops the run and says why; the names shown stay.
    v.Prefixes->setChecked(true);
    QTest::mouseClick(ui.Start, Qt::LeftButton);
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QVERIFY2(F->Dialogs.FShown.at(0).Text.contains(u"prefixes.dat"_qs), qPrintable(F->Dialogs.FShown.at(0).Text));
    QVERIFY(!form.Session().Running());
    QCOMPARE(BuiltNames(form).size(), 8);
}

void TestMainFormVariants::affixListsInTheSettingsDialog_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("switchName");
    QTest::newRow("prefixes") << u"MemoPrefixes"_qs << u"prefixes.dat"_qs << u"CheckBoxPrefixes"_qs;
    QTest::newRow("suffixes") << u"MemoSuffixes"_qs << u"suffixes.dat"_qs << u"CheckBoxSuffixes"_qs;
}

// The dialog shows the data folder's list; "Сохранить" writes it as lists are written, and the window's
// count follows at once.
void TestMainFormVariants::affixListsInTheSettingsDialog()
{
    QFETCH(QString, memo);
    QFETCH(QString, file);
    QFETCH(QString, switchName);
    TMainForm form;
    TMainControls ui;
    QCheckBox* use = nullptr;
    QVERIFY(ui.Find(form) && FindControl(form, switchName, use));
    form.show();
    ui.Words->setPlainText(u"red\ncat"_qs);
    use->setChecked(true);
    QTRY_COMPARE(ui.NameCount->text(), CountText(8));
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QPlainTextEdit* box = nullptr;
        QPushButton* ok = nullptr;
        if (!dialog || !FindControl(*dialog, memo, box) || !FindControl(*dialog, u"BtnOk"_qs, ok))
            return;
        shown = MemoText(box);
        box->setPlainText(u"pro\nhub\nклуб\n"_qs);
        ok->click();
    });
    ui.Settings->click();
    QCOMPARE(shown, file == u"prefixes.dat" ? u"my\nмой\n"_qs : u"shop\n"_qs);
    QCOMPARE(ReadAll(GetDataFolder() + file), QByteArray("pro\r\nhub\r\n\xEA\xEB\xF3\xE1\r\n"));
    // Two Latin affixes for each of the two Latin names, in two zones.
    QCOMPARE(ui.NameCount->text(), CountText(12));
}

QTEST_MAIN(TestMainFormVariants)
#include "tst_mainformvariants.moc"
