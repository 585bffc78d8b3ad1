#include "core/common/Paths.h"
#include "support/ProgramProcess.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "support/ToolWatch.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

// The batch tool's inputs: every one capped as a stream (devices, FIFOs and huge files under an
// address-space limit), --resume from pipes and with a last line cut short, -o refused onto an input,
// standard descriptors the tool was started without.
namespace {

const QByteArray Words = "red\ncat\nsun\n";

// Writes Chunk again and again into the FIFO at Path once a reader has it open, until the reader goes away
// or the writer is destroyed.
class TEndlessWriter {
public:
    TEndlessWriter(const QString& Path, const QByteArray& Chunk)
        : FThread([this, path = QFile::encodeName(Path), Chunk] { Run(path, Chunk); })
    {
    }
    ~TEndlessWriter()
    {
        FStop = true;
        FThread.join();
    }

private:
    void Run(const QByteArray& Path, const QByteArray& Chunk)
    {
        int fd = -1;
        while (!FStop && fd < 0) {
            fd = ::open(Path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                ::poll(nullptr, 0, 10); // no reader yet: only a FIFO's open says when one comes
        }
        while (!FStop) {
            pollfd p { fd, POLLOUT, 0 };
            if (::poll(&p, 1, 100) <= 0)
                continue;
            if (::write(fd, Chunk.constData(), size_t(Chunk.size())) < 0 && errno != EAGAIN)
                break;
        }
        if (fd >= 0)
            ::close(fd);
    }

    std::atomic<bool> FStop { false };
    std::thread FThread;
};

// What an earlier "-f json" run said about three of the six names.
QByteArray Earlier()
{
    return R"({"name":"redcat.ru","zone":"ru","status":"free","server":"old.example","pr":null,"tic":null})"
           "\n"
           R"({"name":"redsun.ru","zone":"ru","status":"taken","server":"old.example","pr":null,"tic":null})"
           "\n"
           R"({"name":"catred.ru","zone":"ru","status":"failed","reason":"x","pr":null,"tic":null})"
           "\n";
}

enum class TResumeFrom { File, Pipe, Fifo };

} // namespace

Q_DECLARE_METATYPE(TResumeFrom)

class TestCliInputs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void inputErrors_data();
    void inputErrors();
    void resume_data();
    void resume();
    void outputOntoAnInput_data();
    void outputOntoAnInput();
    void closedStandardStreams_data();
    void closedStandardStreams();

private:
    std::unique_ptr<TTestEnv> FEnv;
    QString FWords;
};

void TestCliInputs::initTestCase()
{
    // A FIFO whose reader went away fails the write instead of ending the test.
    std::signal(SIGPIPE, SIG_IGN);
}

void TestCliInputs::init()
{
    FEnv = std::make_unique<TTestEnv>();
    FWords = FEnv->WriteFile(u"words.txt"_qs, Words);
    // No WHOIS server for any zone and no RDAP: a name not taken from --resume fails without a query.
    WriteAll(GetDataFolder() + u"rdap.json"_qs, R"({"version":"1.0","services":[]})");
    WriteAll(GetDataFolder() + u"whois.dat"_qs, "");
}

void TestCliInputs::cleanup()
{
    FEnv.reset();
}

void TestCliInputs::inputErrors_data()
{
    QTest::addColumn<QStringList>("args"); // "%1" stands for the file of the row
    QTest::addColumn<QString>("file"); // a device, "fifo", "huge" (3 GiB, sparse), "folder" or "missing"
    QTest::addColumn<QString>("message");
    const QStringList words { u"-z"_qs, u"ru"_qs, u"%1"_qs };
    const QStringList whois { u"-z"_qs, u"ru"_qs, u"--whois"_qs };
    const QString list = u"Не удалось прочитать файл \"%1\". Он больше 64 МиБ."_qs;
    QTest::newRow("words on standard input from /dev/zero") << QStringList { u"-z"_qs,
        u"ru"_qs } << u"stdin /dev/zero"_qs << u"Не удалось прочитать стандартный ввод. Он больше 64 МиБ."_qs;
    QTest::newRow("word list /dev/zero") << words << u"/dev/zero"_qs << list;
    QTest::newRow("word list of 3 GiB") << words << u"huge"_qs << list;
    QTest::newRow("word list on a FIFO that never ends") << words << u"fifo"_qs << list;
    QTest::newRow("--zone-list /dev/zero") << QStringList { u"--zone-list"_qs, u"%1"_qs } << u"/dev/zero"_qs << list;
    QTest::newRow("--whois-list /dev/zero")
        << whois + QStringList { u"--whois-list"_qs, u"%1"_qs } << u"/dev/zero"_qs << list;
    QTest::newRow("--whois-limits of 3 GiB")
        << whois + QStringList { u"--whois-limits"_qs, u"%1"_qs } << u"huge"_qs << list;
    QTest::newRow("--rdap-bootstrap /dev/zero")
        << whois + QStringList { u"--rdap-bootstrap"_qs, u"%1"_qs } << u"/dev/zero"_qs
        << u"Не удалось прочитать файл \"%1\". Он больше 16 МиБ."_qs;
    QTest::newRow("--rdap-bootstrap /dev/urandom")
        << whois + QStringList { u"--rdap-bootstrap"_qs, u"%1"_qs } << u"/dev/urandom"_qs
        << u"Не удалось прочитать файл \"%1\". Он больше 16 МиБ."_qs;
    const QStringList resume { u"-z"_qs, u"ru"_qs, u"--resume"_qs, u"%1"_qs };
    QTest::newRow("--resume /dev/zero") << resume << u"/dev/zero"_qs
                                        << u"Не удалось прочитать файл \"%1\". Строка 1 длиннее 1 МиБ."_qs;
    QTest::newRow("--resume on a FIFO of blank lines that never ends")
        << resume << u"fifo"_qs << u"Не удалось прочитать файл \"%1\". Он больше 1 ГиБ."_qs;
    QTest::newRow("--resume of a folder")
        << resume << u"folder"_qs << u"Не удалось открыть файл \"%1\". Это папка, а не файл."_qs;
    QTest::newRow("--resume of a missing file")
        << resume << u"missing"_qs << u"Не удалось открыть файл \"%1\". Нет такого файла или папки."_qs;
}

// Each ends with exit 2 and the file named, never with std::bad_alloc, under a 2 GiB address-space limit.
void TestCliInputs::inputErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    QFETCH(QString, message);
    QString path = file;
    std::unique_ptr<TTestFifo> fifo;
    std::unique_ptr<TEndlessWriter> writer;
    if (file == u"huge") {
        path = FEnv->Root() + u"/huge.txt"_qs;
        QFile huge(path);
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(qint64(3) << 30));
    } else if (file == u"fifo") {
        path = FEnv->Root() + u"/fifo"_qs;
        fifo = std::make_unique<TTestFifo>(path);
        QVERIFY(fifo->IsValid());
        // Blank lines of a kilobyte for --resume: nothing in them, so only the cap of the whole ends the read.
        const QByteArray blank = QByteArray(1023, ' ') + '\n';
        writer = std::make_unique<TEndlessWriter>(
            path, args.contains(u"--resume"_qs) ? blank.repeated(64) : QByteArray(65536, 'w'));
    } else if (file == u"folder" || file == u"missing") {
        path = FEnv->Root() + u'/' + file;
        if (file == u"folder")
            QVERIFY(QDir().mkpath(path));
    }
    for (QString& a : args)
        a.replace(u"%1"_qs, path);
    if (!args.contains(path) && file != u"stdin /dev/zero")
        args << FWords;
    const TToolResult r = RunTool(args, {}, 120000, [&](QProcess& p) {
        if (file == u"stdin /dev/zero")
            p.setStandardInputFile(u"/dev/zero"_qs);
#ifndef __SANITIZE_ADDRESS__
        // Under AddressSanitizer the tool's shadow memory alone passes the limit: there the caps are
        // checked without it.
        p.setChildProcessModifier([] {
            rlimit limit { rlim_t(2) << 30, rlim_t(2) << 30 };
            setrlimit(RLIMIT_AS, &limit);
        });
#endif
    });
    QCOMPARE(QString::fromUtf8(r.Err), u"orvanta-cli: "_qs + QString(message).replace(u"%1"_qs, path) + u'\n');
    QCOMPARE(r.Code, 2);
    QVERIFY(r.Out.isEmpty());
}

void TestCliInputs::resume_data()
{
    QTest::addColumn<TResumeFrom>("from");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("warning");
    const QByteArray torn = R"({"name":"catsun.ru","zone":"ru","sta)";
    const QString skipped = u"orvanta-cli: Файл \"%1\", строка 4: последняя строка оборвана, она пропущена.\n"_qs;
    QTest::newRow("file") << TResumeFrom::File << Earlier() << QString();
    QTest::newRow("pipe") << TResumeFrom::Pipe << Earlier() << QString();
    QTest::newRow("FIFO") << TResumeFrom::Fifo << Earlier() << QString();
    QTest::newRow("file with a last line cut short") << TResumeFrom::File << Earlier() + torn << skipped;
    QTest::newRow("pipe with a last line cut short") << TResumeFrom::Pipe << Earlier() + torn << skipped;
}

// The names judged in the earlier output keep their verdicts; the others are asked again (and fail here,
// no zone having a server).
void TestCliInputs::resume()
{
    QFETCH(TResumeFrom, from);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, warning);
    QString path = FEnv->WriteFile(u"earlier.jsonl"_qs, bytes);
    QByteArray input;
    std::unique_ptr<TTestFifo> fifo;
    std::unique_ptr<std::thread> writer;
    switch (from) {
    case TResumeFrom::File:
        break;
    case TResumeFrom::Pipe:
        path = u"/dev/stdin"_qs;
        input = bytes;
        break;
    case TResumeFrom::Fifo:
        path = FEnv->Root() + u"/fifo"_qs;
        fifo = std::make_unique<TTestFifo>(path);
        QVERIFY(fifo->IsValid());
        // Blocks until the tool opens the FIFO, writes it all and goes.
        writer = std::make_unique<std::thread>([&fifo, bytes] {
            QFile end(fifo->Path());
            if (end.open(QIODevice::WriteOnly))
                end.write(bytes);
        });
        break;
    }
    const TToolResult r = RunTool(
        { u"-z"_qs, u"ru"_qs, u"--whois"_qs, u"--no-rdap"_qs, u"--no-dns"_qs, u"-f"_qs, u"json"_qs, u"--resume"_qs, path,
            FWords },
        input);
    if (writer)
        writer->join();
    QCOMPARE(r.Code, 4);
    const QList<QByteArray> lines = r.Out.split('\n');
    QCOMPARE(lines.size(), 7);
    const auto field = [&](int line, const char* name) {
        return QJsonDocument::fromJson(lines.at(line)).object().value(QLatin1String(name)).toString();
    };
    QCOMPARE(field(0, "name"), u"redcat.ru"_qs);
    QCOMPARE(field(0, "status"), u"free"_qs);
    QCOMPARE(field(0, "server"), u"old.example"_qs);
    QCOMPARE(field(1, "status"), u"taken"_qs);
    // A failed verdict is not taken over: asked again, it fails for want of a server.
    QCOMPARE(field(2, "name"), u"catred.ru"_qs);
    QCOMPARE(field(2, "reason"), u"нет сервера WHOIS для зоны"_qs);
    for (int i = 3; i < 6; ++i)
        QCOMPARE(field(i, "status"), u"failed"_qs);
    const QString err = QString::fromUtf8(r.Err);
    QVERIFY2(err.startsWith(QString(warning).replace(u"%1"_qs, path)), qPrintable(err));
    QVERIFY2(err.contains(u"Не удалось проверить на занятость доменных имен: 4."_qs), qPrintable(err));
}

void TestCliInputs::outputOntoAnInput_data()
{
    QTest::addColumn<QString>("option"); // the option whose file -o names; empty: the word list
    QTest::addColumn<QString>("output"); // "same", "symlink", "hard link"
    QTest::addColumn<QString>("clash");
    const QString list = u"входной файл \"%2\""_qs;
    QTest::newRow("word list by path") << QString() << u"same"_qs << list;
    QTest::newRow("word list through a link") << QString() << u"symlink"_qs << list;
    QTest::newRow("word list through a hard link") << QString() << u"hard link"_qs << list;
    QTest::newRow("word list on standard input") << u"-"_qs << u"same"_qs << u"стандартный ввод"_qs;
    QTest::newRow("--zone-list by path") << u"--zone-list"_qs << u"same"_qs << list;
    QTest::newRow("--whois-limits through a link") << u"--whois-limits"_qs << u"symlink"_qs << list;
    QTest::newRow("--resume by path") << u"--resume"_qs << u"same"_qs << list;
    QTest::newRow("--resume through a link") << u"--resume"_qs << u"symlink"_qs << list;
}

// A usage error before anything is read; the input stays as it was and nothing is written.
void TestCliInputs::outputOntoAnInput()
{
    QFETCH(QString, option);
    QFETCH(QString, output);
    QFETCH(QString, clash);
    const QString dir = FEnv->Root() + u"/in"_qs;
    const QString input = dir + u"/input.txt"_qs;
    WriteAll(input, option == u"--resume" ? Earlier() : Words);
    QString target = input;
    if (output == u"symlink") {
        target = dir + u"/link.txt"_qs;
        QVERIFY(QFile::link(input, target));
    } else if (output == u"hard link") {
        target = dir + u"/hard.txt"_qs;
        QCOMPARE(::link(QFile::encodeName(input).constData(), QFile::encodeName(target).constData()), 0);
    }
    QStringList args { u"-z"_qs, u"ru"_qs, u"-o"_qs, target };
    if (option.isEmpty())
        args << input;
    else if (option == u"-")
        args << u"-"_qs;
    else
        args << option << input << FWords;
    const QString before = FolderState(dir);
    const TToolResult r = RunTool(args, {}, 60000, [&](QProcess& p) {
        if (option == u"-")
            p.setStandardInputFile(input);
    });
    QCOMPARE(r.Code, 1);
    QCOMPARE(QString::fromUtf8(r.Err),
        u"orvanta-cli: файл вывода \"%1\" — тот же файл, что и "_qs.replace(u"%1"_qs, target)
            + QString(clash).replace(u"%2"_qs, input)
            + u"; укажите другой файл вывода\nПодробнее: orvanta-cli --help\n"_qs);
    QCOMPARE(FolderState(dir), before);
}

void TestCliInputs::closedStandardStreams_data()
{
    QTest::addColumn<QString>("shell"); // run by sh, "%1" the tool, "%2" the word list
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString closedOutput
        = u"orvanta-cli: стандартный вывод: Не удалось записать данные. Неверный дескриптор файла.\n"_qs;
    QTest::newRow("names onto a closed standard output") << u"exec '%1' -z ru '%2' >&-"_qs << 3 << closedOutput;
    QTest::newRow("help onto a closed standard output") << u"exec '%1' --help >&-"_qs << 3 << closedOutput;
    QTest::newRow("words from a closed standard input")
        << u"exec '%1' -z ru - <&-"_qs << 2
        << u"orvanta-cli: Не удалось прочитать стандартный ввод. Неверный дескриптор файла.\n"_qs;
}

void TestCliInputs::closedStandardStreams()
{
    QFETCH(QString, shell);
    QFETCH(int, code);
    QFETCH(QString, message);
    const QString command = shell.replace(u"%1"_qs, BuildFile(u"orvanta-cli"_qs)).replace(u"%2"_qs, FWords);
    const TToolResult r = RunTool({}, {}, 60000, {}, { u"sh"_qs, u"-c"_qs, command });
    QCOMPARE(r.Code, code);
    QCOMPARE(QString::fromUtf8(r.Err), message);
}

QTEST_GUILESS_MAIN(TestCliInputs)
#include "tst_cliinputs.moc"
