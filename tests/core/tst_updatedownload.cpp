// The update downloads against a loopback site: the update list and the program file, their caps, failures
// that keep the previous file and leave no temporary one, the time limit, redirects and https, and the
// program file's digest as the list's line 6 gives it.
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/SettingsKeys.h"
#include "core/updates/Updates.h"
#include "support/HttpTestServer.h"
#include "support/LoopbackSite.h"
#include "support/LoopbackTls.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QSslSocket>
#include <QTest>
#include <memory>

using TKind = TUpdateDownload::TKind;
Q_DECLARE_METATYPE(TKind)

namespace
{

const QString ListPath = u"/updates.txt"_qs;
const QString ProgramPath = u"/upd/orvanta.exe"_qs;
const QByteArray Previous = "previous";

QString PathOf(TKind Kind)
{
    return Kind == TKind::List ? ListPath : ProgramPath;
}

QString FileOf(TKind Kind)
{
    return GetDataFolder() + (Kind == TKind::List ? u"updates.txt"_qs : u"bot.upd"_qs);
}

QString NameOf(TKind Kind)
{
    return QFileInfo(FileOf(Kind)).fileName();
}

// One download to its end; false when Finished did not come exactly once.
bool Run(TUpdateDownload& Download, int WaitMs = 20000)
{
    QSignalSpy finished(&Download, &TUpdateDownload::Finished);
    Download.Start();
    return finished.wait(WaitMs) && finished.size() == 1;
}

} // namespace

class TestUpdateDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void versions_data();
    void versions();
    void listedDigest_data();
    void listedDigest();

    void lastUpdateForTheListOnly_data();
    void lastUpdateForTheListOnly();
    void sizeCaps_data();
    void sizeCaps();
    void failureKeepsPreviousFile_data();
    void failureKeepsPreviousFile();
    void timeLimit_data();
    void timeLimit();
    void nothingAskedWithoutAPlaceForTheFile_data();
    void nothingAskedWithoutAPlaceForTheFile();
    void redirectsAndHttps_data();
    void redirectsAndHttps();

private:
    std::unique_ptr<TTestEnv> FEnv;
    std::unique_ptr<TLoopbackSite> FSite;
};

void TestUpdateDownload::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FSite = std::make_unique<TLoopbackSite>();
    QVERIFY(FSite->IsListening());
}

void TestUpdateDownload::cleanup()
{
    FSite.reset();
    FEnv.reset();
}

void TestUpdateDownload::versions_data()
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

void TestUpdateDownload::versions()
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

void TestUpdateDownload::listedDigest_data()
{
    QTest::addColumn<QString>("line6");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<QByteArray>("sha256"); // hex; empty: no value that any file matches
    const QString hex = u"9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"_qs;
    const QByteArray bytes = hex.toLatin1();
    QTest::newRow("older list: no line 6") << QString() << false << QByteArray();
    QTest::newRow("line 6 says something else") << u"line 6"_qs << false << QByteArray();
    QTest::newRow("lower-case hex") << u"sha256:"_qs + hex << true << bytes;
    QTest::newRow("upper-case hex and name") << u"SHA256:"_qs + hex.toUpper() << true << bytes;
    QTest::newRow("blanks around") << u"  sha256: "_qs + hex + u" "_qs << true << bytes;
    QTest::newRow("one digit short") << u"sha256:"_qs + hex.chopped(1) << true << QByteArray();
    QTest::newRow("one digit over") << u"sha256:"_qs + hex + u"0"_qs << true << QByteArray();
    QTest::newRow("not a hex digit") << u"sha256:"_qs + hex.chopped(1) + u"g"_qs << true << QByteArray();
    QTest::newRow("no value") << u"sha256:"_qs << true << QByteArray();
}

void TestUpdateDownload::listedDigest()
{
    QFETCH(QString, line6);
    QFETCH(bool, listed);
    QFETCH(QByteArray, sha256);
    QStringList lines { u"2.2"_qs, u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs };
    if (!line6.isNull())
        lines << line6 << u"line 7"_qs;
    const TListedDigest digest = ListedDigest(lines);
    QCOMPARE(digest.Listed, listed);
    QCOMPARE(digest.Sha256.toHex(), sha256);
}

void TestUpdateDownload::lastUpdateForTheListOnly_data()
{
    QTest::addColumn<TKind>("kind");
    QTest::newRow("update list") << TKind::List;
    QTest::newRow("program") << TKind::Program;
}

void TestUpdateDownload::lastUpdateForTheListOnly()
{
    QFETCH(TKind, kind);
    const QDateTime earlier(QDate(2001, 2, 3), QTime(4, 5, 6));
    QVERIFY(WriteSetting(SettingsKeys::LastUpdate, earlier));
    FSite->Serve(PathOf(kind), { 200, "2.1\r\n", {}, false });

    TUpdateDownload download(kind, FSite->Url() + PathOf(kind), FileOf(kind));
    const QDateTime started = QDateTime::currentDateTime();
    QVERIFY(Run(download));
    QVERIFY2(download.Succeeded(), qPrintable(download.ErrorText()));

    const QDateTime recorded = ReadSetting(SettingsKeys::LastUpdate).value_or(QDateTime());
    if (kind == TKind::Program) {
        QCOMPARE(recorded, earlier);
    } else {
        QVERIFY(recorded >= started.addSecs(-1));
        QVERIFY(recorded <= QDateTime::currentDateTime().addSecs(1));
    }
}

void TestUpdateDownload::sizeCaps_data()
{
    QTest::addColumn<TKind>("kind");
    QTest::addColumn<int>("size"); // of the body, or of the piece an endless body repeats
    QTest::addColumn<bool>("endless");
    QTest::addColumn<QString>("error"); // empty: saved
    const QString listCap = u"список обновлений больше 64 КБ"_qs;
    const int list = int(TUpdateDownload::ListSizeLimit);
    QTest::newRow("list at its cap") << TKind::List << list << false << QString();
    QTest::newRow("list one byte over") << TKind::List << list + 1 << false << listCap;
    QTest::newRow("list without end") << TKind::List << 1000 << true << listCap;
    QTest::newRow("program") << TKind::Program << 300000 << false << QString();
    // Streamed to its temporary file up to the cap, then dropped.
    QTest::newRow("program without end") << TKind::Program << 4096 << true << u"файл программы больше 256 МБ"_qs;
}

void TestUpdateDownload::sizeCaps()
{
    QFETCH(TKind, kind);
    QFETCH(int, size);
    QFETCH(bool, endless);
    QFETCH(QString, error);
    WriteAll(FileOf(kind), Previous);
    QByteArray body(size, 'x');
    body[0] = '\0';
    body[size - 1] = '\xFF';
    TLoopbackSite::TReply reply { 200, body, {}, false };
    reply.Endless = endless;
    FSite->Serve(PathOf(kind), reply);

    TUpdateDownload download(kind, FSite->Url() + PathOf(kind), FileOf(kind));
    QVERIFY(Run(download, 300000));
    QCOMPARE(download.ErrorText(), error);
    QCOMPARE(download.Succeeded(), error.isEmpty());
    QCOMPARE(ReadAll(FileOf(kind)), error.isEmpty() ? body : Previous);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList { NameOf(kind) });
    if (endless) {
        // The cap was reached, not some other failure, and the download let go of the connection.
        const qint64 cap = kind == TKind::List ? TUpdateDownload::ListSizeLimit : TUpdateDownload::ProgramSizeLimit;
        QVERIFY(FSite->EndlessBytes() > cap);
        QTRY_COMPARE_WITH_TIMEOUT(FSite->ClosedConnections(), 1, CloseNoticedMs);
    }
}

void TestUpdateDownload::failureKeepsPreviousFile_data()
{
    QTest::addColumn<TKind>("kind");
    QTest::addColumn<int>("status"); // 0: nobody listening
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QString>("error");
    for (const TKind kind : { TKind::List, TKind::Program }) {
        const char* name = kind == TKind::List ? "list" : "program";
        QTest::addRow("%s: not found", name) << kind << 404 << QByteArray() << u"сервер ответил кодом 404"_qs;
        QTest::addRow("%s: server error", name) << kind << 500 << QByteArray() << u"сервер ответил кодом 500"_qs;
        QTest::addRow("%s: nobody listening", name) << kind << 0 << QByteArray() << u"отклонил соединение"_qs;
        QTest::addRow("%s: redirect to another server", name)
            << kind << 302 << QByteArray("Location: http://site.invalid/elsewhere\r\n") << u"другой сервер"_qs;
        QTest::addRow("%s: redirect leading nowhere", name)
            << kind << 302 << QByteArray() << u"сервер ответил кодом 302"_qs;
    }
}

void TestUpdateDownload::failureKeepsPreviousFile()
{
    QFETCH(TKind, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, headers);
    QFETCH(QString, error);
    WriteAll(FileOf(kind), Previous);
    FSite->Serve(PathOf(kind), { status, "9.9\r\nnew", headers, false });

    QString url = FSite->Url() + PathOf(kind);
    if (status == 0) {
        // A port that was free a moment ago: the connection is refused.
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        url = u"http://127.0.0.1:"_qs + QString::number(closed.serverPort()) + PathOf(kind);
    }
    TUpdateDownload download(kind, url, FileOf(kind));
    QVERIFY(Run(download));
    QVERIFY(!download.Succeeded());
    QVERIFY2(download.ErrorText().contains(error), qPrintable(download.ErrorText()));
    QCOMPARE(ReadAll(FileOf(kind)), Previous);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList { NameOf(kind) });
}

void TestUpdateDownload::timeLimit_data()
{
    QTest::addColumn<TKind>("kind");
    QTest::newRow("list") << TKind::List;
    QTest::newRow("program") << TKind::Program;
}

void TestUpdateDownload::timeLimit()
{
    QFETCH(TKind, kind);
    FSite->Serve(PathOf(kind), { 200, {}, {}, true });
    TUpdateDownload download(kind, FSite->Url() + PathOf(kind), FileOf(kind));
    download.TimeLimit = 300;
    QVERIFY(Run(download));
    QVERIFY(!download.Succeeded());
    QCOMPARE(download.ErrorText(), u"загрузка не уложилась в 1 с"_qs);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList());
    QCOMPARE(FSite->Requests(), QStringList { PathOf(kind) });
    QTRY_COMPARE_WITH_TIMEOUT(FSite->ClosedConnections(), 1, CloseNoticedMs);
}

void TestUpdateDownload::nothingAskedWithoutAPlaceForTheFile_data()
{
    QTest::addColumn<TKind>("kind");
    QTest::addColumn<QString>("error");
    QTest::newRow("data folder cannot be made") << TKind::List << u"не удалось создать папку"_qs;
    QTest::newRow("a folder where the program file goes") << TKind::Program << u"не удалось создать файл"_qs;
}

void TestUpdateDownload::nothingAskedWithoutAPlaceForTheFile()
{
    QFETCH(TKind, kind);
    QFETCH(QString, error);
    if (kind == TKind::List)
        WriteAll(FEnv->DataHome() + u"/Quorbel Software"_qs, "not a folder");
    else
        QVERIFY(QDir().mkpath(FileOf(kind)));
    FSite->Serve(PathOf(kind), { 200, "2.2\r\n", {}, false });
    TUpdateDownload download(kind, FSite->Url() + PathOf(kind), FileOf(kind));
    QVERIFY(Run(download));
    QVERIFY(!download.Succeeded());
    QVERIFY2(download.ErrorText().startsWith(error), qPrintable(download.ErrorText()));
    QVERIFY(FSite->Requests().isEmpty());
}

void TestUpdateDownload::redirectsAndHttps_data()
{
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("location"); // empty: no redirect; "PLAIN": the plain site's program path
    QTest::addColumn<QString>("error"); // empty: saved
    QTest::newRow("over https") << true << QString() << QString();
    QTest::newRow("https, redirect within the site") << true << u"/upd/new.exe"_qs << QString();
    QTest::newRow("http, redirect within the site") << false << u"/upd/new.exe"_qs << QString();
    QTest::newRow("https redirecting to http")
        << true << u"PLAIN"_qs << u"перенаправление с защищенного соединения на незащищенное: http://"_qs;
}

void TestUpdateDownload::redirectsAndHttps()
{
    QFETCH(bool, tls);
    QFETCH(QString, location);
    QFETCH(QString, error);
    if (!QSslSocket::supportsSsl())
        QFAIL("no TLS backend: the set-up step installs it");
    // The program file's address is the site's: https unless ORVANTA_SITE_URL says otherwise.
    {
        TSiteUrlOverride unset(QString {});
        QVERIFY(QuorbelConsts::ProgramUrl().startsWith(u"https://"_qs));
        QVERIFY(QuorbelConsts::UpdatesUrl().startsWith(u"https://"_qs));
    }
    const QSslConfiguration serverTls = LoopbackTls();
    QVERIFY(!serverTls.localCertificate().isNull());
    TTrustLoopbackTls trusted;
    TLoopbackSite secure(serverTls);
    TLoopbackSite& site = tls ? secure : *FSite;
    const QByteArray program("MZ\0\x01\xFFprogram bytes", 18);
    FSite->Serve(ProgramPath, { 200, "plain " + program, {}, false });
    QString target = ProgramPath;
    if (!location.isEmpty()) {
        target = location == u"PLAIN"_qs ? FSite->Url() + ProgramPath : location;
        site.Serve(ProgramPath, { 302, {}, "Location: " + target.toLatin1() + "\r\n", false });
        site.Serve(location, { 200, program, {}, false });
    } else {
        site.Serve(ProgramPath, { 200, program, {}, false });
    }
    WriteAll(FileOf(TKind::Program), Previous);

    TSiteUrlOverride siteUrl(site.Url());
    TUpdateDownload download(TKind::Program, QuorbelConsts::ProgramUrl(), FileOf(TKind::Program));
    QVERIFY(Run(download));
    QVERIFY2(download.ErrorText().startsWith(error), qPrintable(download.ErrorText()));
    QCOMPARE(download.Succeeded(), error.isEmpty());
    QCOMPARE(ReadAll(FileOf(TKind::Program)), error.isEmpty() ? program : Previous);
    QCOMPARE(FilesIn(GetDataFolder()), QStringList { NameOf(TKind::Program) });
    if (!error.isEmpty())
        QVERIFY(FSite->Requests().isEmpty());
}

QTEST_MAIN(TestUpdateDownload)
#include "tst_updatedownload.moc"
