#include "app/SingleInstance.h"
#include "core/common/Paths.h"
#include "core/settings/SettingsStore.h"
#include "gui/MainForm.h"
#include "gui/ResultsModel.h"
#include "support/MainWindowControls.h"
#include "support/ProgramProcess.h"
#include "support/ScriptedDialogs.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>

// The single-instance rule with real processes of the program.
class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void forwardedBytes_data();
    void forwardedBytes();
    void secondStartLeavesFirstAsItWas();
    void decodeAnyBytes_data();
    void decodeAnyBytes();
    void secondStartOpensWordList_data();
    void secondStartOpensWordList();
    void startAfterFirstEnded_data();
    void startAfterFirstEnded();
    void startupSmoke();

private:
    std::unique_ptr<TTestEnv> FEnv;
    QByteArray FOldRuntime;
    void StartProgram(QProcess& process, const QStringList& args = {});
};

namespace {

// Whether the running instance's event loop takes a text handed over as a second start does: it reads the
// text and closes the connection.
bool TakesText()
{
    QLocalSocket socket;
    socket.connectToServer(TSingleInstance::SocketPath());
    if (!socket.waitForConnected(5000))
        return false;
    socket.write(TSingleInstance::Encode(QString()));
    if (!socket.waitForBytesWritten(5000))
        return false;
    return socket.state() == QLocalSocket::UnconnectedState || socket.waitForDisconnected(10000);
}

} // namespace

void TestSingleInstance::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FOldRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", (FEnv->Root() + QStringLiteral("/run")).toLocal8Bit());
    QDir().mkpath(FEnv->Root() + QStringLiteral("/run"));
    QFile::setPermissions(FEnv->Root() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestSingleInstance::cleanup()
{
    qputenv("XDG_RUNTIME_DIR", FOldRuntime);
    FEnv.reset();
}

void TestSingleInstance::StartProgram(QProcess& process, const QStringList& args)
{
    process.setProcessEnvironment(ProgramEnvironment());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(BuildFile(QStringLiteral("orvanta")), args);
    QVERIFY2(process.waitForStarted(5000), qPrintable(process.errorString()));
}

void TestSingleInstance::forwardedBytes_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("no argument") << QStringList {} << QByteArray(2, '\0');
    QTest::newRow("abc") << QStringList { QStringLiteral("abc") } << TSingleInstance::Encode(QStringLiteral("abc"));
    QTest::newRow("only the first argument")
        << QStringList { QStringLiteral("ключ"), QStringLiteral("second") }
        << TSingleInstance::Encode(QStringLiteral("ключ"));
}

void TestSingleInstance::forwardedBytes()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, expected);
    // This test process plays the running instance.
    TSingleInstance first;
    QVERIFY(first.TryLock());
    QVERIFY(first.Listen());
    QList<QByteArray> received;
    connect(&first, &TSingleInstance::Received, this, [&](const QByteArray& b) { received << b; });

    QProcess second;
    StartProgram(second, args);
    QVERIFY(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.constFirst().size(), expected.size());
    QCOMPARE(received.constFirst(), expected);
    if (args.isEmpty())
        QCOMPARE(expected.size(), 2);
    // A second start reads and writes no setting.
    QVERIFY(!QFile::exists(TSettingsStore::FilePath()));
}

void TestSingleInstance::secondStartLeavesFirstAsItWas()
{
    TScriptedDialogs dialogs;
    PrepareQuietStart();
    TSingleInstance first;
    QVERIFY(first.TryLock());
    QVERIFY(first.Listen());
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    connect(&first, &TSingleInstance::Received, &form, &TMainForm::BringToFront);
    form.show();
    ui.Words->setPlainText(QStringLiteral("red\ncat"));
    ui.Start->click();
    QCOMPARE(form.Results().RowCount(), 4);
    const int rows = form.Results().RowCount();
    int delivered = 0;
    connect(&first, &TSingleInstance::Received, this, [&] { ++delivered; });

    QProcess second;
    StartProgram(second, { QStringLiteral("abc") });
    QVERIFY(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(delivered, 1);
    QCOMPARE(ui.Words->toPlainText(), QStringLiteral("red\ncat"));
    QCOMPARE(form.Results().RowCount(), rows);
    QVERIFY(form.ResultCommandsEnabled());
    QVERIFY(dialogs.FShown.isEmpty());
}

void TestSingleInstance::decodeAnyBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("argument");
    QTest::newRow("encoded path") << TSingleInstance::Encode(u"/tmp/слова.txt"_qs) << u"/tmp/слова.txt"_qs;
    QTest::newRow("nothing") << QByteArray() << QString();
    QTest::newRow("terminator only") << QByteArray(2, '\0') << QString();
    QTest::newRow("odd length drops the half character")
        << TSingleInstance::Encode(u"ab"_qs).left(5) << u"ab"_qs;
    QTest::newRow("no terminator") << TSingleInstance::Encode(u"ab"_qs).left(4) << u"ab"_qs;
    QTest::newRow("text after the terminator ignored")
        << TSingleInstance::Encode(u"ab"_qs) + TSingleInstance::Encode(u"cd"_qs) << u"ab"_qs;
}

void TestSingleInstance::decodeAnyBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, argument);
    QCOMPARE(TSingleInstance::Decode(bytes), argument);
}

void TestSingleInstance::secondStartOpensWordList_data()
{
    QTest::addColumn<QString>("memo");
    QTest::addColumn<QString>("argument"); // below the test folder; empty: the test folder itself
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("after");
    const QString words = u"sun\nmoon\n"_qs;
    QTest::newRow("empty list loads at once") << QString() << u"/words.txt"_qs << false << true
                                              << words;
    QTest::newRow("asks first, yes") << u"red\ncat"_qs << u"/words.txt"_qs << true << true
                                     << words;
    QTest::newRow("asks first, no") << u"red\ncat"_qs << u"/words.txt"_qs << true << false
                                    << u"red\ncat"_qs;
    QTest::newRow("missing file ignored") << u"red"_qs << u"/none.txt"_qs << false << true
                                          << u"red"_qs;
    QTest::newRow("folder ignored") << u"red"_qs << QString() << false << true << u"red"_qs;
}

void TestSingleInstance::secondStartOpensWordList()
{
    QFETCH(QString, memo);
    QFETCH(QString, argument);
    QFETCH(bool, asked);
    QFETCH(bool, yes);
    QFETCH(QString, after);
    TScriptedDialogs dialogs;
    dialogs.FAnswers << (yes ? TUserDialogs::TAnswer::Yes : TUserDialogs::TAnswer::No);
    PrepareQuietStart();
    FEnv->WriteFile(u"words.txt"_qs, "sun\r\nmoon\r\n");
    TSingleInstance first;
    QVERIFY(first.TryLock());
    QVERIFY(first.Listen());
    TMainForm form;
    TMainControls ui;
    QVERIFY(ui.Find(form));
    connect(&first, &TSingleInstance::Received, &form,
        [&form](const QByteArray& Bytes) { form.OpenForwarded(TSingleInstance::Decode(Bytes)); });
    form.show();
    ui.Words->setPlainText(memo);

    QProcess second;
    StartProgram(second, { FEnv->Root() + argument });
    QVERIFY(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    QCOMPARE(second.exitCode(), 0);
    // The file is taken up from a queued call, after the second start has been let go.
    if (asked)
        QTRY_COMPARE(dialogs.FShown.size(), 1);
    QTRY_COMPARE(ui.Words->toPlainText(), after);
    QCOMPARE(dialogs.FShown.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(dialogs.FShown.at(0).Buttons, TUserDialogs::TButtons::YesNo);
        QVERIFY(dialogs.FShown.at(0).Text.contains(u"words.txt"_qs));
    }
}

void TestSingleInstance::startAfterFirstEnded_data()
{
    QTest::addColumn<bool>("kill");
    QTest::newRow("first closed") << false;
    QTest::newRow("first killed") << true;
}

void TestSingleInstance::startAfterFirstEnded()
{
    QFETCH(bool, kill);
    PrepareQuietStart();
    QProcess first;
    StartProgram(first);
    const QString socket = TSingleInstance::SocketPath();
    QVERIFY(WaitFor([&] { return QFile::exists(socket); }, 10000));
    // The running instance answers a second start.
    QVERIFY(TSingleInstance::Forward(QString(), 5000));
    if (kill) {
        first.kill();
    } else {
        first.terminate();
    }
    QVERIFY(first.waitForFinished(10000));
    if (!kill) {
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
    }

    // The next start is the first again: it keeps running and answers.
    QProcess next;
    StartProgram(next);
    QVERIFY(WaitFor([&] { return TSingleInstance::Forward(QString(), 500); }, 10000));
    QCOMPARE(next.state(), QProcess::Running);
    next.terminate();
    QVERIFY(next.waitForFinished(10000));
    QCOMPARE(next.exitCode(), 0);
}

void TestSingleInstance::startupSmoke()
{
    // A first start on a clean account: the tips dialog comes up first and a quit request still ends it.
    QProcess program;
    StartProgram(program);
    QVERIFY(WaitFor([&] { return QFile::exists(TSingleInstance::SocketPath()); }, 10000));
    // Past its start-up and waiting in the tips dialog, the only event loop before the window's own.
    QVERIFY(TakesText());
    QCOMPARE(program.state(), QProcess::Running);
    program.terminate();
    QVERIFY(program.waitForFinished(5000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // The window was created and destroyed as usual: first-run values and placement are stored.
    QCOMPARE(TSettingsStore::ReadDWord(QStringLiteral("NotFirstRun")), std::optional<quint32>(1));
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
