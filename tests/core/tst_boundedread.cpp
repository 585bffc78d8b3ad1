#include "core/common/BoundedRead.h"
#include "core/common/SignalWatcher.h"
#include "core/reports/ResumeFile.h"
#include "support/TestFiles.h"
#include "support/ToolWatch.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <pthread.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

// Capped stream reading of files, pipes and FIFOs, line by line too, and the resume file read on top of it.
namespace {

enum class TSource { File, Pipe, Fifo };

// A line as ReadLine hands it out: "text|" when it had its line break, "text" when not.
using TLines = QStringList;

struct TOpened {
    std::unique_ptr<TBoundedInput> Input;
    QString Path;
};

} // namespace

Q_DECLARE_METATYPE(TSource)

class TestBoundedRead : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readAll_data();
    void readAll();
    void readLines_data();
    void readLines();
    void cannotOpen_data();
    void cannotOpen();
    void resume_data();
    void resume();
    // Last: once a signal has come, every read that counts signals since the start gives up.
    void signalBeforeTheRead();
    void signalWakesAWaitingRead();

private:
    // Bytes on Source, whole, the writing end closed; Path names it in messages.
    TOpened Open(TSource Source, const QByteArray& Bytes, qint64 Cap);
    QTemporaryDir FDir;
    int FPipe[2] = { -1, -1 };
    std::unique_ptr<TTestFifo> FFifo;
};

TOpened TestBoundedRead::Open(TSource Source, const QByteArray& Bytes, qint64 Cap)
{
    const TInterruption stop = TInterruption::FromNow();
    FFifo.reset();
    if (FPipe[0] >= 0)
        ::close(FPipe[0]);
    FPipe[0] = -1;
    switch (Source) {
    case TSource::File: {
        const QString path = FDir.filePath(u"input.txt"_qs);
        WriteAll(path, Bytes);
        return { std::make_unique<TBoundedInput>(path, Cap, stop), u"файл \""_qs + path + u'"' };
    }
    case TSource::Pipe: {
        // Some hundred bytes: the pipe holds them all before anyone reads.
        if (::pipe(FPipe) != 0 || ::write(FPipe[1], Bytes.constData(), size_t(Bytes.size())) != Bytes.size())
            return {};
        ::close(FPipe[1]);
        return { std::make_unique<TBoundedInput>(FPipe[0], u"канал"_qs, Cap, stop), u"канал"_qs };
    }
    case TSource::Fifo: {
        const QString path = FDir.filePath(u"fifo"_qs);
        FFifo = std::make_unique<TTestFifo>(path);
        // The reader opens first, without waiting for a writer; the writer then finds it.
        auto input = std::make_unique<TBoundedInput>(path, Cap, stop);
        if (!FFifo->OpenForWriting() || FFifo->WriteSome(Bytes) != Bytes.size())
            return {};
        FFifo->Close();
        return { std::move(input), u"файл \""_qs + path + u'"' };
    }
    }
    return {};
}

void TestBoundedRead::readAll_data()
{
    QTest::addColumn<TSource>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<qint64>("readSize");
    QTest::addColumn<QString>("error");
    const QByteArray ten("0123456789");
    const struct {
        const char* Name;
        TSource Source;
    } sources[] = { { "file", TSource::File }, { "pipe", TSource::Pipe }, { "FIFO", TSource::Fifo } };
    for (const auto& s : sources) {
        QTest::addRow("%s: empty", s.Name) << s.Source << QByteArray() << qint64(10) << qint64(4) << QString();
        QTest::addRow("%s: exactly the cap", s.Name) << s.Source << ten << qint64(10) << qint64(4) << QString();
        QTest::addRow("%s: exactly the cap in one read", s.Name)
            << s.Source << ten << qint64(10) << qint64(1000) << QString();
        QTest::addRow("%s: one byte past the cap", s.Name)
            << s.Source << ten + 'x' << qint64(10) << qint64(4) << u"Он больше 10 Б."_qs;
        QTest::addRow("%s: past the cap in one read", s.Name)
            << s.Source << ten + ten << qint64(10) << qint64(1000) << u"Он больше 10 Б."_qs;
    }
}

void TestBoundedRead::readAll()
{
    QFETCH(TSource, source);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, cap);
    QFETCH(qint64, readSize);
    QFETCH(QString, error);
    TOpened opened = Open(source, bytes, cap);
    QVERIFY(opened.Input);
    opened.Input->SetReadSize(readSize);
    try {
        QCOMPARE(opened.Input->ReadAll(), bytes);
        QVERIFY2(error.isEmpty(), "read past the cap");
    } catch (const EOrvantaError& e) {
        QCOMPARE(e.Message(), u"Не удалось прочитать "_qs + opened.Path + u". "_qs + error);
    }
}

void TestBoundedRead::readLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("readSize");
    QTest::addColumn<qint64>("maxLine");
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<TLines>("lines");
    QTest::addColumn<QString>("error");
    QTest::newRow("lines across reads of one byte")
        << QByteArray("ab\ncd\nef") << qint64(1) << qint64(10) << qint64(100)
        << TLines { u"ab|"_qs, u"cd|"_qs, u"ef"_qs } << QString();
    QTest::newRow("many lines in one read") << QByteArray("ab\ncd\nef\n") << qint64(1000) << qint64(10) << qint64(100)
                                            << TLines { u"ab|"_qs, u"cd|"_qs, u"ef|"_qs } << QString();
    QTest::newRow("empty lines kept") << QByteArray("\n\nx\n") << qint64(2) << qint64(10) << qint64(100)
                                      << TLines { u"|"_qs, u"|"_qs, u"x|"_qs } << QString();
    QTest::newRow("CR left to the caller") << QByteArray("a\r\nb\r\n") << qint64(3) << qint64(10) << qint64(100)
                                           << TLines { u"a\r|"_qs, u"b\r|"_qs } << QString();
    QTest::newRow("line of exactly the longest") << QByteArray("abcd\nef") << qint64(3) << qint64(4) << qint64(100)
                                                 << TLines { u"abcd|"_qs, u"ef"_qs } << QString();
    QTest::newRow("second line too long") << QByteArray("ab\nabcde\n") << qint64(3) << qint64(4) << qint64(100)
                                          << TLines { u"ab|"_qs } << u"Строка 2 длиннее 4 Б."_qs;
    QTest::newRow("unended last line too long")
        << QByteArray("abcde") << qint64(2) << qint64(4) << qint64(100) << TLines {} << u"Строка 1 длиннее 4 Б."_qs;
    QTest::newRow("short lines past the cap of the whole")
        << QByteArray("a\nb\nc\n") << qint64(2) << qint64(4) << qint64(5) << TLines { u"a|"_qs, u"b|"_qs }
        << u"Он больше 5 Б."_qs;
}

void TestBoundedRead::readLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, readSize);
    QFETCH(qint64, maxLine);
    QFETCH(qint64, cap);
    QFETCH(TLines, lines);
    QFETCH(QString, error);
    // Through a FIFO, in reads of readSize bytes: lines are cut where the reads fall.
    TOpened opened = Open(TSource::Fifo, bytes, cap);
    QVERIFY(opened.Input);
    opened.Input->SetReadSize(readSize);
    TLines got;
    QString failure;
    try {
        QByteArray line;
        bool ended = false;
        while (opened.Input->ReadLine(line, ended, maxLine))
            got << QString::fromUtf8(line) + (ended ? u"|"_qs : QString());
    } catch (const EOrvantaError& e) {
        failure = e.Message();
    }
    QCOMPARE(got, lines);
    QCOMPARE(failure, error.isEmpty() ? QString() : u"Не удалось прочитать "_qs + opened.Path + u". "_qs + error);
}

void TestBoundedRead::cannotOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << u"missing.txt"_qs << u"Не удалось открыть файл \"%1\". Нет такого файла или папки."_qs;
    QTest::newRow("folder") << u"folder"_qs << u"Не удалось открыть файл \"%1\". Это папка, а не файл."_qs;
    QTest::newRow("a descriptor open for writing only")
        << u"write-only"_qs << u"Не удалось прочитать стандартный ввод. Неверный дескриптор файла."_qs;
}

void TestBoundedRead::cannotOpen()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QVERIFY(QDir(FDir.path()).mkpath(u"folder"_qs));
    const QString path = FDir.filePath(name);
    QString failure;
    try {
        if (name == u"write-only") {
            // What the batch tool puts in place of a standard input it was started without.
            const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
            QVERIFY(fd >= 0);
            TBoundedInput input(fd, u"стандартный ввод"_qs, 100, TInterruption::FromNow());
            const auto closeAfter = qScopeGuard([fd] { ::close(fd); });
            input.ReadAll();
        } else {
            TBoundedInput(path, 100, TInterruption::FromNow()).ReadAll();
        }
    } catch (const EOrvantaError& e) {
        failure = e.Message();
    }
    QCOMPARE(failure, QString(message).replace(u"%1"_qs, path));
}

void TestBoundedRead::resume_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("judged"); // name=status@server
    QTest::addColumn<QStringList>("warnings");
    QTest::addColumn<QString>("error");
    const QByteArray free = R"({"name":"a.ru","zone":"ru","status":"free","server":"w.example","pr":null,"tic":null})";
    const QByteArray taken = R"({"name":"b.ru","zone":"ru","status":"taken","server":"r.example","via":"rdap"})";
    const QByteArray failed = R"({"name":"c.ru","zone":"ru","status":"failed","reason":"x","pr":null,"tic":null})";
    const QByteArray unchecked = R"({"name":"d.ru","zone":"ru","status":"unchecked","pr":null,"tic":null})";
    const QStringList both { u"a.ru=0@w.example"_qs, u"b.ru=1@r.example"_qs };
    const QString torn = u"Файл \"%1\", строка 3: последняя строка оборвана, она пропущена."_qs;
    QTest::newRow("free and taken taken, failed and unchecked asked again") << free + "\n" + taken + "\n" + failed
            + "\n" + unchecked + "\n" << both << QStringList() << QString();
    QTest::newRow("CR LF and blank lines") << "\r\n" + free + "\r\n\r\n" + taken + "\r\n"
                                           << both << QStringList() << QString();
    QTest::newRow("a whole last line without its break counts")
        << free + "\n" + taken << both << QStringList() << QString();
    QTest::newRow("a last line cut short is skipped")
        << free + "\n" + taken + "\n" + unchecked.left(30) << both << QStringList { torn } << QString();
    QTest::newRow("a last line cut short just before its brace")
        << free + "\n" + taken + "\n" + unchecked.chopped(1) << both << QStringList { torn } << QString();
    QTest::newRow("the last verdict of a name counts")
        << free + "\n" + QByteArray(free).replace("free", "taken") + "\n"
        << QStringList { u"a.ru=1@w.example"_qs } << QStringList() << QString();
    QTest::newRow("a broken line before the last fails") << free + "\n" + unchecked.left(30) + "\n"
            + taken << QStringList() << QStringList() << u"Файл \"%1\", строка 2: это не строка вывода -f json."_qs;
    QTest::newRow("a broken last line with its break fails") << free + "\n" + unchecked.left(30)
            + "\n" << QStringList() << QStringList() << u"Файл \"%1\", строка 2: это не строка вывода -f json."_qs;
    QTest::newRow("an object without a name fails even unended")
        << free + "\n" + R"({"status":"free"})" << QStringList() << QStringList()
        << u"Файл \"%1\", строка 2: это не строка вывода -f json."_qs;
    QTest::newRow("a line past 1 MiB fails")
        << free + "\n" + QByteArray(ResumeMaxLine + 1, ' ') + "\n"
        << QStringList() << QStringList() << u"Не удалось прочитать файл \"%1\". Строка 2 длиннее 1 МиБ."_qs;
}

void TestBoundedRead::resume()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, judged);
    QFETCH(QStringList, warnings);
    QFETCH(QString, error);
    const QString path = FDir.filePath(u"earlier.jsonl"_qs);
    WriteAll(path, bytes);
    try {
        TBoundedInput input(path, ResumeMaxBytes, TInterruption::FromNow());
        const TResumeVerdicts read = ReadResume(input);
        QVERIFY2(error.isEmpty(), "no error");
        QStringList got;
        for (auto it = read.Judged.cbegin(); it != read.Judged.cend(); ++it)
            got << it.key() + u'=' + (it->Status == TStatus::Free ? u"0"_qs : u"1"_qs) + u'@' + it->Server;
        got.sort();
        QCOMPARE(got, judged);
        QStringList expected;
        for (const QString& w : warnings)
            expected << QString(w).replace(u"%1"_qs, path);
        QCOMPARE(read.Warnings, expected);
    } catch (const EOrvantaError& e) {
        QCOMPARE(e.Message(), QString(error).replace(u"%1"_qs, path));
    }
}

void TestBoundedRead::signalBeforeTheRead()
{
    TSignalWatcher watcher;
    const int before = TSignalWatcher::SignalCount();
    const TInterruption older = TInterruption::FromNow();
    std::raise(SIGHUP);
    QCOMPARE(TSignalWatcher::SignalCount(), before + 1);
    QCOMPARE(TSignalWatcher::LastSignal(), SIGHUP);
    // A FIFO nobody writes to would hold the read for ever; a signal that came first ends it at once.
    TTestFifo fifo(FDir.filePath(u"silent"_qs));
    QVERIFY_THROWS_EXCEPTION(EInterrupted, TBoundedInput(fifo.Path(), 100).ReadAll());
    QVERIFY_THROWS_EXCEPTION(EInterrupted, TBoundedInput(fifo.Path(), 100, older).ReadAll());
    // Work that starts after the signal (writing what a stopped run obtained) goes on.
    const QString file = FDir.filePath(u"after.txt"_qs);
    WriteAll(file, "words\n");
    QCOMPARE(TBoundedInput(file, 100, TInterruption::FromNow()).ReadAll(), QByteArray("words\n"));
}

void TestBoundedRead::signalWakesAWaitingRead()
{
    TSignalWatcher watcher;
    TTestFifo fifo(FDir.filePath(u"silent"_qs));
    std::atomic<qint64> reader { 0 };
    const TInterruption stop = TInterruption::FromNow();
    auto outcome = std::async(std::launch::async, [&] {
        // The signal goes to the main thread, so only the wake descriptor can tell this one of it.
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        reader = qint64(::syscall(SYS_gettid));
        try {
            TBoundedInput(fifo.Path(), 100, stop).ReadAll();
            return u"read to the end"_qs;
        } catch (const EInterrupted&) {
            return u"interrupted"_qs;
        } catch (const EOrvantaError& e) {
            return e.Message();
        }
    });
    // Should the signal not end the wait, a writer that comes and goes does, so the test fails, not hangs.
    const auto release = qScopeGuard([&] {
        if (fifo.OpenForWriting())
            fifo.Close();
    });
    // The reading thread waits in poll() for a writer that never comes.
    QVERIFY(QTest::qWaitFor([&] { return reader != 0 && WaitsInPoll(reader); }, 10000));
    ::kill(::getpid(), SIGTERM);
    QCOMPARE(outcome.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    QCOMPARE(outcome.get(), u"interrupted"_qs);
}

QTEST_GUILESS_MAIN(TestBoundedRead)
#include "tst_boundedread.moc"
