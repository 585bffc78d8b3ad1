// The update check as the window drives it against a loopback site: the offer from a fresh list, the
// program download after "Скачать" with its messages and the list's SHA-256, all on the window's thread,
// and a download stopped when its owner goes.
#include "core/checks/HttpRequest.h"
#include "core/common/Paths.h"
#include "core/updates/Updates.h"
#include "gui/UpdateCheck.h"
#include "support/LoopbackSite.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTest>
#include <QWidget>
#include <memory>

namespace
{

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

// The threads of this process as the system counts them, Qt's own included.
int ThreadCount()
{
    return int(QDir(u"/proc/self/task"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

class TestUpdates : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void listQuestion_data();
    void listQuestion();
    void failedListAsksNothing();
    void offerAloneLeavesProgramFile();
    void chosenDownloadFetchesProgram_data();
    void chosenDownloadFetchesProgram();
    void noThreadOfItsOwn();
    void closingWhileDownloadRuns();

private:
    // Runs a full update check and waits until the ends of Ends downloads have been handled.
    void RunCheck(TUpdateCheck& Check, QSignalSpy& Handled, int Ends = 1);

    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<TLoopbackSite> FSite;
    std::unique_ptr<TSiteUrlOverride> FSiteUrl;
};

void TestUpdates::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FSite = std::make_unique<TLoopbackSite>();
    QVERIFY(FSite->IsListening());
    FSiteUrl = std::make_unique<TSiteUrlOverride>(FSite->Url());
}

void TestUpdates::cleanup()
{
    FSiteUrl.reset();
    FSite.reset();
    FEnv.reset();
}

void TestUpdates::RunCheck(TUpdateCheck& Check, QSignalSpy& Handled, int Ends)
{
    Check.StartUpdateCheck();
    while (Handled.count() < Ends)
        QVERIFY(Handled.wait(20000));
    QVERIFY(!Check.Busy());
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
    QTest::newRow("newer, digest on line 6")
        << QByteArray("2.2\r\na\r\nb\r\nc\r\nd\r\nsha256:" + QByteArray(64, '0') + "\r\n")
        << lead + u"2.2)\n\ra\n\rb\n\rc\n\rd\n\r"_qs + tail;
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
    const QByteArray program("MZ\0\x01\xFFprogram bytes", 18);
    const QByteArray digest = QCryptographicHash::hash(program, QCryptographicHash::Sha256).toHex();
    QTest::addColumn<QByteArray>("line6");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // the program file's path follows a saved one's
    QTest::addColumn<bool>("asked"); // whether the program file was asked for at all
    const QString saved = u"Новая версия программы загружена и сохранена в файл:\n"_qs;
    const QString failed = u"Не удалось загрузить новую версию программы: "_qs;
    QTest::newRow("saved, list without a digest") << QByteArray() << 200 << saved << true;
    QTest::newRow("saved, line 6 no digest") << QByteArray("line 6") << 200 << saved << true;
    QTest::newRow("saved, digest matches") << "sha256:" + digest << 200 << saved << true;
    QTest::newRow("saved, digest matches in capitals") << "SHA256:" + digest.toUpper() << 200 << saved << true;
    QTest::newRow("digest differs") << "sha256:" + QByteArray(digest).replace(0, 1, digest.startsWith('0') ? "1" : "0")
                                    << 200
                                    << failed
            + u"контрольная сумма SHA-256 загруженного файла не совпадает с указанной в списке обновлений, прежний "
              u"файл оставлен."_qs << true;
    QTest::newRow("digest unreadable") << "sha256:" + digest.left(60) << 200
                                       << failed + u"контрольная сумма SHA-256 в списке обновлений неверна."_qs
                                       << false;
    QTest::newRow("not found") << QByteArray() << 404 << failed + u"сервер ответил кодом 404."_qs << true;
}

void TestUpdates::chosenDownloadFetchesProgram()
{
    QFETCH(QByteArray, line6);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(bool, asked);
    WriteAll(ProgramFile(), "old program");
    const QByteArray program("MZ\0\x01\xFFprogram bytes", 18);
    FSite->Serve(ListPath, { 200, "2.2\r\na\r\nb\r\nc\r\nd\r\n" + line6, {}, false });
    FSite->Serve(ProgramPath, { status, program, {}, false });

    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    // The user's "Скачать" on the offer.
    connect(&check, &TUpdateCheck::UpdateOffered, &check, &TUpdateCheck::StartAppDownload);
    RunCheck(check, handled, 2);

    const bool kept = message.startsWith(u"Новая"_qs);
    QCOMPARE(FSite->Requests(), (asked ? QStringList { ListPath, ProgramPath } : QStringList { ListPath }));
    QCOMPARE(handled.at(1), (QVariantList { true, kept }));
    QCOMPARE(dialogs.FShown.size(), 1);
    const auto& told = dialogs.FShown.at(0);
    QCOMPARE(told.Title, u"Обновление"_qs);
    QCOMPARE(told.Icon, kept ? TUserDialogs::TIcon::Information : TUserDialogs::TIcon::Warning);
    QCOMPARE(told.Text, kept ? message + QDir::toNativeSeparators(ProgramFile()) : message);
    QCOMPARE(ReadAll(ProgramFile()), kept ? program : QByteArray("old program"));
    QCOMPARE(FilesIn(GetDataFolder()), (QStringList { u"bot.upd"_qs, u"updates.txt"_qs }));
}

// The list and the program file come on the window's thread: the process gains no thread while they run.
void TestUpdates::noThreadOfItsOwn()
{
    // Qt's network manager has a thread of its own, made with it on its first request and kept.
    THttpRequest warmUp;
    QSignalSpy warm(&warmUp, &THttpRequest::Finished);
    warmUp.Start(QUrl(FSite->Url() + u"/warm-up"_qs));
    QVERIFY(warm.wait(20000));
    const int threads = ThreadCount();

    FSite->Serve(ListPath, { 200, "2.2\r\na\r\nb\r\nc\r\nd\r\n", {}, false });
    FSite->Serve(ProgramPath, { 200, QByteArray(200000, 'p'), {}, false });
    TScriptedDialogs dialogs;
    TUpdateCheck check(nullptr);
    QSignalSpy handled(&check, &TUpdateCheck::DownloadHandled);
    connect(&check, &TUpdateCheck::UpdateOffered, &check, &TUpdateCheck::StartAppDownload);
    QList<int> whileAsked;
    connect(FSite.get(), &TLoopbackSite::RequestReceived, this, [&] { whileAsked << ThreadCount(); });
    RunCheck(check, handled, 2);

    QCOMPARE(handled.at(1), (QVariantList { true, true }));
    QCOMPARE(whileAsked, (QList<int> { threads, threads }));
    QCOMPARE(ThreadCount(), threads);
    QVERIFY(check.findChildren<QThread*>().isEmpty());
}

void TestUpdates::closingWhileDownloadRuns()
{
    WriteAll(ProgramFile(), "old program");
    TLoopbackSite::TReply endless { 200, "program bytes ", {}, false };
    endless.Endless = true;
    FSite->Serve(ProgramPath, endless);
    TScriptedDialogs dialogs;
    auto* owner = new QWidget;
    auto* check = new TUpdateCheck(owner);
    QSignalSpy handled(check, &TUpdateCheck::DownloadHandled);
    check->StartAppDownload();
    // The body is on its way into the temporary file beside bot.upd: the site sends only as it is taken.
    QTRY_VERIFY(FSite->EndlessBytes() > 8 * 1024 * 1024);
    QVERIFY(check->Busy());

    // Closing the main window frees the check with it: the download stops at once, its file with it.
    delete owner;
    QCOMPARE(FilesIn(GetDataFolder()), QStringList { u"bot.upd"_qs });
    QCOMPARE(ReadAll(ProgramFile()), QByteArray("old program"));
    QTRY_COMPARE_WITH_TIMEOUT(FSite->ClosedConnections(), 1, CloseNoticedMs);
    QCOMPARE(handled.size(), 0);
    QCOMPARE(dialogs.FShown.size(), 0);
}

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"
