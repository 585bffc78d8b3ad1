#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/ToolWatch.h"

#include <QElapsedTimer>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

// SIGINT, SIGTERM and SIGHUP in every phase of the batch tool outside its checks (those are in tst_cli):
// each ends it within moments, with the output it had as the only change, or none at all.
namespace {

enum class TPhase {
    WordsFromPipe, // the word list still coming on standard input
    WordsFromFifo, // the word list on a FIFO, part of it written
    ResumeFifoWithoutWriter, // --resume on a FIFO nobody opens for writing
    WritingFile, // a long -o write
    WritingStalledPipe, // standard output a pipe nobody reads
};

} // namespace

Q_DECLARE_METATYPE(TPhase)

class TestCliSignals : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void signalInPhase_data();
    void signalInPhase();
};

void TestCliSignals::initTestCase()
{
    // A FIFO whose reader went away fails the write instead of ending the test.
    std::signal(SIGPIPE, SIG_IGN);
}

void TestCliSignals::signalInPhase_data()
{
    QTest::addColumn<TPhase>("phase");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString nothing = u"Остановлено; ничего не записано."_qs;
    const QString fileKept = u"Остановлено во время записи; файл \"%1\" оставлен как был."_qs;
    const QString cut = u"Остановлено во время записи; стандартный вывод оборван."_qs;
    const struct {
        const char* Name;
        TPhase Phase;
        QString Message;
    } phases[] = {
        { "words still coming on standard input", TPhase::WordsFromPipe, nothing },
        { "words on a FIFO, part written", TPhase::WordsFromFifo, nothing },
        { "--resume on a FIFO nobody writes to", TPhase::ResumeFifoWithoutWriter, nothing },
        { "writing -o", TPhase::WritingFile, fileKept },
        { "writing to a pipe nobody reads", TPhase::WritingStalledPipe, cut },
    };
    const struct {
        const char* Name;
        int Number;
        int Code;
    } stops[] = { { "SIGINT", SIGINT, 130 }, { "SIGTERM", SIGTERM, 130 }, { "SIGHUP", SIGHUP, 129 } };
    for (const auto& p : phases)
        for (const auto& s : stops)
            QTest::addRow("%s, %s", s.Name, p.Name) << p.Phase << s.Number << s.Code << p.Message;
}

void TestCliSignals::signalInPhase()
{
    QFETCH(TPhase, phase);
    QFETCH(int, signal);
    QFETCH(int, code);
    QFETCH(QString, message);
    TTestEnv env;
    const QString dir = env.Root() + u"/out"_qs;
    const QString target = dir + u"/names.csv"_qs;
    WriteAll(target, "keep me");
    const QString words = env.WriteFile(u"words.txt"_qs, "red\ncat\nsun\n");
    TTestFifo fifo(env.Root() + u"/fifo"_qs);
    QVERIFY(fifo.IsValid());

    QStringList args { u"-z"_qs, u"ru"_qs, u"-o"_qs, target };
    QProcess p;
    p.setProcessEnvironment(ProgramEnvironment());
    bool written = false;
    std::function<bool()> inPhase = [&] { return WaitsInPoll(p.processId()); };
    switch (phase) {
    case TPhase::WordsFromPipe:
        args << u"-"_qs;
        break;
    case TPhase::WordsFromFifo:
        args << fifo.Path();
        inPhase = [&] {
            if (!fifo.OpenForWriting())
                return false;
            if (!written)
                written = fifo.WriteSome("red\n") == 4;
            return written && WaitsInPoll(p.processId());
        };
        break;
    case TPhase::ResumeFifoWithoutWriter:
        args << u"--resume"_qs << fifo.Path() << words;
        break;
    case TPhase::WritingFile: {
        // 94 million names, some 2.5 GB: far more than the moments before the signal can write. Should the
        // stop fail, the file size limit ends the write at 1 GiB.
        QByteArray many;
        for (int i = 0; i < 100; ++i)
            many += "w" + QByteArray::number(i) + "\n";
        args = QStringList { u"-z"_qs, u"ru"_qs, u"-n"_qs, u"4"_qs, u"--yes"_qs, u"-o"_qs, target,
            env.WriteFile(u"many.txt"_qs, many) };
        p.setChildProcessModifier([] {
            rlimit limit {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(1) << 30;
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        inPhase = [&] { return OpenFileBytes(p.processId(), dir) > 0; };
        break;
    }
    case TPhase::WritingStalledPipe:
        QVERIFY(fifo.OpenForReading());
        p.setStandardOutputFile(fifo.Path());
        args = QStringList { u"-z"_qs, u"ru"_qs, u"-n"_qs, u"3"_qs, u"--yes"_qs, u"-"_qs };
        inPhase = [&] { return fifo.Pending() > 0 && WaitsInPoll(p.processId()); };
        break;
    }
    const QString before = FolderState(dir);
    p.start(BuildFile(u"orvanta-cli"_qs), args);
    QVERIFY(p.waitForStarted(5000));
    if (phase == TPhase::WordsFromPipe)
        p.write("red\ncat\n");
    if (phase == TPhase::WritingStalledPipe) {
        QByteArray many;
        for (int i = 0; i < 200; ++i)
            many += "w" + QByteArray::number(i) + "\n";
        p.write(many);
        p.closeWriteChannel();
    }
    QVERIFY2(WaitFor(inPhase, 20000), p.readAllStandardError().constData());
    QElapsedTimer clock;
    clock.start();
    ::kill(pid_t(p.processId()), signal);
    QVERIFY(WaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000));
    const qint64 ms = clock.elapsed();
    qInfo("ended %lld ms after the signal", ms);
    QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), code);
    QCOMPARE(QString::fromUtf8(p.readAllStandardError()).trimmed(), message.replace(u"%1"_qs, target));
    // The old file as it was, and no temporary file beside it.
    QCOMPARE(FolderState(dir), before);
}

QTEST_GUILESS_MAIN(TestCliSignals)
#include "tst_clisignals.moc"
