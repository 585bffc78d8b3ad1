#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"
#include "gui/DlgAnswers.h"
#include "support/FindControl.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A program folder of its own: Answers.dat and the picture folder.
class TTipsFolder
{
public:
    QString Path() const { return FDir.path() + u'/'; }
    QString PictureFolder() const { return Path() + u"Resourse/Help/"_qs; }
    void WriteAnswers(const QByteArray& Bytes) const { Write(Path() + u"Answers.dat"_qs, Bytes); }
    void WritePicture(const QString& Name, const QByteArray& Bytes) const { Write(PictureFolder() + Name, Bytes); }
    void SavePicture(const QString& Name, QColor Colour, const char* Format = nullptr) const
    {
        QDir().mkpath(PictureFolder());
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Colour);
        QVERIFY(image.save(PictureFolder() + Name, Format));
    }

private:
    static void Write(const QString& FileName, const QByteArray& Bytes)
    {
        QDir().mkpath(QFileInfo(FileName).absolutePath());
        QFile file(FileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
    }
    QTemporaryDir FDir;
};

// The shipped file's encoding: UTF-8 after a byte-order mark.
QByteArray Marked(const QString& Text)
{
    return "\xEF\xBB\xBF" + Text.toUtf8();
}

// The tips dialog's controls, found by their object names.
struct TTipsControls {
    QLabel* Strip = nullptr; // the picture down the left side
    QLabel* Title = nullptr;
    QLabel* Picture = nullptr; // the tip's own picture
    QLabel* Answer = nullptr; // the tip's text
    QCheckBox* NotShowAgain = nullptr;
    QLabel* SettingsHint = nullptr;
    QPushButton* More = nullptr; // "Хочу еще!"
    QPushButton* Close = nullptr;

    // False, with a warning naming what is missing, when the dialog lacks any of them: use under QVERIFY.
    bool Find(const QWidget& Dialog)
    {
        return FoundAll({ FindControl(Dialog, u"PictureStrip"_qs, Strip), FindControl(Dialog, u"TipTitle"_qs, Title),
            FindControl(Dialog, u"TipPicture"_qs, Picture), FindControl(Dialog, u"LabelAnswer"_qs, Answer),
            FindControl(Dialog, u"CheckBoxNotShowThis"_qs, NotShowAgain),
            FindControl(Dialog, u"SettingsHint"_qs, SettingsHint), FindControl(Dialog, u"BtnOk"_qs, More),
            FindControl(Dialog, u"BtnCancel"_qs, Close) });
    }
};

// Every text the dialog shows over many "Хочу еще!" presses, the first tip included.
QSet<QString> Drawn(const TTipsControls& Ui, int Presses = 200)
{
    QSet<QString> texts { Ui.Answer->text() };
    for (int i = 0; i < Presses; ++i) {
        Ui.More->click();
        texts << Ui.Answer->text();
    }
    return texts;
}

QColor PictureCentre(const QLabel* Label)
{
    const QImage image = Label->pixmap().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class TestTips : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layout();
    void drawing_data();
    void drawing();
    void pictureFormats_data();
    void pictureFormats();
    void missingPictureKeepsPrevious();
    void brokenPicture_data();
    void brokenPicture();
    void notShowAgain();
    void startupTips_data();
    void startupTips();
    void shippedTips();
};

void TestTips::layout()
{
    TTipsFolder folder;
    folder.WriteAnswers(Marked(u"0 Совет"_qs));
    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    QCOMPARE(dialog.windowTitle(), u"Советы пользователям..."_qs);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(!ui.Strip->pixmap().isNull());
    QCOMPARE(ui.Title->text(), u"Знаете ли вы... ?"_qs);
    QVERIFY(ui.Title->font().bold());
    QCOMPARE(ui.NotShowAgain->text().remove(u'&'), u"Больше не показывать"_qs);
    QVERIFY(!ui.NotShowAgain->isChecked());
    QCOMPARE(ui.SettingsHint->text(), u"Можно будет включить в настройках"_qs);
    QCOMPARE(ui.More->text().remove(u'&'), u"Хочу еще!"_qs);
    QVERIFY(ui.More->isDefault());
    QVERIFY(ui.More->font().bold());
    QCOMPARE(ui.Close->text().remove(u'&'), u"Закрыть"_qs);
    // The first tip is in place before the dialog appears.
    QCOMPARE(ui.Answer->text(), u"Совет"_qs);

    // Its fixed size shows every control whole: the strip's picture uncut, left of the tip, and the two
    // buttons side by side.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (const QWidget* control : std::initializer_list<const QWidget*> { ui.Strip, ui.Title, ui.Answer,
             ui.NotShowAgain, ui.SettingsHint, ui.More, ui.Close })
        QVERIFY2(ShownWhole(dialog, *control), qPrintable(control->objectName()));
    const QSize strip = ui.Strip->pixmap().deviceIndependentSize().toSize();
    QCOMPARE(ui.Strip->size().expandedTo(strip), ui.Strip->size());
    QVERIFY(ui.Strip->geometry().right() < ui.Title->mapTo(&dialog, QPoint(0, 0)).x());
    QVERIFY(ui.More->geometry().right() < ui.Close->geometry().left());

    // "Хочу еще!" keeps it open, Escape closes it.
    ui.More->click();
    QVERIFY(dialog.isVisible());
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestTips::drawing_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("pictureVisible");
    const QStringList none { u"Советы не найдены."_qs };
    QTest::newRow("one line always shown")
        << true << Marked(u"0 Единственный совет"_qs) << QStringList { u"Единственный совет"_qs } << false;
    QTest::newRow("three lines, the last included")
        << true << Marked(u"0 Первый\r\n0 Второй\r\n0 Третий\r\n"_qs)
        << QStringList { u"Первый"_qs, u"Второй"_qs, u"Третий"_qs } << false;
    QTest::newRow("empty lines skipped") << true << Marked(u"\r\n0 Первый\r\n\r\n\r\n0 Второй\r\n\r\n"_qs)
                                         << QStringList { u"Первый"_qs, u"Второй"_qs } << false;
    QTest::newRow("marker at the very end")
        << true << Marked(u"1 Текст<IMAGE>"_qs) << QStringList { u"Текст<IMAGE>"_qs } << true;
    QTest::newRow("picture name without the flag")
        << true << Marked(u"0 Текст<IMAGE>tip.png"_qs) << QStringList { u"Текст"_qs } << false;
    QTest::newRow("markup is text") << true << Marked(u"0 <b>жирный</b> &amp;"_qs)
                                    << QStringList { u"<b>жирный</b> &amp;"_qs } << false;
    QTest::newRow("second character never shown")
        << true << Marked(u"0-Текст"_qs) << QStringList { u"Текст"_qs } << false;
    QTest::newRow("line of blanks") << true << QByteArray("   ") << QStringList { u" "_qs } << false;
    QStringEncoder ansi("windows-1251");
    QTest::newRow("file in 1251") << true << QByteArray(ansi(u"0 Совет\r\n"_qs)) << QStringList { u"Совет"_qs }
                                  << false;
    QTest::newRow("only empty lines") << true << QByteArray("\r\n\r\n\r\n") << none << false;
    QTest::newRow("empty file") << true << QByteArray() << none << false;
    QTest::newRow("no file") << false << QByteArray() << none << false;
}

void TestTips::drawing()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, shown);
    QFETCH(bool, pictureVisible);
    TTipsFolder folder;
    if (present)
        folder.WriteAnswers(file);
    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    QCOMPARE(Drawn(ui), QSet<QString>(shown.cbegin(), shown.cend()));
    QCOMPARE(!ui.Picture->isHidden(), pictureVisible);
}

void TestTips::pictureFormats_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << u"tip.png"_qs;
    QTest::newRow("bmp") << u"tip.bmp"_qs;
    QTest::newRow("jpg") << u"tip.jpg"_qs;
    QTest::newRow("jpeg") << u"tip.jpeg"_qs;
    QTest::newRow("ico") << u"tip.ico"_qs;
    QTest::newRow("name with a blank") << u"мой рисунок.png"_qs;
}

void TestTips::pictureFormats()
{
    QFETCH(QString, name);
    TTipsFolder folder;
    folder.SavePicture(name, Qt::red, name.endsWith(u".jpeg"_qs) ? "jpg" : nullptr);
    folder.WriteAnswers(Marked(u"1 С рисунком<IMAGE>"_qs + name));
    TScriptedDialogs dialogs;
    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    QCOMPARE(dialogs.FShown.size(), 0);
    QCOMPARE(ui.Answer->text(), u"С рисунком"_qs);
    QVERIFY(!ui.Picture->isHidden());
    QCOMPARE(ui.Picture->pixmap().size(), QSize(16, 16));
    const QColor centre = PictureCentre(ui.Picture);
    QVERIFY2(centre.red() > 200 && centre.green() < 60 && centre.blue() < 60, qPrintable(centre.name()));
}

void TestTips::missingPictureKeepsPrevious()
{
    TTipsFolder folder;
    folder.SavePicture(u"red.png"_qs, Qt::red);
    folder.SavePicture(u"big.png"_qs, Qt::green);
    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));

    // The first tip's picture is missing: the picture area shows, empty.
    dialog.Answers = QStringList { u"1 Первый<IMAGE>missing.png"_qs };
    dialog.ShowRandomAnswer();
    QVERIFY(!ui.Picture->isHidden());
    QVERIFY(ui.Picture->pixmap().isNull());

    dialog.Answers = QStringList { u"1 Красный<IMAGE>red.png"_qs };
    dialog.ShowRandomAnswer();
    QCOMPARE(PictureCentre(ui.Picture), QColor(Qt::red));

    for (const QString& line : { u"1 Нет файла<IMAGE>missing.png"_qs, u"1 Маркер в конце<IMAGE>"_qs }) {
        dialog.Answers = QStringList { u"0 Без рисунка"_qs };
        dialog.ShowRandomAnswer();
        QVERIFY(ui.Picture->isHidden());
        dialog.Answers = QStringList { line };
        dialog.ShowRandomAnswer();
        QCOMPARE(ui.Answer->text(), line.mid(2).remove(u"<IMAGE>missing.png"_qs));
        QVERIFY(!ui.Picture->isHidden());
        QCOMPARE(PictureCentre(ui.Picture), QColor(Qt::red));
    }
}

void TestTips::brokenPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("reported");
    QTest::newRow("not a picture") << u"bad.png"_qs << QByteArray("this is not a picture") << true;
    QTest::newRow("cut short") << u"cut.png"_qs << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << true;
    QTest::newRow("metafile") << u"chart.wmf"_qs << QByteArray("\xD7\xCD\xC6\x9A\0\0", 6) << true;
    QTest::newRow("a folder of that name") << u"folder"_qs << QByteArray() << false;
}

void TestTips::brokenPicture()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, reported);
    TTipsFolder folder;
    if (bytes.isEmpty())
        QVERIFY(QDir().mkpath(folder.PictureFolder() + name));
    else
        folder.WritePicture(name, bytes);
    folder.SavePicture(u"red.png"_qs, Qt::red);
    TScriptedDialogs dialogs;
    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    dialog.Answers = QStringList { u"1 Прежний<IMAGE>red.png"_qs };
    dialog.ShowRandomAnswer();

    dialog.Answers = QStringList { u"1 Новый<IMAGE>"_qs + name };
    dialog.ShowRandomAnswer();
    QCOMPARE(PictureCentre(ui.Picture), QColor(Qt::red));
    if (!reported) {
        QCOMPARE(dialogs.FShown.size(), 0);
        QCOMPARE(ui.Answer->text(), u"Новый"_qs);
        return;
    }
    QCOMPARE(dialogs.FShown.size(), 1);
    const auto& shown = dialogs.FShown.at(0);
    QCOMPARE(shown.Title, u"Orvanta"_qs);
    QCOMPARE(shown.Icon, TUserDialogs::TIcon::Stop);
    const QString lead = u"Не удалось загрузить рисунок «"_qs + folder.PictureFolder() + name + u"»: "_qs;
    QVERIFY2(shown.Text.startsWith(lead) && shown.Text.size() > lead.size(), qPrintable(shown.Text));
    QCOMPARE(ui.Answer->text(), u"Прежний"_qs);
}

void TestTips::notShowAgain()
{
    TTestEnv env;
    TTipsFolder folder;
    QVERIFY(WriteRegBool(u"ShowHelpStart"_qs, true));
    {
        // Closing without touching the box writes nothing.
        TFormUserAnswer dialog(nullptr, folder.Path());
        dialog.reject();
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(1));

    TFormUserAnswer dialog(nullptr, folder.Path());
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    ui.NotShowAgain->click();
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(0));
    ui.NotShowAgain->click();
    QVERIFY(!ui.NotShowAgain->isChecked());
    dialog.reject();
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(0));
    QVERIFY(!ReadRegBool(u"ShowHelpStart"_qs));
}

void TestTips::startupTips_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("shown");
    QTest::newRow("on") << 1 << true;
    QTest::newRow("off") << 0 << false;
    QTest::newRow("never written") << -1 << false;
}

void TestTips::startupTips()
{
    QFETCH(int, stored);
    QFETCH(bool, shown);
    TTestEnv env;
    TTipsFolder folder;
    folder.WriteAnswers(Marked(u"0 Совет дня"_qs));
    if (stored >= 0)
        QVERIFY(WriteRegBool(u"ShowHelpStart"_qs, stored != 0));

    QWidget owner;
    QString seen;
    QObject watcher;
    QTimer::singleShot(0, &watcher, [&] {
        if (auto* tips = qobject_cast<TFormUserAnswer*>(QApplication::activeModalWidget())) {
            TTipsControls ui;
            QVERIFY(ui.Find(*tips));
            seen = ui.Answer->text();
            QCOMPARE(tips->parentWidget(), &owner);
            tips->reject();
        }
    });
    ShowStartupTips(&owner, folder.Path());
    QCOMPARE(seen, shown ? u"Совет дня"_qs : QString());
    QVERIFY(owner.findChildren<TFormUserAnswer*>().isEmpty());
}

// The tips shipped beside the program: each line well formed and each picture present and readable.
void TestTips::shippedTips()
{
    // The build folder is the program folder; the tests live one level below it.
    QString programFolder = qEnvironmentVariable("ORVANTA_BUILD_DIR");
    if (programFolder.isEmpty())
        programFolder = QCoreApplication::applicationDirPath() + u"/.."_qs;
    programFolder += u'/';
    TFormUserAnswer dialog(nullptr, programFolder);
    TTipsControls ui;
    QVERIFY(ui.Find(dialog));
    const QStringList& tips = dialog.Answers;
    QVERIFY(tips.size() >= 12);
    // The room the dialog gives a tip's picture: as wide as the tip's column, as high as the picture's place.
    const QSize room(ui.Picture->parentWidget()->width(), ui.Picture->maximumHeight());
    int pictures = 0;
    for (const QString& tip : tips) {
        QVERIFY2(tip.startsWith(u"0 "_qs) || tip.startsWith(u"1 "_qs), qPrintable(tip));
        const qsizetype marker = tip.indexOf(u"<IMAGE>"_qs);
        QCOMPARE(marker > 0, tip.startsWith(u'1'));
        if (marker < 0)
            continue;
        ++pictures;
        QImageReader reader(programFolder + u"Resourse/Help/"_qs + tip.mid(marker + 7));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.fileName() + u": "_qs + reader.errorString()));
        // It fits whole, so it is never shrunk.
        QVERIFY2(room.expandedTo(image.size()) == room, qPrintable(reader.fileName()));
    }
    QVERIFY(pictures >= 4);
    QVERIFY(!ui.Answer->text().isEmpty());
    QVERIFY(ui.Answer->text() != u"Советы не найдены."_qs);
}

QTEST_MAIN(TestTips)
#include "tst_tips.moc"
