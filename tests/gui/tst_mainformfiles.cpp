#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/ErrorReport.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ResultsModel.h"
#include "gui/ZoneChoice.h"
#include "support/FindControl.h"
#include "support/MainWindowControls.h"
#include "support/ProgramProcess.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

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

// The main window's files: keyword lists opened and saved, the file it starts with, its first start, its
// placement and an unusable settings file, and the folders its file dialogs start in.
class TestMainFormFiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
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
    void inputPastItsCapOrOutOfMemory_data();
    void inputPastItsCapOrOutOfMemory();
    void unusableSettingsFile_data();
    void unusableSettingsFile();
    void lastFolderPerKind_data();
    void lastFolderPerKind();

private:
    std::unique_ptr<TMainWindowFixture> F;
};

void TestMainFormFiles::init()
{
    F = std::make_unique<TMainWindowFixture>();
}

void TestMainFormFiles::cleanup()
{
    F.reset();
}

void TestMainFormFiles::openWordList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("memo");
    QTest::newRow("UTF-8 with mark, CR LF") << QByteArray("\xEF\xBB\xBFкот\r\ndog\r\n") << u"кот\ndog\n"_qs;
    QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE\x3A\x04\x3E\x04\x42\x04\n\0", 10) << u"кот\n"_qs;
    QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\x04\x3A\x04\x3E\x04\x42\0\n", 10) << u"кот\n"_qs;
    QTest::newRow("1251, lone CR") << Cp1251("кот") + QByteArray("\rdog") << u"кот\ndog"_qs;
    QTest::newRow("UTF-8 without mark, LF") << QByteArray("кот\ndog") << u"кот\ndog"_qs;
}

void TestMainFormFiles::openWordList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, memo);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    ui.Words->setPlainText(QStringLiteral("old"));
    F->Dialogs.FFileNames << F->Env.WriteFile(QStringLiteral("words.txt"), bytes);
    ui.Open->click();
    QCOMPARE(MemoText(ui.Words), memo);
    QCOMPARE(ui.WordHint->isVisible(), memo.isEmpty());
    // Cancelling changes nothing.
    ui.Open->click();
    QCOMPARE(MemoText(ui.Words), memo);
}

void TestMainFormFiles::openStartupFile_data()
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
void TestMainFormFiles::openStartupFile()
{
    QFETCH(QString, argument);
    QFETCH(QString, memo);
    QFETCH(bool, error);
    F->Env.WriteFile(QStringLiteral("words.txt"), Cp1251("кот") + QByteArray("\r\ndog"));
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    QStringList arguments { u"orvanta"_qs };
    if (!argument.isEmpty())
        arguments << F->Env.Root() + u'/' + argument;
    form.OpenStartupFile(arguments);
    QCOMPARE(MemoText(ui.Words), memo);
    QCOMPARE(F->Dialogs.FShown.size(), error ? 1 : 0);
    if (error) {
        QCOMPARE(F->Dialogs.FShown.first().Title, u"Orvanta"_qs);
        QCOMPARE(F->Dialogs.FShown.first().Icon, TUserDialogs::TIcon::Stop);
        QVERIFY(F->Dialogs.FShown.first().Text.startsWith(u"Не удалось"_qs));
    }
}

void TestMainFormFiles::saveWordList_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("1251 when it fits") << u"кот\ndog"_qs << Cp1251("кот") + QByteArray("\r\ndog");
    QTest::newRow("final break kept") << u"a\nb\n"_qs << QByteArray("a\r\nb\r\n");
    QTest::newRow("UTF-8 with mark otherwise") << u"日本\nкот"_qs << QByteArray("\xEF\xBB\xBF日本\r\nкот");
    // A no-break space is kept, not turned into a plain one (1251 has it as A0).
    QTest::newRow("no-break space kept") << u"a\u00A0b\nc"_qs << QByteArray("a\xA0" "b\r\nc");
}

void TestMainFormFiles::saveWordList()
{
    QFETCH(QString, memo);
    QFETCH(QByteArray, bytes);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    ui.Words->setPlainText(memo);
    // Typed without an extension: ".txt" is added.
    F->Dialogs.FFileNames << F->Env.Root() + QStringLiteral("/list");
    ui.Save->click();
    QCOMPARE(ReadAll(F->Env.Root() + QStringLiteral("/list.txt")), bytes);
    QCOMPARE(F->Dialogs.FFileRequests.last().DefaultSuffix, QStringLiteral("txt"));

    // Round trip through open.
    ui.Words->clear();
    F->Dialogs.FFileNames << F->Env.Root() + QStringLiteral("/list.txt");
    ui.Open->click();
    QCOMPARE(MemoText(ui.Words), memo);
}

void TestMainFormFiles::creationEffects_data()
{
    QTest::addColumn<QByteArray>("zonesFile");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("zones in order") << QByteArray("ru\r\nрф\r\n\r\ncom")
                                    << QStringList { u"ru"_qs, u"рф"_qs, QString(), u"com"_qs };
    QTest::newRow("empty list") << QByteArray() << QStringList();
}

void TestMainFormFiles::creationEffects()
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
    TZoneChoice* zones = nullptr;
    QVERIFY(FindControl(form, u"ComboBoxZones"_qs, zones));
    // The first start offers every zone, all checked.
    QCOMPARE(zones->Zones(), entries);
    QCOMPARE(zones->CheckedZones(), entries);
    QCOMPARE(zones->Summary(), entries.isEmpty() ? u"Зоны не выбраны"_qs : u"Все доменные зоны"_qs);
    QCOMPARE(TSettingsStore::ReadDWord(u"NotFirstRun"_qs), std::optional<quint32>(1));
    QCOMPARE(TSettingsStore::ReadDWord(u"ShowHelpStart"_qs), std::optional<quint32>(1));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoCheckGenerate"_qs), std::optional<quint32>(0));
    QCOMPARE(TSettingsStore::ReadDWord(u"AutoRange"_qs), std::optional<quint32>(0));
}

void TestMainFormFiles::placementSurvivesRestart()
{
    {
        TMainForm form;
        form.show();
        form.setGeometry(QRect(QPoint(40, 50), QSize(760, 520)));
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_WS"_qs), std::optional<quint32>(0));
    TMainForm again;
    QCOMPARE(again.size(), QSize(760, 520));
    QCOMPARE(int(TSettingsStore::ReadDWord(u"MainForm_W"_qs).value()), 760);
}

void TestMainFormFiles::errorReportAndWindowGoesOn()
{
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    ui.Words->setPlainText(QStringLiteral("red\ncat"));
    F->Dialogs.FFileNames << F->Env.Root() + QStringLiteral("/no/such/folder/list.txt");
    ui.Save->click();
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Title, QStringLiteral("Orvanta"));
    QCOMPARE(F->Dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QVERIFY(!F->Dialogs.FShown.at(0).Text.isEmpty());
    QCOMPARE(MemoText(ui.Words), QStringLiteral("red\ncat"));
    // The window keeps working.
    ui.Start->click();
    QCOMPARE(form.Results().RowCount(), 4);
}

void TestMainFormFiles::inputPastItsCapOrOutOfMemory_data()
{
    QTest::addColumn<bool>("outOfMemory");
    QTest::addColumn<QString>("message");
    QTest::newRow("a word list that never ends")
        << false << u"Не удалось прочитать файл \"/dev/zero\". Он больше 64 МиБ."_qs;
    QTest::newRow("memory running out in a command") << true << u"Недостаточно памяти: действие не выполнено."_qs;
}

// Reported in the user's words, and the window goes on.
void TestMainFormFiles::inputPastItsCapOrOutOfMemory()
{
    QFETCH(bool, outOfMemory);
    QFETCH(QString, message);
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    form.show();
    ui.Words->setPlainText(QStringLiteral("red\ncat"));
    if (outOfMemory) {
        RunCommand(&form, [] { throw std::bad_alloc(); });
    } else {
        F->Dialogs.FFileNames << u"/dev/zero"_qs;
        ui.Open->click();
    }
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(F->Dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Stop);
    QCOMPARE(F->Dialogs.FShown.at(0).Text, message);
    QCOMPARE(MemoText(ui.Words), QStringLiteral("red\ncat"));
    ui.Start->click();
    QCOMPARE(form.Results().RowCount(), 4);
}

enum class TUnusable { Folder, DanglingLink, LinkLoop, Pipe, Unreadable, FolderIsAFile };
Q_DECLARE_METATYPE(TUnusable)

void TestMainFormFiles::unusableSettingsFile_data()
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
void TestMainFormFiles::unusableSettingsFile()
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
    const QString before = FolderState(F->Env.ConfigHome());

    {
        TMainForm form;
        form.show();
        QCOMPARE(F->Dialogs.FShown.size(), 1);
        QCOMPARE(F->Dialogs.FShown.at(0).Icon, TUserDialogs::TIcon::Warning);
        const QString text = F->Dialogs.FShown.at(0).Text;
        QVERIFY2(text.contains(u'"' + path + u'"') && text.contains(reason), qPrintable(text));
        Generate(form, u"red\ncat"_qs);
        QCOMPARE(form.Results().RowCount(), 4);
        form.close();
    }
    // Nothing more at the end: the window's placement is simply not kept.
    QCOMPARE(F->Dialogs.FShown.size(), 1);
    QCOMPARE(FolderState(F->Env.ConfigHome()), before);

    // The real program: it starts, names the problem, and ends normally on SIGTERM.
    const QString runtime = F->Env.Root() + u"/run"_qs;
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
    QCOMPARE(FolderState(F->Env.ConfigHome()), before);
}

void TestMainFormFiles::lastFolderPerKind_data()
{
    QTest::addColumn<QString>("first");  // the command that chooses a file in folder "one"
    QTest::addColumn<QString>("second"); // the next command, after a restart
    QTest::addColumn<bool>("same");      // whether it starts in "one"
    const QString open = u"MI_OpenWords"_qs;
    const QString report = u"MI_ReportHTML"_qs;
    QTest::newRow("open, then open") << open << open << true;
    QTest::newRow("save list, then open") << u"MI_SaveWords"_qs << open << true;
    QTest::newRow("report, then report") << report << u"MI_ExportText"_qs << true;
    QTest::newRow("report, then open list") << report << open << false;
    QTest::newRow("open list, then report") << open << report << false;
}

void TestMainFormFiles::lastFolderPerKind()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);
    const QString folder = QFileInfo(F->Env.WriteFile(u"one/words.txt"_qs, "red\r\ncat\r\n")).absolutePath();
    const auto command = [](TMainForm& form, const QString& name) {
        QAction* action = nullptr;
        QVERIFY(FindControl(form, name, action));
        action->trigger();
    };
    {
        TMainForm form;
        Generate(form, u"red\ncat"_qs);
        F->Dialogs.FFileNames << folder + (first == u"MI_OpenWords" ? u"/words.txt"_qs : u"/out"_qs);
        command(form, first);
        QCOMPARE(F->Dialogs.FFileRequests.size(), 1);
        QVERIFY(F->Dialogs.FFileRequests.at(0).Start.isEmpty());
    }
    TMainForm form;
    Generate(form, u"red\ncat"_qs);
    command(form, second);
    QCOMPARE(F->Dialogs.FFileRequests.size(), 2);
    QCOMPARE(F->Dialogs.FFileRequests.at(1).Start, same ? folder : QString());
}

QTEST_MAIN(TestMainFormFiles)
#include "tst_mainformfiles.moc"
