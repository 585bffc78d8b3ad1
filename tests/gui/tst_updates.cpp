#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "core/settings/SettingsValues.h"
#include "core/updates/Updates.h"
#include "gui/UpdateCheck.h"
#include "support/LoopbackSite.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QWidget>
#include <memory>

namespace {

QString ListFile()
{
    return GetDataFolder() + u"updates.txt"_qs;
}
QString ProgramFile()
{
    return GetDataFolder() + u"bot.upd"_qs;
}

const QString ListPath = u"/updates.txt"_qs;
const QString ProgramPath = u"/upd/orvanta.exe"_qs;

// The files a download leaves in its folder, so a test can see that no temporary file stays behind.
QStringList FilesIn(const QString& Folder)
{
    return QDir(Folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestUpdates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void versions_data();
    void versions();

    void downloaderRecordsLastUpdateForTheListOnly_data();
    void downloaderRecordsLastUpdateForTheListOnly();
    void downloaderSizeCap_data();
    void downloaderSizeCap();
    void downloaderFailureKeepsPreviousFile_data();
    void downloaderFailureKeepsPreviousFile();
    void downloaderTimeLimit();
    void downloaderCannotCreateFolder();

    void listQuestion_data();
    void listQuestion();
    void failedListAsksNothing();
    void offerAloneLeavesProgramFile();
    void chosenDownloadFetchesProgram_data();
    void chosenDownloadFetchesProgram();
    void closingWhileDownloadRuns();

private:
    // Runs one downloader to its end while this thread serves the site.
    void RunLoader(TDownLoader& Loader);
    // Runs a full update check and waits until the list's end has been handled.
    void RunCheck(TUpdateCheck& Check, QSignalSpy& Handled, int Ends = 1);

    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<TLoopbackSite> FSite;
    QByteArray FOldSiteUrl;
};

void TestUpdates::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FSite = std::make_unique<TLoopbackSite>();
    QVERIFY(FSite->IsListening());
    FOldSiteUrl = qgetenv("ORVANTA_SITE_URL");
    qputenv("ORVANTA_SITE_URL", FSite->Url().toLatin1());
}

void TestUpdates::cleanup()
{
    qputenv("ORVANTA_SITE_URL", FOldSiteUrl);
    FSite.reset();
    FEnv.reset();
}

void TestUpdates::RunLoader(TDownLoader& Loader)
{
    QSignalSpy finished(&Loader, &QThread::finished);
    Loader.start();
    QVERIFY(finished.wait(20000));
    QVERIFY(Loader.wait(5000));
}

void TestUpdates::RunCheck(TUpdateCheck& Check, QSignalSpy& Handled, int Ends)
{
    Check.StartUpdateCheck();
    while (Handled.count() < Ends)
        QVERIFY(Handled.wait(20000));
    QVERIFY(!Check.Busy());
}

void TestUpdates::versions_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("own");
    QTest::addColumn<bool>("newer");
    QTest::newRow("same") << u"2.1"_qs << u"2.1"_qs << false;
    QTest::newRow("newer") << u"2.2"_qs << u"2.1"_qs << true;
    QTest::newRow("older") << u"2.0"_qs << u"2.1"_qs << false;
    QTest::newRow("2.10 equals 2.1") << u"2.10"_qs << u"2.1"_qs << false;
    QTest::newRow("2.9 newer than 2.10") << u"2.9"_qs << u"2.10"_qs << true;
    QTest::newRow("comma counts as 1.0") << u"2,2"_qs << u"2.1"_qs << false;
    QTest::newRow("comma against older") << u"2,2"_qs << u"0.9"_qs << true;
    QTest::newRow("word counts as 1.0") << u"<html>"_qs << u"1.0"_qs << false;
    QTest::newRow("empty counts as 1.0") << QString() << u"0.5"_qs << true;
    QTest::newRow("blanks around") << u" 2.2 "_qs << u"2.1"_qs << true;
    QTest::newRow("infinity is no number") << u"inf"_qs << u"2.1"_qs << false;
}

void TestUpdates::versions()
{
    QFETCH(QString, listed);
    QFETCH(QString, own);
    QFETCH(bool, newer);
    // A comma-decimal locale must not change how versions read.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(IsNewerVersion(listed, own), newer);
    QLocale::setDefault(before);
}

void TestUpdates::downloaderRecordsLastUpdateForTheListOnly_data()
{
    QTest::addColumn<bool>("downloadApp");
    QTest::newRow("update list") << false;
    QTest::newRow("program") << true;
}

void TestUpdates::downloaderRecordsLastUpdateForTheListOnly()
{
    QFETCH(bool, downloadApp);
    const QDateTime earlier(QDate(2001, 2, 3), QTime(4, 5, 6));
    QVERIFY(WriteRegDate(u"LastUpdate"_qs, earlier));
    FSite->Serve(ListPath, { 200, "2.1\r\n", {}, false });
    FSite->Serve(ProgramPath, { 200, "program", {}, false });

    TDownLoader loader;
    loader.SetURL(FSite->Url() + (downloadApp ? ProgramPath : ListPath));
    loader.SetToFolder(downloadApp ? ProgramFile() : ListFile());
    loader.SetDownloadApp(downloadApp);
    const QDateTime started = QDateTime::currentDateTime();
    RunLoader(loader);
    QVERIFY2(loader.Succeeded(), qPrintable(loader.ErrorText()));

    const QDateTime recorded = ReadRegDate(u"LastUpdate"_qs);
    if (downloadApp) {
        QCOMPARE(recorded, earlier);
    } else {
        QVERIFY(recorded >= started.addSecs(-1));
        QVERIFY(recorded <= QDateTime::currentDateTime().addSecs(1));
    }
}

void TestUpdates::downloaderSizeCap_data()
{
    QTest::addColumn<bool>("downloadApp");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("list at 64 KiB") << false << int(TDownLoader::ListSizeLimit) << true;
    QTest::newRow("list one byte over") << false << int(TDownLoader::ListSizeLimit) + 1 << false;
    QTest::newRow("program has no cap") << true << 300000 << true;
}

void TestUpdates::downloaderSizeCap()
{
    QFETCH(bool, downloadApp);
    QFETCH(int, size);
    QFETCH(bool, succeeds);
    QByteArray body(size, 'x');
    body[0] = '\0';
    body[size - 1] = '\xFF';
    FSite->Serve(ListPath, { 200, body, {}, false });

    TDownLoader loader;
    loader.SetURL(FSite->Url() + ListPath);
    loader.SetToFolder(ListFile());
    loader.SetDownloadApp(downloadApp);
    RunLoader(loader);
    QCOMPARE(loader.Succeeded(), succeeds);
    if (succeeds) {
        QCOMPARE(ReadAll(ListFile()), body);
    } else {
        QVERIFY(loader.ErrorText().contains(u"64 КБ"_qs));
        QCOMPARE(FilesIn(GetDataFolder()), QStringList());
    }
}

void TestUpdates::downloaderFailureKeepsPreviousFile_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QString>("error");
    QTest::newRow("not found") << 404 << QByteArray() << u"кодом 404"_qs;
    QTest::newRow("server error") << 500 << QByteArray() << u"кодом 500"_qs;
    QTest::newRow("redirect is not followed") << 302 << QByteArray("Location: /elsewhere\r\n") << u"кодом 302"_qs;
    QTest::newRow("nobody listening") << 0 << QByteArray() << u"ошибка сети"_qs;
}

void TestUpdates::downloaderFailureKeepsPreviousFile()
{
    QFETCH(int, status);
    QFETCH(QByteArray, headers);
    QFETCH(QString, error);
    const QByteArray previous = "2.0\r\nprevious list\r\n";
    WriteAll(ListFile(), previous);
    FSite->Serve(ListPath, { status, "9.9\r\nnew", headers, false });
    FSite->Serve(u"/elsewhere"_qs, { 200, "9.9\r\nredirected", {}, false });

    QString url = FSite->Url() + ListPath;
    if (status == 0) {
        // A port that was free a moment ago: the connection is refused.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        url = u"http://127.0.0.1:"_qs + QString::number(closed.serverPort()) + ListPath;
    }
    TDownLoader loader;
    loader.SetURL(url);
    loader.SetToFolder(ListFile());
    RunLoader(loader);
    QVERIFY(!loader.Succeeded());
    QVERIFY2(loader.ErrorText().contains(error), qPrintable(loader.ErrorText()));
    QCOMPARE(ReadAll(ListFile()), previous);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList { u"updates.txt"_qs });
    QVERIFY(!FSite->Requests().contains(u"/elsewhere"_qs));
}

void TestUpdates::downloaderTimeLimit()
{
    FSite->Serve(ListPath, { 200, {}, {}, true });
    TDownLoader loader;
    loader.SetURL(FSite->Url() + ListPath);
    loader.SetToFolder(ListFile());
    loader.SetTimeLimit(300);
    RunLoader(loader);
    QVERIFY(!loader.Succeeded());
    QVERIFY2(loader.ErrorText().contains(u"не уложилась в 1 с"_qs), qPrintable(loader.ErrorText()));
    QCOMPARE(FilesIn(GetDataFolder()), QStringList());
    QCOMPARE(FSite->Requests(), QStringList { ListPath });
}

void TestUpdates::downloaderCannotCreateFolder()
{
    // A file stands where the data folder's parent should be.
    WriteAll(FEnv->DataHome() + u"/Quorbel Software"_qs, "not a folder");
    FSite->Serve(ListPath, { 200, "2.2\r\n", {}, false });
    TDownLoader loader;
    loader.SetURL(FSite->Url() + ListPath);
    loader.SetToFolder(ListFile());
    RunLoader(loader);
    QVERIFY(!loader.Succeeded());
    QVERIFY2(loader.ErrorText().contains(u"папку"_qs), qPrintable(loader.ErrorText()));
    QVERIFY(FSite->Requests().isEmpty());
}

void TestUpdates::listQuestion_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("question");
    const QString lead = u"На сайте доступна новая версия программы ("_qs;
    const QString tail = u"Вы хотите обновить программу?"_qs;
    QTest::newRow("same version") << QByteArray("2.1\r\na\r\nb\r\nc\r\nd\r\n") << QString();
    QTest::newRow("newer, line 6 ignored") << QByteArray("2.2\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\n")
                                           << lead + u"2.2)\n\rline 2\n\rline 3\n\rline 4\n\rline 5\n\r"_qs + tail;
    QTest::newRow("comma version") << QByteArray("2,2\r\na\r\nb\r\nc\r\nd\r\n") << QString();
    QTest::newRow("2.10 is 2.1") << QByteArray("2.10\r\na\r\n") << QString();
    QTest::newRow("fewer than five lines")
        << QByteArray("3\nonly one") << lead + u"3)\n\ronly one\n\r\n\r\n\r\n\r"_qs + tail;
    QTest::newRow("empty body") << QByteArray() << QString();
    QTest::newRow("error page") << QByteArray("<html><body>Ошибка</body></html>") << QString();
    QStringEncoder ansi("windows-1251");
    QTest::newRow("list in 1251") << QByteArray(ansi(u"2.5\r\nИсправлены ошибки\r\n"_qs))
                                  << lead + u"2.5)\n\rИсправлены ошибки\n\r\n\r\n\r\n\r"_qs + tail;
}

void TestUpdates::listQuestion()
{
    QFETCH(QByteArray, body);
    QFETCH(QString, question);
    FSite->Serve(ListPath, { 200, body, {}, false });
    // The first check of a new user creates the data folder.
    QVERIFY(!QDir(GetDataFolder()).exists());

    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    QSignalSpy offered(&check, &TUpdateCheck::UpdateOffered);
    RunCheck(check, handled);

    QCOMPARE(handled.at(0), (QVariantList { false, true }));
    QCOMPARE(ReadAll(ListFile()), body);
    QVERIFY(QFile::exists(ListFile()));
    // Offered, never asked in a message box.
    QCOMPARE(dialogs.FShown.size(), 0);
    if (question.isEmpty()) {
        QCOMPARE(offered.size(), 0);
        return;
    }
    QCOMPARE(offered.size(), 1);
    QCOMPARE(offered.at(0).at(0).toString(), question);
}

void TestUpdates::failedListAsksNothing()
{
    // The previous list names a newer version; a failed download must not ask from it.
    const QByteArray previous = "9.9\r\nold news\r\n";
    WriteAll(ListFile(), previous);
    FSite->Serve(ListPath, { 503, "busy", {}, false });

    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    QSignalSpy offered(&check, &TUpdateCheck::UpdateOffered);
    RunCheck(check, handled);
    QCOMPARE(handled.at(0), (QVariantList { false, false }));
    QCOMPARE(dialogs.FShown.size(), 0);
    QCOMPARE(offered.size(), 0);
    QCOMPARE(ReadAll(ListFile()), previous);
}

void TestUpdates::offerAloneLeavesProgramFile()
{
    WriteAll(ProgramFile(), "old program");
    FSite->Serve(ListPath, { 200, "2.2\r\n", {}, false });
    FSite->Serve(ProgramPath, { 200, "new program", {}, false });

    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    QSignalSpy offered(&check, &TUpdateCheck::UpdateOffered);
    RunCheck(check, handled);
    QCOMPARE(offered.size(), 1);
    QCOMPARE(dialogs.FShown.size(), 0);
    QVERIFY(!check.Busy());
    QCOMPARE(FSite->Requests(), QStringList { ListPath });
    QCOMPARE(ReadAll(ProgramFile()), QByteArray("old program"));
}

void TestUpdates::chosenDownloadFetchesProgram_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("saved") << 200 << u"Новая версия программы загружена и сохранена в файл:\n"_qs;
    QTest::newRow("not found") << 404 << u"Не удалось загрузить новую версию программы: сервер ответил кодом 404."_qs;
}

void TestUpdates::chosenDownloadFetchesProgram()
{
    QFETCH(int, status);
    QFETCH(QString, message);
    WriteAll(ProgramFile(), "old program");
    const QByteArray program("MZ\0\x01\xFFprogram bytes", 18);
    FSite->Serve(ListPath, { 200, "2.2\r\na\r\nb\r\nc\r\nd\r\n", {}, false });
    FSite->Serve(ProgramPath, { status, program, {}, false });

    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    // The user's "Скачать" on the offer.
    connect(&check, &TUpdateCheck::UpdateOffered, &check, &TUpdateCheck::StartAppDownload);
    RunCheck(check, handled, 2);

    QCOMPARE(FSite->Requests(), (QStringList { ListPath, ProgramPath }));
    QCOMPARE(handled.at(1), (QVariantList { true, status == 200 }));
    QCOMPARE(dialogs.FShown.size(), 1);
    const auto& told = dialogs.FShown.at(0);
    QCOMPARE(told.Title, u"Обновление"_qs);
    if (status == 200) {
        QCOMPARE(ReadAll(ProgramFile()), program);
        QCOMPARE(told.Icon, TUserDialogs::TIcon::Information);
        QCOMPARE(told.Text, message + QDir::toNativeSeparators(ProgramFile()));
    } else {
        QCOMPARE(ReadAll(ProgramFile()), QByteArray("old program"));
        QCOMPARE(told.Icon, TUserDialogs::TIcon::Warning);
        QCOMPARE(told.Text, message);
    }
}

void TestUpdates::closingWhileDownloadRuns()
{
    FSite->Serve(ListPath, { 200, {}, {}, true });
    TScriptedDialogs dialogs;
    auto* owner = new QWidget;
    auto* check = new TUpdateCheck(owner);
    check->StartUpdateCheck();
    QSignalSpy asked(FSite.get(), &TLoopbackSite::RequestReceived);
    QVERIFY(asked.wait(10000));
    QVERIFY(check->Busy());

    // Closing the main window frees the check with it; the silent server would hold a download for 60 s.
    QElapsedTimer closing;
    closing.start();
    delete owner;
    QVERIFY2(closing.elapsed() < 10000, qPrintable(QString::number(closing.elapsed())));
    QCoreApplication::processEvents();
    QCOMPARE(dialogs.FShown.size(), 0);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList());
}

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"
